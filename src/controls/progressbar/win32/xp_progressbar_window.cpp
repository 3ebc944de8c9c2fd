#include "controls/progressbar/win32/xp_progressbar_window.h"

#include <memory>
#include <string>

#include "draw/win32/gdi.h"

namespace velquin::progressbar::win32 {
namespace {

// A device context the control's finished picture is copied to (the window's during WM_PAINT,
// the caller's for WM_PRINTCLIENT): it only takes block copies.
class DcSurface : public DeviceSurface {
 public:
  explicit DcSurface(HDC dc) : dc_(dc) {}
  draw::Canvas* DirectCanvas() override { return nullptr; }
  void CopyFrom(const draw::Canvas& src, int x_src, int y_src, int width, int height, int x_dest,
                int y_dest) override {
    draw::win32::ShowPixels(dc_, x_dest, y_dest, src.Pixels(),
                            {x_src, y_src, x_src + width, y_src + height});
  }

 private:
  HDC dc_;
};

// What a window of the class keeps: its control, which tells the window what it wants.
struct Instance : XP_ProgressBar::Host {
  explicit Instance(HWND window) : hwnd(window) {}

  void Repaint() override { InvalidateRect(hwnd, nullptr, FALSE); }
  void PropertyChanged(std::string_view name) override {
    const std::string stored(name);
    PropertyChangedNotice notice{};
    notice.header.hwndFrom = hwnd;
    notice.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
    notice.header.code = kPropertyChangedCode;
    notice.name = stored.c_str();
    if (HWND parent = GetParent(hwnd))
      SendMessageW(parent, WM_NOTIFY, notice.header.idFrom, reinterpret_cast<LPARAM>(&notice));
  }

  HWND hwnd;
  XP_ProgressBar bar;
};

Instance* InstanceOf(HWND hwnd) { return reinterpret_cast<Instance*>(GetWindowLongPtrW(hwnd, 0)); }

void Paint(Instance& instance, HDC dc) {
  DcSurface surface(dc);
  instance.bar.DrawProgressBar(surface);
}

LRESULT CALLBACK ProgressBarProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    // The instance exists from the first message on; its size comes with WM_CREATE.
    auto instance = std::make_unique<Instance>(hwnd);
    instance->bar.SetHost(instance.get());
    SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(instance.release()));
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  Instance* instance = InstanceOf(hwnd);
  if (instance == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  switch (message) {
    case WM_CREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
      instance->bar.Resize(create->cx, create->cy);
      instance->Repaint();
      return 0;
    }
    case WM_SIZE:
      instance->bar.Resize(LOWORD(lparam), HIWORD(lparam));
      instance->Repaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // every pixel is the control's
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Paint(*instance, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(*instance, reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_DESTROY:
      instance->bar.SetHost(nullptr);
      instance->bar.Terminate();
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, 0, 0);
      delete instance;
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

// The registered class, to know its windows by.
ATOM class_atom = 0;

}  // namespace

bool RegisterXP_ProgressBarClass(HINSTANCE instance) {
  // CS_HREDRAW | CS_VREDRAW: the text is centred, a new size repaints all.
  class_atom = draw::win32::ControlClassAtom(instance, kXP_ProgressBarClass, ProgressBarProc,
                                             CS_HREDRAW | CS_VREDRAW);
  return class_atom != 0;
}

HWND CreateXP_ProgressBar(HWND parent, int id, int x, int y, int width, int height, DWORD style) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterXP_ProgressBarClass(instance)) return nullptr;
  return CreateWindowExW(0, kXP_ProgressBarClass, L"", style, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

XP_ProgressBar* ProgressBarOf(HWND window) {
  // By its class: a subclass (the tooltip's, the form's) may stand before the window procedure.
  if (window == nullptr || class_atom == 0 || GetClassWord(window, GCW_ATOM) != class_atom)
    return nullptr;
  Instance* instance = InstanceOf(window);
  return instance != nullptr ? &instance->bar : nullptr;
}

}  // namespace velquin::progressbar::win32
