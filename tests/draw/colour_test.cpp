#include "draw/colour.h"

#include <gtest/gtest.h>

#include "draw/image.h"

namespace velquin::draw {
namespace {

class ColourTest : public ::testing::Test {
 protected:
  void SetUp() override { PinSystemColours(ClassicSystemColours()); }
  void TearDown() override { PinSystemColours(std::nullopt); }
};

TEST_F(ColourTest, TranslateColorResolvesSystemReferencesAndKeepsPlainColours) {
  EXPECT_EQ(TranslateColor(0x8000000Du), Rgb(10, 36, 106));    // highlight
  EXPECT_EQ(TranslateColor(0x8000000Fu), Rgb(212, 208, 200));  // button face
  EXPECT_EQ(TranslateColor(0x80000012u), Rgb(0, 0, 0));        // button text
  EXPECT_EQ(TranslateColor(0x80000011u), Rgb(128, 128, 128));  // grey text
  EXPECT_EQ(TranslateColor(0x8000000Cu), Rgb(128, 128, 128));  // application workspace
  EXPECT_EQ(TranslateColor(0x80000018u), Rgb(255, 255, 225));  // tooltip background
  EXPECT_EQ(TranslateColor(0x00FF00u), 0x00FF00u);
  EXPECT_EQ(TranslateColor(0x12345678u), 0x345678u);  // stray high byte dropped
  EXPECT_EQ(TranslateColor(0x800000FFu), 0u);         // unknown index
}

TEST_F(ColourTest, SystemColoursFollowThePinnedTableThenTheDesktop) {
  SystemColourTable table = ClassicSystemColours();
  table[kColourHighlight] = Rgb(1, 2, 3);
  PinSystemColours(table);
  EXPECT_EQ(SystemColour(kColourHighlight), Rgb(1, 2, 3));
  EXPECT_EQ(TranslateColor(SystemColourRef(kColourHighlight)), Rgb(1, 2, 3));
  EXPECT_EQ(SystemColour(-1), 0u);
  EXPECT_EQ(SystemColour(kSystemColourCount), 0u);
  PinSystemColours(std::nullopt);
  for (int i = 0; i < kSystemColourCount; ++i) EXPECT_LE(SystemColour(i), 0xFFFFFFu) << i;
}

TEST_F(ColourTest, ChannelHelpersUseRedInTheLowByteAndPixelsBlueInTheLowByte) {
  Colour c = Rgb(0x12, 0x34, 0x56);
  EXPECT_EQ(c, 0x563412u);
  EXPECT_EQ(Red(c), 0x12);
  EXPECT_EQ(Blue(c), 0x56);
  EXPECT_EQ(ToPixel(c), 0xFF123456u);
  EXPECT_EQ(FromPixel(0x00123456u), c);
  // In memory a pixel is blue, green, red, X: the bytes of a 32-bit DIB and of Format_RGB32.
  Image image(1, 1, ToPixel(c));
  EXPECT_EQ(image.Bytes()[0], 0x56);
  EXPECT_EQ(image.Bytes()[1], 0x34);
  EXPECT_EQ(image.Bytes()[2], 0x12);
  EXPECT_EQ(image.Bytes()[3], 0xFF);
  EXPECT_EQ(image.Stride(), 4);
}

}  // namespace
}  // namespace velquin::draw
