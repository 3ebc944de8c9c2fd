#include "ui/watcher/qt/form8.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <QApplication>
#include <QSignalSpy>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace velquin::ui {
namespace {

using ::testing::ElementsAreArray;

QApplication& App() {
    static int argc = 1;
    static char name[] = "form8_test";
    static char* argv[] = {name, nullptr};
    // Headless whatever the test runner passes on.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// Answers like the Windows drive-type query: a removable candidate stands for itself.
class FakeDrives : public platform::RemovableDriveQuery {
public:
    std::map<std::string, std::string, std::less<>> removable;
    std::vector<std::string> asked;

    std::optional<std::string> RemovableRoot(std::string_view candidate) override {
        asked.emplace_back(candidate);
        const auto found = removable.find(candidate);
        if (found == removable.end()) return std::nullopt;
        return found->second;
    }
};

struct Watcher {
    FakeDrives* drives;
    std::unique_ptr<Form8> form;
};

Watcher MakeWatcher(std::map<std::string, std::string, std::less<>> removable = {}) {
    App();
    auto drives = std::make_unique<FakeDrives>();
    drives->removable = std::move(removable);
    FakeDrives* raw = drives.get();
    return {raw, std::make_unique<Form8>(std::move(drives))};
}

const std::vector<std::string> kCandidates = {"D:", "E:", "F:", "G:", "H:", "I:", "J:",
                                              "K:", "L:", "M:", "N:", "O:", "P:"};

TEST(Form8Test, LoadsHiddenWithItsControlsAndPolls) {
    auto [drives, form] = MakeWatcher();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "Form8");
    EXPECT_EQ(form->size(), QSize(163, 85));
    EXPECT_EQ(form->Label1->geometry(), QRect(24, 8, 81, 33));
    EXPECT_TRUE(form->Label1->text().isEmpty());
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 200);
    EXPECT_EQ(form->Candidates().size(), 13u);
}

TEST(Form8Test, WithoutARemovableDriveEveryTickAsksDThroughPAndKeepsPolling) {
    auto [drives, form] = MakeWatcher({{"C:", "C:"}, {"Q:", "Q:"}, {"Z:", "Z:"}});
    form->Timer1_Timer();
    EXPECT_THAT(drives->asked, ElementsAreArray(kCandidates));
    form->Timer1_Timer();
    EXPECT_EQ(drives->asked.size(), 26u);
    EXPECT_TRUE(form->Label1->text().isEmpty());
    EXPECT_TRUE(form->FoundDrive().empty());
    EXPECT_TRUE(form->Timer1->isActive());
}

TEST(Form8Test, TheLowestRemovableLetterWinsAndEndsTheSearchForGood) {
    auto [drives, form] = MakeWatcher({{"F:", "F:"}, {"K:", "K:"}});
    form->Timer1_Timer();
    EXPECT_THAT(drives->asked, ElementsAreArray(kCandidates.begin(), kCandidates.begin() + 3));
    EXPECT_EQ(form->Label1->text(), "F:");
    EXPECT_EQ(form->FoundDrive(), "F:");
    EXPECT_FALSE(form->Timer1->isActive());

    // The drive is pulled out: nothing polls any more, so the record stays.
    drives->removable.clear();
    QApplication::processEvents();
    EXPECT_EQ(form->Label1->text(), "F:");
}

TEST(Form8Test, TheTimerDrivesTheSearch) {
    auto [drives, form] = MakeWatcher({{"E:", "/media/u/<b>STICK</b>"}});
    QSignalSpy ticks(form->Timer1, &QTimer::timeout);
    form->Timer1->start(0);  // the wiring is what counts here, not the 200 ms
    ASSERT_TRUE(ticks.wait(2000));
    EXPECT_EQ(form->Label1->text(), "/media/u/<b>STICK</b>");
    EXPECT_EQ(form->Label1->textFormat(), Qt::PlainText);
    EXPECT_FALSE(form->Timer1->isActive());
}

TEST(Form8Test, FindsTheFirstRemovableMountOfTheSystemTables) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("velquin-form8-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "proc/self");
    fs::create_directories(root / "sys/dev/block");
    fs::create_directories(root / "sys/devices/usb/sdb/sdb1");
    std::ofstream(root / "sys/devices/usb/sdb/removable") << "1\n";
    std::ofstream(root / "sys/devices/usb/sdb/sdb1/partition") << "1\n";
    fs::create_symlink(root / "sys/devices/usb/sdb/sdb1", root / "sys/dev/block/8:17");
    const fs::path table = root / "proc/self/mountinfo";
    std::ofstream(table) << "28 1 254:0 / / rw - ext4 /dev/vda rw\n";

    App();
    Form8 form(platform::OpenRemovableDriveQuery({(root / "proc").string(), (root / "sys").string()}));
    form.Timer1_Timer();
    const bool foundTooEarly = !form.Label1->text().isEmpty();
    std::ofstream(table, std::ios::app) << "41 28 8:17 / /media/u/KEY rw - vfat /dev/sdb1 rw\n";
    form.Timer1_Timer();
    fs::remove_all(root);

    EXPECT_FALSE(foundTooEarly);
    EXPECT_EQ(form.Label1->text(), "/media/u/KEY");
    EXPECT_FALSE(form.Timer1->isActive());
}

}  // namespace
}  // namespace velquin::ui
