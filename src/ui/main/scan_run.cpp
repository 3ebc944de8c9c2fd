#include "ui/main/scan_run.h"

namespace velquin::ui {

std::vector<std::string> StartupLogLines() {
    std::vector<std::string> lines = {kWindowTitle,
                                      kBlankLine,
                                      "(1). Click Browse > for Add Path Scanned",
                                      "(2). Click Scan for Start Scanned",
                                      "(3). Disconnect Your Connection",
                                      "(4). Waiting Scanned Completed"};
    lines.insert(lines.end(), 10, kBlankLine);
    return lines;
}

std::vector<std::string> ScanHeaderLines(const std::string& target) {
    return {kWindowTitle,
            "Path Scanned : " + target,
            "Status : Scanning",
            kBlankLine,
            "Fix Registry...",
            "HKCU\\Software\\Microsoft\\Windows\\Currentversion\\Run",
            kBlankLine,
            "Scanning Directory and File..."};
}

std::vector<std::string> PendingLines(const std::string& target) {
    return {kWindowTitle, "Path Scanned : " + target, "Status : Pending"};
}

std::vector<std::string> ReportLines(const ScanCounts& counts, const std::string& timeScanned,
                                     const std::string& latestScanned) {
    return {"File Scanned : " + counts.filesScanned,
            "Folder Scanned : " + counts.foldersScanned,
            "Virus Detected : " + counts.detected,
            "File Removed : " + counts.removed,
            "Time Scanned : " + timeScanned,
            "Latest Scanned : " + latestScanned,
            "Scanning Completed"};
}

void ScanRunController::AppendLines(const std::vector<std::string>& lines) {
    for (const auto& line : lines) view_.AppendLog(line);
}

bool ScanRunController::KeepWalking() const {
    return !closing_ && view_.ScanCaption() == kCaptionStop;
}

void ScanRunController::ScanClick() {
    if (closing_) return;
    if (view_.TargetText().empty()) {
        view_.ShowNoTargetMessage();
        PickTarget();
    } else if (view_.ScanCaption() == kCaptionStart) {
        // A stopped walk that is still unwinding writes its report first; a new scan may start
        // only after that.
        if (!walkRunning_) StartPath();
    } else {
        view_.SetScanCaption(kCaptionStart);  // the walk sees it at its next entry
    }
}

void ScanRunController::BrowserClick() {
    if (closing_) return;
    PickTarget();
}

void ScanRunController::PickTarget() {
    view_.ClearLog();
    view_.PopUpTargetMenu();
    if (closing_) return;
    AppendLines(PendingLines(view_.TargetText()));
    view_.SetScanEnabled(true);
}

void ScanRunController::StartPath() {
    view_.SetAnimationTimersEnabled(true);
    view_.SetScanCaption(kCaptionStop);
    view_.SetClockCaption(ElapsedClock::kZero);
    clock_.Reset();
    view_.SetClockTimerEnabled(true);
    view_.ClearLog();
    view_.SetBrowserEnabled(false);
    view_.ResetScanCountLabels();
    const std::string target = view_.TargetText();
    AppendLines(ScanHeaderLines(target));

    walkRunning_ = true;
    view_.RunWalk(target);
    walkRunning_ = false;
    if (closing_) return;  // the program is ending: no report

    view_.AppendLog(kBlankLine);
    view_.SetScanCaption(kCaptionStart);
    view_.SetIndicatorCaption(kIndicatorIdle);
    view_.SetAnimationTimersEnabled(false);
    view_.ResetBars();
    view_.SetClockTimerEnabled(false);
    view_.SetBrowserEnabled(true);
    AppendLines(ReportLines(view_.Counts(), view_.ClockCaption(), view_.NowText()));
    view_.SetClockCaption(ElapsedClock::kZero);
    view_.SetInfoText(kInfoCompleted);
}

void ScanRunController::ClockTick() {
    clock_.Tick();
    view_.SetClockCaption(clock_.Text());
}

}  // namespace velquin::ui
