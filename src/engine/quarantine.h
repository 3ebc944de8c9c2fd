#pragma once
// The quarantine: detected files moved into a folder of the user's choosing instead of being
// deleted, with a manifest that says where each came from, so that they can be put back.
//
// The manifest ("manifest.tsv" in the quarantine folder) is a text file of tab-separated lines:
//   Q <stored name> <time, UTC> <permission bits, octal> <original path> <malware name>
//   W <stored name>          (the move did not happen after all)
// Lines starting with "#" are comments. Backslash, tab, newline, carriage return and the other
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
    std::vector<std::size_t> badLines;      // 1-based numbers of lines that could not be read
};
Manifest ParseManifest(std::string_view text);

// An open quarantine folder.
class QuarantineFolder {
public:
    // Opens the folder `path`, creating it (owner-only) when `create` is set.
    static QuarantineFolder Open(const std::string& path, bool create, platform::Error* error = nullptr);

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
// to the manifest before the move, so no file is ever in the quarantine without its origin.
class QuarantineDisposal final : public Disposal {
public:
    explicit QuarantineDisposal(QuarantineFolder& quarantine);
    DisposalResult Dispose(const DetectedFile& file) override;
    std::string_view Action() const override { return "quarantine"; }

private:
    std::string NextStoredName();

    QuarantineFolder& quarantine_;
    std::string currentFolder_;  // makes relative scan paths absolute in the manifest
    unsigned sequence_ = 0;
};

struct RestoreOutcome {
    QuarantineRecord record;
    platform::Error error = platform::Error::None;  // None: the file is back in its place
};

struct RestoreReport {
    platform::Error manifestError = platform::Error::None;  // the manifest could not be read or rewritten
    std::vector<std::size_t> badLines;
    std::vector<RestoreOutcome> outcomes;
};

// Puts every quarantined file back at its original path with its original permission bits. An
// existing file at that path is never replaced, and a missing folder is not created: such files
// stay in the quarantine and in its manifest.
RestoreReport RestoreQuarantine(QuarantineFolder& quarantine);

}  // namespace velquin::engine
