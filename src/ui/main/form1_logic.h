#pragma once
// What the scan console does, whatever toolkit shows it: start-up, the scan run and its report,
// the target menu's actions, the timers' effects and the walk's writes into the named controls.
// A shell (qt/ or win32/) creates the native controls from Form1's layout, forwards their events
// here and reads and writes their contents through Form1Shell.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/sink.h"
#include "platform/process.h"
#include "ui/main/scan_run.h"
#include "ui/main/target_menu.h"
#include "ui/main/yield_pacer.h"

namespace velquin::engine {
class Disposal;
class SignatureDatabase;
}  // namespace velquin::engine

namespace velquin::ui {

// The controls whose contents the logic reads or writes, by kind.
enum class TextControl { Text1, txtInfo, Label21, Labelwaktu, Label8, Label11, Label7 };
enum class ListControl { List3, List2 };
enum class ButtonControl { Scan, Browser };
enum class BarControl { P2, o };
enum class TimerControl { Timer1, Timer3, Timer9 };

// The control's name in Form1's layout.
const char* ControlName(TextControl control);
const char* ControlName(ListControl list);
const char* ControlName(ButtonControl button);
const char* ControlName(BarControl bar);
const char* ControlName(TimerControl timer);

inline constexpr const char* kNoRemovableDiskMessage = "Not Removable Disk Found!";

struct Form1Options {
    std::string databasePath;      // the signature list the scans use
    std::string databaseSearched;  // when no place held a list: the places looked at, for the log
    std::string procRoot = "/proc";  // roots of the removable-drive query
    std::string sysRoot = "/sys";
    // The processes a scan may end; the running system's when not given.
    std::function<std::unique_ptr<platform::ProcessTable>()> processTable;
    // What becomes of a detected file; deletion when not given.
    std::function<std::unique_ptr<engine::Disposal>()> disposal;
    // The longest a scan goes on without letting the window handle its events; 0: after every entry.
    std::chrono::milliseconds yieldInterval = YieldPacer::kInterval;
};

class Form1Shell {
public:
    virtual ~Form1Shell() = default;

    // Text boxes and label captions.
    virtual std::string Text(TextControl control) const = 0;
    virtual void SetText(TextControl control, std::string_view text) = 0;
    virtual std::string ButtonCaption(ButtonControl button) const = 0;
    virtual void SetButtonCaption(ButtonControl button, std::string_view caption) = 0;
    virtual void SetButtonEnabled(ButtonControl button, bool enabled) = 0;
    virtual void ClearList(ListControl list) = 0;
    // Appends a line; the log (List3) then shows its last line.
    virtual void AppendToList(ListControl list, std::string_view line) = 0;
    virtual void ShowListTop(ListControl list) = 0;
    virtual int ListCount(ListControl list) const = 0;
    virtual int BarValue(BarControl bar) const = 0;
    virtual int BarMax(BarControl bar) const = 0;
    virtual void SetBarValue(BarControl bar, int value) = 0;
    virtual void SetTimerEnabled(TimerControl timer, bool enabled) = 0;

    // A message box with an OK button over the window, waiting until it is closed; a
    // system-modal one stays above every other window.
    virtual void ShowMessage(std::string_view text, bool systemModal) = 0;
    // Pops up mnu at the mouse pointer and waits; nothing when the menu is dismissed.
    virtual std::optional<MenuItem> PopUpTargetMenu() = 0;
    // The folder dialog (modBrowse): the picked folder's path, or "".
    virtual std::string BrowseFolder(std::string_view title) = 0;
    // The caption of Form8's Label1: the removable drive the watcher found, or "".
    virtual std::string RemovableDriveCaption() const = 0;
    // Handles the window events that are waiting, then returns.
    virtual void ProcessPendingEvents() = 0;
    // Whether input (a click, a key) waits, where the toolkit tells that cheaply; a scan then
    // handles events at once instead of at its next turn.
    virtual bool InputWaiting() const { return false; }
    // Closes every window (Form8 too) and ends the program's event loop.
    virtual void EndProgram() = 0;
};

class Form1Logic final : private ScanRunView, private engine::ScanSink {
public:
    Form1Logic(Form1Shell& shell, Form1Options options);
    ~Form1Logic() override;

    // The load step, once the shell has created the controls with their design-time contents.
    void Load();

    // Events the shell forwards.
    void ScanClick();
    void BrowserClick();
    void Timer1Tick();  // activity indicator
    void Timer3Tick();  // busy bar
    void Timer9Tick();  // elapsed-time clock
    // The window is being closed: the program ends, a running walk stops at its next entry and
    // its report is never written.
    void Close();

    bool Closing() const { return controller_.Closing(); }
    bool WalkRunning() const { return controller_.WalkRunning(); }
    const Form1Options& Options() const { return options_; }

private:
    void MenuItemClick(MenuItem item);
    void IN_Click();
    void SF_Click();

    // ScanRunView
    std::string TargetText() const override;
    std::string ScanCaption() const override;
    void SetScanCaption(const std::string& caption) override;
    void SetScanEnabled(bool enabled) override;
    void SetBrowserEnabled(bool enabled) override;
    void SetAnimationTimersEnabled(bool enabled) override;
    void SetClockTimerEnabled(bool enabled) override;
    void SetClockCaption(const std::string& text) override;
    std::string ClockCaption() const override;
    void SetIndicatorCaption(const std::string& text) override;
    void ResetBars() override;
    void ClearLog() override;
    void AppendLog(const std::string& line) override;
    void SetInfoText(const std::string& text) override;
    void ResetScanCountLabels() override;
    ScanCounts Counts() const override;
    void RunWalk(const std::string& target) override;
    std::string NowText() const override;
    void ShowNoTargetMessage() override;
    void PopUpTargetMenu() override;

    // engine::ScanSink: the walk writes into the named controls through these.
    void ShowEntry(std::string_view text) override;
    void ShowCounts(std::uint64_t filesScanned, std::uint64_t foldersScanned) override;
    void AddDetectedPath(std::string_view path) override;
    void AppendLog(std::string_view line) override;
    bool IsRunning() override;
    void Yield() override;
    void Detected(const engine::DetectionReport& report) override;

    void LogSignatureListTrouble();
    void WriteCounts();

    Form1Shell& shell_;
    Form1Options options_;
    std::unique_ptr<engine::SignatureDatabase> database_;  // opened at the first scan
    std::unique_ptr<platform::ProcessTable> processTable_;
    ScanRunController controller_{*this};
    std::uint64_t filesRemoved_ = 0;  // since start-up, like the detection count
    // Laying out a new status text costs more than examining an entry; txtInfo takes the entry
    // in progress at most this often, which the eye cannot tell from every entry.
    static constexpr std::chrono::milliseconds kInfoRefresh{20};
    std::optional<std::chrono::steady_clock::time_point> infoShown_;
    // The counts of the entry just examined, written into Label8, Label11 and Label7 before the
    // window next handles its events (the only moment it can show them) and at the end of the walk.
    struct Counted {
        std::uint64_t files = 0;
        std::uint64_t folders = 0;
    };
    std::optional<Counted> countsToWrite_;
    YieldPacer yieldPacer_;  // when the walk lets the window handle its events
};

}  // namespace velquin::ui
