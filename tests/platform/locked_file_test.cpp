// The quarantine manifest's lock: changes made side by side under it never cross.

#include "platform/transfer.h"

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "../engine/test_tree.h"

namespace velquin::platform {
namespace {

std::size_t CountLines(const std::string& text, const std::string& line) {
    std::size_t count = 0;
    for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++count;
    return count;
}

TEST(LockedFileTest, ReadsAppendsAndReplacementsSideBySideLoseNothing) {
    testing::TestTree tree;
    const Folder folder = Folder::Open(tree.Folder("q"));
    constexpr int kWriters = 4;
    constexpr int kRounds = 200;
    // Each writer in turn appends a line, or reads the whole file and replaces it with one more
    // line: without the lock, or with a lock that stays on a replaced file, lines go missing.
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&folder, w] {
            for (int round = 0; round < kRounds; ++round) {
                const std::string line = "writer " + std::to_string(w) + " round " + std::to_string(round) + "\n";
                Error error = Error::None;
                LockedFile file = LockedFile::Open(folder, "manifest.tsv", true, &error);
                ASSERT_EQ(error, Error::None);
                if (round % 2 == 0) {
                    ASSERT_EQ(file.Append(line), Error::None);
                } else {
                    std::string text;
                    ASSERT_EQ(file.Read(text), Error::None);
                    ASSERT_EQ(file.Replace(text + line), Error::None);
                }
            }
        });
    }
    for (auto& writer : writers) writer.join();

    std::string text;
    LockedFile file = LockedFile::Open(folder, "manifest.tsv", false);
    ASSERT_EQ(file.Read(text), Error::None);
    EXPECT_EQ(CountLines(text, "\n"), static_cast<std::size_t>(kWriters * kRounds));
    for (int w = 0; w < kWriters; ++w) {
        EXPECT_EQ(CountLines(text, "writer " + std::to_string(w) + " "), static_cast<std::size_t>(kRounds));
    }
    NameList names;
    ASSERT_EQ(folder.ListNames(names), Error::None);
    std::size_t entries = 0;
    for (std::size_t i = 0; i < names.Size(); ++i) entries += names.Name(i)[0] != '.';
    EXPECT_EQ(entries, 1u);  // no fresh file left behind
}

TEST(LockedFileTest, NeverOpensThroughALinkNorAnythingButARegularFile) {
    testing::TestTree tree;
    const Folder folder = Folder::Open(tree.Folder("q"));
    tree.Folder("q/sub");
    Error error = Error::None;
    EXPECT_FALSE(LockedFile::Open(folder, "missing", false, &error).IsOpen());
    EXPECT_EQ(error, Error::NotFound);
    EXPECT_FALSE(LockedFile::Open(folder, "sub", true, &error).IsOpen());
    EXPECT_NE(error, Error::None);
}

}  // namespace
}  // namespace velquin::platform
