#pragma once
// Moving a file between two open folders without ever replacing anything, and the small file
// writes a quarantine needs. Everything works relative to open folders and refuses links.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/file.h"

namespace velquin::platform {

// The permission bits a moved file gets: (its bits & keep) | set.
struct ModeChange {
    std::uint32_t keep = 07777;
    std::uint32_t set = 0;
};

struct MovedFile {
    std::uint32_t originalMode = 0;  // permission bits the file had before the move (07777)
    bool copied = false;             // the folders are on different file systems
};

// Moves the regular file `name` of `from`, if it is still the file `expected`, to the new entry
// `newName` of `to`, and changes its permission bits by `mode`. An existing `newName` is never
// replaced (Error::Exists), a link is never followed, and a file that changed in the meantime is
// left where it is (Error::Changed).
// Across file systems the file is copied (contents, modification and access times, owner where
// allowed), the copy and its folder are flushed to disk, and only then is the original removed,
// if it is still the same file; when that removal fails the copy is removed again, so the file
// ends up in exactly one place.
Error MoveFile(const Folder& from, const char* name, const FileIdentity& expected, const Folder& to,
               const char* newName, const ModeChange& mode, MovedFile* moved = nullptr);

// The permission bits (07777) of the entry `name` of `folder`, without following a link.
Error PermissionsOf(const Folder& folder, const char* name, std::uint32_t& mode);

// Creates the folder `path` with access for its owner only; an existing folder is fine.
Error CreatePrivateFolder(const std::string& path);

// Appends `data` to the regular file `name` of `folder` (created, owner-only, when missing) and
// flushes it to disk.
Error AppendToFile(const Folder& folder, const char* name, std::string_view data);

// Replaces the contents of the regular file `name` of `folder` at once: the new contents are
// written to a fresh file, flushed, and renamed over the old one.
Error ReplaceFileContents(const Folder& folder, const char* name, std::string_view data);

// Reads the whole regular file `name` of `folder`, never through a link.
Error ReadWholeFile(const Folder& folder, const char* name, std::string& out);

}  // namespace velquin::platform
