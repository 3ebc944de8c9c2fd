#pragma once
// The command line's side of a scan: prints the log lines the engine writes, keeps List2 and a
// structured record of every scan for the JSON report, and shows a one-line progress display.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "cleaner/process_cleaner.h"
#include "engine/sink.h"

namespace velquin::cli {

// A process looked up for a detection: ended, or left running with the reason.
struct ProcessRecord {
    long long pid = 0;
    std::string imageName;
    std::string imagePath;     // the file it ran, when that could be read
    std::string detectedPath;  // the detection it was looked up for
    std::string runs;          // what it ran: "detected file", "copy", or empty (a shell)
    std::string reason;        // left running: why, as cleaner::FateName says it
    std::string error;         // the system's reason, where there is one
};

struct DetectionRecord {
    std::string path;
    std::string malwareName;
    std::string action;
    bool gone = false;
    std::string error;
};

struct UnreadableRecord {
    std::string path;
    std::string reason;
};

// One PATH of the command line, scanned as the window's Start Scan does.
struct ScanRecord {
    std::string target;
    std::chrono::system_clock::time_point start, end;
    std::uint64_t filesScanned = 0;
    std::uint64_t foldersScanned = 0;
    std::uint64_t entriesExcluded = 0;
    bool stopped = false;
    std::string targetError;  // why the target could not be opened, if it could not
    std::vector<DetectionRecord> detections;
    std::vector<ProcessRecord> processesEnded;
    std::vector<ProcessRecord> processesLeftRunning;
    std::vector<UnreadableRecord> unreadable;
};

// Where the run flag comes from: Ctrl-C lowers it.
bool StopRequested();
void InstallStopHandler();

class ConsoleSink final : public engine::ScanSink {
public:
    // `log` receives the log lines (nullptr: not printed), named `logName` in messages; `progress`
    // is the terminal for the progress display (nullptr: none).
    ConsoleSink(std::FILE* log, std::string logName, std::FILE* progress);

    // Writes every log line to `file` as well (the caller keeps it open until the sink is done).
    void AddOutput(std::FILE* file, std::string name);

    void BeginScan(const std::string& target);
    ScanRecord& Current() { return scans_.back(); }
    void EndScan(std::uint64_t filesScanned, std::uint64_t foldersScanned, std::uint64_t entriesExcluded);

    // Prints one line of the window's log (header, report) the way engine lines are printed.
    void PrintLine(std::string_view line);
    // Hands what has been printed to the system. A text output that cannot be written is given up
    // and the scan stops as on Ctrl-C: nothing more is done that could no longer be reported.
    void Flush();
    void ClearProgress();

    // Whether the scan is to stop: Ctrl-C, or a text output that failed.
    bool Stopped() const { return StopRequested() || !outputFailures_.empty(); }
    // The text outputs that could not be written, each with the reason ("standard output: ...").
    const std::vector<std::string>& OutputFailures() const { return outputFailures_; }

    void ShowEntry(std::string_view text) override;
    void ShowCounts(std::uint64_t filesScanned, std::uint64_t foldersScanned) override;
    void AddDetectedPath(std::string_view path) override;
    void AppendLog(std::string_view line) override;
    bool IsRunning() override;
    void Yield() override {}
    void EntryUnreadable(std::string_view path, std::string_view reason) override;
    void Detected(const engine::DetectionReport& report) override;

    // What became of a process looked up for the detection of `detectedPath`: one ended is logged
    // with its pid and image name; all are recorded, one left running once per detection,
    // however often it is seen.
    void ProcessHandled(std::string_view detectedPath, const cleaner::ProcessOutcome& outcome);

    const std::vector<ScanRecord>& Scans() const { return scans_; }
    std::size_t DetectedCount() const { return list2_.size(); }
    std::size_t RemovedCount() const { return removed_; }
    bool AnyNotRemoved() const { return notRemoved_; }
    // A process that runs a detected file is still running: it could not be ended.
    bool AnyProcessNotEnded() const { return processNotEnded_; }

private:
    struct Output {
        std::FILE* file;
        std::string name;
        bool failed = false;
    };
    void Write(std::string_view text);
    void Failed(Output& output, int code);

    std::vector<Output> outputs_;
    std::vector<std::string> outputFailures_;
    std::FILE* progress_;
    bool progressShown_ = false;
    std::chrono::steady_clock::time_point nextProgress_{};
    std::uint64_t files_ = 0, folders_ = 0;
    std::vector<std::string> list2_;
    std::size_t removed_ = 0;
    bool notRemoved_ = false;
    bool processNotEnded_ = false;
    std::vector<ScanRecord> scans_;
};

// The JSON report of every scan of the run.
std::string JsonReport(const ConsoleSink& sink, const std::string& databasePath, bool dryRun,
                       int exitStatus);

}  // namespace velquin::cli
