#pragma once
// The command line's quarantine: --quarantine DIR moves detected files there during a scan,
// --restore DIR puts them back.

#include <cstdio>
#include <optional>
#include <string>

#include "engine/quarantine.h"

namespace velquin::cli {

// Opens the quarantine folder for a scan, creating it when needed. Says why on stderr and returns
// nullopt when the folder cannot be used.
std::optional<engine::QuarantineFolder> OpenQuarantine(const std::string& path);

// Puts the files of the quarantine folder back, printing one line per file to `out` and problems
// to stderr; with `json`, also writes the outcome as JSON to that file ("-": to `out`, instead of
// the lines). Returns the exit status: 0 when every file is back, 2 otherwise.
int RunRestore(const std::string& path, std::FILE* out, const std::string& json = {});

}  // namespace velquin::cli
