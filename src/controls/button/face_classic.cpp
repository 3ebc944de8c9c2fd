// The classic faces: styles 0 (raised edge), 1 (thin raised edge), 11 (sunken while pressed) and
// 12 (thin, flat while set).
#include "controls/button/face_paint.h"

namespace velquin::button {

namespace {

constexpr Colour kAppWorkspace = draw::SystemColourRef(draw::kColourAppWorkspace);
constexpr Colour kGrayText = draw::SystemColourRef(draw::kColourGrayText);

}  // namespace

void PaintClassic(FacePaint& p) {
  const ButtonStyle style = p.face.style;
  const bool classic = style == ButtonStyle::Classic;
  const bool thin = style == ButtonStyle::ClassicThin || style == ButtonStyle::ClassicThinFlat;
  const int W = p.W;
  const int H = p.H;

  if (!p.face.enabled) {
    if (classic)
      p.RaisedEdge();
    else if (style == ButtonStyle::ClassicThin)
      p.ThinRaisedEdge();
    p.Caption();
    return;
  }

  if (p.isSet()) {
    p.Fill(p.Shift(p.F, +0.02));
    p.Caption();
    if (style == ButtonStyle::ClassicThinFlat) return;
    p.SunkenEdge();
    if (classic && p.face.show_focus_rect && p.face.has_focus)
      p.Frame(4, 4, W - 7, H - 7, kAppWorkspace);
    return;
  }

  switch (p.state()) {
    case ButtonState::Normal:
      p.Region();
      p.Fill(p.F);
      p.Caption();
      if (classic)
        p.RaisedEdge();
      else if (style == ButtonStyle::ClassicThin)
        p.ThinRaisedEdge();
      break;
    case ButtonState::Hot:
      p.Fill(p.F);
      p.Caption();
      if (thin)
        p.ThinRaisedEdge();
      else
        p.RaisedEdge();
      break;
    case ButtonState::Down:
      p.Fill(p.F);
      p.Caption();
      if (classic) {
        p.Frame(1, 1, W - 2, H - 2, draw::Rgb(172, 168, 153));
        p.Frame(0, 0, W, H, kBlack);
      } else if (thin) {
        p.Frame(0, 0, W, H, kWhite);
        p.Frame(0, 0, W + 1, H + 1, kGrayText);
      } else {
        p.SunkenEdge();
      }
      break;
  }

  if (!p.focusOrDefault()) return;
  if (p.face.user_mode && p.face.show_focus_rect && p.face.parent_active) {
    const int inset = (classic || style == ButtonStyle::ClassicSunken) ? 4 : 3;
    p.FocusRect(inset, inset, W - inset, H - inset);
  }
  if (classic && !p.isDown()) {
    p.RaisedEdge({0, 0, W - 1, H - 1});
    p.Frame(0, 0, W - 1, H - 1, kAppWorkspace);
    p.Frame(0, 0, W, H, kBlack);
  }
}

}  // namespace velquin::button
