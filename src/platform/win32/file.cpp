// Files and folders through the wide Win32 file API. A Folder holds a handle on the folder and its
// full path in the "\\?\" form, so trees deeper than the classic path limit are reached; entries
// are addressed by that path plus their name. Every entry is opened as itself, never through a
// reparse point (junction, symbolic link, mount point), and a listing brings each entry's
// attributes, length and file index, so describing an entry opens nothing.

#include "platform/file.h"

#include <windows.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "platform/win32/folder.h"
#include "platform/win32/text.h"

namespace velquin::platform {

namespace {

// Critical-error boxes ("There is no disk in the drive") must never wait for a click during a
// scan of an empty card reader or a vanished network drive.
const UINT kErrorMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

using win32::kShareAll;

// Not in every MinGW header set: the extended disposition (Windows 10 1709 and later) removes
// the name at once, even while another handle keeps the file open.
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr ULONG kDispositionDelete = 0x1;
constexpr ULONG kDispositionPosixSemantics = 0x2;
struct DispositionInfoEx {
    ULONG flags;
};

void SetError(Error* error, Error value) {
    if (error) *error = value;
}

EntryKind KindOf(DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryKind::Link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EntryKind::Folder;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return EntryKind::Other;
    return EntryKind::Regular;
}

std::uint64_t Combine(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

EntryInfo FromHandleInfo(const BY_HANDLE_FILE_INFORMATION& data) {
    EntryInfo info;
    info.kind = KindOf(data.dwFileAttributes);
    info.size = info.kind == EntryKind::Regular ? Combine(data.nFileSizeHigh, data.nFileSizeLow) : 0;
    info.identity = {data.dwVolumeSerialNumber, Combine(data.nFileIndexHigh, data.nFileIndexLow)};
    return info;
}

// Opens the entry itself: a reparse point is opened, not followed; a folder opens too, so the
// caller can tell what it got.
HANDLE OpenEntry(const std::wstring& path, DWORD access, DWORD flags = 0) {
    return ::CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT | flags, nullptr);
}

// `byPath`: the handle came from a path the caller was given, which may name a device ("NUL").
// Entries of a listing opened through an extended path are files of the file system.
Error Describe(HANDLE handle, EntryInfo& out, DWORD* attributes = nullptr, bool byPath = false) {
    BY_HANDLE_FILE_INFORMATION data;
    if (!::GetFileInformationByHandle(handle, &data)) return LastError();
    out = FromHandleInfo(data);
    if (byPath && out.kind == EntryKind::Regular && ::GetFileType(handle) != FILE_TYPE_DISK) out.kind = EntryKind::Other;
    if (attributes) *attributes = data.dwFileAttributes;
    return Error::None;
}

// On real Windows a handle opened on a reparse point shows the reparse point. Wine opens the target
// of a host symbolic link even when asked for the link itself, but the entry's attributes still
// show the link; asking for them too keeps links unfollowed there as well.
bool PathIsReparsePoint(std::wstring path) {
    if (path.size() > 1 && path.back() == L'\\') path.pop_back();  // a final "\" would go through it
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsDot(const char* name) { return name[0] == '.' && name[1] == '\0'; }
bool IsDotDot(const char* name) { return name[0] == '.' && name[1] == '.' && name[2] == '\0'; }

// Where the root of an extended path ends: "\\?\C:\", "\\?\UNC\server\share\", "\\?\Volume{..}\".
std::size_t RootLength(const std::wstring& path) {
    std::size_t start = 4;
    int parts = 1;
    if (path.starts_with(L"\\\\?\\UNC\\")) {
        start = 8;
        parts = 2;
    }
    std::size_t at = start;
    for (int k = 0; k < parts; ++k) {
        at = path.find(L'\\', at);
        if (at == std::wstring::npos) return path.size();
        ++at;
    }
    return at;
}

// The listing's batches are read into one buffer per thread; 64 KiB holds a few hundred entries.
std::vector<ULONGLONG>& ListingBuffer() {
    thread_local std::vector<ULONGLONG> buffer(64 * 1024 / sizeof(ULONGLONG));
    return buffer;
}

bool ListingClassUnsupported(DWORD code) {
    return code == ERROR_INVALID_PARAMETER || code == ERROR_NOT_SUPPORTED || code == ERROR_INVALID_LEVEL ||
           code == ERROR_INVALID_FUNCTION || code == ERROR_CALL_NOT_IMPLEMENTED;
}

}  // namespace


namespace {

using win32::FolderState;
using win32::Handle;

FolderState* State(void* stream) { return static_cast<FolderState*>(stream); }

// Opens the folder at an extended path. `followLink`: the path is the caller's own choice, so a
// junction given there is followed; entries found by a walk never are.
FolderState* OpenFolderAt(std::wstring path, bool followLink, Error* error) {
    if (path.back() != L'\\') path.push_back(L'\\');
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    Handle handle(::CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll,
                                nullptr, OPEN_EXISTING, flags, nullptr));
    if (!handle) {
        SetError(error, LastError());
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION data;
    if (!::GetFileInformationByHandle(handle.get(), &data)) {
        SetError(error, LastError());
        return nullptr;
    }
    if (!followLink && ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || PathIsReparsePoint(path))) {
        SetError(error, Error::TooManyLinks);
        return nullptr;
    }
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetError(error, Error::NotADirectory);
        return nullptr;
    }
    auto* state = new FolderState(handle.release());
    state->path = std::move(path);
    state->rootLength = RootLength(state->path);
    state->volumeSerial = data.dwVolumeSerialNumber;
    state->opened = data;
    SetError(error, Error::None);
    return state;
}

Error QueryEntry(const std::wstring& path, EntryInfo& out) {
    Handle handle(OpenEntry(path, FILE_READ_ATTRIBUTES));
    if (!handle) return LastError();
    return Describe(handle.get(), out);
}

void Remember(FolderState& state, NameList& names, std::string name, const win32::ListedEntry& entry) {
    names.Add(name);
    state.byName.emplace(std::move(name), state.listed.size());
    state.listed.push_back(entry);
}

// The listing through the folder's own handle, in batches: names, attributes, lengths and file
// indexes in one pass.
Error ListByHandle(FolderState& state, NameList& out, bool& unsupported) {
    auto& buffer = ListingBuffer();
    const DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(ULONGLONG));
    FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;
    for (;;) {
        if (!::GetFileInformationByHandleEx(state.handle.get(), request, buffer.data(), bytes)) {
            const DWORD code = ::GetLastError();
            if (code == ERROR_NO_MORE_FILES) return Error::None;
            unsupported = request == FileIdBothDirectoryRestartInfo && ListingClassUnsupported(code);
            return ErrorFromSystem(static_cast<int>(code));
        }
        request = FileIdBothDirectoryInfo;
        const auto* at = reinterpret_cast<const unsigned char*>(buffer.data());
        for (;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
            win32::ListedEntry listed;
            listed.attributes = entry->FileAttributes;
            listed.size = static_cast<std::uint64_t>(entry->EndOfFile.QuadPart);
            listed.fileIndex = static_cast<std::uint64_t>(entry->FileId.QuadPart);
            listed.hasIndex = listed.fileIndex != 0;
            Remember(state, out, win32::Narrow({entry->FileName, entry->FileNameLength / sizeof(WCHAR)}), listed);
            if (entry->NextEntryOffset == 0) break;
            at += entry->NextEntryOffset;
        }
    }
}

// For file systems that cannot list by handle: the classic listing, basic information only, in
// large batches. It carries no file index; describing an entry then opens it.
Error ListByPattern(FolderState& state, NameList& out) {
    WIN32_FIND_DATAW data;
    const std::wstring pattern = state.path + L"*";
    HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        return code == ERROR_FILE_NOT_FOUND || code == ERROR_NO_MORE_FILES ? Error::None
                                                                           : ErrorFromSystem(static_cast<int>(code));
    }
    Error result = Error::None;
    do {
        win32::ListedEntry listed;
        listed.attributes = data.dwFileAttributes;
        listed.size = Combine(data.nFileSizeHigh, data.nFileSizeLow);
        Remember(state, out, win32::Narrow(data.cFileName), listed);
    } while (::FindNextFileW(find, &data));
    if (::GetLastError() != ERROR_NO_MORE_FILES) result = LastError();
    ::FindClose(find);
    return result;
}

}  // namespace

void File::Close() {
    if (handle_ != kNoHandle) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = kNoHandle;
}

Error File::Info(EntryInfo& out) const {
    if (!IsOpen()) return Error::NotFound;
    return Describe(reinterpret_cast<HANDLE>(handle_), out);
}

Error File::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
    if (!IsOpen()) return Error::NotFound;
    std::size_t done = 0;
    while (done < out.size()) {
        OVERLAPPED at{};
        const std::uint64_t position = offset + done;
        at.Offset = static_cast<DWORD>(position);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), out.data() + done, want, &got, &at)) {
            const DWORD code = ::GetLastError();
            return code == ERROR_HANDLE_EOF ? Error::Changed : ErrorFromSystem(static_cast<int>(code));
        }
        if (got == 0) return Error::Changed;  // the file is shorter than it was when examined
        done += got;
    }
    return Error::None;
}

Folder::~Folder() { delete State(stream_); }

Folder::Folder(Folder&& other) noexcept : stream_(other.stream_) { other.stream_ = nullptr; }

Folder& Folder::operator=(Folder&& other) noexcept {
    if (this != &other) {
        delete State(stream_);
        stream_ = other.stream_;
        other.stream_ = nullptr;
    }
    return *this;
}

Folder Folder::Open(const std::string& path, Error* error) {
    if (path.empty()) {
        SetError(error, Error::NotFound);
        return Folder();
    }
    return Folder(OpenFolderAt(win32::ExtendedPath(path), true, error));
}

Folder Folder::OpenRefusingLink(const std::string& path, Error* error) {
    if (path.empty()) {
        SetError(error, Error::NotFound);
        return Folder();
    }
    return Folder(OpenFolderAt(win32::ExtendedPath(path), false, error));
}

Folder Folder::OpenAlongPath(const std::string& path, Error* error) {
    if (!IsAbsolutePath(path)) {
        SetError(error, Error::NotFound);
        return Folder();
    }
    const std::wstring full = win32::ExtendedPath(path);
    const std::size_t root = RootLength(full);
    FolderState* state = OpenFolderAt(full.substr(0, root), true, error);
    for (std::size_t at = root; state && at < full.size();) {
        const std::size_t end = std::min(full.find(L'\\', at), full.size());
        if (end > at) {
            FolderState* next = OpenFolderAt(state->path + full.substr(at, end - at), false, error);
            delete state;
            state = next;
        }
        at = end + 1;
    }
    // Each step opens its folder by the whole path, which the system resolves afresh: a junction
    // planted above it meanwhile would have been followed. The folder reached must lie where the
    // path says.
    std::wstring reached;
    if (state && (!win32::FinalPath(state->handle.get(), reached) ||
                  !win32::SamePath(reached, std::wstring_view(state->path).substr(0, state->path.size() - 1)))) {
        delete state;
        state = nullptr;
        SetError(error, Error::TooManyLinks);
    }
    return Folder(state);
}

Folder Folder::OpenFolder(const char* name, Error* error) const {
    const FolderState* state = State(stream_);
    if (!state) {
        SetError(error, Error::NotFound);
        return Folder();
    }
    if (IsDot(name)) return Folder(OpenFolderAt(state->path, true, error));
    if (IsDotDot(name)) return OpenParent(error);
    return Folder(OpenFolderAt(state->EntryPath(name), false, error));
}

Folder Folder::OpenParent(Error* error) const {
    const FolderState* state = State(stream_);
    if (!state) {
        SetError(error, Error::NotFound);
        return Folder();
    }
    // The root is its own parent, as on every system.
    std::wstring parent = state->path;
    if (parent.size() > state->rootLength) {
        parent.pop_back();
        parent.resize(parent.rfind(L'\\') + 1);
    }
    return Folder(OpenFolderAt(std::move(parent), true, error));
}

Error Folder::Info(EntryInfo& out) const {
    const FolderState* state = State(stream_);
    if (!state) return Error::NotFound;
    out = FromHandleInfo(state->opened);
    return Error::None;
}

Error Folder::Path(std::string& out) const {
    out.clear();
    const FolderState* state = State(stream_);
    if (!state) return Error::NotFound;
    std::wstring path;
    if (!win32::FinalPath(state->handle.get(), path)) return LastError();
    out = win32::Narrow(win32::WithoutExtendedPrefix(path));
    return Error::None;
}

Error Folder::EntryInfoOf(const char* name, EntryInfo& out) const {
    const FolderState* state = State(stream_);
    if (!state) return Error::NotFound;
    if (IsDot(name)) return Info(out);
    if (IsDotDot(name)) {
        const Folder parent = OpenParent();
        return parent.IsOpen() ? parent.Info(out) : Error::NotFound;
    }
    const auto found = state->byName.find(name);
    if (found != state->byName.end() && state->listed[found->second].hasIndex) {
        const win32::ListedEntry& entry = state->listed[found->second];
        out.kind = KindOf(entry.attributes);
        out.size = out.kind == EntryKind::Regular ? entry.size : 0;
        // Entries of another volume are mount points, i.e. reparse points: a listed entry that is
        // not one lives on its folder's volume.
        out.identity = {state->volumeSerial, entry.fileIndex};
        return Error::None;
    }
    return QueryEntry(state->EntryPath(name), out);
}

Error Folder::EntryInfoNow(const char* name, EntryInfo& out) const {
    const FolderState* state = State(stream_);
    if (!state) return Error::NotFound;
    if (IsDot(name) || IsDotDot(name)) return EntryInfoOf(name, out);
    const std::wstring path = state->EntryPath(name);
    Handle handle(OpenEntry(path, FILE_READ_ATTRIBUTES));
    if (!handle) return LastError();
    DWORD attributes = 0;
    if (const Error described = Describe(handle.get(), out, &attributes); described != Error::None) return described;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) || PathIsReparsePoint(path)) out.kind = EntryKind::Link;
    return Error::None;
}

Error Folder::ListNames(NameList& out) const {
    out.Clear();
    FolderState* state = State(stream_);
    if (!state) return Error::NotFound;
    state->listed.clear();
    state->byName.clear();
    bool unsupported = false;
    const Error error = ListByHandle(*state, out, unsupported);
    if (!unsupported) return error;
    out.Clear();
    state->listed.clear();
    state->byName.clear();
    return ListByPattern(*state, out);
}

File Folder::OpenFile(const char* name, Error* error, EntryInfo* opened) const {
    const FolderState* state = State(stream_);
    if (!state) {
        SetError(error, Error::NotFound);
        return File();
    }
    if (IsDot(name) || IsDotDot(name)) {
        SetError(error, Error::NotRegularFile);
        return File();
    }
    Handle handle(OpenEntry(state->EntryPath(name), GENERIC_READ));
    if (!handle) {
        SetError(error, LastError());
        return File();
    }
    // Without a description wanted, the attributes alone tell a file from a folder or a reparse
    // point; they cost a fraction of the full description. No second look at the path here,
    // unlike opening a folder or removing a file: reading goes no further than reading.
    EntryKind kind = EntryKind::Other;
    if (opened) {
        if (const Error described = Describe(handle.get(), *opened); described != Error::None) {
            SetError(error, described);
            return File();
        }
        kind = opened->kind;
    } else {
        FILE_ATTRIBUTE_TAG_INFO tag{};
        if (!::GetFileInformationByHandleEx(handle.get(), FileAttributeTagInfo, &tag, sizeof tag)) {
            SetError(error, LastError());
            return File();
        }
        kind = KindOf(tag.FileAttributes);
    }
    if (kind != EntryKind::Regular) {
        SetError(error, kind == EntryKind::Link ? Error::TooManyLinks : Error::NotRegularFile);
        return File();
    }
    SetError(error, Error::None);
    return File::Adopt(reinterpret_cast<std::intptr_t>(handle.release()));
}

Error Folder::RemoveFile(const char* name, const FileIdentity& expected) const {
    FolderState* state = State(stream_);
    if (!state) return Error::NotFound;
    if (IsDot(name) || IsDotDot(name)) return Error::NotRegularFile;
    const std::wstring path = state->EntryPath(name);
    Handle handle(OpenEntry(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE));
    if (!handle) return LastError();
    EntryInfo info;
    DWORD attributes = 0;
    if (const Error error = Describe(handle.get(), info, &attributes); error != Error::None) return error;
    if (info.kind == EntryKind::Link || PathIsReparsePoint(path)) return Error::TooManyLinks;
    if (info.kind != EntryKind::Regular) return Error::NotRegularFile;
    if (info.identity != expected) return Error::Changed;

    // Normal attributes first: a read-only file refuses deletion. Set through the handle, so they
    // change on the very file that is deleted, and put back should the deletion fail.
    FILE_BASIC_INFO basic{};
    const bool clearAttributes = (attributes & ~FILE_ATTRIBUTE_NORMAL) != 0;
    if (clearAttributes) {
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        if (!::SetFileInformationByHandle(handle.get(), FileBasicInfo, &basic, sizeof basic)) return LastError();
    }
    DispositionInfoEx extended{kDispositionDelete | kDispositionPosixSemantics};
    FILE_DISPOSITION_INFO classic{TRUE};
    if (!::SetFileInformationByHandle(handle.get(), kFileDispositionInfoEx, &extended, sizeof extended) &&
        !::SetFileInformationByHandle(handle.get(), FileDispositionInfo, &classic, sizeof classic)) {
        const Error error = LastError();
        if (clearAttributes) {
            basic.FileAttributes = attributes;
            ::SetFileInformationByHandle(handle.get(), FileBasicInfo, &basic, sizeof basic);
        }
        return error;
    }
    handle.Close();
    if (const auto found = state->byName.find(name); found != state->byName.end()) {
        state->listed[found->second].hasIndex = false;  // describe it afresh if asked again
    }

    // Deletion takes effect when the last handle closes; another program may still hold one.
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return Error::Busy;
    const DWORD code = ::GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return Error::None;
    return code == ERROR_ACCESS_DENIED ? Error::Busy : ErrorFromSystem(static_cast<int>(code));
}

// Windows has no kernel pseudo file systems for a walk to stay out of.
PseudoFileSystems PseudoFileSystems::Load(const std::string&) { return PseudoFileSystems(); }

Error ReadFile(const std::string& path, std::string& out) {
    out.clear();
    Handle handle(::CreateFileW(win32::ExtendedPath(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!handle) return LastError();
    EntryInfo info;
    if (const Error error = Describe(handle.get(), info, nullptr, true); error != Error::None) return error;
    if (info.kind == EntryKind::Folder) return Error::IsADirectory;
    if (info.kind != EntryKind::Regular) return Error::NotRegularFile;
    if (info.size > 0 && info.size < (1ull << 31)) out.reserve(static_cast<std::size_t>(info.size));
    char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(handle.get(), buffer, sizeof buffer, &got, nullptr)) {
            out.clear();
            return LastError();
        }
        if (got == 0) return Error::None;
        out.append(buffer, got);
    }
}

bool IsAbsolutePath(std::string_view path) {
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() >= 2 && separator(path[0]) && separator(path[1])) return true;
    const char letter = static_cast<char>(path.empty() ? 0 : path[0] | 0x20);
    return path.size() >= 3 && letter >= 'a' && letter <= 'z' && path[1] == ':' && separator(path[2]);
}

std::string ExecutableFolder() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
    buffer = win32::WithoutExtendedPrefix(buffer);
    const auto cut = buffer.find_last_of(L"\\/");
    if (cut == std::wstring::npos) return {};
    buffer.resize(cut == 2 && buffer[1] == L':' ? cut + 1 : cut);  // "C:\" keeps its separator
    return win32::Narrow(buffer);
}

namespace win32 {

bool FinalPath(HANDLE handle, std::wstring& out) {
    out.assign(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetFinalPathNameByHandleW(handle, out.data(), static_cast<DWORD>(out.size()),
                                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) return false;
        if (n < out.size()) {
            out.resize(n);
            return true;
        }
        out.resize(n + 1);
    }
}

bool SamePath(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

}  // namespace win32

}  // namespace velquin::platform
