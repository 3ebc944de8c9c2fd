#include "platform/console.h"

#include <windows.h>
#include <io.h>
#include <shellapi.h>

#include <atomic>

#include "platform/win32/text.h"

namespace velquin::platform {

namespace {

void (*volatile g_onInterrupt)() = nullptr;
std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    // Handled the first time; the second goes on to the default handler, which ends the program.
    if (g_interrupted.exchange(true)) return FALSE;
    if (g_onInterrupt) g_onInterrupt();
    return TRUE;
}

HANDLE ConsoleOf(std::FILE* stream) {
    if (!stream) return INVALID_HANDLE_VALUE;
    return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
}

}  // namespace

bool IsTerminal(std::FILE* stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(ConsoleOf(stream), &mode) != 0;
}

std::size_t TerminalColumns(std::FILE* stream) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!::GetConsoleScreenBufferInfo(ConsoleOf(stream), &info)) return 0;
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns > 0 ? static_cast<std::size_t>(columns) : 0;
}

void InstallInterruptHandler(void (*onInterrupt)()) {
    g_onInterrupt = onInterrupt;
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

// Windows has no signal for a closed pipe: the write fails and says so.
void IgnoreBrokenPipe() {}

std::FILE* OpenReportFile(const std::string& path, bool append, Error* error) {
    // Text mode: lines end in CR LF, as on the console.
    std::FILE* file = ::_wfopen(win32::Widen(path).c_str(), append ? L"a" : L"w");
    if (error) *error = file ? Error::None : LastError();
    return file;
}

std::tm LocalTime(std::time_t when) {
    std::tm local{};
    ::localtime_s(&local, &when);
    return local;
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    ::SetConsoleOutputCP(CP_UTF8);
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return {argv, argv + argc};
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) arguments.push_back(win32::Narrow(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

}  // namespace velquin::platform
