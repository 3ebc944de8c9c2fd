// What a luxbutton needs from the window that hosts it, and how a host drives it.
//
// The control (luxbutton.h) knows no window system. A host owns one window per control, turns
// that window's input into the control's input calls and carries out the few requests below;
// the control raises its events through callbacks (ButtonEvents) and paints into its own canvas.
// The interface follows the Win32 messages one for one, so a window procedure drives it directly:
//
//   WM_MOUSEMOVE                  MouseMove()
//   WM_LBUTTONDOWN, R.., M..      MouseDown(button, shift, x, y)  button 1 left, 2 right, 4 middle
//   WM_LBUTTONUP, R.., M..        MouseUp(button, shift, x, y)    shift 1 Shift, 2 Ctrl, 4 Alt
//   WM_LBUTTONDBLCLK              DblClick()                      x, y in client pixels
//   WM_KEYDOWN, WM_SYSKEYDOWN     KeyDown(virtual key, shift, lParam bit 30 (a repeat))
//   WM_KEYUP, WM_SYSKEYUP         KeyUp(virtual key, shift)
//   WM_CHAR                       KeyPress(character)
//   the access key (WM_SYSCHAR with the key), Enter or Escape of the default or cancel button
//                                 AccessKeyPress(character)
//   WM_SETFOCUS, WM_KILLFOCUS     GotFocus(), LostFocus()
//   WM_MOUSELEAVE                 MouseLeave()
//   WM_THEMECHANGED               ThemeChanged()
//   WM_SYSCOLORCHANGE             SysColorChanged()
//   WM_ACTIVATE of the parent form (WM_NCACTIVATE of an MDI child)
//                                 ParentActivate(wParam != 0)
//     (these four are the hooked messages: the control acts on them only once it has asked for
//     its hooks, InstallHooks, which it does when loaded or shown on a running form)
//   WM_SIZE                       Resize(client width, client height)
//   WM_SHOWWINDOW                 Show(), Hide()
//   WM_PAINT, WM_PRINTCLIENT      Paint(), then the returned canvas's pixels to the device
//                                 context with SetDIBitsToDevice (a 32-bit top-down BI_RGB header
//                                 of height -Height(): the bytes are used as they are)
//
// Every call is made on the window's own thread. An event callback, a popup menu or the pending
// messages processed for an access key may destroy the control; the control touches nothing of
// itself afterwards.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "controls/button/drop_down_menu.h"
#include "controls/button/tooltip.h"
#include "draw/picture.h"
#include "draw/region.h"

namespace velquin::button {

class luxbutton;

// Mouse buttons and shift states as the input calls and the events carry them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// Virtual key codes the control acts on.
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeySpace = 32;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyDown = 40;

// The mouse pointer over the control: the system's hand, a custom picture (mouse_pointer 99), or
// a classic pointer number (0 the window's default, 1 arrow, 2 cross, 3 I-beam, 11 hourglass, ...).
struct MousePointerRequest {
  int mouse_pointer = 0;
  bool hand = false;
  draw::Picture icon;  // for mouse_pointer 99
};

class ButtonHost {
 public:
  virtual ~ButtonHost() = default;

  // The canvas holds a new face: show it (InvalidateRect; the next paint presents it).
  virtual void Invalidate() = 0;
  // The window's visible shape, in client pixels (SetWindowRgn with redraw, from ExtCreateRegion
  // of region.Rects()).
  virtual void SetWindowRegion(const draw::Region& region) = 0;
  // The size rule wants the window to have this client size (SetWindowPos); the resize comes
  // back as Resize().
  virtual void ResizeWindow(int width, int height) = 0;
  // Enabled passed to the window (EnableWindow), so that a disabled button gets no input.
  virtual void EnableWindow(bool enabled) = 0;

  // Whether the window under the cursor is the control's own (GetCursorPos, WindowFromPoint).
  virtual bool CursorOverControl() = 0;
  // Asks for one WM_MOUSELEAVE when the cursor leaves (TrackMouseEvent with TME_LEAVE); a host
  // whose window system always reports leaving may ignore it.
  virtual void TrackMouseLeave() {}
  // Takes the mouse to the control window, from whichever window holds it (SetCapture), and
  // gives it back when the control window holds it (ReleaseCapture).
  virtual void CaptureMouse() = 0;
  virtual void ReleaseMouse() = 0;
  // The pointer shown over the control (answered in WM_SETCURSOR). False when the system has no
  // hand cursor (LoadCursor IDC_HAND, 32649, failed).
  virtual bool SetMousePointer(const MousePointerRequest& pointer) = 0;

  // Moves the focus to the next or previous control of the form in tab order, as a typed Tab or
  // Shift+Tab does: once the key being handled is done (PostMessage to the form, then
  // GetNextDlgTabItem and SetFocus).
  virtual void MoveFocus(bool next) = 0;
  // Lets the pending window messages be handled (a PeekMessage, DispatchMessage loop).
  virtual void ProcessPendingMessages() = 0;
  // The control's access key, lower case (std::nullopt: none), for the form to deliver.
  virtual void SetAccessKey(std::optional<char32_t> key) = 0;

  // Shows the drop-down menu modally and returns when it has closed (TrackPopupMenuEx with
  // request.flags, at request.at mapped to the screen).
  virtual void ShowPopupMenu(const PopupMenuRequest& request) = 0;
  // Destroys the control's tooltip window, if any, and creates one from `tooltip` (tooltip.h).
  virtual void CreateTooltip(const TooltipData& tooltip) = 0;
  // The form's own tooltip for the control (the extender's ToolTipText), where the form has one.
  virtual void SetContainerToolTip(std::string_view /*text*/) {}

  // Hooks the messages the control's input calls need beyond the window's own: the parent form's
  // activation, and on the control window WM_MOUSELEAVE, WM_THEMECHANGED and WM_SYSCOLORCHANGE
  // (subclassing both windows, the previous window procedure always called). Returns whether the
  // parent form is the active window now.
  virtual bool InstallHooks() = 0;
  virtual void RemoveHooks() = 0;

  // Every luxbutton of the parent form whose container window is this control's container
  // window (this one may be among them): the control's option group.
  virtual std::vector<luxbutton*> ButtonsInContainer() = 0;
};

}  // namespace velquin::button
