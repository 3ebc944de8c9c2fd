// The walk with read-ahead workers against the walk that reads alone, on one tree with
// detections at several depths, links, unreadable entries, a FIFO, a folder replaced during the
// scan and a detected file replaced before its removal: every report and every removal must be
// the same, stopped or not.

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/scan.h"
#include "test_tree.h"
#ifndef _WIN32
#include "../support/unprivileged.h"
#endif

namespace velquin::engine {
namespace {
using testing::kClean;
using testing::kWorm;
using testing::kWormDatabase;

// Every call of the scan, in order, with the tree's root written as "<root>".
class TranscriptSink : public ScanSink {
public:
    explicit TranscriptSink(std::string root) : root_(std::move(root)) {}
    std::vector<std::string> calls;
    std::function<void(std::string_view)> onShowEntry = [](std::string_view) {};
    std::size_t stopAfter = SIZE_MAX;  // the run flag goes down after this many entries are shown
    std::size_t shown = 0;

    void ShowEntry(std::string_view text) override {
        Note("txtInfo " + std::string(text));
        if (text.ends_with("[20%]")) ++shown;
        onShowEntry(text);
    }
    void ShowCounts(std::uint64_t files, std::uint64_t folders) override {
        Note("counts " + std::to_string(files) + " " + std::to_string(folders));
    }
    void AddDetectedPath(std::string_view path) override { Note("List2 " + std::string(path)); }
    void AppendLog(std::string_view line) override { Note("List3 " + std::string(line)); }
    bool IsRunning() override {
        Note("running?");
        return shown < stopAfter;
    }
    void Yield() override { Note("yield"); }
    void EntryUnreadable(std::string_view path, std::string_view reason) override {
        Note("unreadable " + std::string(path) + " " + std::string(reason));
    }
    void Detected(const DetectionReport& report) override {
        Note("detected " + std::string(report.path) + (report.gone ? " gone" : " kept ") +
             std::string(platform::ErrorMessage(report.error)));
    }

private:
    void Note(std::string call) {
        for (std::size_t at; (at = call.find(root_)) != std::string::npos;) call.replace(at, root_.size(), "<root>");
        calls.push_back(std::move(call));
    }
    std::string root_;
};

// Swaps a clean file in for the detected "swapped.exe" while its processes are dealt with, after
// its fingerprint was read and before its removal.
class SwappingProcesses : public ProcessActions {
public:
    explicit SwappingProcesses(const testing::TestTree& tree) : tree_(tree) {}
    void TerminateProcessesByName(const DetectedImage& image, const LogLine&) override {
        if (image.name == "swapped.exe") {
            std::filesystem::rename(tree_.Path("t/swap/replacement.bin"), tree_.Path("t/swap/swapped.exe"));
        }
    }
    std::optional<bool> IsProcessRunning(const DetectedImage&) override { return false; }
    void RestartShell(const DetectedImage&, std::string_view, const LogLine&) override {}

private:
    const testing::TestTree& tree_;
};

void BuildTree(const testing::TestTree& tree) {
    for (const std::string top : {"a", "b", "c", "d"}) {
        std::string folder = "t/" + top;
        for (int depth = 0; depth < 4; ++depth, folder += "/sub") {
            tree.Write(folder + "/clean.bin", kClean);
            tree.Write(folder + "/note.txt", "short");
            if ((depth + top[0]) % 2 == 0) tree.Write(folder + "/worm-" + top + ".exe", kWorm);
        }
        tree.Write(folder + "/deep-worm.exe", kWorm);
    }
    tree.Write("t/first.exe", kWorm);
    tree.Write("t/swap/swapped.exe", kWorm);
    tree.Write("t/swap/replacement.bin", kClean);
    tree.Write("t/replaced/old-worm.exe", kWorm);
    tree.Write("t/replaced/sub/old-deep.exe", kWorm);
    tree.Write("aside/new/new-worm.exe", kWorm);
    tree.Write("aside/new/sub/clean.bin", kClean);
    tree.Write("t/gone/worm.exe", kWorm);
    // Long enough that the walk usually takes it while a worker is still reading fingerprints,
    // and reads the rest itself.
    for (int i = 0; i < 600; ++i) {
        tree.Write("t/many/" + std::to_string(i) + ".bin", i % 150 == 7 ? kWorm : kClean);
    }
#ifndef _WIN32
    ::symlink("../a", tree.Path("t/b/to-a").c_str());
    ::symlink("../first.exe", tree.Path("t/c/to-worm.exe").c_str());
    ::mkfifo(tree.Path("t/d/pipe").c_str(), 0600);
    const std::string locked = tree.Write("t/c/sub/locked.exe", kWorm);
    tree.Write("t/sealed/inside.exe", kWorm);
    ::chmod(locked.c_str(), 0);
    ::chmod(tree.Path("t/sealed").c_str(), 0);
#else
    tree.Junction("t/b/to-a", "t/a");
#endif
}

// While the walk is still in the tree's top folder: one folder is replaced by another one, and
// one by a link (or removed, where links need privileges).
void ReplaceFolders(const testing::TestTree& tree) {
    std::filesystem::rename(tree.Path("t/replaced"), tree.Path("aside/old"));
    std::filesystem::rename(tree.Path("aside/new"), tree.Path("t/replaced"));
    std::filesystem::rename(tree.Path("t/gone"), tree.Path("aside/gone"));
#ifndef _WIN32
    ::symlink("a", tree.Path("t/gone").c_str());
#endif
}

// What remains of the tree after a scan, by relative path.
std::vector<std::string> Remaining(const testing::TestTree& tree) {
    std::vector<std::string> paths;
#ifndef _WIN32
    ::chmod(tree.Path("t/sealed").c_str(), 0700);
#endif
    for (auto it = std::filesystem::recursive_directory_iterator(tree.Root()); it != std::filesystem::end(it); ++it) {
        paths.push_back(std::filesystem::relative(it->path(), tree.Root()).generic_string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

struct Run {
    std::vector<std::string> calls;
    std::vector<std::string> remaining;
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
};

Run Scan(unsigned jobs, std::size_t stopAfter) {
    testing::TestTree tree;
    BuildTree(tree);
    const std::string databasePath = tree.Write("db/database.db", kWormDatabase);
    SignatureDatabase database(databasePath);
    TranscriptSink sink(tree.Root());
    sink.stopAfter = stopAfter;
    bool replaced = false;
    const std::string trigger = tree.Path("t/first.exe") + "[20%]";
    sink.onShowEntry = [&](std::string_view text) {
        if (!replaced && text == trigger) {
            replaced = true;
            ReplaceFolders(tree);
        }
    };
    SwappingProcesses processes(tree);
    DeleteDisposal deletion;
    FolderScan scan(database, sink, processes, deletion);
    scan.SetJobs(jobs);
    scan.ScanFolder(tree.Path("t"));
    return Run{std::move(sink.calls), Remaining(tree), scan.FilesScanned(), scan.FoldersScanned()};
}

// Compares the walk alone with the walk and seven workers; the first difference goes to `why`.
bool SameRuns(std::size_t stopAfter, std::string& why) {
    const Run serial = Scan(1, stopAfter);
    const Run ahead = Scan(8, stopAfter);
    if (serial.files != ahead.files || serial.folders != ahead.folders) {
        why = "counters " + std::to_string(serial.files) + "/" + std::to_string(serial.folders) + " against " +
              std::to_string(ahead.files) + "/" + std::to_string(ahead.folders);
        return false;
    }
    const auto mismatch = std::mismatch(serial.calls.begin(), serial.calls.end(), ahead.calls.begin(), ahead.calls.end());
    if (mismatch.first != serial.calls.end() || mismatch.second != ahead.calls.end()) {
        why = "call " + std::to_string(mismatch.first - serial.calls.begin()) + ": \"" +
              (mismatch.first != serial.calls.end() ? *mismatch.first : "(end)") + "\" against \"" +
              (mismatch.second != ahead.calls.end() ? *mismatch.second : "(end)") + "\"";
        return false;
    }
    if (serial.remaining != ahead.remaining) {
        why = "different files remain";
        return false;
    }
    // The tree must really show what it is for.
    const auto has = [&](const std::string& call) {
        return std::find(serial.calls.begin(), serial.calls.end(), call) != serial.calls.end();
    };
    const auto left = [&](const std::string& path) {
        return std::find(serial.remaining.begin(), serial.remaining.end(), path) != serial.remaining.end();
    };
    if (stopAfter != SIZE_MAX) return true;
    for (const std::string line : {"/t/replaced/new-worm.exe <== Worm.Test Cleaned...",
                                    "/t/a/sub/sub/sub/sub/deep-worm.exe <== Worm.Test Cleaned...",
                                    "/t/swap/swapped.exe <== Worm.Test Not Removed... (changed since it was examined)"}) {
        if (!has("List3 <root>" + testing::Native(line))) why += "missing: " + line + "\n";
    }
    for (const std::string path : {"aside/old/old-worm.exe", "t/swap/swapped.exe", "aside/gone/worm.exe"}) {
        if (!left(path)) why += "removed: " + path + "\n";
    }
    if (has("List3 <root>" + testing::Native("/t/replaced/old-worm.exe <== Worm.Test Cleaned..."))) why += "the replaced folder was walked\n";
    return why.empty();
    return true;
}

class ReadAheadTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ReadAheadTest, GivesTheReportsAndRemovalsOfTheWalkAlone) {
    std::string why;
#ifndef _WIN32
    // Unreadable entries need a user whom permission bits stop: the runs are made as "nobody".
    const int status = testing::RunUnprivileged([&] {
        std::string reason;
        const bool same = SameRuns(GetParam(), reason);
        if (!same) std::cerr << reason << '\n';
        return same;
    });
    if (status == 10) GTEST_SKIP() << "cannot run as an unprivileged user";
    EXPECT_EQ(status, 0) << "the first difference is on the error output above";
#else
    EXPECT_TRUE(SameRuns(GetParam(), why)) << why;
#endif
}

// Stopped at the first entry, inside the top folder, after the replacements, deep in a subtree,
// and never.
INSTANTIATE_TEST_SUITE_P(StopAfter, ReadAheadTest, ::testing::Values(1, 4, 12, 30, SIZE_MAX),
                         [](const ::testing::TestParamInfo<std::size_t>& stop) {
                             return stop.param == SIZE_MAX ? std::string("never") : "entry" + std::to_string(stop.param);
                         });

}  // namespace
}  // namespace velquin::engine
