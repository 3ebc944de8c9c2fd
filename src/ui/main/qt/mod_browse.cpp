#include "ui/main/qt/mod_browse.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace velquin::ui {

QString BrowseFolder(QWidget* owner, const QString& title) {
    QFileDialog dialog(owner, title);
    dialog.setObjectName("BrowseFolderDialog");
    dialog.setFileMode(QFileDialog::Directory);
    // Qt's own dialog always has the path edit box; a desktop's native one may not.
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    dialog.setDirectory(QDir::rootPath());
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList picked = dialog.selectedFiles();
    if (picked.isEmpty() || picked.front().isEmpty()) return {};
    const QFileInfo info(picked.front());
    if (!info.isDir()) return {};
    return QDir::toNativeSeparators(info.absoluteFilePath());
}

}  // namespace velquin::ui
