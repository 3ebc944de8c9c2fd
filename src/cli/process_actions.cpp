#include "cli/process_actions.h"

#include "cleaner/process_cleaner.h"
#include "platform/process.h"

namespace velquin::cli {
namespace {

class CleanerActions final : public engine::ProcessActions {
public:
    explicit CleanerActions(ConsoleSink& sink)
        : sink_(sink), table_(platform::OpenSystemProcessTable()), cleaner_(*table_) {}

    void TerminateProcessesByName(std::string_view imageName) override {
        for (const cleaner::EndedProcess& ended : cleaner_.TerminateProcessesByName(imageName)) {
            sink_.ProcessEnded(ended.pid, ended.imageName);
        }
    }
    std::optional<bool> IsProcessRunning(std::string_view imageName) override {
        return cleaner_.IsProcessRunning(imageName);
    }
    void RestartShell(std::string_view imageName, std::string_view malwareName,
                      const LogLine& log) override {
        // The shells ended on the way belong in the report like the detected image's processes.
        for (const cleaner::EndedProcess& ended : cleaner_.RestartShell(imageName, malwareName, log)) {
            sink_.ProcessEnded(ended.pid, ended.imageName);
        }
    }

private:
    ConsoleSink& sink_;
    std::unique_ptr<platform::ProcessTable> table_;
    cleaner::ProcessCleaner cleaner_;
};

}  // namespace

std::unique_ptr<engine::ProcessActions> MakeProcessActions(ConsoleSink& sink) {
    return std::make_unique<CleanerActions>(sink);
}

}  // namespace velquin::cli
