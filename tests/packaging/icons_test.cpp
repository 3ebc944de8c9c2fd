// The desktop icons written at build time: every size is the window's own shield, and the SVG
// draws the same picture.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdlib>

#include <gtest/gtest.h>

#include "ui/main/qt/artwork.h"

namespace {

QString IconFile(const QString& folder, const QString& extension) {
    return QString(VELQUIN_ICON_THEME) + "/" + folder + "/apps/" + VELQUIN_APP_ID + "." + extension;
}

QImage Logo(int side) {
    static int argc = 1;
    static char name[] = "icons_test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);  // pixmaps need one; never destroyed
    (void)app;
    return velquin::ui::DrawLogo(QSize(side, side)).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(IconsTest, EverySizeIsTheWindowsShield) {
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        SCOPED_TRACE(side);
        const QImage icon(IconFile(QString("%1x%1").arg(side), "png"));
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.convertToFormat(QImage::Format_ARGB32), Logo(side));
    }
}

// Two rasterisers never agree on every edge pixel, so the pictures are compared channel by
// channel: close on average, and no more than a sliver of pixels far apart.
TEST(IconsTest, ScalableIconDrawsTheSamePicture) {
    QSvgRenderer svg(IconFile("scalable", "svg"));
    ASSERT_TRUE(svg.isValid());
    for (const int side : {48, 256}) {
        SCOPED_TRACE(side);
        QImage rendered(side, side, QImage::Format_ARGB32);
        rendered.fill(Qt::transparent);
        QPainter painter(&rendered);
        svg.render(&painter, QRectF(0, 0, side, side));
        painter.end();
        const QImage expected = Logo(side);

        long long total = 0;
        int farApart = 0;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const QColor a = rendered.pixelColor(x, y), b = expected.pixelColor(x, y);
                const int difference = std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                                       std::abs(a.blue() - b.blue()) + std::abs(a.alpha() - b.alpha());
                total += difference;
                if (difference > 96) ++farApart;
            }
        }
        EXPECT_LT(double(total) / (side * side * 4), 3.0);
        EXPECT_LT(farApart, side * side / 100);
    }
}

}  // namespace
