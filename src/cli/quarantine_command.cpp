#include "cli/quarantine_command.h"

#include <algorithm>
#include <fstream>
#include <iostream>

#include <nlohmann/json.hpp>

#include "cli/escape.h"

namespace velquin::cli {

namespace {

constexpr int kAllRestored = 0;
constexpr int kError = 2;

void Complain(const std::string& text) { std::cerr << "velquin-scan: " << EscapeForDisplay(text) << '\n'; }

void PrintLine(std::FILE* out, const std::string& line) {
    if (!out) return;
    const std::string text = EscapeForDisplay(line) + '\n';
    std::fwrite(text.data(), 1, text.size(), out);
}

std::string JsonReport(const std::string& path, const engine::RestoreReport& report, std::size_t restored,
                       int exitStatus) {
    nlohmann::json json;
    PutText(json, "quarantine", path);
    json["fileRestored"] = restored;
    json["exitStatus"] = exitStatus;
    json["records"] = nlohmann::json::array();
    for (const auto& outcome : report.outcomes) {
        nlohmann::json record;
        PutText(record, "path", outcome.record.originalPath);
        PutText(record, "malwareName", outcome.record.malwareName);
        PutText(record, "storedName", outcome.record.storedName);
        record["restored"] = outcome.error == platform::Error::None;
        if (outcome.error != platform::Error::None) record["reason"] = outcome.reason;
        json["records"].push_back(std::move(record));
    }
    json["unrecorded"] = nlohmann::json::array();
    for (const std::string& name : report.unrecorded) {
        nlohmann::json entry;
        PutText(entry, "storedName", name);
        json["unrecorded"].push_back(std::move(entry));
    }
    json["badLines"] = report.badLines;
    if (report.manifestError != platform::Error::None) json["manifestError"] = platform::ErrorMessage(report.manifestError);
    return json.dump(2) + "\n";
}

// Writes the report to `path`, or to `out` for "-". False when it could not be written.
bool WriteJson(const std::string& path, const std::string& report, std::FILE* out) {
    if (path == "-") return std::fwrite(report.data(), 1, report.size(), out) == report.size() && std::fflush(out) == 0;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << report;
    file.close();
    return static_cast<bool>(file);
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

int RunRestore(const std::string& path, std::FILE* out, const std::string& json) {
    std::FILE* lineOutput = json == "-" ? nullptr : out;
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
            PrintLine(lineOutput, subject + " Restored...");
        } else {
            PrintLine(lineOutput, subject + " Not Restored: " + outcome.reason);
        }
    }
    PrintLine(lineOutput, "File Restored : " + std::to_string(restored) + " of " + std::to_string(report.outcomes.size()));
    if (lineOutput) std::fflush(lineOutput);

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
    int status = complete ? kAllRestored : kError;
    if (!json.empty() && !WriteJson(json, JsonReport(path, report, restored, status), out)) {
        Complain("cannot write the JSON report " + json);
        status = kError;
    }
    return status;
}

}  // namespace velquin::cli
