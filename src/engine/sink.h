#pragma once
// What a folder scan reports to and asks of its host. The window writes these into its controls
// (txtInfo, Label8, Label11, Label7, List2, List3) and answers from the caption of its Scan button;
// the command line prints. Nothing here knows about widgets.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "engine/fingerprint.h"
#include "platform/error.h"

namespace velquin::engine {

// What happened to one detected file, for hosts that keep a structured report.
struct DetectionReport {
    std::string_view path;
    std::string_view malwareName;
    std::string_view action;   // what the disposal step does: "delete", "quarantine", "none"
    bool gone = false;         // the file is no longer where it was found
    platform::Error error = platform::Error::None;  // why it is still there, if it is
};

class ScanSink {
public:
    virtual ~ScanSink() = default;

    // txtInfo: the entry under examination with its progress tag.
    virtual void ShowEntry(std::string_view text) = 0;
    // Label8 and Label11 from the two counters; Label7 from the number of paths in the sink's List2,
    // which the host owns and keeps across scans.
    virtual void ShowCounts(std::uint64_t filesScanned, std::uint64_t foldersScanned) = 0;
    // List2: the full path of a detected file.
    virtual void AddDetectedPath(std::string_view path) = 0;
    // List3: one log line.
    virtual void AppendLog(std::string_view line) = 0;
    // The run flag: true while the scan should go on ("Stop" on the Scan button).
    virtual bool IsRunning() = 0;
    // Lets the host process pending events; called after every entry and every subfolder.
    virtual void Yield() = 0;

    // An entry whose fingerprint could not be computed (it stays clean), or a folder that could
    // not be opened or listed (it contributes nothing); `reason` is a short description.
    virtual void EntryUnreadable(std::string_view path, std::string_view reason) {
        (void)path;
        (void)reason;
    }
    // A detected file after its disposal, with the outcome.
    virtual void Detected(const DetectionReport& report) { (void)report; }
};

// A detected file as the process step sees it: processes are looked up by its name, and one of
// that name is ended only when the file it runs is this very file or a copy of it (a file with
// the same fingerprint).
struct DetectedImage {
    std::string_view name;            // the entry's name: the image name processes are looked up by
    std::string_view path;            // the detected file's full path, for reports
    platform::FileIdentity identity;  // the file that was fingerprinted
    Fingerprint fingerprint;

    // Whether `file`, open, has the detected file's fingerprint.
    bool IsCopy(const platform::File& file) const {
        const FingerprintResult result = ComputeFingerprint(file);
        return result && *result.fingerprint == fingerprint;
    }
};

// Process handling for a detected file. The command line wires the process cleaner in here; a dry
// run uses one that ends nothing. `log` appends lines to the scan's log (List3).
class ProcessActions {
public:
    using LogLine = std::function<void(std::string_view)>;
    virtual ~ProcessActions() = default;
    // Ends the processes that run the detected file or a copy of it; logs each process of the
    // name that is left running, with the reason.
    virtual void TerminateProcessesByName(const DetectedImage& image, const LogLine& log) = 0;
    // Whether a process that runs the detected file or a copy of it is still there; nullopt when
    // the process table cannot be read, which the scan treats as not running.
    virtual std::optional<bool> IsProcessRunning(const DetectedImage& image) = 0;
    virtual void RestartShell(const DetectedImage& image, std::string_view malwareName,
                              const LogLine& log) = 0;
};

// Ends nothing and sees nothing running.
class NoProcessActions final : public ProcessActions {
public:
    void TerminateProcessesByName(const DetectedImage&, const LogLine&) override {}
    std::optional<bool> IsProcessRunning(const DetectedImage&) override { return false; }
    void RestartShell(const DetectedImage&, std::string_view, const LogLine&) override {}
};

}  // namespace velquin::engine
