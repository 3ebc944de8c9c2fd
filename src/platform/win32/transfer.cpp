// Moving files between open folders and the quarantine's small file writes, on Windows. Windows
// has no permission bits: the owner's write bit stands for the read-only attribute (clear bit,
// attribute set), and files report 0666, or 0444 when read-only.

#include "platform/transfer.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "platform/win32/folder.h"
#include "platform/win32/security.h"

#undef MoveFile  // <windows.h> maps it onto MoveFileW; this file defines the platform's own

namespace velquin::platform {

namespace {

using win32::FolderState;
using win32::Handle;
using win32::kShareAll;

constexpr std::uint32_t kOwnerWrite = 0200;

const FolderState* StateOf(const Folder& folder) { return static_cast<const FolderState*>(folder.NativeStream()); }

bool IsDotName(const char* name) { return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')); }

// Opens an entry as itself and makes sure it is a regular file, not a reparse point.
Error OpenRegular(const std::wstring& path, DWORD access, DWORD disposition, Handle& out,
                  BY_HANDLE_FILE_INFORMATION* data = nullptr) {
    out.Reset(::CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition,
                            FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!out) return LastError();
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(out.get(), &info)) return LastError();
    const DWORD onPath = ::GetFileAttributesW(path.c_str());  // Wine opens a host link's target
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        (onPath != INVALID_FILE_ATTRIBUTES && (onPath & FILE_ATTRIBUTE_REPARSE_POINT))) {
        return Error::TooManyLinks;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return Error::IsADirectory;
    if (::GetFileType(out.get()) != FILE_TYPE_DISK) return Error::NotRegularFile;
    if (data) *data = info;
    return Error::None;
}

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::uint32_t ModeOf(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666; }

Error SetAttributes(HANDLE handle, DWORD attributes) {
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic) ? Error::None : LastError();
}

DWORD AttributesFor(DWORD attributes, std::uint32_t mode) {
    attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL);
    return (mode & kOwnerWrite) ? attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)
                                : attributes | FILE_ATTRIBUTE_READONLY;
}

Error DeleteThrough(HANDLE handle) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    return ::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) ? Error::None
                                                                                                      : LastError();
}

Error WriteAll(HANDLE handle, std::string_view data) {
    while (!data.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size(), 1u << 30));
        if (!::WriteFile(handle, data.data(), chunk, &written, nullptr)) return LastError();
        data.remove_prefix(written);
    }
    return Error::None;
}

Error CopyContents(HANDLE source, HANDLE target) {
    std::vector<char> buffer(1 << 18);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(source, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return LastError();
        if (got == 0) return Error::None;
        if (const Error error = WriteAll(target, {buffer.data(), got}); error != Error::None) return error;
    }
}

std::vector<unsigned char> RenameRequest(const std::wstring& target) {
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    std::copy(target.begin(), target.end(), rename->FileName);
    return buffer;
}

Error RenameThrough(HANDLE handle, const std::wstring& target) {
    std::vector<unsigned char> request = RenameRequest(target);
    return ::SetFileInformationByHandle(handle, FileRenameInfo, request.data(), static_cast<DWORD>(request.size()))
               ? Error::None
               : LastError();
}

// Not in every MinGW header set: the extended rename (Windows 10 1607 and later), whose POSIX
// semantics replace a file that other handles still hold open. Its flags take the place of the
// classic request's first member.
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD kRenameReplaceIfExists = 0x1;
constexpr DWORD kRenamePosixSemantics = 0x2;

// Renames the file of `handle` over the file at `target`, which other handles may hold open.
bool ReplaceThrough(HANDLE handle, const std::wstring& target) {
    std::vector<unsigned char> request = RenameRequest(target);
    const DWORD flags = kRenameReplaceIfExists | kRenamePosixSemantics;
    std::memcpy(request.data(), &flags, sizeof flags);
    return ::SetFileInformationByHandle(handle, kFileRenameInfoEx, request.data(), static_cast<DWORD>(request.size()));
}

// Waits for the exclusive lock on the whole file.
Error LockWhole(HANDLE handle) {
    OVERLAPPED at{};
    return ::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &at) ? Error::None : LastError();
}

}  // namespace

Error MoveFile(const Folder& from, const char* name, const FileIdentity& expected, const Folder& to,
               const char* newName, const ModeChange& mode, MovedFile* moved) {
    const FolderState* source = StateOf(from);
    const FolderState* target = StateOf(to);
    if (!source || !target) return Error::NotFound;
    if (IsDotName(name) || IsDotName(newName)) return Error::NotRegularFile;
    const std::wstring sourcePath = source->EntryPath(name);
    const std::wstring targetPath = target->EntryPath(newName);

    Handle file;
    BY_HANDLE_FILE_INFORMATION info;
    const DWORD access = DELETE | GENERIC_READ | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
    if (const Error error = OpenRegular(sourcePath, access, OPEN_EXISTING, file, &info); error != Error::None) {
        return error;
    }
    if (IdentityOf(info) != expected) return Error::Changed;
    const std::uint32_t originalMode = ModeOf(info.dwFileAttributes);
    const DWORD newAttributes = AttributesFor(info.dwFileAttributes, (originalMode & mode.keep) | mode.set);
    if (moved) *moved = MovedFile{originalMode, false};

    // The read-only attribute is dropped for the move itself and set as asked afterwards.
    if (const Error error = SetAttributes(file.get(), info.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
        error != Error::None) {
        return error;
    }
    Error error = RenameThrough(file.get(), targetPath);
    if (error == Error::None) return SetAttributes(file.get(), newAttributes);
    if (error != Error::CrossDevice) {
        SetAttributes(file.get(), info.dwFileAttributes);
        return error;
    }

    // Another volume: copy, flush, and only then remove the original through its handle.
    Handle copy(::CreateFileW(targetPath.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!copy) {
        SetAttributes(file.get(), info.dwFileAttributes);
        return LastError();
    }
    error = CopyContents(file.get(), copy.get());
    if (error == Error::None) {
        FILE_BASIC_INFO times{};
        times.CreationTime.LowPart = info.ftCreationTime.dwLowDateTime;
        times.CreationTime.HighPart = static_cast<LONG>(info.ftCreationTime.dwHighDateTime);
        times.LastWriteTime.LowPart = info.ftLastWriteTime.dwLowDateTime;
        times.LastWriteTime.HighPart = static_cast<LONG>(info.ftLastWriteTime.dwHighDateTime);
        times.LastAccessTime.LowPart = info.ftLastAccessTime.dwLowDateTime;
        times.LastAccessTime.HighPart = static_cast<LONG>(info.ftLastAccessTime.dwHighDateTime);
        ::SetFileInformationByHandle(copy.get(), FileBasicInfo, &times, sizeof times);
        if (!::FlushFileBuffers(copy.get())) error = LastError();
    }
    if (error == Error::None) error = DeleteThrough(file.get());
    if (error != Error::None) {
        DeleteThrough(copy.get());
        SetAttributes(file.get(), info.dwFileAttributes);
        return error;
    }
    if (moved) moved->copied = true;
    SetAttributes(copy.get(), newAttributes);
    return Error::None;
}

Error PermissionsOf(const Folder& folder, const char* name, std::uint32_t& mode) {
    const FolderState* state = StateOf(folder);
    if (!state) return Error::NotFound;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(state->EntryPath(name).c_str(), GetFileExInfoStandard, &data)) return LastError();
    mode = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0777 : ModeOf(data.dwFileAttributes);
    return Error::None;
}

Error CreatePrivateFolder(const std::string& path) {
    win32::PrivateSecurity security;
    if (!security.Attributes()) return LastError();
    if (::CreateDirectoryW(win32::ExtendedPath(path).c_str(), security.Attributes())) return Error::None;
    return LastError();
}

namespace {

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

constexpr DWORD kLockedAccess = GENERIC_READ | GENERIC_WRITE | READ_CONTROL | SYNCHRONIZE;

}  // namespace

void LockedFile::Close() {
    if (IsOpen()) ::CloseHandle(AsHandle(handle_));  // closing the handle ends its lock
    handle_ = -1;
}

bool LockedFile::IsOpen() const { return handle_ != -1 && handle_ != 0; }

LockedFile LockedFile::Open(const Folder& folder, const char* name, bool create, Error* error) {
    const auto fail = [error](Error value) {
        if (error) *error = value;
        return LockedFile();
    };
    const FolderState* state = StateOf(folder);
    if (!state) return fail(Error::NotFound);
    if (IsDotName(name)) return fail(Error::IsADirectory);
    const std::wstring path = state->EntryPath(name);
    for (;;) {
        Handle file;
        BY_HANDLE_FILE_INFORMATION opened;
        if (const Error e = OpenRegular(path, kLockedAccess, create ? OPEN_ALWAYS : OPEN_EXISTING, file, &opened);
            e != Error::None) {
            return fail(e);
        }
        if (const Error e = LockWhole(file.get()); e != Error::None) return fail(e);
        // Whoever held the lock may have renamed a new file over the name: lock that one instead.
        Handle named(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION now;
        if (!named || !::GetFileInformationByHandle(named.get(), &now)) {
            const Error e = LastError();
            if (e == Error::NotFound && create) continue;
            return fail(e);
        }
        if (IdentityOf(now) != IdentityOf(opened)) continue;
        LockedFile locked;
        locked.folder_ = &folder;
        locked.name_ = name;
        locked.handle_ = reinterpret_cast<std::intptr_t>(file.release());
        if (error) *error = Error::None;
        return locked;
    }
}

Error LockedFile::Read(std::string& out) const {
    out.clear();
    if (!IsOpen()) return Error::NotFound;
    char buffer[64 * 1024];
    for (std::uint64_t at = 0;;) {
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(at);
        position.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD got = 0;
        if (!::ReadFile(AsHandle(handle_), buffer, sizeof buffer, &got, &position)) {
            if (::GetLastError() == ERROR_HANDLE_EOF) return Error::None;
            out.clear();
            return LastError();
        }
        if (got == 0) return Error::None;
        out.append(buffer, got);
        at += got;
    }
}

Error LockedFile::Append(std::string_view data) {
    if (!IsOpen()) return Error::NotFound;
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(AsHandle(handle_), zero, nullptr, FILE_END)) return LastError();
    if (const Error error = WriteAll(AsHandle(handle_), data); error != Error::None) return error;
    return ::FlushFileBuffers(AsHandle(handle_)) ? Error::None : LastError();
}

Error LockedFile::Replace(std::string_view data) {
    if (!IsOpen()) return Error::NotFound;
    const FolderState* state = StateOf(*folder_);
    if (!state) return Error::NotFound;
    static std::atomic<unsigned> counter{0};
    const std::wstring path = state->EntryPath(name_.c_str());
    Handle file;
    std::wstring fresh;
    while (!file) {
        fresh = path + L".new-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
        file.Reset(::CreateFileW(fresh.c_str(), kLockedAccess | DELETE, kShareAll, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && ::GetLastError() != ERROR_FILE_EXISTS) return LastError();
    }
    // Nobody else knows the fresh file yet, so its lock is free.
    Error error = LockWhole(file.get());
    if (error == Error::None) error = WriteAll(file.get(), data);
    if (error == Error::None && !::FlushFileBuffers(file.get())) error = LastError();
    if (error != Error::None) {
        DeleteThrough(file.get());
        return error;
    }
    if (ReplaceThrough(file.get(), path)) {
        // Processes waiting on the old file find it replaced once it is unlocked, and wait on this one.
        Close();
        handle_ = reinterpret_cast<std::intptr_t>(file.release());
        return Error::None;
    }
    // Where a file held open cannot be replaced (older systems, Wine), the locked file itself is
    // rewritten; the fresh copy, flushed first, keeps the new contents should that be cut short.
    const HANDLE locked = AsHandle(handle_);
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(locked, zero, nullptr, FILE_BEGIN)) return LastError();
    if (const Error e = WriteAll(locked, data); e != Error::None) return e;
    if (!::SetEndOfFile(locked) || !::FlushFileBuffers(locked)) return LastError();
    DeleteThrough(file.get());
    return Error::None;
}

}  // namespace velquin::platform
