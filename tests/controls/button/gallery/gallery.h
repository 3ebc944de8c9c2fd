// What the button gallery takes from the platform it runs on: its start (an application object
// where the toolkit needs one), the labels' text and the tooltips as that platform's host shows
// them. Exactly one of qt/ and win32/ defines these.
#pragma once

#include <string_view>

#include "controls/button/tooltip.h"
#include "draw/canvas.h"

namespace velquin::button::gallery {

void StartPlatform(int& argc, char** argv);

// A one-line label in `box`: centred, or at the left edge and centred vertically, or at the
// top-left corner.
enum class LabelPlace { Centre, Left, TopLeft };
void DrawLabel(draw::Canvas& sheet, const draw::Rect& box, std::string_view text, LabelPlace place);

// Draws `tooltip` as the platform's host shows it over a control, with its top-left corner at
// (x, y) of the sheet; returns its width.
int DrawTooltip(draw::Canvas& sheet, int x, int y, const TooltipData& tooltip);

}  // namespace velquin::button::gallery
