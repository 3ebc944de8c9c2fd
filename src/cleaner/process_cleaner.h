#pragma once
// Ends the processes that run under a detected file's name and restarts the desktop shell when
// one of them survives.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process.h"

namespace velquin::cleaner {

struct EndedProcess {
    long long pid;
    std::string imageName;
};

class ProcessCleaner {
public:
    using LogLine = std::function<void(std::string_view)>;

    explicit ProcessCleaner(platform::ProcessTable& table);

    // Ends every process whose image name is `imageName` (ASCII case-insensitive) and returns the
    // ones that were ended. A process that cannot be ended is passed over; the scanner itself and
    // the system's first process are never touched.
    std::vector<EndedProcess> TerminateProcessesByName(std::string_view imageName);

    // Whether a process of that image name is listed; nullopt when the table cannot be read.
    // The scanner itself and the system's first process are not counted: nothing here may end
    // them, so they are no reason to restart the shell.
    std::optional<bool> IsProcessRunning(std::string_view imageName);

    // Logs the shell restart, ends every "explorer.exe" and starts a new one, detached. Returns the
    // shell processes that were ended.
    std::vector<EndedProcess> RestartShell(std::string_view imageName, std::string_view malwareName,
                                           const LogLine& log);

private:
    bool IsProtected(long long pid) const;

    platform::ProcessTable& table_;
};

}  // namespace velquin::cleaner
