#include "engine/quarantine.h"

#include "engine/database.h"
#include "engine/fingerprint.h"
#include "engine/scan.h"
#include "engine/sink.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace velquin::engine {
namespace {

namespace fs = std::filesystem;
using platform::Error;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::uint32_t ModeOf(const fs::path& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(ManifestTest, AnyFileNameSurvivesTheRoundTripOnOneLine) {
    const QuarantineRecord record{"q1", "2026-12-10T11:30:00Z", 04755,
                                  "/tmp/a\tb\nQ\tforged\\x41\r\x01\x7f\xff\xfe.exe", "Trojan.Agent-PCE (03)"};
    const std::string line = FormatManifestRecord(record);

    EXPECT_EQ(line.find('\n'), line.size() - 1);
    EXPECT_THAT(line, MatchesRegex("Q\tq1\t2026-12-10T11:30:00Z\t4755\t[^\t]*\tTrojan.Agent-PCE \\(03\\)\n"));
    const Manifest manifest = ParseManifest("# comment\n\n" + line);
    EXPECT_THAT(manifest.records, ElementsAre(record));
    EXPECT_THAT(manifest.badLines, IsEmpty());
}

TEST(ManifestTest, AWithdrawalAnswersOnlyTheLastRecordOfItsName) {
    // Two runs that once chose the same stored name: the second move failed, the first did not.
    const Manifest manifest = ParseManifest(
        "Q\tq1\tT\t0644\t/data/first.exe\tV\n"
        "Q\tq1\tT\t0644\t/data/second.exe\tV\n"
        "W\tq1\n"
        "W\tq1\n"  // answers the first record
        "Q\tq1\tT\t0644\t/data/third.exe\tV\n"
        "W\tq9\n");
    ASSERT_EQ(manifest.records.size(), 1u);
    EXPECT_EQ(manifest.records[0].originalPath, "/data/third.exe");
    EXPECT_THAT(manifest.recordLines, ElementsAre(5));
    EXPECT_THAT(manifest.badLines, IsEmpty());
}

TEST(ManifestTest, SkipsWithdrawnMovesAndRejectsRecordsThatPointOutside) {
    const std::string text =
        "Q\tq1\tT\t0644\t/data/a.exe\tV\n"
        "Q\tq2\tT\t0644\t/data/b.exe\tV\n"
        "W\tq1\n"
        "Q\t../../etc/shadow\tT\t0644\t/tmp/x\tV\n"  // stored name outside the folder
        "Q\tsub/q3\tT\t0644\t/tmp/x\tV\n"
        "Q\tmanifest.tsv\tT\t0644\t/tmp/x\tV\n"
        "Q\tq4\tT\t0644\trelative/x\tV\n"           // original path not absolute
        "Q\tq5\tT\t0644\t/tmp/a\\x00b\tV\n"         // a NUL would cut the path short
        "Q\tq6\tT\t9999\t/tmp/x\tV\n"
        "Q\tq7\tT\t0644\t/tmp/x\n"
        "rubbish\n";
    const Manifest manifest = ParseManifest(text);
    ASSERT_EQ(manifest.records.size(), 1u);
    EXPECT_EQ(manifest.records[0].storedName, "q2");
    EXPECT_THAT(manifest.badLines, ElementsAre(4, 5, 6, 7, 8, 9, 10, 11));
}

class QuarantineTest : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = fs::temp_directory_path() / ("velquin-quarantine-" + std::to_string(::getpid()));
        fs::remove_all(base_);
        fs::create_directories(base_ / "tree/sub");
    }
    void TearDown() override { fs::remove_all(base_); }

    fs::path Plant(const fs::path& path, const std::string& content, std::uint32_t mode) {
        std::ofstream(path, std::ios::binary) << content;
        ::chmod(path.c_str(), mode);
        return path;
    }
    // What the walk hands over for a detected file.
    DisposalResult Quarantine(QuarantineDisposal& disposal, const fs::path& file, const std::string& malware) {
        const auto folder = platform::Folder::Open(file.parent_path().string());
        platform::EntryInfo info;
        folder.EntryInfoOf(file.filename().c_str(), info);
        const std::string name = file.filename().string();
        const std::string path = file.string();
        return disposal.Dispose({folder, name.c_str(), info.identity, path, malware});
    }
    std::string ManifestText() { return Contents(base_ / "q" / kManifestName); }

    fs::path base_;
};

TEST_F(QuarantineTest, MovesDetectedFilesAwayAndPutsThemBackAsTheyWere) {
    const auto a = Plant(base_ / "tree/a.exe", "first", 0755);
    const auto b = Plant(base_ / "tree/sub/b\nfake.exe", "second", 04711);
    std::string problem = "unset";
    auto quarantine = QuarantineFolder::Open((base_ / "q").string(), QuarantineUse::Quarantine, &problem);
    ASSERT_TRUE(quarantine.IsOpen()) << problem;
    EXPECT_EQ(problem, "");
    QuarantineDisposal disposal(quarantine);

    const auto first = Quarantine(disposal, a, "Trojan.A (01)");
    const auto second = Quarantine(disposal, b, "Trojan.B (02)");

    EXPECT_TRUE(first.gone && second.gone);
    EXPECT_FALSE(fs::exists(a) || fs::exists(b));
    EXPECT_EQ(ModeOf(base_ / "q"), 0700u);
    const Manifest manifest = ParseManifest(ManifestText());
    ASSERT_EQ(manifest.records.size(), 2u);
    const auto& record = manifest.records[1];
    EXPECT_EQ(record.originalPath, b.string());
    EXPECT_EQ(record.malwareName, "Trojan.B (02)");
    EXPECT_EQ(record.mode, 04711u);
    EXPECT_THAT(record.time, MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z"));
    // Nothing in the quarantine can be run, and only the owner may write.
    EXPECT_EQ(ModeOf(base_ / "q" / manifest.records[0].storedName), 0644u);
    EXPECT_EQ(ModeOf(base_ / "q" / record.storedName), 0600u);
    EXPECT_EQ(Contents(base_ / "q" / record.storedName), "second");

    const RestoreReport report = RestoreQuarantine(quarantine);

    EXPECT_EQ(report.manifestError, Error::None);
    ASSERT_EQ(report.outcomes.size(), 2u);
    EXPECT_EQ(report.outcomes[0].error, Error::None);
    EXPECT_EQ(report.outcomes[1].error, Error::None);
    EXPECT_EQ(Contents(a), "first");
    EXPECT_EQ(ModeOf(a), 0755u);
    EXPECT_EQ(ModeOf(b), 04711u);
    EXPECT_THAT(ParseManifest(ManifestText()).records, IsEmpty());
    // A second restore finds nothing left to do.
    EXPECT_THAT(RestoreQuarantine(quarantine).outcomes, IsEmpty());
}

TEST_F(QuarantineTest, RestoreNeverOverwritesAndKeepsWhatItCannotPutBack) {
    const auto a = Plant(base_ / "tree/a.exe", "malware", 0644);
    const auto b = Plant(base_ / "tree/sub/b.exe", "malware too", 0644);
    auto quarantine = QuarantineFolder::Open((base_ / "q").string(), QuarantineUse::Quarantine);
    QuarantineDisposal disposal(quarantine);
    ASSERT_TRUE(Quarantine(disposal, a, "V").gone);
    ASSERT_TRUE(Quarantine(disposal, b, "V").gone);
    Plant(a, "the user's new file", 0644);  // the place is taken again
    fs::remove_all(base_ / "tree/sub");     // the folder is gone

    const RestoreReport report = RestoreQuarantine(quarantine);

    ASSERT_EQ(report.outcomes.size(), 2u);
    EXPECT_EQ(report.outcomes[0].error, Error::Exists);
    EXPECT_EQ(report.outcomes[1].error, Error::NotFound);
    EXPECT_EQ(Contents(a), "the user's new file");
    EXPECT_FALSE(fs::exists(base_ / "tree/sub"));
    EXPECT_EQ(ParseManifest(ManifestText()).records.size(), 2u);
}

TEST_F(QuarantineTest, AFileSwappedForALinkIsNotMovedAndNotRecorded) {
    const auto outside = Plant(base_ / "outside.txt", "precious", 0644);
    const auto detected = Plant(base_ / "tree/a.exe", "malware", 0644);
    auto quarantine = QuarantineFolder::Open((base_ / "q").string(), QuarantineUse::Quarantine);
    QuarantineDisposal disposal(quarantine);
    const auto folder = platform::Folder::Open((base_ / "tree").string());
    platform::EntryInfo info;
    folder.EntryInfoOf("a.exe", info);
    // Between detection and disposal the file becomes a link to a file outside the tree.
    fs::remove(detected);
    fs::create_symlink(outside, detected);
    const std::string path = detected.string();

    const auto result = disposal.Dispose({folder, "a.exe", info.identity, path, "V"});

    EXPECT_FALSE(result.gone);
    EXPECT_NE(result.error, Error::None);
    EXPECT_EQ(Contents(outside), "precious");
    EXPECT_TRUE(fs::is_symlink(detected));
    EXPECT_THAT(ParseManifest(ManifestText()).records, IsEmpty());
    EXPECT_EQ(std::distance(fs::directory_iterator(base_ / "q"), fs::directory_iterator()), 1);  // the manifest only
}

TEST_F(QuarantineTest, RestoreOfAFolderWithoutManifestSaysSo) {
    fs::create_directories(base_ / "empty");
    ::chmod((base_ / "empty").c_str(), 0700);
    auto quarantine = QuarantineFolder::Open((base_ / "empty").string(), QuarantineUse::Restore);
    EXPECT_EQ(RestoreQuarantine(quarantine).manifestError, Error::NotFound);
    std::string problem;
    EXPECT_FALSE(QuarantineFolder::Open((base_ / "missing").string(), QuarantineUse::Restore, &problem).IsOpen());
    EXPECT_EQ(problem, "no such file or folder");
}

class CollectingSink : public ScanSink {
public:
    std::vector<std::string> detected;
    void ShowEntry(std::string_view) override {}
    void ShowCounts(std::uint64_t, std::uint64_t) override {}
    void AddDetectedPath(std::string_view path) override { detected.emplace_back(path); }
    void AppendLog(std::string_view) override {}
    bool IsRunning() override { return true; }
    void Yield() override {}
};

TEST_F(QuarantineTest, AScanNeverEntersItsOwnQuarantineFolder) {
    const auto detected = Plant(base_ / "tree/a.exe", std::string(5000, 'M'), 0755);
    {
        std::ofstream db(base_ / "database.db");
        db << ComputeFingerprint(detected.string()).fingerprint->Text() << ":Trojan.A (01)\nFinish:Finish\n";
    }
    // The quarantine lies inside the tree and already holds a file of the same content.
    auto quarantine = QuarantineFolder::Open((base_ / "tree/q").string(), QuarantineUse::Quarantine);
    Plant(base_ / "tree/q/earlier", std::string(5000, 'M'), 0644);
    SignatureDatabase database((base_ / "database.db").string());
    CollectingSink sink;
    NoProcessActions processes;
    QuarantineDisposal disposal(quarantine);
    FolderScan scan(database, sink, processes, disposal);
    scan.ExcludeFolder(quarantine.Identity());

    scan.ScanFolder((base_ / "tree").string());
    scan.ScanFolder((base_ / "tree/q").string());  // nor when it is the target itself

    EXPECT_THAT(sink.detected, ElementsAre(detected.string()));
    EXPECT_TRUE(fs::exists(base_ / "tree/q/earlier"));
    EXPECT_EQ(ParseManifest(Contents(base_ / "tree/q" / kManifestName)).records.size(), 1u);
}

constexpr uid_t kNobody = 65534;

bool RunningAsRoot() { return ::geteuid() == 0; }

TEST_F(QuarantineTest, AFolderOtherUsersCouldTamperWithIsRefused) {
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> make;
        QuarantineUse use;
        bool needsRoot;
        const char* problem;
    };
    const auto folder = [](std::uint32_t mode, uid_t owner = 0) {
        return [=](const fs::path& path) {
            fs::create_directory(path);
            ::chmod(path.c_str(), mode);
            if (owner != 0) {
                ASSERT_EQ(::chown(path.c_str(), owner, owner), 0);
            }
        };
    };
    const Case cases[] = {
        {"a link to a private folder",
         [&](const fs::path& path) {
             folder(0700)(path.string() + "-target");
             fs::create_directory_symlink(path.string() + "-target", path);
         },
         QuarantineUse::Quarantine, false, "is a link or a link loop"},
        {"a file", [](const fs::path& path) { std::ofstream(path) << "x"; }, QuarantineUse::Quarantine, false,
         "not a folder"},
        {"another user's private folder", folder(0700, kNobody), QuarantineUse::Quarantine, true,
         "it belongs to another user"},
        {"another user's private folder, to restore from", folder(0700, kNobody), QuarantineUse::Restore, true,
         "it belongs to another user"},
        {"a folder everybody may write to", folder(0777), QuarantineUse::Quarantine, false,
         "other users may write to it"},
        {"a folder its group may write to", folder(0770), QuarantineUse::Restore, false,
         "other users may write to it"},
        {"a folder others may enter, for the superuser to restore from", folder(0755), QuarantineUse::Restore, true,
         "other users may enter it, and a restore with the superuser's rights takes files only from a folder "
         "private to its owner"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path path = base_ / ("q" + std::to_string(n++));
        if (c.needsRoot && !RunningAsRoot()) continue;
        c.make(path);
        std::string problem;
        EXPECT_FALSE(QuarantineFolder::Open(path.string(), c.use, &problem).IsOpen());
        EXPECT_EQ(problem, c.problem);
    }
    // The same folder that the superuser may not restore from still takes a scan's files.
    if (RunningAsRoot()) {
        EXPECT_TRUE(QuarantineFolder::Open((base_ / "q6").string(), QuarantineUse::Quarantine).IsOpen());
    }
}

TEST_F(QuarantineTest, ANewQuarantineFolderIsPrivateWhateverTheCreationMask) {
    const mode_t mask = ::umask(0);
    const auto quarantine = QuarantineFolder::Open((base_ / "q").string(), QuarantineUse::Quarantine);
    ::umask(mask);
    ASSERT_TRUE(quarantine.IsOpen());
    EXPECT_EQ(ModeOf(base_ / "q"), 0700u);
    EXPECT_TRUE(QuarantineFolder::Open((base_ / "q").string(), QuarantineUse::Restore).IsOpen());
}

TEST_F(QuarantineTest, ALinkPlantedInPlaceOfTheOriginalFolderIsNeverFollowed) {
    // The link stands in place of the file's own folder, or of a folder further up.
    for (const std::string replaced : {"tree/sub", "tree"}) {
        SCOPED_TRACE(replaced);
        fs::create_directories(base_ / "tree/sub");
        const auto file = Plant(base_ / "tree/sub/a.exe", "malware", 0644);
        fs::create_directories(base_ / "elsewhere/sub");
        auto quarantine = QuarantineFolder::Open((base_ / "q").string(), QuarantineUse::Quarantine);
        QuarantineDisposal disposal(quarantine);
        ASSERT_TRUE(Quarantine(disposal, file, "V").gone);
        fs::rename(base_ / replaced, base_ / "moved-away");
        fs::create_directory_symlink(base_ / (replaced == "tree" ? "elsewhere" : "elsewhere/sub"), base_ / replaced);

        const RestoreReport refused = RestoreQuarantine(quarantine);

        ASSERT_EQ(refused.outcomes.size(), 1u);
        EXPECT_EQ(refused.outcomes[0].error, Error::TooManyLinks);
        EXPECT_EQ(refused.outcomes[0].reason, "a folder on the way there is a link");
        EXPECT_TRUE(fs::is_empty(base_ / "elsewhere/sub"));
        EXPECT_THAT(ManifestText(), MatchesRegex("(.*\n)?Q\t[^\n]*a\\.exe\tV\n# not restored [0-9TZ:-]+: a folder on "
                                                 "the way there is a link\n"));
        EXPECT_THAT(refused.unrecorded, IsEmpty());

        // Once the folder is back, so is the file, and the note goes with its record.
        fs::remove(base_ / replaced);
        fs::rename(base_ / "moved-away", base_ / replaced);
        const RestoreReport restored = RestoreQuarantine(quarantine);
        ASSERT_EQ(restored.outcomes.size(), 1u);
        EXPECT_EQ(restored.outcomes[0].error, Error::None);
        EXPECT_EQ(Contents(file), "malware");
        EXPECT_EQ(ManifestText().find("not restored"), std::string::npos);
        fs::remove_all(base_ / "tree");
        fs::remove_all(base_ / "elsewhere");
    }
}

TEST_F(QuarantineTest, AFileFoundThroughALinkedTargetIsRecordedWhereItReallyIs) {
    const auto file = Plant(base_ / "tree/a.exe", "malware", 0644);
    fs::create_directory_symlink(base_ / "tree", base_ / "linked");
    auto quarantine = QuarantineFolder::Open((base_ / "q").string(), QuarantineUse::Quarantine);
    QuarantineDisposal disposal(quarantine);
    ASSERT_TRUE(Quarantine(disposal, base_ / "linked/a.exe", "V").gone);

    EXPECT_EQ(ParseManifest(ManifestText()).records.at(0).originalPath, file.string());
    const RestoreReport report = RestoreQuarantine(quarantine);
    ASSERT_EQ(report.outcomes.size(), 1u);
    EXPECT_EQ(report.outcomes[0].error, Error::None);
    EXPECT_EQ(Contents(file), "malware");
}

TEST_F(QuarantineTest, ATreeDeeperThanThePathLimitIsRestored) {
    // Folders made and opened by handle, far beyond the system's path length limit.
    std::string path = (base_ / "tree").string();
    platform::Folder folder = platform::Folder::Open(path);
    const std::string name(200, 'd');
    for (int i = 0; i < 40; ++i) {
        ASSERT_EQ(::mkdirat(::dirfd(static_cast<DIR*>(folder.NativeStream())), name.c_str(), 0755), 0);
        folder = folder.OpenFolder(name.c_str());
        path += "/" + name;
    }
    ASSERT_GT(path.size(), static_cast<std::size_t>(PATH_MAX));
    const int fd = ::openat(::dirfd(static_cast<DIR*>(folder.NativeStream())), "a.exe", O_WRONLY | O_CREAT, 0755);
    ASSERT_EQ(::write(fd, "malware", 7), 7);
    ::close(fd);
    auto quarantine = QuarantineFolder::Open((base_ / "q").string(), QuarantineUse::Quarantine);
    QuarantineDisposal disposal(quarantine);
    platform::EntryInfo info;
    folder.EntryInfoOf("a.exe", info);
    const std::string filePath = path + "/a.exe";
    ASSERT_TRUE(disposal.Dispose({folder, "a.exe", info.identity, filePath, "V"}).gone);
    ASSERT_EQ(folder.EntryInfoOf("a.exe", info), Error::NotFound);

    const RestoreReport report = RestoreQuarantine(quarantine);

    ASSERT_EQ(report.outcomes.size(), 1u);
    EXPECT_EQ(report.outcomes[0].record.originalPath, filePath);
    EXPECT_EQ(report.outcomes[0].error, Error::None) << report.outcomes[0].reason;
    EXPECT_EQ(folder.EntryInfoOf("a.exe", info), Error::None);
    EXPECT_EQ(info.size, 7u);
}

TEST_F(QuarantineTest, ARestoreSaysWhichFilesNoRecordNames) {
    const auto a = Plant(base_ / "tree/a.exe", "malware", 0644);
    auto quarantine = QuarantineFolder::Open((base_ / "q").string(), QuarantineUse::Quarantine);
    QuarantineDisposal disposal(quarantine);
    ASSERT_TRUE(Quarantine(disposal, a, "V").gone);
    Plant(base_ / "q/stray", "no record names me", 0600);

    const RestoreReport report = RestoreQuarantine(quarantine);

    ASSERT_EQ(report.outcomes.size(), 1u);
    EXPECT_EQ(report.outcomes[0].error, Error::None);
    EXPECT_THAT(report.unrecorded, ElementsAre("stray"));
    EXPECT_TRUE(fs::exists(base_ / "q/stray"));
}

// Runs `body` in a child process as the unprivileged user 65534 that holds, beyond that user's own
// rights, the capabilities `capabilities` (a mask of CAP_* bits). Gives 0 when `body` returns true,
// 11 when it returns false, 10 when the rights could not be arranged.
int RunAsNobodyWithCapabilities(std::uint32_t capabilities, const std::function<bool()>& body) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (::prctl(PR_SET_KEEPCAPS, 1) != 0 || ::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 ||
            ::setuid(kNobody) != 0) {
            _exit(10);
        }
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2] = {};
        data[0].effective = data[0].permitted = capabilities;
        if (::syscall(SYS_capset, &header, data) != 0) _exit(10);
        _exit(body() ? 0 : 11);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(QuarantineTest, ARestoreWithMoreRightsThanTheOwnerKeepsToTheOwnersRightsAndSetsNoSetIdBits) {
    if (!RunningAsRoot()) GTEST_SKIP() << "needs root to make another user's quarantine";
    // The quarantine of user 65534, who may write to "mine" but not to "theirs".
    fs::create_directories(base_ / "mine");
    fs::create_directories(base_ / "theirs");
    fs::create_directories(base_ / "q");
    Plant(base_ / "q/s1", "setuid program", 0600);
    Plant(base_ / "q/s2", "file", 0600);
    Plant(base_ / "q" / kManifestName,
          FormatManifestRecord({"s1", "T", 06755, (base_ / "mine/a").string(), "V"}) +
              FormatManifestRecord({"s2", "T", 0644, (base_ / "theirs/b").string(), "V"}),
          0600);
    for (const char* path : {"mine", "q", "q/s1", "q/s2", "q/manifest.tsv"}) {
        ASSERT_EQ(::chown((base_ / path).c_str(), kNobody, kNobody), 0);
    }
    ::chmod((base_ / "q").c_str(), 0700);

    // Rights to pass any permission check and to change any file's bits: the owner has neither.
    const int status = RunAsNobodyWithCapabilities(
        (1u << CAP_DAC_OVERRIDE) | (1u << CAP_FOWNER) | (1u << CAP_FSETID), [&] {
            auto quarantine = QuarantineFolder::Open((base_ / "q").string(), QuarantineUse::Restore);
            const RestoreReport report = RestoreQuarantine(quarantine);
            return report.outcomes.size() == 2 && report.outcomes[0].error == Error::None &&
                   report.outcomes[1].error == Error::AccessDenied &&
                   report.outcomes[1].reason == "the quarantine's owner may not write to that folder";
        });
    if (status == 10) GTEST_SKIP() << "cannot give capabilities to an unprivileged process here";
    EXPECT_EQ(status, 0) << "11: unexpected restore result";
    EXPECT_EQ(ModeOf(base_ / "mine/a"), 0755u);
    EXPECT_FALSE(fs::exists(base_ / "theirs/b"));
    EXPECT_TRUE(fs::exists(base_ / "q/s2"));
    EXPECT_EQ(ParseManifest(ManifestText()).records.size(), 1u);
}

}  // namespace
}  // namespace velquin::engine
