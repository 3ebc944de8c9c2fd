#pragma once
// A scratch folder for one test, removed afterwards, with helpers to fill it. Relative paths are
// written with "/" and come back in the system's own form.

#ifdef _WIN32
#define NOMINMAX
#include <windows.h>
#undef Yield  // an obsolete macro of <windows.h>; the scan sink has a method of that name
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#endif

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file.h"

namespace velquin::testing {

inline constexpr char kSeparator = platform::kPathSeparator;

// A sample the test signature list names, a clean file of the same length, and that list.
inline const std::string kWorm(700, '\x01');  // fingerprint CACA79914R102910492019018
inline const std::string kClean(700, '\x02');
inline const std::string kWormDatabase = "CACA79914R102910492019018:Worm.Test\r\nFinish:Finish\r\n";

// `relative` with "/" turned into the system's separator.
inline std::string Native(std::string relative) {
    for (char& c : relative) {
        if (c == '/') c = kSeparator;
    }
    return relative;
}

#ifdef _WIN32
namespace detail {

inline std::wstring Extended(const std::string& path) {
    std::wstring wide(path.begin(), path.end());  // test paths are ASCII
    return wide.starts_with(L"\\\\?\\") ? wide : L"\\\\?\\" + wide;
}

// Removes a tree of any depth: read-only files included, reparse points removed as links.
inline void RemoveTree(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL | (attributes & FILE_ATTRIBUTE_DIRECTORY));
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW data;
        const HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = data.cFileName;
                if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
            } while (::FindNextFileW(find, &data));
            ::FindClose(find);
        }
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        ::RemoveDirectoryW(path.c_str());
    } else {
        ::DeleteFileW(path.c_str());
    }
}

}  // namespace detail
#endif

#ifdef _WIN32
// Wine runs these Windows programs on Linux; a few of its limits need a test of their own.
inline bool RunningUnderWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}
#else
inline bool RunningUnderWine() { return false; }
#endif

// Exchanges two entries of one file system, as another user working in a folder could do between
// two steps of a scan: at once where the system can (Linux), else by three renames.
inline bool Exchange(const std::string& a, const std::string& b) {
#ifdef _WIN32
    const std::string aside = a + ".exchanging";
    return ::MoveFileA(a.c_str(), aside.c_str()) && ::MoveFileA(b.c_str(), a.c_str()) &&
           ::MoveFileA(aside.c_str(), b.c_str());
#else
    return ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0;
#endif
}

class TestTree {
public:
    TestTree() {
#ifdef _WIN32
        static std::atomic<int> counter{0};
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; root_.empty(); ++attempt) {
            const auto candidate = base / ("velquin-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                           std::to_string(counter++));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) root_ = candidate.string();
            if (attempt > 1000) std::abort();
        }
        while (root_.size() > 3 && root_.back() == '\\') root_.pop_back();
#else
        // A memory file system when there is one: trees of tens of thousands of folders are made
        // and removed in a moment there.
        const bool shm = access("/dev/shm", W_OK) == 0;
        std::string pattern =
            ((shm ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path()) /
             "velquin-test-XXXXXX").string();
        root_ = mkdtemp(pattern.data());
#endif
    }
    ~TestTree() {
#ifdef _WIN32
        detail::RemoveTree(detail::Extended(root_));
#else
        // rm works relative to folder handles, so trees deeper than the path limit go too.
        const std::string command = "rm -rf '" + root_ + "'";
        if (std::system(command.c_str()) != 0) {
        }
#endif
    }
    TestTree(const TestTree&) = delete;
    TestTree& operator=(const TestTree&) = delete;

    const std::string& Root() const { return root_; }
    std::string Path(const std::string& relative) const { return root_ + kSeparator + Native(relative); }

    std::string Write(const std::string& relative, const std::string& content) const {
        const std::filesystem::path path = Path(relative);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }
    std::string Folder(const std::string& relative) const {
        std::filesystem::create_directories(Path(relative));
        return Path(relative);
    }

#ifdef _WIN32
    // A chain of `depth` folders named `name` below `relative`, with a file `file` holding
    // `content` in the deepest one, made through extended paths, which may exceed the classic limit
    // of 260 characters.
    void DeepFile(const std::string& relative, const std::string& name, int depth, const std::string& file,
                  const std::string& content) const {
        std::wstring path = detail::Extended(Folder(relative));
        const std::wstring wideName(name.begin(), name.end());
        for (int i = 0; i < depth; ++i) {
            path += L"\\" + wideName;
            ::CreateDirectoryW(path.c_str(), nullptr);
        }
        path += L"\\" + std::wstring(file.begin(), file.end());
        const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        ::WriteFile(handle, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        ::CloseHandle(handle);
    }

    // Whether the file of DeepFile is still there.
    bool DeepFileExists(const std::string& relative, const std::string& name, int depth,
                        const std::string& file) const {
        std::wstring path = detail::Extended(Path(relative));
        for (int i = 0; i < depth; ++i) path += L"\\" + std::wstring(name.begin(), name.end());
        path += L"\\" + std::wstring(file.begin(), file.end());
        return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // A junction at `relativeLink` to the folder `relativeTarget`. Where the file system takes no
    // reparse data (Wine), the link is made the way that system shows links as reparse points: a
    // symbolic link of the host, made by the host's own ln.
    bool Junction(const std::string& relativeLink, const std::string& relativeTarget) const {
        const std::wstring link = detail::Extended(Folder(relativeLink));
        const std::wstring target = detail::Extended(Path(relativeTarget));
        const HANDLE handle = ::CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        const std::wstring substitute = L"\\??\\" + target.substr(4);
        const std::wstring print = target.substr(4);
        std::string data(8 + 8 + (substitute.size() + print.size() + 2) * sizeof(wchar_t), '\0');
        auto put16 = [&data](std::size_t at, std::size_t value) {
            data[at] = static_cast<char>(value & 0xFF);
            data[at + 1] = static_cast<char>(value >> 8);
        };
        const std::size_t substituteBytes = substitute.size() * sizeof(wchar_t);
        const std::size_t printBytes = print.size() * sizeof(wchar_t);
        const ULONG tag = IO_REPARSE_TAG_MOUNT_POINT;
        std::memcpy(data.data(), &tag, sizeof tag);
        put16(4, data.size() - 8);
        put16(8, 0);
        put16(10, substituteBytes);
        put16(12, substituteBytes + sizeof(wchar_t));
        put16(14, printBytes);
        std::memcpy(data.data() + 16, substitute.data(), substituteBytes);
        std::memcpy(data.data() + 16 + substituteBytes + sizeof(wchar_t), print.data(), printBytes);
        DWORD returned = 0;
        const BOOL set = ::DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, data.data(), static_cast<DWORD>(data.size()),
                                           nullptr, 0, &returned, nullptr);
        ::CloseHandle(handle);
        if (set) return true;
        if (!RunningUnderWine()) return false;

        // Wine starts host programs too; the relative target is resolved by ln in the link's folder.
        ::RemoveDirectoryW(link.c_str());
        const std::string linkName = relativeLink.substr(relativeLink.rfind('/') + 1);
        const std::string linkFolder = Path(relativeLink.substr(0, relativeLink.size() - linkName.size()));
        std::string up;
        for (char c : relativeLink.substr(0, relativeLink.size() - linkName.size())) {
            if (c == '/') up += "../";
        }
        std::wstring command = L"/bin/ln -s " + std::wstring(up.begin(), up.end()) +
                               std::wstring(relativeTarget.begin(), relativeTarget.end()) + L" " +
                               std::wstring(linkName.begin(), linkName.end());
        const std::wstring folder(linkFolder.begin(), linkFolder.end());
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                              &process)) {
            return false;
        }
        ::WaitForSingleObject(process.hProcess, 10000);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        // A host program's handle does not always wait for it: look for the link a while.
        for (int i = 0; i < 500; ++i) {
            const DWORD attributes = ::GetFileAttributesW(link.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            ::Sleep(10);
        }
        return false;
    }
#endif

private:
    std::string root_;
};

}  // namespace velquin::testing
