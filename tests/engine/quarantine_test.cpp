#include "engine/quarantine.h"

#include "engine/database.h"
#include "engine/fingerprint.h"
#include "engine/scan.h"
#include "engine/sink.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
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
    Error error;
    auto quarantine = QuarantineFolder::Open((base_ / "q").string(), true, &error);
    ASSERT_EQ(error, Error::None);
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
    auto quarantine = QuarantineFolder::Open((base_ / "q").string(), true);
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
    auto quarantine = QuarantineFolder::Open((base_ / "q").string(), true);
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
    auto quarantine = QuarantineFolder::Open((base_ / "empty").string(), false);
    EXPECT_EQ(RestoreQuarantine(quarantine).manifestError, Error::NotFound);
    Error error;
    QuarantineFolder::Open((base_ / "missing").string(), false, &error);
    EXPECT_EQ(error, Error::NotFound);
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
    auto quarantine = QuarantineFolder::Open((base_ / "tree/q").string(), true);
    Plant(base_ / "tree/q/earlier", std::string(5000, 'M'), 0644);
    SignatureDatabase database((base_ / "database.db").string());
    CollectingSink sink;
    NoProcessActions processes;
    QuarantineDisposal disposal(quarantine);
    FolderScan scan(database, sink, processes, disposal);
    scan.ExcludeFolder(quarantine.Identity());

    scan.ScanFolder((base_ / "tree").string());

    EXPECT_THAT(sink.detected, ElementsAre(detected.string()));
    EXPECT_TRUE(fs::exists(base_ / "tree/q/earlier"));
    EXPECT_EQ(ParseManifest(Contents(base_ / "tree/q" / kManifestName)).records.size(), 1u);
}

}  // namespace
}  // namespace velquin::engine
