#include "platform/file.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <array>

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

TEST(FolderTest, ReadsRegularFilesOnly) {
    testing::TestTree tree;
    std::string content(1000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i % 251);
    tree.Write("file", content);
    ASSERT_EQ(symlink("file", tree.Path("link").c_str()), 0);
    ASSERT_EQ(mkfifo(tree.Path("fifo").c_str(), 0600), 0);
    tree.Folder("folder");
    const Folder folder = Folder::Open(tree.Root());

    std::array<std::uint8_t, 10> bytes{};
    ASSERT_EQ(folder.ReadFileAt("file", 500, bytes), Error::None);
    EXPECT_EQ(bytes[0], 500 % 251);
    EXPECT_EQ(folder.ReadFileAt("file", 995, bytes), Error::Changed);  // past the end
    EXPECT_EQ(folder.ReadFileAt("link", 0, bytes), Error::TooManyLinks);
    EXPECT_EQ(folder.ReadFileAt("fifo", 0, bytes), Error::NotRegularFile);  // returns, never waits
    EXPECT_NE(folder.ReadFileAt("folder", 0, bytes), Error::None);
}

TEST(FolderTest, RemovesOnlyTheSameRegularFile) {
    testing::TestTree tree;
    tree.Write("victim", "x");
    tree.Write("other", "y");
    ASSERT_EQ(symlink("other", tree.Path("link").c_str()), 0);
    const Folder folder = Folder::Open(tree.Root());
    EntryInfo victim, other, link;
    folder.EntryInfoOf("victim", victim);
    folder.EntryInfoOf("other", other);
    folder.EntryInfoOf("link", link);

    EXPECT_EQ(folder.RemoveFile("victim", other.identity), Error::Changed);
    EXPECT_EQ(folder.RemoveFile("link", other.identity), Error::TooManyLinks);
    EXPECT_EQ(folder.RemoveFile("link", link.identity), Error::TooManyLinks);
    EXPECT_TRUE(std::filesystem::exists(tree.Path("victim")));
    EXPECT_TRUE(std::filesystem::exists(tree.Path("other")));
    EXPECT_EQ(folder.RemoveFile("victim", victim.identity), Error::None);
    EXPECT_FALSE(std::filesystem::exists(tree.Path("victim")));
    EXPECT_EQ(folder.RemoveFile("victim", victim.identity), Error::NotFound);
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
