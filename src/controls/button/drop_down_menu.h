// The drop-down menu of a luxbutton as a request the host carries out: which menu, where it
// opens and how it is aligned there. The menu itself belongs to the form.
#pragma once

#include <cstdint>
#include <optional>

#include "draw/geometry.h"

namespace velquin::button {

// A menu or menu item of the form, as the host knows it (an HMENU and an item identifier, or a
// pointer to the toolkit's menu object); 0 is none.
using MenuHandle = std::uintptr_t;

// Alignment bits of the popup call, with the values of TrackPopupMenu's TPM_* flags: the menu's
// centre (kPopupCenterAlign) or right edge (kPopupRightAlign) at x, its vertical centre or bottom
// edge at y; without them its left and top edges.
inline constexpr int kPopupCenterAlign = 0x4;
inline constexpr int kPopupRightAlign = 0x8;
inline constexpr int kPopupVCenterAlign = 0x10;
inline constexpr int kPopupBottomAlign = 0x20;

struct PopupMenuRequest {
  MenuHandle menu = 0;
  int flags = 0;            // the caller's flags with the alignment bits of the placement
  draw::Point at;           // client pixels of the control
  MenuHandle default_item = 0;
};

struct MenuPlacement {
  draw::Point at;
  int flags = 0;
};

// Where a menu attached with `align` (0..7) opens on a width x height button, and the flags it
// opens with (`flags` adjusted; the control keeps the adjusted flags for later openings). No
// placement for any other `align`: no menu is shown.
std::optional<MenuPlacement> PlaceDropDownMenu(int align, int width, int height, int flags);

}  // namespace velquin::button
