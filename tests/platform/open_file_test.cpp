// Files opened for reading, on every system: the file the listing described, with its identity,
// and it stays that file whatever takes its name meanwhile.

#include "platform/file.h"

#include <array>

#include <gtest/gtest.h>

#include "../engine/test_tree.h"

namespace velquin::platform {
namespace {

TEST(OpenFileTest, IsTheFileListedAndStaysItWhateverTakesItsName) {
    testing::TestTree tree;
    std::string content(1000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i % 251);
    tree.Write("file", content);
    tree.Write("other", std::string(1000, 'o'));
    tree.Folder("folder");
    const Folder folder = Folder::Open(tree.Root());
    NameList names;
    ASSERT_EQ(folder.ListNames(names), Error::None);
    EntryInfo listed;
    ASSERT_EQ(folder.EntryInfoOf("file", listed), Error::None);

    Error error = Error::Other;
    EntryInfo described;
    const File file = folder.OpenFile("file", &error, &described);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(error, Error::None);
    EXPECT_EQ(described.identity, listed.identity);
    ASSERT_TRUE(testing::Exchange(tree.Path("file"), tree.Path("other")));
    EntryInfo opened;
    ASSERT_EQ(file.Info(opened), Error::None);
    EXPECT_EQ(opened.identity, listed.identity);
    EXPECT_EQ(opened.kind, EntryKind::Regular);
    EXPECT_EQ(opened.size, 1000u);
    std::array<std::uint8_t, 10> bytes{};
    ASSERT_EQ(file.ReadAt(500, bytes), Error::None);
    EXPECT_EQ(bytes[0], 500 % 251);
    EXPECT_EQ(file.ReadAt(995, bytes), Error::Changed);  // past the end

    EXPECT_FALSE(folder.OpenFile("folder", &error).IsOpen());
    EXPECT_EQ(error, Error::NotRegularFile);
    EXPECT_FALSE(folder.OpenFile("missing", &error).IsOpen());
    EXPECT_EQ(error, Error::NotFound);
}

}  // namespace
}  // namespace velquin::platform
