#include "draw/theme.h"

#include "draw/canvas.h"
#include "draw/platform.h"

namespace velquin::draw {
namespace {

std::optional<bool>& Pinned() {
  static std::optional<bool> pinned;
  return pinned;
}

}  // namespace

bool ThemesActive() { return Pinned() ? *Pinned() : platform::ThemesActive(); }

void PinThemesActive(std::optional<bool> active) { Pinned() = active; }

std::optional<Region> DrawThemedPushButton(Canvas& canvas, const Rect& rect,
                                           const Rect& region_rect, const PushButtonLook& look) {
  if (Pinned() && !*Pinned()) return std::nullopt;
  return platform::DrawThemedPushButton(canvas.Pixels(), rect, region_rect, look);
}

}  // namespace velquin::draw
