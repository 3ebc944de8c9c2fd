// The canvas's rendering of the banner and logo against Qt's painter drawing the same shapes: two
// anti-aliasing rasterizers never agree on every edge pixel, so the test bounds how far apart
// they may be rather than asking for equal pixels.
#include "ui/main/artwork.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "ui/main/qt/artwork.h"

namespace velquin::ui {
namespace {

struct Difference {
    int largest = 0;      // the largest difference of one channel
    double mean = 0;      // mean difference per channel
    double apart = 0;     // share of pixels with a channel more than 24 apart
};

Difference Compare(const QImage& qt, const draw::Image& canvas) {
    Difference d;
    long long total = 0, far = 0;
    for (int y = 0; y < qt.height(); ++y) {
        for (int x = 0; x < qt.width(); ++x) {
            const QRgb a = qt.pixel(x, y);
            const std::uint32_t b = canvas.PixelAt(x, y);
            const int diffs[] = {std::abs(qRed(a) - int((b >> 16) & 0xFF)),
                                 std::abs(qGreen(a) - int((b >> 8) & 0xFF)), std::abs(qBlue(a) - int(b & 0xFF))};
            int worst = 0;
            for (int v : diffs) total += v, worst = std::max(worst, v);
            d.largest = std::max(d.largest, worst);
            if (worst > 24) ++far;
        }
    }
    const double pixels = double(qt.width()) * qt.height();
    d.mean = total / (pixels * 3);
    d.apart = far / pixels;
    return d;
}

// Both drawn over the same opaque ground.
Difference DrawBoth(const artwork::Picture& picture, int w, int h, QColor ground) {
    QImage qt(w, h, QImage::Format_RGB32);
    qt.fill(ground);
    QPainter p(&qt);
    PaintPicture(p, picture);
    p.end();
    draw::Image canvas(w, h, 0xFF000000u | ground.rgb());
    artwork::Render(picture, canvas);
    return Compare(qt, canvas);
}

TEST(ArtworkTest, CanvasDrawsTheBannerAndLogoAsQtsPainterDoes) {
    // The sizes the window draws them at.
    const struct {
        const char* name;
        artwork::Picture picture;
        int w, h;
    } cases[] = {
        {"banner", artwork::Banner(551, 76), 551, 76},
        {"logo", artwork::Logo(80, 85), 80, 85},
    };
    for (const auto& c : cases) {
        const Difference d = DrawBoth(c.picture, c.w, c.h, QColor(236, 233, 216));
        EXPECT_LT(d.mean, 0.5) << c.name;
        EXPECT_LT(d.apart, 0.005) << c.name << ", largest difference " << d.largest;
    }
}

}  // namespace
}  // namespace velquin::ui
