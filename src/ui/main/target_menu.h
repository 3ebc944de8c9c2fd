#pragma once
// mnu: the pop-up menu of scan targets that Browse... (and a Start Scan without a target) opens.

#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace velquin::ui {

struct TargetMenu {
    QMenu* mnu = nullptr;
    QAction* system32scan = nullptr;  // "Windows System"
    QAction* SF = nullptr;            // "Select Folder"
    QAction* IN = nullptr;            // "Removable Disk"
    QAction* ED = nullptr;            // "Local Disk [C]"
    QAction* DiskD = nullptr;         // "Local Disk [D]"
};

// Builds the menu (caption "zzzz", never shown in a menu bar) with its five items in display order.
TargetMenu BuildTargetMenu(QWidget* owner);

// The fixed targets as the window shows them: drive-letter paths in this platform's form.
QString WindowsSystemTarget();
QString LocalDiskCTarget();
QString LocalDiskDTarget();

}  // namespace velquin::ui
