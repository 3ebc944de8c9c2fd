#include "engine/database.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <thread>

#include <gtest/gtest.h>

#include "test_tree.h"

namespace velquin::engine {
namespace {

const std::string kCaca = "CACA79914R102910492019018";
const std::string kOther = "65065079914R102910492019018";

TEST(SignatureListTest, FieldReadingAndFirstMatch) {
    const struct {
        const char* what;
        std::string text;
        std::string key;
        std::string expected;
    } cases[] = {
        {"plain record", kCaca + ":Worm.X\r\nFinish:Finish\r\n", kCaca, "Worm.X"},
        {"name with a colon", kCaca + ":Worm:X\r\nFinish:Finish\r\n", kCaca, "Worm:X"},
        {"end marker first", "Finish:Finish\r\n" + kCaca + ":Worm.X\r\n", kCaca, ""},
        {"first of two records wins", kCaca + ":First\r\n" + kCaca + ":Second\r\nFinish:Finish\r\n", kCaca, "First"},
        {"lower-case key never matches", "caca79914R102910492019018:Worm.X\r\nFinish:Finish\r\n", kCaca, ""},
        {"leading zero never matches", "0" + kCaca + ":Worm.X\r\nFinish:Finish\r\n", kCaca, ""},
        {"records after the end marker", kOther + ":A\r\nFinish:Finish\r\n" + kCaca + ":B\r\n", kCaca, ""},
        {"empty line skipped", kOther + ":A\r\n\r\n" + kCaca + ":B\r\nFinish:Finish\r\n", kCaca, "B"},
        {"colon-less half of a comma skipped", kCaca + ":Worm, variant B\r\n" + kOther + ":C\r\nFinish:Finish", kOther, "C"},
        {"comma ends the name", kCaca + ":Worm, variant B\r\nFinish:Finish\r\n", kCaca, "Worm"},
        {"quoted field keeps the comma", "\"" + kCaca + ":Worm, variant B\"\r\nFinish:Finish\r\n", kCaca, "Worm, variant B"},
        {"spaces at the ends dropped", "  " + kCaca + ":Worm.X \t\r\nFinish:Finish\r\n", kCaca, "Worm.X"},
        {"quoted spaces kept", "\" " + kCaca + ":Worm.X \"\r\nFinish:Finish\r\n", kCaca, ""},
        {"lone LF ends a line", kOther + ":A\n" + kCaca + ":B\nFinish:Finish\n", kCaca, "B"},
        {"lone CR ends a line", kOther + ":A\r" + kCaca + ":B\rFinish:Finish\r", kCaca, "B"},
        {"no end marker", kCaca + ":Worm.X", kCaca, "Worm.X"},
        {"empty key matches nothing", ":Everything\r\nFinish:Finish\r\n", "", ""},
        {"empty name matches nothing", kCaca + ":\r\nFinish:Finish\r\n", kCaca, ""},
        {"empty name shadows no later record", kCaca + ": \r\n" + kCaca + ":Worm.X\r\nFinish:Finish\r\n", kCaca, "Worm.X"},
        {"end marker's own key", "Finish:Finish\r\n", kCaca, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SignatureList::Parse(c.text).Find(c.key), c.expected) << c.what;
    }
}

TEST(SignatureListTest, ReportsSkippedLinesAndEndMarker) {
    const SignatureList list = SignatureList::Parse(
        kCaca + ":A\r\nno colon here\r\n\r\n" + kOther + ":B, tail\n\"quoted\r\nline:X\"\r\nbroken\rFinish:Finish\r\nafter\r\n");
    EXPECT_EQ(list.SkippedLines(), (std::vector<std::size_t>{2, 4, 7}));
    EXPECT_TRUE(list.EmptyKeyOrNameLines().empty());
    EXPECT_TRUE(list.HasEndMarker());
    EXPECT_EQ(list.Find("quoted\r\nline"), "X");
    EXPECT_FALSE(SignatureList::Parse(kCaca + ":A\r\n").HasEndMarker());

    const SignatureList empties = SignatureList::Parse(":Everything\r\n" + kCaca + ":\r\n:\r\n" + kOther + ":B\r\nFinish:Finish\r\n");
    EXPECT_EQ(empties.EmptyKeyOrNameLines(), (std::vector<std::size_t>{1, 2, 3}));
    EXPECT_TRUE(empties.SkippedLines().empty());
    EXPECT_EQ(empties.RecordCount(), 2u);  // kOther and the end marker
}

TEST(SignatureListTest, LargeListsKeepFirstMatch) {
    std::string text;
    for (int i = 0; i < 50000; ++i) text += std::to_string(i) + kCaca + ":Name" + std::to_string(i) + "\r\n";
    text += "7" + kCaca + ":Late\r\nFinish:Finish\r\n";
    const SignatureList list = SignatureList::Parse(text);
    EXPECT_EQ(list.RecordCount(), 50001u);
    EXPECT_EQ(list.Find("7" + kCaca), "Name7");
    EXPECT_EQ(list.Find("49999" + kCaca), "Name49999");
    EXPECT_EQ(list.Find("50000" + kCaca), "");
}

// The descriptors of this process that refer to `path`.
#ifdef _WIN32
// Windows: whether any handle is open on it, seen by an open that shares nothing.
int OpenDescriptorsOf(const std::string& path) {
    const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_SHARING_VIOLATION ? 1 : 0;
    ::CloseHandle(handle);
    return 0;
}
#else
int OpenDescriptorsOf(const std::string& path) {
    int count = 0;
    DIR* fds = opendir("/proc/self/fd");
    while (const dirent* entry = readdir(fds)) {
        char target[4096];
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == path) ++count;
    }
    closedir(fds);
    return count;
}
#endif

// Lookups until `expected` comes back, for at most two seconds: the change notification arrives
// on its own thread a moment after the write.
bool EventuallyFinds(SignatureDatabase& database, const std::string& key, const std::string& expected) {
    for (int i = 0; i < 400; ++i) {
        if (database.LookupSignature(key) == expected) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

TEST(SignatureDatabaseTest, ReloadsAfterAnEditAndNeverKeepsTheFileOpen) {
    testing::TestTree tree;
    const std::string path = tree.Write("database.db", kCaca + ":Old\r\nFinish:Finish\r\n");
    SignatureDatabase database(path);
    int loads = 0;
    database.SetLoadListener([&](const DatabaseLoad&) { ++loads; });
    EXPECT_EQ(database.LookupSignature(kCaca), "Old");
    EXPECT_EQ(database.LookupSignature(kCaca), "Old");
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(OpenDescriptorsOf(path), 0);

    tree.Write("database.db", kCaca + ":Edited\r\nFinish:Finish\r\n");  // rewritten in place
    EXPECT_TRUE(EventuallyFinds(database, kCaca, "Edited"));

    const std::string replacement = tree.Write("new.db", kOther + ":Replaced\r\nFinish:Finish\r\n");
    std::filesystem::rename(replacement, path);  // how editors save
    EXPECT_TRUE(EventuallyFinds(database, kOther, "Replaced"));
    EXPECT_EQ(database.LookupSignature(kCaca), "");
    EXPECT_EQ(OpenDescriptorsOf(path), 0);
}

TEST(SignatureDatabaseTest, MissingListFindsNothingUntilItExists) {
    testing::TestTree tree;
    SignatureDatabase database(tree.Path("database.db"));
    std::vector<DatabaseLoad> loads;
    database.SetLoadListener([&](const DatabaseLoad& load) { loads.push_back(load); });
    EXPECT_EQ(database.LookupSignature(kCaca), "");
    EXPECT_EQ(database.LookupSignature(kCaca), "");
    ASSERT_EQ(loads.size(), 1u);  // told once, not on every lookup
    EXPECT_EQ(loads[0].error, platform::Error::NotFound);

    tree.Write("database.db", kCaca + ":Worm.X\r\nbad\r\nFinish:Finish\r\n");
    EXPECT_TRUE(EventuallyFinds(database, kCaca, "Worm.X"));
    EXPECT_EQ(loads.back().error, platform::Error::None);
    EXPECT_EQ(loads.back().skippedLines, std::vector<std::size_t>{2});
}

// A list rewritten in place, a part at a time, as a slow writer or a copy over the old file does;
// the database compares the file's status on every lookup, so each step is seen.
TEST(SignatureDatabaseTest, RewrittenListIsTakenOnlyOnceItReachesItsEndMarker) {
    testing::TestTree tree;
    const std::string path = tree.Path("database.db");
    const std::string complete = kOther + ":New\r\n" + kCaca + ":Renamed\r\nFinish:Finish\r\n";
    const struct {
        const char* what;
        std::optional<std::string> content;  // nullopt: the file is missing
        std::string caca, other;              // what the lookups give
        bool kept;
        bool told;                            // the listener hears of this read
    } steps[] = {
        {"first read, no end marker: its records", kCaca + ":Old\r\n", "Old", "", false, true},
        {"completed", kCaca + ":Old\r\nFinish:Finish\r\n", "Old", "", false, true},
        {"truncated for a rewrite", std::string(), "Old", "", true, true},
        {"first record written", complete.substr(0, kOther.size() + 6), "Old", "", true, false},
        {"cut inside the end marker", complete.substr(0, complete.size() - 5), "Old", "", true, false},
        {"complete", complete, "Renamed", "New", false, true},
        {"removed", std::nullopt, "Renamed", "New", true, true},
        {"back without its end marker", kCaca + ":Back\r\n", "Renamed", "New", true, true},
        {"back complete", kCaca + ":Back\r\nFinish:Finish\r\n", "Back", "", false, true},
    };
    SignatureDatabase database(path, platform::FileChangeWatch::Mode::Poll);
    std::vector<DatabaseLoad> loads;
    database.SetLoadListener([&](const DatabaseLoad& load) { loads.push_back(load); });
    for (const auto& step : steps) {
        const std::size_t heard = loads.size();
        if (step.content) {
            std::ofstream(path, std::ios::binary | std::ios::trunc) << *step.content;
        } else {
            std::filesystem::remove(path);
        }
        EXPECT_EQ(database.LookupSignature(kCaca), step.caca) << step.what;
        EXPECT_EQ(database.LookupSignature(kOther), step.other) << step.what;
        EXPECT_EQ(database.Load().kept, step.kept) << step.what;
        EXPECT_EQ(loads.size(), heard + (step.told ? 1 : 0)) << step.what;
    }
}

TEST(SignatureDatabaseTest, UnreadableListIsReplacedByWhateverReadsNext) {
    testing::TestTree tree;
    const std::string path = tree.Path("database.db");
    SignatureDatabase database(path, platform::FileChangeWatch::Mode::Poll);
    EXPECT_EQ(database.Load().error, platform::Error::NotFound);
    EXPECT_FALSE(database.Load().kept);
    tree.Write("database.db", kCaca + ":Partial\r\n");  // no list in use: taken as it stands
    EXPECT_EQ(database.LookupSignature(kCaca), "Partial");
    EXPECT_FALSE(database.Load().kept);
    EXPECT_FALSE(database.Load().endMarker);
}

TEST(SignatureDatabaseTest, FolderIsNotAList) {
    testing::TestTree tree;
    SignatureDatabase database(tree.Folder("database.db"));
    EXPECT_EQ(database.Load().error, platform::Error::IsADirectory);
}

}  // namespace
}  // namespace velquin::engine

namespace velquin::engine {
namespace {

// Which list a program in `bin` uses, for each layout of a copied, unpacked or installed program.
TEST(FindSignatureListTest, CommandLineThenBesideTheProgramThenTheDataFolder) {
    struct Case {
        const char* name;
        bool beside, installed;
        const char* given;
        const char* expected;  // relative to the tree; "" when no place holds a list
        std::size_t triedCount;
    };
    const Case cases[] = {
        {"only-beside", true, false, "", "prefix/bin/database.db", 1},
        {"both", true, true, "", "prefix/bin/database.db", 1},
        {"only-installed", false, true, "", "prefix/share/velquin/database.db", 2},
        {"none", false, false, "", "", 2},
        {"given-wins-even-when-missing", true, true, "elsewhere.db", "elsewhere.db", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TestTree tree;
        const std::string bin = tree.Folder("prefix/bin");
        if (c.beside) tree.Write("prefix/bin/database.db", "Finish:Finish\r\n");
        if (c.installed) tree.Write("prefix/share/velquin/database.db", "Finish:Finish\r\n");
        const std::string given = *c.given ? tree.Path(c.given) : "";

        const SignatureListLocation location = FindSignatureList(given, bin);
        EXPECT_EQ(location.path, *c.expected ? tree.Path(c.expected) : "");
        EXPECT_EQ(location.Found(), *c.expected != '\0');
        ASSERT_EQ(location.tried.size(), c.triedCount);
        EXPECT_EQ(location.tried.back(), *c.given ? given
                                         : c.triedCount == 1 ? tree.Path("prefix/bin/database.db")
                                                             : tree.Path("prefix/share/velquin/database.db"));
        if (c.triedCount == 2) {
            EXPECT_EQ(location.TriedText(), location.tried[0] + ", then " + location.tried[1]);
        }
    }
}

TEST(FindSignatureListTest, DataFolderOfAProgramInARootFolderIsBelowThatRoot) {
    const std::string root(1, platform::kPathSeparator);
    const SignatureListLocation location = FindSignatureList("", root);
    ASSERT_EQ(location.tried.size(), 2u);
    EXPECT_EQ(location.tried[1], testing::Native("/share/velquin/database.db"));
}

}  // namespace
}  // namespace velquin::engine
