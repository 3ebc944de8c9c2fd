// A Win32 window procedure drives the core by forwarding its messages, as xp_progressbar.h
// describes, and shows the back buffer's bytes as they are (draw::win32::ShowPixels).
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "controls/progressbar/xp_progressbar.h"
#include "draw/win32/gdi.h"

namespace velquin::progressbar {
namespace {

// The window's device context during a paint: it only takes block copies.
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

// What the window procedure keeps per window.
struct Window : XP_ProgressBar::Host {
  HWND hwnd = nullptr;
  std::unique_ptr<XP_ProgressBar> bar;
  std::vector<std::string> changed;

  void Repaint() override { InvalidateRect(hwnd, nullptr, FALSE); }
  void PropertyChanged(std::string_view name) override { changed.emplace_back(name); }
};

LRESULT CALLBACK ProgressBarProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (window == nullptr && message != WM_CREATE) return DefWindowProcW(hwnd, message, wparam, lparam);
  switch (message) {
    case WM_CREATE: {
      window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
      window->hwnd = hwnd;
      RECT client;
      GetClientRect(hwnd, &client);
      window->bar = std::make_unique<XP_ProgressBar>(client.right, client.bottom, window);
      return 0;
    }
    case WM_SIZE:
      window->bar->Resize(LOWORD(lparam), HIWORD(lparam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      DcSurface surface(dc);
      window->bar->DrawProgressBar(surface);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT: {
      DcSurface surface(reinterpret_cast<HDC>(wparam));
      window->bar->DrawProgressBar(surface);
      return 0;
    }
    case WM_DESTROY:
      window->bar->Terminate();
      return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

// The window's client area as WM_PRINTCLIENT paints it into a DIB section.
draw::Image PrintClient(HWND hwnd) {
  RECT client;
  GetClientRect(hwnd, &client);
  const int w = client.right;
  const int h = client.bottom;
  HDC dc = CreateCompatibleDC(nullptr);
  const BITMAPINFO info = draw::win32::DibHeader(w, h);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(dc, dib);
  SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  draw::Image out(w, h);
  std::memcpy(out.Bytes(), bits, out.ByteCount());
  out.MakeOpaque();
  SelectObject(dc, previous);
  DeleteObject(dib);
  DeleteDC(dc);
  return out;
}

draw::Image Expected(const XP_ProgressBar& bar) {
  draw::Canvas canvas(bar.ClientWidth(), bar.ClientHeight());
  PaintProgressBar(canvas, bar.Look());
  return canvas.Pixels();
}

TEST(XP_ProgressBarWindowProcedure, ShowsWhatTheCorePaintsAndKeepsTheLargerBuffer) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ProgressBarProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VelquinTestProgressBar";
  ASSERT_NE(RegisterClassW(&wc), 0);
  Window window;
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 489, 17, HWND_MESSAGE, nullptr,
                              wc.hInstance, &window);
  ASSERT_NE(hwnd, nullptr) << GetLastError();
  XP_ProgressBar& bar = *window.bar;
  EXPECT_TRUE(bar.UsesBuffer());
  EXPECT_EQ(bar.Buffer().width(), 489);

  bar.SetScrolling(2);
  bar.SetColor(0x00FF00);
  ASSERT_EQ(bar.SetValue(50), ValueError::kNone);
  EXPECT_EQ(window.changed, std::vector<std::string>{"Scrolling"});
  EXPECT_EQ(PrintClient(hwnd), Expected(bar));

  // Lower and narrower: the buffer stays 489 x 17 and its top-left block is shown.
  SetWindowPos(hwnd, nullptr, 0, 0, 300, 10, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  EXPECT_EQ(bar.ClientWidth(), 300);
  EXPECT_EQ(bar.ClientHeight(), 10);
  EXPECT_EQ(bar.Buffer().height(), 17);
  EXPECT_EQ(bar.Buffer().creations(), 1);
  bar.SetShowText(true);
  EXPECT_EQ(PrintClient(hwnd), Expected(bar));

  DestroyWindow(hwnd);
  EXPECT_FALSE(bar.Buffer().exists());
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

}  // namespace
}  // namespace velquin::progressbar
