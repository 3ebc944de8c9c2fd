#pragma once
// The scan run of the main window: what a click of Scan or Browser does, in which order, and the
// texts it puts into the log. The window implements ScanRunView over its named controls; the
// controller holds only the order of the steps and the elapsed-time clock, so the order can be
// checked without a window.

#include <string>
#include <vector>

#include "ui/main/scan_clock.h"

namespace velquin::ui {

inline constexpr const char* kWindowTitle = "Orvanta Velquin W32.Spy-Qarnix";
inline constexpr const char* kCaptionStart = "Start Scan";
inline constexpr const char* kCaptionStop = "Stop";
inline constexpr const char* kInfoWaiting = "[Waiting From User....]";
inline constexpr const char* kInfoCompleted = "[Scanning Completed]";
inline constexpr const char* kNoTargetMessage = "Please Select Path For Scanned";
inline constexpr const char* kBlankLine = " ";

// What the report shows, as the window's labels hold it at the end of the walk.
struct ScanCounts {
    std::string filesScanned;    // Label8
    std::string foldersScanned;  // Label11
    std::string detected;        // Label7: every detection since start-up
    std::string removed;         // files really removed since start-up
};

std::vector<std::string> StartupLogLines();
std::vector<std::string> ScanHeaderLines(const std::string& target);
std::vector<std::string> PendingLines(const std::string& target);
std::vector<std::string> ReportLines(const ScanCounts& counts, const std::string& timeScanned,
                                     const std::string& latestScanned);

class ScanRunView {
public:
    virtual ~ScanRunView() = default;

    virtual std::string TargetText() const = 0;  // Text1
    virtual std::string ScanCaption() const = 0;
    virtual void SetScanCaption(const std::string& caption) = 0;
    virtual void SetScanEnabled(bool enabled) = 0;
    virtual void SetBrowserEnabled(bool enabled) = 0;
    virtual void SetAnimationTimersEnabled(bool enabled) = 0;  // Timer1 and Timer3
    virtual void SetClockTimerEnabled(bool enabled) = 0;       // Timer9
    virtual void SetClockCaption(const std::string& text) = 0;  // Labelwaktu
    virtual std::string ClockCaption() const = 0;
    virtual void SetIndicatorCaption(const std::string& text) = 0;  // Label21
    virtual void ResetBars() = 0;                                   // o and P2 back to 0
    virtual void ClearLog() = 0;
    virtual void AppendLog(const std::string& line) = 0;
    virtual void SetInfoText(const std::string& text) = 0;  // txtInfo
    // Label8 and Label11 back to "0", so a walk that examines nothing reports 0.
    virtual void ResetScanCountLabels() = 0;
    virtual ScanCounts Counts() const = 0;
    // Runs the folder walk over `target` with fresh counters; returns once it has unwound.
    virtual void RunWalk(const std::string& target) = 0;
    // Current date and time in the system's short formats, joined by "/".
    virtual std::string NowText() const = 0;
    virtual void ShowNoTargetMessage() = 0;
    // Pops up the target menu and returns once the picked item's action has run (or the menu
    // was dismissed).
    virtual void PopUpTargetMenu() = 0;
};

class ScanRunController {
public:
    explicit ScanRunController(ScanRunView& view) : view_(view) {}

    void ScanClick();
    void BrowserClick();
    void ClockTick();  // Timer9
    // The window is closing: a running walk is told to stop and its report is never written.
    void Close() { closing_ = true; }

    // The walk's run flag: go on while Scan reads "Stop" and the window is not closing.
    bool KeepWalking() const;
    bool WalkRunning() const { return walkRunning_; }
    bool Closing() const { return closing_; }

private:
    void StartPath();
    void PickTarget();
    void AppendLines(const std::vector<std::string>& lines);

    ScanRunView& view_;
    ElapsedClock clock_;
    bool walkRunning_ = false;
    bool closing_ = false;
};

}  // namespace velquin::ui
