#include "controls/button/face_picture.h"

#include <gtest/gtest.h>

#include "draw/colour.h"

namespace velquin::button {
namespace {

using draw::Image;
using draw::Rgb;
using draw::ToPixel;

Image Surface(int w, int h, Colour c = Rgb(255, 255, 255)) { return Image(w, h, ToPixel(c)); }

// A picture with an alpha channel, one straight alpha value per pixel.
Image WithAlpha(std::initializer_list<std::pair<Colour, int>> pixels) {
  Image p(static_cast<int>(pixels.size()), 1);
  p.SetHasAlpha(true);
  int x = 0;
  for (const auto& [c, a] : pixels)
    p.SetPixelAt(x++, 0, (ToPixel(c) & 0xFFFFFF) | (std::uint32_t(a) << 24));
  return p;
}

// A 4 x 4 picture: (224, 224, 224) background with a red 2 x 2 centre.
Image MaskedBitmap() {
  Image p(4, 4, ToPixel(Rgb(224, 224, 224)));
  for (int y = 1; y < 3; ++y)
    for (int x = 1; x < 3; ++x) p.SetPixelAt(x, y, ToPixel(Rgb(255, 0, 0)));
  return p;
}

Colour At(const Image& s, int x, int y) { return draw::FromPixel(s.PixelAt(x, y)); }

TEST(FacePicture, MaskColourHidesTheBackgroundOnlyWhenUsed) {
  Image s = Surface(6, 6, Rgb(10, 20, 30));
  PictureInk ink;
  DrawPicture(s, 1, 1, MaskedBitmap(), ink);
  EXPECT_EQ(At(s, 1, 1), Rgb(10, 20, 30));
  EXPECT_EQ(At(s, 2, 2), Rgb(255, 0, 0));

  ink.use_mask_color = false;
  DrawPicture(s, 1, 1, MaskedBitmap(), ink);
  EXPECT_EQ(At(s, 1, 1), Rgb(224, 224, 224));
}

TEST(FacePicture, IconsAreMaskedByLightGreyNotByMaskColour) {
  const Image icon = WithAlpha({{Rgb(0, 0, 0), 0}, {Rgb(0, 0, 255), 255}});
  Image s = Surface(2, 1);
  PictureInk ink;
  ink.is_icon = true;
  ink.mask_color = Rgb(0, 0, 255);  // ignored for icons
  DrawPicture(s, 0, 0, icon, ink);
  EXPECT_EQ(At(s, 0, 0), Rgb(255, 255, 255));
  EXPECT_EQ(At(s, 1, 0), Rgb(0, 0, 255));
}

TEST(FacePicture, DisabledGreyPictureIsDrawnAtThreeQuartersOpacity) {
  const int A = PictureOpacityFor(0, false, 1, 255, 255);
  EXPECT_EQ(A, 191);
  EXPECT_EQ(PictureOpacityFor(0, false, 0, 255, 255), 52);
  EXPECT_EQ(PictureOpacityFor(1, true, 0, 100, 200), 200);

  Image s = Surface(6, 6);
  PictureInk ink;
  ink.opacity = A;
  ink.grey = true;
  DrawPicture(s, 0, 0, MaskedBitmap(), ink);
  // red 255 -> grey Nearest(76.5) = 76; (76 * 191 + 255 * 64) div 256 = 120
  EXPECT_EQ(At(s, 1, 1), Rgb(120, 120, 120));
  EXPECT_EQ(At(s, 0, 0), Rgb(255, 255, 255));
}

TEST(FacePicture, AlphaPicturesScaleTheirAlphaAndIgnoreTheMask) {
  // The mask colour, drawn anyway, and black at alpha 128.
  const Image p = WithAlpha({{Rgb(224, 224, 224), 255}, {Rgb(0, 0, 0), 128}});
  Image s = Surface(2, 1);
  PictureInk ink;
  ink.opacity = 255;
  DrawPicture(s, 0, 0, p, ink);
  EXPECT_EQ(At(s, 0, 0), Rgb(224, 224, 224));
  // a = 128: (0 * 128 + 255 * 127) div 256 = 126
  EXPECT_EQ(At(s, 1, 0), Rgb(126, 126, 126));
}

TEST(FacePicture, EffectsSilhouettesAndClipping) {
  const EffectTables t = MakeEffectTables();
  EXPECT_EQ(t.brighten[200], 229);
  EXPECT_EQ(t.brighten[240], 255);
  EXPECT_EQ(t.darken[200], 170);
  EXPECT_EQ(PictureEffectFor(1, 1, 2), 1);
  EXPECT_EQ(PictureEffectFor(2, 1, 2), 2);
  EXPECT_EQ(PictureEffectFor(0, 1, 2), 0);

  const Image p(1, 1, ToPixel(Rgb(200, 100, 0)));
  Image s = Surface(3, 3);
  PictureInk ink;
  ink.effect = 2;
  DrawPicture(s, 0, 0, p, ink);
  EXPECT_EQ(At(s, 0, 0), Rgb(170, 85, 0));

  ink.silhouette = Rgb(192, 192, 192);
  DrawPicture(s, 2, 2, p, ink);
  EXPECT_EQ(At(s, 2, 2), Rgb(192, 192, 192));

  DrawPicture(s, -2, 3, MaskedBitmap(), ink);  // entirely or partly outside: no crash
  DrawPicture(s, -1, -1, MaskedBitmap(), ink);
  EXPECT_EQ(At(s, 1, 1), Rgb(192, 192, 192));
}

}  // namespace
}  // namespace velquin::button
