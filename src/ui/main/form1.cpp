#include "ui/main/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include "cleaner/process_cleaner.h"
#include "draw/colour.h"
#include "draw/font.h"
#include "draw/qt/convert.h"
#include "engine/database.h"
#include "engine/disposal.h"
#include "engine/scan.h"
#include "platform/date_time.h"
#include "platform/drive.h"
#include "ui/main/artwork.h"
#include "ui/main/form_data.h"
#include "ui/main/mod_browse.h"
#include "ui/watcher/form8.h"

namespace velquin::ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

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

QColor ToQColor(std::int64_t value) {
    const draw::Colour c = draw::TranslateColor(static_cast<draw::Colour>(value));
    return QColor(draw::Red(c), draw::Green(c), draw::Blue(c));
}

void Place(QWidget* widget, const draw::PropertyBag& settings) {
    const PixelRect r = RectOf(settings);
    widget->setGeometry(r.left, r.top, r.width, r.height);
    if (settings.Contains("visible")) widget->setVisible(settings.ReadBool("visible", true));
}

void ApplyFont(QWidget* widget, const draw::PropertyBag& settings) {
    if (settings.Contains("font")) widget->setFont(draw::qt::ToQFont(settings.ReadFont("font", {})));
}

void ApplyColors(QWidget* widget, const draw::PropertyBag& settings, QPalette::ColorRole back,
                 QPalette::ColorRole fore) {
    QPalette palette = widget->palette();
    if (settings.Contains("backcolor")) {
        palette.setColor(back, ToQColor(settings.ReadColour("backcolor", 0)));
        widget->setAutoFillBackground(true);
    }
    if (settings.Contains("forecolor"))
        palette.setColor(fore, ToQColor(settings.ReadColour("forecolor", 0)));
    widget->setPalette(palette);
}

QLabel* MakeLabel(QWidget* parent, const char* name) {
    const draw::PropertyBag& s = Form1Control(name);
    auto* label = new QLabel(draw::qt::ToQString(s.ReadText("caption", {})), parent);
    label->setObjectName(name);
    Place(label, s);
    ApplyFont(label, s);
    ApplyColors(label, s, QPalette::Window, QPalette::WindowText);
    if (s.ReadInt("backstyle", 1) == 0) label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

QLineEdit* MakeTextBox(QWidget* parent, const char* name) {
    const draw::PropertyBag& s = Form1Control(name);
    auto* box = new QLineEdit(draw::qt::ToQString(s.ReadText("text", {})), parent);
    box->setObjectName(name);
    Place(box, s);
    ApplyFont(box, s);
    ApplyColors(box, s, QPalette::Base, QPalette::Text);
    box->setReadOnly(s.ReadBool("locked", false));
    box->setFrame(s.ReadInt("borderstyle", 1) != 0);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

QListWidget* MakeList(QWidget* parent, const char* name) {
    const draw::PropertyBag& s = Form1Control(name);
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    Place(list, s);
    ApplyFont(list, s);
    ApplyColors(list, s, QPalette::Base, QPalette::Text);
    list->setUniformItemSizes(true);
    list->setTextElideMode(Qt::ElideNone);  // a log line is read to its end: "... Cleaned..."
    return list;
}

MainButton* MakeButton(QWidget* parent, const char* name) {
    const draw::PropertyBag& s = Form1Control(name);
    auto* button = new MainButton(parent);
    button->setObjectName(name);
    button->ReadProperties(s);
    const PixelRect r = RectOf(s);
    button->move(r.left, r.top);
    button->button().setSizeTwips(int(s.ReadInt("width", 0)), int(s.ReadInt("height", 0)));
    return button;
}

MainProgressBar* MakeProgressBar(QWidget* parent, const char* name) {
    const draw::PropertyBag& s = Form1Control(name);
    auto* bar = new MainProgressBar(parent);
    bar->setObjectName(name);
    Place(bar, s);
    bar->bar().ReadProperties(s);
    return bar;
}

QTimer* MakeTimer(QObject* parent, const char* name) {
    const draw::PropertyBag& s = Form1Control(name);
    auto* timer = new QTimer(parent);
    timer->setObjectName(name);
    timer->setInterval(int(s.ReadInt("interval", 0)));
    if (s.ReadBool("enabled", true)) timer->start();
    return timer;
}

}  // namespace

Form1::Form1(Form1Options options, QWidget* parent)
    : QWidget(parent), options_(std::move(options)), yieldPacer_(options_.yieldInterval) {
    setObjectName("Form1");
    BuildControls();
    Load();
}

Form1::~Form1() = default;

void Form1::BuildControls() {
    const draw::PropertyBag& form = Form1Control("Form1");
    setWindowTitle(draw::qt::ToQString(form.ReadText("caption", {})));
    setWindowIcon(ShieldIcon());
    setFixedSize(TwipsToPixels(form.ReadInt("clientwidth", 0)),
                 TwipsToPixels(form.ReadInt("clientheight", 0)));
    ApplyFont(this, form);

    Frame4 = new QFrame(this);
    Frame4->setObjectName("Frame4");
    Frame4->setFrameShape(QFrame::NoFrame);
    Place(Frame4, Form1Control("Frame4"));

    Image2 = MakeLabel(Frame4, "Image2");
    Image2->setPixmap(DrawBanner(Image2->size()));
    Image3 = MakeLabel(Frame4, "Image3");
    Image3->setPixmap(DrawLogo(Image3->size()));
    Label3 = MakeLabel(Frame4, "Label3");
    Label4 = MakeLabel(Frame4, "Label4");
    Label21 = MakeLabel(Frame4, "Label21");
    Label21->setAlignment(Qt::AlignCenter);
    Text1 = MakeTextBox(Frame4, "Text1");
    Browser = MakeButton(Frame4, "Browser");
    // The busy bar lies under the top edge of the log; the log stays fully readable.
    P2 = MakeProgressBar(Frame4, "P2");
    List3 = MakeList(Frame4, "List3");
    // Each log line is measured on its own, so the view scrolls sideways to the end of the
    // longest one; uniform sizes would take every width from the first, short line.
    List3->setUniformItemSizes(false);
    Scan = MakeButton(Frame4, "Scan");

    Picture1 = new QWidget(Frame4);
    Picture1->setObjectName("Picture1");
    Place(Picture1, Form1Control("Picture1"));
    ApplyColors(Picture1, Form1Control("Picture1"), QPalette::Window, QPalette::WindowText);
    txtInfo = MakeTextBox(Picture1, "txtInfo");

    Labelwaktu = MakeLabel(Frame4, "Labelwaktu");
    Label8 = MakeLabel(Frame4, "Label8");
    Label11 = MakeLabel(Frame4, "Label11");
    Label7 = MakeLabel(Frame4, "Label7");
    List2 = MakeList(Frame4, "List2");
    o = MakeProgressBar(Frame4, "o");

    Timer1 = MakeTimer(this, "Timer1");
    Timer3 = MakeTimer(this, "Timer3");
    Timer9 = MakeTimer(this, "Timer9");
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1Tick);
    connect(Timer3, &QTimer::timeout, this, &Form1::Timer3Tick);
    connect(Timer9, &QTimer::timeout, this, &Form1::Timer9Tick);

    mnu = BuildTargetMenu(this);
    connect(Scan, &MainButton::Click, this, &Form1::Scan_Click);
    connect(Browser, &MainButton::Click, this, &Form1::Browser_Click);
}

void Form1::Load() {
    for (const auto& line : StartupLogLines()) AppendLog(line);
    List3->scrollToTop();
    // The design-time target "C:\" as this system names it.
    Text1->setText(Q(platform::NativeTargetPath(S(Text1->text()))));

    // Form8 stays loaded and hidden for the life of the window, polling for a removable drive.
    const platform::SystemRoots roots{S(options_.procRoot), S(options_.sysRoot)};
    form8_ = new Form8(platform::OpenRemovableDriveQuery(roots), this);
    form8_->show();
    form8_->hide();
}

void Form1::closeEvent(QCloseEvent* event) {
    // Ends the program: a running walk stops at its next entry and its report is never written.
    controller_.Close();
    Timer1->stop();
    Timer3->stop();
    Timer9->stop();
    if (form8_) {
        form8_->Timer1->stop();
        form8_->close();
    }
    event->accept();
    QCoreApplication::quit();
}

void Form1::Scan_Click() { controller_.ScanClick(); }
void Form1::Browser_Click() { controller_.BrowserClick(); }

void Form1::system32scan_Click() { Text1->setText(WindowsSystemTarget()); }
void Form1::ED_Click() { Text1->setText(LocalDiskCTarget()); }
void Form1::DiskD_Click() { Text1->setText(LocalDiskDTarget()); }

void Form1::SF_Click() {
    const QString folder = BrowseFolder(this, kBrowseFolderTitle);
    if (!folder.isEmpty()) Text1->setText(folder);
}

void Form1::IN_Click() {
    Text1->setText(RemovableDriveCaption());
    if (Text1->text().isEmpty()) {
        QMessageBox box(QMessageBox::NoIcon, windowTitle(), "Not Removable Disk Found!",
                        QMessageBox::Ok, this);
        box.setObjectName("NoRemovableDiskBox");
        // System-modal: it blocks the program and stays above every other window.
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.exec();
    }
}

QString Form1::RemovableDriveCaption() const {
    return form8_ ? form8_->Label1->text() : QString();
}

void Form1::Timer1Tick() {
    const IndicatorStep step = ActivityIndicatorTick(o->bar().Value(), o->bar().Max());
    (void)o->bar().SetValue(step.value);  // 0 to Max - 1 of a Max of 10: always in range
    if (step.caption) Label21->setText(Q(*step.caption));
}

void Form1::Timer3Tick() {
    (void)P2->bar().SetValue(BusyBarTick(P2->bar().Value(), P2->bar().Max()));  // always in range
}

void Form1::Timer9Tick() { controller_.ClockTick(); }

std::string Form1::TargetText() const { return S(Text1->text()); }
std::string Form1::ScanCaption() const { return Scan->button().caption(); }
void Form1::SetScanCaption(const std::string& caption) { Scan->button().setCaption(caption); }
void Form1::SetScanEnabled(bool enabled) { Scan->button().setEnabled(enabled); }
void Form1::SetBrowserEnabled(bool enabled) { Browser->button().setEnabled(enabled); }

void Form1::SetAnimationTimersEnabled(bool enabled) {
    for (QTimer* timer : {Timer3, Timer1}) enabled ? timer->start() : timer->stop();
}

void Form1::SetClockTimerEnabled(bool enabled) { enabled ? Timer9->start() : Timer9->stop(); }
void Form1::SetClockCaption(const std::string& text) { Labelwaktu->setText(Q(text)); }
std::string Form1::ClockCaption() const { return S(Labelwaktu->text()); }
void Form1::SetIndicatorCaption(const std::string& text) { Label21->setText(Q(text)); }

void Form1::ResetBars() {
    (void)o->bar().SetValue(0);
    (void)P2->bar().SetValue(0);
}

void Form1::ClearLog() { List3->clear(); }

void Form1::AppendLog(const std::string& line) {
    List3->addItem(Q(line));
    List3->scrollToBottom();
}

void Form1::SetInfoText(const std::string& text) { txtInfo->setText(Q(text)); }

void Form1::ResetScanCountLabels() {
    Label8->setText("0");
    Label11->setText("0");
}

ScanCounts Form1::Counts() const {
    return {S(Label8->text()), S(Label11->text()), S(Label7->text()),
            std::to_string(filesRemoved_)};
}

void Form1::RunWalk(const std::string& target) {
    if (!database_) {
        database_ = std::make_unique<engine::SignatureDatabase>(S(options_.databasePath));
        processTable_ = options_.processTable ? options_.processTable()
                                              : platform::OpenSystemProcessTable();
    }
    // A list that cannot be read would make every file look clean; say so in the log.
    const engine::DatabaseLoad& load = database_->Load();
    if (load.kept) {
        AppendLog("Signature list incomplete : " + load.path + ", the list read before stays in use");
    } else if (load.error == platform::Error::NotFound && !options_.databaseSearched.isEmpty()) {
        AppendLog("Signature list not found : " + S(options_.databaseSearched) + ", nothing can be detected");
    } else if (load.error != platform::Error::None) {
        AppendLog("Signature list unreadable : " + load.path + " (" +
                  std::string(platform::ErrorMessage(load.error)) + "), nothing can be detected");
    } else if (!load.HasSignatures()) {
        AppendLog("Signature list empty : " + load.path + " (no record), nothing can be detected");
    }
    CleanerActions processes(*processTable_);
    std::unique_ptr<engine::Disposal> disposal =
        options_.disposal ? options_.disposal() : std::make_unique<engine::DeleteDisposal>();
    engine::FolderScan scan(*database_, *this, processes, *disposal);
    scan.SetJobs(engine::kDefaultJobs);
    infoShown_.invalidate();
    yieldPacer_.Restart();
    scan.ScanFolder(target);
    // A target that cannot be opened is no empty folder: say so before the report.
    if (scan.TargetError() != platform::Error::None) {
        AppendLog("Path Not Opened : " + target + " (" + std::string(platform::ErrorMessage(scan.TargetError())) + ")");
    }
}

// The same text the command line writes for the same moment.
std::string Form1::NowText() const { return platform::ShortDateAndTimeNow(); }

void Form1::ShowNoTargetMessage() {
    QMessageBox box(QMessageBox::NoIcon, windowTitle(), kNoTargetMessage, QMessageBox::Ok, this);
    box.setObjectName("NoTargetBox");
    box.exec();
}

void Form1::PopUpTargetMenu() {
    QAction* picked = mnu.mnu->exec(QCursor::pos());
    if (picked == mnu.system32scan) system32scan_Click();
    else if (picked == mnu.SF) SF_Click();
    else if (picked == mnu.IN) IN_Click();
    else if (picked == mnu.ED) ED_Click();
    else if (picked == mnu.DiskD) DiskD_Click();
}

void Form1::ShowEntry(std::string_view text) {
    // Laying out a new status text costs more than examining an entry; the line is redrawn at
    // most every kInfoRefreshMs, which the eye cannot tell from every entry.
    if (infoShown_.isValid() && infoShown_.elapsed() < kInfoRefreshMs) return;
    txtInfo->setText(QString::fromUtf8(text.data(), qsizetype(text.size())));
    infoShown_.start();
}

void Form1::ShowCounts(std::uint64_t filesScanned, std::uint64_t foldersScanned) {
    Label8->setText(QString::number(filesScanned));
    Label11->setText(QString::number(foldersScanned));
    Label7->setText(QString::number(List2->count()));
}

void Form1::AddDetectedPath(std::string_view path) {
    List2->addItem(QString::fromUtf8(path.data(), qsizetype(path.size())));
}

void Form1::AppendLog(std::string_view line) { AppendLog(std::string(line)); }

bool Form1::IsRunning() { return controller_.KeepWalking(); }

// Qt cannot tell cheaply whether events wait: the clock decides.
void Form1::Yield() {
    if (yieldPacer_.Due(false)) QCoreApplication::processEvents();
}

void Form1::Detected(const engine::DetectionReport& report) {
    if (report.gone) ++filesRemoved_;
}

}  // namespace velquin::ui
