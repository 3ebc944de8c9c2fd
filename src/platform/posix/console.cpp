#include "platform/console.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>

namespace velquin::platform {

namespace {

void (*volatile g_onInterrupt)() = nullptr;

void OnSignal(int) {
    if (g_onInterrupt) g_onInterrupt();
}

}  // namespace

bool IsTerminal(std::FILE* stream) { return stream && isatty(fileno(stream)); }

std::size_t TerminalColumns(std::FILE* stream) {
    winsize size{};
    if (stream && ioctl(fileno(stream), TIOCGWINSZ, &size) == 0) return size.ws_col;
    return 0;
}

void InstallInterruptHandler(void (*onInterrupt)()) {
    g_onInterrupt = onInterrupt;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // A second Ctrl-C ends the program at once. SA_RESTART: a write that waits for a slow reader
    // (a pager) goes on after the first one instead of failing, which would drop buffered lines.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

void IgnoreBrokenPipe() { std::signal(SIGPIPE, SIG_IGN); }

std::FILE* OpenReportFile(const std::string& path, bool append, Error* error) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | (append ? O_APPEND : O_TRUNC), 0644);
    std::FILE* file = fd >= 0 ? fdopen(fd, append ? "a" : "w") : nullptr;
    if (!file) {
        if (error) *error = LastError();
        if (fd >= 0) close(fd);
        return nullptr;
    }
    if (error) *error = Error::None;
    return file;
}

std::tm LocalTime(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    return local;
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace velquin::platform
