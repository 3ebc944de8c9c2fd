// The "XP_ProgressBar" window class driven through its messages: what the window shows is what the
// core paints, at every size, and the parent hears of stored properties.
#include "controls/progressbar/win32/xp_progressbar_window.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/win32/print_client.h"

namespace velquin::progressbar::win32 {
namespace {

// Unpainted pixels would keep the colour the DIB section starts with.
draw::Image PrintClient(HWND hwnd) { return velquin::testing::PrintClient(hwnd, 0x5A); }

// A message-only parent that keeps the names of the property notices it gets.
std::vector<std::string> g_notices;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lparam);
    if (header->code == kPropertyChangedCode)
      g_notices.emplace_back(reinterpret_cast<const PropertyChangedNotice*>(header)->name);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

HWND MakeParent() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VelquinTestProgressBarParent";
  RegisterClassW(&wc);
  return CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 600, 100, HWND_MESSAGE,
                         nullptr, wc.hInstance, nullptr);
}

draw::Image Expected(const XP_ProgressBar& bar) {
  draw::Canvas canvas(bar.ClientWidth(), bar.ClientHeight());
  PaintProgressBar(canvas, bar.Look());
  return canvas.Pixels();
}

TEST(XP_ProgressBarWindow, ShowsWhatTheCorePaintsAtEverySizeAndTellsTheParent) {
  HWND parent = MakeParent();
  ASSERT_NE(parent, nullptr);
  HWND hwnd = CreateXP_ProgressBar(parent, 7, 0, 0, 489, 17);
  ASSERT_NE(hwnd, nullptr) << GetLastError();
  XP_ProgressBar* bar = ProgressBarOf(hwnd);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(ProgressBarOf(parent), nullptr);  // another class's window has no control
  EXPECT_EQ(bar->ClientWidth(), 489);
  EXPECT_TRUE(bar->UsesBuffer());
  EXPECT_EQ(bar->Buffer().width(), 489);
  EXPECT_NE(SendMessageW(hwnd, WM_ERASEBKGND, 0, 0), 0);  // no erase before a paint

  g_notices.clear();
  bar->SetScrolling(2);
  bar->SetColor(0x00FF00);
  ASSERT_EQ(bar->SetValue(50), ValueError::kNone);
  EXPECT_EQ(g_notices, std::vector<std::string>{"Scrolling"});
  EXPECT_EQ(PrintClient(hwnd), Expected(*bar));

  // Lower and narrower: the buffer stays 489 x 17 and its top-left block is shown.
  SetWindowPos(hwnd, nullptr, 0, 0, 300, 10, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  EXPECT_EQ(bar->ClientWidth(), 300);
  EXPECT_EQ(bar->ClientHeight(), 10);
  EXPECT_EQ(bar->Buffer().height(), 17);
  EXPECT_EQ(bar->Buffer().creations(), 1);
  bar->SetShowText(true);
  EXPECT_EQ(PrintClient(hwnd), Expected(*bar));

  // Larger than the buffer: a new one, and still every pixel painted.
  SetWindowPos(hwnd, nullptr, 0, 0, 520, 24, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  EXPECT_EQ(bar->Buffer().creations(), 2);
  EXPECT_EQ(PrintClient(hwnd), Expected(*bar));

  DestroyWindow(hwnd);
  EXPECT_EQ(ProgressBarOf(hwnd), nullptr);
  DestroyWindow(parent);
}

}  // namespace
}  // namespace velquin::progressbar::win32
