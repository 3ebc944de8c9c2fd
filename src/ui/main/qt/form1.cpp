#include "ui/main/qt/form1.h"

#include <utility>

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include "draw/colour.h"
#include "draw/qt/convert.h"
#include "ui/main/form_data.h"
#include "ui/main/qt/artwork.h"
#include "ui/main/qt/mod_browse.h"
#include "ui/main/qt/target_menu.h"
#include "ui/watcher/qt/form8.h"

namespace velquin::ui {

namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string S(const QString& s) { return s.toStdString(); }

QColor ToQColor(draw::Colour value) {
    const draw::Colour c = draw::TranslateColor(value);
    return QColor(draw::Red(c), draw::Green(c), draw::Blue(c));
}

void Place(QWidget* widget, const draw::PropertyBag& settings) {
    const PixelRect r = RectOf(settings);
    widget->setGeometry(r.left, r.top, r.width, r.height);
    if (settings.Contains("visible")) widget->setVisible(settings.ReadBool("visible", true));
}

void ApplyLook(QWidget* widget, const ControlLook& look, QPalette::ColorRole back,
               QPalette::ColorRole fore) {
    if (look.font) widget->setFont(draw::qt::ToQFont(*look.font));
    QPalette palette = widget->palette();
    if (look.back) {
        palette.setColor(back, ToQColor(*look.back));
        widget->setAutoFillBackground(true);
    }
    if (look.fore) palette.setColor(fore, ToQColor(*look.fore));
    widget->setPalette(palette);
}

// A widget of Form1's named `name` at its settings' place, made from `args` and the parent.
template <typename Widget, typename... Args>
Widget* MakePlaced(QWidget* parent, const char* name, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(name);
    Place(widget, Form1Control(name));
    return widget;
}

// A widget of Form1's named `name` with its settings' text, place, font and colours.
template <typename Widget>
Widget* MakeTextWidget(QWidget* parent, const char* name, QPalette::ColorRole back,
                       QPalette::ColorRole fore, ControlLook* look) {
    *look = LookOf(Form1Control(name));
    auto* widget = MakePlaced<Widget>(parent, name, Q(look->text));
    ApplyLook(widget, *look, back, fore);
    return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name) {
    ControlLook look;
    auto* label = MakeTextWidget<QLabel>(parent, name, QPalette::Window, QPalette::WindowText, &look);
    if (look.transparent) label->setAttribute(Qt::WA_TranslucentBackground);
    if (look.align == TextAlign::Center) label->setAlignment(Qt::AlignCenter);
    if (look.align == TextAlign::Right) label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLineEdit* MakeTextBox(QWidget* parent, const char* name) {
    ControlLook look;
    auto* box = MakeTextWidget<QLineEdit>(parent, name, QPalette::Base, QPalette::Text, &look);
    box->setReadOnly(look.readOnly);
    box->setFrame(look.border);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

QListWidget* MakeList(QWidget* parent, const char* name) {
    const draw::PropertyBag& s = Form1Control(name);
    auto* list = MakePlaced<QListWidget>(parent, name);
    ApplyLook(list, LookOf(s), QPalette::Base, QPalette::Text);
    list->setTextElideMode(Qt::ElideNone);  // a log line is read to its end: "... Cleaned..."
    // Each line is measured on its own, so the view scrolls sideways to the end of the longest
    // one; uniform sizes would take every width from the first, short line. The hidden List2
    // is never drawn, so measuring its lines would cost for nothing.
    list->setUniformItemSizes(!s.ReadBool("visible", true));
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
    auto* bar = MakePlaced<MainProgressBar>(parent, name);
    bar->bar().ReadProperties(Form1Control(name));
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

QWidget* MakeControl(QWidget* form, QWidget* parent, const ControlSpec& entry) {
    switch (entry.kind) {
        case ControlKind::Frame: {
            auto* frame = new QFrame(parent);
            frame->setObjectName(entry.name);
            frame->setFrameShape(QFrame::NoFrame);
            Place(frame, Form1Control(entry.name));
            return frame;
        }
        case ControlKind::PictureBox: {
            auto* box = new QWidget(parent);
            box->setObjectName(entry.name);
            Place(box, Form1Control(entry.name));
            ApplyLook(box, LookOf(Form1Control(entry.name)), QPalette::Window, QPalette::WindowText);
            return box;
        }
        case ControlKind::Image: {
            QLabel* image = MakeLabel(parent, entry.name);
            image->setPixmap(std::string_view(entry.name) == "Image2" ? DrawBanner(image->size())
                                                                     : DrawLogo(image->size()));
            return image;
        }
        case ControlKind::Label: return MakeLabel(parent, entry.name);
        case ControlKind::TextBox: return MakeTextBox(parent, entry.name);
        case ControlKind::List: return MakeList(parent, entry.name);
        case ControlKind::Button: return MakeButton(parent, entry.name);
        case ControlKind::ProgressBar: return MakeProgressBar(parent, entry.name);
        case ControlKind::Timer: MakeTimer(form, entry.name); return nullptr;
    }
    return nullptr;
}

}  // namespace

Form1::Form1(Form1Options options, QWidget* parent)
    : QWidget(parent), logic_(*this, std::move(options)) {
    setObjectName("Form1");
    BuildControls();
    logic_.Load();

    // Form8 stays loaded and hidden for the life of the window, polling for a removable drive.
    const platform::SystemRoots roots{logic_.Options().procRoot, logic_.Options().sysRoot};
    form8_ = new Form8(platform::OpenRemovableDriveQuery(roots), this);
    form8_->show();
    form8_->hide();
}

Form1::~Form1() = default;

void Form1::BuildControls() {
    const WindowLook form = Form1Look();
    setWindowTitle(Q(form.caption));
    setWindowIcon(ShieldIcon());
    setFixedSize(TwipsToPixels(form.clientWidthTwips), TwipsToPixels(form.clientHeightTwips));
    setFont(draw::qt::ToQFont(form.font));

    for (const ControlSpec& entry : Form1Controls()) MakeControl(this, Container(entry), entry);
    FindControls();
    connect(Timer(TimerControl::Timer1), &QTimer::timeout, this, [this] { logic_.Timer1Tick(); });
    connect(Timer(TimerControl::Timer3), &QTimer::timeout, this, [this] { logic_.Timer3Tick(); });
    connect(Timer(TimerControl::Timer9), &QTimer::timeout, this, [this] { logic_.Timer9Tick(); });
    connect(Button(ButtonControl::Scan), &MainButton::Click, this, [this] { logic_.ScanClick(); });
    connect(Button(ButtonControl::Browser), &MainButton::Click, this, [this] { logic_.BrowserClick(); });
    mnu = BuildTargetMenu(this);
}

namespace {
template <typename Widget, typename Control, std::size_t N>
void FindEach(const QObject& form, std::array<Widget*, N>& found) {
    for (std::size_t i = 0; i < N; ++i) found[i] = form.findChild<Widget*>(ControlName(Control(i)));
}
}  // namespace

void Form1::FindControls() {
    FindEach<QLineEdit, TextControl>(*this, textBoxes_);
    FindEach<QLabel, TextControl>(*this, labels_);
    FindEach<MainButton, ButtonControl>(*this, buttons_);
    FindEach<QListWidget, ListControl>(*this, lists_);
    FindEach<MainProgressBar, BarControl>(*this, bars_);
    FindEach<QTimer, TimerControl>(*this, timers_);
}

QWidget* Form1::Container(const ControlSpec& entry) const {
    if (!entry.parent) return const_cast<Form1*>(this);
    return findChild<QWidget*>(entry.parent);
}

QLineEdit* Form1::TextBox(TextControl control) const { return textBoxes_[std::size_t(control)]; }
QLabel* Form1::Label(TextControl control) const { return labels_[std::size_t(control)]; }
MainButton* Form1::Button(ButtonControl button) const { return buttons_[std::size_t(button)]; }
QListWidget* Form1::List(ListControl list) const { return lists_[std::size_t(list)]; }
MainProgressBar* Form1::Bar(BarControl bar) const { return bars_[std::size_t(bar)]; }
QTimer* Form1::Timer(TimerControl timer) const { return timers_[std::size_t(timer)]; }

void Form1::closeEvent(QCloseEvent* event) {
    logic_.Close();
    event->accept();
}

std::string Form1::Text(TextControl control) const {
    if (const QLineEdit* box = TextBox(control)) return S(box->text());
    return S(Label(control)->text());
}

void Form1::SetText(TextControl control, std::string_view text) {
    if (QLineEdit* box = TextBox(control)) box->setText(Q(text));
    else Label(control)->setText(Q(text));
}

std::string Form1::ButtonCaption(ButtonControl button) const { return Button(button)->button().caption(); }

void Form1::SetButtonCaption(ButtonControl button, std::string_view caption) {
    Button(button)->button().setCaption(caption);
}

void Form1::SetButtonEnabled(ButtonControl button, bool enabled) {
    Button(button)->button().setEnabled(enabled);
}

void Form1::ClearList(ListControl list) { List(list)->clear(); }

void Form1::AppendToList(ListControl list, std::string_view line) {
    QListWidget* widget = List(list);
    widget->addItem(Q(line));
    if (list == ListControl::List3) widget->scrollToBottom();
}

void Form1::ShowListTop(ListControl list) { List(list)->scrollToTop(); }
int Form1::ListCount(ListControl list) const { return List(list)->count(); }
int Form1::BarValue(BarControl bar) const { return Bar(bar)->bar().Value(); }
int Form1::BarMax(BarControl bar) const { return Bar(bar)->bar().Max(); }

void Form1::SetBarValue(BarControl bar, int value) {
    (void)Bar(bar)->bar().SetValue(value);  // the logic keeps values within 0..Max
}

void Form1::SetTimerEnabled(TimerControl timer, bool enabled) {
    QTimer* t = Timer(timer);
    enabled ? t->start() : t->stop();
}

void Form1::ShowMessage(std::string_view text, bool systemModal) {
    QMessageBox box(QMessageBox::NoIcon, windowTitle(), Q(text), QMessageBox::Ok, this);
    box.setObjectName("MessageBox");
    if (systemModal) {
        // It blocks the program and stays above every other window.
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    box.exec();
}

std::optional<MenuItem> Form1::PopUpTargetMenu() { return PopUpAtPointer(mnu); }

std::string Form1::BrowseFolder(std::string_view title) {
    return S(ui::BrowseFolder(this, Q(title)));
}

std::string Form1::RemovableDriveCaption() const { return form8_ ? S(form8_->Label1->text()) : ""; }

void Form1::ProcessPendingEvents() { QCoreApplication::processEvents(); }

void Form1::EndProgram() {
    if (form8_) form8_->Unload();
    QCoreApplication::quit();
}

}  // namespace velquin::ui
