// The Win32 host of an XP_ProgressBar: a window class whose every window owns one control. The
// window procedure forwards creation, size, paint and destruction to it, paints WM_PAINT and
// WM_PRINTCLIENT alike from the back buffer's bytes in one block, and never erases first, so
// frequent value steps do not flicker.
#pragma once

#include <windows.h>

#include "controls/progressbar/xp_progressbar.h"

namespace velquin::progressbar::win32 {

inline constexpr const wchar_t* kXP_ProgressBarClass = L"XP_ProgressBar";

// Registers the window class in `instance` (once; later calls only say whether it is there).
bool RegisterXP_ProgressBarClass(HINSTANCE instance);

// A child window of the class at (x, y), width x height of `parent`'s client area; registers the
// class first. Null when the window cannot be made.
HWND CreateXP_ProgressBar(HWND parent, int id, int x, int y, int width, int height,
                          DWORD style = WS_CHILD | WS_VISIBLE);

// The control of a window of the class; null for any other window.
XP_ProgressBar* ProgressBarOf(HWND window);

// The WM_NOTIFY code the parent gets when a stored property changes; the NMHDR is the head of a
// PropertyChangedNotice, whose name lives for the call.
inline constexpr UINT kPropertyChangedCode = 1;
struct PropertyChangedNotice {
  NMHDR header;
  const char* name;  // as stored, e.g. "Scrolling"
};

}  // namespace velquin::progressbar::win32
