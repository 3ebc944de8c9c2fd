#include "platform/file.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "../../engine/test_tree.h"

namespace velquin::platform {
namespace {

TEST(FolderTest, ListsEveryNameWithTheDotEntries) {
    testing::TestTree tree;
    tree.Write("a", "1");
    tree.Write("sub/b", "2");
    const Folder folder = Folder::Open(tree.Root());
    NameList names;
    ASSERT_EQ(folder.ListNames(names), Error::None);
    std::vector<std::string> listed;
    for (std::size_t i = 0; i < names.Size(); ++i) {
        listed.emplace_back(names.Name(i));
        EXPECT_EQ(names.Length(i), listed.back().size());
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{".", "..", "a", "sub"}));
    // Listing again starts from the beginning.
    ASSERT_EQ(folder.ListNames(names), Error::None);
    EXPECT_EQ(names.Size(), 4u);
}

TEST(FolderTest, DescribesEntriesWithoutFollowingLinks) {
    testing::TestTree tree;
    tree.Write("file", std::string(1234, 'x'));
    tree.Folder("folder");
    ASSERT_EQ(symlink("folder", tree.Path("link").c_str()), 0);
    ASSERT_EQ(mkfifo(tree.Path("fifo").c_str(), 0600), 0);
    const Folder folder = Folder::Open(tree.Root());
    const struct {
        const char* name;
        EntryKind kind;
    } cases[] = {{"file", EntryKind::Regular}, {"folder", EntryKind::Folder},
                 {"link", EntryKind::Link}, {"fifo", EntryKind::Other}};
    for (const auto& c : cases) {
        EntryInfo info;
        ASSERT_EQ(folder.EntryInfoOf(c.name, info), Error::None) << c.name;
        EXPECT_EQ(info.kind, c.kind) << c.name;
    }
    EntryInfo file;
    folder.EntryInfoOf("file", file);
    EXPECT_EQ(file.size, 1234u);
    EntryInfo missing;
    EXPECT_EQ(folder.EntryInfoOf("missing", missing), Error::NotFound);
    Error error = Error::None;
    EXPECT_FALSE(folder.OpenFolder("link", &error).IsOpen());
    EXPECT_EQ(error, Error::NotADirectory);
}

TEST(FolderTest, OpensNoLinkAndNoFifo) {
    testing::TestTree tree;
    tree.Write("file", "x");
    ASSERT_EQ(symlink("file", tree.Path("link").c_str()), 0);
    ASSERT_EQ(mkfifo(tree.Path("fifo").c_str(), 0600), 0);
    const Folder folder = Folder::Open(tree.Root());
    Error error = Error::None;
    EXPECT_FALSE(folder.OpenFile("link", &error).IsOpen());
    EXPECT_EQ(error, Error::TooManyLinks);
    EXPECT_FALSE(folder.OpenFile("fifo", &error).IsOpen());  // returns, never waits for a writer
    EXPECT_EQ(error, Error::NotRegularFile);
}

std::vector<std::string> NamesIn(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// In a folder only the scanner may change, and in one that others may change too, where the
// removal goes through a private folder of its own: the same outcome, and nothing left behind.
TEST(FolderTest, RemovesOnlyTheSameRegularFile) {
    for (const mode_t mode : {0700, 0777, 01777}) {
        testing::TestTree tree;
        ASSERT_EQ(chmod(tree.Root().c_str(), mode), 0);
        tree.Write("victim", "x");
        tree.Write("other", "y");
        ASSERT_EQ(symlink("other", tree.Path("link").c_str()), 0);
        const Folder folder = Folder::Open(tree.Root());
        EntryInfo victim, other, link;
        folder.EntryInfoOf("victim", victim);
        folder.EntryInfoOf("other", other);
        folder.EntryInfoOf("link", link);

        EXPECT_EQ(folder.RemoveFile("victim", other.identity), Error::Changed) << std::oct << mode;
        EXPECT_EQ(folder.RemoveFile("link", other.identity), Error::TooManyLinks);
        EXPECT_EQ(folder.RemoveFile("link", link.identity), Error::TooManyLinks);
        EXPECT_EQ(NamesIn(tree.Root()), (std::vector<std::string>{"link", "other", "victim"}));
        EXPECT_EQ(folder.RemoveFile("victim", victim.identity), Error::None) << std::oct << mode;
        EXPECT_EQ(NamesIn(tree.Root()), (std::vector<std::string>{"link", "other"}));
        EXPECT_EQ(folder.RemoveFile("victim", victim.identity), Error::NotFound);
    }
}

// Another user exchanges the entry with another file of the folder again and again while it is
// being removed (renameat2 with RENAME_EXCHANGE, as fast as the system allows): whenever the
// removal reports success the expected file is gone, and the other file never is.
TEST(FolderTest, RemovalNeverTakesAFileExchangedInWhileItRuns) {
    testing::TestTree tree;
    ASSERT_EQ(chmod(tree.Root().c_str(), 0777), 0);
    const std::string entry = tree.Path("entry"), spare = tree.Path("spare");
    tree.Write("spare", "the other file");
    const Folder folder = Folder::Open(tree.Root());
    EntryInfo kept;
    ASSERT_EQ(folder.EntryInfoOf("spare", kept), Error::None);

    struct Exchanger {
        std::atomic<bool> stop{false};
        std::thread thread;
        ~Exchanger() {
            stop = true;
            thread.join();
        }
    } exchanger;
    exchanger.thread = std::thread([&] {
        while (!exchanger.stop) testing::Exchange(entry, spare);
    });
    int removed = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (int round = 0; round < 5000 && std::chrono::steady_clock::now() < deadline; ++round) {
        // A fresh expected file takes the free name; until then the exchanger finds nothing to do.
        const std::string fresh = tree.Write("fresh", "the expected file");
        EntryInfo expected;
        ASSERT_EQ(folder.EntryInfoOf("fresh", expected), Error::None);
        ASSERT_EQ(renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, entry.c_str(), RENAME_NOREPLACE), 0);
        // The other file holds the name until the exchanger runs again.
        Error error = folder.RemoveFile("entry", expected.identity);
        const auto patience = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (error == Error::Changed && std::chrono::steady_clock::now() < patience) {
            std::this_thread::yield();
            error = folder.RemoveFile("entry", expected.identity);
        }
        ASSERT_EQ(error, Error::None) << "round " << round;
        ++removed;
        // Now one name is free, so nothing is exchanged any more: the other file is under the
        // other name, and the expected one is gone.
        struct stat st;
        const bool atEntry = stat(entry.c_str(), &st) == 0;
        ASSERT_TRUE(atEntry || stat(spare.c_str(), &st) == 0);
        ASSERT_EQ(st.st_ino, kept.identity.inode) << "the other file was removed (round " << round << ")";
        if (atEntry) {
            ASSERT_EQ(std::rename(entry.c_str(), spare.c_str()), 0);
        }
    }
    EXPECT_GT(removed, 0);
    EXPECT_EQ(NamesIn(tree.Root()), std::vector<std::string>{"spare"});
}

TEST(FolderTest, ReadFileRefusesWhatIsNotAFile) {
    testing::TestTree tree;
    tree.Write("list", "abc");
    ASSERT_EQ(mkfifo(tree.Path("fifo").c_str(), 0600), 0);
    std::string text;
    EXPECT_EQ(ReadFile(tree.Path("list"), text), Error::None);
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(ReadFile(tree.Root(), text), Error::IsADirectory);
    EXPECT_EQ(ReadFile(tree.Path("fifo"), text), Error::NotRegularFile);
    EXPECT_EQ(ReadFile(tree.Path("missing"), text), Error::NotFound);
}

TEST(PseudoFileSystemsTest, ReadsPseudoDevicesFromTheMountTable) {
    testing::TestTree tree;
    const std::string table = tree.Write(
        "mountinfo",
        "22 1 0:21 / /proc rw,nosuid shared:12 - proc proc rw\n"
        "23 1 0:22 / /sys rw shared:7 - sysfs sysfs rw\n"
        "24 1 0:5 / /dev rw - devtmpfs udev rw,size=10k\n"
        "25 1 254:0 / / rw - ext4 /dev/vda rw\n"
        "26 24 0:30 / /dev/shm rw - tmpfs tmpfs rw\n"
        "garbage line\n");
    const PseudoFileSystems pseudo = PseudoFileSystems::Load(table);
    EXPECT_TRUE(pseudo.Contains(makedev(0, 21)));
    EXPECT_TRUE(pseudo.Contains(makedev(0, 22)));
    EXPECT_TRUE(pseudo.Contains(makedev(0, 5)));   // devtmpfs, which reports itself as tmpfs
    EXPECT_FALSE(pseudo.Contains(makedev(254, 0)));
    EXPECT_FALSE(pseudo.Contains(makedev(0, 30)));  // a real memory file system is walked
    EXPECT_FALSE(PseudoFileSystems::Load(tree.Path("missing")).Contains(makedev(0, 21)));
}

TEST(PseudoFileSystemsTest, SystemTableKnowsProc) {
    struct stat st;
    ASSERT_EQ(stat("/proc/self", &st), 0);
    EXPECT_TRUE(PseudoFileSystems::Load().Contains(st.st_dev));
}

}  // namespace
}  // namespace velquin::platform
