#pragma once
// Ends the processes that run a detected file and restarts the desktop shell when one of them
// survives. Processes are found by the detected file's name, as the system lists them, and one of
// that name is ended only when the file it runs is the detected file itself or a copy of it: a
// file named like a program never ends that program. Every other process of the name is left
// running and said so.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"
#include "platform/process.h"

namespace velquin::cleaner {

// The detected file whose processes are to be ended.
struct TargetImage {
    std::string_view name;            // the detected file's name, which processes are looked up by
    platform::FileIdentity identity;  // the detected file itself
    // Whether an open file, the one some process runs, is a copy of the detected file.
    std::function<bool(const platform::File&)> isCopy;
};

// The target for a detection of the engine: anything with a name, an identity and a copy test.
template <typename Detected>
TargetImage TargetOf(const Detected& detected) {
    return {detected.name, detected.identity, [&detected](const platform::File& file) { return detected.IsCopy(file); }};
}

// What became of one process of the name.
enum class ProcessFate {
    Ended,           // it ran the detected file or a copy of it and has been ended
    IsScanner,       // left running: this very scanner
    StartedScanner,  // left running: the scanner was started from it, directly or further up
    IsFirstProcess,  // left running: the system's first process
    RunsOtherFile,   // left running: it runs neither the detected file nor a copy of it
    Uninspectable,   // left running: the file it runs cannot be read (`error` says why)
    NotEnded,        // it runs the detected file or a copy of it, but it could not be ended
};

struct ProcessOutcome {
    long long pid = 0;
    std::string imageName;  // the name it was found by
    std::string imagePath;  // the file it runs, when that could be read
    bool runsCopy = false;  // what it runs is a copy of the detected file, not the file itself
    ProcessFate fate = ProcessFate::Ended;
    platform::Error error = platform::Error::None;  // why it could not be inspected or ended
};

// A short stable word for structured reports: "ended", "scanner", "scanner-ancestor",
// "first-process", "other-file", "unreadable", "not-ended".
std::string_view FateName(ProcessFate fate);

// The log line for a process left running, with the reason, e.g.
// "Process bash (pid 41) left running: it runs /usr/bin/bash, neither the detected file nor a copy of it".
std::string LeftRunningLine(const ProcessOutcome& outcome);

class ProcessCleaner {
public:
    using LogLine = std::function<void(std::string_view)>;

    explicit ProcessCleaner(platform::ProcessTable& table);

    // Ends every process of the target's name (ASCII case-insensitive) that runs the target file
    // or a copy of it, each only while it still runs that file, and logs every other process of
    // the name with the reason it is left running. Returns what became of each process of the
    // name. The scanner, the processes it was started from and the system's first process are
    // never ended.
    std::vector<ProcessOutcome> TerminateProcessesByName(const TargetImage& target, const LogLine& log);

    // Whether a process of the target's name that runs the target file or a copy of it is listed;
    // nullopt when the table cannot be read. Processes that nothing here may end are not counted:
    // they are no reason to restart the shell.
    std::optional<bool> IsProcessRunning(const TargetImage& target);

    // Logs the shell restart, ends every "explorer.exe" and starts a new one, detached. The line
    // for the target says " Terminated..." only when no process that runs it is left by then,
    // " Not Terminated..." otherwise. Returns the shells ended and the target's processes still
    // running (ProcessFate::NotEnded).
    std::vector<ProcessOutcome> RestartShell(const TargetImage& target, std::string_view malwareName,
                                             const LogLine& log);

private:
    struct Verdict;
    Verdict Judge(const platform::ProcessInfo& process, const TargetImage& target,
                  const std::vector<long long>& ancestors);
    std::optional<std::vector<ProcessOutcome>> StillRunning(const TargetImage& target);
    std::vector<ProcessOutcome> EndShells();

    platform::ProcessTable& table_;
};

}  // namespace velquin::cleaner
