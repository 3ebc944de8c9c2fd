// The gallery on Windows: the system's own colours, labels in GDI text, tooltips as windows of
// the system's tooltip class as the screen shows them (so they need a display: xvfb-run).
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "controls/button/win32/tooltip_window.h"
#include "draw/utf.h"
#include "draw/win32/gdi.h"
#include "gallery/gallery.h"

namespace velquin::button::gallery {
namespace {

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The tool of `tip` kept at one place of the screen and shown, instead of waiting for the cursor.
void ShowTracked(HWND tip, HWND control, const TooltipData& tooltip) {
  const std::u16string text = draw::ToUtf16(tooltip.text);
  std::wstring wide(text.begin(), text.end());
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V1_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
  tool.hwnd = control;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.rect = RECT{tooltip.tool_rect.left, tooltip.tool_rect.top, tooltip.tool_rect.right,
                   tooltip.tool_rect.bottom};
  tool.hinst = GetModuleHandleW(nullptr);
  tool.lpszText = wide.data();
  SendMessageW(tip, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(200, 200));
  SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  UpdateWindow(tip);
  PumpMessages();
  Sleep(300);  // the display maps and draws the window meanwhile
  PumpMessages();
}

}  // namespace

void StartPlatform(int&, char**) {}

void DrawLabel(draw::Canvas& sheet, const draw::Rect& box, std::string_view text,
               LabelPlace place) {
  draw::FontSpec font;
  font.face = "Tahoma";
  font.points = 8;
  const draw::FontSpec previous_font = sheet.SetFont(font);
  const draw::Colour previous_colour = sheet.SetTextColor(draw::Rgb(0, 0, 0));
  const draw::BkMode previous_mode = sheet.SetBkMode(draw::BkMode::Transparent);
  using draw::TextFormat;
  TextFormat format = TextFormat::SingleLine | TextFormat::NoPrefix;
  format |= place == LabelPlace::Centre ? TextFormat::Center | TextFormat::VCenter
            : place == LabelPlace::Left ? TextFormat::Left | TextFormat::VCenter
                                        : TextFormat::Left | TextFormat::Top;
  sheet.DrawTextIn(text, box, format);
  sheet.SetBkMode(previous_mode);
  sheet.SetTextColor(previous_colour);
  sheet.SetFont(previous_font);
}

int DrawTooltip(draw::Canvas& sheet, int x, int y, const TooltipData& tooltip) {
  HWND control = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                 tooltip.tool_rect.Width(), tooltip.tool_rect.Height(), nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND tip = control ? win32::CreateTooltipWindow(control, tooltip) : nullptr;
  if (tip == nullptr) {
    std::fprintf(stderr, "no tooltip window: windows need a display (run under xvfb-run)\n");
    if (control != nullptr) DestroyWindow(control);
    return 0;
  }
  ShowTracked(tip, control, tooltip);
  RECT r{};
  GetWindowRect(tip, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;

  // The window as the screen shows it, copied into a DIB section, then kept only inside its
  // window region (the balloon's shape), if it has one.
  const BITMAPINFO info = draw::win32::DibHeader(width, height);
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr) {
    HGDIOBJ previous = SelectObject(dc, bitmap);
    HDC screen = GetDC(nullptr);
    BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    SelectObject(dc, previous);
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    const bool shaped = GetWindowRgn(tip, shape) != ERROR;
    const auto* shown = static_cast<const std::uint32_t*>(bits);
    for (int row = 0; row < height; ++row)
      for (int col = 0; col < width; ++col)
        if (!shaped || PtInRegion(shape, col, row))
          sheet.SetPixel(x + col, y + row, draw::FromPixel(shown[row * width + col]));
    DeleteObject(shape);
    DeleteObject(bitmap);
  }
  DeleteDC(dc);
  DestroyWindow(tip);
  DestroyWindow(control);
  return width;
}

}  // namespace velquin::button::gallery
