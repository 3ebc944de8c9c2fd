#pragma once
// The main window's banner and logo, drawn by the program itself at the sizes the layout gives.

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSize>

namespace velquin::ui {

QPixmap DrawBanner(QSize size);
QPixmap DrawLogo(QSize size);

// The logo's shield drawn by any painter (a pixmap, a vector file), filling `size` from (0, 0).
void PaintLogo(QPainter& painter, QSizeF size);

// The shield at the sizes a desktop shows a window's icon.
QIcon ShieldIcon();

}  // namespace velquin::ui
