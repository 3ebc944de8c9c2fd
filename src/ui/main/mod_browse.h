#pragma once
// modBrowse: the folder picker behind "Select Folder". Each shell shows its platform's modal
// folder dialog with this title and an edit box for typing a path (qt/ or win32/mod_browse.h).

namespace velquin::ui {

inline constexpr const char* kBrowseFolderTitle = "Select Driver & Path :";

}  // namespace velquin::ui
