#include "draw/colour.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

namespace velquin::draw {
namespace {

class ColourTest : public ::testing::Test {
 protected:
  void SetUp() override { PinSystemPalette(ClassicPalette()); }
  void TearDown() override { PinSystemPalette(std::nullopt); }
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

TEST_F(ColourTest, SystemColoursFollowThePinnedPalette) {
  QPalette p = ClassicPalette();
  p.setColor(QPalette::Active, QPalette::Highlight, QColor(1, 2, 3));
  PinSystemPalette(p);
  EXPECT_EQ(SystemColour(kColourHighlight), Rgb(1, 2, 3));
  PinSystemPalette(std::nullopt);
  QColor app = QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight);
  EXPECT_EQ(SystemColour(kColourHighlight), Rgb(app.red(), app.green(), app.blue()));
}

TEST_F(ColourTest, ChannelHelpersUseRedInTheLowByte) {
  Colour c = Rgb(0x12, 0x34, 0x56);
  EXPECT_EQ(c, 0x563412u);
  EXPECT_EQ(Red(c), 0x12);
  EXPECT_EQ(Blue(c), 0x56);
  EXPECT_EQ(ToQRgb(c), 0xFF123456u);
  EXPECT_EQ(FromQRgb(0xFF123456u), c);
}

}  // namespace
}  // namespace velquin::draw
