// The rounded faces: styles 2 (scheme-coloured frames), 3 (panel), 7 (soft), 9 (glass) and 10
// (shaded). None has a set face of its own: a set button arrives in the Down state.
#include "controls/button/face_paint.h"
#include "draw/rounding.h"

namespace velquin::button {

using draw::Rgb;

namespace {

constexpr Colour kButtonFace = draw::SystemColourRef(draw::kColourButtonFace);

// Style 2 inner lines for focus or default, by scheme: top inner, top outer, outer sides, inner
// sides, bottom inner, bottom outer.
struct FocusLines {
  Colour top2, top1, sides1, sides2, bottom3, bottom2;
};
constexpr FocusLines kBlueFocus{Rgb(188, 212, 246), Rgb(206, 231, 255), Rgb(142, 175, 230),
                                Rgb(184, 209, 244), Rgb(137, 173, 228), Rgb(105, 130, 238)};
constexpr FocusLines kOliveFocus{Rgb(194, 209, 143), Rgb(177, 203, 128), Rgb(160, 200, 104),
                                 Rgb(160, 200, 104), Rgb(160, 200, 104), Rgb(168, 167, 102)};
constexpr FocusLines kSilverFocus{Rgb(188, 212, 246), Rgb(206, 231, 255), Rgb(142, 175, 230),
                                  Rgb(255, 255, 255), Rgb(137, 173, 228), Rgb(105, 130, 238)};

// The six lines style 2 draws for hot and focus marks, in one colour set.
void SchemeLines(FacePaint& p, const FocusLines& c) {
  const int W = p.W;
  const int H = p.H;
  p.Line(1, 2, W - 2, 2, c.top2);
  p.Line(1, 1, W - 2, 1, c.top1);
  p.Line(1, 1, 1, H - 2, c.sides1);
  p.Line(W - 2, 2, W - 2, H - 2, c.sides1);
  p.Line(2, 2, 2, H - 3, c.sides2);
  p.Line(W - 3, 3, W - 3, H - 3, c.sides2);
  p.Line(2, H - 3, W - 2, H - 3, c.bottom3);
  p.Line(2, H - 2, W - 2, H - 2, c.bottom2);
}

}  // namespace

void PaintRoundedScheme(FacePaint& p) {
  const Colour F = p.F;
  const int W = p.W;
  const int H = p.H;
  const int h2 = p.half_h;
  const int scheme = p.scheme();

  if (!p.face.enabled) {
    p.Region();
    p.Fill(p.Blend(draw::TranslateColor(kButtonFace), p.Shift(F, +0.1)));
    p.Caption();
    p.Frame(0, 0, W, H, p.Shift(F, -0.1));
    p.CornerPixels(p.Shift(F, -0.1));
    return;
  }

  if (p.isDown()) {
    if (scheme == 2) {
      p.Gradient(0, 0, W, H - 6, p.Shift(F, -0.2), p.Shift(F, +0.05));
      p.Gradient(0, H - 6, W, H - 1, p.Shift(F, +0.08), kWhite);
      p.Caption();
      p.Frame(1, 1, W - 2, H - 2, kWhite);
    } else {
      p.Fill(p.Shift(F, -0.05));
      p.Caption();
      p.Line(1, 1, W - 2, 1, p.Shift(F, -0.16));
      p.Line(1, 1, 1, H - 2, p.Shift(F, -0.16));
      p.Line(1, 2, W - 2, 2, p.Shift(F, -0.1));
      p.Line(2, 2, 2, H - 2, p.Shift(F, -0.1));
      p.Line(1, H - 2, W - 2, H - 2, p.Shift(F, +0.01));
      p.Line(W - 2, 2, W - 2, H - 2, p.Shift(F, +0.04));
    }
  } else {
    if (p.isNormal()) p.Region();
    if (scheme == 2) {
      p.Gradient(0, 0, W, h2, p.Shift(F, +0.22), F);
      p.Gradient(0, h2, W, h2, p.Shift(F, -0.01), p.Shift(F, -0.15));
      p.Caption();
      p.Line(W - 2, 2, W - 2, H - 2, kWhite);
      p.Line(1, 1, 1, H - 2, kWhite);
    } else {
      p.Gradient(0, 0, W, H, p.Shift(F, +0.07), F);
      p.Gradient(0, 0, W, 4, p.Shift(F, +0.1), p.Shift(F, +0.08));
      p.Caption();
      p.Line(1, H - 2, W - 2, H - 2, p.Shift(F, -0.09));
      p.Line(1, H - 3, W - 2, H - 3, p.Shift(F, -0.05));
      p.Line(1, H - 4, W - 2, H - 4, p.Shift(F, -0.01));
      p.Line(W - 2, 2, W - 2, H - 2, p.Shift(F, -0.08));
      p.Line(1, 1, 1, H - 2, p.Blend(kWhite, F));
    }
    if (p.isHot())
      SchemeLines(p, {Rgb(253, 216, 137), Rgb(255, 240, 207), Rgb(249, 189, 73), Rgb(252, 210, 122),
                      Rgb(248, 179, 48), Rgb(229, 151, 0)});
  }

  const bool marked = p.face.parent_active && p.focusOrDefault();
  if (marked && p.isNormal())
    SchemeLines(p, scheme == 1 ? kOliveFocus : scheme == 2 ? kSilverFocus : kBlueFocus);
  if (marked && p.face.show_focus_rect) p.FocusRect(2, 2, W - 2, H - 2);

  const Colour frame = scheme == 1 ? Rgb(55, 98, 6) : Rgb(0, 60, 116);
  p.Frame(0, 0, W, H, frame);
  p.CornerPixels(p.Shift(frame, +0.3));
}

void PaintRoundedPanel(FacePaint& p) {
  const Colour F = p.F;
  const int W = p.W;
  const int H = p.H;
  const int h2 = p.half_h;

  if (!p.face.enabled) {
    p.Region();
    p.Fill(p.Shift(F, +0.03));
    p.Caption();
    p.Frame(0, 0, W, H, p.Shift(F, -0.25));
    p.Frame(1, 1, W - 2, H - 2, p.Shift(F, +0.25));
    p.CornerPixels(p.Shift(F, -0.03));
    return;
  }

  // The shaded five-pixel strips at both sides of the hot and pressed faces.
  const int upper_h = draw::Nearest(H / 2.0 - 2);
  const int lower_h = draw::Nearest(H - H / 2.0 - 1);
  auto sides = [&](Colour upper_edge, Colour upper_inner, Colour lower_edge, Colour lower_inner) {
    p.HorizontalGradient(1, 3, 5, upper_h, upper_edge, upper_inner);
    p.HorizontalGradient(1, h2, 5, lower_h, lower_edge, lower_inner);
    p.HorizontalGradient(W - 6, 3, 5, upper_h, upper_inner, upper_edge);
    p.HorizontalGradient(W - 6, h2, 5, lower_h, lower_inner, lower_edge);
  };

  switch (p.state()) {
    case ButtonState::Normal:
      p.Region();
      p.Gradient(1, 1, W - 1, H, p.Shift(F, +0.05), F);
      p.Gradient(1, h2, W - 2, H - 2, p.Shift(F, -0.02), p.Shift(F, -0.15));
      p.Caption();
      p.Frame(0, 0, W, H, Rgb(112, 112, 112));
      p.Frame(1, 1, W - 2, H - 2, kWhite);
      break;
    case ButtonState::Hot:
      p.Gradient(1, 1, W - 2, h2, Rgb(228, 247, 255), Rgb(218, 243, 255));
      p.Gradient(1, h2, W - 2, H - 2, Rgb(193, 233, 255), Rgb(174, 225, 253));
      sides(Rgb(205, 238, 255), Rgb(228, 247, 255), Rgb(143, 214, 250),
            p.Shift(Rgb(172, 225, 253), +0.01));
      p.Caption();
      p.Frame(0, 0, W, H, Rgb(50, 117, 167));
      p.Frame(1, 1, W - 2, H - 2, kWhite);
      break;
    case ButtonState::Down:
      p.Gradient(1, 1, W - 1, H, Rgb(194, 228, 246), Rgb(194, 228, 246));
      p.Gradient(1, h2, W - 2, H - 2, Rgb(154, 210, 240), Rgb(154, 210, 240));
      p.Frame(0, 0, W, H, Rgb(29, 65, 92));
      p.Line(1, 1, W - 1, 1, Rgb(113, 156, 179));
      p.Line(1, 2, W - 1, 2, Rgb(169, 198, 214));
      p.Line(1, 3, W - 1, 3, Rgb(185, 217, 236));
      p.Line(1, 1, 1, h2, Rgb(115, 176, 207));
      p.Line(1, h2, 1, H - 1, Rgb(43, 145, 197));
      sides(p.Shift(Rgb(145, 200, 230), +0.02), p.Shift(Rgb(194, 228, 246), -0.01),
            p.Shift(Rgb(78, 171, 220), +0.02), p.Shift(Rgb(154, 210, 240), -0.01));
      p.Caption();
      break;
  }

  if (p.face.parent_active) {
    if (p.isNormal() && p.focusOrDefault()) {
      p.Frame(0, 0, W, H, Rgb(50, 117, 167));
      p.Frame(1, 1, W - 2, H - 2, Rgb(72, 216, 251));
    }
    if (p.face.show_focus_rect && p.face.has_focus) p.FocusRect(2, 2, W - 2, H - 2);
  }
  p.CornerPixels(Rgb(95, 150, 190));
}

void PaintRoundedSoft(FacePaint& p) {
  const Colour F = p.F;
  const int W = p.W;
  const int H = p.H;

  if (!p.face.enabled) {
    p.Fill(F);
    p.Caption();
    p.CornerPixels(F);
    return;
  }
  auto frames = [&] {
    p.Frame(0, 0, W, H, Rgb(97, 158, 202));
    p.Frame(1, 1, W - 2, H - 2, kWhite);
    p.CornerPixels(p.Shift(Rgb(97, 158, 202), +0.3));
  };
  switch (p.state()) {
    case ButtonState::Normal:
      p.Region();
      p.Fill(F);
      p.Caption();
      break;
    case ButtonState::Hot: {
      const Colour lower = Rgb(208, 236, 248);
      p.Gradient(1, 1, W - 2, H - 2, Rgb(241, 249, 253), lower);
      p.Gradient(1, draw::Nearest(H / 1.7), W - 2, H - 2, lower, lower);
      p.Caption();
      frames();
      break;
    }
    case ButtonState::Down:
      p.Gradient(1, 1, W - 2, H - 2, Rgb(176, 222, 241), Rgb(219, 241, 249));
      p.Caption();
      frames();
      break;
  }
}

void PaintRoundedGlass(FacePaint& p) {
  const Colour F = p.F;
  const int W = p.W;
  const int H = p.H;
  const int h2 = p.half_h;
  // A disabled glass button is drawn at rest, with a grey caption.
  if (!p.face.enabled) p.face.state = ButtonState::Normal;
  const ButtonState state = p.state();

  if (state == ButtonState::Down) {
    p.Gradient(0, 0, W, h2, kWhite, p.Shift(F, -0.1));
    p.Gradient(0, h2, W, H - h2, p.Shift(F, -0.1), p.Shift(F, -0.05));
    p.Caption();
    p.Frame(1, 1, W - 2, H, kWhite);
    p.Frame(0, 0, W, H, p.Shift(F, -0.23));
    p.Line(2, H - 1, W - 2, H - 1, p.Shift(F, -0.4));
  } else {
    if (state == ButtonState::Normal) p.Region();
    p.Gradient(0, 0, W, h2, kWhite, F);
    p.FillEdges(0, h2, W, H, F);
    p.Caption();
    p.Frame(1, 1, W - 2, H, kWhite);
    p.Frame(0, 0, W, H, p.Shift(F, -0.2));
    p.Line(2, H - 1, W - 2, H - 1, p.Shift(F, -0.25));
  }
  p.CornerPixels(p.Shift(F, +0.05));
  if (p.face.parent_active && p.face.show_focus_rect && p.focusOrDefault())
    p.FocusRect(3, 3, W - 3, H - 3);
}

void PaintRoundedShaded(FacePaint& p) {
  struct Shades {
    bool region;
    bool shift_fill;  // fill Shift(F, -0.03) instead of F
    double t, d, b, f, k;
  };
  static constexpr Shades kDisabled{false, false, +0.05, -0.02, +0.08, -0.2, -0.23};
  static constexpr Shades kNormal{true, true, +0.1, -0.05, +0.1, -0.33, -0.36};
  static constexpr Shades kHot{false, true, +0.15, -0.05, +0.2, -0.28, -0.36};
  static constexpr Shades kDown{false, true, +0.1, -0.08, +0.05, -0.36, -0.36};

  const Colour F = p.F;
  const int W = p.W;
  const int H = p.H;
  const Shades& s = !p.face.enabled ? kDisabled : p.isHot() ? kHot : p.isDown() ? kDown : kNormal;
  if (s.region) p.Region();
  p.Fill(s.shift_fill ? p.Shift(F, -0.03) : F);
  p.Gradient(0, 0, W, 5, p.Shift(p.Blend(F, kWhite), s.t), F);
  p.Gradient(0, 6, W, H - 1, p.Shift(F, s.d), p.Blend(kWhite, p.Shift(F, s.b)));
  p.Caption();
  p.Frame(0, 0, W, H, p.Shift(F, s.f));
  p.CornerPixels(p.Shift(F, s.k));
}

}  // namespace velquin::button
