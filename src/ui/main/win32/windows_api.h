#pragma once
// <windows.h> for the Win32 shell, without the two macros that take the names of the window's
// own things: the walk's Yield (an obsolete no-op of 16-bit Windows) and the menu item IN (an
// empty annotation).

#include <windows.h>

#undef Yield
#undef IN
