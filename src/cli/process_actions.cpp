#include "cli/process_actions.h"

#include "cleaner/process_cleaner.h"
#include "platform/process.h"

namespace velquin::cli {
namespace {

class CleanerActions final : public engine::ProcessActions {
public:
    explicit CleanerActions(ConsoleSink& sink)
        : sink_(sink), table_(platform::OpenSystemProcessTable()), cleaner_(*table_) {}

    // The lines follow the order of the processes: each one ended or left running where it stands.
    void TerminateProcessesByName(const engine::DetectedImage& image, const LogLine& log) override {
        for (const cleaner::ProcessOutcome& outcome : cleaner_.TerminateProcessesByName(cleaner::TargetOf(image), {})) {
            if (outcome.fate != cleaner::ProcessFate::Ended && log) log(cleaner::LeftRunningLine(outcome));
            sink_.ProcessHandled(image.path, outcome);
        }
    }
    std::optional<bool> IsProcessRunning(const engine::DetectedImage& image) override {
        return cleaner_.IsProcessRunning(cleaner::TargetOf(image));
    }
    void RestartShell(const engine::DetectedImage& image, std::string_view malwareName,
                      const LogLine& log) override {
        // The shells ended on the way belong in the report like the detected image's processes.
        Record(image, cleaner_.RestartShell(cleaner::TargetOf(image), malwareName, log));
    }

private:
    void Record(const engine::DetectedImage& image, const std::vector<cleaner::ProcessOutcome>& outcomes) {
        for (const cleaner::ProcessOutcome& outcome : outcomes) sink_.ProcessHandled(image.path, outcome);
    }

    ConsoleSink& sink_;
    std::unique_ptr<platform::ProcessTable> table_;
    cleaner::ProcessCleaner cleaner_;
};

}  // namespace

std::unique_ptr<engine::ProcessActions> MakeProcessActions(ConsoleSink& sink) {
    return std::make_unique<CleanerActions>(sink);
}

}  // namespace velquin::cli
