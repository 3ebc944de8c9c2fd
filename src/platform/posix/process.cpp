// The process table read from /proc: one folder per pid, "exe" links to the executable and
// "cmdline" holds the NUL-separated arguments.

#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <dirent.h>

extern char** environ;

namespace velquin::platform {

namespace {

constexpr std::string_view kDeletedSuffix = " (deleted)";
// How long End waits for a killed process to be gone, so that a listing right after it does not
// still show a process that is only about to exit.
constexpr int kExitWaitMs = 250;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

bool IsPidName(const char* name) {
    if (*name == '\0') return false;
    for (const char* p = name; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
    }
    return true;
}

std::string ReadExeName(int rootFd, const std::string& pid) {
    char target[PATH_MAX];
    const ssize_t n = ::readlinkat(rootFd, (pid + "/exe").c_str(), target, sizeof target);
    if (n <= 0) return {};
    std::string_view path(target, static_cast<std::size_t>(n));
    if (path.ends_with(kDeletedSuffix)) path.remove_suffix(kDeletedSuffix.size());
    // The kernel always writes "/" here; a "\" is part of a Linux file name.
    const auto cut = path.rfind('/');
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string ReadCommandName(int rootFd, const std::string& pid) {
    FileDescriptor fd(::openat(rootFd, (pid + "/cmdline").c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
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
        FileDescriptor rootFd(::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
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

    Error End(const ProcessInfo& process) override {
        if (process.pid <= 1 || process.pid == SelfPid() || process.pid > INT_MAX) return Error::AccessDenied;
        FileDescriptor rootFd(::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (rootFd.get() < 0) return LastError();

        // The pidfd pins the process: once it is open, the pid cannot pass to a new process, so
        // the names read after it are the names of the process that receives the signal.
        FileDescriptor pidfd(PidfdOpen(process.pid));
        if (pidfd.get() < 0 && errno != ENOSYS) return errno == ESRCH ? Error::NotFound : LastError();
        const ProcessInfo now = ReadProcess(rootFd.get(), std::to_string(process.pid));
        if (now.imageName != process.imageName || now.commandName != process.commandName) return Error::Changed;

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

    void SpawnDetached(const std::vector<std::string>& commandLine) override {
        if (commandLine.empty() || commandLine.front().empty()) return;
        const auto candidates = ExecutableCandidates(commandLine.front());
        std::vector<char*> argv;
        for (const auto& arg : commandLine) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);

        FileDescriptor devNull(::open("/dev/null", O_RDWR | O_CLOEXEC));
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
