#include "ui/main/target_menu.h"

#include <QAction>
#include <QMenu>

#include "ui/main/drive_path.h"

namespace velquin::ui {

TargetMenu BuildTargetMenu(QWidget* owner) {
    TargetMenu menu;
    menu.mnu = new QMenu(QStringLiteral("zzzz"), owner);
    menu.mnu->setObjectName("mnu");
    auto add = [&](const char* name, const char* caption) {
        QAction* action = menu.mnu->addAction(QString::fromUtf8(caption));
        action->setObjectName(name);
        return action;
    };
    menu.system32scan = add("system32scan", "Windows System");
    menu.SF = add("SF", "Select Folder");
    menu.IN = add("IN", "Removable Disk");
    menu.ED = add("ED", "Local Disk [C]");
    menu.DiskD = add("DiskD", "Local Disk [D]");
    return menu;
}

QString WindowsSystemTarget() { return NativeTarget("C:\\WINDOWS\\"); }
QString LocalDiskCTarget() { return NativeTarget("C:\\"); }
QString LocalDiskDTarget() { return NativeTarget("D:\\"); }

}  // namespace velquin::ui
