#pragma once
// The quarantine: detected files moved into a folder of the user's choosing instead of being
// deleted, with a manifest that says where each came from, so that they can be put back.
//
// The manifest ("manifest.tsv" in the quarantine folder) is a text file of tab-separated lines:
//   Q <stored name> <time, UTC> <permission bits, octal> <original path> <malware name>
//   W <stored name>          (the move did not happen after all: withdraws the last record of
//                             that stored name before it)
// Lines starting with "#" are comments; a "# not restored ..." line after a record says why the
// last restore left that file in the quarantine. Backslash, tab, newline, carriage return and the other
// control characters are escaped in the fields (\\ \t \n \r \xHH); every other byte stands as it
// is, so any file name survives the round trip.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/disposal.h"
#include "platform/error.h"
#include "platform/file.h"

namespace velquin::engine {

inline constexpr const char* kManifestName = "manifest.tsv";

struct QuarantineRecord {
    std::string storedName;    // the file's name inside the quarantine folder
    std::string time;          // when it was quarantined, "YYYY-MM-DDTHH:MM:SSZ"
    std::uint32_t mode = 0;    // its permission bits before
    std::string originalPath;  // absolute
    std::string malwareName;
    bool operator==(const QuarantineRecord&) const = default;
};

std::string EscapeManifestField(std::string_view field);
std::string UnescapeManifestField(std::string_view field);
std::string FormatManifestRecord(const QuarantineRecord& record);

struct Manifest {
    std::vector<QuarantineRecord> records;  // in manifest order, withdrawn moves left out
    std::vector<std::size_t> recordLines;   // the 1-based line of each record
    std::vector<std::size_t> badLines;      // 1-based numbers of lines that could not be read
};
Manifest ParseManifest(std::string_view text);

enum class QuarantineUse {
    Quarantine,  // a scan moves detected files in
    Restore,     // a restore puts them back
};

// An open quarantine folder.
class QuarantineFolder {
public:
    // Opens the folder `path` for `use`; a scan's quarantine folder is created (owner-only) when
    // it is missing. What other users could have written is never trusted, so a folder is refused
    // when it is a link, belongs to another user or may be changed by another user; a restore with
    // more rights than an ordinary user's also refuses a folder that any other user may enter.
    // `problem` then says why.
    static QuarantineFolder Open(const std::string& path, QuarantineUse use, std::string* problem = nullptr);

    bool IsOpen() const { return folder_.IsOpen(); }
    const std::string& Path() const { return path_; }
    const platform::Folder& Folder() const { return folder_; }
    // Device and inode of the folder, so that a walk can keep out of it.
    platform::FileIdentity Identity() const { return identity_; }

private:
    platform::Folder folder_;
    std::string path_;
    platform::FileIdentity identity_;
};

// Moves each detected file into the quarantine folder instead of deleting it. The record is written
// to the manifest before the move, so no file is ever in the quarantine without its origin; the
// manifest stays locked from the record to the move, so that runs side by side never mix up
// their records.
class QuarantineDisposal final : public Disposal {
public:
    explicit QuarantineDisposal(QuarantineFolder& quarantine);
    DisposalResult Dispose(const DetectedFile& file) override;
    std::string_view Action() const override { return "quarantine"; }

private:
    std::string NextStoredName();
    std::string OriginalPath(const DetectedFile& file) const;

    QuarantineFolder& quarantine_;
    std::string currentFolder_;  // makes relative scan paths absolute in the manifest
    std::string runTag_;         // sets this run's stored names apart from those of other runs
    unsigned sequence_ = 0;
};

struct RestoreOutcome {
    QuarantineRecord record;
    platform::Error error = platform::Error::None;  // None: the file is back in its place
    std::string reason;                             // why not, for people; empty when restored
};

struct RestoreReport {
    platform::Error manifestError = platform::Error::None;  // the manifest could not be read or rewritten
    std::string refusal;  // why nothing was restored from a manifest that cannot be trusted
    std::vector<std::size_t> badLines;
    std::vector<RestoreOutcome> outcomes;
    std::vector<std::string> unrecorded;  // files in the folder that no record names, left there
};

// Puts every quarantined file back at its original path with its original permission bits, the
// manifest locked throughout. A file goes back only to the very place it was taken from, reached
// without following any link, into a folder that still exists and that the quarantine's owner may
// write to; an existing file there is never replaced. A restore with more rights than the
// folder's owner never sets the set-user-ID, set-group-ID or sticky bit. Files that cannot go
// back stay in the quarantine and in its manifest, with the reason noted beside their record.
RestoreReport RestoreQuarantine(QuarantineFolder& quarantine);

}  // namespace velquin::engine
