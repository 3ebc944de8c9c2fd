// Colour values as the controls store them: 0x00BBGGRR, red in the low byte. A value with the top
// bit set is a reference to a system colour whose index is in the low bits.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace velquin::draw {

using Colour = std::uint32_t;

inline constexpr Colour kSystemColourFlag = 0x80000000u;
// What GetPixel answers outside the surface.
inline constexpr Colour kInvalidColour = 0xFFFFFFFFu;

// System colour indices used by the controls (the desktop knows 0..30; 25 is unused).
enum SystemColourIndex : int {
  kColourScrollbar = 0,
  kColourDesktop = 1,
  kColourActiveCaption = 2,
  kColourInactiveCaption = 3,
  kColourMenu = 4,
  kColourWindow = 5,
  kColourWindowFrame = 6,
  kColourMenuText = 7,
  kColourWindowText = 8,
  kColourCaptionText = 9,
  kColourActiveBorder = 10,
  kColourInactiveBorder = 11,
  kColourAppWorkspace = 12,
  kColourHighlight = 13,
  kColourHighlightText = 14,
  kColourButtonFace = 15,
  kColourButtonShadow = 16,
  kColourGrayText = 17,
  kColourButtonText = 18,
  kColourInactiveCaptionText = 19,
  kColourButtonHighlight = 20,
  kColour3DDarkShadow = 21,
  kColour3DLight = 22,
  kColourInfoText = 23,
  kColourInfoBackground = 24,
  kColourHotLight = 26,
  kColourGradientActiveCaption = 27,
  kColourGradientInactiveCaption = 28,
  kColourMenuHighlight = 29,
  kColourMenuBar = 30,
};
inline constexpr int kSystemColourCount = 31;

constexpr Colour Rgb(int r, int g, int b) {
  return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int Red(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int Green(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int Blue(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr bool IsSystemColour(Colour c) { return (c & kSystemColourFlag) != 0; }
constexpr Colour SystemColourRef(int index) {
  return kSystemColourFlag | static_cast<Colour>(index);
}

// The RGB value of every system colour index 0..30.
using SystemColourTable = std::array<Colour, kSystemColourCount>;

// The current RGB value of system colour `index`: the desktop's (the application palette on
// Linux, the system's colours on Windows), or the pinned table's (see PinSystemColours). Unknown
// indices give 0 (black).
Colour SystemColour(int index);

// System colour references become the current RGB of that colour; plain colours pass unchanged
// (only the low 24 bits are kept).
Colour TranslateColor(Colour c);

// Pins the table the system colours come from, so tests and image renders do not depend on the
// desktop's theme. std::nullopt returns to the desktop's colours.
void PinSystemColours(std::optional<SystemColourTable> table);

// The classic grey desktop colours: button face (212, 208, 200), highlight (10, 36, 106),
// application workspace and button shadow (128, 128, 128), 3-D dark shadow (64, 64, 64), button
// text black, grey text (128, 128, 128), tooltip background (255, 255, 225), window white.
SystemColourTable ClassicSystemColours();

}  // namespace velquin::draw
