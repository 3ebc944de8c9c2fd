#include "platform/process.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "../../support/running_program.h"

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
        EXPECT_EQ(table->End({pid, "", ""}, nullptr), Error::AccessDenied) << pid;
    }
}

FileIdentity IdentityOf(const fs::path& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return {};
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::optional<ProcessInfo> Listed(ProcessTable& table, long long pid) {
    for (const auto& p : table.List().value_or(std::vector<ProcessInfo>{})) {
        if (p.pid == pid) return p;
    }
    return std::nullopt;
}

// A child that only waits to be ended. It is forked without a new program, so from the first
// moment it is listed with this test program's names and runs this test program's file: nothing
// a loaded machine could still be changing when it is looked at.
pid_t StartWaitingChild() {
    const pid_t child = ::fork();
    if (child == 0) {
        for (;;) ::pause();
    }
    return child;
}

TEST(ProcessTableTest, EndsOnlyTheProcessThatWasListedWhileItRunsTheFileJudged) {
    auto table = OpenSystemProcessTable();
    const pid_t child = StartWaitingChild();
    ASSERT_GT(child, 0);
    const auto listed = Listed(*table, child);
    ProcessImage image;
    const Error described = listed ? table->DescribeImage(*listed, image) : Error::Other;
    ProcessImage other = image;
    other.identity.inode ^= 1;

    // The same pid under other names stands for a process that has since been replaced, and
    // another file for a process that runs something else by now.
    const Error stale = table->End({child, "other.exe", "other.exe"}, nullptr);
    const Error elsewhere = listed ? table->End(*listed, &other) : Error::Other;
    const bool survived = ::kill(child, 0) == 0;
    const Error ended = listed ? table->End(*listed, &image) : Error::Other;
    if (ended != Error::None) ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);

    ASSERT_TRUE(listed.has_value());
    EXPECT_EQ(listed->imageName, "platform_process_test");
    EXPECT_EQ(described, Error::None);
    EXPECT_EQ(image.identity, IdentityOf("/proc/self/exe"));
    EXPECT_EQ(stale, Error::Changed);
    EXPECT_EQ(elsewhere, Error::Changed);
    EXPECT_TRUE(survived);
    EXPECT_EQ(ended, Error::None);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

// Parses the "maps" line of a mapped file for the fixture: its device and inode are the file's own.
std::string MapsLine(const std::string& range, const fs::path& file) {
    struct stat st;
    ::stat(file.c_str(), &st);
    char line[512];
    std::snprintf(line, sizeof line, "%s r--p 00000000 %02x:%02x %llu                         %s\n", range.c_str(),
                  major(st.st_dev), minor(st.st_dev), static_cast<unsigned long long>(st.st_ino), file.c_str());
    return line;
}

TEST(ProcessTableTest, TheFileAProcessRunsIsItsExecutableOrTheMappedProgramItsFirstArgumentNames) {
    TempDir dir;
    const fs::path proc = dir.path() / "proc";
    const fs::path abc = dir.path() / "bin/abc.exe", loader = dir.path() / "bin/wine64",
                   game = dir.path() / "games/game.exe", library = dir.path() / "lib/kernel32.dll";
    for (const auto& file : {abc, loader, game, library}) WriteFile(file, "program " + file.filename().string());
    fs::create_directories(proc / "100");
    fs::create_symlink(abc, proc / "100/exe");
    WriteFile(proc / "100/cmdline", std::string("abc.exe\0", 8));
    // A Windows program under a compatibility layer: its loader is the executable; the program
    // its first argument names, in another case, is mapped.
    fs::create_directories(proc / "300");
    fs::create_symlink(loader, proc / "300/exe");
    WriteFile(proc / "300/cmdline", std::string("Z:\\games\\Game.EXE\0", 18));
    WriteFile(proc / "300/maps", "00400000-00401000 r-xp 00000000 00:00 0 \n" + MapsLine("7f000000-7f001000", library) +
                                    MapsLine("140000000-140001000", game) + "7ffd0000-7ffd1000 rw-p 00000000 00:00 0    [stack]\n");
    // Its first argument names nothing it has mapped: the loader is what it runs.
    fs::create_directories(proc / "301");
    fs::create_symlink(loader, proc / "301/exe");
    WriteFile(proc / "301/cmdline", std::string("other.exe\0", 10));
    WriteFile(proc / "301/maps", MapsLine("7f000000-7f001000", library));
    fs::create_directories(proc / "400");  // a kernel thread: no executable at all
    WriteFile(proc / "400/cmdline", "");
    auto table = OpenSystemProcessTable(proc.string());

    const struct {
        long long pid;
        fs::path runs;
    } cases[] = {{100, abc}, {300, game}, {301, loader}};
    for (const auto& c : cases) {
        const auto listed = Listed(*table, c.pid);
        ASSERT_TRUE(listed.has_value()) << c.pid;
        ProcessImage image;
        ASSERT_EQ(table->DescribeImage(*listed, image), Error::None) << c.pid;
        EXPECT_EQ(image.path, c.runs.string()) << c.pid;
        EXPECT_EQ(image.identity, IdentityOf(c.runs)) << c.pid;
        Error error = Error::Other;
        const File file = table->OpenImage(image, &error);
        EXPECT_EQ(error, Error::None) << c.pid;
        EntryInfo opened;
        ASSERT_EQ(file.Info(opened), Error::None) << c.pid;
        EXPECT_EQ(opened.identity, image.identity) << c.pid;
    }
    ProcessImage none;
    EXPECT_EQ(table->DescribeImage(*Listed(*table, 400), none), Error::NotFound);

    // The mapped program replaced under its name since: what is there now is not opened for it.
    ProcessImage image;
    ASSERT_EQ(table->DescribeImage(*Listed(*table, 300), image), Error::None);
    fs::rename(game, dir.path() / "games/game.old");
    WriteFile(game, "another program");
    Error error = Error::None;
    EXPECT_FALSE(table->OpenImage(image, &error).IsOpen());
    EXPECT_EQ(error, Error::Changed);
}

TEST(ProcessTableTest, TheFileARunningProcessRunsIsReadEvenWhenItHasBeenRemoved) {
    TempDir dir;
    const std::string name = "velq-removed-" + std::to_string(::getpid());
    const fs::path program = dir.path() / name;
    fs::copy_file("/bin/sleep", program);
    fs::permissions(program, fs::perms::owner_all);
    const FileIdentity identity = IdentityOf(program);
    testing::RunningProgram running(program, {name, "30"});
    ASSERT_TRUE(running.Started());
    fs::remove(program);

    auto table = OpenSystemProcessTable();
    const auto listed = Listed(*table, running.Pid());
    ASSERT_TRUE(listed.has_value());
    ProcessImage image;
    EXPECT_EQ(table->DescribeImage(*listed, image), Error::None);
    EXPECT_EQ(image.path, program.string());
    EXPECT_EQ(image.identity, identity);
    EntryInfo opened;
    EXPECT_EQ(table->OpenImage(image, nullptr).Info(opened), Error::None);
    EXPECT_EQ(opened.size, fs::file_size("/bin/sleep"));
}

TEST(ProcessTableTest, AncestorsStartWithTheParent) {
    auto table = OpenSystemProcessTable();
    const auto ancestors = table->AncestorPids();
    ASSERT_FALSE(ancestors.empty());
    EXPECT_EQ(ancestors.front(), static_cast<long long>(::getppid()));
    EXPECT_TRUE(std::find(ancestors.begin(), ancestors.end(), table->SelfPid()) == ancestors.end());
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
