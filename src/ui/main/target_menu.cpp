#include "ui/main/target_menu.h"

#include <QAction>
#include <QMenu>

#include "platform/drive.h"

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

namespace {
QString Native(const char* target) {
    return QString::fromStdString(platform::NativeTargetPath(target));
}
}  // namespace

QString WindowsSystemTarget() { return Native("C:\\WINDOWS\\"); }
QString LocalDiskCTarget() { return Native("C:\\"); }
QString LocalDiskDTarget() { return Native("D:\\"); }

}  // namespace velquin::ui
