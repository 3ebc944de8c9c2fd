#include "ui/main/artwork.h"

#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace velquin::ui {

QPixmap DrawBanner(QSize size) {
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(size));

    QLinearGradient sky(r.topLeft(), r.topRight());
    sky.setColorAt(0.0, QColor(8, 28, 64));
    sky.setColorAt(0.55, QColor(18, 64, 128));
    sky.setColorAt(1.0, QColor(36, 112, 182));
    p.fillRect(r, sky);

    // Soft arcs towards the right end give the banner some depth without competing with the text.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        const qreal radius = r.height() * (1.4 + i * 0.55);
        QColor tint(255, 255, 255, 16 - i * 3);
        p.setBrush(tint);
        p.drawEllipse(QPointF(r.width() * 0.92, r.height() * 1.1), radius * 1.6, radius);
    }
    QLinearGradient gloss(r.topLeft(), r.bottomLeft());
    gloss.setColorAt(0.0, QColor(255, 255, 255, 46));
    gloss.setColorAt(0.5, QColor(255, 255, 255, 8));
    gloss.setColorAt(0.51, QColor(0, 0, 0, 0));
    p.fillRect(r, gloss);

    p.setPen(QPen(QColor(110, 190, 255), 1));
    p.drawLine(QPointF(0, r.height() - 1.5), QPointF(r.width(), r.height() - 1.5));
    return pixmap;
}

QPixmap DrawLogo(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    PaintLogo(p, QSizeF(size));
    return pixmap;
}

QIcon ShieldIcon() {
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(DrawLogo(QSize(side, side)));
    return icon;
}

void PaintLogo(QPainter& p, QSizeF size) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width(), h = size.height();

    // A shield: flat top with rounded shoulders, sides curving to a point at the bottom.
    QPainterPath shield;
    shield.moveTo(w * 0.5, h * 0.05);
    shield.cubicTo(w * 0.68, h * 0.13, w * 0.82, h * 0.14, w * 0.92, h * 0.13);
    shield.cubicTo(w * 0.93, h * 0.52, w * 0.80, h * 0.78, w * 0.5, h * 0.95);
    shield.cubicTo(w * 0.20, h * 0.78, w * 0.07, h * 0.52, w * 0.08, h * 0.13);
    shield.cubicTo(w * 0.18, h * 0.14, w * 0.32, h * 0.13, w * 0.5, h * 0.05);

    QLinearGradient body(QPointF(0, 0), QPointF(w, h));
    body.setColorAt(0.0, QColor(60, 200, 110));
    body.setColorAt(1.0, QColor(10, 110, 60));
    p.setPen(QPen(QColor(235, 245, 255), w * 0.045));
    p.setBrush(body);
    p.drawPath(shield);

    QRadialGradient shine(QPointF(w * 0.38, h * 0.3), w * 0.45);
    shine.setColorAt(0.0, QColor(255, 255, 255, 90));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawPath(shield);

    // A check mark: the cleaner's promise.
    QPainterPath check;
    check.moveTo(w * 0.28, h * 0.50);
    check.lineTo(w * 0.44, h * 0.65);
    check.lineTo(w * 0.74, h * 0.33);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, w * 0.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(check);
    p.restore();
}

}  // namespace velquin::ui
