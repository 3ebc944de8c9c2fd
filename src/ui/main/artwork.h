#pragma once
// The main window's banner and logo, drawn by the program itself at the sizes the layout gives.

#include <QPixmap>
#include <QSize>

namespace velquin::ui {

QPixmap DrawBanner(QSize size);
QPixmap DrawLogo(QSize size);

}  // namespace velquin::ui
