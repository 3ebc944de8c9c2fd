// The Qt body and the conversions the Qt hosts use.
#include <QGuiApplication>
#include <QPainter>

#include <gtest/gtest.h>

#include "draw/canvas.h"
#include "draw/property_bag.h"
#include "draw/qt/convert.h"
#include "draw/theme.h"
#include "support/form_data_fixture.h"

namespace velquin::draw {
namespace {

TEST(QtBody, ClassicFacesAreDrawnInOneConcreteFace) {
  EXPECT_EQ(qt::ConcreteFace("MS Sans Serif"), "DejaVu Sans");
  EXPECT_EQ(qt::ConcreteFace(" tahoma "), "DejaVu Sans");
  EXPECT_EQ(qt::ConcreteFace(""), "DejaVu Sans");
  EXPECT_EQ(qt::ConcreteFace("Marlett"), "Marlett");
  EXPECT_EQ(qt::ToQFont(DefaultFont()).pixelSize(), 11);
}

TEST(QtBody, SystemColoursComeFromTheApplicationPalette) {
  PinSystemColours(std::nullopt);
  const QColor app = QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight);
  EXPECT_EQ(SystemColour(kColourHighlight), Rgb(app.red(), app.green(), app.blue()));
  QPalette p = QGuiApplication::palette();
  p.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(4, 5, 6));
  const SystemColourTable table = qt::SystemColoursOf(p);
  EXPECT_EQ(table[kColourButtonFace], Rgb(1, 2, 3));
  EXPECT_EQ(table[kColourGrayText], Rgb(4, 5, 6));
  EXPECT_EQ(table[25], 0u);  // no palette role stands for index 25
}

TEST(QtBody, HostsSeeTheCanvasPixelsWithoutACopy) {
  Canvas canvas(4, 3, Rgb(10, 20, 30));
  QImage view = qt::AsQImage(canvas.Pixels());
  EXPECT_EQ(view.format(), QImage::Format_RGB32);
  EXPECT_EQ(view.constBits(), canvas.Pixels().Bytes());
  EXPECT_EQ(view.pixel(0, 0), qRgb(10, 20, 30));
  canvas.SetPixel(1, 1, Rgb(1, 2, 3));
  EXPECT_EQ(view.pixel(1, 1), qRgb(1, 2, 3));

  QImage argb(2, 1, QImage::Format_ARGB32);
  argb.setPixel(0, 0, qRgba(1, 2, 3, 4));
  argb.setPixel(1, 0, qRgba(5, 6, 7, 255));
  const Image copied = qt::FromQImage(argb);
  EXPECT_TRUE(copied.HasAlpha());
  EXPECT_EQ(copied.PixelAt(0, 0), 0x04010203u);
  EXPECT_EQ(qt::AsQImage(copied), argb);

  const Region region = Region::RoundRect(0, 0, 9, 7, 4, 4);
  EXPECT_EQ(qt::FromQRegion(qt::ToQRegion(region)), region);
  const QString lone = QString(QChar(0xD800)) + QStringLiteral(" \u00E9");
  EXPECT_EQ(qt::ToQString(qt::FromQString(lone)), lone);
}

// Pictures decoded by our PNG codec have the pixels Qt's own decoder gives, for every picture
// the form-data fixtures hold (all written through Qt's encoder).
TEST(QtBody, PicturesDecodeAsQtDecodesThem) {
  auto form = FormData::FromText(velquin::testing::FormDataFixture("every-kind.txt"));
  ASSERT_TRUE(form);
  int pictures = 0;
  for (const auto& [key, value] : form->Find("Pictures")->Entries()) {
    const Picture picture = value.AsPicture().value_or(Picture{});
    if (picture.IsEmpty()) continue;
    SCOPED_TRACE(key);
    ++pictures;
    QImage qt_decoded;
    ASSERT_TRUE(qt_decoded.loadFromData(picture.png.data(), static_cast<int>(picture.png.size()), "PNG"));
    const Image ours = picture.ToImage();
    EXPECT_EQ(ours.HasAlpha(), qt_decoded.hasAlphaChannel());
    EXPECT_EQ(ours, qt::FromQImage(qt_decoded));
  }
  EXPECT_EQ(pictures, 7);
}

TEST(QtBody, ThePushButtonThemeIsTheWidgetStyle) {
  EXPECT_TRUE(ThemesActive());
  Canvas canvas(60, 24, Rgb(255, 0, 255));
  const Rect rect{0, 0, 60, 24};
  auto region = DrawThemedPushButton(canvas, rect, rect, PushButtonLook{});
  ASSERT_TRUE(region);
  EXPECT_FALSE(region->IsEmpty());
  EXPECT_EQ(region->Bounds().Intersect(rect), region->Bounds());
  EXPECT_NE(canvas.GetPixel(30, 12), Rgb(255, 0, 255));
}

}  // namespace
}  // namespace velquin::draw
