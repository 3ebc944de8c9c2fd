// A plain face for every style: the face colour, a frame and the caption. It stands in until the
// styled painters exist, and honours the contract of face.h (style-13 fallback included).
#include "controls/button/face.h"
#include "controls/button/scheme.h"

namespace velquin::button {

void PaintButtonFace(draw::Canvas& canvas, ButtonFace& face) {
  if (face.style == ButtonStyle::SystemTheme) {
    if (!face.themes_available) face.themes_available = true;
    if (!*face.themes_available) {
      const SchemeColors c = SchemeColorsFor(ButtonStyle::RoundedScheme, ColorScheme::Blue);
      face.style = ButtonStyle::RoundedScheme;
      face.scheme = ColorScheme::Blue;
      if (c.back_color) face.back_color = *c.back_color;
      face.fore_color = c.fore_color;
      face.show_focus_rect = c.show_focus_rect;
      face.fell_back_to_rounded_scheme = true;
    }
  }
  const int w = face.width;
  const int h = face.height;
  const draw::Rect all{0, 0, w, h};
  canvas.FillRect(all, draw::TranslateColor(face.back_color));
  const bool down = face.state == ButtonState::Down;
  canvas.DrawEdge(all, down ? draw::EDGE_SUNKEN : draw::EDGE_RAISED, draw::BF_RECT);

  Colour text = face.state == ButtonState::Hot ? face.fore_color_hover : face.fore_color;
  if (!face.enabled) text = draw::SystemColourRef(draw::kColourGrayText);
  canvas.SelectFont(face.font);
  canvas.SetBkMode(draw::TRANSPARENT);
  const Colour previous = canvas.SetTextColor(draw::TranslateColor(text));
  unsigned format = draw::DT_CENTER | draw::DT_WORDBREAK;
  if (face.right_to_left) format |= draw::DT_RTLREADING;
  draw::Rect measure{0, 0, w - 8, h};
  canvas.DrawText(face.caption, measure, format | draw::DT_CALCRECT);
  const int tw = measure.Width();
  const int th = measure.Height();
  draw::Rect r{(w - tw) / 2, (h - th) / 2, (w - tw) / 2 + tw, (h - th) / 2 + th};
  if (down) r = r.Offset(1, 1);
  canvas.DrawText(face.caption, r, format);
  canvas.SetTextColor(previous);
  face.caption_rect = QRect(r.left, r.top, r.Width(), r.Height());

  if (face.has_focus && face.show_focus_rect && face.parent_active) {
    canvas.DrawFocusRect(all.Inflate(-3, -3));
  }
}

QRegion ButtonRegion(ButtonStyle style, int width, int height) {
  QRegion region(0, 0, width, height);
  switch (style) {
    case ButtonStyle::RoundedScheme:
    case ButtonStyle::RoundedPanel:
    case ButtonStyle::RoundedSoft:
    case ButtonStyle::RoundedGlass:
    case ButtonStyle::Toolbar:
    case ButtonStyle::RoundedShaded:
      for (QPoint corner : {QPoint(0, 0), QPoint(width - 1, 0), QPoint(0, height - 1),
                            QPoint(width - 1, height - 1)}) {
        region -= QRegion(corner.x(), corner.y(), 1, 1);
      }
      break;
    default:
      break;
  }
  return region;
}

}  // namespace velquin::button
