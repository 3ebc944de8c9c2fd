// velquin-scan: the command-line scanner on the window's engine.

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/console_sink.h"
#include "cli/escape.h"
#include "cli/process_actions.h"
#include "cli/quarantine_command.h"
#include "engine/database.h"
#include "engine/disposal.h"
#include "engine/fingerprint.h"
#include "engine/quarantine.h"
#include "engine/scan.h"
#include "platform/console.h"

namespace {

using namespace velquin;

constexpr int kClean = 0;
constexpr int kDetected = 1;
constexpr int kError = 2;

void Complain(const std::string& text) {
    std::cerr << "velquin-scan: " << cli::EscapeForDisplay(text) << '\n';
}

// Tells the user, once per read of the list, what is wrong with it.
void ReportLoad(const engine::DatabaseLoad& load, bool& unreadable) {
    if (load.error != platform::Error::None) {
        unreadable = true;
        Complain("cannot read the signature list " + load.path + ": " +
                 std::string(platform::ErrorMessage(load.error)) +
                 " (nothing is detected while it cannot be read)");
        return;
    }
    if (!load.skippedLines.empty()) {
        std::string lines;
        const std::size_t shown = std::min<std::size_t>(load.skippedLines.size(), 20);
        for (std::size_t i = 0; i < shown; ++i) {
            lines += (i ? ", " : "") + std::to_string(load.skippedLines[i]);
        }
        if (shown < load.skippedLines.size()) {
            lines += " and " + std::to_string(load.skippedLines.size() - shown) + " more";
        }
        Complain("the signature list " + load.path + " has records without \":\", skipped: line" +
                 (load.skippedLines.size() > 1 ? "s " : " ") + lines);
    }
    if (!load.endMarker) {
        Complain("the signature list " + load.path + " does not end with Finish:Finish");
    }
}

int RunFingerprint(const std::vector<std::string>& files) {
    int status = kClean;
    for (const std::string& file : files) {
        // A file named here is the user's choice, so a link stands for its target; a scan never
        // follows links and gives a link the short-file fingerprint instead.
        std::error_code resolveError;
        const std::filesystem::path target = std::filesystem::canonical(file, resolveError);
        const engine::FingerprintResult result =
            engine::ComputeFingerprint(resolveError ? file : target.string());
        const std::string shown = cli::EscapeForDisplay(file);
        if (result) {
            std::cout << result.fingerprint->Text() << ' ' << shown << '\n';
        } else {
            std::cout << "- " << shown << '\n';
            std::cout.flush();
            Complain(file + ": " + std::string(result.Reason()));
            status = kError;
        }
    }
    return status;
}

std::string Clock(std::chrono::steady_clock::duration elapsed) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

// The system's short date, "/", and its time of day, as the window's report shows them.
std::string LatestScanned() {
    const std::time_t now = std::time(nullptr);
    const std::tm local = platform::LocalTime(now);
    char date[64], time[64];
    std::strftime(date, sizeof date, "%x", &local);
    std::strftime(time, sizeof time, "%X", &local);
    return std::string(date) + "/" + time;
}

struct ScanSettings {
    std::vector<std::string> paths;
    bool dryRun = false;
    bool quiet = false;
    std::string json;
    std::string quarantine;  // move detected files here instead of deleting them
};

int RunScan(const ScanSettings& settings, engine::SignatureDatabase& database, bool& databaseUnreadable) {
    const bool jsonToStdout = settings.json == "-";
    std::FILE* log = jsonToStdout ? nullptr : stdout;
    std::FILE* progress = (!settings.quiet && platform::IsTerminal(stderr)) ? stderr : nullptr;
    cli::ConsoleSink sink(log, progress);

    engine::DeleteDisposal deletion;
    engine::KeepDisposal keep;
    engine::NoProcessActions noProcesses;
    std::unique_ptr<engine::ProcessActions> cleaner;
    if (!settings.dryRun) cleaner = cli::MakeProcessActions(sink);
    engine::ProcessActions& processes = cleaner ? *cleaner : noProcesses;

    std::optional<engine::QuarantineFolder> quarantine;
    if (!settings.quarantine.empty() && !(quarantine = cli::OpenQuarantine(settings.quarantine))) return kError;
    std::optional<engine::QuarantineDisposal> quarantining;
    if (quarantine) quarantining.emplace(*quarantine);

    engine::Disposal& disposal = settings.dryRun ? static_cast<engine::Disposal&>(keep)
                                 : quarantining ? static_cast<engine::Disposal&>(*quarantining)
                                                : deletion;

    // A list edited during the scan is read again; its warnings must not land inside the progress line.
    database.SetLoadListener([&](const engine::DatabaseLoad& load) {
        sink.ClearProgress();
        ReportLoad(load, databaseUnreadable);
    });
    engine::FolderScan scan(database, sink, processes, disposal);
    // Files already in quarantine are not detected again, wherever the folder lies.
    if (quarantine) scan.ExcludeFolder(quarantine->Identity());
    bool targetFailed = false;
    cli::InstallStopHandler();

    for (const std::string& path : settings.paths) {
        if (cli::StopRequested()) break;
        sink.BeginScan(path);
        const auto started = std::chrono::steady_clock::now();
        if (!settings.quiet) {
            for (const std::string& line :
                 {std::string("Orvanta Velquin W32.Spy-Qarnix"), "Path Scanned : " + path,
                  std::string("Status : Scanning"), std::string(" "), std::string("Fix Registry..."),
                  std::string("HKCU\\Software\\Microsoft\\Windows\\Currentversion\\Run"),
                  std::string(" "), std::string("Scanning Directory and File...")}) {
                sink.PrintLine(line);
            }
            if (log) std::fflush(log);
        }
        scan.ScanFolder(path);
        if (scan.TargetError() != platform::Error::None) {
            targetFailed = true;
            sink.Current().targetError = platform::ErrorMessage(scan.TargetError());
            Complain("cannot scan " + path + ": " + std::string(platform::ErrorMessage(scan.TargetError())));
        }
        sink.EndScan(scan.FilesScanned(), scan.FoldersScanned());
        sink.PrintLine(" ");
        sink.PrintLine("File Scanned : " + std::to_string(scan.FilesScanned()));
        sink.PrintLine("Folder Scanned : " + std::to_string(scan.FoldersScanned()));
        sink.PrintLine("Virus Detected : " + std::to_string(sink.DetectedCount()));
        sink.PrintLine("File Removed : " + std::to_string(sink.RemovedCount()));
        sink.PrintLine("Time Scanned : " + Clock(std::chrono::steady_clock::now() - started));
        sink.PrintLine("Latest Scanned : " + LatestScanned());
        sink.PrintLine("Scanning Completed");
        if (log) std::fflush(log);
        // A target that cannot be opened has been named above; it is no entry that counts as clean.
        const std::size_t unreadable = sink.Current().unreadable.size();
        if (unreadable > 0 && scan.TargetError() == platform::Error::None) {
            Complain(std::to_string(unreadable) + (unreadable == 1 ? " entry" : " entries") +
                     " of " + path + " could not be fingerprinted (unreadable, or a window sum out of range) and count as clean" +
                     (settings.json.empty() ? " (--json lists them)" : ""));
        }
        scan.ResetCounters();
    }
    if (cli::StopRequested()) Complain("scan stopped");

    int status = kClean;
    if (sink.DetectedCount() > 0) status = kDetected;
    if (sink.AnyNotRemoved() || sink.AnyProcessNotEnded() || targetFailed || databaseUnreadable) status = kError;

    if (!settings.json.empty()) {
        const std::string report = cli::JsonReport(sink, database.Path(), settings.dryRun, status);
        if (jsonToStdout) {
            std::fwrite(report.data(), 1, report.size(), stdout);
        } else {
            std::ofstream out(settings.json, std::ios::binary | std::ios::trunc);
            out << report;
            out.close();
            if (!out) {
                Complain("cannot write the JSON report " + settings.json);
                status = kError;
            }
        }
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_TIME, "");

    CLI::App app{"Scans folders for Qarnix files, ends their processes and removes them."};
    app.set_version_flag("--version", "velquin-scan 0.1");
    ScanSettings settings;
    std::string databasePath;
    std::vector<std::string> fingerprintFiles;
    std::string lookupKey;
    app.add_option("PATH", settings.paths, "folders to scan, each as the window's Start Scan does");
    auto* databaseOption = app.add_option("-d,--database", databasePath,
                   "signature list (default: database.db beside the executable, else\n"
                   "../share/velquin/database.db from the executable's folder)")
        ->type_name("FILE");
    auto* dryRun = app.add_flag("-n,--dry-run", settings.dryRun, "detect and report only: end no process, delete nothing");
    app.add_option("--json", settings.json, "also write the report as JSON to FILE (\"-\" for standard output)")
        ->type_name("FILE");
    app.add_flag("-q,--quiet", settings.quiet, "print detection lines and the report only");
    auto* fingerprint = app.add_option("--fingerprint", fingerprintFiles,
                                       "print \"<fingerprint> <path>\" for each FILE (\"-\" on failure)")
                            ->type_name("FILE...")
                            ->expected(1, -1);
    auto* lookup = app.add_option("--lookup", lookupKey, "print the malware name of FINGERPRINT; exit 1 when not found")
                       ->type_name("FINGERPRINT");
    fingerprint->excludes(lookup);
    std::string restoreFolder;
    auto* quarantineOption =
        app.add_option("--quarantine", settings.quarantine, "move detected files into DIR with a manifest, instead of deleting")
            ->type_name("DIR")
            ->excludes(dryRun, fingerprint, lookup);
    auto* restore =
        app.add_option("--restore", restoreFolder, "put the files of a quarantine DIR back where they were (never overwrites);\n"
                       "exit 0 when every file is back, 2 otherwise")
            ->type_name("DIR")
            ->excludes(quarantineOption, dryRun, fingerprint, lookup);
    app.footer("exit status: 0 nothing detected; 1 detections, all handled; 2 an error (a detection\n"
               "not removed, a process of a detected file not ended, bad arguments, unreadable\n"
               "signature list)");

    try {
        // CLI11 takes the arguments after the program's name, last first.
        std::vector<std::string> arguments = platform::Utf8Arguments(argc, argv);
        if (!arguments.empty()) app.name(arguments.front());  // as parse(argc, argv) would
        std::reverse(arguments.begin(), arguments.end());
        if (!arguments.empty()) arguments.pop_back();
        app.parse(arguments);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kError;
    }

    // An empty DIR (an unset variable, say) must not turn a quarantine into a deletion.
    if ((quarantineOption->count() > 0 && settings.quarantine.empty()) || (restore->count() > 0 && restoreFolder.empty())) {
        Complain("an empty DIR names no quarantine folder");
        return kError;
    }
    if (restore->count() > 0) {
        if (!settings.paths.empty()) {
            Complain("--restore takes a quarantine folder and no PATH");
            return kError;
        }
        return cli::RunRestore(restoreFolder, stdout, settings.json);
    }

    if (!fingerprintFiles.empty()) {
        if (!settings.paths.empty()) {
            Complain("--fingerprint takes files only; scan folders in a separate run");
            return kError;
        }
        return RunFingerprint(fingerprintFiles);
    }
    if (lookup->count() == 0 && settings.paths.empty()) {
        Complain("nothing to scan: give a PATH (see --help)");
        return kError;
    }
    for (const std::string& path : settings.paths) {
        if (path.empty()) {
            Complain("an empty PATH names no folder");
            return kError;
        }
    }

    // An empty FILE (an unset variable, say) must not quietly mean "the default list".
    if (databaseOption->count() > 0 && databasePath.empty()) {
        Complain("an empty FILE names no signature list");
        return kError;
    }
    const engine::SignatureListLocation list = engine::FindSignatureList(databasePath);
    if (!list.Found()) {
        Complain("no signature list found: looked for " + list.TriedText() + " (name one with --database)");
        return kError;
    }
    engine::SignatureDatabase database(list.path);
    bool databaseUnreadable = false;
    database.SetLoadListener([&](const engine::DatabaseLoad& load) { ReportLoad(load, databaseUnreadable); });
    if (database.Load().error != platform::Error::None) return kError;

    if (lookup->count() > 0) {
        if (!settings.paths.empty()) {
            Complain("--lookup takes one fingerprint and no PATH");
            return kError;
        }
        const std::string_view name = database.LookupSignature(lookupKey);
        if (name.empty()) return kDetected;
        std::cout << cli::EscapeForDisplay(name) << '\n';
        return kClean;
    }
    return RunScan(settings, database, databaseUnreadable);
}
