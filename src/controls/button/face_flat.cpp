// The faces with set looks of their own: styles 4 (flat fill), 5 (split gradient), 6 (toolbar)
// and 8 (banded glass). A disabled button of these styles shows its face at rest.
#include "controls/button/face_paint.h"
#include "draw/rounding.h"

namespace velquin::button {

using draw::Rgb;

namespace {}  // namespace

void PaintFlatFill(FacePaint& p) {
  const Colour F = p.F;
  const int W = p.W;
  const int H = p.H;
  Colour base = F;
  Colour frame = p.Shift(F, -0.12);
  switch (p.face.scheme) {
    case ColorScheme::Blue:
      base = Rgb(193, 210, 238);
      frame = Rgb(49, 106, 197);
      break;
    case ColorScheme::Olive:
      base = Rgb(212, 214, 186);
      frame = Rgb(147, 160, 112);
      break;
    case ColorScheme::Silver:
      base = Rgb(224, 223, 227);
      frame = Rgb(178, 180, 191);
      break;
    case ColorScheme::Custom:
      break;
  }

  if (p.isSet()) {
    p.Fill(p.Shift(base, -0.05));
    p.Frame(0, 0, W, H, frame);
    if (p.face.over) {
      p.Fill(p.Shift(base, -0.01));
      p.Frame(0, 0, W, H, frame);
    }
    p.Caption();
    return;
  }
  switch (p.state()) {
    case ButtonState::Normal:
      p.Fill(F);
      p.Caption();
      break;
    case ButtonState::Hot:
      p.Fill(p.Shift(base, +0.03));
      p.Caption();
      p.Frame(0, 0, W, H, frame);
      break;
    case ButtonState::Down:
      p.Fill(p.Shift(base, -0.08));
      p.Caption();
      p.Frame(0, 0, W, H, frame);
      break;
  }
}

void PaintSplitGradient(FacePaint& p) {
  const Colour F = p.F;
  const int W = p.W;
  const int H = p.H;
  const Colour navy = Rgb(0, 0, 128);

  if (p.isSet()) {
    if (p.face.over)
      p.Gradient(0, 0, W, H, Rgb(254, 145, 78), Rgb(255, 211, 142));
    else
      p.Gradient(0, 0, W, H, Rgb(255, 213, 140), Rgb(255, 173, 85));
    p.Caption();
    p.Frame(0, 0, W, H, navy);
    return;
  }
  switch (p.state()) {
    case ButtonState::Normal:
      p.Region();
      p.Gradient(0, 0, W, p.half_h, p.Blend(kWhite, p.Shift(F, +0.08)), F);
      p.Gradient(0, p.half_h, W, draw::Nearest(H / 2.0 + 1), F, p.Shift(F, -0.15));
      break;
    case ButtonState::Hot:
      p.Gradient(0, 0, W, H, Rgb(255, 244, 204), Rgb(255, 208, 145));
      break;
    case ButtonState::Down:
      p.Gradient(0, 0, W, H, Rgb(254, 145, 78), Rgb(255, 211, 142));
      break;
  }
  p.Caption();
  if (!p.isNormal()) p.Frame(0, 0, W, H, navy);
}

void PaintToolbar(FacePaint& p) {
  const Colour F = p.F;
  const int W = p.W;
  const int H = p.H;

  // The toolbar face chooses its own caption colour at every paint.
  p.face.fore_color = p.isDown() ? kWhite : draw::SystemColour(draw::kColourButtonText);
  p.face.fore_color_after_paint = p.face.fore_color;

  ButtonState state = p.state();
  if (p.isSet() && p.face.mouse_held) state = ButtonState::Down;
  if (p.isSet() && state != ButtonState::Down) {
    p.Fill(Rgb(254, 254, 254));
    p.face.fore_color = draw::SystemColour(draw::kColourButtonText);
    p.face.fore_color_after_paint = p.face.fore_color;
    p.Caption();
    p.Frame(0, 0, W, H, Rgb(122, 152, 175));
    p.CornerPixels(p.Shift(Rgb(160, 179, 193), -0.2));
    if (state == ButtonState::Hot) {
      p.Line(W - 2, 2, W - 2, H - 2, Rgb(242, 240, 237));
      p.Line(2, H - 2, W - 2, H - 2, Rgb(228, 222, 216));
      p.Line(2, H - 3, W - 2, H - 3, Rgb(239, 236, 232));
      p.Line(2, H - 4, W - 2, H - 4, Rgb(250, 249, 248));
    }
    return;
  }
  switch (state) {
    case ButtonState::Normal:
      p.Region();
      p.Fill(F);
      p.Caption();
      break;
    case ButtonState::Hot:
      p.Gradient(0, 0, W, p.half_h, Rgb(254, 254, 253), Rgb(244, 244, 238));
      p.Gradient(0, p.half_h, W, p.half_h, Rgb(244, 244, 238), Rgb(241, 241, 234));
      p.Caption();
      p.Line(W - 2, 2, W - 2, H - 2, Rgb(234, 231, 224));
      p.Line(W - 3, 2, W - 3, H - 2, Rgb(240, 240, 234));
      p.Line(0, H - 4, W, H - 4, Rgb(238, 237, 229));
      p.Line(0, H - 3, W, H - 3, Rgb(228, 225, 214));
      p.Line(0, H - 2, W, H - 2, Rgb(215, 210, 198));
      p.Frame(0, 0, W, H, Rgb(206, 206, 195));
      p.CornerPixels(p.Shift(Rgb(212, 212, 201), -0.05));
      break;
    case ButtonState::Down:
      p.Fill(Rgb(229, 228, 221));
      p.Caption();
      p.Line(1, 1, W - 2, 1, p.Shift(Rgb(220, 218, 209), -0.02));
      p.Line(1, 2, W - 2, 2, p.Shift(Rgb(227, 225, 218), -0.02));
      p.Line(1, H - 3, W - 2, H - 3, p.Shift(Rgb(230, 229, 222), +0.02));
      p.Line(1, H - 2, W - 2, H - 2, p.Shift(Rgb(235, 234, 229), +0.02));
      p.Frame(0, 0, W, H, Rgb(157, 157, 146));
      p.CornerPixels(p.Shift(Rgb(181, 180, 171), -0.2));
      break;
  }
}

void PaintBandedGlass(FacePaint& p) {
  const Colour F = p.F;
  const int W = p.W;
  const int H = p.H;
  const int S = draw::Nearest(H / 2.7);
  const int L = draw::Nearest(H - H / 2.7);
  auto down_bands = [&] {
    p.Gradient(0, 0, W, S, Rgb(255, 193, 88), Rgb(255, 175, 81));
    p.Gradient(0, S, W, L, Rgb(255, 143, 70), Rgb(255, 211, 95));
  };
  const Colour frame = p.Shift(F, -0.34);

  if (p.isSet()) {
    p.Gradient(0, 0, W, S, Rgb(255, 217, 169), Rgb(255, 192, 111));
    p.Gradient(0, S, W, L, Rgb(255, 171, 63), Rgb(255, 225, 117));
    p.Frame(0, 0, W, H, frame);
    if (p.face.over) {
      down_bands();
      p.Frame(0, 0, W, H, frame);
    }
    p.Caption();
    return;
  }
  switch (p.state()) {
    case ButtonState::Normal:
      p.Fill(F);
      p.Gradient(0, 0, W, S, p.Blend(p.Shift(F, +0.09), kWhite), p.Blend(p.Shift(F, +0.07), F));
      p.Gradient(0, S, W, L, F, p.Shift(F, +0.03));
      break;
    case ButtonState::Hot:
      p.Gradient(0, 0, W, S, Rgb(255, 255, 225), Rgb(255, 234, 172));
      p.Gradient(0, S, W, L, Rgb(255, 215, 103), Rgb(255, 228, 153));
      break;
    case ButtonState::Down:
      down_bands();
      break;
  }
  p.Caption();
  p.Frame(0, 0, W, H, frame);
}

}  // namespace velquin::button
