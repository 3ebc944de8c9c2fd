#include "controls/button/face_layout.h"

#include <algorithm>

#include "draw/rounding.h"

namespace velquin::button {

Rect CaptionMeasureArea(int width, int height, bool dropDown, int pictureAlign) {
  int right = width - 8;
  if (dropDown) right = (pictureAlign == 2 || pictureAlign == 3) ? width - 24 : width - 16;
  return {0, 0, right, height};
}

CaptionLayout LayoutCaptionAndPicture(const CaptionLayoutInput& in) {
  const int W = in.width;
  const int H = in.height;
  const int picW = in.pictureWidth;
  const int picH = in.pictureHeight;
  const bool centred = in.captionAlign == 1;

  Rect cap{0, 0, in.textWidth, in.textHeight};
  const int textTop = (H - in.textHeight) / 2;
  switch (in.captionAlign) {
    case 0:
      cap = cap.Offset(2, textTop);
      break;
    case 2:
      cap = cap.Offset(W - in.textWidth - 4, textTop);
      break;
    default:
      if (centred) {
        cap = cap.Offset((W - in.textWidth + picW) / 2, textTop);
        if (in.dropDown) cap = cap.Offset(-8, 0);
        if (in.pictureAlign >= 5 && in.pictureAlign <= 8) cap = cap.Offset(-(picW / 2), 0);
      }
      break;
  }

  if (in.hasPicture) {
    switch (in.pictureAlign) {
      case 2:
      case 3:
        if (cap.right > W - picW - 4) {
          cap.right = W - picW - 4;
          cap.left -= picW + 4;
        }
        if (centred) cap = cap.Offset(-12, 0);
        break;
      case 4:
        if (centred) cap = cap.Offset(-16, 0);
        break;
      case 5:
      case 6:
        cap = cap.Offset(0, picH / 2);
        break;
      case 7:
      case 8:
        cap = cap.Offset(0, -(picH / 2));
        break;
      case 0:
      case 1:
        if (!centred && cap.left < picW + 4) {
          cap.right = picW + cap.right + 4;
          cap.left = picW + 4;
        }
        break;
      default:
        break;
    }
  }

  if (in.captionAlign == 2 && in.dropDown) cap = cap.Offset(-16, 0);

  if (in.systemTheme) {
    cap.left = std::max(cap.left, 4);
    cap.top = std::max(cap.top, 4);
    cap.right = std::min(cap.right, W - 4);
    cap.bottom = std::min(cap.bottom, H - 4);
  }

  Rect pic;
  if (in.hasPicture) {
    const int centreX = (W - picW) / 2;
    const int centreY = (H - picH) / 2;
    int x = centreX;
    int y = centreY;
    if (!in.captionEmpty && in.pictureAlign != 4) {
      switch (in.pictureAlign) {
        case 0:
          x = 3;
          break;
        case 1:
          x = cap.left - picW - 4;
          break;
        case 2:
          x = W - picW - 3;
          if (in.dropDown) x -= 16;
          x = std::max(x, cap.right + 2);
          break;
        case 3:
          x = cap.right + 4;
          if (in.dropDown) x -= 16;
          x = std::max(x, cap.right + 2);
          break;
        case 5:
          y = 4;
          break;
        case 6:
          y = cap.top - picH - 2;
          break;
        case 7:
          y = H - picH - 4;
          break;
        case 8:
          y = cap.bottom + 2;
          break;
        default:
          break;
      }
      if (in.pictureAlign >= 5 && in.pictureAlign <= 8 && in.dropDown) x -= 8;
    } else if (in.dropDown) {
      x -= 8;
    }
    pic = {x, y, x + picW, y + picH};
  }

  Rect symbol{W - 15, draw::Nearest(H / 2.0 - 7), W, draw::Nearest(H / 2.0 + 8)};

  const int restingRight = cap.right;
  if (in.down && in.shiftWhenDown) {
    cap = cap.Offset(1, 1);
    pic = pic.Offset(1, 1);
    symbol = symbol.Offset(1, 1);
  }
  if (in.down && in.symbolExtraShift) symbol = symbol.Offset(1, 1);

  return {cap, pic, symbol, restingRight};
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
