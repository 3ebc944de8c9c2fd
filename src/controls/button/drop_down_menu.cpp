#include "controls/button/drop_down_menu.h"

namespace velquin::button {

std::optional<MenuPlacement> PlaceDropDownMenu(int align, int width, int height, int flags) {
  const int w = width;
  const int h = height;
  switch (align) {
    case 0: return MenuPlacement{{0, h}, flags};
    case 1: return MenuPlacement{{0, 0}, kPopupBottomAlign};
    case 2: return MenuPlacement{{0, 0}, flags | kPopupRightAlign};
    case 3: return MenuPlacement{{w, 0}, flags};
    case 4: return MenuPlacement{{0, 0}, kPopupBottomAlign | kPopupRightAlign};
    case 5: return MenuPlacement{{0, h}, flags | kPopupRightAlign};
    case 6: return MenuPlacement{{w, 0}, kPopupBottomAlign};
    case 7: return MenuPlacement{{w, h}, flags};
    default: return std::nullopt;
  }
}

}  // namespace velquin::button
