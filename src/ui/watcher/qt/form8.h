#pragma once
// Form8 on Qt: a hidden widget with Label1 and Timer1 over Form8Logic.

#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <memory>

#include "ui/watcher/form8_logic.h"

namespace velquin::ui {

class Form8 : public QWidget, private Form8Shell {
    Q_OBJECT

public:
    // Loads the window: hidden, with its candidate drives and Timer1 running. Without a query it
    // asks the running system.
    explicit Form8(std::unique_ptr<platform::RemovableDriveQuery> query = nullptr, QWidget* parent = nullptr);

    void Timer1_Timer() { logic_.Timer1Tick(); }
    // Stops the search and closes the window, when the program ends.
    void Unload();

    const std::vector<std::string>& Candidates() const { return logic_.Candidates(); }
    const std::string& FoundDrive() const { return logic_.FoundDrive(); }

    QLabel* Label1;
    QTimer* Timer1;

private:
    void SetLabel1Caption(std::string_view caption) override;
    void SetTimer1Enabled(bool enabled) override;

    Form8Logic logic_;
};

}  // namespace velquin::ui
