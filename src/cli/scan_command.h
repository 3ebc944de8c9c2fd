#pragma once
// A scan run of velquin-scan: each PATH scanned as the window's Start Scan does, the text report on
// standard output (and in the --log file), the JSON report, and the exit status.

#include <functional>
#include <string>
#include <vector>

#include "engine/database.h"
#include "engine/glob.h"
#include "engine/read_ahead.h"

namespace velquin::cli {

inline constexpr int kExitClean = 0;
inline constexpr int kExitDetected = 1;   // detections, all handled
inline constexpr int kExitError = 2;
inline constexpr int kExitStopped = 130;  // the shell's status for a program ended by Ctrl-C

struct ScanSettings {
    std::vector<std::string> paths;
    bool dryRun = false;
    bool quiet = false;
    bool oneFileSystem = false;
    unsigned jobs = engine::kDefaultJobs;  // threads that read the tree; 1: no read-ahead
    std::vector<engine::PathGlob> exclusions;
    std::string json;        // also write the JSON report here ("-": standard output, JSON only)
    std::string log;         // also append the text report here
    std::string quarantine;  // move detected files here instead of deleting them
};

// Tells the user about one read of the signature list; false when the list cannot be used (it
// cannot be read, or names nothing).
using LoadReport = std::function<bool(const engine::DatabaseLoad&)>;

// Scans with a list that has been read and found usable; `reportLoad` is told of every read of
// the list during the scan. Returns the exit status.
int RunScan(const ScanSettings& settings, engine::SignatureDatabase& database, const LoadReport& reportLoad);

// Writes `text` to the program's error output, after the program's name.
void Complain(const std::string& text);

}  // namespace velquin::cli
