#include "controls/button/container.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QWidget>

#include "controls/button/luxbutton.h"
#include "draw/qt/convert.h"

namespace velquin::button {

draw::FontSpec FontSpecOf(const QFont& font) {
  draw::FontSpec result;
  result.face = draw::qt::FromQString(font.family());
  if (font.pointSizeF() > 0) {
    result.points = font.pointSizeF();
  } else {
    result.pixel_height = font.pixelSize();
  }
  result.weight = font.weight();
  result.italic = font.italic();
  result.underline = font.underline();
  result.strikeout = font.strikeOut();
  return result;
}

draw::FontSpec AmbientFont(const QWidget& control) {
  const QWidget* parent = control.parentWidget();
  return FontSpecOf(parent ? parent->font() : QApplication::font());
}

QWidget* ParentForm(QWidget& control) { return control.window(); }

QList<luxbutton*> FormControls(QWidget& form) {
  QList<luxbutton*> controls = form.findChildren<luxbutton*>();
  if (auto* self = qobject_cast<luxbutton*>(&form)) controls.prepend(self);
  return controls;
}

void PopupMenu(QWidget& owner, QMenu& menu, int flags, QPoint local, QAction* default_item) {
  if (default_item) menu.setDefaultAction(default_item);
  const QSize size = menu.sizeHint();
  QPoint at = owner.mapToGlobal(local);
  if (flags & kPopupRightAlign) {
    at.rx() -= size.width();
  } else if (flags & kPopupCenterAlign) {
    at.rx() -= size.width() / 2;
  }
  if (flags & kPopupBottomAlign) {
    at.ry() -= size.height();
  } else if (flags & kPopupVCenterAlign) {
    at.ry() -= size.height() / 2;
  }
  menu.exec(at);
}

}  // namespace velquin::button
