#include "controls/button/face_picture.h"

#include <gtest/gtest.h>

#include "draw/colour.h"

namespace velquin::button {
namespace {

QImage Surface(int w, int h, QColor c = Qt::white) {
  QImage s(w, h, QImage::Format_RGB32);
  s.fill(c);
  return s;
}

// A 4 x 4 picture: (224, 224, 224) background with a red 2 x 2 centre.
QImage MaskedBitmap() {
  QImage p(4, 4, QImage::Format_RGB32);
  p.fill(QColor(224, 224, 224));
  for (int y = 1; y < 3; ++y)
    for (int x = 1; x < 3; ++x) p.setPixel(x, y, qRgb(255, 0, 0));
  return p;
}

using draw::Rgb;

Colour At(const QImage& s, int x, int y) { return draw::FromQRgb(s.pixel(x, y)); }

TEST(FacePicture, MaskColourHidesTheBackgroundOnlyWhenUsed) {
  QImage s = Surface(6, 6, QColor(10, 20, 30));
  PictureInk ink;
  DrawPicture(s, 1, 1, MaskedBitmap(), ink);
  EXPECT_EQ(At(s, 1, 1), Rgb(10, 20, 30));
  EXPECT_EQ(At(s, 2, 2), Rgb(255, 0, 0));

  ink.use_mask_color = false;
  DrawPicture(s, 1, 1, MaskedBitmap(), ink);
  EXPECT_EQ(At(s, 1, 1), Rgb(224, 224, 224));
}

TEST(FacePicture, IconsAreMaskedByLightGreyNotByMaskColour) {
  QImage icon(2, 1, QImage::Format_ARGB32);
  icon.setPixel(0, 0, qRgba(0, 0, 0, 0));
  icon.setPixel(1, 0, qRgba(0, 0, 255, 255));
  QImage s = Surface(2, 1);
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

  QImage s = Surface(6, 6);
  PictureInk ink;
  ink.opacity = A;
  ink.grey = true;
  DrawPicture(s, 0, 0, MaskedBitmap(), ink);
  // red 255 -> grey Nearest(76.5) = 76; (76 * 191 + 255 * 64) div 256 = 120
  EXPECT_EQ(At(s, 1, 1), Rgb(120, 120, 120));
  EXPECT_EQ(At(s, 0, 0), Rgb(255, 255, 255));
}

TEST(FacePicture, AlphaPicturesScaleTheirAlphaAndIgnoreTheMask) {
  QImage p(2, 1, QImage::Format_ARGB32);
  p.setPixel(0, 0, qRgba(224, 224, 224, 255));  // the mask colour, drawn anyway
  p.setPixel(1, 0, qRgba(0, 0, 0, 128));
  QImage s = Surface(2, 1);
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

  QImage p(1, 1, QImage::Format_RGB32);
  p.setPixel(0, 0, qRgb(200, 100, 0));
  QImage s = Surface(3, 3);
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
