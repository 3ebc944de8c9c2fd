#include "ui/main/qt/target_menu.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

namespace velquin::ui {

QMenu* BuildTargetMenu(QWidget* owner) {
    auto* menu = new QMenu(QString::fromUtf8(kMenuCaption), owner);
    menu->setObjectName("mnu");
    for (const MenuItemSpec& spec : kTargetMenuItems) {
        QAction* action = menu->addAction(QString::fromUtf8(spec.caption));
        action->setObjectName(spec.name);
        action->setData(static_cast<int>(spec.item));
    }
    return menu;
}

std::optional<MenuItem> PopUpAtPointer(QMenu* menu) {
    const QAction* picked = menu->exec(QCursor::pos());
    if (!picked) return std::nullopt;
    return static_cast<MenuItem>(picked->data().toInt());
}

}  // namespace velquin::ui
