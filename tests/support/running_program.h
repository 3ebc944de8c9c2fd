#pragma once
// A program that a test starts from a file of its choosing, under a name of its choosing, and
// that is ended when the test is done, whatever the test saw.

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace velquin::testing {

class RunningProgram {
public:
    // Starts the program file `file` with `args`; on POSIX the first is the name it is started
    // under (on Windows its name is the file's). Waits until it has finished starting: on POSIX
    // until the system shows it running that file under that name, after which what the system
    // shows stays as it is; on Windows, where the program is always the tests' idle program,
    // until it has created the file it is given as one more argument. (Wine keeps a console host
    // running, holding the test's output, for a program ended while it starts.) The wait has a
    // deadline only to bound a failure.
    RunningProgram(const std::filesystem::path& file, const std::vector<std::string>& args) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
#ifdef _WIN32
        static int started = 0;
        ready_ = std::filesystem::temp_directory_path() /
                 ("velquin-ready-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++started));
        std::wstring line = L"\"" + file.wstring() + L"\"";
        for (std::size_t i = 1; i < args.size(); ++i) line += L" " + std::wstring(args[i].begin(), args[i].end());
        line += L" \"" + ready_.wstring() + L"\"";
        // Standard handles on the null device: Wine would otherwise hand the program the test's
        // output, and the test runner would wait for the program's end.
        SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        const HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         &inheritable, OPEN_EXISTING, 0, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
        started_ = ::CreateProcessW(file.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                    nullptr, &startup, &process_);
        if (nul != INVALID_HANDLE_VALUE) ::CloseHandle(nul);
        if (started_) ::CloseHandle(process_.hThread);
        while (started_ && !std::filesystem::exists(ready_)) {
            if (std::chrono::steady_clock::now() > deadline ||
                ::WaitForSingleObject(process_.hProcess, 2) == WAIT_OBJECT_0) {
                started_ = false;
                break;
            }
        }
#else
        pid_ = ::fork();
        if (pid_ == 0) {
            std::vector<char*> argv;
            for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            ::execv(file.c_str(), argv.data());
            _exit(127);
        }
        const std::string proc = "/proc/" + std::to_string(pid_);
        while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
            std::error_code error;
            const auto exe = std::filesystem::read_symlink(proc + "/exe", error);
            std::ifstream cmdline(proc + "/cmdline", std::ios::binary);
            std::string first;
            std::getline(cmdline, first, '\0');
            if (!error && exe == file && first == args.front()) {
                started_ = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
#endif
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram() {
#ifdef _WIN32
        std::error_code ignored;
        std::filesystem::remove(ready_, ignored);
        if (!process_.hProcess) return;
        ::TerminateProcess(process_.hProcess, 99);
        ::CloseHandle(process_.hProcess);
#else
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
#endif
    }

    bool Started() const { return started_; }
    long long Pid() const {
#ifdef _WIN32
        return process_.dwProcessId;
#else
        return pid_;
#endif
    }

    // Waits up to `timeout` for its end: true when it was killed as the cleaner kills (SIGKILL;
    // on Windows, terminated with exit code 1), not when it ended by itself.
    bool EndsKilled(std::chrono::milliseconds timeout) {
#ifdef _WIN32
        DWORD code = 0;
        return started_ && ::WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0 &&
               ::GetExitCodeProcess(process_.hProcess, &code) && code == 1;
#else
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!Reap()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return killed_;
#endif
    }

    bool Running() {
#ifdef _WIN32
        return started_ && ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
#else
        return started_ && !Reap();
#endif
    }

private:
#ifdef _WIN32
    PROCESS_INFORMATION process_{};
    std::filesystem::path ready_;
#else
    // Whether it has ended, reaping it the first time.
    bool Reap() {
        if (reaped_) return true;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) != pid_) return false;
        reaped_ = true;
        killed_ = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        return true;
    }
    pid_t pid_ = -1;
    bool reaped_ = false;
    bool killed_ = false;
#endif
    bool started_ = false;
};

}  // namespace velquin::testing
