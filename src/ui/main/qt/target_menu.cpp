#include "ui/main/qt/target_menu.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

namespace velquin::ui {

QMenu* BuildTargetMenu(QWidget* owner) {
    auto* menu = new QMenu(QString::fromUtf8(kMenuCaption), owner);
    menu->setObjectName("mnu");
    for (const MenuItemSpec& entry : kTargetMenuItems) {
        QAction* action = menu->addAction(QString::fromUtf8(entry.caption));
        action->setObjectName(entry.name);
        action->setData(static_cast<int>(entry.item));
    }
    return menu;
}

std::optional<MenuItem> PopUpAtPointer(QMenu* menu) {
    const QAction* picked = menu->exec(QCursor::pos());
    if (!picked) return std::nullopt;
    return static_cast<MenuItem>(picked->data().toInt());
}

}  // namespace velquin::ui
