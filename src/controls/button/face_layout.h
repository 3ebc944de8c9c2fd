#pragma once
// Placement of the caption, the picture and the drop-down symbol inside a button face. Pure
// geometry: the caller measures the caption and draws; all divisions truncate like the rest of
// the face arithmetic.

#include "draw/canvas.h"

namespace velquin::button {

using draw::Rect;

struct CaptionLayoutInput {
  int width = 0;                  // W
  int height = 0;                 // H
  int textWidth = 0;              // Tw, measured in CaptionMeasureArea
  int textHeight = 0;             // Th
  int pictureWidth = 0;           // PicW of the chosen picture, 0 without one
  int pictureHeight = 0;          // PicH
  bool hasPicture = false;        // PictureNormal is set
  bool captionEmpty = true;       // caption empty after trimming spaces
  int captionAlign = 1;           // 0 left, 1 centre, 2 right
  int pictureAlign = 1;           // 0..8
  bool dropDown = false;          // a drop-down symbol or separator is shown
  bool systemTheme = false;       // style 13 keeps the caption inside the theme's border
  bool shiftWhenDown = false;     // the style moves caption and picture by (1, 1) when Down
  bool symbolExtraShift = false;  // the style moves the symbol by one more (1, 1) when Down
  bool down = false;              // ButtonState is Down
};

struct CaptionLayout {
  Rect caption;
  Rect picture;                 // meaningful only with hasPicture
  Rect dropDown;                // symbol rectangle with every Down shift applied
  int restingCaptionRight = 0;  // caption right edge before the Down shift
};

// Area the caption is measured in (word breaking within its width).
Rect CaptionMeasureArea(int width, int height, bool dropDown, int pictureAlign);

CaptionLayout LayoutCaptionAndPicture(const CaptionLayoutInput& in);

// Styles that move caption, picture and symbol by (1, 1) when pressed, and those whose
// symbol moves by one pixel more.
bool StyleShiftsContentWhenDown(int style);
bool StyleShiftsSymbolTwiceWhenDown(int style);

}  // namespace velquin::button
