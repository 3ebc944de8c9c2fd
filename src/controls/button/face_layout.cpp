#include "controls/button/face_layout.h"

#include <algorithm>

#include "draw/rounding.h"

namespace velquin::button {

Rect CaptionMeasureArea(int width, int height, bool drop_down, int picture_align) {
  int right = width - 8;
  if (drop_down) right = (picture_align == 2 || picture_align == 3) ? width - 24 : width - 16;
  return {0, 0, right, height};
}

CaptionLayout LayoutCaptionAndPicture(const CaptionLayoutInput& in) {
  const int W = in.width;
  const int H = in.height;
  const int pic_w = in.picture_width;
  const int pic_h = in.picture_height;
  const bool centred = in.caption_align == 1;

  Rect cap{0, 0, in.text_width, in.text_height};
  const int text_top = (H - in.text_height) / 2;
  switch (in.caption_align) {
    case 0:
      cap = cap.Offset(2, text_top);
      break;
    case 2:
      cap = cap.Offset(W - in.text_width - 4, text_top);
      break;
    default:
      if (centred) {
        cap = cap.Offset((W - in.text_width + pic_w) / 2, text_top);
        if (in.drop_down) cap = cap.Offset(-8, 0);
        if (in.picture_align >= 5 && in.picture_align <= 8) cap = cap.Offset(-(pic_w / 2), 0);
      }
      break;
  }

  if (in.has_picture) {
    switch (in.picture_align) {
      case 2:
      case 3:
        if (cap.right > W - pic_w - 4) {
          cap.right = W - pic_w - 4;
          cap.left -= pic_w + 4;
        }
        if (centred) cap = cap.Offset(-12, 0);
        break;
      case 4:
        if (centred) cap = cap.Offset(-16, 0);
        break;
      case 5:
      case 6:
        cap = cap.Offset(0, pic_h / 2);
        break;
      case 7:
      case 8:
        cap = cap.Offset(0, -(pic_h / 2));
        break;
      case 0:
      case 1:
        if (!centred && cap.left < pic_w + 4) {
          cap.right = pic_w + cap.right + 4;
          cap.left = pic_w + 4;
        }
        break;
      default:
        break;
    }
  }

  if (in.caption_align == 2 && in.drop_down) cap = cap.Offset(-16, 0);

  if (in.system_theme) {
    cap.left = std::max(cap.left, 4);
    cap.top = std::max(cap.top, 4);
    cap.right = std::min(cap.right, W - 4);
    cap.bottom = std::min(cap.bottom, H - 4);
  }

  Rect pic;
  if (in.has_picture) {
    const int centre_x = (W - pic_w) / 2;
    const int centre_y = (H - pic_h) / 2;
    int x = centre_x;
    int y = centre_y;
    if (!in.caption_empty && in.picture_align != 4) {
      switch (in.picture_align) {
        case 0:
          x = 3;
          break;
        case 1:
          x = cap.left - pic_w - 4;
          break;
        case 2:
          x = W - pic_w - 3;
          if (in.drop_down) x -= 16;
          x = std::max(x, cap.right + 2);
          break;
        case 3:
          x = cap.right + 4;
          if (in.drop_down) x -= 16;
          x = std::max(x, cap.right + 2);
          break;
        case 5:
          y = 4;
          break;
        case 6:
          y = cap.top - pic_h - 2;
          break;
        case 7:
          y = H - pic_h - 4;
          break;
        case 8:
          y = cap.bottom + 2;
          break;
        default:
          break;
      }
      if (in.picture_align >= 5 && in.picture_align <= 8 && in.drop_down) x -= 8;
    } else if (in.drop_down) {
      x -= 8;
    }
    pic = {x, y, x + pic_w, y + pic_h};
  }

  Rect symbol{W - 15, draw::Nearest(H / 2.0 - 7), W, draw::Nearest(H / 2.0 + 8)};

  const int resting_right = cap.right;
  if (in.down && in.shift_when_down) {
    cap = cap.Offset(1, 1);
    pic = pic.Offset(1, 1);
    symbol = symbol.Offset(1, 1);
  }
  if (in.down && in.symbol_extra_shift) symbol = symbol.Offset(1, 1);

  return {cap, pic, symbol, resting_right};
}

bool StyleShiftsContentWhenDown(int style) {
  switch (style) {
    case 0:
    case 1:
    case 5:
    case 6:
    case 7:
    case 10:
    case 11:
    case 12:
      return true;
    default:
      return false;
  }
}

bool StyleShiftsSymbolTwiceWhenDown(int style) {
  switch (style) {
    case 0:
    case 1:
    case 6:
    case 7:
    case 11:
    case 12:
      return true;
    default:
      return false;
  }
}

}  // namespace velquin::button
