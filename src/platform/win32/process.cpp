// The process table from a Tool Help snapshot; the file a process runs from its image path;
// processes are ended with TerminateProcess and programs started detached with CreateProcessW.

#include "platform/process.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "platform/win32/folder.h"
#include "platform/win32/text.h"

namespace velquin::platform {

namespace {

// How long End waits for an ended process to be gone, so that a listing right after it does not
// still show a process that is only about to exit.
constexpr DWORD kExitWaitMs = 250;

using win32::Handle;

// The full path of the program the process runs; empty when it cannot be read.
std::wstring ImagePathOf(HANDLE process) {
    std::wstring buffer(1024, L'\0');
    for (int attempt = 0; attempt < 6; ++attempt) {
        DWORD size = static_cast<DWORD>(buffer.size());
        if (::QueryFullProcessImageNameW(process, 0, buffer.data(), &size)) {
            buffer.resize(size);
            return buffer;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
        buffer.resize(buffer.size() * 4);
    }
    return {};
}

std::string ImageNameOf(HANDLE process) { return std::string(LastPathComponent(win32::Narrow(ImagePathOf(process)))); }

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& data) {
    return {data.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow};
}

// Opens the file at `path` as itself (a reparse point is not followed) and reads its identity.
Handle OpenImageFile(const std::wstring& path, DWORD access, FileIdentity& identity, Error& error) {
    Handle file(::CreateFileW(path.c_str(), access, win32::kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION data;
    if (!file || !::GetFileInformationByHandle(file.get(), &data)) {
        error = LastError();
        return Handle();
    }
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) {
        error = Error::NotRegularFile;
        return Handle();
    }
    identity = IdentityOf(data);
    error = Error::None;
    return file;
}

// The file the process behind `process` runs, described through its image path.
Error DescribeRunningImage(HANDLE process, ProcessImage& out) {
    const std::wstring path = ImagePathOf(process);
    if (path.empty()) return LastError();
    Error error = Error::None;
    if (!OpenImageFile(path, FILE_READ_ATTRIBUTES, out.identity, error)) return error;
    out.path = win32::Narrow(path);
    out.source = out.path;
    return Error::None;
}

Error OpenError() {
    const DWORD code = ::GetLastError();
    return code == ERROR_INVALID_PARAMETER ? Error::NotFound : ErrorFromSystem(static_cast<int>(code));
}

// One argument in the form the C runtime's command-line parser splits back into the same text.
void AppendQuotedArgument(std::wstring& line, const std::wstring& argument) {
    if (!line.empty()) line.push_back(L' ');
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line.push_back(L'"');
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') backslashes = backslashes * 2 + 1;
        line.append(backslashes, L'\\');
        backslashes = 0;
        line.push_back(c);
    }
    line.append(backslashes * 2, L'\\');
    line.push_back(L'"');
}

class SnapshotTable final : public ProcessTable {
public:
    std::optional<std::vector<ProcessInfo>> List() override {
        Handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snapshot) return std::nullopt;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        std::vector<ProcessInfo> processes;
        if (!::Process32FirstW(snapshot.get(), &entry)) {
            if (::GetLastError() == ERROR_NO_MORE_FILES) return processes;
            return std::nullopt;
        }
        do {
            ProcessInfo info;
            info.pid = static_cast<long long>(entry.th32ProcessID);
            info.imageName = std::string(LastPathComponent(win32::Narrow(entry.szExeFile)));
            processes.push_back(std::move(info));
        } while (::Process32NextW(snapshot.get(), &entry));
        return processes;
    }

    Error DescribeImage(const ProcessInfo& process, ProcessImage& out) override {
        if (process.pid <= 0 || process.pid > 0xFFFFFFFFLL) return Error::NotFound;
        Handle handle(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(process.pid)));
        if (!handle) return OpenError();
        return DescribeRunningImage(handle.get(), out);
    }

    File OpenImage(const ProcessImage& image, Error* error) override {
        FileIdentity identity;
        Error result = Error::None;
        Handle file = OpenImageFile(win32::Widen(image.source), GENERIC_READ, identity, result);
        if (file && identity != image.identity) result = Error::Changed;
        if (error) *error = result;
        if (result != Error::None) return File();
        return File::Adopt(reinterpret_cast<std::intptr_t>(file.release()));
    }

    Error End(const ProcessInfo& process, const ProcessImage* image) override {
        if (process.pid <= 0 || process.pid > 0xFFFFFFFFLL || process.pid == SelfPid()) return Error::AccessDenied;
        Handle handle(::OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                                    static_cast<DWORD>(process.pid)));
        if (!handle) return OpenError();
        // The open handle pins the process: its id cannot pass to a new process while the handle
        // is open, so what is read now belongs to the process that is ended. A name that cannot
        // be read (a protected process) is taken as the listed one; an image that cannot be read
        // is no image that was judged.
        const std::string now = ImageNameOf(handle.get());
        if (!now.empty() && !process.imageName.empty() && !SameImageName(now, process.imageName)) return Error::Changed;
        if (image) {
            ProcessImage running;
            if (const Error error = DescribeRunningImage(handle.get(), running); error != Error::None) return error;
            if (running.identity != image->identity) return Error::Changed;
        }
        if (!::TerminateProcess(handle.get(), 1)) return LastError();
        ::WaitForSingleObject(handle.get(), kExitWaitMs);
        return Error::None;
    }

    // Parents from the snapshot. A parent's id may have passed to a newer process once the parent
    // ended; such a process counts as one to be spared, which only ever spares too much.
    std::vector<long long> AncestorPids() override {
        std::vector<long long> ancestors;
        Handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snapshot) return ancestors;
        std::unordered_map<DWORD, DWORD> parents;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
            parents[entry.th32ProcessID] = entry.th32ParentProcessID;
        }
        DWORD pid = ::GetCurrentProcessId();
        for (std::size_t depth = 0; depth < parents.size(); ++depth) {
            const auto found = parents.find(pid);
            if (found == parents.end() || found->second == 0) break;
            pid = found->second;
            if (std::find(ancestors.begin(), ancestors.end(), static_cast<long long>(pid)) != ancestors.end()) break;
            ancestors.push_back(static_cast<long long>(pid));
        }
        return ancestors;
    }

    void SpawnDetached(const std::vector<std::string>& commandLine) override {
        if (commandLine.empty() || commandLine.front().empty()) return;
        std::wstring line;
        for (const auto& argument : commandLine) AppendQuotedArgument(line, win32::Widen(argument));

        // Standard handles on the null device, and only those inherited: the program keeps
        // nothing of the scanner's open (Wine would otherwise hand it the scanner's output).
        SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        Handle nul(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                 OPEN_EXISTING, 0, nullptr));
        STARTUPINFOEXW startup{};
        startup.StartupInfo.cb = sizeof startup;
        startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
        startup.StartupInfo.wShowWindow = SW_HIDE;
        std::vector<unsigned char> attributes;
        HANDLE inherited[] = {nul.get()};
        bool inheritNul = false;
        if (nul) {
            SIZE_T size = 0;
            ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
            attributes.resize(size);
            auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
            if (size > 0 && ::InitializeProcThreadAttributeList(list, 1, 0, &size)) {
                if (::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited, sizeof inherited,
                                                nullptr, nullptr)) {
                    startup.lpAttributeList = list;
                    startup.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
                    startup.StartupInfo.hStdInput = startup.StartupInfo.hStdOutput = startup.StartupInfo.hStdError =
                        nul.get();
                    inheritNul = true;
                } else {
                    ::DeleteProcThreadAttributeList(list);
                }
            }
        }
        // No console window, a process group of its own; out of the scanner's job if the job
        // allows it, so the program outlives the scanner.
        DWORD flags = CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP | CREATE_UNICODE_ENVIRONMENT;
        if (inheritNul) flags |= EXTENDED_STARTUPINFO_PRESENT;
        PROCESS_INFORMATION started{};
        BOOL ok = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, inheritNul, flags | CREATE_BREAKAWAY_FROM_JOB,
                                   nullptr, nullptr, &startup.StartupInfo, &started);
        if (!ok) {
            ok = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, inheritNul, flags, nullptr, nullptr,
                                  &startup.StartupInfo, &started);
        }
        if (startup.lpAttributeList) ::DeleteProcThreadAttributeList(startup.lpAttributeList);
        if (!ok) return;
        ::CloseHandle(started.hThread);
        ::CloseHandle(started.hProcess);
    }

    long long SelfPid() const override { return static_cast<long long>(::GetCurrentProcessId()); }
};

}  // namespace

// Windows has no process tree to point at: the snapshot is always the live one.
std::unique_ptr<ProcessTable> OpenSystemProcessTable(std::string) { return std::make_unique<SnapshotTable>(); }

}  // namespace velquin::platform
