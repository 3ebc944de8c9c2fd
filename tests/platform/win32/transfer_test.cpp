// Windows bodies of the quarantine's file moves and small writes; the owner's write bit stands for
// the read-only attribute.

#include "platform/transfer.h"

#include <windows.h>

#undef MoveFile

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "../../engine/test_tree.h"

namespace velquin::platform {
namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

FileIdentity IdentityOf(const Folder& folder, const char* name) {
    NameList names;
    folder.ListNames(names);
    EntryInfo info;
    EXPECT_EQ(folder.EntryInfoOf(name, info), Error::None) << name;
    return info.identity;
}

TEST(WindowsTransferTest, MovesOnlyTheCheckedFileNeverReplacingAndSetsReadOnlyForAClearedWriteBit) {
    testing::TestTree tree;
    const std::string original = tree.Write("from/a.exe", "payload");
    tree.Write("from/other", "x");
    const std::string taken = tree.Write("to/taken", "keep me");
    const Folder from = Folder::Open(tree.Path("from"));
    const Folder to = Folder::Open(tree.Path("to"));
    const FileIdentity identity = IdentityOf(from, "a.exe");

    EXPECT_EQ(MoveFile(from, "a.exe", IdentityOf(from, "other"), to, "q1", ModeChange{}), Error::Changed);
    EXPECT_EQ(MoveFile(from, "a.exe", identity, to, "taken", ModeChange{}), Error::Exists);
    EXPECT_EQ(Contents(taken), "keep me");
    EXPECT_TRUE(std::filesystem::exists(original));

    MovedFile moved;
    ASSERT_EQ(MoveFile(from, "a.exe", identity, to, "q1", ModeChange{0644, 0400}, &moved), Error::None);
    EXPECT_FALSE(std::filesystem::exists(original));
    EXPECT_EQ(Contents(tree.Path("to/q1")), "payload");
    EXPECT_EQ(moved.originalMode, 0666u);
    EXPECT_FALSE(moved.copied);
    std::uint32_t mode = 0;
    ASSERT_EQ(PermissionsOf(to, "q1", mode), Error::None);
    EXPECT_EQ(mode, 0666u);  // the owner could write before, and still may

    // Back with a mode whose write bit is clear: read-only, and moved although read-only.
    const FileIdentity stored = IdentityOf(to, "q1");
    ASSERT_EQ(MoveFile(to, "q1", stored, from, "a.exe", ModeChange{0, 0444}), Error::None);
    ASSERT_EQ(PermissionsOf(from, "a.exe", mode), Error::None);
    EXPECT_EQ(mode, 0444u);
    EXPECT_EQ(MoveFile(from, "a.exe", IdentityOf(from, "a.exe"), to, "q2", ModeChange{}), Error::None);
}

TEST(WindowsTransferTest, AppendsReplacesAndReadsWholeFilesButNeverAFolder) {
    testing::TestTree tree;
    const std::string path = tree.Folder("q");
    EXPECT_EQ(CreatePrivateFolder(path), Error::None);  // an existing folder is fine
    EXPECT_EQ(CreatePrivateFolder(tree.Path("q/new")), Error::None);
    EXPECT_TRUE(std::filesystem::is_directory(tree.Path("q/new")));
    EXPECT_EQ(CreatePrivateFolder(tree.Write("q/file", "x")), Error::NotADirectory);

    const Folder folder = Folder::Open(path);
    ASSERT_EQ(AppendToFile(folder, "manifest.tsv", "one\n"), Error::None);
    ASSERT_EQ(AppendToFile(folder, "manifest.tsv", "two\n"), Error::None);
    std::string text;
    ASSERT_EQ(ReadWholeFile(folder, "manifest.tsv", text), Error::None);
    EXPECT_EQ(text, "one\ntwo\n");
    ASSERT_EQ(ReplaceFileContents(folder, "manifest.tsv", "three\n"), Error::None);
    ASSERT_EQ(ReadWholeFile(folder, "manifest.tsv", text), Error::None);
    EXPECT_EQ(text, "three\n");
    EXPECT_EQ(ReadWholeFile(folder, "new", text), Error::IsADirectory);
    EXPECT_EQ(ReadWholeFile(folder, "missing", text), Error::NotFound);
}

}  // namespace
}  // namespace velquin::platform
