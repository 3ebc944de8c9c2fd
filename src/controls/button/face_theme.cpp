// Style 13: the desktop style's own push button, with its shape as the window region.
#include <QApplication>
#include <QBitmap>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include "controls/button/face_paint.h"

namespace velquin::button {

namespace {

QStyleOptionButton PushButtonOption(const FacePaint& p, const QRect& rect) {
  QStyleOptionButton opt;
  opt.rect = rect;
  opt.direction = p.face.right_to_left ? Qt::RightToLeft : Qt::LeftToRight;
  opt.palette = QApplication::palette();
  opt.state = QStyle::State_None;
  if (p.face.enabled) opt.state |= QStyle::State_Enabled;
  if (p.face.parent_active) opt.state |= QStyle::State_Active;
  if (p.face.enabled) {
    switch (p.state()) {
      case ButtonState::Hot:
        opt.state |= QStyle::State_MouseOver;
        break;
      case ButtonState::Down:
        opt.state |= QStyle::State_Sunken;
        break;
      case ButtonState::Normal:
        opt.state |= QStyle::State_Raised;
        // The default look: at rest, focused or default, on the active form.
        if (p.focusOrDefault() && p.face.parent_active)
          opt.features |= QStyleOptionButton::DefaultButton;
        break;
    }
  }
  return opt;
}

}  // namespace

bool DesktopThemeAvailable() {
  return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr &&
         QApplication::style() != nullptr;
}

void PaintSystemTheme(FacePaint& p) {
  QStyle* style = QApplication::style();
  if (!style) {
    p.Caption();
    return;
  }
  const QRect button_rect(0, 0, p.W, p.H);

  // The window region is the part of the button the style paints.
  QImage shape(p.W, p.H, QImage::Format_ARGB32_Premultiplied);
  shape.fill(Qt::transparent);
  {
    QPainter painter(&shape);
    const QStyleOptionButton opt = PushButtonOption(p, button_rect);
    style->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &painter, nullptr);
  }
  const QImage mask = shape.createAlphaMask();
  QRegion region(QBitmap::fromImage(mask));
  if (region.isEmpty()) region = QRegion(button_rect);
  p.face.window_region = region;

  {
    QPainter painter(&p.canvas.Image());
    const QStyleOptionButton opt = PushButtonOption(p, button_rect);
    style->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &painter, nullptr);
  }
  p.Caption();
}

}  // namespace velquin::button
