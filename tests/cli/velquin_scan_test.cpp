// velquin-scan as a user runs it: arguments in, text, JSON and exit status out.

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "../engine/test_tree.h"
#include "../support/running_program.h"
#ifndef _WIN32
#include "../support/unprivileged.h"
#endif
#include "engine/fingerprint.h"
#include "platform/process.h"
#include "platform/date_time.h"

namespace velquin {
namespace {
using testing::kWorm;
using testing::kWormDatabase;

using testing::Native;

std::string Bin(const std::string& program) {
    const char* folder = std::getenv("VELQUIN_TEST_BIN");
#ifdef _WIN32
    return std::filesystem::absolute(std::string(folder ? folder : "bin") + "/" + program + ".exe").string();
#else
    return std::string(folder ? folder : "bin") + "/" + program;
#endif
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A text file as the program wrote it, read back with "\n" line ends.
std::string ReadText(const std::string& path) {
    std::string text = ReadAll(path);
#ifdef _WIN32
    std::erase(text, '\r');
#endif
    return text;
}

struct Outcome {
    int status = -1;
    std::string out, err;
};

#ifdef _WIN32
std::wstring Wide(const std::string& text) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// One argument as the C runtime splits it back.
void AppendArgument(std::wstring& line, const std::wstring& argument) {
    if (!line.empty()) line += L' ';
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

// Text as Windows programs write it, with "\r\n" line ends, read back with "\n".
std::string WithoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

// Starts a program with its output going to files and waits for it.
Outcome Execute(const std::vector<std::string>& args, const testing::TestTree& tree) {
    const std::string outPath = tree.Path("stdout.txt"), errPath = tree.Path("stderr.txt");
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE out = ::CreateFileW(Wide(outPath).c_str(), GENERIC_WRITE, share, &inherited, CREATE_ALWAYS, 0, nullptr);
    const HANDLE err = ::CreateFileW(Wide(errPath).c_str(), GENERIC_WRITE, share, &inherited, CREATE_ALWAYS, 0, nullptr);
    const HANDLE none = ::CreateFileW(L"NUL", GENERIC_READ, share, &inherited, OPEN_EXISTING, 0, nullptr);
    std::wstring line;
    for (const std::string& arg : args) AppendArgument(line, Wide(arg));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = none;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION child{};
    Outcome run;
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                         &child)) {
        ::WaitForSingleObject(child.hProcess, INFINITE);
        DWORD code = 0;
        ::GetExitCodeProcess(child.hProcess, &code);
        run.status = static_cast<int>(code);
        ::CloseHandle(child.hThread);
        ::CloseHandle(child.hProcess);
    }
    ::CloseHandle(out);
    ::CloseHandle(err);
    ::CloseHandle(none);
    run.out = WithoutCarriageReturns(ReadAll(outPath));
    run.err = WithoutCarriageReturns(ReadAll(errPath));
    return run;
}
#else
// Starts a program with its output going to files (standard output to `stdoutPath` when one is
// given); `whileRunning` gets its pid.
Outcome Execute(const std::vector<std::string>& args, const testing::TestTree& tree,
                const std::function<void(pid_t, const std::string&)>& whileRunning = {},
                const std::string& stdoutPath = {}) {
    const std::string outPath = stdoutPath.empty() ? tree.Path("stdout.txt") : stdoutPath;
    const std::string errPath = tree.Path("stderr.txt");
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int none = open("/dev/null", O_RDONLY);
        dup2(out, 1);
        dup2(err, 2);
        dup2(none, 0);
        std::vector<char*> argv;
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (whileRunning) whileRunning(child, outPath);
    int status = 0;
    waitpid(child, &status, 0);
    Outcome run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (stdoutPath.empty()) run.out = ReadAll(outPath);
    run.err = ReadAll(errPath);
    return run;
}
#endif

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool HasLine(const std::string& text, const std::string& line) {
    const auto lines = Lines(text);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(VelquinScanTest, FingerprintAndLookup) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    const std::string worm = tree.Write("worm.bin", kWorm);
    const std::string small = tree.Write("small.bin", "tiny");
    const std::string overflow = tree.Write("overflow.bin", std::string(700, '\xFF'));

    Outcome run = Execute({Bin("velquin-scan"), "--fingerprint", worm, small, overflow}, tree);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(Lines(run.out), (std::vector<std::string>{"CACA79914R102910492019018 " + worm,
                                                        "0079914R102910492019018 " + small,
                                                        "- " + overflow}));
    EXPECT_NE(run.err.find(overflow), std::string::npos);

    run = Execute({Bin("velquin-scan"), "--database", db, "--lookup", "CACA79914R102910492019018"}, tree);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Worm.Test\n");
    run = Execute({Bin("velquin-scan"), "-d", db, "--lookup", "caca79914R102910492019018"}, tree);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
}

TEST(VelquinScanTest, UnreadableOrMalformedDatabaseIsReportedOnce) {
    testing::TestTree tree;
    const std::string missing = tree.Path("nowhere/database.db");
    Outcome run = Execute({Bin("velquin-scan"), "-d", missing, tree.Root()}, tree);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(missing), std::string::npos);
    EXPECT_EQ(run.out, "");  // nothing is scanned with a list that cannot be read

    const std::string db = tree.Write("database.db", "no colon\r\n" + kWormDatabase.substr(0, 35) +
                                                         "\r\nsecond bad\r\nFinish:Finish\r\n");
    tree.Write("t/worm.bin", kWorm);
    run = Execute({Bin("velquin-scan"), "-d", db, "--dry-run", tree.Path("t")}, tree);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find("lines 1, 3"), std::string::npos) << run.err;

    // A record without a name is named too, and the record of its key behind it still detects.
    const std::string nameless = tree.Write("nameless.db", "CACA79914R102910492019018:\r\n" + kWormDatabase);
    run = Execute({Bin("velquin-scan"), "-d", nameless, "--dry-run", tree.Path("t")}, tree);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find("empty key or name, skipped: line 1"), std::string::npos) << run.err;

    run = Execute({Bin("velquin-scan"), "--bogus"}, tree);
    EXPECT_EQ(run.status, 2);
    run = Execute({Bin("velquin-scan"), "-d", db}, tree);
    EXPECT_EQ(run.status, 2);
}

// Runs whose outcome is no clean scan: each says what it is, in its status, on stderr, and by
// what it leaves out of standard output.
TEST(VelquinScanTest, EachOutcomeHasItsOwnStatusAndMessage) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    const std::string empty = tree.Write("empty.db", "Finish:Finish\r\n");
    const std::string worm = tree.Write("t/worm.exe", kWorm);
    const std::string absent = tree.Path("absent");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;                   // a part of stderr
        std::vector<std::string> outHas;   // lines of stdout
        std::vector<std::string> outLacks;
    };
    const Case cases[] = {
        {{"-d", empty, tree.Path("t")}, 2, empty + " holds no signature record", {}, {"Scanning Completed"}},
        {{"-d", empty, "--lookup", "CACA79914R102910492019018"}, 2, empty + " holds no signature record", {}, {}},
        {{"-d", db, absent}, 2, "cannot scan " + absent + ": no such file or folder", {}, {"Scanning Completed"}},
        {{"-d", db, "-n", tree.Path("t"), absent},
         2,
         "cannot scan " + absent,
         {"Path Scanned : " + tree.Path("t"), "Total Path Scanned : 1 of 2"},
         {"Path Scanned : " + absent}},
        {{"-d", db, "-n", worm}, 1, "", {worm + " <== Worm.Test Detected...", "File Scanned : 1", "Folder Scanned : 0"}, {}},
        {{"-d", db, "-n", "-x", tree.Path("t")}, 1, "", {"Scanning Completed"}, {}},
        {{"--json", tree.Path("f.json"), "--fingerprint", worm}, 2, "--json applies to scans and restores only", {}, {}},
        {{"--log", tree.Path("l.txt"), "-d", db, "--lookup", "CACA79914R102910492019018"}, 2, "--log applies to scans only", {}, {}},
        {{"--exclude", "*.exe", "--restore", tree.Path("q")}, 2, "--exclude applies to scans only", {}, {}},
        {{"-d", db, "--exclude", "", tree.Path("t")}, 2, "an empty GLOB", {}, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {Bin("velquin-scan")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome run = Execute(args, tree);
        std::string shown;
        for (const std::string& arg : c.args) shown += " " + arg;
        EXPECT_EQ(run.status, c.status) << shown << "\n" << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << shown << "\n" << run.err;
        for (const std::string& line : c.outHas) EXPECT_TRUE(HasLine(run.out, line)) << shown << ": " << line;
        for (const std::string& line : c.outLacks) EXPECT_FALSE(HasLine(run.out, line)) << shown << ": " << line;
        if (c.status == 2 && c.outHas.empty()) {
            EXPECT_EQ(run.out, "") << shown;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(tree.Path("f.json")));
    EXPECT_FALSE(std::filesystem::exists(tree.Path("l.txt")));
    EXPECT_TRUE(std::filesystem::exists(worm));
}

TEST(VelquinScanTest, HelpAndVersionNameTheProgram) {
    testing::TestTree tree;
    const Outcome help = Execute({Bin("velquin-scan"), "--help"}, tree);
    EXPECT_EQ(help.status, 0);
    const auto lines = Lines(help.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "Usage: velquin-scan [options] PATH...");  // not the path it was started by
    for (const char* group : {"Scanning:", "Actions:", "Reports:", "Look-ups:"}) EXPECT_TRUE(HasLine(help.out, group)) << group;
    for (const char* clutter : {"Excludes", "TEXT", "REQUIRED", "Positionals"}) {
        EXPECT_EQ(help.out.find(clutter), std::string::npos) << clutter;
    }
    EXPECT_NE(help.out.find("130"), std::string::npos);
    for (const char* flag : {"-V", "--version"}) {
        const Outcome version = Execute({Bin("velquin-scan"), flag}, tree);
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.out, "velquin-scan " VELQUIN_VERSION "\n") << flag;
    }
}

TEST(VelquinScanTest, ExcludeIsRepeatableCountedAndLeavesPathsToScan) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    const std::string image = tree.Write("t/image.iso", kWorm);
    const std::string cached = tree.Write("t/cache/worm.exe", kWorm);
    tree.Write("t/seen.exe", kWorm);
    const Outcome run = Execute({Bin("velquin-scan"), "-d", db, "--exclude", "*.iso", tree.Path("t"), "--exclude",
                                 "cache/", "--json", tree.Path("r.json")},
                                tree);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(HasLine(run.out, "File Excluded : 2"));
    EXPECT_TRUE(HasLine(run.out, "File Scanned : 1"));
    EXPECT_TRUE(std::filesystem::exists(image) && std::filesystem::exists(cached));
    const nlohmann::json report = nlohmann::json::parse(ReadAll(tree.Path("r.json")));
    EXPECT_EQ(report["scans"][0]["entriesExcluded"], 2);
}

TEST(VelquinScanTest, LogFileGetsTheTextReportAppended) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    tree.Write("t/worm.exe", kWorm);
    const std::string log = tree.Path("scan.log");
    const Outcome first = Execute({Bin("velquin-scan"), "-d", db, "-n", "--log", log, tree.Path("t")}, tree);
    EXPECT_EQ(first.status, 1);
    EXPECT_EQ(ReadText(log), first.out);
    // With the JSON on standard output, the file still gets the text.
    const Outcome second = Execute({Bin("velquin-scan"), "-d", db, "-n", "--log", log, "--json", "-", tree.Path("t")}, tree);
    EXPECT_EQ(second.status, 1);
    EXPECT_TRUE(nlohmann::json::accept(second.out));
    const std::string both = ReadText(log);
    EXPECT_TRUE(both.starts_with(first.out));
    const auto lines = Lines(both);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Scanning Completed"), 2);

    const Outcome unwritable = Execute({Bin("velquin-scan"), "-d", db, "-n", "--log", tree.Path("no/such/scan.log"), tree.Path("t")}, tree);
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_NE(unwritable.err.find("cannot open the log file"), std::string::npos);
    EXPECT_EQ(unwritable.out, "");  // refused before anything is scanned
}

// A copy of the program in PREFIX/bin finds its list beside it or in PREFIX/share/velquin, and
// names both places when neither holds one.
TEST(VelquinScanTest, FindsItsListBesideItOrInTheDataFolder) {
    testing::TestTree tree;
    const std::string program = Bin("velquin-scan");
    const std::string copy = tree.Folder("prefix/bin") + Native("/") + std::filesystem::path(program).filename().string();
    std::filesystem::copy_file(program, copy);
    tree.Write("t/worm.bin", kWorm);

    Outcome run = Execute({copy, "--dry-run", tree.Path("t")}, tree);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(tree.Path("prefix/bin/database.db") + ", then " +
                           tree.Path("prefix/share/velquin/database.db")), std::string::npos) << run.err;

    tree.Write("prefix/share/velquin/database.db", kWormDatabase);
    run = Execute({copy, "--dry-run", tree.Path("t")}, tree);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(HasLine(run.out, tree.Path("t/worm.bin") + " <== Worm.Test Detected..."));

    // Beside the program comes first: a list there that does not name the worm.
    tree.Write("prefix/bin/database.db", "ABCD79914R102910492019018:Other.Test\r\nFinish:Finish\r\n");
    run = Execute({copy, "--dry-run", tree.Path("t")}, tree);
    EXPECT_EQ(run.status, 0) << run.err;

    run = Execute({copy, "--dry-run", "-d", "", tree.Path("t")}, tree);  // never the default list
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
}

TEST(VelquinScanTest, ScansTheDemoTreeWithTheShippedDatabase) {
    testing::TestTree tree;
    const std::string demo = tree.Path("demo");
    ASSERT_EQ(Execute({Bin("velquin-demo"), "tree", demo}, tree).status, 0);

    const std::string before = platform::ShortDateAndTimeNow();
    Outcome dry = Execute({Bin("velquin-scan"), "--dry-run", demo}, tree);
    const std::string after = platform::ShortDateAndTimeNow();
    EXPECT_EQ(dry.status, 1);
    // The date and time as the window writes them, from the same locale.
    EXPECT_TRUE(HasLine(dry.out, "Latest Scanned : " + before) || HasLine(dry.out, "Latest Scanned : " + after))
        << dry.out;
    EXPECT_EQ(dry.out.find("Total "), std::string::npos);  // one PATH: no totals
    const auto lines = Lines(dry.out);
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 8),
              (std::vector<std::string>{"Orvanta Velquin W32.Spy-Qarnix", "Path Scanned : " + demo,
                                        "Status : Scanning", " ", "Fix Registry...",
                                        "HKCU\\Software\\Microsoft\\Windows\\Currentversion\\Run", " ",
                                        "Scanning Directory and File..."}));
    EXPECT_TRUE(HasLine(dry.out, demo + Native("/Documents/invoice-viewer.exe") + " <== Trojan.Qarnix-YS (01) Detected..."));
    EXPECT_TRUE(HasLine(dry.out, "Virus Detected : 5"));
    EXPECT_TRUE(HasLine(dry.out, "File Removed : 0"));
    EXPECT_TRUE(std::filesystem::exists(demo + Native("/Downloads/setup-helper.exe")));

    Outcome clean = Execute({Bin("velquin-scan"), demo}, tree);
    EXPECT_EQ(clean.status, 1);
    EXPECT_TRUE(HasLine(clean.out, demo + Native("/Downloads/setup-helper.exe") + " <== Trojan.Agent-PCE (03) Cleaned..."));
    EXPECT_TRUE(HasLine(clean.out, "File Removed : 5"));
    EXPECT_TRUE(HasLine(clean.out, "Scanning Completed"));
    EXPECT_FALSE(std::filesystem::exists(demo + Native("/Downloads/setup-helper.exe")));
    EXPECT_TRUE(std::filesystem::exists(demo + Native("/Documents/notes.txt")));

    Outcome again = Execute({Bin("velquin-scan"), "--quiet", demo}, tree);
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(Lines(again.out).front(), " ");  // no header when quiet
    EXPECT_TRUE(HasLine(again.out, "Virus Detected : 0"));
}

TEST(VelquinScanTest, JsonReportListsDetectionsAndUnreadableEntries) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    const std::string worm = tree.Write("t/worm.exe", kWorm);
    const std::string overflow = tree.Write("t/overflow.bin", std::string(700, '\xFF'));
    Outcome run = Execute({Bin("velquin-scan"), "-d", db, "--dry-run", "--json", "-", tree.Path("t")}, tree);
    EXPECT_EQ(run.status, 1);
    const nlohmann::json report = nlohmann::json::parse(run.out);  // nothing but JSON on stdout
    ASSERT_EQ(report["scans"].size(), 1u);
    const auto& scan = report["scans"][0];
    EXPECT_EQ(scan["target"], tree.Path("t"));
    EXPECT_EQ(scan["filesScanned"], 2);
    ASSERT_EQ(scan["detections"].size(), 1u);
    EXPECT_EQ(scan["detections"][0]["path"], worm);
    EXPECT_EQ(scan["detections"][0]["malwareName"], "Worm.Test");
    EXPECT_EQ(scan["detections"][0]["action"], "none");
    ASSERT_EQ(scan["unreadable"].size(), 1u);
    EXPECT_EQ(scan["unreadable"][0]["path"], overflow);
    EXPECT_TRUE(scan.contains("start") && scan.contains("end"));
    EXPECT_NE(run.err.find("1 entry"), std::string::npos) << run.err;
}

// The text report, the JSON report and the exit status do not depend on the number of threads
// that read the tree; only the times and dates do.
TEST(VelquinScanTest, ReportsAreTheSameForEveryNumberOfJobs) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    const auto build = [&] {
        std::filesystem::remove_all(tree.Path("t"));
        for (const std::string folder : {"t", "t/a", "t/a/b", "t/a/b/c", "t/d", "t/d/e", "t/f"}) {
            for (int i = 0; i < 12; ++i) tree.Write(folder + "/clean" + std::to_string(i) + ".bin", std::string(700 + i, 'c'));
            tree.Write(folder + "/worm.exe", kWorm);
        }
        tree.Write("t/overflow.bin", std::string(700, '\xFF'));
        tree.Write("t/skip/worm.exe", kWorm);
    };
    // Everything but the lines and fields that tell the time.
    const auto timeless = [](const Outcome& run, const std::string& json) {
        std::string text;
        for (const std::string& line : Lines(run.out)) {
            if (!line.starts_with("Time Scanned : ") && !line.starts_with("Latest Scanned : ")) text += line + "\n";
        }
        nlohmann::json report = nlohmann::json::parse(json);
        for (auto& scan : report["scans"]) {
            scan.erase("start");
            scan.erase("end");
        }
        return std::to_string(run.status) + "\n" + text + report.dump(1) + "\n" + run.err;
    };
    std::string first;
    for (const char* jobs : {"1", "8", "3"}) {
        build();
        const Outcome run = Execute({Bin("velquin-scan"), "-d", db, "-j", jobs, "--exclude", "skip", "--json",
                                     tree.Path("r.json"), tree.Path("t")},
                                    tree);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_FALSE(std::filesystem::exists(tree.Path("t/a/b/c/worm.exe")));
        const std::string seen = timeless(run, ReadAll(tree.Path("r.json")));
        if (first.empty()) {
            first = seen;
        } else {
            EXPECT_EQ(seen, first) << "with -j " << jobs;
        }
    }
    EXPECT_NE(first.find("Worm.Test Cleaned..."), std::string::npos) << first;
}

#ifndef _WIN32
// Symbolic links, newlines and bytes that are no UTF-8 in file names, and Ctrl-C as a signal:
// POSIX only.
TEST(VelquinScanTest, FingerprintOfANamedLinkIsThatOfItsTarget) {
    testing::TestTree tree;
    const std::string worm = tree.Write("worm.bin", kWorm);
    const std::string link = tree.Path("link.bin");
    ASSERT_EQ(::symlink(worm.c_str(), link.c_str()), 0);
    const Outcome run = Execute({Bin("velquin-scan"), "--fingerprint", link}, tree);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "CACA79914R102910492019018 " + link + "\n");
}

TEST(VelquinScanTest, HostileFileNamesCannotForgeReportLines) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    tree.Write("t/x\nFile Scanned : 999\nScanning Completed", kWorm);
    tree.Write("t/bad-\xff-utf8.exe", kWorm);
    Outcome run = Execute({Bin("velquin-scan"), "-d", db, tree.Path("t")}, tree);
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(HasLine(run.out, "File Scanned : 999"));
    EXPECT_TRUE(HasLine(run.out, tree.Path("t") + "/x\\nFile Scanned : 999\\nScanning Completed <== Worm.Test Cleaned..."));
    EXPECT_TRUE(HasLine(run.out, tree.Path("t") + "/bad-\\xFF-utf8.exe <== Worm.Test Cleaned..."));

    tree.Write("t/again-\xff.exe", kWorm);
    run = Execute({Bin("velquin-scan"), "-d", db, "--json", "-", tree.Path("t")}, tree);
    const nlohmann::json report = nlohmann::json::parse(run.out);
    const auto& detection = report["scans"][0]["detections"][0];
    EXPECT_EQ(detection["pathHex"].get<std::string>().substr(detection["pathHex"].get<std::string>().size() - 12),
              "2dff2e657865");  // "-\xff.exe", byte for byte
}

TEST(VelquinScanTest, CtrlCStopsTheScanAndStillReports) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    const std::string clean(700, '\x02');
    for (int folder = 0; folder < 100; ++folder) {
        for (int file = 0; file < 300; ++file) {
            tree.Write("t/" + std::to_string(folder) + "/" + std::to_string(file), clean);
        }
    }
    Outcome run = Execute({Bin("velquin-scan"), "-d", db, tree.Path("t")}, tree,
                      [](pid_t pid, const std::string& out) {
                          // Wait until the header is out: the scan has begun.
                          for (int i = 0; i < 1000 && ReadAll(out).find("Scanning Directory") == std::string::npos; ++i) {
                              std::this_thread::sleep_for(std::chrono::milliseconds(2));
                          }
                          kill(pid, SIGINT);
                      });
    EXPECT_EQ(run.status, 130);
    EXPECT_TRUE(HasLine(run.out, "Status : Stopped"));
    EXPECT_TRUE(HasLine(run.out, "Scanning Completed"));
    EXPECT_FALSE(HasLine(run.out, "File Scanned : 30100"));
    EXPECT_NE(run.err.find("stopped"), std::string::npos);
}

// Starts `args` with its standard output into a pipe, whose reading end it sets `out` to, its
// standard error into `errPath` (or /dev/null), and nothing on its standard input.
pid_t StartIntoPipe(const std::vector<std::string>& args, int& out, const std::string& errPath = {}) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], 1);
        close(pipeFds[0]);
        close(pipeFds[1]);
        const int none = open("/dev/null", O_RDWR);
        dup2(none, 0);
        dup2(errPath.empty() ? none : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        std::vector<char*> argv;
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    out = pipeFds[0];
    return child;
}

// Detected files with long names: their lines are far more than a pipe holds, so the scanner
// soon waits in a write for its reader.
constexpr int kLongNamedWorms = 600;
const std::string kLongNamePadding(200, 'x');
void WriteLongNamedWorms(const testing::TestTree& tree) {
    for (int i = 0; i < kLongNamedWorms; ++i) tree.Write("t/" + std::to_string(i) + kLongNamePadding + ".exe", kWorm);
}

// A reader that goes away (velquin-scan ... | head -1) while detected files are being removed.
TEST(VelquinScanTest, ClosedOutputStopsTheScanAndTheJsonSaysWhatWasDone) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    WriteLongNamedWorms(tree);
    const std::string json = tree.Path("r.json");
    const std::string errPath = tree.Path("stderr.txt");
    int reader = -1;
    const pid_t child = StartIntoPipe({Bin("velquin-scan"), "-d", db, "--json", json, tree.Path("t")}, reader, errPath);
    ASSERT_GT(child, 0);
    char c = 0;
    while (read(reader, &c, 1) == 1 && c != '\n') {
    }
    close(reader);  // as head -1 does
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_NE(ReadAll(errPath).find("cannot write the text report to standard output"), std::string::npos);

    const nlohmann::json report = nlohmann::json::parse(ReadAll(json));
    EXPECT_EQ(report["exitStatus"], 2);
    EXPECT_TRUE(report["scans"][0]["stopped"].get<bool>());
    EXPECT_EQ(report["outputErrors"].size(), 1u);
    // Every file that is gone is in the report, and the scan stopped short of the rest.
    std::size_t left = 0;
    for (const auto& entry : std::filesystem::directory_iterator(tree.Path("t"))) left += entry.is_regular_file();
    EXPECT_EQ(report["fileRemoved"].get<std::size_t>() + left, static_cast<std::size_t>(kLongNamedWorms));
    EXPECT_GT(left, 0u);
}

TEST(VelquinScanTest, ReportThatCannotBeWrittenIsAnError) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    const std::string worm = tree.Write("t/worm.exe", kWorm);
    struct Case {
        std::vector<std::string> args;
        bool stdoutFull;
        std::string err;
    };
    const Case cases[] = {
        {{"-d", db, "-n", tree.Path("t")}, true, "cannot write the text report to standard output: No space left"},
        {{"-d", db, "-n", "-q", tree.Path("t")}, true, "cannot write the text report to standard output"},
        {{"-d", db, "-n", "--json", "-", tree.Path("t")}, true, "cannot write the JSON report to standard output"},
        {{"-d", db, "-n", "--json", "/dev/full", tree.Path("t")}, false, "cannot write the JSON report to /dev/full"},
        {{"-d", db, "-n", "--log", "/dev/full", tree.Path("t")}, false, "cannot write the text report to /dev/full"},
        {{"--fingerprint", worm}, true, "cannot write to standard output"},
        {{"-d", db, "--lookup", "CACA79914R102910492019018"}, true, "cannot write to standard output"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {Bin("velquin-scan")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome run = Execute(args, tree, {}, c.stdoutFull ? "/dev/full" : "");
        std::string shown;
        for (const std::string& arg : c.args) shown += " " + arg;
        EXPECT_EQ(run.status, 2) << shown << "\n" << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << shown << "\n" << run.err;
    }
}

// Output to a reader that has stopped reading (a pager, say): Ctrl-C arrives while the scanner
// waits to write, and every line must still come out whole once the reader goes on.
TEST(VelquinScanTest, CtrlCWhileOutputIsBlockedLosesNoLine) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    WriteLongNamedWorms(tree);
    int reader = -1;
    const pid_t child = StartIntoPipe({Bin("velquin-scan"), "--dry-run", "-d", db, tree.Path("t")}, reader);
    ASSERT_GT(child, 0);
    // Once the pipe is full the scanner waits in a write.
    for (int i = 0, queued = 0; i < 2500 && queued < 60000; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (ioctl(reader, FIONREAD, &queued) != 0) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(child, SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = read(reader, buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<std::size_t>(n));
    close(reader);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));

    std::size_t detections = 0;
    for (const std::string& line : Lines(out)) {
        if (line.find(" <== ") == std::string::npos) continue;
        EXPECT_TRUE(line.starts_with(tree.Path("t") + "/") && line.ends_with(kLongNamePadding + ".exe <== Worm.Test Detected..."))
            << line.substr(0, 80);
        ++detections;
    }
    EXPECT_GT(detections, 0u);
    EXPECT_TRUE(HasLine(out, "Virus Detected : " + std::to_string(detections)));
    EXPECT_TRUE(HasLine(out, "Scanning Completed"));
}

#endif

// Copies `program` to `path` as a runnable program file.
void CopyProgram(const std::string& program, const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::filesystem::copy_file(program, path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                           std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                           std::filesystem::perms::others_exec);
}

std::string FingerprintRecord(const std::string& path, const std::string& malware) {
    const engine::FingerprintResult fingerprint = engine::ComputeFingerprint(path);
    return fingerprint ? std::string(fingerprint.fingerprint->Text()) + ":" + malware + "\r\n" : "";
}

// The pids of a report's process records, with what is said of each.
std::map<long long, std::string> ProcessRecords(const nlohmann::json& records, const char* field) {
    std::map<long long, std::string> found;
    for (const auto& record : records) found[record["pid"].get<long long>()] = record.value(field, "");
    return found;
}

// Harmless programs under detected names: one runs the detected file, one a copy of it elsewhere,
// and one merely has the name of a detected file, which is no program at all. Names are this
// test's own, so nothing else on the machine can be ended.
TEST(VelquinScanTest, RunningProcessesOfADetectedNameAreEndedOnlyWhenTheyRunItOrACopy) {
    testing::TestTree tree;
    const std::string tag = "velq" + std::to_string(platform::OpenSystemProcessTable()->SelfPid());
    const std::string sampleName = tag + "-sample.exe", wormName = tag + "-worm.exe";
#ifdef _WIN32
    const std::string sample = Bin("velquin-idle"), unrelated = sample;
    const std::vector<std::string> sampleArgs = {sampleName, "30"}, unrelatedArgs = {wormName, "30"};
#else
    const std::string sample = "/bin/sleep", unrelated = "/usr/bin/tail";
    const std::vector<std::string> sampleArgs = {sampleName, "30"}, unrelatedArgs = {wormName, "-f", "/dev/null"};
#endif
    const std::string detected = tree.Path("t/" + sampleName), copy = tree.Path("elsewhere/" + sampleName),
                      other = tree.Path("other/" + wormName), worm = tree.Write("t/" + wormName, kWorm);
    CopyProgram(sample, detected);
    CopyProgram(sample, copy);
    CopyProgram(unrelated, other);
    const std::string db = tree.Write("database.db", FingerprintRecord(detected, "Trojan.Sleeper") + kWormDatabase);
    testing::RunningProgram fromDetected(detected, sampleArgs), fromCopy(copy, sampleArgs),
        fromOther(other, unrelatedArgs);
    ASSERT_TRUE(fromDetected.Started() && fromCopy.Started() && fromOther.Started());

    const Outcome run = Execute({Bin("velquin-scan"), "-d", db, "--json", tree.Path("report.json"), tree.Path("t")}, tree);

    EXPECT_TRUE(fromDetected.EndsKilled(std::chrono::seconds(30)));
    EXPECT_TRUE(fromCopy.EndsKilled(std::chrono::seconds(30)));
    EXPECT_TRUE(fromOther.Running());
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(HasLine(run.out, "Process " + wormName + " (pid " + std::to_string(fromOther.Pid()) +
                                     ") left running: it runs " + other + ", neither the detected file nor a copy of it"))
        << run.out;
    EXPECT_TRUE(HasLine(run.out, detected + " <== Trojan.Sleeper Cleaned..."));
    EXPECT_TRUE(HasLine(run.out, "Process Ended : " + std::to_string(fromDetected.Pid()) + " " + sampleName)) << run.out;
    EXPECT_TRUE(HasLine(run.out, "Process Ended : " + std::to_string(fromCopy.Pid()) + " " + sampleName));
    EXPECT_TRUE(HasLine(run.out, worm + " <== Worm.Test Cleaned..."));
    EXPECT_FALSE(std::filesystem::exists(detected));
    const nlohmann::json scan = nlohmann::json::parse(ReadAll(tree.Path("report.json")))["scans"][0];
    EXPECT_EQ(ProcessRecords(scan["processesEnded"], "runs"),
              (std::map<long long, std::string>{{fromDetected.Pid(), "detected file"}, {fromCopy.Pid(), "copy"}}));
    EXPECT_EQ(ProcessRecords(scan["processesLeftRunning"], "reason"),
              (std::map<long long, std::string>{{fromOther.Pid(), "other-file"}}));
}

#ifdef _WIN32
// A detected file named like the program that started the scan (this test): the scanner's
// ancestors are never ended.
TEST(VelquinScanTest, TheProgramTheScanRunsFromIsNeverEnded) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    const std::string named = tree.Write("t/cli_velquin_scan_test.exe", kWorm);
    const Outcome run = Execute({Bin("velquin-scan"), "-d", db, "--json", tree.Path("report.json"), tree.Path("t")}, tree);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(HasLine(run.out, "Process cli_velquin_scan_test.exe (pid " + std::to_string(::GetCurrentProcessId()) +
                                     ") left running: this scanner was started from it"))
        << run.out;
    const nlohmann::json scan = nlohmann::json::parse(ReadAll(tree.Path("report.json")))["scans"][0];
    EXPECT_EQ(ProcessRecords(scan["processesLeftRunning"], "reason"),
              (std::map<long long, std::string>{{::GetCurrentProcessId(), "scanner-ancestor"}}));
    EXPECT_FALSE(std::filesystem::exists(named));
}
#else
// The scan runs from a shell that is itself a detected file: the scanner's ancestors are never
// ended, whatever they run. The shell is a copy under a name of this test's own.
TEST(VelquinScanTest, TheShellTheScanRunsFromSurvivesEvenWhenItRunsTheDetectedFile) {
    testing::TestTree tree;
    const std::string shellName = "velq" + std::to_string(getpid()) + "-sh";
    const std::string shell = tree.Path("t/" + shellName);
    CopyProgram("/bin/sh", shell);
    const std::string db = tree.Write("database.db", FingerprintRecord(shell, "Trojan.Shell") + "Finish:Finish\r\n");
    pid_t shellPid = 0;
    const Outcome run = Execute({shell, "-c", "\"$@\"; echo \"the shell goes on after status $?\"", shellName,
                                 Bin("velquin-scan"), "-d", db, "--json", tree.Path("report.json"), tree.Path("t")},
                                tree, [&](pid_t pid, const std::string&) { shellPid = pid; });

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(HasLine(run.out, "the shell goes on after status 1")) << run.out;
    EXPECT_TRUE(HasLine(run.out, "Process " + shellName + " (pid " + std::to_string(shellPid) +
                                     ") left running: this scanner was started from it"));
    EXPECT_TRUE(HasLine(run.out, shell + " <== Trojan.Shell Cleaned..."));
    const nlohmann::json scan = nlohmann::json::parse(ReadAll(tree.Path("report.json")))["scans"][0];
    EXPECT_EQ(ProcessRecords(scan["processesLeftRunning"], "reason"),
              (std::map<long long, std::string>{{shellPid, "scanner-ancestor"}}));
    EXPECT_TRUE(scan["processesEnded"].empty());
}

// An unprivileged scan and a process of another user (root here) that runs a copy of the sample:
// the scan cannot look at it, let alone end it, and says so instead of "Terminated...".
TEST(VelquinScanTest, AnUnprivilegedScanSaysWhyItLeavesAnotherUsersProcessRunning) {
    testing::TestTree tree;
    const std::string name = "velq" + std::to_string(getpid()) + "-root.exe";
    const std::string detected = tree.Path("t/" + name), rootsCopy = tree.Path("root/" + name);
    CopyProgram("/bin/sleep", detected);
    CopyProgram("/bin/sleep", rootsCopy);
    const std::string db = tree.Write("database.db", FingerprintRecord(detected, "Trojan.Sleeper") + "Finish:Finish\r\n");
    for (const std::string& folder : {tree.Root(), tree.Path("t")}) {
        ASSERT_EQ(chmod(folder.c_str(), 0777), 0);
    }
    testing::RunningProgram rootsProcess(rootsCopy, {name, "30"});
    ASSERT_TRUE(rootsProcess.Started());

    const int status = testing::RunUnprivileged([&] {
        return Execute({Bin("velquin-scan"), "-d", db, "--json", tree.Path("report.json"), tree.Path("t")}, tree).status == 1;
    });
    if (status == 10) GTEST_SKIP() << "cannot become an unprivileged user here";
    EXPECT_EQ(status, 0) << "exit status of the unprivileged scan is not 1";
    const std::string out = ReadAll(tree.Path("stdout.txt"));
    EXPECT_TRUE(rootsProcess.Running());
    EXPECT_EQ(out.find("Terminated..."), std::string::npos) << out;
    EXPECT_TRUE(HasLine(out, "Process " + name + " (pid " + std::to_string(rootsProcess.Pid()) +
                                 ") left running: the file it runs cannot be read (permission denied)")) << out;
    EXPECT_TRUE(HasLine(out, detected + " <== Trojan.Sleeper Cleaned..."));
    const nlohmann::json scan = nlohmann::json::parse(ReadAll(tree.Path("report.json")))["scans"][0];
    EXPECT_EQ(ProcessRecords(scan["processesLeftRunning"], "reason"),
              (std::map<long long, std::string>{{rootsProcess.Pid(), "unreadable"}}));
}
#endif

}  // namespace
}  // namespace velquin
