#include "ui/watcher/qt/form8.h"

#include <QByteArray>
#include <QFile>

namespace velquin::ui {

namespace {
constexpr int Px(int twips) { return twips / 15; }
}  // namespace

Form8::Form8(std::unique_ptr<platform::RemovableDriveQuery> query, QWidget* parent)
    : QWidget(parent), Label1(new QLabel(this)), Timer1(new QTimer(this)), logic_(*this, std::move(query)) {
    using L = Form8Layout;
    // A window of its own even when owned by the main window, which then also deletes it.
    setWindowFlag(Qt::Window);
    setObjectName("Form8");
    setWindowTitle(L::kCaption);
    setFixedSize(Px(L::kClientWidth), Px(L::kClientHeight));
    hide();

    Label1->setObjectName("Label1");
    Label1->setGeometry(Px(L::kLabel1Left), Px(L::kLabel1Top), Px(L::kLabel1Width), Px(L::kLabel1Height));
    // A mount point is shown as it is, never read as markup.
    Label1->setTextFormat(Qt::PlainText);

    logic_.Load();
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(L::kTimer1Interval);
    connect(Timer1, &QTimer::timeout, this, &Form8::Timer1_Timer);
    Timer1->start();
}

void Form8::Unload() {
    Timer1->stop();
    close();
}

void Form8::SetLabel1Caption(std::string_view caption) {
    // A mount point is a name of the file system, in its own encoding.
    Label1->setText(QFile::decodeName(QByteArray(caption.data(), qsizetype(caption.size()))));
}

void Form8::SetTimer1Enabled(bool enabled) { enabled ? Timer1->start() : Timer1->stop(); }

}  // namespace velquin::ui
