#include "platform/transfer.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/removal.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <vector>

namespace velquin::platform {

using posix::Descriptor;

namespace {

constexpr int kOpenForReading = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK;

int DescriptorOf(const Folder& folder) {
    return folder.IsOpen() ? ::dirfd(static_cast<DIR*>(folder.NativeStream())) : -1;
}

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
    if (::mkdir(path.c_str(), 0700) == 0) return Error::None;
    if (errno != EEXIST) return LastError();
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return LastError();
    return S_ISDIR(st.st_mode) ? Error::None : Error::NotADirectory;
}

Error AppendToFile(const Folder& folder, const char* name, std::string_view data) {
    const int folderFd = DescriptorOf(folder);
    if (folderFd < 0) return Error::NotFound;
    Descriptor file(::openat(folderFd, name, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    if (!file) return OpenError();
    struct stat st;
    if (::fstat(file.get(), &st) != 0) return LastError();
    if (!S_ISREG(st.st_mode)) return Error::NotRegularFile;
    if (const Error error = WriteAll(file.get(), data); error != Error::None) return error;
    if (::fsync(file.get()) != 0 || ::fsync(folderFd) != 0) return LastError();
    return Error::None;
}

Error ReplaceFileContents(const Folder& folder, const char* name, std::string_view data) {
    const int folderFd = DescriptorOf(folder);
    if (folderFd < 0) return Error::NotFound;
    static std::atomic<unsigned> counter{0};
    const std::string temporary = std::string(name) + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    Descriptor file(::openat(folderFd, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!file) return OpenError();
    Error error = WriteAll(file.get(), data);
    if (error == Error::None && ::fsync(file.get()) != 0) error = LastError();
    if (error == Error::None && ::renameat(folderFd, temporary.c_str(), folderFd, name) != 0) error = LastError();
    if (error != Error::None) {
        ::unlinkat(folderFd, temporary.c_str(), 0);
        return error;
    }
    ::fsync(folderFd);
    return Error::None;
}

Error ReadWholeFile(const Folder& folder, const char* name, std::string& out) {
    out.clear();
    const int folderFd = DescriptorOf(folder);
    if (folderFd < 0) return Error::NotFound;
    Descriptor file(::openat(folderFd, name, kOpenForReading));
    if (!file) return OpenError();
    struct stat st;
    if (::fstat(file.get(), &st) != 0) return LastError();
    if (!S_ISREG(st.st_mode)) return Error::NotRegularFile;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return LastError();
        }
        if (n == 0) return Error::None;
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace velquin::platform
