// The "luxbutton" window class driven through its window messages, as the desktop delivers them:
// the cursor placed on the virtual display, the messages sent to the control window, the core's
// state and the painted pixels checked after each step.
#include "controls/button/win32/luxbutton_window.h"

#include <commctrl.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "draw/win32/gdi.h"
#include "support/win32/print_client.h"
#include "support/win32/window_driver.h"

namespace velquin::button::win32 {
namespace {

using velquin::testing::PrintClient;
using velquin::testing::PumpMessages;
using velquin::testing::WaitUntil;

int g_clicks = 0;

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED && LOWORD(wparam) == 1) ++g_clicks;
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

// The title and icon a tooltip window was given, as this thread sent them.
std::wstring g_title;
WPARAM g_title_icon = 0;

LRESULT CALLBACK WatchTitles(int code, WPARAM wparam, LPARAM lparam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code == HC_ACTION && sent->message == TTM_SETTITLEW) {
    g_title = reinterpret_cast<const wchar_t*>(sent->lParam);
    g_title_icon = sent->wParam;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

// A form on the virtual display with the button (id 1) and a second control after it in tab
// order; the button is loaded as a form loads it.
class LuxButtonWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = FormProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VelquinTestButtonForm";
    RegisterClassW(&wc);
    form_ = CreateWindowExW(0, wc.lpszClassName, L"form", WS_POPUP | WS_VISIBLE, 100, 100, 320, 200,
                            nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(form_, nullptr);
    hwnd_ = CreateLuxButton(form_, 1, 20, 30, 120, 40);
    ASSERT_NE(hwnd_, nullptr);
    other_ = CreateWindowExW(0, L"BUTTON", L"other", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 200, 30, 80,
                             40, form_, reinterpret_cast<HMENU>(2), wc.hInstance, nullptr);
    button_ = ButtonOf(hwnd_);
    ASSERT_NE(button_, nullptr);
    Ambient ambient;
    ambient.display_name = "Scan";
    button_->SetAmbient(ambient);
    button_->setThemesAvailable(false);
    button_->ReadProperties({});
    button_->setButtonStyle(ButtonStyle::FlatFill);  // a face of its own when hot
    button_->setCaption("Start &Scan");
    SetForegroundWindow(form_);
    PumpMessages();
    g_clicks = 0;
  }
  void TearDown() override {
    if (form_ != nullptr) DestroyWindow(form_);
    PumpMessages();
  }

  // The cursor at client point (x, y) of the button, and the move the desktop reports for it.
  void MoveTo(int x, int y) {
    POINT screen{x, y};
    ClientToScreen(hwnd_, &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(hwnd_, WM_MOUSEMOVE, GetCapture() == hwnd_ ? MK_LBUTTON : 0, MAKELPARAM(x, y));
  }
  void Send(UINT message, int x, int y) { SendMessageW(hwnd_, message, 0, MAKELPARAM(x, y)); }

  void ExpectShowsItsFace() { EXPECT_EQ(PrintClient(hwnd_), button_->faceCanvas().Pixels()); }

  HWND form_ = nullptr;
  HWND hwnd_ = nullptr;
  HWND other_ = nullptr;
  luxbutton* button_ = nullptr;
};

TEST_F(LuxButtonWindowTest, HoverAndLeaveRepaintTheFaceAndTheWindowHasTheCoresShape) {
  EXPECT_TRUE(button_->hooksInstalled());
  EXPECT_EQ(ButtonOf(other_), nullptr);
  EXPECT_NE(SendMessageW(hwnd_, WM_ERASEBKGND, 0, 0), 0);  // painted without an erase first
  EXPECT_EQ(velquin::testing::TextOf(hwnd_), "Start &Scan");
  ExpectShowsItsFace();
  const draw::Image normal = PrintClient(hwnd_);

  MoveTo(60, 20);
  EXPECT_EQ(button_->buttonState(), ButtonState::Hot);
  EXPECT_TRUE(button_->isOver());
  ExpectShowsItsFace();
  EXPECT_NE(PrintClient(hwnd_), normal);

  SendMessageW(hwnd_, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
  EXPECT_EQ(PrintClient(hwnd_), normal);

  // A rounded style: the window's region is the core's.
  button_->setButtonStyle(ButtonStyle::RoundedScheme);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(hwnd_, rgn), ERROR);
  EXPECT_EQ(draw::win32::FromHrgn(rgn).Rects(), button_->windowRegion().Rects());
  EXPECT_FALSE(button_->windowRegion().Contains(0, 0));
  DeleteObject(rgn);
  ExpectShowsItsFace();
}

TEST_F(LuxButtonWindowTest, PressCapturesAndOnlyAReleaseInsideClicks) {
  struct Case {
    const char* what;
    int release_x, release_y;
    int clicks;
  };
  for (const Case& c : {Case{"release inside", 60, 20, 1}, Case{"release outside", 200, 20, 0},
                        Case{"release on the first column", 0, 20, 0}}) {
    SCOPED_TRACE(c.what);
    g_clicks = 0;
    MoveTo(60, 20);
    Send(WM_LBUTTONDOWN, 60, 20);
    EXPECT_EQ(GetCapture(), hwnd_);
    EXPECT_EQ(GetFocus(), hwnd_);
    EXPECT_EQ(button_->buttonState(), ButtonState::Down);
    ExpectShowsItsFace();

    // Held and captured, the hit test of every move decides the face.
    MoveTo(200, 20);
    EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
    MoveTo(60, 20);
    EXPECT_EQ(button_->buttonState(), ButtonState::Down);

    MoveTo(c.release_x, c.release_y);
    Send(WM_LBUTTONUP, c.release_x, c.release_y);
    EXPECT_NE(GetCapture(), hwnd_);
    EXPECT_EQ(g_clicks, c.clicks);
    SendMessageW(hwnd_, WM_MOUSELEAVE, 0, 0);
  }
}

TEST_F(LuxButtonWindowTest, KeyboardSpaceAccessKeyArrowsAndTheFocusRectangle) {
  button_->setButtonStyle(ButtonStyle::Classic);
  button_->setShowFocusRect(true);
  const draw::Image unfocused = PrintClient(hwnd_);
  SetFocus(hwnd_);
  EXPECT_TRUE(button_->hasFocusFlag());
  button_->RedrawButton();  // the focus shows at the next face
  EXPECT_NE(PrintClient(hwnd_), unfocused);
  ExpectShowsItsFace();

  SendMessageW(hwnd_, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(button_->buttonState(), ButtonState::Down);
  SendMessageW(hwnd_, WM_KEYDOWN, VK_SPACE, 1 << 30);  // held: no second press
  SendMessageW(hwnd_, WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(g_clicks, 1);

  // Alt+S typed while another control has the focus: the desktop hands the key to the form.
  ASSERT_EQ(button_->accessKey(), std::optional<char32_t>(U's'));
  SetFocus(other_);
  PostMessageW(other_, WM_SYSCHAR, 'S', 1 << 29);
  PumpMessages();
  EXPECT_EQ(g_clicks, 2);
  PostMessageW(other_, WM_SYSCHAR, 'x', 1 << 29);  // not its key
  PumpMessages();
  EXPECT_EQ(g_clicks, 2);
  SendMessageW(hwnd_, BM_CLICK, 0, 0);
  EXPECT_EQ(g_clicks, 3);

  // An arrow key moves the focus on once the key is handled.
  SetFocus(hwnd_);
  SendMessageW(hwnd_, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(GetFocus(), hwnd_);
  PumpMessages();
  EXPECT_EQ(GetFocus(), other_);
  EXPECT_FALSE(button_->hasFocusFlag());
}

TEST_F(LuxButtonWindowTest, HandCursorAndABalloonTooltipWithItsTitle) {
  SendMessageW(hwnd_, WM_MOUSELEAVE, 0, 0);
  button_->setHandPointer(true);
  button_->setToolTip("Scans the chosen target");
  button_->setTooltipTitle("Start Scan");
  button_->setToolTipIcon(1);
  button_->setToolTipType(ToolTipType::Balloon);
  button_->setTooltipBackColor(0x00E1FFFF);

  g_title.clear();
  HHOOK watch = SetWindowsHookExW(WH_CALLWNDPROC, WatchTitles, nullptr, GetCurrentThreadId());
  MoveTo(60, 20);
  UnhookWindowsHookEx(watch);
  EXPECT_EQ(SendMessageW(hwnd_, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));

  ASSERT_EQ(button_->buttonState(), ButtonState::Hot);
  HWND tip = TooltipOf(hwnd_);
  ASSERT_NE(tip, nullptr);
  wchar_t class_name[64] = {};
  GetClassNameW(tip, class_name, 64);
  EXPECT_STREQ(class_name, L"tooltips_class32");
  EXPECT_NE(GetWindowLongPtrW(tip, GWL_STYLE) & TTS_BALLOON, 0);
  EXPECT_EQ(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 240);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tip, TTM_GETTIPBKCOLOR, 0, 0)), 0x00E1FFFFu);
  // Wine's tooltip window does not answer TTM_GETTITLE: the title is checked as it was sent.
  EXPECT_EQ(g_title, L"Start Scan");
  EXPECT_EQ(g_title_icon, 1u);

  // The tooltip watches the control's mouse messages itself and shows after its delay.
  // A move as the desktop's input makes it (posted, with its time and place), then a rest.
  POINT at{62, 20};
  ClientToScreen(hwnd_, &at);
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  move.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &move, sizeof(move));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(tip) != FALSE; }, 10));

  // A new entry into the hot state makes a fresh tooltip window.
  SendMessageW(hwnd_, WM_MOUSELEAVE, 0, 0);
  MoveTo(60, 20);
  EXPECT_NE(TooltipOf(hwnd_), tip);
  EXPECT_FALSE(IsWindow(tip));
}

TEST_F(LuxButtonWindowTest, AClickHandlerThatDestroysTheButtonEndsItsMessageSafely) {
  button_->events.Click = [this] { DestroyWindow(hwnd_); };
  MoveTo(60, 20);
  Send(WM_LBUTTONDOWN, 60, 20);
  Send(WM_LBUTTONUP, 60, 20);
  EXPECT_FALSE(IsWindow(hwnd_));
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
}  // namespace velquin::button::win32
