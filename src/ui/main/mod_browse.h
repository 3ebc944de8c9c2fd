#pragma once
// modBrowse: the folder picker behind "Select Folder".

#include <QString>

class QWidget;

namespace velquin::ui {

inline constexpr const char* kBrowseFolderTitle = "Select Driver & Path :";

// Shows a modal folder dialog over `owner` with an edit box for typing a path. Returns the chosen
// folder's native path, or "" when the user cancels or picks nothing with a file-system path.
QString BrowseFolder(QWidget* owner, const QString& title);

}  // namespace velquin::ui
