#include "cli/quarantine_command.h"

#include <algorithm>
#include <iostream>

#include "cli/escape.h"

namespace velquin::cli {

namespace {

constexpr int kAllRestored = 0;
constexpr int kError = 2;

void Complain(const std::string& text) { std::cerr << "velquin-scan: " << EscapeForDisplay(text) << '\n'; }

void PrintLine(std::FILE* out, const std::string& line) {
    const std::string text = EscapeForDisplay(line) + '\n';
    std::fwrite(text.data(), 1, text.size(), out);
}

}  // namespace

std::optional<engine::QuarantineFolder> OpenQuarantine(const std::string& path) {
    std::string problem;
    auto quarantine = engine::QuarantineFolder::Open(path, engine::QuarantineUse::Quarantine, &problem);
    if (!quarantine.IsOpen()) {
        Complain("cannot use the quarantine folder " + path + ": " + problem);
        return std::nullopt;
    }
    return quarantine;
}

int RunRestore(const std::string& path, std::FILE* out) {
    std::string problem;
    auto quarantine = engine::QuarantineFolder::Open(path, engine::QuarantineUse::Restore, &problem);
    if (!quarantine.IsOpen()) {
        Complain("cannot restore from the quarantine folder " + path + ": " + problem);
        return kError;
    }
    const engine::RestoreReport report = engine::RestoreQuarantine(quarantine);
    if (report.manifestError == platform::Error::NotFound && report.outcomes.empty()) {
        Complain(path + " holds no quarantine manifest (" + engine::kManifestName + ")");
        return kError;
    }
    if (!report.refusal.empty()) {
        Complain("cannot restore from the quarantine folder " + path + ": " + report.refusal);
        return kError;
    }

    std::size_t restored = 0;
    for (const auto& outcome : report.outcomes) {
        const std::string subject = outcome.record.originalPath + " <== " + outcome.record.malwareName;
        if (outcome.error == platform::Error::None) {
            ++restored;
            PrintLine(out, subject + " Restored...");
        } else {
            PrintLine(out, subject + " Not Restored: " + outcome.reason);
        }
    }
    PrintLine(out, "File Restored : " + std::to_string(restored) + " of " + std::to_string(report.outcomes.size()));
    std::fflush(out);

    if (!report.badLines.empty()) {
        std::string lines;
        for (std::size_t i = 0; i < report.badLines.size(); ++i) lines += (i ? ", " : "") + std::to_string(report.badLines[i]);
        Complain("the manifest of " + path + " has lines that cannot be read, left as they are: " + lines);
    }
    if (!report.unrecorded.empty()) {
        std::string names;
        const std::size_t shown = std::min<std::size_t>(report.unrecorded.size(), 10);
        for (std::size_t i = 0; i < shown; ++i) names += (i ? ", " : "") + report.unrecorded[i];
        if (shown < report.unrecorded.size()) names += " and " + std::to_string(report.unrecorded.size() - shown) + " more";
        Complain(path + " holds " + std::to_string(report.unrecorded.size()) +
                 (report.unrecorded.size() == 1 ? " file" : " files") + " that no record names, left there: " + names);
    }
    if (report.manifestError != platform::Error::None) {
        Complain("cannot update the manifest of " + path + ": " + std::string(platform::ErrorMessage(report.manifestError)));
    }
    const bool complete = restored == report.outcomes.size() && report.manifestError == platform::Error::None &&
                          report.badLines.empty() && report.unrecorded.empty();
    return complete ? kAllRestored : kError;
}

}  // namespace velquin::cli
