#pragma once
// What a Folder holds on Windows, shared by the platform layer's Windows files.

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/win32/text.h"

namespace velquin::platform::win32 {

inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : handle_(other.release()) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) Reset(other.release());
        return *this;
    }
    ~Handle() { Close(); }
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE release() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }
    void Close() {
        if (*this) ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    void Reset(HANDLE handle) {
        Close();
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

struct ListedEntry {
    DWORD attributes = 0;
    std::uint64_t size = 0;
    std::uint64_t fileIndex = 0;
    bool hasIndex = false;
};

struct FolderState {
    FolderState(HANDLE opened) : handle(opened) {}
    Handle handle;
    std::wstring path;      // extended form, ending with "\"
    std::size_t rootLength = 0;
    DWORD volumeSerial = 0;
    BY_HANDLE_FILE_INFORMATION opened{};  // as it was when opened: a folder's identity never changes
    // The last listing, by name, so that describing a listed entry needs no system call.
    std::vector<ListedEntry> listed;
    std::unordered_map<std::string, std::size_t> byName;

    std::wstring EntryPath(const char* name) const { return path + Widen(name); }
};


// The path at which the open file or folder lies, as the system resolves it: "\\?\C:\..." or
// "\\?\UNC\server\share\...", with no link in it.
bool FinalPath(HANDLE handle, std::wstring& out);

// Whether two paths name the same place, compared as the file system compares names (without
// regard to case).
bool SamePath(std::wstring_view a, std::wstring_view b);

}  // namespace velquin::platform::win32
