#pragma once
// Form8, the hidden window that looks for a removable drive, whatever toolkit shows it: the
// candidate drives "D:" to "P:", and one poll per tick of its 200 ms Timer1 until the first
// removable one is found. A shell (qt/ or win32/) holds Label1 and Timer1.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drive.h"

namespace velquin::ui {

// Form8's design: client area, Label1 and Timer1, in twips and milliseconds.
struct Form8Layout {
    static constexpr const char* kCaption = "Form8";
    static constexpr int kClientWidth = 2445, kClientHeight = 1275;
    static constexpr int kLabel1Left = 360, kLabel1Top = 120, kLabel1Width = 1215, kLabel1Height = 495;
    static constexpr int kTimer1Interval = 200;
};

class Form8Shell {
public:
    virtual ~Form8Shell() = default;
    virtual void SetLabel1Caption(std::string_view caption) = 0;
    virtual void SetTimer1Enabled(bool enabled) = 0;
};

class Form8Logic {
public:
    // Without a query it asks the running system.
    Form8Logic(Form8Shell& shell, std::unique_ptr<platform::RemovableDriveQuery> query);

    // The load step: the candidate table, "D:" to "P:" in the order they are polled.
    void Load();
    // One poll of the candidates, lowest letter first; the first removable one is recorded in
    // Label1 and ends the search for the life of the window.
    void Timer1Tick();

    const std::vector<std::string>& Candidates() const { return candidates_; }
    // The drive most recently found removable, or empty.
    const std::string& FoundDrive() const { return foundDrive_; }

private:
    Form8Shell& shell_;
    std::unique_ptr<platform::RemovableDriveQuery> query_;
    std::vector<std::string> candidates_;
    std::string foundDrive_;
};

}  // namespace velquin::ui
