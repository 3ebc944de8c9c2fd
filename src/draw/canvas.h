// A drawing surface with the semantics of the classic desktop drawing calls the controls are
// written in: rectangles exclude their right and bottom edges, lines exclude their end point,
// colours are 0x00BBGGRR values (system colour references are resolved on use), and everything is
// clipped to the surface. All coordinates are pixels from the top-left corner.
//
// The canvas draws its geometry itself into its Image (image.h), the same bytes on every
// platform, so a test can run one drawing case through the canvas and through the system's own
// drawing calls into a buffer of the same size and compare the two. Text goes to the platform's
// text engine (platform.h): Qt's on Linux, GDI's on Windows. Text is UTF-8.
#pragma once

#include <cstdint>
#include <string_view>

#include "draw/colour.h"
#include "draw/flags.h"
#include "draw/font.h"
#include "draw/geometry.h"
#include "draw/image.h"

namespace velquin::draw {

// A brush: solid colour, 8x8 hatch pattern in a colour (the gaps take the background colour when
// the background mode is Opaque, otherwise they are left alone), a picture tiled from the surface
// origin, or nothing (fills with a null brush paint nothing).
class Brush {
 public:
  enum class Kind { Null, Solid, Hatch, Pattern };

  Brush() = default;
  static Brush Solid(Colour c);
  // A style outside 0..5 gives a null brush, as creating such a hatch brush fails.
  static Brush Hatch(HatchStyle style, Colour c);
  // A null picture gives a null brush; the picture's alpha, if any, is ignored.
  static Brush Pattern(const Image& picture);

  Kind kind() const { return kind_; }
  bool IsNull() const { return kind_ == Kind::Null; }
  Colour colour() const { return colour_; }
  HatchStyle hatch_style() const { return hatch_; }
  const Image& pattern() const { return pattern_; }

 private:
  Kind kind_ = Kind::Null;
  Colour colour_ = 0;
  HatchStyle hatch_ = HatchStyle::Horizontal;
  Image pattern_;  // opaque
};

class Canvas {
 public:
  // An empty surface (0 x 0).
  Canvas();
  // A w x h surface filled with `fill` (a fresh surface is black, like a new bitmap).
  Canvas(int width, int height, Colour fill = 0x000000);
  // Takes over a buffer; its alpha, if any, is dropped.
  explicit Canvas(Image pixels);

  int Width() const { return pixels_.Width(); }
  int Height() const { return pixels_.Height(); }
  Rect Bounds() const { return {0, 0, Width(), Height()}; }
  bool IsNull() const { return pixels_.IsNull(); }

  // The pixels. Writing through them is allowed; keep the fourth byte 0xFF.
  Image& Pixels() { return pixels_; }
  const Image& Pixels() const { return pixels_; }

  // Pixels. SetPixel outside the surface does nothing; GetPixel there gives kInvalidColour.
  void SetPixel(int x, int y, Colour c);
  Colour GetPixel(int x, int y) const;

  // Solid fills and frames (the frame is the one-pixel outline inside the rectangle). Like the
  // desktop's FillRect, a fill is a pattern copy of width right - left and height bottom - top:
  // a rectangle whose right or bottom lies before its left or top fills right..left or
  // bottom..top. Such a rectangle has no frame.
  void FillRect(const Rect& r, Colour c);
  void FillRect(const Rect& r, const Brush& brush);
  void FrameRect(const Rect& r, Colour c);

  // Three-dimensional edge in the system colours (button highlight, 3-D light, button shadow,
  // 3-D dark shadow): `edge` combines an outer and an inner border, `flags` the sides and
  // options. Returns the rectangle inside the borders drawn (the interior for
  // EdgeFlags::Adjust, `r` otherwise).
  Rect DrawEdge(const Rect& r, Edge edge, EdgeFlags flags);

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

  // Brush for PatBlt; returns the previous brush. A new canvas has a white solid brush.
  Brush SetBrush(const Brush& brush);
  const Brush& SelectedBrush() const { return brush_; }
  // Applies `rop` with the selected brush to the block (x, y, w, h); negative sizes count from
  // the other edge.
  void PatBlt(int x, int y, int w, int h, Rop rop = Rop::PatCopy);

  // Background used by Opaque text and the gaps of hatch brushes.
  BkMode SetBkMode(BkMode mode);  // returns the previous mode; a new canvas is Opaque
  BkMode GetBkMode() const { return bk_mode_; }
  Colour SetBkColor(Colour c);  // returns the previous colour; a new canvas has white
  Colour BkColor() const { return bk_colour_; }

  // Text.
  Colour SetTextColor(Colour c);  // returns the previous colour; a new canvas has black
  Colour TextColor() const { return text_colour_; }
  FontSpec SetFont(const FontSpec& f);  // returns the previous font; a new canvas has DefaultFont()
  const FontSpec& SelectedFont() const { return font_; }

  // Draws UTF-8 `text` into `rect` (the classic DrawText). "&" marks the next character as the
  // access key (underlined), "&&" prints one "&" (unless NoPrefix). Without SingleLine, line
  // breaks in the text start new lines; WordBreak also wraps at word boundaries to fit the width.
  // The text is clipped to `rect` unless NoClip. RtlReading lays the text out right to left (the
  // alignment flags keep their plain meaning). With CalcRect nothing is drawn: the rectangle's
  // right and bottom are set to fit the text (the width kept for word-wrapped text, wider lines
  // excepted). Returns the height of the text; 0 for empty text.
  int DrawTextIn(std::string_view text, Rect& rect, TextFormat format);
  int DrawTextIn(std::string_view text, const Rect& rect, TextFormat format);
  // Width and height of one line of text in the selected font ("&" handled as in DrawTextIn).
  Size MeasureText(std::string_view text, TextFormat format = TextFormat::SingleLine);

  // Block copies (plain source copy), clipped to both surfaces.
  void BitBlt(int x_dest, int y_dest, int w, int h, const Canvas& src, int x_src, int y_src);
  // Copies a block of pixels to (x, y) at its own size; its alpha, if any, is ignored.
  void DrawImage(int x, int y, const Image& block);
  // The pixels of `r` (clipped).
  Image ReadBlock(const Rect& r) const;

  // Changes the size; the overlapping top-left part is kept, new pixels are black.
  void Resize(int width, int height);

 private:
  void FillClipped(const Rect& r, std::uint32_t pixel);
  void PlotPen(int x, int y);

  Image pixels_;
  Colour pen_ = 0x000000;
  Point pos_;
  Brush brush_ = Brush::Solid(0xFFFFFF);
  BkMode bk_mode_ = BkMode::Opaque;
  Colour bk_colour_ = 0xFFFFFF;
  Colour text_colour_ = 0x000000;
  FontSpec font_;
};

}  // namespace velquin::draw
