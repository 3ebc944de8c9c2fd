// Writes the desktop icons of the window program, drawn by its own logo code: PNGs in the sizes a
// desktop uses and a scalable SVG of the same drawing, laid out as an icon theme folder.
//
//   velquin-make-icons OUTPUT_DIR ICON_NAME

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

#include "ui/main/qt/artwork.h"

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};
constexpr int kSvgSide = 256;

bool Fail(const QString& what) {
    std::fprintf(stderr, "velquin-make-icons: cannot write %s\n", qPrintable(what));
    return false;
}

bool WritePng(const QString& theme, const QString& name, int side) {
    const QString folder = QString("%1/%2x%2/apps").arg(theme).arg(side);
    const QString file = folder + "/" + name + ".png";
    if (!QDir().mkpath(folder)) return Fail(folder);
    return velquin::ui::DrawLogo(QSize(side, side)).save(file, "PNG") || Fail(file);
}

bool WriteSvg(const QString& theme, const QString& name) {
    const QString folder = theme + "/scalable/apps";
    const QString file = folder + "/" + name + ".svg";
    if (!QDir().mkpath(folder)) return Fail(folder);
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setSize(QSize(kSvgSide, kSvgSide));
    svg.setViewBox(QRect(0, 0, kSvgSide, kSvgSide));
    svg.setTitle("Orvanta Velquin");
    QPainter painter;
    if (!painter.begin(&svg)) return Fail(file);
    velquin::ui::PaintLogo(painter, QSizeF(kSvgSide, kSvgSide));
    return painter.end() || Fail(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: velquin-make-icons OUTPUT_DIR ICON_NAME\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");  // a build machine has no display
    QGuiApplication app(argc, argv);
    const QString theme = QString::fromLocal8Bit(argv[1]) + "/hicolor";
    const QString name = QString::fromLocal8Bit(argv[2]);
    bool written = WriteSvg(theme, name);
    for (const int side : kSizes) written = WritePng(theme, name, side) && written;
    return written ? 0 : 1;
}
