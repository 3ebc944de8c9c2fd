// System colours on Windows: GetSysColor, whose COLORREF has the drawing layer's 0x00BBGGRR layout.
#include <windows.h>

#include "draw/platform.h"

namespace velquin::draw::platform {

Colour SystemColour(int index) { return GetSysColor(index) & 0xFFFFFF; }

}  // namespace velquin::draw::platform
