#include "platform/process.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace velquin::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::UnorderedElementsAre;

MATCHER_P3(Process, pid, image, command, "") {
    return arg.pid == pid && arg.imageName == image && arg.commandName == command;
}

class TempDir {
public:
    TempDir() : path_(fs::temp_directory_path() / ("velquin-process-" + std::to_string(::getpid()))) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void WriteFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

TEST(ProcessNamesTest, ComparesAsciiCaseInsensitivelyAndSplitsAtBothSeparators) {
    EXPECT_TRUE(SameImageName("ABC.EXE", "abc.exe"));
    EXPECT_FALSE(SameImageName("abc.exe", "abc.exe "));
    EXPECT_FALSE(SameImageName("\xc3\x84.exe", "\xc3\xa4.exe"));  // only ASCII letters fold
    EXPECT_EQ(LastPathComponent("C:\\Windows\\explorer.exe"), "explorer.exe");
    EXPECT_EQ(LastPathComponent("/usr/bin/sleep"), "sleep");
    EXPECT_EQ(LastPathComponent("sleep"), "sleep");
    EXPECT_FALSE(ProcessHasImageName({5, "", ""}, ""));
}

TEST(ProcessTableTest, ListsNamesFromTheExecutableAndTheFirstArgument) {
    TempDir proc;
    const auto& root = proc.path();
    fs::create_directories(root / "100");
    fs::create_symlink("/tmp/x/abc.exe (deleted)", root / "100/exe");
    WriteFile(root / "100/cmdline", std::string("./abc.exe\0--flag\0", 17));
    WriteFile(root / "200/cmdline", std::string("C:\\windows\\explorer.exe\0", 24));  // exe unreadable
    fs::create_directories(root / "300");
    fs::create_symlink("/usr/bin/wine64-preloader", root / "300/exe");
    WriteFile(root / "300/cmdline", std::string("Z:\\games\\Game.EXE\0", 18));
    fs::create_directories(root / "400");  // a kernel thread: no link, empty command line
    WriteFile(root / "400/cmdline", "");
    fs::create_directories(root / "acpi");
    fs::create_symlink("100", root / "self");

    auto table = OpenSystemProcessTable(root.string());
    const auto processes = table->List();

    ASSERT_TRUE(processes.has_value());
    EXPECT_THAT(*processes, UnorderedElementsAre(Process(100, "abc.exe", "abc.exe"),
                                                 Process(200, "", "explorer.exe"),
                                                 Process(300, "wine64-preloader", "Game.EXE"),
                                                 Process(400, "", "")));
}

TEST(ProcessTableTest, MissingTableIsUnreadable) {
    auto table = OpenSystemProcessTable("/nonexistent/velquin-proc");
    EXPECT_EQ(table->List(), std::nullopt);
}

TEST(ProcessTableTest, LiveTableListsThisProcess) {
    auto table = OpenSystemProcessTable();
    const auto processes = table->List();
    ASSERT_TRUE(processes.has_value());
    const auto self = std::find_if(processes->begin(), processes->end(),
                                   [&](const ProcessInfo& p) { return p.pid == table->SelfPid(); });
    ASSERT_NE(self, processes->end());
    EXPECT_EQ(self->imageName, "platform_process_test");
}

TEST(ProcessTableTest, RefusesToEndItselfTheFirstProcessAndInvalidPids) {
    auto table = OpenSystemProcessTable();
    // -1 and 0 would signal every process or the whole group if they ever reached the system.
    for (long long pid : {-1LL, 0LL, 1LL, table->SelfPid()}) {
        EXPECT_EQ(table->End({pid, "", ""}), Error::AccessDenied) << pid;
    }
}

pid_t StartSleeper() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl("/bin/sleep", "sleep", "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

// Waits for the child to show under its new image; a loaded machine can take seconds to exec.
std::optional<ProcessInfo> FindProcess(ProcessTable& table, long long pid) {
    for (int i = 0; i < 2000; ++i) {
        for (const auto& p : table.List().value_or(std::vector<ProcessInfo>{})) {
            if (p.pid == pid && p.imageName == "sleep") return p;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return std::nullopt;
}

TEST(ProcessTableTest, EndsOnlyTheProcessThatWasListed) {
    auto table = OpenSystemProcessTable();
    const pid_t child = StartSleeper();
    ASSERT_GT(child, 0);
    const auto listed = FindProcess(*table, child);

    // The same pid under other names stands for a process that has since been replaced.
    const Error stale = table->End({child, "other.exe", "other.exe"});
    const Error ended = listed ? table->End(*listed) : Error::Other;
    if (ended != Error::None) ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);

    ASSERT_TRUE(listed.has_value());
    EXPECT_EQ(stale, Error::Changed);
    EXPECT_EQ(ended, Error::None);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

std::string ReadWhenComplete(const fs::path& path) {
    for (int i = 0; i < 400; ++i) {
        std::ifstream in(path);
        std::stringstream content;
        content << in.rdbuf();
        if (content.str().find("done") != std::string::npos) return content.str();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return {};
}

TEST(ProcessTableTest, SpawnsDetachedWithoutTerminalAndLeavesNoChild) {
    TempDir dir;
    const fs::path report = dir.path() / "report";
    auto table = OpenSystemProcessTable();
    // The program reports its session, its standard streams and its folder.
    const std::string script =
        "{ cut -d' ' -f6 /proc/$$/stat; readlink /proc/$$/fd/0 /proc/$$/fd/2; pwd; echo done; } > \"$1\"";

    table->SpawnDetached({"sh", "-c", script, "sh", report.string()});
    std::istringstream lines(ReadWhenComplete(report));

    std::string session, in, err, folder;
    lines >> session >> in >> err >> folder;
    EXPECT_NE(session, std::to_string(::getsid(0)));
    EXPECT_EQ(in, "/dev/null");
    EXPECT_EQ(err, "/dev/null");
    EXPECT_EQ(folder, "/");
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(ProcessTableTest, AProgramThatCannotStartIsSilent) {
    auto table = OpenSystemProcessTable();
    table->SpawnDetached({"velquin-no-such-program.exe"});
    table->SpawnDetached({});
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

}  // namespace
}  // namespace velquin::platform
