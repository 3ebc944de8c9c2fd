// The Windows host's window for a luxbutton's tooltip data (controls/button/tooltip.h): a window
// of the common controls' tooltip class, which watches the control window's mouse messages itself.
#pragma once

#include <windows.h>

#include "controls/button/tooltip.h"

namespace velquin::button::win32 {

// Creates the tooltip window for `control` (its child) from `tooltip`, with the styles, class
// style and messages tooltip.h lists; null when the window cannot be made. The caller destroys
// the previous one first.
HWND CreateTooltipWindow(HWND control, const TooltipData& tooltip);

}  // namespace velquin::button::win32
