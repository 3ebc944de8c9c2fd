// Moving files between open folders and the quarantine's small file writes, on Windows. Windows
// has no permission bits: the owner's write bit stands for the read-only attribute (clear bit,
// attribute set), and files report 0666, or 0444 when read-only.

#include "platform/transfer.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/win32/folder.h"

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

Error RenameThrough(HANDLE handle, const std::wstring& target) {
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    std::copy(target.begin(), target.end(), rename->FileName);
    return ::SetFileInformationByHandle(handle, FileRenameInfo, rename, static_cast<DWORD>(buffer.size()))
               ? Error::None
               : LastError();
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

// The folder gets the access its place gives it: Windows folders inherit their parent's rules.
Error CreatePrivateFolder(const std::string& path) {
    const std::wstring wide = win32::ExtendedPath(path);
    if (::CreateDirectoryW(wide.c_str(), nullptr)) return Error::None;
    const DWORD code = ::GetLastError();
    if (code != ERROR_ALREADY_EXISTS) return ErrorFromSystem(static_cast<int>(code));
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastError();
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return Error::TooManyLinks;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Error::None : Error::NotADirectory;
}

Error AppendToFile(const Folder& folder, const char* name, std::string_view data) {
    const FolderState* state = StateOf(folder);
    if (!state) return Error::NotFound;
    Handle file;
    if (const Error error = OpenRegular(state->EntryPath(name), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                        OPEN_ALWAYS, file);
        error != Error::None) {
        return error;
    }
    if (const Error error = WriteAll(file.get(), data); error != Error::None) return error;
    return ::FlushFileBuffers(file.get()) ? Error::None : LastError();
}

Error ReplaceFileContents(const Folder& folder, const char* name, std::string_view data) {
    const FolderState* state = StateOf(folder);
    if (!state) return Error::NotFound;
    const std::wstring path = state->EntryPath(name);
    const std::wstring fresh = path + L".new-" + std::to_wstring(::GetCurrentProcessId());
    {
        Handle file(::CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return LastError();
        Error error = WriteAll(file.get(), data);
        if (error == Error::None && !::FlushFileBuffers(file.get())) error = LastError();
        if (error != Error::None) {
            file.Close();
            ::DeleteFileW(fresh.c_str());
            return error;
        }
    }
    if (!::MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const Error error = LastError();
        ::DeleteFileW(fresh.c_str());
        return error;
    }
    return Error::None;
}

Error ReadWholeFile(const Folder& folder, const char* name, std::string& out) {
    out.clear();
    const FolderState* state = StateOf(folder);
    if (!state) return Error::NotFound;
    Handle file;
    if (const Error error = OpenRegular(state->EntryPath(name), GENERIC_READ, OPEN_EXISTING, file); error != Error::None) {
        return error;
    }
    char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            out.clear();
            return LastError();
        }
        if (got == 0) return Error::None;
        out.append(buffer, got);
    }
}

}  // namespace velquin::platform
