#pragma once
// The hidden window that looks for a removable drive five times a second until it finds one, and
// keeps what it found in Label1 for the scan console's "Removable Disk" target.

#include <QLabel>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <memory>

#include "platform/drive.h"

namespace velquin::ui {

class Form8 : public QWidget {
    Q_OBJECT

public:
    // Loads the window: hidden, with its candidate drives and Timer1 running. Without a query it
    // asks the running system.
    explicit Form8(std::unique_ptr<platform::RemovableDriveQuery> query = nullptr, QWidget* parent = nullptr);

    // One poll of the candidates, lowest letter first; the first removable one is recorded and
    // ends the search for the life of the window.
    void Timer1_Timer();

    // "D:" to "P:", in the order they are polled.
    const QStringList& Candidates() const { return candidates_; }
    // The drive most recently found removable, or empty.
    const QString& FoundDrive() const { return foundDrive_; }

    QLabel* Label1;
    QTimer* Timer1;

private:
    std::unique_ptr<platform::RemovableDriveQuery> query_;
    QStringList candidates_;
    QString foundDrive_;
};

}  // namespace velquin::ui
