#pragma once
// Placement of the caption, the picture and the drop-down symbol inside a button face. Pure
// geometry: the caller measures the caption and draws; all divisions truncate like the rest of
// the face arithmetic.

#include "draw/canvas.h"

namespace velquin::button {

using draw::Rect;

struct CaptionLayoutInput {
  int width = 0;                    // W
  int height = 0;                   // H
  int text_width = 0;               // Tw, measured in CaptionMeasureArea
  int text_height = 0;              // Th
  int picture_width = 0;            // PicW of the chosen picture, 0 without one
  int picture_height = 0;           // PicH
  bool has_picture = false;         // PictureNormal is set
  bool caption_empty = true;        // caption empty after trimming spaces
  int caption_align = 1;            // 0 left, 1 centre, 2 right
  int picture_align = 1;            // 0..8
  bool drop_down = false;           // a drop-down symbol or separator is shown
  bool system_theme = false;        // style 13 keeps the caption inside the theme's border
  bool shift_when_down = false;     // the style moves caption and picture by (1, 1) when Down
  bool symbol_extra_shift = false;  // the style moves the symbol by one more (1, 1) when Down
  bool down = false;                // ButtonState is Down
};

struct CaptionLayout {
  Rect caption;
  Rect picture;                   // meaningful only with has_picture
  Rect drop_down;                 // symbol rectangle with every Down shift applied
  int resting_caption_right = 0;  // caption right edge before the Down shift
};

// Area the caption is measured in (word breaking within its width).
Rect CaptionMeasureArea(int width, int height, bool drop_down, int picture_align);

CaptionLayout LayoutCaptionAndPicture(const CaptionLayoutInput& in);

// Styles that move caption, picture and symbol by (1, 1) when pressed, and those whose
// symbol moves by one pixel more.
bool StyleShiftsContentWhenDown(int style);
bool StyleShiftsSymbolTwiceWhenDown(int style);

}  // namespace velquin::button
