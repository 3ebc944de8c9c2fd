// Windows bodies of the quarantine's file moves and small writes; the owner's write bit stands for
// the read-only attribute.

#include "platform/transfer.h"

#include <windows.h>

#include "platform/ownership.h"
#include "platform/win32/folder.h"

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

TEST(WindowsTransferTest, APrivateFolderIsTheUsersAloneAndItsLockedFilesStayRegular) {
    testing::TestTree tree;
    const std::string path = tree.Path("q");
    ASSERT_EQ(CreatePrivateFolder(path), Error::None);
    EXPECT_EQ(CreatePrivateFolder(path), Error::Exists);
    EXPECT_EQ(CreatePrivateFolder(tree.Write("file", "x")), Error::Exists);

    const Folder folder = Folder::OpenRefusingLink(path);
    ASSERT_TRUE(folder.IsOpen());
    Ownership ownership;
    ASSERT_EQ(OwnershipOf(folder, ownership), Error::None);
    EXPECT_TRUE(ownership.ownedByCurrentUser);
    EXPECT_FALSE(ownership.othersMayWrite);
    EXPECT_FALSE(ownership.othersMayEnter);

    LockedFile manifest = LockedFile::Open(folder, "manifest.tsv", true);
    ASSERT_TRUE(manifest.IsOpen());
    ASSERT_EQ(manifest.Append("one\n"), Error::None);
    ASSERT_EQ(manifest.Replace("two\n"), Error::None);
    ASSERT_EQ(OwnershipOf(manifest, ownership), Error::None);
    EXPECT_TRUE(ownership.ownedByCurrentUser);
    EXPECT_FALSE(ownership.othersMayWrite);
    std::string text;
    ASSERT_EQ(manifest.Read(text), Error::None);
    EXPECT_EQ(text, "two\n");
    tree.Folder("q/sub");
    Error error = Error::None;
    EXPECT_FALSE(LockedFile::Open(folder, "sub", true, &error).IsOpen());
    EXPECT_EQ(error, Error::IsADirectory);
}

TEST(WindowsTransferTest, AFolderEverybodyMayChangeIsNamedSo) {
    testing::TestTree tree;
    const std::string path = tree.Folder("open");
    // Everybody: full control, as a careless share would give.
    SECURITY_DESCRIPTOR descriptor;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    BYTE everyone[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof everyone;
    ASSERT_TRUE(::CreateWellKnownSid(WinWorldSid, nullptr, everyone, &size));
    BYTE aclBuffer[256];
    auto* acl = reinterpret_cast<ACL*>(aclBuffer);
    ASSERT_TRUE(::InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION));
    ASSERT_TRUE(::AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, everyone));
    ASSERT_TRUE(::SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE));
    const std::wstring wide(path.begin(), path.end());
    ASSERT_TRUE(::SetFileSecurityW(wide.c_str(), DACL_SECURITY_INFORMATION, &descriptor));

    Ownership ownership;
    ASSERT_EQ(OwnershipOf(Folder::Open(path), ownership), Error::None);
    EXPECT_TRUE(ownership.othersMayWrite);
    EXPECT_TRUE(ownership.othersMayEnter);
}

TEST(WindowsTransferTest, AFolderIsReachedAlongItsPathOnlyWithoutJunctions) {
    testing::TestTree tree;
    tree.Folder("real/sub");
    const bool junction = tree.Junction("link", "real");
    if (!junction) GTEST_SKIP() << "cannot make a junction here";
    Error error = Error::None;
    const Folder direct = Folder::OpenAlongPath(tree.Path("real/sub"), &error);
    ASSERT_TRUE(direct.IsOpen()) << ErrorMessage(error);
    std::string where;
    ASSERT_EQ(direct.Path(where), Error::None);
    EXPECT_TRUE(win32::SamePath(win32::Widen(where), win32::Widen(tree.Path("real/sub"))));
    EXPECT_FALSE(Folder::OpenAlongPath(tree.Path("link/sub"), &error).IsOpen());
    EXPECT_EQ(error, Error::TooManyLinks);
    EXPECT_FALSE(Folder::OpenRefusingLink(tree.Path("link"), &error).IsOpen());
    EXPECT_EQ(error, Error::TooManyLinks);
    EXPECT_TRUE(Folder::OpenRefusingLink(tree.Path("real")).IsOpen());
}

}  // namespace
}  // namespace velquin::platform
