#pragma once
// mnu as a Qt menu: one action per item, named like the item.

#include <optional>

#include "ui/main/target_menu.h"

class QMenu;
class QWidget;

namespace velquin::ui {

QMenu* BuildTargetMenu(QWidget* owner);

// Shows the menu at the mouse pointer and waits; the picked item, or nothing when dismissed.
std::optional<MenuItem> PopUpAtPointer(QMenu* menu);

}  // namespace velquin::ui
