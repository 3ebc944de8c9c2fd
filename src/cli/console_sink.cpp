#include "cli/console_sink.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>

#include <nlohmann/json.hpp>

#include "cli/escape.h"
#include "platform/console.h"

namespace velquin::cli {
namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnInterrupt() { g_stop = 1; }

constexpr auto kProgressInterval = std::chrono::milliseconds(100);

std::size_t TerminalWidth(std::FILE* terminal) {
    const std::size_t columns = platform::TerminalColumns(terminal);
    return columns > 10 ? columns : 80;
}

std::string IsoTime(std::chrono::system_clock::time_point when) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    const std::tm local = platform::LocalTime(t);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    return text;
}

nlohmann::json ProcessJson(const ProcessRecord& process) {
    nlohmann::json j;
    j["pid"] = process.pid;
    PutText(j, "imageName", process.imageName);
    if (!process.imagePath.empty()) PutText(j, "imagePath", process.imagePath);
    if (!process.runs.empty()) j["runs"] = process.runs;
    if (!process.reason.empty()) j["reason"] = process.reason;
    if (!process.error.empty()) j["error"] = process.error;
    PutText(j, "detectedPath", process.detectedPath);
    return j;
}

}  // namespace

bool StopRequested() { return g_stop != 0; }

void InstallStopHandler() {
    platform::InstallInterruptHandler(OnInterrupt);
}

ConsoleSink::ConsoleSink(std::FILE* log, std::string logName, std::FILE* progress) : progress_(progress) {
    if (log) AddOutput(log, std::move(logName));
}

void ConsoleSink::AddOutput(std::FILE* file, std::string name) { outputs_.push_back({file, std::move(name)}); }

void ConsoleSink::BeginScan(const std::string& target) {
    scans_.emplace_back();
    scans_.back().target = target;
    scans_.back().start = std::chrono::system_clock::now();
    files_ = folders_ = 0;
}

void ConsoleSink::EndScan(std::uint64_t filesScanned, std::uint64_t foldersScanned,
                          std::uint64_t entriesExcluded) {
    ScanRecord& scan = scans_.back();
    scan.end = std::chrono::system_clock::now();
    scan.filesScanned = filesScanned;
    scan.foldersScanned = foldersScanned;
    scan.entriesExcluded = entriesExcluded;
    scan.stopped = Stopped();
    ClearProgress();
}

void ConsoleSink::PrintLine(std::string_view line) {
    if (outputs_.empty()) return;
    ClearProgress();
    Write(EscapeForDisplay(line) + '\n');
}

void ConsoleSink::Write(std::string_view text) {
    for (Output& output : outputs_) {
        if (output.failed) continue;
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), output.file) != text.size()) Failed(output, errno);
    }
}

void ConsoleSink::Flush() {
    for (Output& output : outputs_) {
        if (output.failed) continue;
        errno = 0;
        if (std::fflush(output.file) != 0 || std::ferror(output.file)) Failed(output, errno);
    }
}

void ConsoleSink::Failed(Output& output, int code) {
    output.failed = true;
    outputFailures_.push_back(output.name + (code ? ": " + std::string(std::strerror(code)) : std::string()));
}

void ConsoleSink::ClearProgress() {
    if (progressShown_) {
        std::fputs("\r\x1b[K", progress_);
        std::fflush(progress_);
        progressShown_ = false;
    }
}

void ConsoleSink::ShowEntry(std::string_view text) {
    if (!progress_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now < nextProgress_) return;
    nextProgress_ = now + kProgressInterval;
    Flush();  // the lines printed so far come before the progress line
    std::string line = std::to_string(files_) + " entries, " + std::to_string(folders_) +
                       " folders, " + std::to_string(list2_.size()) + " detected  ";
    const std::size_t width = TerminalWidth(progress_) - 1;
    std::string entry = EscapeForDisplay(text);
    if (line.size() + entry.size() > width) {
        const std::size_t keep = width > line.size() + 3 ? width - line.size() - 3 : 0;
        entry = "..." + entry.substr(entry.size() - keep);
    }
    line = "\r\x1b[K" + line + entry;
    std::fwrite(line.data(), 1, line.size(), progress_);
    std::fflush(progress_);
    progressShown_ = true;
}

void ConsoleSink::ShowCounts(std::uint64_t filesScanned, std::uint64_t foldersScanned) {
    files_ = filesScanned;
    folders_ = foldersScanned;
}

void ConsoleSink::AddDetectedPath(std::string_view path) { list2_.emplace_back(path); }

// An engine line reaches its readers at once, and a reader that has gone is noticed at once.
void ConsoleSink::AppendLog(std::string_view line) {
    PrintLine(line);
    Flush();
}

bool ConsoleSink::IsRunning() { return !Stopped(); }

void ConsoleSink::EntryUnreadable(std::string_view path, std::string_view reason) {
    scans_.back().unreadable.push_back({std::string(path), std::string(reason)});
}

void ConsoleSink::Detected(const engine::DetectionReport& report) {
    DetectionRecord record{std::string(report.path), std::string(report.malwareName),
                           std::string(report.action), report.gone, {}};
    if (report.error != platform::Error::None) record.error = platform::ErrorMessage(report.error);
    if (report.gone) ++removed_;
    if (!report.gone && report.action != "none") notRemoved_ = true;
    scans_.back().detections.push_back(std::move(record));
}

void ConsoleSink::ProcessHandled(std::string_view detectedPath, const cleaner::ProcessOutcome& outcome) {
    ProcessRecord record{outcome.pid, outcome.imageName, outcome.imagePath, std::string(detectedPath), {}, {}, {}};
    const bool runsDetected = outcome.fate == cleaner::ProcessFate::Ended || outcome.fate == cleaner::ProcessFate::NotEnded;
    if (runsDetected && !outcome.imagePath.empty()) record.runs = outcome.runsCopy ? "copy" : "detected file";
    if (outcome.error != platform::Error::None) record.error = platform::ErrorMessage(outcome.error);
    ScanRecord& scan = scans_.back();
    if (outcome.fate == cleaner::ProcessFate::Ended) {
        AppendLog("Process Ended : " + std::to_string(outcome.pid) + " " + outcome.imageName);
        scan.processesEnded.push_back(std::move(record));
        return;
    }
    if (outcome.fate == cleaner::ProcessFate::NotEnded) processNotEnded_ = true;
    record.reason = cleaner::FateName(outcome.fate);
    const bool seen = std::any_of(scan.processesLeftRunning.begin(), scan.processesLeftRunning.end(),
                                  [&](const ProcessRecord& r) { return r.pid == record.pid && r.detectedPath == record.detectedPath; });
    if (!seen) scan.processesLeftRunning.push_back(std::move(record));
}

std::string JsonReport(const ConsoleSink& sink, const std::string& databasePath, bool dryRun,
                       int exitStatus) {
    nlohmann::json report;
    PutText(report, "database", databasePath);
    report["dryRun"] = dryRun;
    report["virusDetected"] = sink.DetectedCount();
    report["fileRemoved"] = sink.RemovedCount();
    report["exitStatus"] = exitStatus;
    for (const std::string& failure : sink.OutputFailures()) report["outputErrors"].push_back(EscapeForDisplay(failure));
    report["scans"] = nlohmann::json::array();
    for (const ScanRecord& scan : sink.Scans()) {
        nlohmann::json s;
        PutText(s, "target", scan.target);
        s["start"] = IsoTime(scan.start);
        s["end"] = IsoTime(scan.end);
        s["filesScanned"] = scan.filesScanned;
        s["foldersScanned"] = scan.foldersScanned;
        s["entriesExcluded"] = scan.entriesExcluded;
        s["stopped"] = scan.stopped;
        if (!scan.targetError.empty()) s["targetError"] = scan.targetError;
        s["detections"] = nlohmann::json::array();
        for (const DetectionRecord& d : scan.detections) {
            nlohmann::json j;
            PutText(j, "path", d.path);
            PutText(j, "malwareName", d.malwareName);
            j["action"] = d.action;
            j["removed"] = d.gone;
            if (!d.error.empty()) j["error"] = d.error;
            s["detections"].push_back(std::move(j));
        }
        for (const auto& [key, records] : {std::pair{"processesEnded", &scan.processesEnded},
                                           std::pair{"processesLeftRunning", &scan.processesLeftRunning}}) {
            s[key] = nlohmann::json::array();
            for (const ProcessRecord& p : *records) s[key].push_back(ProcessJson(p));
        }
        s["unreadable"] = nlohmann::json::array();
        for (const UnreadableRecord& u : scan.unreadable) {
            nlohmann::json j;
            PutText(j, "path", u.path);
            j["reason"] = u.reason;
            s["unreadable"].push_back(std::move(j));
        }
        report["scans"].push_back(std::move(s));
    }
    return report.dump(2) + "\n";
}

}  // namespace velquin::cli
