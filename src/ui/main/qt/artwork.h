#pragma once
// The main window's banner and logo (ui/main/artwork.h) drawn by Qt's painter.

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSize>

#include "ui/main/artwork.h"

namespace velquin::ui {

// Draws the shapes with the painter's anti-aliasing, from the painter's origin.
void PaintPicture(QPainter& painter, const artwork::Picture& picture);

QPixmap DrawBanner(QSize size);
QPixmap DrawLogo(QSize size);

// The logo's shield drawn by any painter (a pixmap, a vector file), filling `size` from (0, 0).
void PaintLogo(QPainter& painter, QSizeF size);

// The shield at the sizes a desktop shows a window's icon.
QIcon ShieldIcon();

}  // namespace velquin::ui
