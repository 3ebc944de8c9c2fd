#include "ui/main/form1_logic.h"

#include "cleaner/process_cleaner.h"
#include "engine/database.h"
#include "engine/disposal.h"
#include "engine/scan.h"
#include "platform/date_time.h"
#include "platform/drive.h"
#include "ui/main/mod_browse.h"

namespace velquin::ui {

namespace {

// The process step of a scan: the process cleaner over a process table. Its lines go to the log;
// the window keeps no other record of processes.
class CleanerActions final : public engine::ProcessActions {
public:
    explicit CleanerActions(platform::ProcessTable& table) : cleaner_(table) {}
    void TerminateProcessesByName(const engine::DetectedImage& image, const LogLine& log) override {
        cleaner_.TerminateProcessesByName(cleaner::TargetOf(image), log);
    }
    std::optional<bool> IsProcessRunning(const engine::DetectedImage& image) override {
        return cleaner_.IsProcessRunning(cleaner::TargetOf(image));
    }
    void RestartShell(const engine::DetectedImage& image, std::string_view malwareName, const LogLine& log) override {
        cleaner_.RestartShell(cleaner::TargetOf(image), malwareName, log);
    }

private:
    cleaner::ProcessCleaner cleaner_;
};

}  // namespace

const char* ControlName(TextControl control) {
    constexpr const char* kNames[] = {"Text1", "txtInfo", "Label21", "Labelwaktu", "Label8", "Label11", "Label7"};
    return kNames[static_cast<int>(control)];
}
const char* ControlName(ListControl list) { return list == ListControl::List3 ? "List3" : "List2"; }
const char* ControlName(ButtonControl button) { return button == ButtonControl::Scan ? "Scan" : "Browser"; }
const char* ControlName(BarControl bar) { return bar == BarControl::P2 ? "P2" : "o"; }
const char* ControlName(TimerControl timer) {
    constexpr const char* kNames[] = {"Timer1", "Timer3", "Timer9"};
    return kNames[static_cast<int>(timer)];
}

Form1Logic::Form1Logic(Form1Shell& shell, Form1Options options)
    : shell_(shell), options_(std::move(options)), yieldPacer_(options_.yieldInterval) {}

Form1Logic::~Form1Logic() = default;

void Form1Logic::Load() {
    for (const auto& line : StartupLogLines()) AppendLog(line);
    shell_.ShowListTop(ListControl::List3);
    // The design-time target "C:\" as this system names it.
    shell_.SetText(TextControl::Text1, platform::NativeTargetPath(shell_.Text(TextControl::Text1)));
}

void Form1Logic::ScanClick() { controller_.ScanClick(); }
void Form1Logic::BrowserClick() { controller_.BrowserClick(); }

void Form1Logic::Timer1Tick() {
    const IndicatorStep step =
        ActivityIndicatorTick(shell_.BarValue(BarControl::o), shell_.BarMax(BarControl::o));
    shell_.SetBarValue(BarControl::o, step.value);
    if (step.caption) shell_.SetText(TextControl::Label21, *step.caption);
}

void Form1Logic::Timer3Tick() {
    shell_.SetBarValue(BarControl::P2,
                       BusyBarTick(shell_.BarValue(BarControl::P2), shell_.BarMax(BarControl::P2)));
}

void Form1Logic::Timer9Tick() { controller_.ClockTick(); }

void Form1Logic::Close() {
    if (controller_.Closing()) return;
    controller_.Close();
    for (TimerControl timer : {TimerControl::Timer1, TimerControl::Timer3, TimerControl::Timer9})
        shell_.SetTimerEnabled(timer, false);
    shell_.EndProgram();
}

void Form1Logic::MenuItemClick(MenuItem item) {
    switch (item) {
        case MenuItem::SF: SF_Click(); break;
        case MenuItem::IN: IN_Click(); break;
        case MenuItem::system32scan:
        case MenuItem::ED:
        case MenuItem::DiskD: shell_.SetText(TextControl::Text1, FixedTarget(item)); break;
    }
}

void Form1Logic::SF_Click() {
    const std::string folder = shell_.BrowseFolder(kBrowseFolderTitle);
    if (!folder.empty()) shell_.SetText(TextControl::Text1, folder);
}

void Form1Logic::IN_Click() {
    shell_.SetText(TextControl::Text1, shell_.RemovableDriveCaption());
    if (shell_.Text(TextControl::Text1).empty()) shell_.ShowMessage(kNoRemovableDiskMessage, true);
}

std::string Form1Logic::TargetText() const { return shell_.Text(TextControl::Text1); }
std::string Form1Logic::ScanCaption() const { return shell_.ButtonCaption(ButtonControl::Scan); }

void Form1Logic::SetScanCaption(const std::string& caption) {
    shell_.SetButtonCaption(ButtonControl::Scan, caption);
}

void Form1Logic::SetScanEnabled(bool enabled) { shell_.SetButtonEnabled(ButtonControl::Scan, enabled); }

void Form1Logic::SetBrowserEnabled(bool enabled) {
    shell_.SetButtonEnabled(ButtonControl::Browser, enabled);
}

void Form1Logic::SetAnimationTimersEnabled(bool enabled) {
    shell_.SetTimerEnabled(TimerControl::Timer3, enabled);
    shell_.SetTimerEnabled(TimerControl::Timer1, enabled);
}

void Form1Logic::SetClockTimerEnabled(bool enabled) {
    shell_.SetTimerEnabled(TimerControl::Timer9, enabled);
}

void Form1Logic::SetClockCaption(const std::string& text) {
    shell_.SetText(TextControl::Labelwaktu, text);
}

std::string Form1Logic::ClockCaption() const { return shell_.Text(TextControl::Labelwaktu); }

void Form1Logic::SetIndicatorCaption(const std::string& text) {
    shell_.SetText(TextControl::Label21, text);
}

void Form1Logic::ResetBars() {
    shell_.SetBarValue(BarControl::o, 0);
    shell_.SetBarValue(BarControl::P2, 0);
}

void Form1Logic::ClearLog() { shell_.ClearList(ListControl::List3); }

void Form1Logic::AppendLog(const std::string& line) {
    shell_.AppendToList(ListControl::List3, line);
}

void Form1Logic::SetInfoText(const std::string& text) { shell_.SetText(TextControl::txtInfo, text); }

void Form1Logic::ResetScanCountLabels() {
    shell_.SetText(TextControl::Label8, "0");
    shell_.SetText(TextControl::Label11, "0");
}

ScanCounts Form1Logic::Counts() const {
    return {shell_.Text(TextControl::Label8), shell_.Text(TextControl::Label11),
            shell_.Text(TextControl::Label7), std::to_string(filesRemoved_)};
}

void Form1Logic::RunWalk(const std::string& target) {
    if (!database_) {
        database_ = std::make_unique<engine::SignatureDatabase>(options_.databasePath);
        processTable_ = options_.processTable ? options_.processTable()
                                              : platform::OpenSystemProcessTable();
    }
    LogSignatureListTrouble();
    CleanerActions processes(*processTable_);
    std::unique_ptr<engine::Disposal> disposal =
        options_.disposal ? options_.disposal() : std::make_unique<engine::DeleteDisposal>();
    engine::FolderScan scan(*database_, *this, processes, *disposal);
    scan.SetJobs(engine::kDefaultJobs);
    infoShown_.reset();
    countsToWrite_.reset();
    yieldPacer_.Restart();
    scan.ScanFolder(target);
    if (controller_.Closing()) return;
    WriteCounts();
    // A target that cannot be opened is no empty folder: say so before the report.
    if (scan.TargetError() != platform::Error::None) {
        AppendLog("Path Not Opened : " + target + " (" +
                  std::string(platform::ErrorMessage(scan.TargetError())) + ")");
    }
}

// A list that cannot be read would make every file look clean; say so in the log.
void Form1Logic::LogSignatureListTrouble() {
    const engine::DatabaseLoad& load = database_->Load();
    if (load.kept) {
        AppendLog("Signature list incomplete : " + load.path + ", the list read before stays in use");
    } else if (load.error == platform::Error::NotFound && !options_.databaseSearched.empty()) {
        AppendLog("Signature list not found : " + options_.databaseSearched +
                  ", nothing can be detected");
    } else if (load.error != platform::Error::None) {
        AppendLog("Signature list unreadable : " + load.path + " (" +
                  std::string(platform::ErrorMessage(load.error)) + "), nothing can be detected");
    } else if (!load.HasSignatures()) {
        AppendLog("Signature list empty : " + load.path + " (no record), nothing can be detected");
    }
}

// The same text the command line writes for the same moment.
std::string Form1Logic::NowText() const { return platform::ShortDateAndTimeNow(); }

void Form1Logic::ShowNoTargetMessage() { shell_.ShowMessage(kNoTargetMessage, true); }

void Form1Logic::PopUpTargetMenu() {
    if (const std::optional<MenuItem> picked = shell_.PopUpTargetMenu()) MenuItemClick(*picked);
}

// The walk's writes. Once the window is closing they go nowhere: the controls may be gone, and
// the walk only has to notice the run flag and unwind.
void Form1Logic::ShowEntry(std::string_view text) {
    if (controller_.Closing()) return;
    const auto now = std::chrono::steady_clock::now();
    if (infoShown_ && now - *infoShown_ < kInfoRefresh) return;
    shell_.SetText(TextControl::txtInfo, text);
    infoShown_ = now;
}

void Form1Logic::ShowCounts(std::uint64_t filesScanned, std::uint64_t foldersScanned) {
    if (!controller_.Closing()) countsToWrite_ = Counted{filesScanned, foldersScanned};
}

void Form1Logic::WriteCounts() {
    if (!countsToWrite_) return;
    shell_.SetText(TextControl::Label8, std::to_string(countsToWrite_->files));
    shell_.SetText(TextControl::Label11, std::to_string(countsToWrite_->folders));
    shell_.SetText(TextControl::Label7, std::to_string(shell_.ListCount(ListControl::List2)));
    countsToWrite_.reset();
}

void Form1Logic::AddDetectedPath(std::string_view path) {
    if (!controller_.Closing()) shell_.AppendToList(ListControl::List2, path);
}

void Form1Logic::AppendLog(std::string_view line) {
    if (!controller_.Closing()) shell_.AppendToList(ListControl::List3, line);
}

bool Form1Logic::IsRunning() { return controller_.KeepWalking(); }

// A full turn of the event loop costs more than an entry: the window handles its events when
// input waits or the pacer's few milliseconds have passed.
void Form1Logic::Yield() {
    if (controller_.Closing() || !yieldPacer_.Due(shell_.InputWaiting())) return;
    WriteCounts();
    shell_.ProcessPendingEvents();
}

void Form1Logic::Detected(const engine::DetectionReport& report) {
    if (report.gone) ++filesRemoved_;
}

}  // namespace velquin::ui
