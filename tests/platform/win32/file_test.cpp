// Windows file bodies: identities from the listing, removal through a handle on the very file,
// reparse points, attributes and names that are not valid UTF-16.

#include "platform/file.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <filesystem>

#include <gtest/gtest.h>

#include "../../engine/test_tree.h"
#include "platform/win32/text.h"

namespace velquin::platform {
namespace {

EntryInfo Described(const Folder& folder, const char* name) {
    EntryInfo info;
    EXPECT_EQ(folder.EntryInfoOf(name, info), Error::None) << name;
    return info;
}

TEST(WindowsFolderTest, ListingGivesTheLengthsAndIdentitiesThatOpeningGives) {
    testing::TestTree tree;
    tree.Write("file", std::string(5000, 'x'));
    tree.Folder("sub");
    const Folder folder = Folder::Open(tree.Root());
    NameList names;
    ASSERT_EQ(folder.ListNames(names), Error::None);
    std::vector<std::string> listed;
    for (std::size_t i = 0; i < names.Size(); ++i) listed.emplace_back(names.Name(i));
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{".", "..", "file", "sub"}));

    const EntryInfo file = Described(folder, "file");
    EXPECT_EQ(file.kind, EntryKind::Regular);
    EXPECT_EQ(file.size, 5000u);
    const EntryInfo sub = Described(folder, "sub");
    EXPECT_EQ(sub.kind, EntryKind::Folder);
    EntryInfo opened;
    ASSERT_EQ(folder.OpenFolder("sub").Info(opened), Error::None);
    EXPECT_EQ(sub.identity, opened.identity);
    EXPECT_NE(file.identity, sub.identity);

    // A name the listing has not seen is described by the system.
    tree.Write("later", "12345");
    const EntryInfo later = Described(folder, "later");
    EXPECT_EQ(later.size, 5u);
    EntryInfo missing;
    EXPECT_EQ(folder.EntryInfoOf("missing", missing), Error::NotFound);
}

TEST(WindowsFolderTest, RemovesReadOnlyHiddenSystemFilesOnlyWhenStillTheSameFile) {
    testing::TestTree tree;
    const std::string path = tree.Write("locked.exe", std::string(700, '\x01'));
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    tree.Write("other", "x");
    Folder folder = Folder::Open(tree.Root());
    NameList names;
    folder.ListNames(names);
    const EntryInfo locked = Described(folder, "locked.exe");
    const EntryInfo other = Described(folder, "other");

    EXPECT_EQ(folder.RemoveFile("locked.exe", other.identity), Error::Changed);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(folder.RemoveFile("locked.exe", locked.identity), Error::None);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(folder.RemoveFile("locked.exe", locked.identity), Error::NotFound);

    tree.Folder("dir");
    EXPECT_EQ(folder.RemoveFile("dir", Described(folder, "dir").identity), Error::NotRegularFile);
    EXPECT_TRUE(std::filesystem::exists(tree.Path("dir")));
}

TEST(WindowsFolderTest, JunctionIsALinkThatIsNeverOpenedReadOrRemovedThrough) {
    testing::TestTree tree;
    const std::string inside = tree.Write("target/inside", std::string(700, '\x01'));
    ASSERT_TRUE(tree.Junction("junction", "target"));
    const Folder folder = Folder::Open(tree.Root());
    NameList names;
    folder.ListNames(names);
    const EntryInfo junction = Described(folder, "junction");
    EXPECT_EQ(junction.kind, EntryKind::Link);
    Error error = Error::None;
    EXPECT_FALSE(folder.OpenFolder("junction", &error).IsOpen());
    EXPECT_EQ(error, Error::TooManyLinks);
    EXPECT_FALSE(folder.OpenFile("junction").IsOpen());
    EXPECT_EQ(folder.RemoveFile("junction", junction.identity), Error::TooManyLinks);
    EXPECT_TRUE(std::filesystem::exists(inside));
    // Given as the target itself, a junction is the caller's choice and is followed.
    EXPECT_TRUE(Folder::Open(tree.Path("junction")).IsOpen());
}

TEST(WindowsFolderTest, NamesThatAreNotValidUtf16AreReadAndRemoved) {
    testing::TestTree tree;
    const std::wstring root = win32::ExtendedPath(tree.Root());
    const std::wstring name = std::wstring(L"lone-") + wchar_t(0xD800) + L"-\u00e9.exe";
    const HANDLE file = ::CreateFileW((root + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE && testing::RunningUnderWine()) {
        GTEST_SKIP() << "Wine stores names as UTF-8 on the host, where an unpaired surrogate has no form";
    }
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::string content(700, '\x07');
    DWORD written = 0;
    ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(file);

    const Folder folder = Folder::Open(tree.Root());
    NameList names;
    ASSERT_EQ(folder.ListNames(names), Error::None);
    std::string found;
    for (std::size_t i = 0; i < names.Size(); ++i) {
        if (std::string(names.Name(i)).starts_with("lone-")) found = names.Name(i);
    }
    ASSERT_EQ(win32::Widen(found), name);
    std::array<std::uint8_t, 10> bytes{};
    EXPECT_EQ(folder.OpenFile(found.c_str()).ReadAt(100, bytes), Error::None);
    EXPECT_EQ(bytes[0], 7);
    EXPECT_EQ(folder.RemoveFile(found.c_str(), Described(folder, found.c_str()).identity), Error::None);
    EXPECT_EQ(::GetFileAttributesW((root + L"\\" + name).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(WindowsFolderTest, DriveRootIsItsOwnParentAndTheExecutableFolderIsKnown) {
    EntryInfo root, parent;
    const Folder drive = Folder::Open("C:\\");
    ASSERT_TRUE(drive.IsOpen());
    ASSERT_EQ(drive.Info(root), Error::None);
    ASSERT_EQ(drive.OpenParent().Info(parent), Error::None);
    EXPECT_EQ(root.identity, parent.identity);

    const std::string folder = ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_TRUE(std::filesystem::exists(folder + "\\platform_file_test.exe")) << folder;
}

TEST(WindowsFolderTest, ReadFileTakesAWholeFileAndRefusesFolders) {
    testing::TestTree tree;
    const std::string path = tree.Write("database.db", std::string(100000, 'k'));
    std::string content;
    EXPECT_EQ(ReadFile(path, content), Error::None);
    EXPECT_EQ(content.size(), 100000u);
    EXPECT_EQ(ReadFile(tree.Folder("folder"), content), Error::IsADirectory);
    EXPECT_EQ(ReadFile(tree.Path("missing"), content), Error::NotFound);
}

}  // namespace
}  // namespace velquin::platform
