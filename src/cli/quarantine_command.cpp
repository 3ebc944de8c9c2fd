#include "cli/quarantine_command.h"

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
    platform::Error error = platform::Error::None;
    auto quarantine = engine::QuarantineFolder::Open(path, true, &error);
    if (!quarantine.IsOpen()) {
        Complain("cannot use the quarantine folder " + path + ": " + std::string(platform::ErrorMessage(error)));
        return std::nullopt;
    }
    return quarantine;
}

int RunRestore(const std::string& path, std::FILE* out) {
    platform::Error error = platform::Error::None;
    auto quarantine = engine::QuarantineFolder::Open(path, false, &error);
    if (!quarantine.IsOpen()) {
        Complain("cannot open the quarantine folder " + path + ": " + std::string(platform::ErrorMessage(error)));
        return kError;
    }
    const engine::RestoreReport report = engine::RestoreQuarantine(quarantine);
    if (report.manifestError == platform::Error::NotFound && report.outcomes.empty()) {
        Complain(path + " holds no quarantine manifest (" + engine::kManifestName + ")");
        return kError;
    }

    std::size_t restored = 0;
    for (const auto& outcome : report.outcomes) {
        const std::string subject = outcome.record.originalPath + " <== " + outcome.record.malwareName;
        if (outcome.error == platform::Error::None) {
            ++restored;
            PrintLine(out, subject + " Restored...");
        } else {
            PrintLine(out, subject + " Not Restored: " + std::string(platform::ErrorMessage(outcome.error)));
        }
    }
    PrintLine(out, "File Restored : " + std::to_string(restored) + " of " + std::to_string(report.outcomes.size()));
    std::fflush(out);

    if (!report.badLines.empty()) {
        std::string lines;
        for (std::size_t i = 0; i < report.badLines.size(); ++i) lines += (i ? ", " : "") + std::to_string(report.badLines[i]);
        Complain("the manifest of " + path + " has lines that cannot be read, left as they are: " + lines);
    }
    if (report.manifestError != platform::Error::None) {
        Complain("cannot update the manifest of " + path + ": " + std::string(platform::ErrorMessage(report.manifestError)));
    }
    const bool complete = restored == report.outcomes.size() && report.manifestError == platform::Error::None &&
                          report.badLines.empty();
    return complete ? kAllRestored : kError;
}

}  // namespace velquin::cli
