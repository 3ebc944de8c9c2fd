#pragma once
// The shared toolkit of the style painters: one FacePaint per repaint holds the canvas, the face
// being drawn, the resolved face colour F and the drawing primitives in the (x, y, w, h) notation
// the style routines are written in.

#include "controls/button/face.h"
#include "controls/button/face_color.h"
#include "draw/canvas.h"

namespace velquin::button {

class FacePaint {
 public:
  FacePaint(draw::Canvas& canvas, ButtonFace& face);

  draw::Canvas& canvas;
  ButtonFace& face;
  const int W;
  const int H;
  const int half_h;  // Nearest(H / 2)
  const Colour F;    // BackColor resolved

  ButtonState state() const { return face.state; }
  bool isNormal() const { return face.state == ButtonState::Normal; }
  bool isHot() const { return face.state == ButtonState::Hot; }
  bool isDown() const { return face.state == ButtonState::Down; }
  // Mode not Push and Value true.
  bool isSet() const { return face.mode != ButtonMode::Push && face.value; }
  bool focusOrDefault() const { return face.has_focus || face.is_default; }
  int style() const { return static_cast<int>(face.style); }
  int scheme() const { return static_cast<int>(face.scheme); }

  Colour Shift(Colour c, double amount) const { return ShiftColor(c, amount); }
  Colour Blend(Colour a, Colour b) const { return BlendColors(a, b); }

  void Fill(Colour c) { Fill(0, 0, W, H, c); }
  void Fill(int x, int y, int w, int h, Colour c);
  // FillRect with a rectangle given by its edges.
  void FillEdges(int left, int top, int right, int bottom, Colour c);
  void Frame(int x, int y, int w, int h, Colour c);
  void Line(int x1, int y1, int x2, int y2, Colour c);
  // Top to bottom; Horizontal runs left to right.
  void Gradient(int x, int y, int w, int h, Colour from, Colour to);
  void HorizontalGradient(int x, int y, int w, int h, Colour from, Colour to);
  void CornerPixels(Colour c);
  void RaisedEdge(const draw::Rect& r);
  void RaisedEdge() { RaisedEdge({0, 0, W, H}); }
  void SunkenEdge() { canvas.DrawEdge({0, 0, W, H}, draw::Edge::Sunken, draw::EdgeFlags::Rect); }
  void ThinRaisedEdge() {
    canvas.DrawEdge({0, 0, W, H}, draw::Edge::RaisedInner, draw::EdgeFlags::Rect);
  }
  // The dotted focus rectangle, by its edges.
  void FocusRect(int left, int top, int right, int bottom);
  // UpdateRegion: the style's rounded window region, handed back for the control to apply.
  void Region();
  // DrawCaptionAndPicture.
  void Caption();
};

// The style routines, chosen from a table by ButtonStyle.
void PaintClassic(FacePaint& p);        // 0, 1, 11, 12
void PaintRoundedScheme(FacePaint& p);  // 2
void PaintRoundedPanel(FacePaint& p);   // 3
void PaintFlatFill(FacePaint& p);       // 4
void PaintSplitGradient(FacePaint& p);  // 5
void PaintToolbar(FacePaint& p);        // 6
void PaintRoundedSoft(FacePaint& p);    // 7
void PaintBandedGlass(FacePaint& p);    // 8
void PaintRoundedGlass(FacePaint& p);   // 9
void PaintRoundedShaded(FacePaint& p);  // 10
void PaintSystemTheme(FacePaint& p);    // 13

// Draws the caption, picture and drop-down symbol of a face already painted on the canvas.
void DrawCaptionAndPicture(draw::Canvas& canvas, ButtonFace& face);

}  // namespace velquin::button
