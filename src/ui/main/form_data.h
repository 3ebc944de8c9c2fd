#pragma once
// Form1's design-time control settings: form data, one property bag per control. Geometry is in
// twips (15 per pixel), colours are 0x00BBGGRR values or references to system colours.

#include <cstdint>
#include <string_view>

#include "draw/property_bag.h"

namespace velquin::ui {

inline constexpr int kTwipsPerPixel = 15;

// Twips to pixels, to the nearest pixel with halves to the even neighbour.
int TwipsToPixels(std::int64_t twips);

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// The "left", "top", "width" and "height" settings of a control, in pixels.
PixelRect RectOf(const draw::PropertyBag& settings);

// The form data of the main window, parsed once.
const draw::FormData& Form1Data();
std::string_view Form1DataText();
// The settings of one control of the main window; an unknown name reads as all defaults.
const draw::PropertyBag& Form1Control(std::string_view name);

}  // namespace velquin::ui
