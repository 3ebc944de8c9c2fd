#include "engine/fingerprint.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include "test_tree.h"

namespace velquin::engine {
namespace {

const std::string kShort = "0079914R102910492019018";

std::string Filled(std::size_t size, char value) { return std::string(size, value); }

std::string FingerprintOf(const testing::TestTree& tree, const std::string& content) {
    const FingerprintResult result = ComputeFingerprint(tree.Write("f.bin", content));
    return result ? std::string(result.fingerprint->Text()) : "<failed>";
}

TEST(FingerprintTest, WorkedValuesAndWindowBoundaries) {
    std::string window3(5000, '\0');
    std::fill(window3.begin() + 3911, window3.begin() + 4113, '\x03');
    std::string longFileNoise = Filled(4520, '\x01');
    std::fill(longFileNoise.begin(), longFileNoise.begin() + 3911, '\xFF');  // before the windows
    std::string exact129(700, '\0');
    std::fill(exact129.begin() + 1, exact129.begin() + 130, '\xFF');

    const struct {
        const char* what;
        std::string content;
        std::string expected;
    } cases[] = {
        {"100 bytes", Filled(100, '\x7F'), kShort},
        {"700 bytes of 0x01", Filled(700, '\x01'), "CACA79914R102910492019018"},
        {"5000 bytes of 0x02", Filled(5000, '\x02'), "65065079914R102910492019018"},
        {"5000 bytes, window A of 0x03", window3, "154E079914R102910492019018"},
        {"609 bytes of 0xFF", Filled(609, '\xFF'), kShort},
        {"610 bytes", Filled(610, '\x01'), "CACA79914R102910492019018"},
        {"4519 bytes use the first windows", Filled(4519, '\x01'), "CACA79914R102910492019018"},
        {"4520 bytes ignore bytes before 3911", longFileNoise, "CACA79914R102910492019018"},
        {"129 bytes of 0xFF still fit", exact129, "7F7E827F079914R102910492019018"},
        {"empty file", "", kShort},
    };
    testing::TestTree tree;
    for (const auto& c : cases) EXPECT_EQ(FingerprintOf(tree, c.content), c.expected) << c.what;
}

TEST(FingerprintTest, BytesOutsideTheWindowsDoNotCount) {
    testing::TestTree tree;
    std::string base(1000, '\x05');
    const std::string expected = FingerprintOf(tree, base);
    for (const std::size_t offset : {0, 203, 300, 400, 603, 999}) {
        std::string changed = base;
        changed[offset] = '\x77';
        EXPECT_EQ(FingerprintOf(tree, changed), expected) << "offset " << offset;
    }
    for (const std::size_t offset : {1, 202, 401, 602}) {
        std::string changed = base;
        changed[offset] = '\x77';
        EXPECT_NE(FingerprintOf(tree, changed), expected) << "offset " << offset;
    }
}

TEST(FingerprintTest, WindowSumAboveTheLimitFailsWithOverflow) {
    testing::TestTree tree;
    std::string windowB(700, '\0');
    std::fill(windowB.begin() + 401, windowB.begin() + 531, '\xFF');  // 130 bytes
    for (const std::string& content : {Filled(700, '\xFF'), windowB}) {
        const FingerprintResult result = ComputeFingerprint(tree.Write("f.bin", content));
        EXPECT_FALSE(result);
        EXPECT_EQ(result.failure, FingerprintFailure::Overflow);
    }
}

TEST(FingerprintTest, UnpaddedSumsCanGiveTheSameText) {
    EXPECT_EQ(Fingerprint::FromSums(0x1, 0x23).Text(), "12379914R102910492019018");
    EXPECT_EQ(Fingerprint::FromSums(0x12, 0x3).Text(), "12379914R102910492019018");
}

TEST(FingerprintTest, ShortFilesAreNeverOpened) {
    testing::TestTree tree;
    const platform::Folder folder = platform::Folder::Open(tree.Root());
    platform::EntryInfo info;
    info.kind = platform::EntryKind::Regular;
    // The entry does not exist: only an attempt to open it could fail.
    info.size = 609;
    const FingerprintResult shortFile = ComputeFingerprint(folder, "missing", info);
    ASSERT_TRUE(shortFile);
    EXPECT_EQ(shortFile.fingerprint->Text(), kShort);
    info.size = 610;
    const FingerprintResult longFile = ComputeFingerprint(folder, "missing", info);
    EXPECT_FALSE(longFile);
    EXPECT_EQ(longFile.error, platform::Error::NotFound);
}

#ifndef _WIN32
// A FIFO and a symbolic link: POSIX makes them without privileges.
TEST(FingerprintTest, OnlyRegularFilesAreRead) {
    testing::TestTree tree;
    ASSERT_EQ(mkfifo(tree.Path("pipe").c_str(), 0600), 0);
    tree.Write("big/inside", Filled(5000, '\x01'));
    ASSERT_EQ(symlink(tree.Path("big/inside").c_str(), tree.Path("link").c_str()), 0);
    for (const char* name : {"pipe", "big", "link"}) {
        const FingerprintResult result = ComputeFingerprint(tree.Path(name));
        ASSERT_TRUE(result) << name;
        EXPECT_EQ(result.fingerprint->Text(), kShort) << name;
    }
}
#endif

TEST(FingerprintTest, FailsWhenTheFileIsGoneOrShrank) {
    testing::TestTree tree;
    const FingerprintResult gone = ComputeFingerprint(tree.Path("nothing-here"));
    EXPECT_FALSE(gone);
    EXPECT_EQ(gone.error, platform::Error::NotFound);

    tree.Write("shrunk", Filled(100, '\x01'));
    const platform::Folder folder = platform::Folder::Open(tree.Root());
    platform::EntryInfo info;
    ASSERT_EQ(folder.EntryInfoOf("shrunk", info), platform::Error::None);
    info.size = 700;  // as it was when it was listed
    EXPECT_FALSE(ComputeFingerprint(folder, "shrunk", info));
}

// The identity that goes with a fingerprint is that of the file read, and a file that has taken
// the described entry's name since is never read in its place.
TEST(FingerprintTest, GivesTheIdentityOfTheFileReadAndNeverReadsAReplacement) {
    testing::TestTree tree;
    tree.Write("a", Filled(700, '\x01'));
    tree.Write("b", Filled(700, '\x02'));
    tree.Write("small", Filled(100, '\x01'));
    const platform::Folder folder = platform::Folder::Open(tree.Root());
    platform::EntryInfo a, b, small;
    ASSERT_EQ(folder.EntryInfoOf("a", a), platform::Error::None);
    ASSERT_EQ(folder.EntryInfoOf("b", b), platform::Error::None);
    ASSERT_EQ(folder.EntryInfoOf("small", small), platform::Error::None);

    const FingerprintResult read = ComputeFingerprint(folder, "a", a);
    ASSERT_TRUE(read);
    EXPECT_EQ(read.fingerprint->Text(), "CACA79914R102910492019018");
    EXPECT_EQ(read.identity, a.identity);
    EXPECT_EQ(ComputeFingerprint(folder, "small", small).identity, small.identity);  // never opened

    std::filesystem::rename(tree.Path("b"), tree.Path("a"));
    const FingerprintResult replaced = ComputeFingerprint(folder, "a", a);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(replaced.error, platform::Error::Changed);
    // An open file is described as it is: here the one that now has the name.
    const FingerprintResult open = ComputeFingerprint(folder.OpenFile("a"));
    ASSERT_TRUE(open);
    EXPECT_EQ(open.fingerprint->Text(), "65065079914R102910492019018");
    EXPECT_EQ(open.identity, b.identity);
}

}  // namespace
}  // namespace velquin::engine
