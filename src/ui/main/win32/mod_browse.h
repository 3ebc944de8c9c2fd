#pragma once
// modBrowse on Windows: the shell's folder dialog.

#include "ui/main/win32/windows_api.h"

#include <string>
#include <string_view>

#include "ui/main/mod_browse.h"

namespace velquin::ui::win32 {

// Shows the shell's folder dialog over `owner` (an edit box for typing a path, the new dialog
// style). Returns the chosen folder's file-system path, or "" when the user cancels, picks
// something without a file-system path, or a step fails.
std::string BrowseFolder(HWND owner, std::string_view title);

}  // namespace velquin::ui::win32
