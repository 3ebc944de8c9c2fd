#include "engine/scan.h"

#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_tree.h"
#ifndef _WIN32
#include "../support/unprivileged.h"
#endif

namespace velquin::engine {
namespace {
using testing::kClean;
using testing::kWorm;
using testing::kWormDatabase;

class RecordingSink : public ScanSink {
public:
    std::vector<std::string> calls;
    std::vector<std::string> list2;
    std::vector<std::string> unreadable;
    struct Report {
        std::string path;
        bool gone;
    };
    std::vector<Report> reports;
    std::function<bool()> running = [] { return true; };
    std::function<void(std::string_view)> onShowEntry = [](std::string_view) {};
    bool record = true;

    void ShowEntry(std::string_view text) override {
        Note("txtInfo " + std::string(text));
        onShowEntry(text);
    }
    void ShowCounts(std::uint64_t files, std::uint64_t folders) override {
        Note("counts " + std::to_string(files) + " " + std::to_string(folders) + " " +
             std::to_string(list2.size()));
    }
    void AddDetectedPath(std::string_view path) override {
        list2.emplace_back(path);
        Note("List2 " + std::string(path));
    }
    void AppendLog(std::string_view line) override { Note("List3 " + std::string(line)); }
    bool IsRunning() override {
        Note("running?");
        return running();
    }
    void Yield() override { Note("yield"); }
    void EntryUnreadable(std::string_view path, std::string_view) override {
        unreadable.emplace_back(path);
    }
    void Detected(const DetectionReport& report) override {
        reports.push_back({std::string(report.path), report.gone});
    }

    void Note(std::string call) {
        if (record) calls.push_back(std::move(call));
    }
};

class FakeProcesses : public ProcessActions {
public:
    explicit FakeProcesses(RecordingSink& sink) : sink_(sink) {}
    bool stillRunning = false;
    std::function<void()> onTerminate = [] {};
    std::vector<platform::FileIdentity> asked;  // the identity of each detected image handed over

    void TerminateProcessesByName(const DetectedImage& image, const LogLine&) override {
        sink_.Note("terminate " + std::string(image.name));
        asked.push_back(image.identity);
        onTerminate();
    }
    std::optional<bool> IsProcessRunning(const DetectedImage& image) override {
        sink_.Note("process running? " + std::string(image.name));
        return stillRunning;
    }
    void RestartShell(const DetectedImage& image, std::string_view malware, const LogLine& log) override {
        log("Found Qarnix On Process, Restart explorer.exe");
        log(std::string(image.name) + " <== " + std::string(malware) + " Terminated...");
    }

private:
    RecordingSink& sink_;
};

// Everything a scan needs, over a database that names kWorm; `jobs` threads read the tree.
struct ScanFixture {
    explicit ScanFixture(unsigned threads,
                         platform::FileChangeWatch::Mode watch = platform::FileChangeWatch::Mode::Notify)
        : jobs(threads), database(databasePath, watch) {
        scan.SetJobs(threads);
    }
    unsigned jobs;
    testing::TestTree tree;
    std::string databasePath = tree.Write("db/database.db", kWormDatabase);
    SignatureDatabase database;
    RecordingSink sink;
    FakeProcesses processes{sink};
    DeleteDisposal deletion;
    FolderScan scan{database, sink, processes, deletion};
};

std::vector<std::string> ListingOrder(const std::string& path) {
    platform::NameList names;
    platform::Folder::Open(path).ListNames(names);
    std::vector<std::string> order;
    for (std::size_t i = 0; i < names.Size(); ++i) order.emplace_back(names.Name(i));
    return order;
}

// The most descriptors the process had open at one of the sampled moments; 0 where the system does
// not list them.
struct DescriptorPeak {
    std::size_t peak = 0;
    std::size_t calls = 0;
    void Sample() {
#ifndef _WIN32
        if (calls++ % 64 != 0) return;
        std::error_code error;
        const auto count = static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator("/proc/self/fd", error), std::filesystem::directory_iterator()));
        peak = std::max(peak, count);
#endif
    }
};
// Folder handles along the walk, those read ahead, the workers' own and the test's: a few hundred.
constexpr std::size_t kDescriptorBound = 400;

// Every case holds for the serial walk and for the walk with seven read-ahead workers.
class FolderScanTest : public ::testing::TestWithParam<unsigned> {};
INSTANTIATE_TEST_SUITE_P(Jobs, FolderScanTest, ::testing::Values(1u, 8u),
                         [](const ::testing::TestParamInfo<unsigned>& jobs) { return "jobs" + std::to_string(jobs.param); });

bool IsDot(const std::string& name) { return name == "." || name == ".."; }

std::string ReadContent(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_P(FolderScanTest, WalksEntriesBeforeSubfoldersWithTheExactSinkCalls) {
    ScanFixture f{GetParam()};
    const std::string root = f.tree.Folder("t") + testing::kSeparator;
    f.tree.Write("t/a.txt", "a");
    f.tree.Write("t/b.txt", "b");
    f.tree.Write("t/s/c.txt", "c");

    std::vector<std::string> expected = {"running?"};
    std::uint64_t files = 0;
    const auto folderCalls = [&](const std::string& path, std::uint64_t folders) {
        const std::vector<std::string> order = ListingOrder(path);
        for (std::size_t i = 0; i < order.size(); ++i) expected.push_back("yield");
        for (const std::string& name : order) {
            expected.push_back("running?");
            if (!IsDot(name)) {
                ++files;
                expected.push_back("txtInfo " + path + name + "[20%]");
            }
            expected.push_back("txtInfo " + path + name + " [100%] ");
            expected.push_back("counts " + std::to_string(files) + " " + std::to_string(folders) + " 0");
            expected.push_back("yield");
        }
    };
    folderCalls(root, 1);
    expected.push_back("running?");  // entering s
    folderCalls(root + "s" + testing::kSeparator, 1);
    expected.push_back("yield");     // after s

    f.scan.ScanFolder(root.substr(0, root.size() - 1));  // without the trailing separator
    EXPECT_EQ(f.sink.calls, expected);
    EXPECT_EQ(f.scan.FilesScanned(), 4u);
    EXPECT_EQ(f.scan.FoldersScanned(), 1u);

    // With the trailing separator the walk is the same.
    f.sink.calls.clear();
    files = 0;
    f.scan.ResetCounters();
    f.scan.ScanFolder(root);
    EXPECT_EQ(f.sink.calls, expected);
}

TEST_P(FolderScanTest, DetectedFileGoesThroughProcessesListsLogAndDeletionInOrder) {
    ScanFixture f{GetParam()};
    const std::string path = f.tree.Write("t/abc.exe", kWorm);
    f.tree.Write("t/clean.bin", kClean);
    const std::vector<std::string> order = ListingOrder(f.tree.Path("t"));
    const std::uint64_t filesUpToIt =
        std::count_if(order.begin(), std::find(order.begin(), order.end(), "abc.exe") + 1,
                      [](const std::string& name) { return !IsDot(name); });
    f.processes.stillRunning = true;
    f.scan.ScanFolder(f.tree.Path("t"));

    std::vector<std::string> detection;
    for (const std::string& call : f.sink.calls) {
        if (call.rfind("txtInfo", 0) != 0 && call != "yield" && call != "running?" &&
            call.rfind("counts", 0) != 0) {
            detection.push_back(call);
        }
    }
    EXPECT_EQ(detection, (std::vector<std::string>{
                             "terminate abc.exe",
                             "process running? abc.exe",
                             "List3 Found Qarnix On Process, Restart explorer.exe",
                             "List3 abc.exe <== Worm.Test Terminated...",
                             "List2 " + path,
                             "List3 " + path + " <== Worm.Test Cleaned...",
                         }));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::exists(f.tree.Path("t/clean.bin")));
    // Label7 shows the new List2 count right after that entry.
    const auto done = std::find(f.sink.calls.begin(), f.sink.calls.end(), "txtInfo " + path + " [100%] ");
    ASSERT_NE(done, f.sink.calls.end());
    EXPECT_EQ(*(done + 1), "counts " + std::to_string(filesUpToIt) + " 0 1");
}

TEST_P(FolderScanTest, NoShellRestartWhenNothingSurvives) {
    ScanFixture f{GetParam()};
    f.tree.Write("t/abc.exe", kWorm);
    f.scan.ScanFolder(f.tree.Path("t"));
    for (const std::string& call : f.sink.calls) EXPECT_EQ(call.find("Terminated..."), std::string::npos);
    ASSERT_EQ(f.sink.reports.size(), 1u);
    EXPECT_TRUE(f.sink.reports[0].gone);
}

TEST_P(FolderScanTest, ReadOnlyDetectedFileIsRemoved) {
    ScanFixture f{GetParam()};
    const std::string path = f.tree.Write("t/ro/abc.exe", kWorm);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    ASSERT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::owner_write,
              std::filesystem::perms::none);
    f.scan.ScanFolder(f.tree.Path("t"));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_P(FolderScanTest, StopIsNoticedAtTheNextEntryAndNoFurtherFolderIsEntered) {
    ScanFixture f{GetParam()};
    for (const char* name : {"a", "b", "c", "d"}) f.tree.Write(std::string("t/") + name, "x");
    f.tree.Write("t/s1/inner", "x");
    f.tree.Write("t/s2/inner", "x");
    RecordingSink& sink = f.sink;
    // The user presses Stop while the second entry is being checked.
    sink.running = [&] {
        return std::count_if(sink.calls.begin(), sink.calls.end(),
                             [](const std::string& c) { return c.find("[20%]") != std::string::npos; }) < 2;
    };
    f.scan.ScanFolder(f.tree.Path("t"));
    EXPECT_EQ(f.scan.FilesScanned(), 2u);
    EXPECT_EQ(f.scan.FoldersScanned(), 2u);  // the first listing ran to its end
    for (const std::string& call : sink.calls) {
        EXPECT_EQ(call.find("inner"), std::string::npos) << "entered a subfolder after the stop: " << call;
    }
    // Each remaining subfolder returns at once: one run-flag check and one yield.
    ASSERT_GE(sink.calls.size(), 7u);
    EXPECT_EQ(*(sink.calls.end() - 7), "counts 2 2 0");  // the counters keep their last values
    EXPECT_EQ(std::vector<std::string>(sink.calls.end() - 4, sink.calls.end()),
              (std::vector<std::string>{"running?", "yield", "running?", "yield"}));
}

TEST_P(FolderScanTest, StoppedScanChangesNothing) {
    ScanFixture f{GetParam()};
    const std::string path = f.tree.Write("t/abc.exe", kWorm);
    f.sink.running = [] { return false; };
    f.scan.ScanFolder(f.tree.Path("t"));
    EXPECT_EQ(f.sink.calls, std::vector<std::string>{"running?"});
    EXPECT_EQ(f.scan.FilesScanned(), 0u);
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_P(FolderScanTest, DotEntriesAreCheckedButNotCounted) {
    ScanFixture f{GetParam()};
    f.tree.Folder("t/empty");
    f.scan.ScanFolder(f.tree.Path("t/empty"));
    EXPECT_EQ(f.scan.FilesScanned(), 0u);
    const std::string root = f.tree.Path("t/empty/");
    EXPECT_NE(std::find(f.sink.calls.begin(), f.sink.calls.end(), "txtInfo " + root + ". [100%] "), f.sink.calls.end());
    EXPECT_NE(std::find(f.sink.calls.begin(), f.sink.calls.end(), "txtInfo " + root + ".. [100%] "), f.sink.calls.end());
}

#ifndef _WIN32
// Symbolic links of every kind, a FIFO and a device: POSIX makes them without privileges.
TEST_P(FolderScanTest, LinksAreEntriesAndNeverFollowed) {
    ScanFixture f{GetParam()};
    const std::string outside = f.tree.Write("outside/abc.exe", kWorm);
    f.tree.Folder("t");
    ASSERT_EQ(symlink(f.tree.Path("outside").c_str(), f.tree.Path("t/to-outside").c_str()), 0);
    ASSERT_EQ(symlink(outside.c_str(), f.tree.Path("t/to-file.exe").c_str()), 0);
    ASSERT_EQ(symlink("loop-b", f.tree.Path("t/loop-a").c_str()), 0);
    ASSERT_EQ(symlink("loop-a", f.tree.Path("t/loop-b").c_str()), 0);
    ASSERT_EQ(symlink(".", f.tree.Path("t/self").c_str()), 0);
    f.scan.ScanFolder(f.tree.Path("t"));
    EXPECT_EQ(f.scan.FilesScanned(), 5u);
    EXPECT_EQ(f.scan.FoldersScanned(), 0u);
    EXPECT_TRUE(f.sink.list2.empty());
    EXPECT_TRUE(std::filesystem::exists(outside));
}

TEST_P(FolderScanTest, FifoSocketAndDeviceNeverBlockTheWalk) {
    ScanFixture f{GetParam()};
    f.tree.Folder("t");
    ASSERT_EQ(mkfifo(f.tree.Path("t/pipe").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", f.tree.Path("t/zero").c_str()), 0);
    const std::string after = f.tree.Write("t/sub/abc.exe", kWorm);
    f.scan.ScanFolder(f.tree.Path("t"));  // would hang here if the FIFO were opened
    EXPECT_EQ(f.scan.FilesScanned(), 4u);
    EXPECT_FALSE(std::filesystem::exists(after));
}

// Writes kWorm as `name` into the folder open as `fd`.
void PlantWorm(int fd, const char* name) {
    const int file = openat(fd, name, O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(file, 0);
    ASSERT_EQ(write(file, kWorm.data(), kWorm.size()), static_cast<ssize_t>(kWorm.size()));
    close(file);
}

TEST_P(FolderScanTest, DeepTreeBeyondThePathLimitIsWalkedAndCleaned) {
    ScanFixture f{GetParam()};
    f.sink.record = false;
    // A chain 5000 folders deep, far beyond the system's path limit, made with handles. Two folders
    // high up also hold a second subfolder: the walk must come back to them after the deep branch.
    int fd = open(f.tree.Folder("t").c_str(), O_RDONLY | O_DIRECTORY);
    for (int depth = 1; depth <= 5000; ++depth) {
        if (depth == 3 || depth == 1000) {
            mkdirat(fd, "sibling", 0755);
            const int sibling = openat(fd, "sibling", O_RDONLY | O_DIRECTORY);
            PlantWorm(sibling, "abc.exe");
            close(sibling);
        }
        mkdirat(fd, "folder-of-a-deep-tree", 0755);
        const int next = openat(fd, "folder-of-a-deep-tree", O_RDONLY | O_DIRECTORY);
        close(fd);
        fd = next;
        ASSERT_GE(fd, 0);
    }
    PlantWorm(fd, "abc.exe");

    DescriptorPeak descriptors;
    f.sink.onShowEntry = [&](std::string_view) { descriptors.Sample(); };
    f.scan.ScanFolder(f.tree.Path("t"));
    EXPECT_LT(descriptors.peak, kDescriptorBound);
    EXPECT_EQ(f.scan.FoldersScanned(), 5002u);
    EXPECT_EQ(f.scan.FilesScanned(), 5005u);
    ASSERT_EQ(f.sink.list2.size(), 3u);
    EXPECT_TRUE(f.sink.unreadable.empty());
    const auto deepest = std::max_element(f.sink.list2.begin(), f.sink.list2.end(),
                                          [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
    EXPECT_GT(deepest->size(), 100000u);
    EXPECT_EQ(faccessat(fd, "abc.exe", F_OK, 0), -1);
    for (const auto& report : f.sink.reports) EXPECT_TRUE(report.gone) << report.path.substr(0, 200);
    close(fd);
}
#endif

#ifdef _WIN32
TEST_P(FolderScanTest, JunctionIsAnEntryAndNeverEntered) {
    ScanFixture f{GetParam()};
    const std::string outside = f.tree.Write("outside/abc.exe", kWorm);
    ASSERT_TRUE(f.tree.Junction("t/to-outside", "outside"));
    f.scan.ScanFolder(f.tree.Path("t"));
    EXPECT_EQ(f.scan.FilesScanned(), 1u);
    EXPECT_EQ(f.scan.FoldersScanned(), 0u);
    EXPECT_TRUE(f.sink.list2.empty());
    EXPECT_TRUE(std::filesystem::exists(outside));
}

// Beyond the classic limit of 260 characters. Wine keeps these paths as host paths, which end at
// 4096 bytes, so the tree is shallower than on Linux and made through "\\?\" paths.
TEST_P(FolderScanTest, DeepTreeBeyondThePathLimitIsWalkedAndCleaned) {
    ScanFixture f{GetParam()};
    f.sink.record = false;
    constexpr int kDepth = 150;
    const std::string name = "folder-of-a-deep-tree";
    f.tree.DeepFile("t", name, kDepth, "abc.exe", kWorm);
    f.tree.Write("t/" + name + "/sibling/abc.exe", kWorm);  // the walk comes back up to it
    ASSERT_TRUE(f.tree.DeepFileExists("t", name, kDepth, "abc.exe"));

    f.scan.ScanFolder(f.tree.Path("t"));
    EXPECT_EQ(f.scan.FoldersScanned(), static_cast<std::uint64_t>(kDepth) + 1);
    EXPECT_EQ(f.scan.FilesScanned(), static_cast<std::uint64_t>(kDepth) + 3);
    ASSERT_EQ(f.sink.list2.size(), 2u);
    EXPECT_TRUE(f.sink.unreadable.empty());
    EXPECT_GT(std::max(f.sink.list2[0].size(), f.sink.list2[1].size()), kDepth * name.size());
    EXPECT_FALSE(f.tree.DeepFileExists("t", name, kDepth, "abc.exe"));
    for (const auto& report : f.sink.reports) EXPECT_TRUE(report.gone) << report.path.substr(0, 200);
}
#endif

TEST_P(FolderScanTest, FolderWithFortyThousandSubfoldersIsWalkedCompletely) {
    // Wine checks every new name against the whole folder, so making 40 000 folders takes many minutes.
    if (testing::RunningUnderWine()) GTEST_SKIP() << "Wine creates folders in quadratic time";
    ScanFixture f{GetParam()};
    f.sink.record = false;
    f.tree.Folder("t");
    for (int i = 0; i < 40000; ++i) std::filesystem::create_directory(f.tree.Path("t/" + std::to_string(i)));
    const std::string last = f.tree.Write("t/39999/abc.exe", kWorm);
    DescriptorPeak descriptors;
    f.sink.onShowEntry = [&](std::string_view) { descriptors.Sample(); };
    f.scan.ScanFolder(f.tree.Path("t"));
    EXPECT_LT(descriptors.peak, kDescriptorBound);
    EXPECT_EQ(f.scan.FoldersScanned(), 40000u);
    EXPECT_EQ(f.scan.FilesScanned(), 40001u);
    EXPECT_FALSE(std::filesystem::exists(last));
}

#ifndef _WIN32
// A file swapped for a symbolic link: POSIX makes one without privileges.
TEST_P(FolderScanTest, FileSwappedForALinkBeforeDeletionIsNotRemovedAndTheTargetSurvives) {
    ScanFixture f{GetParam()};
    const std::string outside = f.tree.Write("outside/precious", kWorm);
    const std::string path = f.tree.Write("t/abc.exe", kWorm);
    f.processes.onTerminate = [&] {
        std::filesystem::remove(path);
        std::filesystem::create_symlink(outside, path);
    };
    f.scan.ScanFolder(f.tree.Path("t"));
    EXPECT_TRUE(std::filesystem::exists(outside));
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    ASSERT_EQ(f.sink.reports.size(), 1u);
    EXPECT_FALSE(f.sink.reports[0].gone);
    EXPECT_EQ(f.sink.calls.back(), "yield");
    // The line says why the file stayed.
    const std::string notRemoved = "List3 " + path + " <== Worm.Test Not Removed... (";
    EXPECT_NE(std::find_if(f.sink.calls.begin(), f.sink.calls.end(),
                           [&](const std::string& call) { return call.starts_with(notRemoved) && call.ends_with(")"); }),
              f.sink.calls.end());
}
#endif

platform::FileIdentity IdentityOf(const std::string& path) {
    const auto cut = path.rfind(testing::kSeparator);
    platform::EntryInfo info;
    platform::Folder::Open(path.substr(0, cut)).EntryInfoOf(path.substr(cut + 1).c_str(), info);
    return info.identity;
}

// Another user exchanges the entry for another file of the same file system at the moments that
// matter: after the listing described it and before it is read, and after it is read and before
// it is removed. Whatever the moments, only the file that was read is ever removed, and the
// processes are looked up for that file.
TEST_P(FolderScanTest, AnEntryExchangedAtAnyMomentIsNeverRemovedInPlaceOfTheFileRead) {
    const struct {
        const char* listed;  // what the entry holds when listed
        bool beforeRead, beforeRemoval;
        bool detected;
    } cases[] = {
        {"clean", true, false, false},
        {"worm", false, true, true},
        {"clean", true, true, false},  // swapped in for the read and back for the removal
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.listed) + (c.beforeRead ? ", exchanged before the read" : "") +
                     (c.beforeRemoval ? ", exchanged before the removal" : ""));
        ScanFixture f{GetParam()};
        const bool wormListed = std::string(c.listed) == "worm";
        const std::string entry = f.tree.Write("t/x", wormListed ? kWorm : kClean);
        const std::string stash = f.tree.Write("stash/d", wormListed ? kClean : kWorm);
        const platform::FileIdentity worm = IdentityOf(wormListed ? entry : stash);
        const std::string cleanContent = kClean;
        f.processes.onTerminate = [&] {
            if (c.beforeRemoval) {
                EXPECT_TRUE(testing::Exchange(entry, stash));
            }
        };
        f.sink.onShowEntry = [&](std::string_view text) {
            if (c.beforeRead && text == entry + "[20%]") {
                EXPECT_TRUE(testing::Exchange(entry, stash));
            }
        };
        f.scan.ScanFolder(f.tree.Path("t"));

        // The clean file is still there, at one place or the other; nothing counts as removed.
        EXPECT_TRUE(ReadContent(entry) == cleanContent || ReadContent(stash) == cleanContent);
        for (const auto& report : f.sink.reports) EXPECT_FALSE(report.gone);
        EXPECT_EQ(f.sink.list2.size(), c.detected ? 1u : 0u);
        if (c.detected) {
            EXPECT_EQ(f.processes.asked, std::vector<platform::FileIdentity>{worm});
            EXPECT_NE(std::find(f.sink.calls.begin(), f.sink.calls.end(), "List3 " + entry + " <== Worm.Test Not Removed... (changed since it was examined)"),
                      f.sink.calls.end());
        } else {
            // The file read is not the file listed: it counts as unreadable, and stays.
            EXPECT_EQ(f.sink.unreadable, std::vector<std::string>{entry});
            EXPECT_TRUE(f.processes.asked.empty());
        }
    }
}

TEST_P(FolderScanTest, FailedFingerprintIsNeverLookedUp) {
    ScanFixture f{GetParam()};
    // A record with an empty key must not condemn a file that cannot be read.
    f.tree.Write("db/database.db", ":Everything\r\nFinish:Finish\r\n");
    SignatureDatabase database(f.tree.Path("db/database.db"));
    FolderScan scan(database, f.sink, f.processes, f.deletion);
    scan.SetJobs(f.jobs);
    std::string overflow(700, '\xFF');
    const std::string path = f.tree.Write("t/overflow.bin", overflow);
    scan.ScanFolder(f.tree.Path("t"));
    EXPECT_TRUE(f.sink.list2.empty());
    EXPECT_EQ(f.sink.unreadable, std::vector<std::string>{path});
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_P(FolderScanTest, ExcludedEntriesAreNeitherCheckedNorEnteredNorCounted) {
    ScanFixture f{GetParam()};
    const std::string kept = f.tree.Write("t/keep.exe", kWorm);
    const std::string image = f.tree.Write("t/image.iso", kWorm);
    const std::string cached = f.tree.Write("t/cache/worm.exe", kWorm);
    const std::string fileNamedCache = f.tree.Write("t/sub/cache", kWorm);  // a file: "cache/" is for folders
    const std::string temporary = f.tree.Write("t/sub/x.tmp", kWorm);
    f.scan.Exclude(PathGlob("*.iso"));
    f.scan.Exclude(PathGlob(testing::Native("cache/")));
    f.scan.Exclude(PathGlob(f.tree.Path("t/sub/*.tmp")));
    f.scan.ScanFolder(f.tree.Path("t"));

    EXPECT_EQ(f.sink.list2, (std::vector<std::string>{kept, fileNamedCache}));
    EXPECT_EQ(f.scan.FilesScanned(), 3u);    // keep.exe, sub, sub/cache
    EXPECT_EQ(f.scan.FoldersScanned(), 1u);  // sub
    EXPECT_EQ(f.scan.EntriesExcluded(), 3u);
    for (const std::string& path : {image, cached, temporary}) {
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
        for (const std::string& call : f.sink.calls) EXPECT_EQ(call.find(path), std::string::npos) << call;
    }
    EXPECT_FALSE(std::filesystem::exists(kept));
}

TEST_P(FolderScanTest, FileTargetIsCheckedAsOneEntryOfItsFolder) {
    ScanFixture f{GetParam()};
    const std::string worm = f.tree.Write("t/worm.exe", kWorm);
    using Target = FolderScan::Target;
    struct Case {
        std::string path;
        Target accepted;
        platform::Error error;  // None: opened
    };
    for (const Case& c : {Case{worm + testing::kSeparator, Target::FolderOrFile, platform::Error::NotADirectory},
                          Case{worm, Target::Folder, platform::Error::NotADirectory},
                          Case{f.tree.Path("t/absent.exe"), Target::FolderOrFile, platform::Error::NotFound}}) {
        EXPECT_FALSE(f.scan.OpenTarget(c.path, c.accepted)) << c.path;
        EXPECT_EQ(f.scan.TargetError(), c.error) << c.path;
    }
    EXPECT_TRUE(std::filesystem::exists(worm));

    f.sink.calls.clear();
    ASSERT_TRUE(f.scan.OpenTarget(worm, Target::FolderOrFile));
    f.scan.WalkTarget();
    EXPECT_EQ(f.scan.TargetError(), platform::Error::None);
    EXPECT_EQ(f.scan.FilesScanned(), 1u);
    EXPECT_EQ(f.scan.FoldersScanned(), 0u);
    EXPECT_EQ(f.sink.list2, std::vector<std::string>{worm});
    EXPECT_NE(std::find(f.sink.calls.begin(), f.sink.calls.end(), "txtInfo " + worm + "[20%]"), f.sink.calls.end());
    EXPECT_NE(std::find(f.sink.calls.begin(), f.sink.calls.end(), "List3 " + worm + " <== Worm.Test Cleaned..."),
              f.sink.calls.end());
    EXPECT_FALSE(std::filesystem::exists(worm));
}

// Relative targets keep the form they were given in, and "." has no name an exclusion could match.
TEST_P(FolderScanTest, RelativeTargetsAreShownAsGiven) {
    ScanFixture f{GetParam()};
    const std::string hidden = f.tree.Write("t/.hidden.exe", kWorm);
    f.tree.Write("t/seen.exe", kWorm);
    f.tree.Write("t/one.exe", kWorm);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(f.tree.Path("t"));
    f.scan.Exclude(PathGlob(".*"));
    ASSERT_TRUE(f.scan.OpenTarget("one.exe", FolderScan::Target::FolderOrFile));
    f.scan.WalkTarget();
    f.scan.ScanFolder(".");
    std::filesystem::current_path(before);

    const std::string here = std::string(".") + testing::kSeparator;
    EXPECT_EQ(f.sink.list2, (std::vector<std::string>{"one.exe", here + "seen.exe"}));
    EXPECT_EQ(f.scan.EntriesExcluded(), 1u);
    EXPECT_TRUE(std::filesystem::exists(hidden));
}

TEST_P(FolderScanTest, TargetThatMatchesAnExclusionIsNotScanned) {
    ScanFixture f{GetParam()};
    const std::string worm = f.tree.Write("t/worm.exe", kWorm);
    f.scan.Exclude(PathGlob("t"));
    f.scan.ScanFolder(f.tree.Path("t") + testing::kSeparator);
    f.scan.Exclude(PathGlob("*.exe"));
    ASSERT_TRUE(f.scan.OpenTarget(worm, FolderScan::Target::FolderOrFile));
    f.scan.WalkTarget();
    EXPECT_EQ(f.scan.EntriesExcluded(), 2u);
    EXPECT_EQ(f.scan.FilesScanned(), 0u);
    EXPECT_TRUE(std::filesystem::exists(worm));
}

#ifndef _WIN32
// Access is denied by dropping root's privileges in a forked child: POSIX only.

// For a fixture of a test that forks: a child forked while a thread of the parent held a lock (the
// allocator's, a sanitizer's) would wait for it forever, so its signature list gets no watch thread.
constexpr auto kSingleThreaded = platform::FileChangeWatch::Mode::Poll;

// Scans f's folder t as an unprivileged user and gives testing::RunUnprivileged's status: 0 when
// `expected` holds for the finished scan. f is made with kSingleThreaded.
template <typename Check>
int ScanUnprivileged(ScanFixture& f, Check expected) {
    return testing::RunUnprivileged([&] {
        RecordingSink sink;
        sink.record = false;
        SignatureDatabase database(f.databasePath);
        NoProcessActions processes;
        DeleteDisposal deletion;
        FolderScan scan(database, sink, processes, deletion);
        scan.SetJobs(f.jobs);
        scan.ScanFolder(f.tree.Path("t"));
        return expected(scan, sink);
    });
}

void OpenForEveryone(ScanFixture& f) {
    ASSERT_EQ(chmod(f.tree.Root().c_str(), 0755), 0);
    ASSERT_EQ(chmod(f.tree.Path("t").c_str(), 0777), 0);
    ASSERT_EQ(chmod(f.tree.Path("db").c_str(), 0755), 0);
    ASSERT_EQ(chmod(f.databasePath.c_str(), 0644), 0);
}

TEST_P(FolderScanTest, UnreadableFolderContributesNothingAndTheWalkGoesOn) {
    ScanFixture f(GetParam(), kSingleThreaded);
    f.tree.Write("t/locked/abc.exe", kWorm);
    const std::string sibling = f.tree.Write("t/open/abc.exe", kWorm);
    OpenForEveryone(f);
    ASSERT_EQ(chmod(f.tree.Path("t/open").c_str(), 0777), 0);
    ASSERT_EQ(chmod(f.tree.Path("t/locked").c_str(), 0), 0);

    const int status = ScanUnprivileged(f, [&](const FolderScan& scan, const RecordingSink& sink) {
        return scan.FoldersScanned() == 2 && sink.list2.size() == 1 && sink.unreadable.size() == 1 &&
               sink.unreadable[0] == f.tree.Path("t/locked/");
    });
    EXPECT_EQ(status, 0) << "10: could not drop privileges, 11: unexpected scan result";
    EXPECT_FALSE(std::filesystem::exists(sibling));
    chmod(f.tree.Path("t/locked").c_str(), 0755);
    EXPECT_TRUE(std::filesystem::exists(f.tree.Path("t/locked/abc.exe")));
}

TEST_P(FolderScanTest, LinkGivenAsTargetIsCheckedAsTheLinkItself) {
    ScanFixture f{GetParam()};
    const std::string worm = f.tree.Write("outside/worm.exe", kWorm);
    const std::string link = f.tree.Path("link.exe");
    ASSERT_EQ(symlink(worm.c_str(), link.c_str()), 0);
    ASSERT_TRUE(f.scan.OpenTarget(link, FolderScan::Target::FolderOrFile));
    f.scan.WalkTarget();
    EXPECT_EQ(f.scan.FilesScanned(), 1u);
    EXPECT_TRUE(f.sink.list2.empty());
    EXPECT_TRUE(std::filesystem::exists(worm));
}

// Mounts a file system below the tree in a mount namespace of a child's own, so nothing outside
// the child sees it; needs the privilege to make one.
TEST_P(FolderScanTest, StayingOnTheFileSystemLeavesMountPointsUnentered) {
    ScanFixture f(GetParam(), kSingleThreaded);
    const std::string own = f.tree.Write("t/own.exe", kWorm);
    const std::string mountPoint = f.tree.Folder("t/mnt");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("velquin-test", mountPoint.c_str(), "tmpfs", 0, nullptr) != 0) {
            _exit(10);
        }
        f.tree.Write("t/mnt/worm.exe", kWorm);
        KeepDisposal keep;
        NoProcessActions processes;
        RecordingSink staying, crossing;
        FolderScan stay(f.database, staying, processes, keep);
        stay.SetJobs(f.jobs);
        stay.StayOnFileSystem(true);
        stay.ScanFolder(f.tree.Path("t"));
        FolderScan cross(f.database, crossing, processes, keep);
        cross.SetJobs(f.jobs);
        cross.ScanFolder(f.tree.Path("t"));
        const bool ok = staying.list2 == std::vector<std::string>{own} && stay.FilesScanned() == 2 &&
                        stay.FoldersScanned() == 0 && crossing.list2.size() == 2 && cross.FoldersScanned() == 1;
        _exit(ok ? 0 : 11);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 10) GTEST_SKIP() << "no mount namespace of our own (needs root)";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "11: the walk entered the mount point, or missed the file system below";
}

TEST_P(FolderScanTest, EntryThatCannotBeDescribedIsReportedUnreadableOnce) {
    ScanFixture f(GetParam(), kSingleThreaded);
    f.tree.Write("t/blind/x/abc.exe", kWorm);
    OpenForEveryone(f);
    ASSERT_EQ(chmod(f.tree.Path("t/blind").c_str(), 0444), 0);  // listable, its entries not

    // x counts as a subfolder, fails its file check, and then cannot be opened: one report.
    const int status = ScanUnprivileged(f, [&](const FolderScan& scan, const RecordingSink& sink) {
        return scan.FoldersScanned() == 2 &&
               sink.unreadable == std::vector<std::string>{f.tree.Path("t/blind/x")};
    });
    chmod(f.tree.Path("t/blind").c_str(), 0755);
    EXPECT_EQ(status, 0) << "10: could not drop privileges, 11: unexpected scan result";
}
#endif

}  // namespace
}  // namespace velquin::engine
