// The tooltip of a luxbutton as data: what a host shows in a window of the system's tooltip class
// ("tooltips_class32") or in a popup of its own. The control hands it over on every entry into
// the hot state; the host destroys the previous tooltip window first. Once created, the tooltip
// watches the control window's mouse input itself and shows and hides after the system's usual
// delays; the control never shows or hides it.
//
// On Windows: window style TTS_ALWAYSTIP | TTS_NOPREFIX (0x03), with TTS_BALLOON (0x40) for a
// balloon; extended style WS_EX_LAYOUTRTL (0x400000) when right_to_left; CS_DROPSHADOW (0x20000)
// added to the class style; the tool added with TTM_ADDTOOLW, flags TTF_IDISHWND | TTF_SUBCLASS,
// the control window as window and identifier, `tool_rect` and `text`; TTM_SETTITLEW (icon,
// title) when `set_title`; TTM_SETMAXTIPWIDTH `max_width`; TTM_SETTIPBKCOLOR when `back_color`.
#pragma once

#include <optional>
#include <string>

#include "draw/colour.h"
#include "draw/geometry.h"

namespace velquin::button {

inline constexpr int kTooltipMaxWidth = 240;  // longer texts wrap

struct TooltipData {
  std::string text;   // ToolTip, UTF-8; empty still makes the window, which then shows nothing
  std::string title;  // TooltipTitle
  int icon = 0;       // ToolTipIcon, passed on as it is: 0 none, 1 information, 2 warning, 3 error
  // A title (or only an icon) is set: TooltipTitle is not empty or ToolTipIcon is not 0.
  bool set_title = false;
  bool balloon = false;        // ToolTipType 1
  bool right_to_left = false;  // mirrored layout
  // TooltipBackColor resolved to RGB; std::nullopt (TooltipBackColor 0) keeps the system's colour.
  std::optional<draw::Colour> back_color;
  int max_width = kTooltipMaxWidth;
  draw::Rect tool_rect;  // the control's client rectangle: where the tip answers the cursor

  bool operator==(const TooltipData&) const = default;
};

}  // namespace velquin::button
