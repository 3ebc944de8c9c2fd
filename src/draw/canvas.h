// A drawing surface over a 32-bit QImage with the semantics of the classic desktop drawing calls
// the controls are written in: rectangles exclude their right and bottom edges, lines exclude
// their end point, colours are 0x00BBGGRR values (system colour references are resolved on use),
// and everything is clipped to the surface. All coordinates are pixels from the top-left corner.
#pragma once

#include <cstdint>
#include <optional>

#include <QImage>
#include <QString>

#include "draw/colour.h"
#include "draw/font.h"

namespace velquin::draw {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

// (left, top, right, bottom); right and bottom are outside the rectangle.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  Rect Inflate(int dx, int dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }
  Rect Intersect(const Rect& o) const;
  bool operator==(const Rect&) const = default;
};

// Edge kinds for DrawEdge (combine one outer and one inner border).
enum : unsigned {
  BDR_RAISEDOUTER = 0x1,
  BDR_SUNKENOUTER = 0x2,
  BDR_RAISEDINNER = 0x4,
  BDR_SUNKENINNER = 0x8,
  EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,  // 5
  EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,  // 10
  EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,  // 6
  EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,    // 9
};

// Side and option flags for DrawEdge.
enum : unsigned {
  BF_LEFT = 0x1,
  BF_TOP = 0x2,
  BF_RIGHT = 0x4,
  BF_BOTTOM = 0x8,
  BF_RECT = 0xF,
  BF_MIDDLE = 0x800,   // also fill the interior with the button face colour
  BF_SOFT = 0x1000,    // accepted, drawn like the normal edge
  BF_ADJUST = 0x2000,  // DrawEdge returns the interior left inside the drawn borders
  BF_FLAT = 0x4000,    // one-colour (button shadow) outer border, button face inner border
  BF_MONO = 0x8000,    // black outer border, window colour inner border
};

// DrawText format flags.
enum : unsigned {
  DT_LEFT = 0x0,
  DT_CENTER = 0x1,
  DT_RIGHT = 0x2,
  DT_TOP = 0x0,
  DT_VCENTER = 0x4,    // single-line text only
  DT_BOTTOM = 0x8,     // single-line text only
  DT_WORDBREAK = 0x10,
  DT_SINGLELINE = 0x20,
  DT_EXPANDTABS = 0x40,
  DT_NOCLIP = 0x100,
  DT_CALCRECT = 0x400,
  DT_NOPREFIX = 0x800,   // "&" is an ordinary character
  DT_RTLREADING = 0x20000,
  DT_HIDEPREFIX = 0x100000,  // "&" marks are removed but nothing is underlined
};

// Background modes.
enum : int { TRANSPARENT = 1, OPAQUE = 2 };

// Hatch styles.
enum : int {
  HS_HORIZONTAL = 0,
  HS_VERTICAL = 1,
  HS_FDIAGONAL = 2,  // "\"
  HS_BDIAGONAL = 3,  // "/"
  HS_CROSS = 4,
  HS_DIAGCROSS = 5,
};

// Raster operations for PatBlt.
enum class Rop : std::uint32_t {
  PatCopy = 0x00F00021,    // the brush
  PatInvert = 0x005A0049,  // brush XOR destination
  DstInvert = 0x00550009,  // NOT destination
  Blackness = 0x00000042,
  Whiteness = 0x00FF0062,
};

// A brush: solid colour, 8x8 hatch pattern in a colour (the gaps take the background colour when
// the background mode is OPAQUE, otherwise they are left alone), a picture tiled from the surface
// origin, or nothing (fills with a null brush paint nothing).
class Brush {
 public:
  enum class Kind { Null, Solid, Hatch, Pattern };

  Brush() = default;
  static Brush Solid(Colour c);
  // A style outside 0..5 gives a null brush, as creating such a hatch brush fails.
  static Brush Hatch(int style, Colour c);
  // A null picture gives a null brush.
  static Brush Pattern(const QImage& picture);

  Kind kind() const { return kind_; }
  bool IsNull() const { return kind_ == Kind::Null; }
  Colour colour() const { return colour_; }
  int hatch_style() const { return hatch_; }
  const QImage& pattern() const { return pattern_; }

 private:
  Kind kind_ = Kind::Null;
  Colour colour_ = 0;
  int hatch_ = 0;
  QImage pattern_;  // Format_RGB32
};

class Canvas {
 public:
  // An empty surface (0 x 0).
  Canvas();
  // A w x h surface filled with `fill` (a fresh surface is black, like a new bitmap).
  Canvas(int width, int height, Colour fill = 0x000000);
  // Takes over an image (converted to 32 bits without alpha).
  explicit Canvas(QImage image);

  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  Rect Bounds() const { return {0, 0, Width(), Height()}; }
  bool IsNull() const { return image_.isNull(); }

  // The pixels (QImage::Format_RGB32). Writing through it is allowed.
  QImage& Image() { return image_; }
  const QImage& Image() const { return image_; }

  // Pixels. SetPixel outside the surface does nothing; GetPixel there gives kInvalidColour.
  void SetPixel(int x, int y, Colour c);
  Colour GetPixel(int x, int y) const;

  // Solid fills and frames (the frame is the one-pixel outline inside the rectangle).
  void FillRect(const Rect& r, Colour c);
  void FillRect(const Rect& r, const Brush& brush);
  void FrameRect(const Rect& r, Colour c);

  // Three-dimensional edge in the system colours (button highlight, 3-D light, button shadow,
  // 3-D dark shadow). `edge` combines BDR_ flags, `flags` the BF_ sides and options. Returns the
  // rectangle inside the borders drawn (the interior for BF_ADJUST, `r` otherwise).
  Rect DrawEdge(const Rect& r, unsigned edge, unsigned flags);

  // Dotted focus rectangle: every other pixel of the outline inverted, starting from the surface
  // origin's checkerboard; drawing it twice restores the surface.
  void DrawFocusRect(const Rect& r);

  // Solid one-pixel pen. MoveTo and LineTo keep a current position; LineTo does not paint its end
  // point and moves the current position there.
  Colour SetPenColour(Colour c);  // returns the previous pen colour
  Colour PenColour() const { return pen_; }
  Point MoveTo(int x, int y);     // returns the previous position
  void LineTo(int x, int y);
  Point CurrentPosition() const { return pos_; }
  // One line in its own pen; the selected pen and the current position are kept.
  void DrawLine(int x1, int y1, int x2, int y2, Colour c);

  // Selected brush for PatBlt; returns the previous brush. A new canvas has a white solid brush.
  Brush SelectBrush(const Brush& brush);
  const Brush& SelectedBrush() const { return brush_; }
  // Applies `rop` with the selected brush to the block (x, y, w, h); negative sizes count from
  // the other edge.
  void PatBlt(int x, int y, int w, int h, Rop rop = Rop::PatCopy);

  // Background used by OPAQUE text and the gaps of hatch brushes.
  int SetBkMode(int mode);  // returns the previous mode; a new canvas is OPAQUE
  int BkMode() const { return bk_mode_; }
  Colour SetBkColor(Colour c);  // returns the previous colour; a new canvas has white
  Colour BkColor() const { return bk_colour_; }

  // Text.
  Colour SetTextColor(Colour c);  // returns the previous colour; a new canvas has black
  Colour TextColor() const { return text_colour_; }
  FontSpec SelectFont(const FontSpec& f);  // returns the previous font; a new canvas has DefaultFont()
  const FontSpec& SelectedFont() const { return font_; }

  // Draws `text` into `rect` with DT_ flags. "&" marks the next character as the access key
  // (underlined), "&&" prints one "&" (unless DT_NOPREFIX). Without DT_SINGLELINE, line breaks in
  // the text start new lines; DT_WORDBREAK also wraps at word boundaries to fit the width. The
  // text is clipped to `rect` unless DT_NOCLIP. DT_RTLREADING lays the text out right to left
  // (the alignment flags keep their plain meaning). With DT_CALCRECT nothing is drawn: the
  // rectangle's right and bottom are set to fit the text (the width kept for word-wrapped text
  // wider lines excepted). Returns the height of the text; 0 for empty text.
  int DrawText(const QString& text, Rect& rect, unsigned format);
  int DrawText(const QString& text, const Rect& rect, unsigned format);
  // Width and height of one line of text in the selected font ("&" handled as in DrawText).
  Size MeasureText(const QString& text, unsigned format = DT_SINGLELINE);

  // Block copies (plain source copy), clipped to both surfaces.
  void BitBlt(int x_dest, int y_dest, int w, int h, const Canvas& src, int x_src, int y_src);
  // Copies a 32-bit image block to (x, y) at its own size; its alpha channel is ignored.
  void DrawImage(int x, int y, const QImage& block);
  // The pixels of `r` (clipped) as a Format_RGB32 image.
  QImage ReadBlock(const Rect& r) const;

  // Changes the size; the overlapping top-left part is kept, new pixels are black.
  void Resize(int width, int height);

 private:
  void FillClipped(const Rect& r, std::uint32_t argb);
  void PlotPen(int x, int y);

  QImage image_;
  Colour pen_ = 0x000000;
  Point pos_;
  Brush brush_ = Brush::Solid(0xFFFFFF);
  int bk_mode_ = OPAQUE;
  Colour bk_colour_ = 0xFFFFFF;
  Colour text_colour_ = 0x000000;
  FontSpec font_;
};

}  // namespace velquin::draw
