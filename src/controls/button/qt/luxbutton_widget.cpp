#include "controls/button/qt/luxbutton_widget.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QUrl>

#include "controls/button/qt/tooltip_window.h"
#include "draw/qt/convert.h"

namespace velquin::button::qt {

namespace {

using draw::qt::ToQString;

// The desktop's virtual key code for a Qt key, as the control takes it.
int VirtualKeyCode(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;  // 'A'..'Z'
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return key;  // '0'..'9'
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kKeyEnter;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return kKeyEscape;
    case Qt::Key_Space: return kKeySpace;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return kKeyLeft;
    case Qt::Key_Up: return kKeyUp;
    case Qt::Key_Right: return kKeyRight;
    case Qt::Key_Down: return kKeyDown;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Menu: return 93;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    default: return key > 0 && key < 128 ? key : 0;
  }
}

int ShiftState(Qt::KeyboardModifiers m) {
  int shift = 0;
  if (m & Qt::ShiftModifier) shift |= kShiftMask;
  if (m & Qt::ControlModifier) shift |= kCtrlMask;
  if (m & Qt::AltModifier) shift |= kAltMask;
  return shift;
}

int ButtonNumber(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return kLeftButton;
    case Qt::RightButton: return kRightButton;
    case Qt::MiddleButton: return kMiddleButton;
    default: return 0;
  }
}

// The classic pointer numbers of MousePointer (99 is the custom MouseIcon).
Qt::CursorShape CursorShapeOf(int pointer) {
  switch (pointer) {
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
    case 5:
    case 15: return Qt::SizeAllCursor;
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    case 10: return Qt::UpArrowCursor;
    case 11: return Qt::WaitCursor;
    case 12: return Qt::ForbiddenCursor;
    case 13: return Qt::BusyCursor;
    case 14: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
  }
}

// The menu's top-left corner for the popup call's alignment bits at `at` (global pixels).
QPoint MenuOrigin(const QMenu& menu, QPoint at, int flags) {
  const QSize size = menu.sizeHint();
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
  return at;
}

}  // namespace

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

LuxButtonWidget::LuxButtonWidget(QWidget* parent)
    : QWidget(parent), button_(this, width(), height()) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  // The control paints every pixel itself: no background erase before a paint.
  setAttribute(Qt::WA_OpaquePaintEvent);
  TakeAmbient();

  ButtonEvents& e = button_.events;
  e.Click = [this] { emit Click(); };
  e.DblClick = [this] { emit DblClick(); };
  e.MouseEnter = [this] { emit MouseEnter(); };
  e.MouseLeave = [this] { emit MouseLeave(); };
  e.MouseMove = [this](int b, int s, float x, float y) { emit MouseMove(b, s, x, y); };
  e.MouseDown = [this](int b, int s, float x, float y) { emit MouseDown(b, s, x, y); };
  e.MouseUp = [this](int b, int s, float x, float y) { emit MouseUp(b, s, x, y); };
  e.KeyDown = [this](int k, int s) { emit KeyDown(k, s); };
  e.KeyUp = [this](int k, int s) { emit KeyUp(k, s); };
  e.KeyPress = [this](int c) { emit KeyPress(c); };
  e.PropertyChanged = [this](std::string_view name) {
    emit PropertyChanged(QString::fromLatin1(name.data(), qsizetype(name.size())));
  };
}

LuxButtonWidget::~LuxButtonWidget() {
  // The members the hooks use go before the control does: take them off now.
  if (button_.hooksInstalled()) RemoveHooks();
  button_.SetHost(nullptr);
}

// ---- Life cycle ----

void LuxButtonWidget::TakeAmbient() {
  Ambient a = button_.ambient();
  const QWidget* parent = parentWidget();
  a.font = FontSpecOf(parent ? parent->font() : QApplication::font());
  a.display_name = draw::qt::FromQString(objectName());
  a.user_mode = user_mode_;
  button_.SetAmbient(a);
}

void LuxButtonWidget::InitProperties() {
  TakeAmbient();
  button_.InitProperties();
}

void LuxButtonWidget::ReadProperties(const draw::PropertyBag& bag) {
  TakeAmbient();
  button_.ReadProperties(bag);
}

void LuxButtonWidget::WriteProperties(draw::PropertyBag& bag) {
  TakeAmbient();
  button_.WriteProperties(bag);
}

void LuxButtonWidget::setDefault(bool is_default) {
  button_.SetDefault(is_default);
  UpdateShortcuts();
}

void LuxButtonWidget::setCancel(bool is_cancel) {
  is_cancel_ = is_cancel;
  UpdateShortcuts();
}

// ---- Methods ----

void LuxButtonWidget::SetPopupMenu(QObject* menu, int align, int flags, QAction* default_item) {
  auto* m = qobject_cast<QMenu*>(menu);
  if (!m) return;
  menu_ = m;
  menu_default_ = default_item;
  button_.SetPopupMenu(reinterpret_cast<MenuHandle>(m), align, flags,
                       reinterpret_cast<MenuHandle>(default_item));
}

void LuxButtonWidget::UnsetPopupMenu() {
  menu_ = nullptr;
  menu_default_ = nullptr;
  button_.UnsetPopupMenu();
}

void LuxButtonWidget::OpenWebsite(const QString& address) {
  QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

void LuxButtonWidget::About() {
  QMessageBox::information(this, QString::fromLatin1(kAboutTitle), QString::fromLatin1(kAboutText));
}

// ---- Host services ----

void LuxButtonWidget::SetWindowRegion(const draw::Region& region) {
  const QRegion mask = draw::qt::ToQRegion(region);
  if (this->mask() != mask) setMask(mask);
}

void LuxButtonWidget::EnableWindow(bool enabled) {
  applying_enabled_ = true;
  setEnabled(enabled);
  applying_enabled_ = false;
}

bool LuxButtonWidget::CursorOverControl() {
  const QPoint global = move_position_.value_or(QCursor::pos());
  QWidget* at = QApplication::widgetAt(global);
  if (at && at->window()->windowType() == Qt::ToolTip) {
    // A tooltip is never hit by the mouse: look at the control beneath it.
    const QPoint local = mapFromGlobal(global);
    return rect().contains(local) && (mask().isEmpty() || mask().contains(local));
  }
  return at == this;
}

void LuxButtonWidget::CaptureMouse() {
  if (!isVisible() || QWidget::mouseGrabber() == this) return;
  if (QWidget* other = QWidget::mouseGrabber()) other->releaseMouse();
  grabMouse();
}

void LuxButtonWidget::ReleaseMouse() {
  if (QWidget::mouseGrabber() == this) releaseMouse();
}

bool LuxButtonWidget::SetMousePointer(const MousePointerRequest& pointer) {
  if (pointer.hand) {
    setCursor(Qt::PointingHandCursor);
  } else if (pointer.mouse_pointer == 99 && !pointer.icon.IsEmpty()) {
    const draw::Image icon = pointer.icon.ToImage();
    setCursor(QCursor(QPixmap::fromImage(draw::qt::AsQImage(icon))));
  } else if (pointer.mouse_pointer == 0) {
    unsetCursor();
  } else {
    setCursor(CursorShapeOf(pointer.mouse_pointer));
  }
  return true;
}

void LuxButtonWidget::MoveFocus(bool next) {
  // Like a typed Tab or Shift+Tab: the focus moves once the current key has been handled.
  QMetaObject::invokeMethod(
      this, [this, next] { focusNextPrevChild(next); }, Qt::QueuedConnection);
}

void LuxButtonWidget::ProcessPendingMessages() { QCoreApplication::processEvents(); }

void LuxButtonWidget::SetAccessKey(std::optional<char32_t> key) {
  access_key_ = key;
  UpdateShortcuts();
}

// The access key is Alt plus the key; the default and cancel buttons also take Enter and Escape
// from anywhere in their window.
void LuxButtonWidget::UpdateShortcuts() {
  for (int id : shortcut_ids_) releaseShortcut(id);
  shortcut_ids_.clear();
  if (access_key_) {
    const char32_t key = *access_key_;
    shortcut_ids_ << grabShortcut(
        QKeySequence::mnemonic(QStringLiteral("&") + QString::fromUcs4(&key, 1)));
  }
  if (button_.isDefault()) {
    shortcut_ids_ << grabShortcut(QKeySequence(Qt::Key_Return));
    shortcut_ids_ << grabShortcut(QKeySequence(Qt::Key_Enter));
  }
  if (is_cancel_) shortcut_ids_ << grabShortcut(QKeySequence(Qt::Key_Escape));
}

void LuxButtonWidget::ShowPopupMenu(const PopupMenuRequest& request) {
  if (!menu_) return;  // the menu object is gone: nothing to show
  QPointer<QMenu> menu = menu_;
  if (menu_default_) menu->setDefaultAction(menu_default_);
  QPointer<LuxButtonWidget> self(this);
  in_menu_ = true;
  menu->exec(MenuOrigin(*menu, mapToGlobal(QPoint(request.at.x, request.at.y)), request.flags));
  if (self) in_menu_ = false;
}

void LuxButtonWidget::CreateTooltip(const TooltipData& tooltip) {
  delete tooltip_window_.data();
  tooltip_window_ = new TooltipWindow(this, tooltip);
}

void LuxButtonWidget::SetContainerToolTip(std::string_view text) { setToolTip(ToQString(text)); }

bool LuxButtonWidget::InstallHooks() {
  installEventFilter(this);
  hooked_form_ = window();
  if (hooked_form_ != this) hooked_form_->installEventFilter(this);
  return hooked_form_->isActiveWindow();
}

void LuxButtonWidget::RemoveHooks() {
  removeEventFilter(this);
  if (hooked_form_) hooked_form_->removeEventFilter(this);
  hooked_form_ = nullptr;
}

std::vector<luxbutton*> LuxButtonWidget::ButtonsInContainer() {
  QWidget* form = window();
  QList<LuxButtonWidget*> all = form->findChildren<LuxButtonWidget*>();
  if (auto* self = qobject_cast<LuxButtonWidget*>(form)) all.prepend(self);
  std::vector<luxbutton*> group;
  for (LuxButtonWidget* w : all)
    if (w->parentWidget() == parentWidget()) group.push_back(&w->button_);
  return group;
}

// ---- Qt events ----

bool LuxButtonWidget::eventFilter(QObject* watched, QEvent* e) {
  const bool own = watched == this;
  const bool form = watched == hooked_form_.data();
  switch (e->type()) {
    case QEvent::Leave:
      if (own) button_.MouseLeave();
      break;
    case QEvent::StyleChange:
    case QEvent::ThemeChange:
      if (own) button_.ThemeChanged();
      break;
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
      if (own) button_.SysColorChanged();
      break;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      // Some desktops move the activation to the popup menu and back; the form itself stays
      // the active window while its button's menu is open.
      if (form && !in_menu_) button_.ParentActivate(e->type() == QEvent::WindowActivate);
      break;
    default:
      break;
  }
  return false;  // every hooked event goes on to its normal handling
}

bool LuxButtonWidget::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::Shortcut: {
      const QKeySequence& k = static_cast<QShortcutEvent*>(e)->key();
      if (k == QKeySequence(Qt::Key_Return) || k == QKeySequence(Qt::Key_Enter)) {
        button_.AccessKeyPress(kKeyEnter);
      } else if (k == QKeySequence(Qt::Key_Escape)) {
        button_.AccessKeyPress(kKeyEscape);
      } else if (access_key_) {
        button_.AccessKeyPress(static_cast<int>(*access_key_));
      }
      return true;
    }
    case QEvent::ShortcutOverride: {
      // With the focus, Enter is this control's own key, not the default button's shortcut.
      auto* ke = static_cast<QKeyEvent*>(e);
      if ((ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) &&
          ke->modifiers() == Qt::NoModifier) {
        e->accept();
        return true;
      }
      break;
    }
    default:
      break;
  }
  return QWidget::event(e);
}

void LuxButtonWidget::paintEvent(QPaintEvent*) {
  const draw::Canvas& face = button_.Paint();
  QPainter p(this);
  p.drawImage(0, 0, draw::qt::AsQImage(face.Pixels()));
}

void LuxButtonWidget::resizeEvent(QResizeEvent*) { button_.Resize(width(), height()); }

void LuxButtonWidget::showEvent(QShowEvent*) {
  TakeAmbient();
  button_.Show();
}

void LuxButtonWidget::hideEvent(QHideEvent*) { button_.Hide(); }

void LuxButtonWidget::changeEvent(QEvent* e) {
  // Enabled set on the widget itself, by the form, goes to the control.
  if (e->type() == QEvent::EnabledChange && !applying_enabled_) {
    const bool enabled = !testAttribute(Qt::WA_ForceDisabled);
    if (enabled != button_.enabled()) button_.setEnabled(enabled);
  }
  QWidget::changeEvent(e);
}

void LuxButtonWidget::mousePressEvent(QMouseEvent* e) {
  const QPointF p = e->position();
  button_.MouseDown(ButtonNumber(e->button()), ShiftState(e->modifiers()), float(p.x()),
                    float(p.y()));
}

void LuxButtonWidget::mouseMoveEvent(QMouseEvent* e) {
  QPointer<LuxButtonWidget> self(this);
  move_position_ = e->globalPosition().toPoint();
  button_.MouseMove();
  if (self) move_position_.reset();
}

void LuxButtonWidget::mouseReleaseEvent(QMouseEvent* e) {
  const QPointF p = e->position();
  button_.MouseUp(ButtonNumber(e->button()), ShiftState(e->modifiers()), float(p.x()),
                  float(p.y()));
}

void LuxButtonWidget::mouseDoubleClickEvent(QMouseEvent*) { button_.DblClick(); }

void LuxButtonWidget::keyPressEvent(QKeyEvent* e) {
  const int shift = ShiftState(e->modifiers());
  QPointer<LuxButtonWidget> self(this);
  button_.KeyDown(VirtualKeyCode(e->key()), shift, e->isAutoRepeat());
  if (self && !e->text().isEmpty() && !(shift & kAltMask))
    button_.KeyPress(e->text().at(0).unicode());
}

void LuxButtonWidget::keyReleaseEvent(QKeyEvent* e) {
  // Some desktops report a held key as repeated release and press pairs; only the real
  // release counts.
  if (e->isAutoRepeat()) return;
  button_.KeyUp(VirtualKeyCode(e->key()), ShiftState(e->modifiers()));
}

void LuxButtonWidget::focusInEvent(QFocusEvent* e) {
  if (!in_menu_ && e->reason() != Qt::PopupFocusReason) button_.GotFocus();
  QWidget::focusInEvent(e);
}

void LuxButtonWidget::focusOutEvent(QFocusEvent* e) {
  // The button's own menu does not take the focus from it.
  if (!in_menu_ && e->reason() != Qt::PopupFocusReason) button_.LostFocus();
  QWidget::focusOutEvent(e);
}

}  // namespace velquin::button::qt
