#include "platform/transfer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace velquin::platform {
namespace {

namespace fs = std::filesystem;

fs::path MakeTempDir(const fs::path& base, const std::string& tag) {
    const fs::path dir = base / ("velquin-transfer-" + tag + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct stat StatOf(const fs::path& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

FileIdentity IdentityOf(const fs::path& path) {
    const auto st = StatOf(path);
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

// Every case runs twice: source and target on one file system (a rename) and on two (a copy).
class MoveFileTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        from_ = MakeTempDir(fs::temp_directory_path(), "from");
        to_ = MakeTempDir(GetParam() ? fs::path("/dev/shm") : fs::temp_directory_path(), "to");
        if (GetParam() && StatOf(from_).st_dev == StatOf(to_).st_dev) {
            GTEST_SKIP() << "/dev/shm is on the same file system as " << fs::temp_directory_path();
        }
        fromFolder_ = Folder::Open(from_.string());
        toFolder_ = Folder::Open(to_.string());
    }
    void TearDown() override {
        fs::remove_all(from_);
        fs::remove_all(to_);
    }
    fs::path Write(const fs::path& path, const std::string& content, fs::perms mode) {
        std::ofstream(path, std::ios::binary) << content;
        fs::permissions(path, mode);
        return path;
    }

    fs::path from_, to_;
    Folder fromFolder_, toFolder_;
};

TEST_P(MoveFileTest, MovesContentsTimesAndTheChangedModeAndRemovesTheOriginal) {
    const auto file = Write(from_ / "abc.exe", std::string("MZ\0payload", 10), fs::perms(0755));
    const struct timespec times[2] = {{1000000000, 123456789}, {1200000000, 987654321}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);

    MovedFile moved;
    ASSERT_EQ(MoveFile(fromFolder_, "abc.exe", IdentityOf(file), toFolder_, "q1", ModeChange{0644, 0400}, &moved),
              Error::None);

    EXPECT_FALSE(fs::exists(fs::symlink_status(file)));
    EXPECT_EQ(Contents(to_ / "q1"), std::string("MZ\0payload", 10));
    const auto st = StatOf(to_ / "q1");
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1200000000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 987654321);
    EXPECT_EQ(moved.originalMode, 0755u);
    EXPECT_EQ(moved.copied, GetParam());
}

TEST_P(MoveFileTest, NeverReplacesAnExistingEntry) {
    const auto file = Write(from_ / "abc.exe", "malware", fs::perms(0644));
    Write(to_ / "taken", "keep me", fs::perms(0644));

    EXPECT_EQ(MoveFile(fromFolder_, "abc.exe", IdentityOf(file), toFolder_, "taken", {}), Error::Exists);
    EXPECT_EQ(Contents(to_ / "taken"), "keep me");
    EXPECT_EQ(Contents(file), "malware");
}

TEST_P(MoveFileTest, RefusesLinksAndFilesThatAreNoLongerTheOneChecked) {
    const auto outside = Write(from_ / "outside.txt", "precious", fs::perms(0644));
    fs::create_symlink(outside, from_ / "link.exe");
    const auto file = Write(from_ / "abc.exe", "malware", fs::perms(0644));
    const FileIdentity checked = IdentityOf(file);
    // The detected file is replaced by another one under its name (made first, so that it cannot
    // get the old file's inode number).
    fs::rename(Write(from_ / "new", "innocent", fs::perms(0644)), file);

    EXPECT_EQ(MoveFile(fromFolder_, "link.exe", IdentityOf(outside), toFolder_, "q1", {}), Error::TooManyLinks);
    EXPECT_EQ(MoveFile(fromFolder_, "abc.exe", checked, toFolder_, "q2", {}), Error::Changed);
    EXPECT_EQ(Contents(outside), "precious");
    EXPECT_EQ(Contents(from_ / "abc.exe"), "innocent");
    EXPECT_TRUE(fs::is_empty(to_));
}

INSTANTIATE_TEST_SUITE_P(SameAndOtherFileSystem, MoveFileTest, ::testing::Values(false, true),
                         [](const auto& param) { return param.param ? "Copy" : "Rename"; });

TEST(TransferFilesTest, LockedFilesAreCreatedPrivatelyAndNeverReachedThroughALink) {
    const auto dir = MakeTempDir(fs::temp_directory_path(), "files");
    const auto folder = Folder::Open(dir.string());
    const mode_t mask = ::umask(0);
    LockedFile file = LockedFile::Open(folder, "log", true);
    ::umask(mask);
    ASSERT_TRUE(file.IsOpen());
    ASSERT_EQ(file.Append("one\n"), Error::None);
    const auto created = StatOf(dir / "log").st_mode & 07777;
    ASSERT_EQ(file.Replace("two\n"), Error::None);
    const auto replaced = StatOf(dir / "log").st_mode & 07777;
    file = LockedFile();
    fs::create_symlink(dir / "log", dir / "link");
    Error throughLink = Error::None;
    LockedFile::Open(folder, "link", true, &throughLink);
    const std::string contents = Contents(dir / "log");
    fs::remove_all(dir);

    EXPECT_EQ(created, 0600u);
    EXPECT_EQ(replaced, 0600u);
    EXPECT_EQ(throughLink, Error::TooManyLinks);
    EXPECT_EQ(contents, "two\n");
}

TEST(TransferFilesTest, APrivateFolderIsCreatedOnceAndNeverOpenedThroughALink) {
    const auto dir = MakeTempDir(fs::temp_directory_path(), "private");
    const mode_t mask = ::umask(0);
    const Error created = CreatePrivateFolder((dir / "q").string());
    ::umask(mask);
    const Error again = CreatePrivateFolder((dir / "q").string());
    const auto mode = StatOf(dir / "q").st_mode & 07777;
    fs::create_directory_symlink(dir / "q", dir / "link");
    Error throughLink = Error::None;
    const bool linkOpened = Folder::OpenRefusingLink((dir / "link/").string(), &throughLink).IsOpen();
    const bool folderOpened = Folder::OpenRefusingLink((dir / "q/").string()).IsOpen();
    fs::remove_all(dir);

    EXPECT_EQ(created, Error::None);
    EXPECT_EQ(again, Error::Exists);
    EXPECT_EQ(mode, 0700u);
    EXPECT_FALSE(linkOpened);
    EXPECT_EQ(throughLink, Error::TooManyLinks);
    EXPECT_TRUE(folderOpened);
}

}  // namespace
}  // namespace velquin::platform
