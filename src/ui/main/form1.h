#pragma once
// Form1: the scan console. Its controls carry the names the rest of the program uses (List3,
// txtInfo, Label8, ...); their design-time settings come from Form1's form data.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include "controls/button/qt/luxbutton_widget.h"
#include "controls/progressbar/qt/xp_progressbar_widget.h"
#include "engine/sink.h"
#include "platform/process.h"
#include "ui/main/scan_run.h"
#include "ui/main/target_menu.h"
#include "ui/main/yield_pacer.h"

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;

namespace velquin::engine {
class Disposal;
class SignatureDatabase;
}  // namespace velquin::engine

namespace velquin::ui {
class Form8;
}

namespace velquin::ui {

using MainButton = button::qt::LuxButtonWidget;
using MainProgressBar = progressbar::XP_ProgressBarWidget;

struct Form1Options {
    QString databasePath;           // the signature list the scans use
    QString databaseSearched;       // when no place held a list: the places looked at, for the log
    QString procRoot = "/proc";     // roots of the removable-drive query
    QString sysRoot = "/sys";
    // The processes a scan may end; the running system's when not given.
    std::function<std::unique_ptr<platform::ProcessTable>()> processTable;
    // What becomes of a detected file; deletion when not given.
    std::function<std::unique_ptr<engine::Disposal>()> disposal;
    // The longest a scan goes on without letting the window handle its events; 0: after every entry.
    std::chrono::milliseconds yieldInterval = YieldPacer::kInterval;
};

class Form1 : public QWidget, private ScanRunView, private engine::ScanSink {
    Q_OBJECT
public:
    explicit Form1(Form1Options options, QWidget* parent = nullptr);
    ~Form1() override;

    // Timer ticks, callable directly so their effect can be checked tick by tick.
    void Timer1Tick();  // activity indicator
    void Timer3Tick();  // busy bar
    void Timer9Tick();  // elapsed-time clock

    Form8* Form8Window() const { return form8_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void Load();
    void Scan_Click();
    void Browser_Click();
    void system32scan_Click();
    void SF_Click();
    void IN_Click();
    void ED_Click();
    void DiskD_Click();
    QString RemovableDriveCaption() const;

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

    Form1Options options_;
    std::unique_ptr<engine::SignatureDatabase> database_;  // opened at the first scan
    std::unique_ptr<platform::ProcessTable> processTable_;
    ScanRunController controller_{*this};
    std::uint64_t filesRemoved_ = 0;  // since start-up, like the detection count
    static constexpr int kInfoRefreshMs = 20;
    QElapsedTimer infoShown_;          // when txtInfo last took the entry in progress
    YieldPacer yieldPacer_;            // when the scan lets the window handle its events

    QFrame* Frame4 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Image3 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label21 = nullptr;
    QLineEdit* Text1 = nullptr;
    MainButton* Browser = nullptr;
    MainProgressBar* P2 = nullptr;
    QListWidget* List3 = nullptr;
    MainButton* Scan = nullptr;
    QWidget* Picture1 = nullptr;
    QLineEdit* txtInfo = nullptr;
    QLabel* Labelwaktu = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label7 = nullptr;
    QListWidget* List2 = nullptr;
    MainProgressBar* o = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer3 = nullptr;
    QTimer* Timer9 = nullptr;
    TargetMenu mnu;
    Form8* form8_ = nullptr;
};

}  // namespace velquin::ui
