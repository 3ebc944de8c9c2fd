#pragma once
// mnu: the pop-up menu of scan targets that Browse... (and a Start Scan without a target) opens,
// with caption "zzzz" and never shown in a menu bar.

#include <array>
#include <string>

namespace velquin::ui {

enum class MenuItem { system32scan, SF, IN, ED, DiskD };

struct MenuItemSpec {
    MenuItem item;
    const char* name;
    const char* caption;
};

inline constexpr const char* kMenuCaption = "zzzz";

// The items in display order.
inline constexpr std::array<MenuItemSpec, 5> kTargetMenuItems = {{
    {MenuItem::system32scan, "system32scan", "Windows System"},
    {MenuItem::SF, "SF", "Select Folder"},
    {MenuItem::IN, "IN", "Removable Disk"},
    {MenuItem::ED, "ED", "Local Disk [C]"},
    {MenuItem::DiskD, "DiskD", "Local Disk [D]"},
}};

// The fixed target of an item ("C:\WINDOWS\", "C:\", "D:\") as this system names it; "" for the
// items whose target is chosen elsewhere (SF, IN).
std::string FixedTarget(MenuItem item);

}  // namespace velquin::ui
