#include "controls/button/win32/tooltip_window.h"

#include <commctrl.h>

#include <string>

#include "draw/utf.h"

namespace velquin::button::win32 {
namespace {

void InitTooltipClass() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&init) != FALSE;
  }();
  (void)done;
}

std::wstring Wide(const std::string& text) {
  const std::u16string wide = draw::ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

}  // namespace

HWND CreateTooltipWindow(HWND control, const TooltipData& tooltip) {
  InitTooltipClass();
  DWORD style = TTS_ALWAYSTIP | TTS_NOPREFIX;
  if (tooltip.balloon) style |= TTS_BALLOON;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HWND tip = CreateWindowExW(tooltip.right_to_left ? WS_EX_LAYOUTRTL : 0, TOOLTIPS_CLASSW, nullptr,
                             style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             control, nullptr, instance, nullptr);
  if (tip == nullptr) return nullptr;
  SetClassLongPtrW(tip, GCL_STYLE, GetClassLongPtrW(tip, GCL_STYLE) | CS_DROPSHADOW);

  // The first form of the tool description, which every version of the class takes.
  std::wstring text = Wide(tooltip.text);
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V1_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = control;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.rect = RECT{tooltip.tool_rect.left, tooltip.tool_rect.top, tooltip.tool_rect.right,
                   tooltip.tool_rect.bottom};
  tool.hinst = instance;
  tool.lpszText = text.data();
  SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));

  if (tooltip.set_title) {
    const std::wstring title = Wide(tooltip.title);
    SendMessageW(tip, TTM_SETTITLEW, static_cast<WPARAM>(tooltip.icon),
                 reinterpret_cast<LPARAM>(title.c_str()));
  }
  SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, tooltip.max_width);
  if (tooltip.back_color) SendMessageW(tip, TTM_SETTIPBKCOLOR, *tooltip.back_color, 0);
  return tip;
}

}  // namespace velquin::button::win32
