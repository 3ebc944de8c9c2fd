#include "ui/main/qt/artwork.h"

#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace velquin::ui {

namespace {

QColor ToQColor(const artwork::Rgba& c) { return QColor(c.r, c.g, c.b, c.a); }
QPointF ToQPoint(const artwork::Point& p) { return QPointF(p.x, p.y); }

QBrush ToBrush(const artwork::Paint& paint) {
    using Kind = artwork::Paint::Kind;
    QGradient gradient;
    switch (paint.kind) {
        case Kind::None: return Qt::NoBrush;
        case Kind::Solid: return ToQColor(paint.colour);
        case Kind::Linear: gradient = QLinearGradient(ToQPoint(paint.from), ToQPoint(paint.to)); break;
        case Kind::Radial: gradient = QRadialGradient(ToQPoint(paint.from), paint.radius); break;
    }
    for (const artwork::Stop& stop : paint.stops) gradient.setColorAt(stop.at, ToQColor(stop.colour));
    return gradient;
}

QPen ToPen(const artwork::Pen& pen) {
    if (pen.width <= 0) return Qt::NoPen;
    if (pen.round) return QPen(ToQColor(pen.colour), pen.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    return QPen(ToQColor(pen.colour), pen.width);
}

QPainterPath ToPath(const std::vector<artwork::PathElement>& elements) {
    using Op = artwork::PathElement::Op;
    QPainterPath path;
    for (const artwork::PathElement& e : elements) {
        switch (e.op) {
            case Op::Move: path.moveTo(ToQPoint(e.p[0])); break;
            case Op::Line: path.lineTo(ToQPoint(e.p[0])); break;
            case Op::Cubic: path.cubicTo(ToQPoint(e.p[0]), ToQPoint(e.p[1]), ToQPoint(e.p[2])); break;
        }
    }
    return path;
}

}  // namespace

void PaintPicture(QPainter& p, const artwork::Picture& picture) {
    using Kind = artwork::Shape::Kind;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    for (const artwork::Layer& layer : picture) {
        const artwork::Shape& s = layer.shape;
        switch (s.kind) {
            case Kind::Rect: p.fillRect(QRectF(ToQPoint(s.a), ToQPoint(s.b)), ToBrush(layer.fill)); break;
            case Kind::Ellipse:
                p.setPen(ToPen(layer.pen));
                p.setBrush(ToBrush(layer.fill));
                p.drawEllipse(ToQPoint(s.a), s.b.x, s.b.y);
                break;
            case Kind::Line:
                p.setPen(ToPen(layer.pen));
                p.drawLine(ToQPoint(s.a), ToQPoint(s.b));
                break;
            case Kind::Path:
                p.setPen(ToPen(layer.pen));
                p.setBrush(ToBrush(layer.fill));
                p.drawPath(ToPath(s.path));
                break;
        }
    }
    p.restore();
}

QPixmap DrawBanner(QSize size) {
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    PaintPicture(p, artwork::Banner(size.width(), size.height()));
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

void PaintLogo(QPainter& p, QSizeF size) { PaintPicture(p, artwork::Logo(size.width(), size.height())); }

}  // namespace velquin::ui
