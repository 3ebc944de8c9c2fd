#include "draw/picture.h"

#include <gtest/gtest.h>

namespace velquin::draw {
namespace {

Image Sample(bool alpha) {
  Image image(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      image.SetPixelAt(x, y, (alpha ? std::uint32_t(40 * x) << 24 : 0xFF000000u) |
                                 ToPixel(Rgb(50 * x, 90 * y, 7)));
  image.SetHasAlpha(alpha);
  return image;
}

TEST(Picture, RoundTripsOpaqueAndTransparentPixelsExactly) {
  for (bool alpha : {false, true}) {
    SCOPED_TRACE(alpha);
    const Image image = Sample(alpha);
    const Picture picture = Picture::FromImage(image);
    ASSERT_FALSE(picture.IsEmpty());
    EXPECT_EQ(picture.png[1], 'P');
    EXPECT_EQ(picture.ToImage(), image);
  }
  EXPECT_TRUE(Picture::FromImage(Image{}).IsEmpty());
  EXPECT_TRUE(Picture{}.ToImage().IsNull());
}

TEST(Picture, BytesThatAreNotAWholePngDecodeToNothing) {
  std::vector<std::uint8_t> png = Picture::FromImage(Sample(false)).png;
  const std::vector<std::uint8_t> cases[] = {
      {},
      {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0},                 // another format
      std::vector<std::uint8_t>(png.begin(), png.begin() + 8),             // signature only
      std::vector<std::uint8_t>(png.begin(), png.begin() + png.size() / 2),  // cut short
  };
  for (const auto& bytes : cases) EXPECT_TRUE(DecodePng(bytes.data(), bytes.size()).IsNull());

  // A header that claims more than kMaxPictureSide pixels on a side is refused before decoding.
  std::vector<std::uint8_t> huge = png;
  huge[16] = 0, huge[17] = 0, huge[18] = 0x20, huge[19] = 0x00;  // width 8192
  EXPECT_TRUE(DecodePng(huge.data(), huge.size()).IsNull());
}

}  // namespace
}  // namespace velquin::draw
