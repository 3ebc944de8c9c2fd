#include "ui/main/drive_path.h"

#include <QDir>
#include <QFileInfo>

namespace velquin::ui {

// Stand-in until the platform layer's drive mapping is merged: "X:\rest" -> "/mnt/x/rest",
// "C:\rest" -> "/rest" when /mnt/c does not exist.
QString NativeTarget(const QString& path) {
    if (path.size() < 3 || !path[0].isLetter() || path[1] != ':' || path[2] != '\\') return path;
    const QString letter = path.left(1).toLower();
    QString rest = path.mid(3);
    rest.replace('\\', '/');
    QString root = "/mnt/" + letter + "/";
    if (letter == "c" && !QFileInfo(root).isDir()) root = "/";
    return root + rest;
}

}  // namespace velquin::ui
