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

// Creates the folder `path` with access for its owner only. Error::Exists when the name is taken
// already, by a folder or anything else: the caller then examines what is there.
Error CreatePrivateFolder(const std::string& path);

// A regular file of an open folder, held open under an exclusive lock that every process using the
// file takes before reading or changing it, so that their changes never cross. Move-only; the lock
// ends when it is closed or destroyed. The folder must stay open as long as the file.
class LockedFile {
public:
    LockedFile() = default;
    ~LockedFile();
    LockedFile(LockedFile&& other) noexcept;
    LockedFile& operator=(LockedFile&& other) noexcept;
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    // Opens the regular file `name` of `folder`, never through a link, creating it (owner-only)
    // when `create` is set, and waits until no other process holds its lock. A file replaced while
    // waiting is opened again: what is locked is always the file under that name.
    static LockedFile Open(const Folder& folder, const char* name, bool create, Error* error = nullptr);

    bool IsOpen() const;
    // The system's handle on the file, for the platform layer's own implementation files.
    std::intptr_t NativeHandle() const { return handle_; }

    // The whole contents.
    Error Read(std::string& out) const;
    // Appends `data` and flushes it to disk.
    Error Append(std::string_view data);
    // Replaces the contents at once: they go to a fresh file, locked from the start, which is
    // flushed and renamed over the old one; the lock stays with the new contents.
    Error Replace(std::string_view data);

private:
    void Close();

    const Folder* folder_ = nullptr;
    std::string name_;
    std::intptr_t handle_ = -1;
};

}  // namespace velquin::platform
