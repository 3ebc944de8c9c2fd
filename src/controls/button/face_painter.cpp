// PaintButtonFace: picks the style routine from a table and gives the routines their primitives.
#include <array>

#include "controls/button/face_paint.h"
#include "controls/button/scheme.h"
#include "draw/rounding.h"
#include "draw/theme.h"

namespace velquin::button {

FacePaint::FacePaint(draw::Canvas& c, ButtonFace& f)
    : canvas(c),
      face(f),
      W(f.width),
      H(f.height),
      half_h(draw::Nearest(f.height / 2.0)),
      F(draw::TranslateColor(f.back_color)) {}

void FacePaint::Fill(int x, int y, int w, int h, Colour c) {
  canvas.FillRect({x, y, x + w, y + h}, draw::TranslateColor(c));
}

void FacePaint::FillEdges(int left, int top, int right, int bottom, Colour c) {
  canvas.FillRect({left, top, right, bottom}, draw::TranslateColor(c));
}

void FacePaint::Frame(int x, int y, int w, int h, Colour c) {
  canvas.FrameRect({x, y, x + w, y + h}, draw::TranslateColor(c));
}

void FacePaint::Line(int x1, int y1, int x2, int y2, Colour c) {
  canvas.DrawLine(x1, y1, x2, y2, draw::TranslateColor(c));
}

void FacePaint::Gradient(int x, int y, int w, int h, Colour from, Colour to) {
  GradientFill(canvas, x, y, w, h, from, to, 1);
}

void FacePaint::HorizontalGradient(int x, int y, int w, int h, Colour from, Colour to) {
  GradientFill(canvas, x, y, w, h, from, to, 0);
}

void FacePaint::CornerPixels(Colour c) {
  c = draw::TranslateColor(c);
  canvas.SetPixel(1, 1, c);
  canvas.SetPixel(1, H - 2, c);
  canvas.SetPixel(W - 2, 1, c);
  canvas.SetPixel(W - 2, H - 2, c);
}

void FacePaint::RaisedEdge(const draw::Rect& r) {
  canvas.DrawEdge(r, draw::Edge::Raised, draw::EdgeFlags::Rect);
}

void FacePaint::FocusRect(int left, int top, int right, int bottom) {
  canvas.DrawFocusRect({left, top, right, bottom});
}

void FacePaint::Region() { face.window_region = ButtonRegion(face.style, W, H); }

void FacePaint::Caption() { DrawCaptionAndPicture(canvas, face); }

namespace {

using StyleRoutine = void (*)(FacePaint&);

constexpr std::array<StyleRoutine, 14> kStyleRoutines = {
    PaintClassic,        // 0 Classic
    PaintClassic,        // 1 ClassicThin
    PaintRoundedScheme,  // 2
    PaintRoundedPanel,   // 3
    PaintFlatFill,       // 4
    PaintSplitGradient,  // 5
    PaintToolbar,        // 6
    PaintRoundedSoft,    // 7
    PaintBandedGlass,    // 8
    PaintRoundedGlass,   // 9
    PaintRoundedShaded,  // 10
    PaintClassic,        // 11 ClassicSunken
    PaintClassic,        // 12 ClassicThinFlat
    PaintSystemTheme,    // 13
};

// Style 13 where the desktop cannot draw its push button: style 2 in the Blue scheme, with the
// colours that scheme gives.
void FallBackToRoundedScheme(ButtonFace& face) {
  face.style = ButtonStyle::RoundedScheme;
  face.scheme = ColorScheme::Blue;
  const SchemeColors colours = SchemeColorsFor(face.style, face.scheme);
  if (colours.back_color) face.back_color = *colours.back_color;
  face.fore_color = colours.fore_color;
  face.show_focus_rect = colours.show_focus_rect;
  face.picture_push_on_hover = face.picture_push_on_hover || colours.picture_push_on_hover;
  face.fell_back_to_rounded_scheme = true;
  face.window_region = ButtonRegion(face.style, face.width, face.height);
}

}  // namespace

void PaintButtonFace(draw::Canvas& canvas, ButtonFace& face) {
  if (face.width <= 0 || face.height <= 0) return;
  const bool set = face.mode != ButtonMode::Push && face.value;
  if (set && face.style != ButtonStyle::Classic && face.style != ButtonStyle::Toolbar)
    face.state = ButtonState::Down;

  int style = static_cast<int>(face.style);
  if (style < 0 || style > 13) style = static_cast<int>(ButtonStyle::ClassicThin);
  if (face.style == ButtonStyle::SystemTheme) {
    if (!face.themes_available) face.themes_available = draw::ThemesActive();
    if (!*face.themes_available) {
      FallBackToRoundedScheme(face);
      style = static_cast<int>(ButtonStyle::RoundedScheme);
    }
  }
  FacePaint paint(canvas, face);
  kStyleRoutines[style](paint);
}

draw::Region ButtonRegion(ButtonStyle style, int width, int height) {
  int corner = 0;  // corner ellipse size
  switch (style) {
    case ButtonStyle::RoundedScheme:
    case ButtonStyle::RoundedPanel:
    case ButtonStyle::RoundedSoft:
    case ButtonStyle::RoundedGlass:
      corner = 3;
      break;
    case ButtonStyle::Toolbar:
    case ButtonStyle::RoundedShaded:
      corner = 4;
      break;
    default:
      return draw::Region(draw::Rect{0, 0, width, height});
  }
  // One pixel wider and higher: the rounded region leaves out its rectangle's last column and row.
  return draw::Region::RoundRect(0, 0, width + 1, height + 1, corner, corner);
}

}  // namespace velquin::button
