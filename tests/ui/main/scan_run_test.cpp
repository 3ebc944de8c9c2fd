#include "ui/main/scan_run.h"

#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace velquin::ui {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// Records every step the controller asks for, in order; the walk and the menu run hooks so a
// test can click again in the middle of them.
class FakeView : public ScanRunView {
public:
    std::vector<std::string> steps;
    std::vector<std::string> log;
    std::string target = "/data/";
    std::string caption = kCaptionStart;
    std::string clockCaption = "Label10";
    ScanCounts counts{"4", "1", "2", "1"};
    std::function<void()> onWalk;
    std::function<void()> onMenu;

    std::string TargetText() const override { return target; }
    std::string ScanCaption() const override { return caption; }
    void SetScanCaption(const std::string& c) override { caption = c, Step("caption " + c); }
    void SetScanEnabled(bool on) override { Step(On("scan", on)); }
    void SetBrowserEnabled(bool on) override { Step(On("browser", on)); }
    void SetAnimationTimersEnabled(bool on) override { Step(On("timer1+3", on)); }
    void SetClockTimerEnabled(bool on) override { Step(On("timer9", on)); }
    void SetClockCaption(const std::string& t) override { clockCaption = t, Step("clock " + t); }
    std::string ClockCaption() const override { return clockCaption; }
    void SetIndicatorCaption(const std::string& t) override { Step("indicator " + t); }
    void ResetBars() override { Step("bars 0"); }
    void ClearLog() override { log.clear(), Step("clear"); }
    void AppendLog(const std::string& line) override { log.push_back(line), Step("log"); }
    void SetInfoText(const std::string& t) override { Step("info " + t); }
    void ResetScanCountLabels() override { Step("counts 0"); }
    ScanCounts Counts() const override { return counts; }
    void RunWalk(const std::string& t) override {
        Step("walk " + t);
        if (onWalk) onWalk();
        Step("walk returned");
    }
    std::string NowText() const override { return "10/12/26/11:30:00"; }
    void ShowNoTargetMessage() override { Step("message"); }
    void PopUpTargetMenu() override {
        Step("menu");
        if (onMenu) onMenu();
    }

    // Steps with consecutive "log" entries folded, so orders read clearly.
    std::vector<std::string> Order() const {
        std::vector<std::string> out;
        for (const auto& s : steps)
            if (out.empty() || s != "log" || out.back() != "log") out.push_back(s);
        return out;
    }

private:
    static std::string On(const std::string& what, bool on) { return what + (on ? " on" : " off"); }
    void Step(const std::string& s) { steps.push_back(s); }
};

TEST(ScanRunTest, StartPathRunsItsStepsInOrderAndReports) {
    FakeView view;
    ScanRunController run(view);
    bool keptWalkingDuringWalk = false;
    view.onWalk = [&] { keptWalkingDuringWalk = run.KeepWalking() && run.WalkRunning(); };
    run.ScanClick();

    EXPECT_TRUE(keptWalkingDuringWalk);
    EXPECT_FALSE(run.WalkRunning());
    EXPECT_THAT(view.Order(),
                ElementsAre("timer1+3 on", "caption Stop", "clock 00:00:00", "timer9 on", "clear",
                            "browser off", "counts 0", "log", "walk /data/", "walk returned", "log",
                            "caption Start Scan", "indicator [-]", "timer1+3 off", "bars 0",
                            "timer9 off", "browser on", "log", "clock 00:00:00",
                            "info [Scanning Completed]"));
    EXPECT_THAT(view.log,
                ElementsAre("Orvanta Velquin W32.Spy-Qarnix", "Path Scanned : /data/",
                            "Status : Scanning", " ", "Fix Registry...",
                            "HKCU\\Software\\Microsoft\\Windows\\Currentversion\\Run", " ",
                            "Scanning Directory and File...", " ", "File Scanned : 4",
                            "Folder Scanned : 1", "Virus Detected : 2", "File Removed : 1",
                            "Time Scanned : 00:00:00", "Latest Scanned : 10/12/26/11:30:00",
                            "Scanning Completed"));
}

TEST(ScanRunTest, ClockTicksDuringTheWalkAppearInTheReport) {
    FakeView view;
    ScanRunController run(view);
    view.onWalk = [&] {
        for (int i = 0; i < 65; ++i) run.ClockTick();
    };
    run.ScanClick();
    EXPECT_THAT(view.log, ::testing::Contains("Time Scanned : 00:01:05"));
    EXPECT_EQ(view.clockCaption, "00:00:00");

    // A second scan starts its clock from zero again.
    view.onWalk = [&] { run.ClockTick(); };
    run.ScanClick();
    EXPECT_THAT(view.log, ::testing::Contains("Time Scanned : 00:00:01"));
}

TEST(ScanRunTest, ClickDuringWalkOnlyFlipsTheCaptionAndTheReportFollowsTheWalk) {
    FakeView view;
    ScanRunController run(view);
    view.onWalk = [&] {
        view.steps.push_back("user clicks");
        run.ScanClick();
        view.steps.push_back("walk sees flag " + std::string(run.KeepWalking() ? "go" : "stop"));
        // A further click while the stopped walk unwinds starts nothing nested.
        run.ScanClick();
    };
    run.ScanClick();
    const auto order = view.Order();
    const auto at = std::find(order.begin(), order.end(), "user clicks");
    ASSERT_NE(at, order.end());
    EXPECT_THAT(std::vector<std::string>(at, at + 4),
                ElementsAre("user clicks", "caption Start Scan", "walk sees flag stop",
                            "walk returned"));
    EXPECT_EQ(std::count(order.begin(), order.end(), "walk /data/"), 1);
    EXPECT_EQ(view.log.back(), "Scanning Completed");
}

TEST(ScanRunTest, EmptyTargetShowsMessageThenMenuThenPendingLines) {
    FakeView view;
    view.target = "";
    view.onMenu = [&] { view.target = "/media/usb"; };
    ScanRunController run(view);
    run.ScanClick();
    EXPECT_THAT(view.Order(), ElementsAre("message", "clear", "menu", "log", "scan on"));
    EXPECT_THAT(view.log, ElementsAre("Orvanta Velquin W32.Spy-Qarnix",
                                      "Path Scanned : /media/usb", "Status : Pending"));
}

TEST(ScanRunTest, BrowserClearsLogPopsMenuAndShowsPendingEvenWhenDismissed) {
    FakeView view;
    view.log = {"old line"};
    ScanRunController run(view);
    run.BrowserClick();  // no item picked: the target stays
    EXPECT_THAT(view.Order(), ElementsAre("clear", "menu", "log", "scan on"));
    EXPECT_THAT(view.log, ElementsAre("Orvanta Velquin W32.Spy-Qarnix", "Path Scanned : /data/",
                                      "Status : Pending"));
}

TEST(ScanRunTest, ClosingDuringWalkStopsItAndWritesNoReport) {
    FakeView view;
    ScanRunController run(view);
    view.onWalk = [&] {
        run.Close();
        EXPECT_FALSE(run.KeepWalking());  // the caption still reads "Stop"
    };
    run.ScanClick();
    EXPECT_EQ(view.Order().back(), "walk returned");
    EXPECT_EQ(view.log.back(), "Scanning Directory and File...");

    run.ScanClick();
    run.BrowserClick();
    EXPECT_EQ(view.Order().back(), "walk returned");
}

TEST(ScanRunTest, StartUpLogHasTitleBlankFourInstructionsAndTenBlanks) {
    const auto lines = StartupLogLines();
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0], "Orvanta Velquin W32.Spy-Qarnix");
    EXPECT_EQ(lines[1], " ");
    EXPECT_EQ(lines[2], "(1). Click Browse > for Add Path Scanned");
    EXPECT_EQ(lines[5], "(4). Waiting Scanned Completed");
    EXPECT_THAT(std::vector<std::string>(lines.begin() + 6, lines.end()),
                ElementsAreArray(std::vector<std::string>(10, " ")));
}

}  // namespace
}  // namespace velquin::ui
