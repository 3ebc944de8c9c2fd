// The Win32 host of a luxbutton: the "luxbutton" window class, whose every window owns one
// control (host.h). The window procedure turns the window's messages into the control's input
// calls and carries out its requests: the face painted from the control's canvas straight to the
// device context (WM_PAINT and WM_PRINTCLIENT alike, never erased first), the window region, the
// mouse capture and leave tracking, the pointer, the focus moves, the access key through the
// form's system menu key, the tooltip as a window of the system's tooltip class, and the
// drop-down menu. A click reaches the parent as WM_COMMAND with BN_CLICKED, as a push button's.
#pragma once

#include <windows.h>

#include "controls/button/luxbutton.h"

namespace velquin::button::win32 {

inline constexpr const wchar_t* kLuxButtonClass = L"luxbutton";

// Registers the window class in `instance` (once; later calls only say whether it is there).
bool RegisterLuxButtonClass(HINSTANCE instance);

// A child window of the class at (x, y), width x height of `parent`'s client area; registers the
// class first. Null when the window cannot be made. Its control is not loaded yet: set its
// ambient values, then ReadProperties or InitProperties.
HWND CreateLuxButton(HWND parent, int id, int x, int y, int width, int height,
                     DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP);

// The control of a window of the class; null for any other window.
luxbutton* ButtonOf(HWND window);

// The control's current tooltip window (null before its first entry into the hot state).
HWND TooltipOf(HWND window);

}  // namespace velquin::button::win32
