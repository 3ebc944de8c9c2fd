// The looks of the progress bar. The control fills a ProgressBarLook from its state; a painter
// chosen by style number draws it and never changes the control.
#pragma once

#include <string>

#include "draw/canvas.h"
#include "draw/font.h"
#include "draw/image.h"

namespace velquin::progressbar {

struct ProgressBarLook {
  int width = 0;   // client rectangle (0, 0, width, height)
  int height = 0;
  int percent = 0;  // already cut to at most 100; may be negative
  draw::Colour colour = 0;  // resolved
  int style = 0;            // Scrolling
  bool vertical = false;    // Orientation other than 0 (styles 0 to 2 only)
  int brush_style = 0;      // hatch pattern of style 7
  const draw::Image* image = nullptr;  // tiled by style 8; null when none
  bool show_text = false;
  draw::FontSpec font;
};

// The text shown for a look: "Gathering Required Information" for style 2, else "<P> %".
std::string ProgressText(const ProgressBarLook& look);

// Steps 3 to 5 of a paint: background (black for style 6, white otherwise), the style's drawing
// (unlisted styles draw like style 1), then the text.
void PaintProgressBar(draw::Canvas& dc, const ProgressBarLook& look);

// The parts, for tests and the gallery.
void PaintStyle(draw::Canvas& dc, const ProgressBarLook& look);
void PaintText(draw::Canvas& dc, const ProgressBarLook& look);

// Right edge (horizontal) or top edge (vertical) of the bar of styles 0 to 2, before the fill
// adjusts a nearly empty horizontal bar.
int BarEdge(const ProgressBarLook& look);

}  // namespace velquin::progressbar
