#include "cli/scan_command.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/console_sink.h"
#include "cli/escape.h"
#include "cli/process_actions.h"
#include "cli/quarantine_command.h"
#include "engine/disposal.h"
#include "engine/quarantine.h"
#include "engine/scan.h"
#include "platform/console.h"
#include "platform/date_time.h"

namespace velquin::cli {
namespace {

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using ReportFile = std::unique_ptr<std::FILE, CloseFile>;

// Report files are opened before the scan, so a path that cannot be written costs no scan.
ReportFile OpenReport(const std::string& path, bool append, const char* what) {
    platform::Error error = platform::Error::None;
    ReportFile file(platform::OpenReportFile(path, append, &error));
    if (!file) Complain("cannot open the " + std::string(what) + " " + path + ": " + std::string(platform::ErrorMessage(error)));
    return file;
}

// Writes the whole of `text` and hands it to the system; false (with errno's reason in `why`) when
// any of it could not be written.
bool WriteAll(std::FILE* file, const std::string& text, std::string& why) {
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0 &&
                         !std::ferror(file);
    if (!written) why = errno ? std::strerror(errno) : "write error";
    return written;
}

std::string Clock(std::chrono::steady_clock::duration elapsed) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

void PrintHeader(ConsoleSink& sink, const std::string& path) {
    for (const std::string& line :
         {std::string("Orvanta Velquin W32.Spy-Qarnix"), "Path Scanned : " + path, std::string("Status : Scanning"),
          std::string(" "), std::string("Fix Registry..."),
          std::string("HKCU\\Software\\Microsoft\\Windows\\Currentversion\\Run"), std::string(" "),
          std::string("Scanning Directory and File...")}) {
        sink.PrintLine(line);
    }
}

// The window's report block; a stopped scan says so first, and excluded entries are counted when
// the run has exclusion patterns.
void PrintReport(ConsoleSink& sink, const ScanRecord& scan, bool excluding, std::chrono::steady_clock::duration elapsed) {
    sink.PrintLine(" ");
    if (scan.stopped) sink.PrintLine("Status : Stopped");
    sink.PrintLine("File Scanned : " + std::to_string(scan.filesScanned));
    sink.PrintLine("Folder Scanned : " + std::to_string(scan.foldersScanned));
    if (excluding) sink.PrintLine("File Excluded : " + std::to_string(scan.entriesExcluded));
    sink.PrintLine("Virus Detected : " + std::to_string(sink.DetectedCount()));
    sink.PrintLine("File Removed : " + std::to_string(sink.RemovedCount()));
    sink.PrintLine("Time Scanned : " + Clock(elapsed));
    sink.PrintLine("Latest Scanned : " + platform::ShortDateAndTimeNow());
    sink.PrintLine("Scanning Completed");
}

// After the blocks of several PATHs: the sums of the whole run.
void PrintTotals(ConsoleSink& sink, std::size_t given, bool excluding, std::chrono::steady_clock::duration elapsed) {
    std::size_t opened = 0;
    std::uint64_t files = 0, folders = 0, excluded = 0;
    for (const ScanRecord& scan : sink.Scans()) {
        opened += scan.targetError.empty();
        files += scan.filesScanned;
        folders += scan.foldersScanned;
        excluded += scan.entriesExcluded;
    }
    sink.PrintLine(" ");
    sink.PrintLine("Total Path Scanned : " + std::to_string(opened) + " of " + std::to_string(given));
    sink.PrintLine("Total File Scanned : " + std::to_string(files));
    sink.PrintLine("Total Folder Scanned : " + std::to_string(folders));
    if (excluding) sink.PrintLine("Total File Excluded : " + std::to_string(excluded));
    sink.PrintLine("Total Virus Detected : " + std::to_string(sink.DetectedCount()));
    sink.PrintLine("Total File Removed : " + std::to_string(sink.RemovedCount()));
    sink.PrintLine("Total Time Scanned : " + Clock(elapsed));
}

}  // namespace

void Complain(const std::string& text) { std::cerr << "velquin-scan: " << EscapeForDisplay(text) << '\n'; }

int RunScan(const ScanSettings& settings, engine::SignatureDatabase& database, const LoadReport& reportLoad) {
    const bool jsonToStdout = settings.json == "-";
    ReportFile json, log;
    if (!settings.json.empty() && !jsonToStdout && !(json = OpenReport(settings.json, false, "JSON report"))) {
        return kExitError;
    }
    if (!settings.log.empty() && !(log = OpenReport(settings.log, true, "log file"))) return kExitError;

    std::FILE* progress = (!settings.quiet && platform::IsTerminal(stderr)) ? stderr : nullptr;
    ConsoleSink sink(jsonToStdout ? nullptr : stdout, "standard output", progress);
    if (log) sink.AddOutput(log.get(), settings.log);

    engine::DeleteDisposal deletion;
    engine::KeepDisposal keep;
    engine::NoProcessActions noProcesses;
    std::unique_ptr<engine::ProcessActions> cleaner;
    if (!settings.dryRun) cleaner = MakeProcessActions(sink);
    engine::ProcessActions& processes = cleaner ? *cleaner : noProcesses;

    std::optional<engine::QuarantineFolder> quarantine;
    if (!settings.quarantine.empty() && !(quarantine = OpenQuarantine(settings.quarantine))) return kExitError;
    std::optional<engine::QuarantineDisposal> quarantining;
    if (quarantine) quarantining.emplace(*quarantine);

    engine::Disposal& disposal = settings.dryRun ? static_cast<engine::Disposal&>(keep)
                                 : quarantining ? static_cast<engine::Disposal&>(*quarantining)
                                                : deletion;

    // A list edited during the scan is read again; its warnings must not land inside the progress line.
    bool databaseUnusable = false;
    database.SetLoadListener([&](const engine::DatabaseLoad& load) {
        sink.ClearProgress();
        if (!reportLoad(load)) databaseUnusable = true;
    });
    engine::FolderScan scan(database, sink, processes, disposal);
    // Files already in quarantine are not detected again, wherever the folder lies.
    if (quarantine) scan.ExcludeFolder(quarantine->Identity());
    for (const engine::PathGlob& pattern : settings.exclusions) scan.Exclude(pattern);
    scan.StayOnFileSystem(settings.oneFileSystem);
    scan.SetJobs(settings.jobs);
    const bool excluding = !settings.exclusions.empty();
    InstallStopHandler();

    bool targetFailed = false;
    const auto runStarted = std::chrono::steady_clock::now();
    for (const std::string& path : settings.paths) {
        if (sink.Stopped()) break;
        sink.BeginScan(path);
        const auto started = std::chrono::steady_clock::now();
        if (!scan.OpenTarget(path, engine::FolderScan::Target::FolderOrFile)) {
            sink.EndScan(0, 0, 0);
            if (scan.TargetError() == platform::Error::None) break;  // stopped before it began
            // Said here and nowhere else: a target that cannot be opened has no report block.
            targetFailed = true;
            sink.Current().targetError = platform::ErrorMessage(scan.TargetError());
            Complain("cannot scan " + path + ": " + sink.Current().targetError);
            continue;
        }
        if (!settings.quiet) PrintHeader(sink, path);
        sink.Flush();
        scan.WalkTarget();
        sink.EndScan(scan.FilesScanned(), scan.FoldersScanned(), scan.EntriesExcluded());
        PrintReport(sink, sink.Current(), excluding, std::chrono::steady_clock::now() - started);
        sink.Flush();
        const std::size_t unreadable = sink.Current().unreadable.size();
        if (unreadable > 0) {
            Complain(std::to_string(unreadable) + (unreadable == 1 ? " entry" : " entries") + " of " + path +
                     " could not be fingerprinted (unreadable, or a window sum out of range) and count as clean" +
                     (settings.json.empty() ? " (--json lists them)" : ""));
        }
        scan.ResetCounters();
    }
    if (settings.paths.size() > 1) {
        PrintTotals(sink, settings.paths.size(), excluding, std::chrono::steady_clock::now() - runStarted);
        sink.Flush();
    }

    // Stopped before the end: a walk broke off, or a PATH was never reached.
    bool stopped = sink.Scans().size() < settings.paths.size();
    for (const ScanRecord& record : sink.Scans()) stopped = stopped || record.stopped;
    for (const std::string& failure : sink.OutputFailures()) {
        Complain("cannot write the text report to " + failure + "; the scan stopped there");
    }
    if (stopped && StopRequested()) Complain("scan stopped by Ctrl-C before its end; what it did not reach is not scanned");

    int status = kExitClean;
    if (sink.DetectedCount() > 0) status = kExitDetected;
    if (stopped) status = kExitStopped;
    if (sink.AnyNotRemoved() || sink.AnyProcessNotEnded() || targetFailed || databaseUnusable ||
        !sink.OutputFailures().empty()) {
        status = kExitError;
    }

    if (!settings.json.empty()) {
        const std::string report = JsonReport(sink, database.Path(), settings.dryRun, status);
        std::string why;
        if (!WriteAll(jsonToStdout ? stdout : json.get(), report, why)) {
            Complain("cannot write the JSON report to " + (jsonToStdout ? std::string("standard output") : settings.json) +
                     ": " + why);
            status = kExitError;
        }
    }
    if (log && std::fclose(log.release()) != 0) {
        Complain("cannot write the log file " + settings.log);
        status = kExitError;
    }
    if (json && std::fclose(json.release()) != 0) {
        Complain("cannot write the JSON report to " + settings.json);
        status = kExitError;
    }
    return status;
}

}  // namespace velquin::cli
