#include "cleaner/process_cleaner.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

namespace velquin::cleaner {
namespace {

using platform::Error;
using platform::ProcessInfo;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A process table in memory. Every call that changes something lands in `events`, next to the
// log lines, so tests see the order of what happened.
class FakeTable : public platform::ProcessTable {
public:
    std::vector<ProcessInfo> processes;
    bool readable = true;
    std::set<long long> refuses;    // End fails for these
    std::set<long long> survives;   // End reports success but the process stays listed
    std::vector<std::string> events;
    long long self = 4242;

    std::optional<std::vector<ProcessInfo>> List() override {
        if (!readable) return std::nullopt;
        return processes;
    }
    Error End(const ProcessInfo& process) override {
        events.push_back("end " + std::to_string(process.pid));
        if (refuses.count(process.pid)) return Error::AccessDenied;
        if (!survives.count(process.pid)) {
            std::erase_if(processes, [&](const ProcessInfo& p) { return p.pid == process.pid; });
        }
        return Error::None;
    }
    void SpawnDetached(const std::vector<std::string>& commandLine) override {
        std::string line = "spawn";
        for (const auto& arg : commandLine) line += " " + arg;
        events.push_back(line);
    }
    long long SelfPid() const override { return self; }

    std::vector<long long> Pids() const {
        std::vector<long long> pids;
        for (const auto& p : processes) pids.push_back(p.pid);
        return pids;
    }
};

std::vector<long long> PidsOf(const std::vector<EndedProcess>& ended) {
    std::vector<long long> pids;
    for (const auto& p : ended) pids.push_back(p.pid);
    return pids;
}

TEST(ProcessCleanerTest, EndsEveryProcessOfTheNameWithoutRegardToCase) {
    FakeTable table;
    table.processes = {
        {10, "abc.exe", "abc.exe"},
        {11, "ABC.EXE", ""},
        {12, "wine64-preloader", "Abc.Exe"},   // a Windows program run by a compatibility layer
        {13, "abcd.exe", "abcd.exe"},
        {14, "xabc.exe", ""},
        {15, "", ""},                           // kernel thread: no names at all
    };
    ProcessCleaner cleaner(table);

    const auto ended = cleaner.TerminateProcessesByName("aBc.exe");

    EXPECT_THAT(PidsOf(ended), ElementsAre(10, 11, 12));
    EXPECT_EQ(ended[2].imageName, "wine64-preloader");
    EXPECT_THAT(table.Pids(), ElementsAre(13, 14, 15));
    EXPECT_EQ(cleaner.IsProcessRunning("ABC.exe"), false);
    EXPECT_EQ(cleaner.IsProcessRunning("ABCD.EXE"), true);
}

TEST(ProcessCleanerTest, NeverEndsItselfOrTheFirstProcess) {
    FakeTable table;
    table.processes = {{0, "abc.exe", ""}, {1, "abc.exe", ""}, {4242, "abc.exe", ""}, {77, "abc.exe", ""}};
    ProcessCleaner cleaner(table);

    EXPECT_THAT(PidsOf(cleaner.TerminateProcessesByName("abc.exe")), ElementsAre(77));
    EXPECT_THAT(table.events, ElementsAre("end 77"));
    // What the cleaner must leave alone is no reason to restart the shell.
    EXPECT_EQ(cleaner.IsProcessRunning("abc.exe"), false);
}

TEST(ProcessCleanerTest, AProcessThatCannotBeEndedDoesNotStopTheOthers) {
    FakeTable table;
    table.processes = {{20, "abc.exe", ""}, {21, "abc.exe", ""}, {22, "abc.exe", ""}};
    table.refuses = {20};
    ProcessCleaner cleaner(table);

    EXPECT_THAT(PidsOf(cleaner.TerminateProcessesByName("abc.exe")), ElementsAre(21, 22));
    EXPECT_THAT(table.events, ElementsAre("end 20", "end 21", "end 22"));
    EXPECT_EQ(cleaner.IsProcessRunning("abc.exe"), true);
}

TEST(ProcessCleanerTest, NamesWithAnApostropheOrQuoteMatchLikeAnyOther) {
    FakeTable table;
    table.processes = {{30, "o'neil.exe", ""}, {31, "o", ""}, {32, "x' or '1'='1", ""}, {33, "abc.exe", ""}};
    ProcessCleaner cleaner(table);

    EXPECT_THAT(PidsOf(cleaner.TerminateProcessesByName("O'Neil.exe")), ElementsAre(30));
    EXPECT_THAT(PidsOf(cleaner.TerminateProcessesByName("x' or '1'='1")), ElementsAre(32));
    EXPECT_THAT(table.Pids(), ElementsAre(31, 33));
}

TEST(ProcessCleanerTest, NothingRunningEndsNothingAndReportsNotRunning) {
    FakeTable table;
    table.processes = {{40, "bash", "bash"}};
    ProcessCleaner cleaner(table);

    EXPECT_THAT(cleaner.TerminateProcessesByName("abc.exe"), IsEmpty());
    EXPECT_EQ(cleaner.IsProcessRunning("abc.exe"), false);
    EXPECT_THAT(cleaner.TerminateProcessesByName(""), IsEmpty());
    EXPECT_THAT(table.events, IsEmpty());
}

TEST(ProcessCleanerTest, UnreadableTableEndsNothingAndHasNoAnswer) {
    FakeTable table;
    table.processes = {{50, "abc.exe", ""}};
    table.readable = false;
    ProcessCleaner cleaner(table);

    EXPECT_THAT(cleaner.TerminateProcessesByName("abc.exe"), IsEmpty());
    EXPECT_EQ(cleaner.IsProcessRunning("abc.exe"), std::nullopt);
    EXPECT_THAT(table.events, IsEmpty());
}

TEST(ProcessCleanerTest, RestartShellLogsEndsEveryShellThenStartsOne) {
    FakeTable table;
    table.processes = {{60, "abc.exe", ""}, {61, "explorer.exe", ""}, {62, "wine", "EXPLORER.EXE"}, {63, "bash", ""}};
    table.survives = {60};
    ProcessCleaner cleaner(table);
    const ProcessCleaner::LogLine log = [&](std::string_view line) { table.events.push_back("log " + std::string(line)); };

    // The sequence a detection runs: terminate, ask again, restart because one survived.
    cleaner.TerminateProcessesByName("abc.exe");
    ASSERT_EQ(cleaner.IsProcessRunning("abc.exe"), true);
    EXPECT_THAT(PidsOf(cleaner.RestartShell("abc.exe", "Trojan.Agent-PCE (03)", log)), ElementsAre(61, 62));

    EXPECT_THAT(table.events, ElementsAre("end 60",
                                          "log Found Qarnix On Process, Restart explorer.exe",
                                          "end 61", "end 62",
                                          "log abc.exe <== Trojan.Agent-PCE (03) Terminated...",
                                          "spawn explorer.exe"));
    EXPECT_THAT(table.Pids(), ElementsAre(60, 63));
}

#ifndef _WIN32
// A real process under a detected-style name: a copy of sleep, started by this test.
TEST(ProcessCleanerTest, EndsARealProcessByItsExecutableName) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("velquin-cleaner-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    // A name of its own, so that tests running beside this one cannot end it or be ended by it.
    const std::string name = "velq" + std::to_string(::getpid()) + ".exe";
    const fs::path image = dir / name;
    fs::copy_file("/bin/sleep", image, fs::copy_options::overwrite_existing);
    fs::permissions(image, fs::perms::owner_all);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::execl(image.c_str(), "sleep", "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    auto table = platform::OpenSystemProcessTable();
    ProcessCleaner cleaner(*table);
    // Wait until the child has replaced itself with the copy.
    for (int i = 0; i < 200 && cleaner.IsProcessRunning(name) != true; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });

    const auto ended = cleaner.TerminateProcessesByName(upper);
    if (ended.empty()) ::kill(child, SIGKILL);  // never leave the child behind on failure

    int status = 0;
    const bool reaped = ::waitpid(child, &status, 0) == child;
    fs::remove_all(dir);
    ASSERT_TRUE(reaped);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0].pid, child);
    EXPECT_EQ(ended[0].imageName, name);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_EQ(cleaner.IsProcessRunning(name), false);
}

#endif

#ifdef _WIN32
std::string TestProgram(const std::string& name) {
    const char* folder = std::getenv("VELQUIN_TEST_BIN");
    return std::string(folder ? folder : "bin") + "/" + name;
}

bool RunningUnderWine() { return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

std::vector<long long> PidsNamed(platform::ProcessTable& table, const std::string& name) {
    std::vector<long long> pids;
    for (const auto& process : table.List().value_or(std::vector<ProcessInfo>{})) {
        if (platform::ProcessHasImageName(process, name)) pids.push_back(process.pid);
    }
    return pids;
}

// A real process under a detected-style name: a copy of a harmless program, started by this test.
TEST(ProcessCleanerTest, EndsARealProcessByItsExecutableName) {
    namespace fs = std::filesystem;
    const std::string self = std::to_string(::GetCurrentProcessId());
    const fs::path dir = fs::temp_directory_path() / ("velquin-cleaner-" + self);
    fs::create_directories(dir);
    // A name of its own, so that tests running beside this one cannot end it or be ended by it.
    const std::string name = "velq" + self + ".exe";
    const fs::path image = dir / name;
    fs::copy_file(TestProgram("velquin-idle.exe"), image, fs::copy_options::overwrite_existing);

    std::wstring commandLine = L"\"" + image.wstring() + L"\" 30";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(::CreateProcessW(image.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                                 nullptr, nullptr, &startup, &child));
    ::CloseHandle(child.hThread);
    auto table = platform::OpenSystemProcessTable();
    ProcessCleaner cleaner(*table);
    for (int i = 0; i < 400 && cleaner.IsProcessRunning(name) != true; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });

    const auto ended = cleaner.TerminateProcessesByName(upper);
    if (ended.empty()) ::TerminateProcess(child.hProcess, 99);  // never leave the child behind on failure
    const bool exited = ::WaitForSingleObject(child.hProcess, 10000) == WAIT_OBJECT_0;
    DWORD code = 0;
    ::GetExitCodeProcess(child.hProcess, &code);
    ::CloseHandle(child.hProcess);
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    ASSERT_TRUE(exited);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0].pid, static_cast<long long>(child.dwProcessId));
    EXPECT_EQ(ended[0].imageName, name);
    EXPECT_EQ(code, 1u);  // ended by the cleaner, not by the program itself or the fallback
    EXPECT_EQ(cleaner.IsProcessRunning(name), false);
}

// Ends the desktop shell of the machine it runs on, so it runs only under Wine, which has one.
TEST(ProcessCleanerTest, RestartShellEndsTheRunningShellAndStartsANewOne) {
    if (!RunningUnderWine()) GTEST_SKIP() << "would end this desktop's shell; runs under Wine only";
    auto table = platform::OpenSystemProcessTable();
    std::vector<long long> before = PidsNamed(*table, "explorer.exe");
    if (before.empty()) {
        // An earlier program of the prefix may have ended its shell: start one to be restarted.
        table->SpawnDetached({"explorer.exe"});
        for (int i = 0; i < 500 && before.empty(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            before = PidsNamed(*table, "explorer.exe");
        }
    }
    if (before.empty()) GTEST_SKIP() << "no explorer.exe could be started";
    ProcessCleaner cleaner(*table);
    std::vector<std::string> log;
    cleaner.RestartShell("abc.exe", "Trojan.Test", [&](std::string_view line) { log.emplace_back(line); });

    EXPECT_THAT(log, ElementsAre("Found Qarnix On Process, Restart explorer.exe", "abc.exe <== Trojan.Test Terminated..."));
    std::vector<long long> after;
    for (int i = 0; i < 500; ++i) {
        after = PidsNamed(*table, "explorer.exe");
        if (!after.empty()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_FALSE(after.empty()) << "no new explorer.exe";
    for (const long long pid : before) {
        EXPECT_EQ(std::count(after.begin(), after.end(), pid), 0) << "explorer.exe " << pid << " still runs";
    }
    // Wine hands every new process the standard error of the one that started it, so the new shell
    // would hold this test's output open and keep the test runner waiting: it is ended again.
    cleaner.TerminateProcessesByName("explorer.exe");
}
#endif

}  // namespace
}  // namespace velquin::cleaner
