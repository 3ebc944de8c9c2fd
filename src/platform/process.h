#pragma once
// The running processes as the cleaner sees them: a list of pids with image names, a way to end one,
// and a way to start a program that nobody waits for.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"
#include "platform/file.h"

namespace velquin::platform {

struct ProcessInfo {
    long long pid = 0;
    // File name of the process's executable ("abc.exe"); empty when it cannot be read.
    std::string imageName;
    // File name of the program as it was started (its first argument); programs run under a
    // Windows compatibility layer carry their ".exe" name here. Empty when unknown.
    std::string commandName;
};

// The file a process runs, as it was found.
struct ProcessImage {
    std::string path;       // where the system shows it ("/usr/bin/bash"), for messages
    FileIdentity identity;  // the file itself, also when it has been removed from its folder since
    std::string source;     // where the platform opens it again; private to the platform bodies
};

class ProcessTable {
public:
    virtual ~ProcessTable() = default;

    // Every process the system lists; nullopt when the table itself cannot be read.
    virtual std::optional<std::vector<ProcessInfo>> List() = 0;

    // The file the process runs: its executable, or, for a Windows program run by a compatibility
    // layer (whose executable is the layer's loader), the program file that its first argument
    // names and that the process has mapped. Error::AccessDenied for a process the scanner may
    // not inspect, Error::NotFound for one that runs no file (a kernel thread) or is gone.
    virtual Error DescribeImage(const ProcessInfo& process, ProcessImage& out) = 0;

    // Opens the file a process runs for reading; Error::Changed when it is no longer `image`.
    virtual File OpenImage(const ProcessImage& image, Error* error) = 0;

    // Ends the process unconditionally. Refuses the scanner itself and the system's first process,
    // and a pid that no longer belongs to the process that was listed (Error::Changed). With an
    // `image`, refuses a process that does not run that very file at the moment it is ended.
    virtual Error End(const ProcessInfo& process, const ProcessImage* image) = 0;

    // The scanner's ancestors, its parent first, as far as they can be read.
    virtual std::vector<long long> AncestorPids() = 0;

    // Starts a program found on the search path, with arguments, detached from the scanner: no
    // terminal, never waited for. A program that cannot be started is not reported.
    virtual void SpawnDetached(const std::vector<std::string>& commandLine) = 0;

    // The scanner's own process id.
    virtual long long SelfPid() const = 0;
};

// The live process table. `systemRoot` is where the system publishes it ("/proc" on Linux when
// empty); tests point it at a fixture tree to exercise listing and the images of processes.
// Ending and spawning always act on the live system.
std::unique_ptr<ProcessTable> OpenSystemProcessTable(std::string systemRoot = {});

// Image names compare without regard to ASCII case ("ABC.EXE" names abc.exe).
bool SameImageName(std::string_view a, std::string_view b);

// True when either name of the process is `imageName`; an empty name matches nothing.
bool ProcessHasImageName(const ProcessInfo& process, std::string_view imageName);

// The last component of a path, split at "/" and at "\" alike.
std::string_view LastPathComponent(std::string_view path);

}  // namespace velquin::platform
