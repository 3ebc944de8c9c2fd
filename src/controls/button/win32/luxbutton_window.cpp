#include "controls/button/win32/luxbutton_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/button/win32/tooltip_window.h"
#include "draw/utf.h"
#include "draw/win32/gdi.h"

namespace velquin::button::win32 {
namespace {

// Posted to the control window: move the focus once the key being handled is done.
constexpr UINT kMoveFocusMessage = WM_APP + 0x4C42;

std::wstring Wide(std::string_view text) {
  const std::u16string wide = draw::ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

int ShiftState() {
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= kShiftMask;
  if (GetKeyState(VK_CONTROL) < 0) shift |= kCtrlMask;
  if (GetKeyState(VK_MENU) < 0) shift |= kAltMask;
  return shift;
}

// The mouse button of a press or release message.
int MouseButtonOf(UINT message) {
  switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return kRightButton;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return kMiddleButton;
    default: return kLeftButton;
  }
}

// The classic pointer numbers of MousePointer (99, the custom icon, is made from its picture).
const wchar_t* SystemCursorOf(int pointer) {
  switch (pointer) {
    case 2: return IDC_CROSS;
    case 3: return IDC_IBEAM;
    case 5:
    case 15: return IDC_SIZEALL;
    case 6: return IDC_SIZENESW;
    case 7: return IDC_SIZENS;
    case 8: return IDC_SIZENWSE;
    case 9: return IDC_SIZEWE;
    case 10: return IDC_UPARROW;
    case 11: return IDC_WAIT;
    case 12: return IDC_NO;
    case 13: return IDC_APPSTARTING;
    case 14: return IDC_HELP;
    default: return IDC_ARROW;
  }
}

// A cursor from a picture, its hot spot in the middle; null when it cannot be made.
HCURSOR CursorFromPicture(const draw::Picture& picture) {
  const draw::Image image = picture.ToImage();
  if (image.Width() <= 0 || image.Height() <= 0) return nullptr;
  const BITMAPINFO info = draw::win32::DibHeader(image.Width(), image.Height());
  void* bits = nullptr;
  HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (colour == nullptr) return nullptr;
  std::memcpy(bits, image.Bytes(), image.ByteCount());
  HBITMAP mask = CreateBitmap(image.Width(), image.Height(), 1, 1, nullptr);
  ICONINFO icon{FALSE, static_cast<DWORD>(image.Width() / 2), static_cast<DWORD>(image.Height() / 2),
                mask, colour};
  HCURSOR cursor = CreateIconIndirect(&icon);
  DeleteObject(mask);
  DeleteObject(colour);
  return cursor;
}

// Posted to the control window: its access key was typed in its form.
constexpr UINT kAccessKeyMessage = WM_APP + 0x4C43;

struct Instance;
void WatchAccessKey(Instance* instance, bool watch);
LRESULT CALLBACK FormHook(HWND form, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                          DWORD_PTR data);

// What a window of the class keeps: its control, and what the host holds for it.
struct Instance : ButtonHost {
  explicit Instance(HWND window) : hwnd(window), button(this) {
    button.events.Click = [this] {
      const int id = GetDlgCtrlID(hwnd);
      if (HWND parent = GetParent(hwnd))
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
    };
  }
  ~Instance() override {
    WatchAccessKey(this, false);
    if (button.hooksInstalled()) RemoveHooks();
    if (tooltip != nullptr) DestroyWindow(tooltip);
    if (custom_cursor != nullptr) DestroyCursor(custom_cursor);
    button.SetHost(nullptr);
  }

  // ---- ButtonHost ----
  void Invalidate() override { InvalidateRect(hwnd, nullptr, FALSE); }

  void SetWindowRegion(const draw::Region& region) override {
    const std::vector<draw::Rect>& rects = region.Rects();
    std::vector<unsigned char> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    header->rdh = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, static_cast<DWORD>(rects.size()), 0, {}};
    auto* out = reinterpret_cast<RECT*>(header->Buffer);
    RECT bounds{0, 0, 0, 0};
    for (std::size_t i = 0; i < rects.size(); ++i) {
      out[i] = draw::win32::ToRect(rects[i]);
      UnionRect(&bounds, &bounds, &out[i]);
    }
    header->rdh.rcBound = bounds;
    HRGN rgn = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), header);
    // The window owns the region from here on.
    if (rgn != nullptr && SetWindowRgn(hwnd, rgn, TRUE) == 0) DeleteObject(rgn);
  }

  void ResizeWindow(int width, int height) override {
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
    SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void EnableWindow(bool enabled) override {
    applying_enabled = true;
    ::EnableWindow(hwnd, enabled ? TRUE : FALSE);
    applying_enabled = false;
  }

  // Over the control: the point of the mouse message being handled (or the cursor) lies in the
  // client area and the window region, and no other window covers it there.
  bool CursorOverControl() override {
    POINT screen;
    if (message_point) {
      screen = *message_point;
      ClientToScreen(hwnd, &screen);
    } else if (!GetCursorPos(&screen)) {
      return false;
    }
    POINT client = screen;
    ScreenToClient(hwnd, &client);
    RECT rect;
    GetClientRect(hwnd, &rect);
    if (!PtInRect(&rect, client)) return false;
    if (!button.windowRegion().Rects().empty() && !button.windowRegion().Contains(client.x, client.y))
      return false;
    return WindowFromPoint(screen) == hwnd;
  }

  void TrackMouseLeave() override {
    if (tracking_leave) return;
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
    tracking_leave = TrackMouseEvent(&track) != FALSE;
  }

  void CaptureMouse() override {
    if (GetCapture() != hwnd) SetCapture(hwnd);
  }
  void ReleaseMouse() override {
    if (GetCapture() == hwnd) ReleaseCapture();
  }

  bool SetMousePointer(const MousePointerRequest& pointer) override {
    if (custom_cursor != nullptr) DestroyCursor(custom_cursor);
    custom_cursor = nullptr;
    if (pointer.hand) {
      cursor = LoadCursorW(nullptr, IDC_HAND);
      return cursor != nullptr;
    }
    if (pointer.mouse_pointer == 99 && !pointer.icon.IsEmpty()) {
      custom_cursor = CursorFromPicture(pointer.icon);
      cursor = custom_cursor;
    } else {
      cursor = pointer.mouse_pointer == 0 ? nullptr : LoadCursorW(nullptr, SystemCursorOf(pointer.mouse_pointer));
    }
    return true;
  }

  void MoveFocus(bool next) override { PostMessageW(hwnd, kMoveFocusMessage, next ? 1 : 0, 0); }

  void ProcessPendingMessages() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that owns it
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  void SetAccessKey(std::optional<char32_t> key) override {
    access_key = key;
    WatchAccessKey(this, key.has_value());
  }

  void ShowPopupMenu(const PopupMenuRequest& request) override {
    POINT at{request.at.x, request.at.y};
    ClientToScreen(hwnd, &at);
    HMENU menu = reinterpret_cast<HMENU>(request.menu);
    if (request.default_item != 0)
      SetMenuDefaultItem(menu, static_cast<UINT>(request.default_item), FALSE);
    TrackPopupMenuEx(menu, static_cast<UINT>(request.flags), at.x, at.y, hwnd, nullptr);
  }

  void CreateTooltip(const TooltipData& data) override {
    if (tooltip != nullptr) DestroyWindow(tooltip);
    tooltip = CreateTooltipWindow(hwnd, data);
  }

  bool InstallHooks() override {
    form = GetAncestor(hwnd, GA_ROOT);
    hooked = true;
    if (form != nullptr && form != hwnd)
      SetWindowSubclass(form, FormHook, reinterpret_cast<UINT_PTR>(hwnd), reinterpret_cast<DWORD_PTR>(this));
    return form != nullptr && GetActiveWindow() == form;
  }

  void RemoveHooks() override {
    if (form != nullptr && form != hwnd) RemoveWindowSubclass(form, FormHook, reinterpret_cast<UINT_PTR>(hwnd));
    form = nullptr;
    hooked = false;
  }

  std::vector<luxbutton*> ButtonsInContainer() override {
    std::vector<luxbutton*> group;
    HWND parent = GetParent(hwnd);
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
      if (luxbutton* other = ButtonOf(child)) group.push_back(other);
    return group;
  }

  HWND hwnd;
  luxbutton button;
  HWND tooltip = nullptr;
  HWND form = nullptr;  // hooked for its activation, its system colours and the access key
  bool hooked = false;
  bool tracking_leave = false;
  bool applying_enabled = false;
  std::optional<POINT> message_point;  // client point of the mouse message being handled
  std::optional<char32_t> access_key;
  HCURSOR cursor = nullptr;  // null: the class's arrow
  HCURSOR custom_cursor = nullptr;
  int depth = 0;      // window procedure calls under way for this window
  bool gone = false;  // destroyed during one of them: deleted when the last returns
};

Instance* InstanceOf(HWND hwnd) { return reinterpret_cast<Instance*>(GetWindowLongPtrW(hwnd, 0)); }

// The access keys: Alt and a key, typed wherever the focus is in a form, reach the form's
// control with that key. The thread's messages are watched as they are taken from its queue
// (a message hook), since the form's own loop knows nothing of the controls' keys.
struct AccessKeyWatch {
  std::vector<Instance*> buttons;
  HHOOK hook = nullptr;
};
thread_local AccessKeyWatch t_access_keys;

LRESULT CALLBACK AccessKeyHook(int code, WPARAM wparam, LPARAM lparam) {
  auto* msg = reinterpret_cast<MSG*>(lparam);
  if (code == HC_ACTION && wparam == PM_REMOVE && msg->message == WM_SYSCHAR && msg->wParam > ' ') {
    const auto typed = static_cast<char32_t>(reinterpret_cast<std::uintptr_t>(
        CharLowerW(reinterpret_cast<wchar_t*>(static_cast<std::uintptr_t>(msg->wParam)))));
    HWND form = GetAncestor(msg->hwnd, GA_ROOT);
    for (Instance* instance : t_access_keys.buttons) {
      if (instance->access_key != typed || GetAncestor(instance->hwnd, GA_ROOT) != form ||
          !IsWindowEnabled(instance->hwnd) || !IsWindowVisible(instance->hwnd))
        continue;
      msg->message = WM_NULL;  // taken: no beep, no menu
      PostMessageW(instance->hwnd, kAccessKeyMessage, static_cast<WPARAM>(typed), 0);
      break;
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

void WatchAccessKey(Instance* instance, bool watch) {
  std::vector<Instance*>& buttons = t_access_keys.buttons;
  std::erase(buttons, instance);
  if (watch) buttons.push_back(instance);
  if (!buttons.empty() && t_access_keys.hook == nullptr) {
    t_access_keys.hook = SetWindowsHookExW(WH_GETMESSAGE, AccessKeyHook, nullptr, GetCurrentThreadId());
  } else if (buttons.empty() && t_access_keys.hook != nullptr) {
    UnhookWindowsHookEx(t_access_keys.hook);
    t_access_keys.hook = nullptr;
  }
}

// The form's messages the control acts on; every message goes on to the form's own procedure.
LRESULT CALLBACK FormHook(HWND form, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                          DWORD_PTR data) {
  auto* instance = reinterpret_cast<Instance*>(data);
  switch (message) {
    case WM_ACTIVATE:
      instance->button.ParentActivate(LOWORD(wparam) != WA_INACTIVE);
      break;
    case WM_SYSCOLORCHANGE:
      instance->button.SysColorChanged();
      break;
  }
  return DefSubclassProc(form, message, wparam, lparam);
}

// The mouse message's point, for the hit test while the control handles it.
class MessagePoint {
 public:
  MessagePoint(Instance& instance, LPARAM lparam) : instance_(instance) {
    instance_.message_point = POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  }
  ~MessagePoint() {
    if (!instance_.gone) instance_.message_point.reset();
  }

 private:
  Instance& instance_;
};

void Paint(Instance& instance, HDC dc) {
  const draw::Canvas& face = instance.button.Paint();
  draw::win32::ShowPixels(dc, 0, 0, face.Pixels(), face.Bounds());
}

LRESULT Handle(Instance& instance, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  luxbutton& button = instance.button;
  switch (message) {
    case WM_CREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
      button.Resize(create->cx, create->cy);
      return 0;
    }
    case WM_SIZE:
      button.Resize(LOWORD(lparam), HIWORD(lparam));
      return 0;
    case WM_SHOWWINDOW:
      wparam ? button.Show() : button.Hide();
      break;
    case WM_ERASEBKGND:
      return 1;  // every pixel is the control's
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Paint(instance, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(instance, reinterpret_cast<HDC>(wparam));
      return 0;

    case WM_MOUSEMOVE: {
      MessagePoint point(instance, lparam);
      button.MouseMove();
      return 0;
    }
    case WM_MOUSELEAVE:
      instance.tracking_leave = false;
      if (instance.hooked) button.MouseLeave();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      // A pressed button follows the mouse outside its window until the release.
      if (message == WM_LBUTTONDOWN) {
        if (GetFocus() != hwnd) SetFocus(hwnd);
        if (instance.gone) return 0;
        instance.CaptureMouse();
      }
      MessagePoint point(instance, lparam);
      button.MouseDown(MouseButtonOf(message), ShiftState(), static_cast<float>(GET_X_LPARAM(lparam)),
                       static_cast<float>(GET_Y_LPARAM(lparam)));
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      MessagePoint point(instance, lparam);
      button.MouseUp(MouseButtonOf(message), ShiftState(), static_cast<float>(GET_X_LPARAM(lparam)),
                     static_cast<float>(GET_Y_LPARAM(lparam)));
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      MessagePoint point(instance, lparam);
      button.DblClick();
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lparam) == HTCLIENT && instance.cursor != nullptr) {
        SetCursor(instance.cursor);
        return TRUE;
      }
      break;

    case WM_GETDLGCODE:
      return DLGC_BUTTON | DLGC_WANTARROWS;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      button.KeyDown(static_cast<int>(wparam), ShiftState(), (lparam & (1 << 30)) != 0);
      if (message == WM_KEYDOWN || instance.gone) return 0;
      break;  // the system keys go on, for the form's access keys and menu
    case WM_KEYUP:
    case WM_SYSKEYUP:
      button.KeyUp(static_cast<int>(wparam), ShiftState());
      if (message == WM_KEYUP || instance.gone) return 0;
      break;
    case WM_CHAR:
      button.KeyPress(static_cast<int>(wparam));
      return 0;
    case kMoveFocusMessage:
      if (HWND next = GetNextDlgTabItem(GetAncestor(hwnd, GA_ROOT), hwnd, wparam ? FALSE : TRUE))
        SetFocus(next);
      return 0;
    case WM_SETFOCUS:
      button.GotFocus();
      return 0;
    case WM_KILLFOCUS:
      button.LostFocus();
      return 0;

    case WM_ENABLE:
      // Enabled set on the window by the form goes to the control.
      if (!instance.applying_enabled && (wparam != 0) != button.enabled()) button.setEnabled(wparam != 0);
      return 0;
    case WM_THEMECHANGED:
      if (instance.hooked) button.ThemeChanged();
      return 0;
    case WM_SYSCOLORCHANGE:
      if (instance.hooked) button.SysColorChanged();
      return 0;

    // The caption is the window's text.
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(Wide(button.caption()).size());
    case WM_GETTEXT: {
      if (wparam == 0) return 0;
      const std::wstring caption = Wide(button.caption());
      const std::size_t n = std::min<std::size_t>(caption.size(), wparam - 1);
      auto* out = reinterpret_cast<wchar_t*>(lparam);
      std::memcpy(out, caption.data(), n * sizeof(wchar_t));
      out[n] = L'\0';
      return static_cast<LRESULT>(n);
    }
    case WM_SETTEXT: {
      const auto* text = reinterpret_cast<const wchar_t*>(lparam);
      const std::u16string wide = text ? std::u16string(text, text + wcslen(text)) : std::u16string();
      button.setCaption(draw::FromUtf16(wide));
      return TRUE;
    }
    case kAccessKeyMessage:
      if (instance.access_key == static_cast<char32_t>(wparam)) button.AccessKeyPress(static_cast<int>(wparam));
      return 0;
    case BM_CLICK:  // as its access key would (a check button toggles)
      button.AccessKeyPress(instance.access_key ? static_cast<int>(*instance.access_key) : kKeySpace);
      return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK LuxButtonProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    // The instance exists from the first message on; its size comes with WM_CREATE.
    SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(new Instance(hwnd)));
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  Instance* instance = InstanceOf(hwnd);
  if (instance == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, 0, 0);
    instance->gone = true;
    if (instance->depth == 0) delete instance;
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  // An event handler, a menu or the pending messages may destroy the window while the control
  // handles a message: the instance then outlives the call that is under way.
  ++instance->depth;
  const LRESULT result = Handle(*instance, hwnd, message, wparam, lparam);
  if (--instance->depth == 0 && instance->gone) delete instance;
  return result;
}

// The registered class, to know its windows by.
ATOM class_atom = 0;

}  // namespace

bool RegisterLuxButtonClass(HINSTANCE instance) {
  class_atom = draw::win32::ControlClassAtom(instance, kLuxButtonClass, LuxButtonProc, CS_DBLCLKS);
  return class_atom != 0;
}

HWND CreateLuxButton(HWND parent, int id, int x, int y, int width, int height, DWORD style) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterLuxButtonClass(instance)) return nullptr;
  return CreateWindowExW(0, kLuxButtonClass, L"", style, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

luxbutton* ButtonOf(HWND window) {
  // By its class: a subclass (the tooltip's, the form's) may stand before the window procedure.
  if (window == nullptr || class_atom == 0 || GetClassWord(window, GCW_ATOM) != class_atom)
    return nullptr;
  Instance* instance = InstanceOf(window);
  return instance != nullptr ? &instance->button : nullptr;
}

HWND TooltipOf(HWND window) {
  if (ButtonOf(window) == nullptr) return nullptr;
  return InstanceOf(window)->tooltip;
}

}  // namespace velquin::button::win32
