// The process table read from /proc: one folder per pid, "exe" links to the executable, "cmdline"
// holds the NUL-separated arguments, "maps" lists the files mapped into the process (with device
// and inode), "map_files" opens them, and "stat" names the parent.

#include "platform/process.h"
#include "platform/posix/descriptor.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <dirent.h>

extern char** environ;

namespace velquin::platform {

using posix::Descriptor;

namespace {

constexpr std::string_view kDeletedSuffix = " (deleted)";
// How long End waits for a killed process to be gone, so that a listing right after it does not
// still show a process that is only about to exit.
constexpr int kExitWaitMs = 250;

bool IsPidName(const char* name) {
    if (*name == '\0') return false;
    for (const char* p = name; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
    }
    return true;
}

std::string_view WithoutDeletedSuffix(std::string_view path) {
    if (path.ends_with(kDeletedSuffix)) path.remove_suffix(kDeletedSuffix.size());
    return path;
}

// The path the executable link names; empty with `error` set when it cannot be read.
std::string ReadExePath(int rootFd, const std::string& pid, Error* error = nullptr) {
    char target[PATH_MAX];
    const ssize_t n = ::readlinkat(rootFd, (pid + "/exe").c_str(), target, sizeof target);
    if (n <= 0) {
        if (error) *error = n == 0 ? Error::NotFound : LastError();
        return {};
    }
    return std::string(WithoutDeletedSuffix({target, static_cast<std::size_t>(n)}));
}

// The kernel always writes "/" in these paths; a "\" is part of a Linux file name.
std::string_view FileNameOf(std::string_view path) {
    const auto cut = path.rfind('/');
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string ReadExeName(int rootFd, const std::string& pid) {
    return std::string(FileNameOf(ReadExePath(rootFd, pid)));
}

std::string ReadCommandName(int rootFd, const std::string& pid) {
    Descriptor fd(::openat(rootFd, (pid + "/cmdline").c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (fd.get() < 0) return {};
    char buffer[4096];
    ssize_t n;
    do {
        n = ::read(fd.get(), buffer, sizeof buffer);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) return {};
    const std::string_view args(buffer, static_cast<std::size_t>(n));
    return std::string(LastPathComponent(args.substr(0, args.find('\0'))));
}

// A file mapped into a process, from one line of its "maps":
// "start-end perms offset major:minor inode   path".
struct Mapping {
    std::string range;
    FileIdentity identity;
    std::string path;
};

bool ParseMapping(const std::string& line, Mapping& out) {
    std::istringstream fields(line);
    std::string perms, offset, device;
    unsigned long long inode = 0;
    if (!(fields >> out.range >> perms >> offset >> device >> inode) || inode == 0) return false;
    unsigned major = 0, minor = 0;
    if (std::sscanf(device.c_str(), "%x:%x", &major, &minor) != 2) return false;
    std::string rest;
    std::getline(fields, rest);
    const auto start = rest.find_first_not_of(' ');
    if (start == std::string::npos || rest[start] != '/') return false;
    out.path = std::string(WithoutDeletedSuffix(std::string_view(rest).substr(start)));
    out.identity = {static_cast<std::uint64_t>(makedev(major, minor)), static_cast<std::uint64_t>(inode)};
    return true;
}

// The mapped file whose name is `name` (without regard to ASCII case, as Windows names compare).
std::optional<Mapping> FindMapping(const std::string& root, const std::string& pid, std::string_view name) {
    std::ifstream maps(root + "/" + pid + "/maps");
    Mapping mapping;
    for (std::string line; std::getline(maps, line);) {
        if (ParseMapping(line, mapping) && SameImageName(FileNameOf(mapping.path), name)) return mapping;
    }
    return std::nullopt;
}

Error DescribeImageOf(int rootFd, const std::string& root, const ProcessInfo& process, ProcessImage& out) {
    const std::string pid = std::to_string(process.pid);
    Error error = Error::None;
    const std::string exe = ReadExePath(rootFd, pid, &error);
    if (exe.empty()) return error;
    // A Windows program under a compatibility layer: the layer's loader is the executable, and the
    // program its first argument names is a file it has mapped.
    if (!process.commandName.empty() && !SameImageName(FileNameOf(exe), process.commandName)) {
        if (const auto mapping = FindMapping(root, pid, process.commandName)) {
            out.path = mapping->path;
            out.identity = mapping->identity;
            out.source = root + "/" + pid + "/map_files/" + mapping->range;
            return Error::None;
        }
    }
    // Following the link reaches the executable itself, also when it has been removed.
    struct stat st;
    if (::fstatat(rootFd, (pid + "/exe").c_str(), &st, 0) != 0) return LastError();
    out.path = exe;
    out.identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    out.source = root + "/" + pid + "/exe";
    return Error::None;
}

// The parent of `pid` from its "stat": "pid (name) state ppid ...", where the name may hold
// anything, spaces and parentheses included.
long long ReadParent(int rootFd, long long pid) {
    Descriptor fd(::openat(rootFd, (std::to_string(pid) + "/stat").c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!fd) return 0;
    char buffer[1024];
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer - 1);
    if (n <= 0) return 0;
    const std::string_view text(buffer, static_cast<std::size_t>(n));
    const auto close = text.rfind(')');
    if (close == std::string_view::npos) return 0;
    char state = 0;
    long long parent = 0;
    const std::string rest(text.substr(close + 1));
    return std::sscanf(rest.c_str(), " %c %lld", &state, &parent) == 2 ? parent : 0;
}

ProcessInfo ReadProcess(int rootFd, const std::string& pid) {
    ProcessInfo info;
    info.pid = std::strtoll(pid.c_str(), nullptr, 10);
    info.imageName = ReadExeName(rootFd, pid);
    info.commandName = ReadCommandName(rootFd, pid);
    return info;
}

int PidfdOpen(long long pid) { return static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0)); }

int PidfdSendSignal(int pidfd, int signal) {
    return static_cast<int>(::syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0));
}

// Everything the child needs is prepared before fork: after fork in a program with threads only
// async-signal-safe calls are allowed, so the search path is resolved here, to absolute paths
// because the child leaves the current folder.
std::vector<std::string> ExecutableCandidates(const std::string& program) {
    std::string here;
    if (char* cwd = ::getcwd(nullptr, 0)) {
        here = cwd;
        std::free(cwd);
    }
    const auto absolute = [&](std::string path) { return path.front() == '/' ? path : here + "/" + path; };
    if (program.find('/') != std::string::npos) return {absolute(program)};
    const char* env = std::getenv("PATH");
    const std::string_view path = env ? env : "/usr/local/bin:/usr/bin:/bin";
    std::vector<std::string> candidates;
    std::size_t start = 0;
    while (start <= path.size()) {
        auto end = path.find(':', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view dir = path.substr(start, end - start);
        candidates.push_back(absolute((dir.empty() ? std::string(".") : std::string(dir)) + "/" + program));
        start = end + 1;
    }
    return candidates;
}

[[noreturn]] void ExecDetachedChild(int devNull, const std::vector<std::string>& candidates, char* const* argv) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig) sigaction(sig, &defaultAction, nullptr);
    for (int target = 0; target <= 2; ++target) {
        if (devNull != target) dup2(devNull, target);
    }
    ::syscall(SYS_close_range, 3U, ~0U, 0U);
    // Not to keep the scanner's folder (a removable drive, say) busy for the program's lifetime.
    if (::chdir("/") != 0) _exit(127);
    for (const auto& candidate : candidates) execve(candidate.c_str(), argv, environ);
    _exit(127);
}

class ProcFsTable final : public ProcessTable {
public:
    explicit ProcFsTable(std::string root) : root_(std::move(root)) {}

    std::optional<std::vector<ProcessInfo>> List() override {
        Descriptor rootFd(::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (rootFd.get() < 0) return std::nullopt;
        const int listFd = ::dup(rootFd.get());
        if (listFd < 0) return std::nullopt;
        DIR* dir = ::fdopendir(listFd);
        if (!dir) {
            ::close(listFd);
            return std::nullopt;
        }
        std::vector<ProcessInfo> processes;
        while (const dirent* entry = ::readdir(dir)) {
            if (IsPidName(entry->d_name)) processes.push_back(ReadProcess(rootFd.get(), entry->d_name));
        }
        ::closedir(dir);
        return processes;
    }

    Error DescribeImage(const ProcessInfo& process, ProcessImage& out) override {
        Descriptor rootFd(::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!rootFd) return LastError();
        return DescribeImageOf(rootFd.get(), root_, process, out);
    }

    File OpenImage(const ProcessImage& image, Error* error) override {
        const auto fail = [error](Error value) {
            if (error) *error = value;
            return File();
        };
        constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
        // The links of "exe" and "map_files" lead to the file itself, whatever its name is now.
        // "map_files" opens for the system's administrator only; anybody else goes by the path,
        // which the identity check below holds to the mapped file.
        Descriptor fd(::open(image.source.c_str(), kFlags));
        if (!fd && image.source.find("/map_files/") != std::string::npos) {
            fd = Descriptor(::open(image.path.c_str(), kFlags | O_NOFOLLOW));
        }
        if (!fd) return fail(errno == ELOOP ? Error::TooManyLinks : LastError());
        struct stat st;
        if (::fstat(fd.get(), &st) != 0) return fail(LastError());
        if (!S_ISREG(st.st_mode)) return fail(Error::NotRegularFile);
        const FileIdentity opened{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
        if (opened != image.identity) return fail(Error::Changed);
        if (error) *error = Error::None;
        return File::Adopt(fd.release());
    }

    Error End(const ProcessInfo& process, const ProcessImage* image) override {
        if (process.pid <= 1 || process.pid == SelfPid() || process.pid > INT_MAX) return Error::AccessDenied;
        Descriptor rootFd(::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (rootFd.get() < 0) return LastError();

        // The pidfd pins the process: once it is open, the pid cannot pass to a new process, so
        // what is read after it belongs to the process that receives the signal.
        Descriptor pidfd(PidfdOpen(process.pid));
        if (pidfd.get() < 0 && errno != ENOSYS) return errno == ESRCH ? Error::NotFound : LastError();
        const ProcessInfo now = ReadProcess(rootFd.get(), std::to_string(process.pid));
        if (now.imageName != process.imageName || now.commandName != process.commandName) return Error::Changed;
        if (image) {
            ProcessImage running;
            if (const Error error = DescribeImageOf(rootFd.get(), root_, now, running); error != Error::None) {
                return error;
            }
            if (running.identity != image->identity) return Error::Changed;
        }

        if (pidfd.get() < 0) {
            if (::kill(static_cast<pid_t>(process.pid), SIGKILL) != 0) return LastError();
            return Error::None;
        }
        if (PidfdSendSignal(pidfd.get(), SIGKILL) != 0) return LastError();
        pollfd exited{pidfd.get(), POLLIN, 0};
        while (::poll(&exited, 1, kExitWaitMs) < 0 && errno == EINTR) {
        }
        return Error::None;
    }

    std::vector<long long> AncestorPids() override {
        std::vector<long long> ancestors;
        Descriptor rootFd(::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!rootFd) return ancestors;
        long long pid = SelfPid();
        // Bounded: a table read while processes come and go could show a loop.
        for (int depth = 0; depth < 256; ++depth) {
            pid = ReadParent(rootFd.get(), pid);
            if (pid <= 0) break;
            ancestors.push_back(pid);
            if (pid == 1) break;
        }
        return ancestors;
    }

    void SpawnDetached(const std::vector<std::string>& commandLine) override {
        if (commandLine.empty() || commandLine.front().empty()) return;
        const auto candidates = ExecutableCandidates(commandLine.front());
        std::vector<char*> argv;
        for (const auto& arg : commandLine) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);

        Descriptor devNull(::open("/dev/null", O_RDWR | O_CLOEXEC));
        if (devNull.get() < 0) return;
        // Double fork: the intermediate child starts a new session and exits at once, so the
        // program runs without a terminal, is adopted by the system and never becomes our zombie.
        const pid_t child = ::fork();
        if (child < 0) return;
        if (child == 0) {
            if (::setsid() < 0) _exit(1);
            const pid_t grandchild = ::fork();
            if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
            ExecDetachedChild(devNull.get(), candidates, argv.data());
        }
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }

    long long SelfPid() const override { return static_cast<long long>(::getpid()); }

private:
    std::string root_;
};

}  // namespace

std::unique_ptr<ProcessTable> OpenSystemProcessTable(std::string systemRoot) {
    return std::make_unique<ProcFsTable>(systemRoot.empty() ? std::string("/proc") : std::move(systemRoot));
}

}  // namespace velquin::platform
