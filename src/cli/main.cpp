// velquin-scan: the command-line scanner on the window's engine.

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/escape.h"
#include "cli/quarantine_command.h"
#include "cli/scan_command.h"
#include "engine/database.h"
#include "engine/fingerprint.h"
#include "platform/console.h"
#include "platform/file.h"

namespace {

using namespace velquin;
using cli::Complain;

// "line 4" or "lines 4, 9 and 3 more".
std::string LineList(const std::vector<std::size_t>& lines) {
    std::string text = lines.size() > 1 ? "lines " : "line ";
    const std::size_t shown = std::min<std::size_t>(lines.size(), 20);
    for (std::size_t i = 0; i < shown; ++i) text += (i ? ", " : "") + std::to_string(lines[i]);
    if (shown < lines.size()) text += " and " + std::to_string(lines.size() - shown) + " more";
    return text;
}

// Tells the user, once per read of the list, what is wrong with it; false when it cannot be used.
bool ReportLoad(const engine::DatabaseLoad& load) {
    if (load.kept) {
        Complain("the signature list " + load.path + " changed and " +
                 (load.error != platform::Error::None
                      ? "cannot be read: " + std::string(platform::ErrorMessage(load.error))
                      : std::string("does not end with Finish:Finish (yet)")) +
                 "; the list read before stays in use until it reads completely");
        return true;
    }
    if (load.error != platform::Error::None) {
        Complain("cannot read the signature list " + load.path + ": " +
                 std::string(platform::ErrorMessage(load.error)) +
                 " (nothing is detected while it cannot be read)");
        return false;
    }
    if (!load.skippedLines.empty()) {
        Complain("the signature list " + load.path + " has records without \":\", skipped: " +
                 LineList(load.skippedLines));
    }
    if (!load.emptyKeyOrNameLines.empty()) {
        Complain("the signature list " + load.path + " has records with an empty key or name, skipped: " +
                 LineList(load.emptyKeyOrNameLines));
    }
    if (!load.endMarker) {
        Complain("the signature list " + load.path + " does not end with Finish:Finish");
    }
    if (!load.HasSignatures()) {
        Complain("the signature list " + load.path + " holds no signature record (nothing can be detected)");
        return false;
    }
    return true;
}

int RunFingerprint(const std::vector<std::string>& files) {
    int status = cli::kExitClean;
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
            status = cli::kExitError;
        }
    }
    return status;
}

// What the look-ups and the restore printed must have reached standard output; a report that
// could not be written is an error.
int CheckStandardOutput(int status) {
    std::cout.flush();
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        Complain("cannot write to standard output: " + std::string(errno ? std::strerror(errno) : "write error"));
        return cli::kExitError;
    }
    return status;
}

// The program's name as the user knows it: without the folder it was started from (and without
// ".exe" on Windows).
std::string ProgramName(const std::string& argument0) {
    std::string name = argument0.substr(argument0.find_last_of(platform::kPathSeparators) + 1);
    if (name.size() > 4) {
        std::string extension = name.substr(name.size() - 4);
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (extension == ".exe") name.resize(name.size() - 4);
    }
    return name.empty() ? "velquin-scan" : name;
}

constexpr const char* kScanning = "Scanning";
constexpr const char* kActions = "Actions";
constexpr const char* kReports = "Reports";
constexpr const char* kLookups = "Look-ups";

constexpr const char* kHelpFooter = R"(PATH is a folder, whose whole tree is scanned, or a single file, checked as an entry of
its folder; a link named as PATH is checked as the link itself, as in a walk (--fingerprint
follows it). Links met in a walk are never followed.

GLOB: "*" any run of characters within a name, "?" one character, "[a-z]" and "[!a-z]" one
character of a set or not of it, "**" any run of characters across folders ("**/" also none).
A GLOB without "/" is matched against the name of every entry (--exclude '*.iso'); a GLOB with
"/" against the entry's whole path as the report writes it, the PATH as given and the names
below it (--exclude '/home/*/.cache', --exclude '**/build/*.o'). A GLOB that ends with "/"
matches folders only. A PATH that matches is not scanned either.

Exit status: 0 nothing detected; 1 detections, all handled; 2 an error (a detection not
removed, a process that runs a detected file and could not be ended, a PATH that cannot be
opened, bad arguments, a signature list that cannot be read or holds no record, a report that
cannot be written); 130 the scan was stopped (Ctrl-C) before its end, after the report.
--restore: 0 when every file is back, 2 otherwise.
)";

// --help as the user reads it: the usage lines, the options by group with their argument names
// only, and the notes; none of the parser's own annotations.
class HelpFormatter final : public CLI::Formatter {
public:
    std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode) const override {
        std::ostringstream out;
        out << make_usage(app, name) << '\n' << app->get_description() << '\n';
        for (const char* group : {kScanning, kActions, kReports, kLookups}) {
            out << '\n' << group << ":\n";
            for (const CLI::Option* option :
                 app->get_options([group](const CLI::Option* o) { return o->get_group() == group; })) {
                out << make_option(option, false);
            }
        }
        out << '\n' << app->get_footer();
        return out.str();
    }
    std::string make_usage(const CLI::App*, std::string name) const override {
        const std::string indent(name.size() + 7, ' ');
        return "Usage: " + name + " [options] PATH...\n" + indent + "--fingerprint FILE...\n" + indent +
               "--lookup FINGERPRINT\n" + indent + "--restore DIR\n";
    }
    std::string make_option_name(const CLI::Option* option, bool) const override {
        const auto& shortNames = option->get_snames();
        const auto& longNames = option->get_lnames();
        std::string text = shortNames.empty() ? "    " : "-" + shortNames.front() + (longNames.empty() ? "  " : ", ");
        if (!longNames.empty()) text += "--" + longNames.front();
        return text;
    }
    std::string make_option_opts(const CLI::Option* option) const override {
        return option->get_type_name().empty() ? std::string() : " " + option->get_type_name();
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_TIME, "");
    // A reader that goes away (velquin-scan ... | head) must not end the scan in the middle of its
    // work: the write fails, the scan stops as on Ctrl-C, and the reports are still written.
    platform::IgnoreBrokenPipe();

    // CLI11 takes the arguments after the program's name, last first.
    std::vector<std::string> arguments = platform::Utf8Arguments(argc, argv);
    const std::string programName = ProgramName(arguments.empty() ? std::string() : arguments.front());

    CLI::App app{"Scans each PATH for Qarnix files, ends their processes and removes them.", programName};
    app.formatter(std::make_shared<HelpFormatter>());
    app.get_formatter()->column_width(30);
    app.footer(kHelpFooter);

    cli::ScanSettings settings;
    std::string databasePath;
    std::vector<std::string> exclusions;
    std::vector<std::string> fingerprintFiles;
    std::string lookupKey;
    std::string restoreFolder;
    app.add_option("PATH", settings.paths, "folders or files to scan")->group("");

    auto* databaseOption = app.add_option("-d,--database", databasePath,
                                          "signature list (default: database.db beside the executable,\n"
                                          "else ../share/velquin/database.db from the executable's folder)")
                               ->type_name("FILE")
                               ->group(kScanning);
    auto* exclude = app.add_option("--exclude", exclusions, "neither check nor enter what matches (repeatable; see GLOB)")
                        ->type_name("GLOB")
                        ->allow_extra_args(false)  // one GLOB per --exclude: what follows is a PATH again
                        ->group(kScanning);
    auto* oneFileSystem = app.add_flag("-x,--one-file-system", settings.oneFileSystem, "do not enter mount points")
                              ->group(kScanning);
    auto* jobs = app.add_option("-j,--jobs", settings.jobs,
                                "threads that read the tree, 1 to 64 (default: " +
                                    std::to_string(engine::kDefaultJobs) + "; 1: no read-ahead)")
                     ->check(CLI::Range(1u, 64u).description(""))
                     ->type_name("N")
                     ->group(kScanning);

    auto* dryRun = app.add_flag("-n,--dry-run", settings.dryRun, "detect and report only: end no process, delete nothing")
                       ->group(kActions);
    auto* quarantine =
        app.add_option("--quarantine", settings.quarantine, "move detected files into DIR instead of deleting them")
            ->type_name("DIR")
            ->group(kActions);
    auto* restore =
        app.add_option("--restore", restoreFolder, "put the files of a quarantine DIR back (never overwrites)")
            ->type_name("DIR")
            ->group(kActions);

    auto* json = app.add_option("--json", settings.json, "also write the report as JSON to FILE (\"-\": stdout, JSON only)")
                     ->type_name("FILE")
                     ->group(kReports);
    auto* log = app.add_option("--log", settings.log, "also append the text report to FILE")->type_name("FILE")->group(kReports);
    app.add_flag("-q,--quiet", settings.quiet, "print detection lines and the report only")->group(kReports);

    auto* fingerprint = app.add_option("--fingerprint", fingerprintFiles, "print \"<fingerprint> <path>\" per FILE (\"-\" on failure)")
                            ->type_name("FILE...")
                            ->expected(1, -1)
                            ->group(kLookups);
    auto* lookup = app.add_option("--lookup", lookupKey, "print the malware name; exit 1 when not found")
                       ->type_name("FINGERPRINT")
                       ->group(kLookups);

    app.set_version_flag("-V,--version", "velquin-scan " VELQUIN_VERSION, "print the version")->group(kLookups);
    app.set_help_flag("-h,--help", "print this help")->group(kLookups);

    fingerprint->excludes(lookup);
    quarantine->excludes(dryRun, fingerprint, lookup);
    restore->excludes(quarantine, dryRun, fingerprint, lookup);

    try {
        std::reverse(arguments.begin(), arguments.end());
        if (!arguments.empty()) arguments.pop_back();
        app.parse(arguments);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        Complain(e.what());
        std::cerr << "Run " << programName << " --help for the options.\n";
        return cli::kExitError;
    }

    // An empty DIR (an unset variable, say) must not turn a quarantine into a deletion.
    if ((quarantine->count() > 0 && settings.quarantine.empty()) || (restore->count() > 0 && restoreFolder.empty())) {
        Complain("an empty DIR names no quarantine folder");
        return cli::kExitError;
    }
    // The look-ups print one line per file in a fixed form of their own, and the restore its own
    // lines (and its JSON with --json); the walk's rules and the text log belong to scans, and an
    // option silently ignored would promise what never happens.
    const bool lookingUp = fingerprint->count() > 0 || lookup->count() > 0;
    if (lookingUp || restore->count() > 0) {
        for (const CLI::Option* scanOnly : {json, log, exclude, oneFileSystem, jobs}) {
            if (scanOnly->count() == 0 || (scanOnly == json && !lookingUp)) continue;
            Complain(scanOnly->get_name() + " applies to scans" + (scanOnly == json ? " and restores" : "") +
                     " only; " + (lookingUp ? "--fingerprint and --lookup print" : "--restore prints") +
                     " their own lines on standard output");
            return cli::kExitError;
        }
    }
    for (const std::string& text : exclusions) {
        if (text.empty()) {
            Complain("an empty GLOB excludes nothing");
            return cli::kExitError;
        }
        settings.exclusions.emplace_back(text);
    }

    if (restore->count() > 0) {
        if (!settings.paths.empty()) {
            Complain("--restore takes a quarantine folder and no PATH");
            return cli::kExitError;
        }
        return CheckStandardOutput(cli::RunRestore(restoreFolder, stdout, settings.json));
    }

    if (!fingerprintFiles.empty()) {
        if (!settings.paths.empty()) {
            Complain("--fingerprint takes files only; scan in a separate run");
            return cli::kExitError;
        }
        return CheckStandardOutput(RunFingerprint(fingerprintFiles));
    }
    if (lookup->count() == 0 && settings.paths.empty()) {
        Complain("nothing to scan: give a PATH (see --help)");
        return cli::kExitError;
    }
    for (const std::string& path : settings.paths) {
        if (path.empty()) {
            Complain("an empty PATH names no folder or file");
            return cli::kExitError;
        }
    }

    // An empty FILE (an unset variable, say) must not quietly mean "the default list".
    if (databaseOption->count() > 0 && databasePath.empty()) {
        Complain("an empty FILE names no signature list");
        return cli::kExitError;
    }
    const engine::SignatureListLocation list = engine::FindSignatureList(databasePath);
    if (!list.Found()) {
        Complain("no signature list found: looked for " + list.TriedText() + " (name one with --database)");
        return cli::kExitError;
    }
    engine::SignatureDatabase database(list.path);
    database.SetLoadListener([](const engine::DatabaseLoad& load) { ReportLoad(load); });
    const engine::DatabaseLoad& load = database.Load();
    if (load.error != platform::Error::None || !load.HasSignatures()) return cli::kExitError;

    if (lookup->count() > 0) {
        if (!settings.paths.empty()) {
            Complain("--lookup takes one fingerprint and no PATH");
            return cli::kExitError;
        }
        const std::string_view name = database.LookupSignature(lookupKey);
        if (name.empty()) return CheckStandardOutput(cli::kExitDetected);
        std::cout << cli::EscapeForDisplay(name) << '\n';
        return CheckStandardOutput(cli::kExitClean);
    }
    return cli::RunScan(settings, database, ReportLoad);
}
