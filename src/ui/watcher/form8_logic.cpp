#include "ui/watcher/form8_logic.h"

namespace velquin::ui {

Form8Logic::Form8Logic(Form8Shell& shell, std::unique_ptr<platform::RemovableDriveQuery> query)
    : shell_(shell), query_(query ? std::move(query) : platform::OpenRemovableDriveQuery()) {}

void Form8Logic::Load() {
    candidates_.clear();
    for (char letter = 'D'; letter <= 'P'; ++letter) candidates_.push_back(std::string{letter, ':'});
}

void Form8Logic::Timer1Tick() {
    for (const std::string& candidate : candidates_) {
        if (const auto root = query_->RemovableRoot(candidate)) {
            foundDrive_ = *root;
            shell_.SetLabel1Caption(foundDrive_);
            shell_.SetTimer1Enabled(false);
            return;
        }
        foundDrive_.clear();
    }
}

}  // namespace velquin::ui
