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

#include "../engine/test_tree.h"

namespace velquin {
namespace {

const std::string kWorm(700, '\x01');  // CACA79914R102910492019018
const std::string kWormDatabase = "CACA79914R102910492019018:Worm.Test\nFinish:Finish\n";

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

Outcome Scan(const testing::TestTree& tree, std::vector<std::string> args) {
    const char* bin = std::getenv("VELQUIN_TEST_BIN");
    args.insert(args.begin(), std::string(bin ? bin : "bin") + "/velquin-scan");
    const std::string outPath = tree.Path("stdout.txt"), errPath = tree.Path("stderr.txt");
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
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128, ReadAll(outPath), ReadAll(errPath)};
}

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

    const Outcome again = Scan(tree, {"-q", "-d", db, "--quarantine", quarantine, tree.Path("scan")});
    EXPECT_EQ(again.status, 0) << again.out;  // what is in quarantine is not found again

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
}

TEST(QuarantineCommandTest, ArgumentsThatCouldLoseAFileAreRefused) {
    testing::TestTree tree;
    const std::string db = tree.Write("database.db", kWormDatabase);
    const std::string worm = tree.Write("scan/worm.exe", kWorm);
    const struct {
        std::vector<std::string> args;
    } cases[] = {
        {{"-d", db, "--quarantine", "", tree.Path("scan")}},  // an unset variable must not mean "delete"
        {{"-d", db, "--quarantine", tree.Path("q"), "--dry-run", tree.Path("scan")}},
        {{"--restore", tree.Path("scan"), tree.Path("scan")}},
        {{"--restore", ""}},
        {{"--restore", tree.Path("scan")}},  // no manifest there
        {{"-d", db, "--quarantine", worm, tree.Path("scan")}},  // not a folder
    };
    for (const auto& c : cases) {
        const Outcome run = Scan(tree, c.args);
        EXPECT_EQ(run.status, 2) << c.args[c.args.size() - 2];
        EXPECT_EQ(ReadAll(worm), kWorm);
    }
}

}  // namespace
}  // namespace velquin
