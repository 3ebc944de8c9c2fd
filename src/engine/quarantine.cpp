#include "engine/quarantine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>

#include "platform/transfer.h"

namespace velquin::engine {

namespace {

constexpr std::string_view kManifestHeader =
    "# velquin quarantine manifest\n"
    "# Q stored-name time mode original-path malware-name | W stored-name\n";

// Quarantined files keep no execute bit and no write bit for anyone but their owner, who can
// always read them.
constexpr platform::ModeChange kStoredMode{0644, 0400};

std::string UtcNow(bool compact) {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{now - day};
    char text[32];
    std::snprintf(text, sizeof text, compact ? "%04d%02u%02uT%02ld%02ld%02ldZ" : "%04d-%02u-%02uT%02ld:%02ld:%02ldZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<long>(time.hours().count()),
                  static_cast<long>(time.minutes().count()), static_cast<long>(time.seconds().count()));
    return text;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const auto tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return fields;
        line.remove_prefix(tab + 1);
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A stored name must name an entry of the quarantine folder itself: a manifest that was tampered
// with must not move anything from elsewhere.
bool IsPlainEntryName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name != kManifestName &&
           name.find('/') == std::string_view::npos && name.find('\\') == std::string_view::npos;
}

enum class LineKind { Blank, Record, Withdrawal, Bad };

LineKind ParseLine(std::string_view line, QuarantineRecord& record) {
    if (line.empty() || line.front() == '#') return LineKind::Blank;
    const auto fields = SplitTabs(line);
    if (fields[0] == "W" && fields.size() == 2) {
        record.storedName = UnescapeManifestField(fields[1]);
        return IsPlainEntryName(record.storedName) ? LineKind::Withdrawal : LineKind::Bad;
    }
    if (fields[0] != "Q" || fields.size() != 6) return LineKind::Bad;
    record.storedName = UnescapeManifestField(fields[1]);
    record.time = UnescapeManifestField(fields[2]);
    record.originalPath = UnescapeManifestField(fields[4]);
    record.malwareName = UnescapeManifestField(fields[5]);
    const auto mode = fields[3];
    if (mode.empty() || mode.size() > 5 || mode.find_first_not_of("01234567") != std::string_view::npos) {
        return LineKind::Bad;
    }
    record.mode = static_cast<std::uint32_t>(std::stoul(std::string(mode), nullptr, 8)) & 07777;
    const bool pathUsable = record.originalPath.size() > 1 && platform::IsAbsolutePath(record.originalPath) &&
                            record.originalPath.find('\0') == std::string::npos;
    if (!IsPlainEntryName(record.storedName) || !pathUsable) return LineKind::Bad;
    return LineKind::Record;
}

template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
    std::size_t number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        visit(++number, line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

platform::Error RestoreOne(QuarantineFolder& quarantine, const QuarantineRecord& record) {
    const auto slash = record.originalPath.rfind(platform::kPathSeparator);
    const std::string name = record.originalPath.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") return platform::Error::NotFound;
    platform::Error error = platform::Error::None;
    // The folder is not created: a file only goes back to a place that still exists.
    const auto parent = platform::Folder::Open(record.originalPath.substr(0, slash + 1), &error);
    if (!parent.IsOpen()) return error == platform::Error::None ? platform::Error::NotFound : error;

    platform::EntryInfo stored;
    error = quarantine.Folder().EntryInfoOf(record.storedName.c_str(), stored);
    if (error != platform::Error::None) return error;
    if (stored.kind != platform::EntryKind::Regular) return platform::Error::NotRegularFile;
    return platform::MoveFile(quarantine.Folder(), record.storedName.c_str(), stored.identity, parent,
                              name.c_str(), platform::ModeChange{0, record.mode});
}

}  // namespace

std::string EscapeManifestField(std::string_view field) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(field.size());
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    out += "\\x";
                    out += kHex[byte >> 4];
                    out += kHex[byte & 0xF];
                } else {
                    out += c;
                }
        }
    }
    return out;
}

std::string UnescapeManifestField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char next = field[++i];
        if (next == '\\') out += '\\';
        else if (next == 't') out += '\t';
        else if (next == 'n') out += '\n';
        else if (next == 'r') out += '\r';
        else if (next == 'x' && i + 2 < field.size() && HexValue(field[i + 1]) >= 0 && HexValue(field[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(field[i + 1]) * 16 + HexValue(field[i + 2]));
            i += 2;
        } else {
            out += '\\';
            out += next;
        }
    }
    return out;
}

std::string FormatManifestRecord(const QuarantineRecord& record) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(record.mode & 07777));
    return "Q\t" + EscapeManifestField(record.storedName) + "\t" + EscapeManifestField(record.time) + "\t" + mode +
           "\t" + EscapeManifestField(record.originalPath) + "\t" + EscapeManifestField(record.malwareName) + "\n";
}

Manifest ParseManifest(std::string_view text) {
    Manifest manifest;
    std::set<std::string> withdrawn;
    ForEachLine(text, [&](std::size_t number, std::string_view line) {
        QuarantineRecord record;
        switch (ParseLine(line, record)) {
            case LineKind::Record: manifest.records.push_back(std::move(record)); break;
            case LineKind::Withdrawal: withdrawn.insert(record.storedName); break;
            case LineKind::Bad: manifest.badLines.push_back(number); break;
            case LineKind::Blank: break;
        }
    });
    std::erase_if(manifest.records, [&](const QuarantineRecord& r) { return withdrawn.count(r.storedName) != 0; });
    return manifest;
}

QuarantineFolder QuarantineFolder::Open(const std::string& path, bool create, platform::Error* error) {
    QuarantineFolder quarantine;
    platform::Error result = create ? platform::CreatePrivateFolder(path) : platform::Error::None;
    if (result == platform::Error::None) quarantine.folder_ = platform::Folder::Open(path, &result);
    platform::EntryInfo info;
    if (result == platform::Error::None && quarantine.folder_.IsOpen()) result = quarantine.folder_.Info(info);
    if (result != platform::Error::None) quarantine.folder_ = platform::Folder();
    quarantine.path_ = path;
    quarantine.identity_ = info.identity;
    if (error) *error = result;
    return quarantine;
}

QuarantineDisposal::QuarantineDisposal(QuarantineFolder& quarantine) : quarantine_(quarantine) {
    std::error_code ignored;
    currentFolder_ = std::filesystem::current_path(ignored).string();
}

std::string QuarantineDisposal::NextStoredName() {
    for (;;) {
        std::string name = "q" + UtcNow(true) + "-" + std::to_string(++sequence_);
        platform::EntryInfo info;
        if (quarantine_.Folder().EntryInfoOf(name.c_str(), info) == platform::Error::NotFound) return name;
    }
}

DisposalResult QuarantineDisposal::Dispose(const DetectedFile& file) {
    DisposalResult result;
    if (!quarantine_.IsOpen()) {
        result.error = platform::Error::NotFound;
        return result;
    }
    QuarantineRecord record;
    result.error = platform::PermissionsOf(file.folder, file.name, record.mode);
    if (result.error != platform::Error::None) return result;
    record.time = UtcNow(false);
    record.malwareName = std::string(file.malwareName);
    record.originalPath = platform::IsAbsolutePath(file.path)
                              ? std::string(file.path)
                              : currentFolder_ + platform::kPathSeparator + std::string(file.path);

    platform::EntryInfo manifestInfo;
    const bool firstRecord =
        quarantine_.Folder().EntryInfoOf(kManifestName, manifestInfo) == platform::Error::NotFound;
    // A name taken by somebody else between the check and the move costs one more attempt.
    for (int attempt = 0; attempt < 3; ++attempt) {
        record.storedName = NextStoredName();
        const std::string line = FormatManifestRecord(record);
        result.error = platform::AppendToFile(quarantine_.Folder(), kManifestName,
                                              firstRecord && attempt == 0 ? std::string(kManifestHeader) + line : line);
        if (result.error != platform::Error::None) return result;

        result.error = platform::MoveFile(file.folder, file.name, file.identity, quarantine_.Folder(),
                                          record.storedName.c_str(), kStoredMode);
        if (result.error == platform::Error::None) {
            result.gone = true;
            return result;
        }
        platform::AppendToFile(quarantine_.Folder(), kManifestName,
                               "W\t" + EscapeManifestField(record.storedName) + "\n");
        if (result.error != platform::Error::Exists) return result;
    }
    return result;
}

RestoreReport RestoreQuarantine(QuarantineFolder& quarantine) {
    RestoreReport report;
    std::string text;
    report.manifestError = platform::ReadWholeFile(quarantine.Folder(), kManifestName, text);
    if (report.manifestError != platform::Error::None) return report;
    const Manifest manifest = ParseManifest(text);
    report.badLines = manifest.badLines;

    std::set<std::string> settled;  // restored, or withdrawn: no longer part of the quarantine
    for (const auto& record : manifest.records) {
        RestoreOutcome outcome{record, RestoreOne(quarantine, record)};
        if (outcome.error == platform::Error::None) settled.insert(record.storedName);
        report.outcomes.push_back(std::move(outcome));
    }

    // Rewrite the manifest with what is still in the quarantine; lines it cannot read stay.
    std::string kept;
    bool changed = false;
    ForEachLine(text, [&](std::size_t, std::string_view line) {
        QuarantineRecord record;
        const LineKind kind = ParseLine(line, record);
        const bool stillHeld = std::any_of(manifest.records.begin(), manifest.records.end(),
                                           [&](const QuarantineRecord& r) { return r.storedName == record.storedName; });
        if (kind == LineKind::Withdrawal || (kind == LineKind::Record && (!stillHeld || settled.count(record.storedName)))) {
            changed = true;
            return;
        }
        if (!line.empty()) kept.append(line).append("\n");
    });
    if (changed) report.manifestError = platform::ReplaceFileContents(quarantine.Folder(), kManifestName, kept);
    return report;
}

}  // namespace velquin::engine
