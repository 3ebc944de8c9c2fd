#include "ui/main/qt/form1.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/disposal.h"
#include "engine/fingerprint.h"
#include "platform/date_time.h"
#include "ui/main/qt/artwork.h"
#include "ui/watcher/qt/form8.h"

namespace velquin::ui {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

QApplication& App() {
    static int argc = 1;
    static char name[] = "form1_test";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: the application must outlive every widget and Qt's own globals at exit.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Runs `action` on the first popup menu or modal box that opens after the call, from inside its
// own event loop, the way a user's keys reach it.
void WhenOpened(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer(&App());
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget* w = QApplication::activePopupWidget();
        if (!w) w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        action(w);
    });
    timer->start();
}

void Key(QWidget* w, Qt::Key key) { QTest::keyClick(w, key); }

// Picks the menu item at `index` (0: "Windows System" ... 4: "Local Disk [D]") with the keyboard.
void PickMenuItem(QWidget* popup, int index) {
    ASSERT_TRUE(qobject_cast<QMenu*>(popup));
    for (int i = 0; i <= index; ++i) Key(popup, Qt::Key_Down);
    Key(popup, Qt::Key_Return);
}

platform::ProcessImage ImageAt(const fs::path& path) {
    platform::EntryInfo info;
    platform::Folder::Open(path.parent_path().string()).EntryInfoOf(path.filename().string().c_str(), info);
    return {path.string(), info.identity, path.string()};
}

// Two processes named `survivor`: one runs the file `runs` and outlives its termination until the
// shell is ended, as one that was about to exit; the other runs `unrelated` and is left alone.
class FakeProcessTable : public platform::ProcessTable {
public:
    FakeProcessTable(std::string survivor, fs::path runs, fs::path unrelated, std::vector<std::string>* spawned)
        : survivor_(std::move(survivor)), runs_(std::move(runs)), unrelated_(std::move(unrelated)), spawned_(spawned) {}
    std::optional<std::vector<platform::ProcessInfo>> List() override {
        std::vector<platform::ProcessInfo> processes{{4343, survivor_, survivor_}, {77, "explorer.exe", ""}};
        if (!shellEnded_) processes.push_back({4242, survivor_, survivor_});
        return processes;
    }
    platform::Error DescribeImage(const platform::ProcessInfo& process, platform::ProcessImage& out) override {
        if (process.pid != 4242 && process.pid != 4343) return platform::Error::AccessDenied;
        out = ImageAt(process.pid == 4242 ? runs_ : unrelated_);
        return platform::Error::None;
    }
    platform::File OpenImage(const platform::ProcessImage& image, platform::Error* error) override {
        const fs::path path = image.source;
        return platform::Folder::Open(path.parent_path().string()).OpenFile(path.filename().string().c_str(), error);
    }
    platform::Error End(const platform::ProcessInfo& process, const platform::ProcessImage*) override {
        if (process.pid == 77) shellEnded_ = true;
        return process.pid == 4343 ? platform::Error::AccessDenied : platform::Error::None;
    }
    std::vector<long long> AncestorPids() override { return {}; }
    void SpawnDetached(const std::vector<std::string>& commandLine) override {
        spawned_->push_back(commandLine.front());
    }
    long long SelfPid() const override { return 1; }

private:
    std::string survivor_;
    fs::path runs_, unrelated_;
    std::vector<std::string>* spawned_;
    bool shellEnded_ = false;
};

// Leaves detected files in place, as a file that is locked or on a read-only volume would stay.
class RefusingDisposal : public engine::Disposal {
public:
    engine::DisposalResult Dispose(const engine::DetectedFile&) override {
        return {false, platform::Error::AccessDenied};
    }
    std::string_view Action() const override { return "delete"; }
};

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        root_ = fs::temp_directory_path() /
                ("velquin-form1-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "proc/self");
        fs::create_directories(root_ / "sys");
        std::ofstream(root_ / "proc/self/mountinfo") << "28 1 254:0 / / rw - ext4 /dev/vda rw\n";
        // A list that names a file no test writes.
        std::ofstream(root_ / "database.db") << "CACA79914R102910492019018:Worm.Test\nFinish:Finish\n";
    }
    void TearDown() override {
        form_.reset();
        fs::remove_all(root_);
    }

    Form1& Form() {
        if (!form_) {
            Form1Options options;
            options.databasePath = (root_ / "database.db").string();
            options.databaseSearched = databaseSearched_;
            options.procRoot = (root_ / "proc").string();
            options.sysRoot = (root_ / "sys").string();
            options.processTable = [this] {
                return std::make_unique<FakeProcessTable>(survivor_, survivorRuns_, root_ / "database.db", &spawned_);
            };
            // The cases act at a given entry of the walk, so the window handles its events at every one.
            options.yieldInterval = std::chrono::milliseconds(0);
            if (refuseRemoval_)
                options.disposal = [] { return std::make_unique<RefusingDisposal>(); };
            form_ = std::make_unique<Form1>(options);
            form_->show();
        }
        return *form_;
    }

    template <typename T>
    T* Child(const char* name) {
        T* child = Form().findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QString Caption(const char* label) { return Child<QLabel>(label)->text(); }
    QString Text(const char* box) { return Child<QLineEdit>(box)->text(); }
    QString ScanCaption() {
        return QString::fromStdString(Child<MainButton>("Scan")->button().caption());
    }

    std::vector<std::string> Log() {
        std::vector<std::string> lines;
        auto* list = Child<QListWidget>("List3");
        for (int i = 0; i < list->count(); ++i)
            lines.push_back(list->item(i)->text().toStdString());
        return lines;
    }
    std::vector<std::string> Report() {
        const auto lines = Log();
        const auto at = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
            return l.rfind("File Scanned : ", 0) == 0;
        });
        return {at, lines.end()};
    }

    void Click(const char* button) { QTest::mouseClick(Child<QWidget>(button), Qt::LeftButton); }

    void SetTarget(const fs::path& path) {
        Child<QLineEdit>("Text1")->setText(QString::fromStdString(path.string()));
    }

    // Folder with `files` small files and the given subfolders, each holding one file.
    fs::path MakeTree(const std::string& name, int files,
                      std::vector<std::string> subfolders = {}) {
        const fs::path dir = root_ / name;
        fs::create_directories(dir);
        for (int i = 0; i < files; ++i)
            std::ofstream(dir / ("f" + std::to_string(i) + ".txt")) << i;
        for (const auto& sub : subfolders) {
            fs::create_directories(dir / sub);
            std::ofstream(dir / sub / "inner.txt") << sub;
        }
        return dir;
    }

    // Runs `action` from the walk's yield once Label8 shows `entries` examined entries.
    void AtEntry(int entries, std::function<void()> action) {
        auto* timer = new QTimer(&Form());
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, [this, timer, entries, action] {
            if (Caption("Label8").toInt() < entries) return;
            timer->stop();
            action();
        });
        timer->start();
    }

    // A file of 700 bytes with its content derived from `seed`, and a database naming it.
    fs::path MakeSample(const fs::path& dir, const std::string& name, int seed) {
        fs::create_directories(dir);
        std::string bytes(700, '\0');
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char((i * 7 + seed) % 100);
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return dir / name;
    }
    void WriteDatabase(const std::vector<std::pair<fs::path, std::string>>& samples) {
        std::ofstream db(root_ / "database.db");
        for (const auto& [path, malware] : samples) {
            const auto fingerprint = engine::ComputeFingerprint(path.string());
            ASSERT_TRUE(fingerprint) << path;
            db << fingerprint.fingerprint->Text() << ":" << malware << "\r\n";
        }
        db << "Finish:Finish\r\n";
    }

    fs::path root_;
    std::string survivor_ = "nothing-runs-under-this-name";
    fs::path survivorRuns_;
    std::vector<std::string> spawned_;
    bool refuseRemoval_ = false;
    std::string databaseSearched_;
    std::unique_ptr<Form1> form_;
};

TEST_F(Form1Test, StartsWithInstructionsDefaultTargetAndIdleControls) {
    Form1& form = Form();
    EXPECT_EQ(form.windowTitle(), "Orvanta Velquin W32.Spy-Qarnix");
    EXPECT_EQ(form.size(), QSize(520, 429));
    const auto log = Log();
    ASSERT_EQ(log.size(), 16u);
    EXPECT_EQ(log[0], "Orvanta Velquin W32.Spy-Qarnix");
    EXPECT_EQ(log[2], "(1). Click Browse > for Add Path Scanned");
    EXPECT_EQ(log[15], " ");
    EXPECT_EQ(Text("Text1").toStdString(), platform::NativeTargetPath("C:\\"));
    EXPECT_EQ(ScanCaption(), "Start Scan");
    EXPECT_EQ(Text("txtInfo"), "[Waiting From User....]");
    EXPECT_EQ(Caption("Label21"), "[-]");
    EXPECT_EQ(Child<MainProgressBar>("P2")->bar().Value(), 0);
    EXPECT_EQ(Child<MainProgressBar>("o")->bar().Value(), 0);
    for (const char* timer : {"Timer1", "Timer3", "Timer9"})
        EXPECT_FALSE(Child<QTimer>(timer)->isActive()) << timer;
    ASSERT_NE(form.Form8Window(), nullptr);
    EXPECT_FALSE(form.Form8Window()->isVisible());
    EXPECT_TRUE(form.Form8Window()->Timer1->isActive());
    // Controls sit where the layout puts them (twips / 15).
    EXPECT_EQ(Child<QWidget>("List3")->geometry(), QRect(16, 120, 489, 238));
    EXPECT_EQ(Child<QWidget>("Scan")->geometry(), QRect(400, 368, 105, 25));
    EXPECT_EQ(Child<QWidget>("Image3")->geometry(), QRect(8, 5, 80, 85));
    EXPECT_FALSE(Child<QWidget>("List2")->isVisibleTo(&form));
}

TEST_F(Form1Test, ScanShowsHeaderAndReportsItsOwnCounts) {
    SetTarget(MakeTree("tree", 2, {"s"}));
    Click("Scan");
    const auto log = Log();
    ASSERT_GE(log.size(), 8u);
    EXPECT_THAT(std::vector<std::string>(log.begin(), log.begin() + 8),
                ElementsAre("Orvanta Velquin W32.Spy-Qarnix",
                            "Path Scanned : " + (root_ / "tree").string(), "Status : Scanning",
                            " ", "Fix Registry...",
                            "HKCU\\Software\\Microsoft\\Windows\\Currentversion\\Run", " ",
                            "Scanning Directory and File..."));
    const auto report = Report();
    ASSERT_EQ(report.size(), 7u);
    EXPECT_EQ(report[0], "File Scanned : 4");  // f0, f1, s, s/inner.txt
    EXPECT_EQ(report[1], "Folder Scanned : 1");
    EXPECT_EQ(report[2], "Virus Detected : 0");
    EXPECT_EQ(report[3], "File Removed : 0");
    EXPECT_EQ(report[4], "Time Scanned : 00:00:00");
    EXPECT_THAT(report[5], ::testing::StartsWith("Latest Scanned : "));
    EXPECT_EQ(report[6], "Scanning Completed");
    EXPECT_EQ(log[log.size() - 8], " ");
    EXPECT_EQ(ScanCaption(), "Start Scan");
    EXPECT_EQ(Text("txtInfo"), "[Scanning Completed]");
    EXPECT_EQ(Caption("Labelwaktu"), "00:00:00");
    EXPECT_TRUE(Child<QWidget>("Browser")->isEnabled());
    for (const char* timer : {"Timer1", "Timer3", "Timer9"})
        EXPECT_FALSE(Child<QTimer>(timer)->isActive()) << timer;
}

TEST_F(Form1Test, DetectedFileIsLoggedWithItsProcessLinesAndRemoved) {
    const fs::path tree = MakeTree("tree", 2);
    const fs::path bad = MakeSample(tree, "bad.exe", 3);
    WriteDatabase({{bad, "Trojan.Agent-PCE (03)"}});
    survivor_ = "bad.exe";
    survivorRuns_ = bad;
    SetTarget(tree);
    Click("Scan");

    const auto log = Log();
    const auto at = std::find(log.begin(), log.end(),
                              "Process bad.exe (pid 4343) left running: it runs " + (root_ / "database.db").string() +
                                  ", neither the detected file nor a copy of it");
    ASSERT_NE(at, log.end());
    EXPECT_THAT(std::vector<std::string>(at + 1, at + 4),
                ElementsAre("Found Qarnix On Process, Restart explorer.exe",
                            "bad.exe <== Trojan.Agent-PCE (03) Terminated...",
                            bad.string() + " <== Trojan.Agent-PCE (03) Cleaned..."));
    EXPECT_THAT(spawned_, ElementsAre("explorer.exe"));
    EXPECT_FALSE(fs::exists(bad));
    auto* list2 = Child<QListWidget>("List2");
    ASSERT_EQ(list2->count(), 1);
    EXPECT_EQ(list2->item(0)->text().toStdString(), bad.string());
    EXPECT_EQ(Caption("Label7"), "1");
    const auto report = Report();
    ASSERT_EQ(report.size(), 7u);
    EXPECT_THAT(std::vector<std::string>(report.begin(), report.begin() + 4),
                ElementsAre("File Scanned : 3", "Folder Scanned : 0", "Virus Detected : 1",
                            "File Removed : 1"));
}

TEST_F(Form1Test, LogScrollsToTheEndOfItsLongestLine) {
    // The end of a detection line ("Cleaned..." or "Not Removed...") must be reachable.
    const fs::path bad = MakeSample(root_ / std::string(120, 'd'), "bad.exe", 3);
    WriteDatabase({{bad, "Trojan.Agent-PCE (03)"}});
    SetTarget(root_);
    Click("Scan");
    auto* list = Child<QListWidget>("List3");
    QApplication::processEvents();
    const int widest = list->fontMetrics().horizontalAdvance(
        QString::fromStdString(bad.string() + " <== Trojan.Agent-PCE (03) Cleaned..."));
    ASSERT_GT(widest, list->viewport()->width());
    EXPECT_GE(list->horizontalScrollBar()->maximum() + list->viewport()->width(), widest);
}

TEST_F(Form1Test, FileThatStaysIsNotCountedAsRemoved) {
    refuseRemoval_ = true;
    const fs::path bad = MakeSample(root_ / "tree", "locked.dll", 5);
    WriteDatabase({{bad, "Trojan.Qarnix-S05 (01)"}});
    SetTarget(root_ / "tree");
    Click("Scan");
    EXPECT_THAT(Log(), Contains(bad.string() + " <== Trojan.Qarnix-S05 (01) Not Removed... (permission denied)"));
    EXPECT_THAT(Log(), Not(Contains(bad.string() + " <== Trojan.Qarnix-S05 (01) Cleaned...")));
    EXPECT_TRUE(fs::exists(bad));
    EXPECT_THAT(Report(), Contains("Virus Detected : 1"));
    EXPECT_THAT(Report(), Contains("File Removed : 0"));
}

TEST_F(Form1Test, UnreadableOrEmptySignatureListIsSaidInTheLog) {
    SetTarget(MakeTree("tree", 1));
    const std::string path = (root_ / "database.db").string();
    fs::remove(path);
    Click("Scan");
    ASSERT_GT(Log().size(), 8u);
    EXPECT_EQ(Log()[8], "Signature list unreadable : " + path + " (no such file or folder), nothing can be detected");
    EXPECT_EQ(Report()[0], "File Scanned : 1");

    // A window of its own, which reads the list afresh at its first scan.
    form_.reset();
    std::ofstream(path) << "Finish:Finish\n";
    SetTarget(root_ / "tree");
    Click("Scan");
    ASSERT_GT(Log().size(), 8u);
    EXPECT_EQ(Log()[8], "Signature list empty : " + path + " (no record), nothing can be detected");
    EXPECT_EQ(Report()[0], "File Scanned : 1");
}

TEST_F(Form1Test, ListRewrittenWithoutItsEndMarkerLeavesTheListInUse) {
    refuseRemoval_ = true;
    const fs::path bad = MakeSample(root_ / "tree", "kept.dll", 6);
    WriteDatabase({{bad, "Trojan.Qarnix-S06 (01)"}});
    SetTarget(root_ / "tree");
    Click("Scan");
    const std::string detected = bad.string() + " <== Trojan.Qarnix-S06 (01) Not Removed...";
    ASSERT_THAT(Log(), Contains(::testing::StartsWith(detected)));

    const std::string fingerprint(engine::ComputeFingerprint(bad.string()).fingerprint->Text());
    std::ofstream(root_ / "database.db", std::ios::binary | std::ios::trunc) << fingerprint << ":Half\r\n";
    // The change is noticed on a thread of its own a moment after the write.
    const std::string incomplete = "Signature list incomplete : " + (root_ / "database.db").string();
    bool said = false;
    for (int attempt = 0; attempt < 100 && !said; ++attempt) {
        QTest::qWait(20);
        Click("Scan");
        said = ::testing::Matches(Contains(::testing::StartsWith(incomplete)))(Log());
    }
    EXPECT_TRUE(said);
    EXPECT_THAT(Log(), Contains(::testing::StartsWith(detected)));
}

TEST_F(Form1Test, ListFoundNowhereIsSaidWithEveryPlaceLookedAt) {
    fs::remove(root_ / "database.db");
    databaseSearched_ = (root_ / "database.db").string() + ", then /usr/share/velquin/database.db";
    SetTarget(MakeTree("tree", 1));
    Click("Scan");
    const auto log = Log();
    ASSERT_GT(log.size(), 8u);
    EXPECT_EQ(log[8], "Signature list not found : " + databaseSearched_ + ", nothing can be detected");
}

TEST_F(Form1Test, WindowShowsTheShieldAsItsIcon) {
    const QIcon icon = Form().windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(QSize(48, 48)).toImage().convertToFormat(QImage::Format_ARGB32),
              DrawLogo(QSize(48, 48)).toImage().convertToFormat(QImage::Format_ARGB32));
}

TEST_F(Form1Test, ReportDateAndTimeAreTheSystemsOwnAsTheCommandLineWritesThem) {
    SetTarget(MakeTree("tree", 1));
    const std::string before = platform::ShortDateAndTimeNow();
    Click("Scan");
    const std::string after = platform::ShortDateAndTimeNow();
    EXPECT_THAT(Report()[5], ::testing::AnyOf("Latest Scanned : " + before, "Latest Scanned : " + after));
}

TEST_F(Form1Test, StopMidScanReportsTheCountsReachedWithinOneEntry) {
    SetTarget(MakeTree("tree", 30, {"later"}));
    bool stopped = false;
    std::string infoAtStop;
    AtEntry(3, [&] {
        EXPECT_EQ(ScanCaption(), "Stop");
        EXPECT_FALSE(Child<QWidget>("Browser")->isEnabled());
        EXPECT_TRUE(Child<QTimer>("Timer9")->isActive());
        Click("Scan");
        stopped = true;
        infoAtStop = Text("txtInfo").toStdString();
    });
    Click("Scan");
    ASSERT_TRUE(stopped);
    const auto report = Report();
    ASSERT_EQ(report.size(), 7u);
    EXPECT_EQ(report[0], "File Scanned : 3");
    EXPECT_EQ(report[1], "Folder Scanned : 1");
    EXPECT_EQ(report[6], "Scanning Completed");
    EXPECT_THAT(infoAtStop, ::testing::StartsWith((root_ / "tree").string()));
    EXPECT_EQ(ScanCaption(), "Start Scan");
}

TEST_F(Form1Test, SecondScanClearsTheLogAndCountsAnewButDetectionsAddUp) {
    const fs::path first = MakeSample(MakeTree("big", 5, {"a", "b"}), "one.exe", 1);
    const fs::path second = MakeSample(MakeTree("small", 1), "two.exe", 2);
    WriteDatabase({{first, "Trojan.Qarnix-S01 (01)"}, {second, "Trojan.Qarnix-S02 (01)"}});
    SetTarget(root_ / "big");
    Click("Scan");
    EXPECT_THAT(Report(), Contains("Virus Detected : 1"));
    SetTarget(root_ / "small");
    Click("Scan");
    const auto log = Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "Scanning Completed"), 1);
    EXPECT_EQ(log[1], "Path Scanned : " + (root_ / "small").string());
    EXPECT_THAT(Report(),
                ElementsAre("File Scanned : 2", "Folder Scanned : 0", "Virus Detected : 2",
                            "File Removed : 2", "Time Scanned : 00:00:00", ::testing::_,
                            "Scanning Completed"));
}

TEST_F(Form1Test, TargetThatCannotBeOpenedIsSaidBeforeAReportOfZeroEntries) {
    SetTarget(MakeTree("tree", 3));
    Click("Scan");
    const fs::path file = MakeSample(root_, "plain.exe", 1);
    // A missing folder, and a file: the window scans folders only.
    for (const auto& [target, reason] : {std::pair{root_ / "does-not-exist", "no such file or folder"},
                                         std::pair{file, "not a folder"}}) {
        SetTarget(target);
        Click("Scan");
        const auto log = Log();
        const auto at = std::find(log.begin(), log.end(), "Scanning Directory and File...");
        ASSERT_NE(at, log.end());
        EXPECT_THAT(std::vector<std::string>(at + 1, at + 3),
                    ElementsAre("Path Not Opened : " + target.string() + " (" + reason + ")", " "));
        EXPECT_EQ(Report()[0], "File Scanned : 0");
        EXPECT_EQ(Report()[1], "Folder Scanned : 0");
    }
}

TEST_F(Form1Test, EmptyTargetShowsMessageThenMenuThenPending) {
    Form();
    Child<QLineEdit>("Text1")->clear();
    std::vector<std::string> seen;
    WhenOpened([&](QWidget* box) {
        auto* message = qobject_cast<QMessageBox*>(box);
        ASSERT_TRUE(message);
        seen.push_back(message->text().toStdString());
        seen.push_back("log lines: " + std::to_string(Log().size()));
        WhenOpened([&](QWidget* menu) {
            seen.push_back("menu, log lines: " + std::to_string(Log().size()));
            PickMenuItem(menu, 3);  // "Local Disk [C]"
        });
        Key(box, Qt::Key_Return);
    });
    Click("Scan");
    EXPECT_THAT(seen, ElementsAre("Please Select Path For Scanned", "log lines: 16",
                                  "menu, log lines: 0"));
    const std::string c = platform::NativeTargetPath("C:\\");
    EXPECT_THAT(Log(), ElementsAre("Orvanta Velquin W32.Spy-Qarnix", "Path Scanned : " + c,
                                   "Status : Pending"));
    EXPECT_EQ(ScanCaption(), "Start Scan");
}

TEST_F(Form1Test, MenuItemsSetTheirTargets) {
    const struct {
        int item;
        const char* driveTarget;
    } cases[] = {{0, "C:\\WINDOWS\\"}, {3, "C:\\"}, {4, "D:\\"}};
    for (const auto& c : cases) {
        SetTarget(root_);
        WhenOpened([&](QWidget* menu) { PickMenuItem(menu, c.item); });
        Click("Browser");
        EXPECT_EQ(Text("Text1").toStdString(), platform::NativeTargetPath(c.driveTarget)) << c.item;
        EXPECT_EQ(Log()[1], "Path Scanned : " + platform::NativeTargetPath(c.driveTarget));
    }
}

TEST_F(Form1Test, SelectFolderTakesTheTypedFolderAndCancelKeepsTheTarget) {
    const fs::path picked = MakeTree("picked", 1);
    const struct {
        bool accept;
        fs::path expected;
    } cases[] = {{true, picked}, {false, root_ / "kept"}};
    for (const auto& c : cases) {
        SetTarget(root_ / "kept");
        std::string title;
        WhenOpened([&](QWidget* menu) {
            WhenOpened([&](QWidget* dialog) {
                title = dialog->windowTitle().toStdString();
                if (c.accept) {
                    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
                    ASSERT_NE(edit, nullptr);
                    edit->setFocus();
                    edit->setText(QString::fromStdString(picked.string()));
                    Key(edit, Qt::Key_Return);
                } else {
                    Key(dialog, Qt::Key_Escape);
                }
            });
            PickMenuItem(menu, 1);
        });
        Click("Browser");
        EXPECT_EQ(title, "Select Driver & Path :");
        EXPECT_EQ(Text("Text1").toStdString(), c.expected.string()) << c.accept;
    }
}

TEST_F(Form1Test, DismissedMenuKeepsTargetAndStillShowsPending) {
    SetTarget(root_ / "kept");
    WhenOpened([](QWidget* menu) { Key(menu, Qt::Key_Escape); });
    Click("Browser");
    EXPECT_EQ(Text("Text1").toStdString(), (root_ / "kept").string());
    EXPECT_THAT(Log(), ElementsAre("Orvanta Velquin W32.Spy-Qarnix",
                                   "Path Scanned : " + (root_ / "kept").string(),
                                   "Status : Pending"));
}

TEST_F(Form1Test, RemovableDiskWithoutDriveShowsMessageAndLeavesTargetEmpty) {
    Form().Form8Window()->Timer1_Timer();
    std::string message;
    bool systemModal = false;
    WhenOpened([&](QWidget* menu) {
        WhenOpened([&](QWidget* box) {
            message = qobject_cast<QMessageBox*>(box)->text().toStdString();
            systemModal = box->windowModality() == Qt::ApplicationModal &&
                          box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            Key(box, Qt::Key_Return);
        });
        PickMenuItem(menu, 2);
    });
    Click("Browser");
    EXPECT_EQ(message, "Not Removable Disk Found!");
    EXPECT_TRUE(systemModal);
    EXPECT_EQ(Text("Text1"), "");
    EXPECT_EQ(Log()[1], "Path Scanned : ");
}

TEST_F(Form1Test, RemovableDiskFoundByTheWatcherBecomesTheTargetAndIsScanned) {
    const fs::path stick = MakeTree("stick", 2);
    const fs::path device = root_ / "sys/devices/usb1/sdb";
    fs::create_directories(device);
    std::ofstream(device / "removable") << "1\n";
    fs::create_directories(root_ / "sys/dev/block");
    fs::create_symlink(device, root_ / "sys/dev/block/8:16");
    std::ofstream(root_ / "proc/self/mountinfo")
        << "28 1 254:0 / / rw - ext4 /dev/vda rw\n"
        << "50 28 8:16 / " << stick.string() << " rw - vfat /dev/sdb rw\n";
    Form().Form8Window()->Timer1_Timer();
    EXPECT_FALSE(Form().Form8Window()->Timer1->isActive());

    WhenOpened([&](QWidget* menu) { PickMenuItem(menu, 2); });
    Click("Browser");
    EXPECT_EQ(Text("Text1").toStdString(), stick.string());
    Click("Scan");
    EXPECT_EQ(Report()[0], "File Scanned : 2");
}

TEST_F(Form1Test, ClosingDuringScanEndsTheProgramWithoutReport) {
    SetTarget(MakeTree("tree", 30));
    AtEntry(2, [&] { Form().close(); });
    // The scan runs from the program's own event loop, which the close must end.
    QTimer::singleShot(0, [&] { Click("Scan"); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });  // a hang fails, not blocks
    EXPECT_EQ(QCoreApplication::exec(), 0);

    EXPECT_FALSE(Form().isVisible());
    EXPECT_EQ(Log().back(), "Scanning Directory and File...");
    EXPECT_EQ(Caption("Label8"), "2");
    for (const char* timer : {"Timer1", "Timer3", "Timer9"})
        EXPECT_FALSE(Child<QTimer>(timer)->isActive()) << timer;
    EXPECT_FALSE(Form().Form8Window()->isVisible());
    EXPECT_FALSE(Form().Form8Window()->Timer1->isActive());
}

TEST_F(Form1Test, TimersAnimateIndicatorBusyBarAndClock) {
    Form1& form = Form();
    for (int i = 0; i < 4; ++i) form.Timer1Tick();
    EXPECT_EQ(Caption("Label21"), "[-]");
    form.Timer1Tick();
    EXPECT_EQ(Caption("Label21"), ">>");
    for (int i = 0; i < 4; ++i) form.Timer1Tick();
    EXPECT_EQ(Caption("Label21"), ">");
    EXPECT_EQ(Child<MainProgressBar>("o")->bar().Value(), 9);
    for (int i = 0; i < 100; ++i) form.Timer3Tick();
    EXPECT_EQ(Child<MainProgressBar>("P2")->bar().Value(), 0);
    for (int i = 0; i < 65; ++i) form.Timer9Tick();
    EXPECT_EQ(Caption("Labelwaktu"), "00:01:05");
}

}  // namespace
}  // namespace velquin::ui
