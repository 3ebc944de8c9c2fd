// The Qt host of a luxbutton: a QWidget that turns its events into the control's input calls,
// shows the control's canvas without a copy, applies the control's window region as its mask,
// shows the control's tooltip data in a TooltipWindow and carries out its menu requests with a
// QMenu. The control's properties and behaviour are the core's (button()); the widget adds the
// form's side of it: its ambient values, the default and cancel keys, the events as signals.
#pragma once

#include <optional>

#include <QPointer>
#include <QString>
#include <QWidget>

#include "controls/button/luxbutton.h"
#include "controls/button/qt/tooltip_window.h"
#include "draw/font.h"
#include "draw/property_bag.h"

class QAction;
class QFont;
class QMenu;

namespace velquin::button::qt {

draw::FontSpec FontSpecOf(const QFont& font);

class LuxButtonWidget : public QWidget, private ButtonHost {
  Q_OBJECT

 public:
  explicit LuxButtonWidget(QWidget* parent = nullptr);
  ~LuxButtonWidget() override;

  luxbutton& button() { return button_; }
  const luxbutton& button() const { return button_; }

  // The control's life cycle with the ambient values of the widget's place: the parent's font,
  // the object name, the user mode. Load once the widget sits on its form.
  void InitProperties();
  void ReadProperties(const draw::PropertyBag& bag);
  void WriteProperties(draw::PropertyBag& bag);

  // Whether the form runs (true) or is being designed; read when loading.
  void setUserMode(bool user_mode) { user_mode_ = user_mode; }
  // The form's default button: Enter pressed anywhere in the window reaches it as its access key.
  void setDefault(bool is_default);
  bool isDefault() const { return button_.isDefault(); }
  // The form's cancel button: Escape reaches it as its access key.
  void setCancel(bool is_cancel);

  // Attaches a drop-down menu: `menu` must be a QMenu, anything else is ignored; `default_item`
  // (may be null) is shown as the menu's default entry.
  void SetPopupMenu(QObject* menu, int align, int flags, QAction* default_item = nullptr);
  void UnsetPopupMenu();
  // Opens an address with the desktop's handler; the outcome is not reported.
  void OpenWebsite(const QString& address);
  void About();

  // The current tooltip window (null before the first entry into the hot state).
  TooltipWindow* tooltipWindow() const { return tooltip_window_; }

 signals:
  void Click();
  void DblClick();
  void MouseEnter();
  void MouseLeave();
  void MouseMove(int Button, int Shift, float X, float Y);  // declared, never raised
  void MouseDown(int Button, int Shift, float X, float Y);
  void MouseUp(int Button, int Shift, float X, float Y);
  void KeyDown(int KeyCode, int Shift);
  void KeyUp(int KeyCode, int Shift);
  void KeyPress(int KeyAcsii);
  // The design-time change notification, with the persisted name of the property.
  void PropertyChanged(const QString& name);

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void changeEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  // ButtonHost.
  void Invalidate() override { update(); }
  void SetWindowRegion(const draw::Region& region) override;
  void ResizeWindow(int width, int height) override { resize(width, height); }
  void EnableWindow(bool enabled) override;
  bool CursorOverControl() override;
  void CaptureMouse() override;
  void ReleaseMouse() override;
  bool SetMousePointer(const MousePointerRequest& pointer) override;
  void MoveFocus(bool next) override;
  void ProcessPendingMessages() override;
  void SetAccessKey(std::optional<char32_t> key) override;
  void ShowPopupMenu(const PopupMenuRequest& request) override;
  void CreateTooltip(const TooltipData& tooltip) override;
  void SetContainerToolTip(std::string_view text) override;
  bool InstallHooks() override;
  void RemoveHooks() override;
  std::vector<luxbutton*> ButtonsInContainer() override;

  void TakeAmbient();
  void UpdateShortcuts();

  luxbutton button_;
  bool user_mode_ = true;
  bool is_cancel_ = false;
  std::optional<char32_t> access_key_;
  QList<int> shortcut_ids_;
  bool applying_enabled_ = false;
  std::optional<QPoint> move_position_;  // global cursor position of the move being handled
  bool in_menu_ = false;                 // inside the modal popup call of the drop-down menu
  QPointer<QMenu> menu_;
  QPointer<QAction> menu_default_;
  QPointer<QWidget> hooked_form_;
  QPointer<TooltipWindow> tooltip_window_;
};

}  // namespace velquin::button::qt
