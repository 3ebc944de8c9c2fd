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
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <thread>

#include "../engine/test_tree.h"
#include "../support/running_program.h"

namespace velquin::cleaner {
namespace {

using platform::Error;
using platform::ProcessInfo;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The programs processes run, as real files, so that they can be opened and compared.
class Programs {
public:
    platform::ProcessImage Add(const std::string& name, const std::string& content) {
        const std::string path = tree_.Write(name, content);
        platform::EntryInfo info;
        platform::Folder::Open(tree_.Root()).EntryInfoOf(name.c_str(), info);
        return {path, info.identity, name};
    }
    platform::File Open(const platform::ProcessImage& image) const {
        return platform::Folder::Open(tree_.Root()).OpenFile(image.source.c_str());
    }

private:
    testing::TestTree tree_;
};

// Whether an open file holds `content`: the tests' stand-in for "has the detected file's fingerprint".
bool Holds(const platform::File& file, const std::string& content) {
    platform::EntryInfo info;
    if (file.Info(info) != Error::None || info.size != content.size()) return false;
    std::string bytes(content.size(), '\0');
    return file.ReadAt(0, {reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()}) == Error::None &&
           bytes == content;
}

// A process table in memory over real program files. Every call that changes something lands in
// `events`, next to the log lines, so tests see the order of what happened.
class FakeTable : public platform::ProcessTable {
public:
    explicit FakeTable(const Programs& programs) : programs_(programs) {}

    std::vector<ProcessInfo> processes;
    std::map<long long, platform::ProcessImage> images;  // no image: the process may not be inspected
    bool readable = true;
    std::set<long long> refuses;    // End fails for these
    std::set<long long> survives;   // End reports success but the process stays listed
    std::vector<long long> ancestors;
    std::function<void(long long)> onEnd = [](long long) {};
    std::vector<std::string> events;
    long long self = 4242;

    std::optional<std::vector<ProcessInfo>> List() override {
        if (!readable) return std::nullopt;
        return processes;
    }
    Error DescribeImage(const ProcessInfo& process, platform::ProcessImage& out) override {
        const auto found = images.find(process.pid);
        if (found == images.end()) return Error::AccessDenied;
        out = found->second;
        return Error::None;
    }
    platform::File OpenImage(const platform::ProcessImage& image, Error* error) override {
        platform::File file = programs_.Open(image);
        platform::EntryInfo info;
        *error = !file.IsOpen() ? Error::NotFound
                 : file.Info(info) == Error::None && info.identity == image.identity ? Error::None
                                                                                     : Error::Changed;
        return *error == Error::None ? std::move(file) : platform::File();
    }
    Error End(const ProcessInfo& process, const platform::ProcessImage* image) override {
        events.push_back("end " + std::to_string(process.pid) + (image ? " running " + image->source : ""));
        if (refuses.count(process.pid)) return Error::AccessDenied;
        if (!survives.count(process.pid)) {
            std::erase_if(processes, [&](const ProcessInfo& p) { return p.pid == process.pid; });
        }
        onEnd(process.pid);
        return Error::None;
    }
    std::vector<long long> AncestorPids() override { return ancestors; }
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

private:
    const Programs& programs_;
};

const std::string kSample = "the detected sample";

// A detected file "abc.exe", the program files that processes of that name may run, and a table.
struct CleanerFixture {
    Programs programs;
    platform::ProcessImage detected = programs.Add("abc.exe", kSample);
    platform::ProcessImage copy = programs.Add("copy-elsewhere.exe", kSample);
    platform::ProcessImage harmless = programs.Add("harmless.exe", "a harmless program");
    FakeTable table{programs};
    std::vector<std::string> log;
    ProcessCleaner cleaner{table};

    TargetImage Target(std::string_view name = "abc.exe") const {
        return {name, detected.identity, [](const platform::File& file) { return Holds(file, kSample); }};
    }
    ProcessCleaner::LogLine Log() {
        return [this](std::string_view line) {
            log.emplace_back(line);
            table.events.push_back("log " + std::string(line));
        };
    }
};

std::vector<long long> PidsOf(const std::vector<ProcessOutcome>& outcomes, ProcessFate fate) {
    std::vector<long long> pids;
    for (const auto& p : outcomes) {
        if (p.fate == fate) pids.push_back(p.pid);
    }
    return pids;
}

// Every way a process of the detected name can fare, in one table.
TEST(ProcessCleanerTest, EndsOnlyTheProcessesThatRunTheDetectedFileOrACopyOfIt) {
    CleanerFixture f;
    const platform::ProcessImage gone{f.programs.Add("gone.exe", kSample)};
    std::filesystem::remove(gone.path);
    const struct {
        ProcessInfo process;
        const platform::ProcessImage* image;
        ProcessFate fate;
        const char* line;  // the log line after "Process ... left running: "
    } cases[] = {
        {{10, "abc.exe", "abc.exe"}, &f.detected, ProcessFate::Ended, ""},
        {{11, "ABC.EXE", ""}, &f.copy, ProcessFate::Ended, ""},  // a running copy, elsewhere
        {{12, "wine64-preloader", "Abc.Exe"}, &f.detected, ProcessFate::Ended, ""},  // under a compatibility layer
        {{13, "abc.exe", "abc.exe"}, &f.harmless, ProcessFate::RunsOtherFile, "it runs %harmless, neither the detected file nor a copy of it"},
        {{14, "abc.exe", "abc.exe"}, nullptr, ProcessFate::Uninspectable, "the file it runs cannot be read (permission denied)"},
        {{15, "abc.exe", "abc.exe"}, &gone, ProcessFate::Uninspectable, "the file it runs cannot be read (no such file or folder)"},
        {{16, "abc.exe", "abc.exe"}, &f.detected, ProcessFate::NotEnded, "it runs the detected file %detected, but could not be ended (permission denied)"},
        {{17, "abc.exe", "abc.exe"}, &f.copy, ProcessFate::NotEnded, "it runs %copy, a copy of the detected file, but could not be ended (permission denied)"},
        {{1, "abc.exe", ""}, &f.detected, ProcessFate::IsFirstProcess, "it is the system's first process"},
        {{4242, "abc.exe", ""}, &f.detected, ProcessFate::IsScanner, "it is this scanner"},
        {{900, "abc.exe", ""}, &f.detected, ProcessFate::StartedScanner, "this scanner was started from it"},
    };
    for (const auto& c : cases) {
        f.table.processes.push_back(c.process);
        if (c.image) f.table.images[c.process.pid] = *c.image;
    }
    f.table.processes.push_back({20, "abcd.exe", "abcd.exe"});  // other names are never looked at
    f.table.processes.push_back({21, "", ""});                  // a kernel thread
    f.table.refuses = {16, 17};
    f.table.ancestors = {900, 1};

    const auto outcomes = f.cleaner.TerminateProcessesByName(f.Target("aBc.exe"), f.Log());

    ASSERT_EQ(outcomes.size(), std::size(cases));
    std::vector<std::string> expectedLog;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.process.pid);
        EXPECT_EQ(outcomes[i].pid, c.process.pid);
        EXPECT_EQ(outcomes[i].fate, c.fate);
        if (c.fate == ProcessFate::Ended) continue;
        std::string line = c.line;
        for (const auto& [mark, path] : {std::pair{"%harmless", f.harmless.path}, std::pair{"%detected", f.detected.path},
                                         std::pair{"%copy", f.copy.path}}) {
            if (const auto at = line.find(mark); at != std::string::npos) line.replace(at, std::strlen(mark), path);
        }
        expectedLog.push_back("Process " + outcomes[i].imageName + " (pid " + std::to_string(c.process.pid) +
                              ") left running: " + line);
    }
    EXPECT_EQ(outcomes[2].imageName, "Abc.Exe");  // found by the name of the program it runs
    EXPECT_TRUE(outcomes[1].runsCopy);
    EXPECT_EQ(outcomes[1].imagePath, f.copy.path);
    EXPECT_EQ(f.log, expectedLog);
    // Each is ended only while it still runs the file judged.
    EXPECT_THAT(f.table.events, ::testing::Contains("end 10 running abc.exe"));
    EXPECT_THAT(f.table.events, ::testing::Contains("end 11 running copy-elsewhere.exe"));
    EXPECT_THAT(f.table.Pids(), ElementsAre(13, 14, 15, 16, 17, 1, 4242, 900, 20, 21));
}

TEST(ProcessCleanerTest, OnlyASurvivorThatRunsTheDetectedFileCountsAsRunning) {
    CleanerFixture f;
    f.table.processes = {{30, "abc.exe", ""}, {31, "abc.exe", ""}, {32, "abc.exe", ""}, {4242, "abc.exe", ""}};
    f.table.images = {{30, f.harmless}, {32, f.copy}, {4242, f.detected}};  // 31 cannot be inspected
    EXPECT_EQ(f.cleaner.IsProcessRunning(f.Target()), true);
    f.table.processes.erase(f.table.processes.begin() + 2);
    // Left: a harmless program, one that cannot be inspected, and the scanner itself.
    EXPECT_EQ(f.cleaner.IsProcessRunning(f.Target()), false);
    f.table.readable = false;
    EXPECT_EQ(f.cleaner.IsProcessRunning(f.Target()), std::nullopt);
    EXPECT_THAT(f.cleaner.TerminateProcessesByName(f.Target(), f.Log()), IsEmpty());
    EXPECT_THAT(f.table.events, IsEmpty());
}

TEST(ProcessCleanerTest, NamesWithAnApostropheOrQuoteMatchLikeAnyOther) {
    CleanerFixture f;
    f.table.processes = {{30, "o'neil.exe", ""}, {31, "o", ""}, {32, "x' or '1'='1", ""}, {33, "abc.exe", ""}};
    for (long long pid : {30, 31, 32, 33}) f.table.images[pid] = f.detected;

    EXPECT_THAT(PidsOf(f.cleaner.TerminateProcessesByName(f.Target("O'Neil.exe"), f.Log()), ProcessFate::Ended),
                ElementsAre(30));
    EXPECT_THAT(PidsOf(f.cleaner.TerminateProcessesByName(f.Target("x' or '1'='1"), f.Log()), ProcessFate::Ended),
                ElementsAre(32));
    EXPECT_THAT(f.table.Pids(), ElementsAre(31, 33));
    EXPECT_THAT(f.cleaner.TerminateProcessesByName(f.Target(""), f.Log()), IsEmpty());
}

// The shell restart's own lines, and "Terminated..." only for a process that really ended: one
// that was about to exit is gone once the shells have been ended; one that stays is not.
TEST(ProcessCleanerTest, RestartShellSaysTerminatedOnlyWhenTheSurvivorIsGone) {
    for (const bool exitsMeanwhile : {true, false}) {
        SCOPED_TRACE(exitsMeanwhile ? "exits meanwhile" : "stays");
        CleanerFixture f;
        f.table.processes = {{60, "abc.exe", ""}, {61, "explorer.exe", ""}, {62, "wine", "EXPLORER.EXE"},
                             {63, "bash", ""}, {4242, "explorer.exe", ""}};
        f.table.images = {{60, f.detected}};
        f.table.survives = {60};
        f.table.onEnd = [&](long long pid) {
            if (exitsMeanwhile && pid == 62) std::erase_if(f.table.processes, [](const ProcessInfo& p) { return p.pid == 60; });
        };

        // The sequence a detection runs: terminate, ask again, restart because one survived.
        f.cleaner.TerminateProcessesByName(f.Target(), f.Log());
        ASSERT_EQ(f.cleaner.IsProcessRunning(f.Target()), true);
        const auto outcomes = f.cleaner.RestartShell(f.Target(), "Trojan.Agent-PCE (03)", f.Log());

        EXPECT_THAT(PidsOf(outcomes, ProcessFate::Ended), ElementsAre(61, 62));
        EXPECT_THAT(PidsOf(outcomes, ProcessFate::NotEnded), exitsMeanwhile ? std::vector<long long>{}
                                                                            : std::vector<long long>{60});
        EXPECT_THAT(f.table.events,
                    ElementsAre("end 60 running abc.exe", "log Found Qarnix On Process, Restart explorer.exe",
                                "end 61", "end 62",
                                exitsMeanwhile ? "log abc.exe <== Trojan.Agent-PCE (03) Terminated..."
                                               : "log abc.exe <== Trojan.Agent-PCE (03) Not Terminated...",
                                "spawn explorer.exe"));
    }
}

#ifdef _WIN32
std::string TestProgram(const std::string& name) {
    const char* folder = std::getenv("VELQUIN_TEST_BIN");
    return std::string(folder ? folder : "bin") + "/" + name;
}
#endif

std::string ContentOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Real processes of one name: one runs the detected file, one a copy of it elsewhere, one an
// unrelated program that merely has the name. The name is this test's own, so that no other
// process of the machine can be ended by it.
TEST(ProcessCleanerTest, EndsRealProcessesOfTheDetectedFileAndItsCopiesOnly) {
    namespace fs = std::filesystem;
    testing::TestTree tree;
    const std::string name = "velq" + std::to_string(platform::OpenSystemProcessTable()->SelfPid()) + ".exe";
    const fs::path detected = tree.Path("t/" + name), copy = tree.Path("elsewhere/" + name),
                   unrelated = tree.Path("other/" + name);
#ifdef _WIN32
    // Windows has no program every system carries: the unrelated one is the idle program with a
    // byte more, which is no copy to this test.
    const std::string sample = TestProgram("velquin-idle.exe"), other = sample;
    const std::vector<std::string> sampleArgs = {name, "30"}, otherArgs = sampleArgs;
#else
    const std::string sample = "/bin/sleep", other = "/usr/bin/tail";
    const std::vector<std::string> sampleArgs = {name, "30"}, otherArgs = {name, "-f", "/dev/null"};
#endif
    for (const auto& [file, program] : {std::pair{detected, sample}, std::pair{copy, sample}, std::pair{unrelated, other}}) {
        fs::create_directories(file.parent_path());
        fs::copy_file(program, file);
        fs::permissions(file, fs::perms::owner_all);
    }
    std::ofstream(unrelated, std::ios::binary | std::ios::app) << '\0';
    testing::RunningProgram fromDetected(detected, sampleArgs), fromCopy(copy, sampleArgs),
        fromUnrelated(unrelated, otherArgs);
    ASSERT_TRUE(fromDetected.Started() && fromCopy.Started() && fromUnrelated.Started());

    auto table = platform::OpenSystemProcessTable();
    ProcessCleaner cleaner(*table);
    platform::EntryInfo info;
    const platform::Folder folder = platform::Folder::Open(tree.Path("t"));
    platform::NameList names;
    folder.ListNames(names);
    folder.EntryInfoOf(name.c_str(), info);
    const std::string content = ContentOf(detected);
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    const TargetImage target{upper, info.identity, [&](const platform::File& file) { return Holds(file, content); }};
    std::vector<std::string> log;
    const auto outcomes = cleaner.TerminateProcessesByName(target, [&](std::string_view line) { log.emplace_back(line); });

    std::map<long long, ProcessFate> fates;
    for (const auto& outcome : outcomes) fates[outcome.pid] = outcome.fate;
    EXPECT_EQ(fates, (std::map<long long, ProcessFate>{{fromDetected.Pid(), ProcessFate::Ended},
                                                       {fromCopy.Pid(), ProcessFate::Ended},
                                                       {fromUnrelated.Pid(), ProcessFate::RunsOtherFile}}));
    EXPECT_TRUE(fromDetected.EndsKilled(std::chrono::seconds(30)));
    EXPECT_TRUE(fromCopy.EndsKilled(std::chrono::seconds(30)));
    EXPECT_TRUE(fromUnrelated.Running());
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(log[0].starts_with("Process " + name + " (pid " + std::to_string(fromUnrelated.Pid()) + ") left running: it runs "));
    EXPECT_TRUE(log[0].ends_with(name + ", neither the detected file nor a copy of it")) << log[0];
    EXPECT_EQ(cleaner.IsProcessRunning(target), false);
}

#ifdef _WIN32

bool RunningUnderWine() { return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

std::vector<long long> PidsNamed(platform::ProcessTable& table, const std::string& name) {
    std::vector<long long> pids;
    for (const auto& process : table.List().value_or(std::vector<ProcessInfo>{})) {
        if (platform::ProcessHasImageName(process, name)) pids.push_back(process.pid);
    }
    return pids;
}

// Ends the desktop shell of the machine it runs on, so it runs only under Wine, which has one.
TEST(ProcessCleanerTest, RestartShellEndsTheRunningShellAndStartsANewOne) {
    if (!RunningUnderWine()) GTEST_SKIP() << "would end this desktop's shell; runs under Wine only";
    auto table = platform::OpenSystemProcessTable();
    // Waits for a shell other than `old` (a deadline only bounds a failure on a loaded machine).
    const auto shellsBesides = [&](const std::vector<long long>& old) {
        std::vector<long long> shells;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            shells = PidsNamed(*table, "explorer.exe");
            std::erase_if(shells, [&](long long pid) { return std::count(old.begin(), old.end(), pid) > 0; });
            if (!shells.empty()) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return shells;
    };
    // Wine hands every new process the standard error of the one that started it, so a new shell
    // would hold this test's output open and keep the test runner waiting: it is ended again,
    // whatever the test saw.
    struct EndShells {
        platform::ProcessTable& table;
        ~EndShells() {
            for (const auto& process : table.List().value_or(std::vector<ProcessInfo>{})) {
                if (platform::ProcessHasImageName(process, "explorer.exe")) table.End(process, nullptr);
            }
        }
    } endShells{*table};
    std::vector<long long> before = PidsNamed(*table, "explorer.exe");
    // An earlier program of the prefix may have ended its shell: start one to be restarted.
    if (before.empty()) {
        table->SpawnDetached({"explorer.exe"});
        before = shellsBesides({});
    }
    if (before.empty()) GTEST_SKIP() << "no explorer.exe could be started";
    ProcessCleaner cleaner(*table);
    std::vector<std::string> log;
    cleaner.RestartShell({"abc.exe", {}, {}}, "Trojan.Test", [&](std::string_view line) { log.emplace_back(line); });

    EXPECT_THAT(log, ElementsAre("Found Qarnix On Process, Restart explorer.exe", "abc.exe <== Trojan.Test Terminated..."));
    EXPECT_FALSE(shellsBesides(before).empty()) << "no new explorer.exe";
    const std::vector<long long> after = PidsNamed(*table, "explorer.exe");
    for (const long long pid : before) {
        EXPECT_EQ(std::count(after.begin(), after.end(), pid), 0) << "explorer.exe " << pid << " still runs";
    }
}
#endif

}  // namespace
}  // namespace velquin::cleaner
