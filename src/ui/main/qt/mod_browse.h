#pragma once
// modBrowse on Qt: the toolkit's own folder dialog.

#include <QString>

#include "ui/main/mod_browse.h"

class QWidget;

namespace velquin::ui {

// Shows a modal folder dialog over `owner` with an edit box for typing a path. Returns the chosen
// folder's native path, or "" when the user cancels or picks nothing with a file-system path.
QString BrowseFolder(QWidget* owner, const QString& title);

}  // namespace velquin::ui
