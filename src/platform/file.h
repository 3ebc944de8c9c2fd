#pragma once
// Files and folders addressed relative to an open folder. Working from folder handles keeps trees
// deeper than the system's path length limit reachable, and lets every step refuse links: nothing
// here follows a link below the folder the caller opened.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace velquin::platform {

enum class EntryKind : std::uint8_t {
    Regular,
    Folder,
    Link,
    Other,  // FIFO, socket or device: never opened, since opening one can block or touch hardware
};

// What makes a file the same file: it survives renames and tells a replacement apart.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

struct EntryInfo {
    EntryKind kind = EntryKind::Other;
    std::uint64_t size = 0;  // bytes, as the file system reports it without opening the entry
    FileIdentity identity;
};

// The names of one folder listing, in listing order, "." and ".." included when the system lists
// them. Names are kept in one buffer, each ended by a NUL, so a listing costs no allocation per name.
class NameList {
public:
    std::size_t Size() const { return starts_.size(); }
    const char* Name(std::size_t index) const { return text_.data() + starts_[index]; }
    std::size_t Length(std::size_t index) const;
    void Clear();
    void Add(std::string_view name);

private:
    std::string text_;
    std::vector<std::uint32_t> starts_;
};

// An open regular file, for reading. Move-only; closes on destruction. Whatever happens to its
// name meanwhile, it stays the file that was opened.
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool IsOpen() const { return handle_ != kNoHandle; }

    // Kind, length and identity of the open file.
    Error Info(EntryInfo& out) const;
    // Reads exactly out.size() bytes at `offset`; Error::Changed when the file is shorter.
    Error ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const;

    // For the platform layer's own bodies: adopts or shows the system's handle (a descriptor on
    // POSIX, a HANDLE on Windows).
    static File Adopt(std::intptr_t handle) { return File(handle); }
    std::intptr_t NativeHandle() const { return handle_; }

private:
    static constexpr std::intptr_t kNoHandle = -1;
    explicit File(std::intptr_t handle) : handle_(handle) {}
    void Close();
    std::intptr_t handle_ = kNoHandle;
};

// An open folder. Move-only; closes on destruction.
class Folder {
public:
    Folder() = default;
    ~Folder();
    Folder(Folder&& other) noexcept;
    Folder& operator=(Folder&& other) noexcept;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    // Opens a folder by path. A link given here is followed: the path is the caller's explicit choice.
    static Folder Open(const std::string& path, Error* error = nullptr);
    // Opens a folder by path, refusing one that is itself a link (Error::TooManyLinks); the folders
    // above it are the caller's choice and may be links.
    static Folder OpenRefusingLink(const std::string& path, Error* error = nullptr);
    // Opens a folder by an absolute path from the root of the file system down, one folder at a
    // time, refusing a link anywhere on the way (Error::TooManyLinks): the folder reached is the one
    // at that place, whatever links have been planted along the path since it was written down.
    // Paths longer than the system's limit are reached too.
    static Folder OpenAlongPath(const std::string& path, Error* error = nullptr);

    bool IsOpen() const { return stream_ != nullptr; }
    // What the platform layer holds for the open folder, for its own implementation files.
    void* NativeStream() const { return stream_; }

    // Opens the entry `name` of this folder as a folder, refusing a link.
    Folder OpenFolder(const char* name, Error* error = nullptr) const;
    // Opens this folder's parent (reached through "..", so the caller checks its identity).
    Folder OpenParent(Error* error = nullptr) const;

    Error Info(EntryInfo& out) const;
    // The absolute path at which this folder lies now, as the system tells it from the open folder:
    // no link in it, whichever path the folder was opened by.
    Error Path(std::string& out) const;
    // Describes the entry `name` without following a link.
    Error EntryInfoOf(const char* name, EntryInfo& out) const;
    // Describes the entry `name` as it stands at this moment, without following a link: asked of
    // the system, never taken from what a listing of this folder recorded (Windows' listing
    // describes its entries, and EntryInfoOf answers from it).
    Error EntryInfoNow(const char* name, EntryInfo& out) const;

    // Lists every entry name from the start of the folder.
    Error ListNames(NameList& out) const;

    // Opens the regular file `name` for reading, shared with other readers and writers: never
    // through a link (Error::TooManyLinks), never a folder, FIFO or device (Error::NotRegularFile),
    // and never waiting for a FIFO's writer. `opened`, when given, receives the description of the
    // file opened, as File::Info gives it.
    File OpenFile(const char* name, Error* error = nullptr, EntryInfo* opened = nullptr) const;

    // Removes the file `name` only if it is still the regular file `expected` (never a link, never
    // another file put in its place, also not one put there while the removal runs). Makes the
    // file writable first where the system needs that.
    Error RemoveFile(const char* name, const FileIdentity& expected) const;

private:
    explicit Folder(void* stream) : stream_(stream) {}
    void* stream_ = nullptr;  // the platform layer's state of the open folder, opaque to callers
};

// The devices that carry kernel pseudo file systems (proc, sysfs, devtmpfs, cgroups, ...), read
// once from the mount table. Reading files there can block or touch hardware, so a walk stays out.
class PseudoFileSystems {
public:
    // `mountTable` is the system's table of mounts; tests pass a fixture. An unreadable table
    // gives an empty set.
    static PseudoFileSystems Load(const std::string& mountTable = {});
    static bool IsPseudoType(std::string_view fileSystemType);
    bool Contains(std::uint64_t device) const;

private:
    std::vector<std::uint64_t> devices_;
};

// Reads a whole regular file into `out` (a folder, FIFO or device is refused, never waited on).
Error ReadFile(const std::string& path, std::string& out);

// Whether `path` names a place without reference to a current folder ("/x" on POSIX; "C:\x" or a
// share "\\server\x" on Windows).
bool IsAbsolutePath(std::string_view path);

// The folder of the running executable, without a trailing separator; empty when unknown.
std::string ExecutableFolder();

// The platform's path separator, which ends every folder path the engine builds; every character
// that separates the parts of a path the user writes ("/" as well on Windows); and whether the
// system's file names match without regard to case (ASCII letters only).
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr std::string_view kPathSeparators = "\\/";
inline constexpr bool kNamesIgnoreCase = true;
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparators = "/";
inline constexpr bool kNamesIgnoreCase = false;
#endif

inline constexpr bool IsPathSeparator(char c) { return kPathSeparators.find(c) != std::string_view::npos; }

}  // namespace velquin::platform
