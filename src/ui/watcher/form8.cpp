#include "ui/watcher/form8.h"

#include <QByteArray>
#include <QFile>

namespace velquin::ui {

namespace {
constexpr int kTwipsPerPixel = 15;
constexpr int Px(int twips) { return twips / kTwipsPerPixel; }
constexpr int kPollIntervalMs = 200;
}  // namespace

Form8::Form8(std::unique_ptr<platform::RemovableDriveQuery> query, QWidget* parent)
    : QWidget(parent),
      Label1(new QLabel(this)),
      Timer1(new QTimer(this)),
      query_(query ? std::move(query) : platform::OpenRemovableDriveQuery()) {
    // A window of its own even when owned by the main window, which then also deletes it.
    setWindowFlag(Qt::Window);
    setObjectName("Form8");
    setWindowTitle("Form8");
    setFixedSize(Px(2445), Px(1275));
    hide();

    Label1->setObjectName("Label1");
    Label1->setGeometry(Px(360), Px(120), Px(1215), Px(495));
    // A mount point is shown as it is, never read as markup.
    Label1->setTextFormat(Qt::PlainText);

    for (char letter = 'D'; letter <= 'P'; ++letter) candidates_.append(QString(QChar(letter)) + ':');

    Timer1->setObjectName("Timer1");
    Timer1->setInterval(kPollIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &Form8::Timer1_Timer);
    Timer1->start();
}

void Form8::Timer1_Timer() {
    for (const QString& candidate : candidates_) {
        const auto root = query_->RemovableRoot(candidate.toStdString());
        if (root) {
            foundDrive_ = QFile::decodeName(QByteArray::fromStdString(*root));
            Label1->setText(foundDrive_);
            Timer1->stop();
            return;
        }
        foundDrive_.clear();
    }
}

}  // namespace velquin::ui
