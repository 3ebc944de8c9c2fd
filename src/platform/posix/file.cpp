#include "platform/file.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/folder.h"
#include "platform/posix/removal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace velquin::platform {

using posix::Descriptor;
using posix::FolderState;

namespace {

FolderState& StateOf(void* stream) { return *static_cast<FolderState*>(stream); }
int FdOf(void* stream) { return StateOf(stream).fd; }

void CloseState(void* stream) {
    if (!stream) return;
    close(FdOf(stream));
    delete &StateOf(stream);
}

void SetError(Error* error, Error value) {
    if (error) *error = value;
}

EntryInfo FromStat(const struct stat& st) {
    EntryInfo info;
    if (S_ISREG(st.st_mode)) {
        info.kind = EntryKind::Regular;
    } else if (S_ISDIR(st.st_mode)) {
        info.kind = EntryKind::Folder;
    } else if (S_ISLNK(st.st_mode)) {
        info.kind = EntryKind::Link;
    } else {
        info.kind = EntryKind::Other;
    }
    info.size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    info.identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return info;
}

// Takes over an open folder descriptor; an error when there is none.
void* StateFromDescriptor(int fd, Error* error) {
    if (fd < 0) {
        SetError(error, LastError());
        return nullptr;
    }
    SetError(error, Error::None);
    return new FolderState(fd);
}

// A folder of this process's own inside `folderFd`, which nobody else can enter or change: created
// owner-only under a fresh name and opened without following a link. Empty when the file system
// cannot give one (no room, no permission, or no owner-only folders at all).
Descriptor CreatePrivateFolderIn(int folderFd, std::string& name) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::uint64_t random = 0;
        if (getrandom(&random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return Descriptor();
        char text[40];
        std::snprintf(text, sizeof text, ".velquin-removing-%016llx", static_cast<unsigned long long>(random));
        name = text;
        if (mkdirat(folderFd, name.c_str(), 0700) != 0) {
            if (errno == EEXIST) continue;
            return Descriptor();
        }
        Descriptor folder(openat(folderFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        struct stat st;
        if (folder && fstat(folder.get(), &st) == 0 && st.st_uid == geteuid() && (st.st_mode & 077) == 0) {
            return folder;
        }
        // A file system whose permissions are not its own (FAT, say): no folder there is private.
        if (folder) unlinkat(folderFd, name.c_str(), AT_REMOVEDIR);
        return Descriptor();
    }
    return Descriptor();
}

Error CheckSameRegularFile(const struct stat& st, const FileIdentity& expected) {
    if (!S_ISREG(st.st_mode)) return S_ISLNK(st.st_mode) ? Error::TooManyLinks : Error::NotRegularFile;
    if (FromStat(st).identity != expected) return Error::Changed;
    return Error::None;
}

// Whether a user other than this process's may change the entries of the folder.
bool OthersMayChange(int folderFd) {
    struct stat st;
    if (fstat(folderFd, &st) != 0) return true;
    return st.st_uid != geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

constexpr int kOpenFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY;

// Opens the folder `name` of the folder `fd` without following a link. A link refused there shows
// as "not a directory"; it is named as a link.
int OpenFolderRefusingLink(int fd, const char* name, Error* error) {
    const int opened = openat(fd, name, kOpenFolderFlags);
    if (opened >= 0) return opened;
    Error reason = LastError();
    struct stat st;
    if (errno == ENOTDIR && fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
        reason = Error::TooManyLinks;
    }
    SetError(error, reason);
    return -1;
}

}  // namespace

namespace posix {

Error RemoveIfSame(int folderFd, const char* name, const FileIdentity& expected) {
    struct stat st;
    if (fstatat(folderFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return LastError();
    if (const Error error = CheckSameRegularFile(st, expected); error != Error::None) return error;
    std::string privateName;
    Descriptor held;
    if (OthersMayChange(folderFd)) held = CreatePrivateFolderIn(folderFd, privateName);
    if (!held) {
        // Nobody else can exchange the entry between the check and the removal.
        if (unlinkat(folderFd, name, 0) != 0) return LastError();
        return Error::None;
    }

    // Another user may exchange the entry for another file at any moment: the entry is moved into
    // the private folder first, whatever it is by then, and checked where nobody else can reach it.
    constexpr const char* kHeldName = "entry";
    Error result = Error::None;
    bool keep = false;
    if (renameat(folderFd, name, held.get(), kHeldName) != 0) {
        result = LastError();
    } else {
        struct stat moved;
        result = fstatat(held.get(), kHeldName, &moved, AT_SYMLINK_NOFOLLOW) != 0 ? LastError()
                                                                                : CheckSameRegularFile(moved, expected);
        if (result == Error::None && unlinkat(held.get(), kHeldName, 0) != 0) result = LastError();
        if (result != Error::None && renameat2(held.get(), kHeldName, folderFd, name, RENAME_NOREPLACE) != 0) {
            // Its name has been taken again meanwhile. The entry stays in the private folder, which
            // goes to the folder's owner, so that nothing is lost.
            struct stat folder;
            if (fstat(folderFd, &folder) == 0) {
                [[maybe_unused]] const int given = fchown(held.get(), folder.st_uid, folder.st_gid);
            }
            keep = true;
        }
    }
    // The private folder may have been renamed meanwhile; then at most an empty folder of the same
    // name goes, since only empty folders can be removed.
    if (!keep) unlinkat(folderFd, privateName.c_str(), AT_REMOVEDIR);
    return result;
}

}  // namespace posix

void File::Close() {
    if (handle_ != kNoHandle) close(static_cast<int>(handle_));
    handle_ = kNoHandle;
}

Error File::Info(EntryInfo& out) const {
    if (!IsOpen()) return Error::NotFound;
    struct stat st;
    if (fstat(static_cast<int>(handle_), &st) != 0) return LastError();
    out = FromStat(st);
    return Error::None;
}

Error File::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
    if (!IsOpen()) return Error::NotFound;
    if (offset > static_cast<std::uint64_t>(LLONG_MAX)) return Error::Other;
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = pread(static_cast<int>(handle_), out.data() + done, out.size() - done,
                                static_cast<off_t>(offset + done));
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n == 0) {
            return Error::Changed;  // the file is shorter than it was when examined
        } else if (errno != EINTR) {
            return LastError();
        }
    }
    return Error::None;
}

Folder::~Folder() { CloseState(stream_); }

Folder::Folder(Folder&& other) noexcept : stream_(other.stream_) { other.stream_ = nullptr; }

Folder& Folder::operator=(Folder&& other) noexcept {
    if (this != &other) {
        CloseState(stream_);
        stream_ = other.stream_;
        other.stream_ = nullptr;
    }
    return *this;
}

Folder Folder::Open(const std::string& path, Error* error) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
    return Folder(StateFromDescriptor(fd, error));
}

Folder Folder::OpenRefusingLink(const std::string& path, Error* error) {
    // A trailing "/" would make the system resolve a link in the last place.
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    const int fd = OpenFolderRefusingLink(AT_FDCWD, trimmed.c_str(), error);
    if (fd < 0) return Folder();
    return Folder(StateFromDescriptor(fd, error));
}

Folder Folder::OpenAlongPath(const std::string& path, Error* error) {
    if (!IsAbsolutePath(path)) {
        SetError(error, Error::NotFound);
        return Folder();
    }
    int fd = open("/", kOpenFolderFlags);
    std::size_t at = 0;
    while (fd >= 0 && at < path.size()) {
        const std::size_t end = std::min(path.find('/', at), path.size());
        const std::string name = path.substr(at, end - at);
        at = end + 1;
        if (name.empty()) continue;
        const int next = OpenFolderRefusingLink(fd, name.c_str(), error);
        close(fd);
        if (next < 0) return Folder();
        fd = next;
    }
    return Folder(StateFromDescriptor(fd, error));
}

Folder Folder::OpenFolder(const char* name, Error* error) const {
    if (!stream_) {
        SetError(error, Error::NotFound);
        return Folder();
    }
    const int fd = openat(FdOf(stream_), name,
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
    return Folder(StateFromDescriptor(fd, error));
}

Folder Folder::OpenParent(Error* error) const { return OpenFolder("..", error); }

Error Folder::Info(EntryInfo& out) const {
    if (!stream_) return Error::NotFound;
    struct stat st;
    if (fstat(FdOf(stream_), &st) != 0) return LastError();
    out = FromStat(st);
    return Error::None;
}

Error Folder::Path(std::string& out) const {
    out.clear();
    if (!stream_) return Error::NotFound;
#if defined(__linux__)
    const int fd = FdOf(stream_);
    std::string buffer(PATH_MAX + 1, '\0');
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = readlink(link.c_str(), buffer.data(), buffer.size());
    if (n < 0) return LastError();
    if (static_cast<std::size_t>(n) >= buffer.size()) return Error::NameTooLong;
    buffer.resize(static_cast<std::size_t>(n));
    // A folder removed meanwhile, or one outside this process's view of the file system, has no
    // path that leads back to it.
    struct stat here, there;
    if (buffer.empty() || buffer.front() != '/' || fstat(fd, &here) != 0) return Error::NotFound;
    if (stat(buffer.c_str(), &there) != 0) return LastError();
    if (FromStat(here).identity != FromStat(there).identity) return Error::Changed;
    out = std::move(buffer);
    return Error::None;
#else
    return Error::Unsupported;
#endif
}

Error Folder::EntryInfoOf(const char* name, EntryInfo& out) const {
    if (!stream_) return Error::NotFound;
    struct stat st;
    if (fstatat(FdOf(stream_), name, &st, AT_SYMLINK_NOFOLLOW) != 0) return LastError();
    out = FromStat(st);
    return Error::None;
}

Error Folder::EntryInfoNow(const char* name, EntryInfo& out) const { return EntryInfoOf(name, out); }

Error Folder::ListNames(NameList& out) const {
    out.Clear();
    if (!stream_) return Error::NotFound;
    FolderState& state = StateOf(stream_);
    // A folder not listed yet is at its start: no call to the system to put it there.
    if (state.listed && lseek(state.fd, 0, SEEK_SET) != 0) return LastError();
    state.listed = true;
    alignas(dirent64) char buffer[32 * 1024];
    for (;;) {
        const ssize_t filled = getdents64(state.fd, buffer, sizeof buffer);
        if (filled == 0) return Error::None;
        if (filled < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        for (ssize_t at = 0; at < filled;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            out.Add(entry->d_name);
            at += entry->d_reclen;
        }
    }
}

File Folder::OpenFile(const char* name, Error* error, EntryInfo* opened) const {
    if (!stream_) {
        SetError(error, Error::NotFound);
        return File();
    }
    // O_NONBLOCK: should the entry have been swapped for a FIFO since it was examined, the open
    // returns at once instead of waiting for a writer, and the check below refuses it.
    Descriptor fd(openat(FdOf(stream_), name,
                         O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd) {
        SetError(error, errno == ELOOP ? Error::TooManyLinks : LastError());
        return File();
    }
    struct stat st;
    if (fstat(fd.get(), &st) != 0) {
        SetError(error, LastError());
        return File();
    }
    if (!S_ISREG(st.st_mode)) {
        SetError(error, Error::NotRegularFile);
        return File();
    }
    if (opened) *opened = FromStat(st);
    SetError(error, Error::None);
    return File::Adopt(fd.release());
}

Error Folder::RemoveFile(const char* name, const FileIdentity& expected) const {
    if (!stream_) return Error::NotFound;
    // Unlinking needs write access to the folder only, not to the file, so a read-only file
    // needs no change of mode here.
    return posix::RemoveIfSame(FdOf(stream_), name, expected);
}

PseudoFileSystems PseudoFileSystems::Load(const std::string& mountTable) {
    PseudoFileSystems result;
    std::ifstream in(mountTable.empty() ? std::string("/proc/self/mountinfo") : mountTable);
    std::string line;
    // Each line: id parent major:minor root mount-point options [optional fields] - type source ...
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, field;
        if (!(fields >> id >> parent >> device)) continue;
        while (fields >> field && field != "-") {
        }
        std::string type;
        if (!(fields >> type) || !IsPseudoType(type)) continue;
        unsigned major = 0, minor = 0;
        if (std::sscanf(device.c_str(), "%u:%u", &major, &minor) != 2) continue;
        result.devices_.push_back(static_cast<std::uint64_t>(makedev(major, minor)));
    }
    std::sort(result.devices_.begin(), result.devices_.end());
    return result;
}

Error ReadFile(const std::string& path, std::string& out) {
    out.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return LastError();
    Error result = Error::None;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        result = LastError();
    } else if (S_ISDIR(st.st_mode)) {
        result = Error::IsADirectory;
    } else if (!S_ISREG(st.st_mode)) {
        result = Error::NotRegularFile;
    } else {
        if (st.st_size > 0) out.reserve(static_cast<std::size_t>(st.st_size));
        char buffer[64 * 1024];
        for (;;) {
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n > 0) {
                out.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0) {
                break;
            } else if (errno != EINTR) {
                result = LastError();
                out.clear();
                break;
            }
        }
    }
    close(fd);
    return result;
}

bool IsAbsolutePath(std::string_view path) { return !path.empty() && path.front() == '/'; }

std::string ExecutableFolder() {
#if defined(__linux__)
    std::string buffer(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return {};
    buffer.resize(static_cast<std::size_t>(n));
    const auto slash = buffer.rfind('/');
    if (slash == std::string::npos) return {};
    buffer.resize(slash == 0 ? 1 : slash);
    return buffer;
#else
    return {};
#endif
}

}  // namespace velquin::platform
