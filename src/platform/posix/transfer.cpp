#include "platform/transfer.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/folder.h"
#include "platform/posix/removal.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <vector>

namespace velquin::platform {

using posix::Descriptor;
using posix::DescriptorOf;

namespace {

constexpr int kOpenForReading = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK;

FileIdentity IdentityOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

// Opening a link with O_NOFOLLOW fails with ELOOP; say so in the vocabulary of links.
Error OpenError() { return errno == ELOOP ? Error::TooManyLinks : LastError(); }

Error WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return Error::None;
}

Error CopyContents(int source, int target) {
    std::vector<char> buffer(1 << 18);
    for (;;) {
        const ssize_t n = ::read(source, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        if (n == 0) return Error::None;
        if (const Error error = WriteAll(target, {buffer.data(), static_cast<std::size_t>(n)}); error != Error::None) {
            return error;
        }
    }
}

std::uint32_t NewMode(const struct stat& st, const ModeChange& change) {
    return ((static_cast<std::uint32_t>(st.st_mode) & change.keep) | change.set) & 07777;
}

Error MoveByCopy(int sourceFd, const struct stat& source, int fromFd, const char* name, int toFd,
                 const char* newName, std::uint32_t mode) {
    Descriptor target(::openat(toFd, newName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!target) return OpenError();
    struct stat copy;
    Error error = ::fstat(target.get(), &copy) == 0 ? CopyContents(sourceFd, target.get()) : LastError();
    if (error == Error::None) {
        // Root keeps the owner; anybody else becomes the owner of the copy, as with any new file.
        [[maybe_unused]] const int owned = ::fchown(target.get(), source.st_uid, source.st_gid);
        const struct timespec times[2] = {source.st_atim, source.st_mtim};
        if (::fchmod(target.get(), mode) != 0 || ::futimens(target.get(), times) != 0 ||
            ::fsync(target.get()) != 0 || ::fsync(toFd) != 0) {
            error = LastError();
        }
    }
    if (error == Error::None) {
        error = posix::RemoveIfSame(fromFd, name, IdentityOf(source));
        if (error == Error::None) ::fsync(fromFd);
    }
    if (error != Error::None) posix::RemoveIfSame(toFd, newName, IdentityOf(copy));
    return error;
}

}  // namespace

Error MoveFile(const Folder& from, const char* name, const FileIdentity& expected, const Folder& to,
               const char* newName, const ModeChange& mode, MovedFile* moved) {
    const int fromFd = DescriptorOf(from);
    const int toFd = DescriptorOf(to);
    if (fromFd < 0 || toFd < 0) return Error::NotFound;

    // The open descriptor pins the file: whatever happens to the name, this is the file checked.
    Descriptor source(::openat(fromFd, name, kOpenForReading));
    if (!source) return OpenError();
    struct stat st;
    if (::fstat(source.get(), &st) != 0) return LastError();
    if (!S_ISREG(st.st_mode)) return Error::NotRegularFile;
    if (IdentityOf(st) != expected) return Error::Changed;
    if (moved) *moved = {static_cast<std::uint32_t>(st.st_mode & 07777), false};

    if (::renameat2(fromFd, name, toFd, newName, RENAME_NOREPLACE) == 0) {
        struct stat arrived;
        if (::fstatat(toFd, newName, &arrived, AT_SYMLINK_NOFOLLOW) != 0 || IdentityOf(arrived) != expected) {
            // Something else took the file's name between the check and the move: put it back.
            ::renameat2(toFd, newName, fromFd, name, RENAME_NOREPLACE);
            return Error::Changed;
        }
        // Either the file is moved with its new mode, or it is back where it was.
        if (::fchmod(source.get(), NewMode(st, mode)) != 0) {
            const Error error = LastError();
            ::renameat2(toFd, newName, fromFd, name, RENAME_NOREPLACE);
            return error;
        }
        return Error::None;
    }
    // Another file system (or another mount of the same one), or one that cannot rename without
    // replacing: copy, which creates the new entry exclusively.
    if (errno != EXDEV && errno != EINVAL) return errno == EEXIST ? Error::Exists : LastError();
    if (moved) moved->copied = true;
    return MoveByCopy(source.get(), st, fromFd, name, toFd, newName, NewMode(st, mode));
}

Error PermissionsOf(const Folder& folder, const char* name, std::uint32_t& mode) {
    const int folderFd = DescriptorOf(folder);
    if (folderFd < 0) return Error::NotFound;
    struct stat st;
    if (::fstatat(folderFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return LastError();
    mode = static_cast<std::uint32_t>(st.st_mode) & 07777;
    return Error::None;
}

Error CreatePrivateFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0) return LastError();
    // The creation mask may have taken bits from the owner, never added any: set them exactly.
    Folder created = Folder::OpenRefusingLink(path);
    const int fd = DescriptorOf(created);
    struct stat st;
    if (fd >= 0 && ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid()) ::fchmod(fd, 0700);
    return Error::None;
}

void LockedFile::Close() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));  // closing the last descriptor unlocks
    handle_ = -1;
}

bool LockedFile::IsOpen() const { return handle_ >= 0; }

LockedFile LockedFile::Open(const Folder& folder, const char* name, bool create, Error* error) {
    const auto fail = [error](Error value) {
        if (error) *error = value;
        return LockedFile();
    };
    const int folderFd = DescriptorOf(folder);
    if (folderFd < 0) return fail(Error::NotFound);
    for (;;) {
        const int flags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (create ? O_CREAT : 0);
        Descriptor file(::openat(folderFd, name, flags, 0600));
        if (!file) return fail(OpenError());
        struct stat opened;
        if (::fstat(file.get(), &opened) != 0) return fail(LastError());
        if (!S_ISREG(opened.st_mode)) return fail(Error::NotRegularFile);
        while (::flock(file.get(), LOCK_EX) != 0) {
            if (errno != EINTR) return fail(LastError());
        }
        // Whoever held the lock may have renamed a new file over the name: lock that one instead.
        struct stat named;
        if (::fstatat(folderFd, name, &named, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT && create) continue;
            return fail(LastError());
        }
        if (IdentityOf(named) != IdentityOf(opened)) continue;
        LockedFile locked;
        locked.folder_ = &folder;
        locked.name_ = name;
        locked.handle_ = file.release();
        if (error) *error = Error::None;
        return locked;
    }
}

Error LockedFile::Read(std::string& out) const {
    out.clear();
    if (handle_ < 0) return Error::NotFound;
    const int fd = static_cast<int>(handle_);
    char buffer[65536];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
        if (n < 0) {
            if (errno == EINTR) continue;
            out.clear();
            return LastError();
        }
        if (n == 0) return Error::None;
        out.append(buffer, static_cast<std::size_t>(n));
        at += n;
    }
}

Error LockedFile::Append(std::string_view data) {
    if (handle_ < 0) return Error::NotFound;
    const int fd = static_cast<int>(handle_);
    if (::lseek(fd, 0, SEEK_END) < 0) return LastError();
    if (const Error error = WriteAll(fd, data); error != Error::None) return error;
    if (::fsync(fd) != 0 || ::fsync(DescriptorOf(*folder_)) != 0) return LastError();
    return Error::None;
}

Error LockedFile::Replace(std::string_view data) {
    if (handle_ < 0) return Error::NotFound;
    const int folderFd = DescriptorOf(*folder_);
    static std::atomic<unsigned> counter{0};
    std::string fresh;
    int freshFd = -1;
    while (freshFd < 0) {
        fresh = name_ + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        freshFd = ::openat(folderFd, fresh.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (freshFd < 0 && errno != EEXIST) return OpenError();
    }
    Descriptor file(freshFd);
    // Nobody else knows the fresh file yet, so its lock is free.
    Error error = ::flock(file.get(), LOCK_EX) == 0 ? WriteAll(file.get(), data) : LastError();
    if (error == Error::None && ::fsync(file.get()) != 0) error = LastError();
    if (error == Error::None && ::renameat(folderFd, fresh.c_str(), folderFd, name_.c_str()) != 0) error = LastError();
    if (error != Error::None) {
        ::unlinkat(folderFd, fresh.c_str(), 0);
        return error;
    }
    ::fsync(folderFd);
    // Processes waiting on the old file find it replaced once it is unlocked, and wait on this one.
    Close();
    handle_ = file.release();
    return Error::None;
}

}  // namespace velquin::platform
