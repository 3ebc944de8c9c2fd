// The visual style on Windows: the "Button" class's push-button part of the active theme. The
// background of a push button is the same both ways, so right-to-left layout changes nothing, and
// the theme has no look for an inactive window.
#include <windows.h>
#include <uxtheme.h>
#include <vssym32.h>

#include "draw/platform.h"
#include "draw/win32/gdi.h"

namespace velquin::draw::platform {

bool ThemesActive() { return IsAppThemed() != FALSE; }

std::optional<Region> DrawThemedPushButton(Image& pixels, const Rect& rect, const Rect& region_rect,
                                           const PushButtonLook& look) {
  HTHEME theme = OpenThemeData(nullptr, L"Button");
  if (theme == nullptr) return std::nullopt;
  const int state = Bits(look.state);  // PBS_NORMAL .. PBS_DEFAULTED

  Region region(region_rect);
  {
    win32::MemoryDc dc;
    RECT r = win32::ToRect(region_rect);
    HRGN rgn = nullptr;
    if (SUCCEEDED(GetThemeBackgroundRegion(theme, dc.dc(), BP_PUSHBUTTON, state, &r, &rgn)) &&
        rgn != nullptr) {
      region = win32::FromHrgn(rgn);
      DeleteObject(rgn);
    }
  }

  const Rect block = rect.Intersect(pixels.Bounds());
  if (!block.IsEmpty()) {
    win32::DibBlock dib(pixels, block);
    if (dib.ok()) {
      RECT r = win32::ToRect(rect);
      DrawThemeBackground(theme, dib.dc(), BP_PUSHBUTTON, state, &r, nullptr);
      dib.CopyBack(pixels);
    }
  }
  CloseThemeData(theme);
  return region;
}

}  // namespace velquin::draw::platform
