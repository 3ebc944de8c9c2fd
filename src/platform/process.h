#pragma once
// The running processes as the cleaner sees them: a list of pids with image names, a way to end one,
// and a way to start a program that nobody waits for.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace velquin::platform {

struct ProcessInfo {
    long long pid = 0;
    // File name of the process's executable ("abc.exe"); empty when it cannot be read.
    std::string imageName;
    // File name of the program as it was started (its first argument); programs run under a
    // Windows compatibility layer carry their ".exe" name here. Empty when unknown.
    std::string commandName;
};

class ProcessTable {
public:
    virtual ~ProcessTable() = default;

    // Every process the system lists; nullopt when the table itself cannot be read.
    virtual std::optional<std::vector<ProcessInfo>> List() = 0;

    // Ends the process unconditionally. Refuses the scanner itself and the system's first process,
    // and a pid that no longer belongs to the process that was listed (Error::Changed).
    virtual Error End(const ProcessInfo& process) = 0;

    // Starts a program found on the search path, with arguments, detached from the scanner: no
    // terminal, never waited for. A program that cannot be started is not reported.
    virtual void SpawnDetached(const std::vector<std::string>& commandLine) = 0;

    // The scanner's own process id.
    virtual long long SelfPid() const = 0;
};

// The live process table. `systemRoot` is where the system publishes it ("/proc" on Linux when
// empty); tests point it at a fixture tree to exercise listing. Ending and spawning always act on
// the live system.
std::unique_ptr<ProcessTable> OpenSystemProcessTable(std::string systemRoot = {});

// Image names compare without regard to ASCII case ("ABC.EXE" names abc.exe).
bool SameImageName(std::string_view a, std::string_view b);

// True when either name of the process is `imageName`; an empty name matches nothing.
bool ProcessHasImageName(const ProcessInfo& process, std::string_view imageName);

// The last component of a path, split at "/" and at "\" alike.
std::string_view LastPathComponent(std::string_view path);

}  // namespace velquin::platform
