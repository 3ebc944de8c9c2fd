#include "draw/colour.h"

#include "draw/platform.h"

namespace velquin::draw {
namespace {

std::optional<SystemColourTable>& Pinned() {
  static std::optional<SystemColourTable> pinned;
  return pinned;
}

}  // namespace

Colour SystemColour(int index) {
  if (index < 0 || index >= kSystemColourCount) return 0x000000;
  if (Pinned()) return (*Pinned())[static_cast<std::size_t>(index)];
  return platform::SystemColour(index) & 0xFFFFFF;
}

Colour TranslateColor(Colour c) {
  if (IsSystemColour(c)) return SystemColour(static_cast<int>(c & 0xFFFFFF));
  return c & 0xFFFFFF;
}

void PinSystemColours(std::optional<SystemColourTable> table) { Pinned() = table; }

SystemColourTable ClassicSystemColours() {
  const Colour face = Rgb(212, 208, 200);
  const Colour grey = Rgb(128, 128, 128);
  const Colour dark = Rgb(64, 64, 64);
  const Colour highlight = Rgb(10, 36, 106);
  const Colour mid = Rgb(160, 160, 160);
  const Colour white = Rgb(255, 255, 255);
  const Colour black = Rgb(0, 0, 0);
  SystemColourTable t{};
  t[kColourScrollbar] = face;
  t[kColourDesktop] = grey;
  t[kColourActiveCaption] = highlight;
  t[kColourInactiveCaption] = mid;
  t[kColourMenu] = face;
  t[kColourWindow] = white;
  t[kColourWindowFrame] = dark;
  t[kColourMenuText] = black;
  t[kColourWindowText] = black;
  t[kColourCaptionText] = white;
  t[kColourActiveBorder] = face;
  t[kColourInactiveBorder] = face;
  t[kColourAppWorkspace] = grey;
  t[kColourHighlight] = highlight;
  t[kColourHighlightText] = white;
  t[kColourButtonFace] = face;
  t[kColourButtonShadow] = grey;
  t[kColourGrayText] = grey;
  t[kColourButtonText] = black;
  t[kColourInactiveCaptionText] = grey;
  t[kColourButtonHighlight] = white;
  t[kColour3DDarkShadow] = dark;
  t[kColour3DLight] = face;
  t[kColourInfoText] = black;
  t[kColourInfoBackground] = Rgb(255, 255, 225);
  t[kColourHotLight] = Rgb(0, 0, 128);
  t[kColourGradientActiveCaption] = highlight;
  t[kColourGradientInactiveCaption] = mid;
  t[kColourMenuHighlight] = highlight;
  t[kColourMenuBar] = face;
  return t;
}

}  // namespace velquin::draw
