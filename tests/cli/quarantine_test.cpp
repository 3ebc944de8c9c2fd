// velquin-scan --quarantine and --restore as a user runs them.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "../engine/test_tree.h"

namespace velquin {
namespace {
using testing::kWorm;
using testing::kWormDatabase;

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// velquin-scan with `args`, started without waiting for it; Finish waits for it and reads its output.
struct Running {
    pid_t pid;
    std::string outPath, errPath;
};

Running Start(const testing::TestTree& tree, const std::string& tag, std::vector<std::string> args) {
    const char* bin = std::getenv("VELQUIN_TEST_BIN");
    args.insert(args.begin(), std::string(bin ? bin : "bin") + "/velquin-scan");
    const std::string outPath = tree.Path(tag + ".out"), errPath = tree.Path(tag + ".err");
    const pid_t child = fork();
    if (child == 0) {
        dup2(open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        dup2(open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        std::vector<char*> argv;
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return {child, outPath, errPath};
}

Outcome Finish(const Running& run) {
    int status = 0;
    waitpid(run.pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128, ReadAll(run.outPath), ReadAll(run.errPath)};
}

Outcome Scan(const testing::TestTree& tree, std::vector<std::string> args) { return Finish(Start(tree, "run", args)); }

bool HasLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

TEST(QuarantineCommandTest, QuarantinesThenRestoresAndNeverOverwrites) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    const std::string worm = tree.Write("scan/sub/worm.exe", kWorm);
    ::chmod(worm.c_str(), 0751);
    const std::string quarantine = tree.Path("scan/quarantine");  // inside the scanned tree

    const Outcome scan = Scan(tree, {"-q", "-d", db, "--quarantine", quarantine, tree.Path("scan")});
    EXPECT_EQ(scan.status, 1) << scan.err;
    EXPECT_TRUE(HasLine(scan.out, worm + " <== Worm.Test Quarantined...")) << scan.out;
    EXPECT_TRUE(HasLine(scan.out, "File Removed : 1")) << scan.out;
    EXPECT_FALSE(std::filesystem::exists(worm));

    const std::string manifest = ReadAll(quarantine + "/manifest.tsv");
    const Outcome again = Scan(tree, {"-q", "-d", db, "--quarantine", quarantine, tree.Path("scan")});
    EXPECT_EQ(again.status, 0) << again.out;  // what is in quarantine is not found again
    const Outcome itself = Scan(tree, {"-q", "-d", db, "--quarantine", quarantine, quarantine});
    EXPECT_EQ(itself.status, 0) << itself.out;  // not even when the quarantine is the target
    EXPECT_EQ(ReadAll(quarantine + "/manifest.tsv"), manifest);

    const Outcome restore = Scan(tree, {"--restore", quarantine});
    EXPECT_EQ(restore.status, 0) << restore.err;
    EXPECT_TRUE(HasLine(restore.out, worm + " <== Worm.Test Restored...")) << restore.out;
    EXPECT_EQ(ReadAll(worm), kWorm);
    struct stat st {};
    ::stat(worm.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0751u);

    // Quarantined once more, and the place taken by a new file before the restore.
    Scan(tree, {"-q", "-d", db, "--quarantine", quarantine, tree.Path("scan")});
    tree.Write("scan/sub/worm.exe", "new");
    const Outcome refused = Scan(tree, {"--restore", quarantine});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(HasLine(refused.out, worm + " <== Worm.Test Not Restored: already exists")) << refused.out;
    EXPECT_EQ(ReadAll(worm), "new");

    // The same as JSON, on standard output instead of the lines.
    const Outcome json = Scan(tree, {"--restore", quarantine, "--json", "-"});
    EXPECT_EQ(json.status, 2);
    const auto report = nlohmann::json::parse(json.out);
    EXPECT_EQ(report["exitStatus"], 2);
    EXPECT_EQ(report["fileRestored"], 0);
    ASSERT_EQ(report["records"].size(), 1u);
    EXPECT_EQ(report["records"][0]["path"], worm);
    EXPECT_EQ(report["records"][0]["restored"], false);
    EXPECT_EQ(report["records"][0]["reason"], "already exists");
}

TEST(QuarantineCommandTest, ArgumentsThatCouldLoseAFileAreRefused) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    const std::string worm = tree.Write("scan/worm.exe", kWorm);
    // Quarantine folders that another user could change behind the scan's back.
    const std::string open = tree.Folder("open");
    ::chmod(open.c_str(), 0777);
    const std::string privateFolder = tree.Folder("private");
    ::chmod(privateFolder.c_str(), 0700);
    const std::string link = tree.Path("link");
    ::symlink(privateFolder.c_str(), link.c_str());
    const struct {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{"-d", db, "--quarantine", "", tree.Path("scan")}, ""},  // an unset variable must not mean "delete"
        {{"-d", db, "--quarantine", tree.Path("q"), "--dry-run", tree.Path("scan")}, ""},
        {{"--restore", tree.Path("scan"), tree.Path("scan")}, ""},
        {{"--restore", ""}, ""},
        {{"--restore", tree.Path("private")}, "holds no quarantine manifest"},
        {{"-d", db, "--quarantine", worm, tree.Path("scan")}, "cannot use the quarantine folder " + worm + ": not a folder"},
        {{"-d", db, "--quarantine", open, tree.Path("scan")},
         "cannot use the quarantine folder " + open + ": other users may write to it"},
        {{"-d", db, "--quarantine", link, tree.Path("scan")},
         "cannot use the quarantine folder " + link + ": is a link or a link loop"},
        {{"-d", db, "--quarantine", link + "/", tree.Path("scan")}, ": is a link or a link loop"},
        {{"--restore", link}, "cannot restore from the quarantine folder " + link + ": is a link or a link loop"},
    };
    for (const auto& c : cases) {
        const Outcome run = Scan(tree, c.args);
        EXPECT_EQ(run.status, 2) << c.args[c.args.size() - 2];
        EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
        EXPECT_EQ(ReadAll(worm), kWorm);
    }
    EXPECT_TRUE(std::filesystem::is_empty(open));
    EXPECT_TRUE(std::filesystem::is_empty(privateFolder));
}

TEST(QuarantineCommandTest, RootRestoresNothingFromAnotherUsersQuarantine) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root";
    // User 65534's own quarantine, its record edited to name a root-only folder and a set-user-ID mode.
    testing::TestTree tree;
    const std::string quarantine = tree.Folder("q");
    const std::string target = tree.Folder("root-only") + "/planted";
    tree.Write("q/q1", kWorm);
    const std::string manifest =
        tree.Write("q/manifest.tsv", "Q\tq1\t2026-12-10T11:30:00Z\t4755\t" + target + "\tWorm.Test\n");
    for (const std::string& path : {quarantine, tree.Path("q/q1"), manifest}) ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    ::chmod(quarantine.c_str(), 0700);

    const Outcome restore = Scan(tree, {"--restore", quarantine});

    EXPECT_EQ(restore.status, 2);
    EXPECT_EQ(restore.out, "");
    EXPECT_EQ(restore.err, "velquin-scan: cannot restore from the quarantine folder " + quarantine +
                               ": it belongs to another user\n");
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(ReadAll(manifest), "Q\tq1\t2026-12-10T11:30:00Z\t4755\t" + target + "\tWorm.Test\n");
}

std::size_t CountLines(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(QuarantineCommandTest, ScansAndRestoresSideBySideLoseNoRecord) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    const std::string quarantine = tree.Path("q");
    constexpr int kFiles = 200;
    const auto plant = [&](const std::string& folder) {
        for (int i = 0; i < kFiles; ++i) tree.Write(folder + "/w" + std::to_string(i) + ".exe", kWorm);
    };
    const auto filesIn = [&](const std::string& folder) {
        std::size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(tree.Path(folder))) count += entry.is_regular_file();
        return count;
    };
    plant("a");
    plant("b");

    // Two scans into one quarantine at once.
    const Running a = Start(tree, "a", {"-q", "-d", db, "--quarantine", quarantine, tree.Path("a")});
    const Running b = Start(tree, "b", {"-q", "-d", db, "--quarantine", quarantine, tree.Path("b")});
    const Outcome scanA = Finish(a), scanB = Finish(b);
    EXPECT_EQ(scanA.status, 1) << scanA.out;
    EXPECT_EQ(scanB.status, 1) << scanB.out;
    EXPECT_EQ(filesIn("q"), 2u * kFiles + 1);  // and the manifest

    // A restore while a third scan quarantines more.
    plant("c");
    const Running c = Start(tree, "c", {"-q", "-d", db, "--quarantine", quarantine, tree.Path("c")});
    const Running r = Start(tree, "r", {"--restore", quarantine});
    const Outcome scanC = Finish(c), restore = Finish(r);
    EXPECT_EQ(scanC.status, 1) << scanC.out;
    EXPECT_EQ(restore.status, 0) << restore.out;
    const std::size_t restored = CountLines(restore.out, " Restored...");
    EXPECT_TRUE(HasLine(restore.out, "File Restored : " + std::to_string(restored) + " of " + std::to_string(restored)))
        << restore.out;
    EXPECT_GE(restored, 2u * kFiles);

    // Whatever the restore did not see, the next one finds: every file is back.
    const Outcome rest = Scan(tree, {"--restore", quarantine});
    EXPECT_EQ(rest.status, 0) << rest.out << rest.err;
    EXPECT_EQ(restored + CountLines(rest.out, " Restored..."), 3u * kFiles);
    EXPECT_EQ(filesIn("a") + filesIn("b") + filesIn("c"), 3u * kFiles);
    EXPECT_EQ(filesIn("q"), 1u);
}

}  // namespace
}  // namespace velquin
