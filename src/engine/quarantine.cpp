#include "engine/quarantine.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <set>
#include <unordered_map>

#include "platform/ownership.h"
#include "platform/transfer.h"

namespace velquin::engine {

namespace {

constexpr std::string_view kManifestHeader =
    "# velquin quarantine manifest\n"
    "# Q stored-name time mode original-path malware-name | W stored-name\n";

// Written after a record that a restore had to leave, with the time and the reason.
constexpr std::string_view kNotRestoredNote = "# not restored ";

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

RestoreOutcome RestoreOne(const QuarantineFolder& quarantine, const QuarantineRecord& record, bool outranksOwner) {
    RestoreOutcome outcome{record, platform::Error::None, {}};
    const auto fail = [&outcome](platform::Error error, std::string_view reason = {}) {
        outcome.error = error;
        outcome.reason = reason.empty() ? platform::ErrorMessage(error) : reason;
        return outcome;
    };
    const auto slash = record.originalPath.rfind(platform::kPathSeparator);
    const std::string name = record.originalPath.substr(slash + 1);
    if (slash == std::string::npos || name.empty() || name == "." || name == "..") return fail(platform::Error::NotFound);

    // The folder is walked to from the root and never created: a file goes back only to the very
    // place it came from, and only while that place still exists.
    platform::Error error = platform::Error::None;
    const auto parent = platform::Folder::OpenAlongPath(record.originalPath.substr(0, slash + 1), &error);
    if (!parent.IsOpen()) {
        if (error == platform::Error::TooManyLinks) return fail(error, "a folder on the way there is a link");
        return fail(error == platform::Error::None ? platform::Error::NotFound : error);
    }
    // With rights beyond its own user's, the restore could write where the quarantine's owner
    // could not; the system's own check stands in for the owner otherwise.
    if (outranksOwner) {
        bool may = false;
        error = platform::OwnerMayAddEntries(quarantine.Folder(), parent, may);
        if (error != platform::Error::None) return fail(error);
        if (!may) return fail(platform::Error::AccessDenied, "the quarantine's owner may not write to that folder");
    }

    platform::EntryInfo stored;
    error = quarantine.Folder().EntryInfoOf(record.storedName.c_str(), stored);
    if (error == platform::Error::NotFound) return fail(error, "the quarantined file is missing");
    if (error != platform::Error::None) return fail(error);
    if (stored.kind != platform::EntryKind::Regular) return fail(platform::Error::NotRegularFile);
    const std::uint32_t mode = outranksOwner ? record.mode & 0777 : record.mode;
    error = platform::MoveFile(quarantine.Folder(), record.storedName.c_str(), stored.identity, parent, name.c_str(),
                               platform::ModeChange{0, mode});
    if (error != platform::Error::None) return fail(error);
    return outcome;
}

// The manifest without what the restore settled: records of files put back, withdrawn moves and
// their withdrawals, blank lines and the notes of the previous restore. Every record left gets a
// note with the reason; lines that cannot be read stay as they are.
std::string RemainingManifest(std::string_view text, const Manifest& manifest,
                              const std::vector<RestoreOutcome>& outcomes) {
    const std::string now = UtcNow(false);
    std::string kept;
    std::size_t next = 0;  // the next record, in line order
    ForEachLine(text, [&](std::size_t number, std::string_view line) {
        if (line.empty() || line.starts_with(kNotRestoredNote)) return;
        QuarantineRecord record;
        const LineKind kind = ParseLine(line, record);
        if (kind == LineKind::Withdrawal) return;
        if (kind == LineKind::Record) {
            if (next == manifest.recordLines.size() || manifest.recordLines[next] != number) return;  // withdrawn
            const RestoreOutcome& outcome = outcomes[next++];
            if (outcome.error == platform::Error::None) return;
            kept.append(line).append("\n");
            kept.append(kNotRestoredNote).append(now).append(": ").append(EscapeManifestField(outcome.reason)).append("\n");
            return;
        }
        kept.append(line).append("\n");
    });
    return kept;
}

// Entries of the quarantine folder that no record left in the manifest names.
std::vector<std::string> UnrecordedFiles(const QuarantineFolder& quarantine, const std::vector<RestoreOutcome>& outcomes) {
    std::set<std::string, std::less<>> held;
    for (const auto& outcome : outcomes) {
        if (outcome.error != platform::Error::None) held.insert(outcome.record.storedName);
    }
    const std::string replacement = std::string(kManifestName) + ".new-";  // left by an interrupted rewrite
    platform::NameList names;
    quarantine.Folder().ListNames(names);
    std::vector<std::string> unrecorded;
    for (std::size_t i = 0; i < names.Size(); ++i) {
        const std::string_view name(names.Name(i), names.Length(i));
        if (name == "." || name == ".." || name == kManifestName || name.starts_with(replacement) || held.count(name)) {
            continue;
        }
        unrecorded.emplace_back(name);
    }
    return unrecorded;
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
    std::vector<bool> withdrawn;
    std::unordered_map<std::string, std::vector<std::size_t>> liveByName;  // records not withdrawn, by stored name
    ForEachLine(text, [&](std::size_t number, std::string_view line) {
        QuarantineRecord record;
        switch (ParseLine(line, record)) {
            case LineKind::Record:
                liveByName[record.storedName].push_back(manifest.records.size());
                manifest.records.push_back(std::move(record));
                manifest.recordLines.push_back(number);
                withdrawn.push_back(false);
                break;
            case LineKind::Withdrawal: {
                // A withdrawal answers the last record of that name before it, and only that one.
                const auto found = liveByName.find(record.storedName);
                if (found != liveByName.end() && !found->second.empty()) {
                    withdrawn[found->second.back()] = true;
                    found->second.pop_back();
                }
                break;
            }
            case LineKind::Bad: manifest.badLines.push_back(number); break;
            case LineKind::Blank: break;
        }
    });
    std::size_t kept = 0;
    for (std::size_t i = 0; i < manifest.records.size(); ++i) {
        if (withdrawn[i]) continue;
        if (kept != i) {
            manifest.records[kept] = std::move(manifest.records[i]);
            manifest.recordLines[kept] = manifest.recordLines[i];
        }
        ++kept;
    }
    manifest.records.resize(kept);
    manifest.recordLines.resize(kept);
    return manifest;
}

QuarantineFolder QuarantineFolder::Open(const std::string& path, QuarantineUse use, std::string* problem) {
    QuarantineFolder quarantine;
    quarantine.path_ = path;
    const auto refuse = [&](std::string_view why) {
        if (problem) *problem = why;
        quarantine.folder_ = platform::Folder();
        return std::move(quarantine);
    };
    if (use == QuarantineUse::Quarantine) {
        const platform::Error created = platform::CreatePrivateFolder(path);
        if (created != platform::Error::None && created != platform::Error::Exists) {
            return refuse(platform::ErrorMessage(created));
        }
    }
    platform::Error error = platform::Error::None;
    quarantine.folder_ = platform::Folder::OpenRefusingLink(path, &error);
    if (!quarantine.folder_.IsOpen()) return refuse(platform::ErrorMessage(error));
    platform::Ownership ownership;
    platform::EntryInfo info;
    error = platform::OwnershipOf(quarantine.folder_, ownership);
    if (error == platform::Error::None) error = quarantine.folder_.Info(info);
    if (error != platform::Error::None) return refuse(platform::ErrorMessage(error));
    if (!ownership.ownedByCurrentUser) return refuse("it belongs to another user");
    if (ownership.othersMayWrite) return refuse("other users may write to it");
    if (use == QuarantineUse::Restore && ownership.othersMayEnter &&
        (platform::RunningAsSuperuser() || platform::RunningWithExtraRights())) {
        return refuse("other users may enter it, and a restore with the superuser's rights takes files only "
                      "from a folder private to its owner");
    }
    quarantine.identity_ = info.identity;
    if (problem) problem->clear();
    return quarantine;
}

QuarantineDisposal::QuarantineDisposal(QuarantineFolder& quarantine) : quarantine_(quarantine) {
    std::error_code ignored;
    currentFolder_ = std::filesystem::current_path(ignored).string();
    char tag[16];
    std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(std::random_device{}()));
    runTag_ = tag;
}

std::string QuarantineDisposal::NextStoredName() {
    for (;;) {
        std::string name = "q";
        name.append(UtcNow(true)).append("-").append(runTag_).append("-").append(std::to_string(++sequence_));
        platform::EntryInfo info;
        if (quarantine_.Folder().EntryInfoOf(name.c_str(), info) == platform::Error::NotFound) return name;
    }
}

// Where the file lies, as the system resolves its folder, so that a restore can walk back to it
// without following links; the scan's own path where the system cannot tell.
std::string QuarantineDisposal::OriginalPath(const DetectedFile& file) const {
    std::string folder;
    if (file.folder.Path(folder) == platform::Error::None) {
        if (folder.back() != platform::kPathSeparator) folder.push_back(platform::kPathSeparator);
        return folder + file.name;
    }
    return platform::IsAbsolutePath(file.path) ? std::string(file.path)
                                               : currentFolder_ + platform::kPathSeparator + std::string(file.path);
}

DisposalResult QuarantineDisposal::Dispose(const DetectedFile& file) {
    DisposalResult result;
    if (!quarantine_.IsOpen()) {
        result.error = platform::Error::NotFound;
        return result;
    }
    // Held from the record to the move: another run's record and move never come in between.
    platform::LockedFile manifest = platform::LockedFile::Open(quarantine_.Folder(), kManifestName, true, &result.error);
    if (!manifest.IsOpen()) return result;
    QuarantineRecord record;
    result.error = platform::PermissionsOf(file.folder, file.name, record.mode);
    if (result.error != platform::Error::None) return result;
    record.time = UtcNow(false);
    record.malwareName = std::string(file.malwareName);
    record.originalPath = OriginalPath(file);

    platform::EntryInfo manifestInfo;
    const bool firstRecord = quarantine_.Folder().EntryInfoOf(kManifestName, manifestInfo) == platform::Error::None &&
                             manifestInfo.size == 0;
    // The move creates the stored name exclusively; a name taken by somebody else all the same
    // costs one more attempt under a new name.
    for (int attempt = 0; attempt < 3; ++attempt) {
        record.storedName = NextStoredName();
        const std::string line = FormatManifestRecord(record);
        result.error = manifest.Append(firstRecord && attempt == 0 ? std::string(kManifestHeader) + line : line);
        if (result.error != platform::Error::None) return result;

        result.error = platform::MoveFile(file.folder, file.name, file.identity, quarantine_.Folder(),
                                          record.storedName.c_str(), kStoredMode);
        if (result.error == platform::Error::None) {
            result.gone = true;
            return result;
        }
        manifest.Append("W\t" + EscapeManifestField(record.storedName) + "\n");
        if (result.error != platform::Error::Exists) return result;
    }
    return result;
}

RestoreReport RestoreQuarantine(QuarantineFolder& quarantine) {
    RestoreReport report;
    // Held to the end: no scan adds a record while the restore reads and rewrites the manifest.
    platform::LockedFile manifestFile =
        platform::LockedFile::Open(quarantine.Folder(), kManifestName, false, &report.manifestError);
    if (!manifestFile.IsOpen()) return report;
    platform::Ownership ownership;
    report.manifestError = platform::OwnershipOf(manifestFile, ownership);
    if (report.manifestError != platform::Error::None) return report;
    if (!ownership.ownedByCurrentUser || ownership.othersMayWrite) {
        report.refusal = "its manifest belongs to another user or other users may write to it";
        return report;
    }
    std::string text;
    report.manifestError = manifestFile.Read(text);
    if (report.manifestError != platform::Error::None) return report;
    const Manifest manifest = ParseManifest(text);
    report.badLines = manifest.badLines;

    const bool outranksOwner = platform::RunningWithExtraRights();
    for (const auto& record : manifest.records) report.outcomes.push_back(RestoreOne(quarantine, record, outranksOwner));

    const std::string remaining = RemainingManifest(text, manifest, report.outcomes);
    if (remaining != text) report.manifestError = manifestFile.Replace(remaining);
    report.unrecorded = UnrecordedFiles(quarantine, report.outcomes);
    return report;
}

}  // namespace velquin::engine
