#pragma once
// What becomes of a detected file once its processes are dealt with: deleted, moved away, or left
// in place for a dry run. A disposal step always works relative to the file's parent folder and
// acts only on the very file that was fingerprinted.

#include <string_view>

#include "platform/error.h"
#include "platform/file.h"

namespace velquin::engine {

struct DetectedFile {
    const platform::Folder& folder;   // the parent folder, open
    const char* name;                 // the entry's name in that folder
    platform::FileIdentity identity;  // device and inode of the file that was fingerprinted
    std::string_view path;            // full path, for messages and manifests
    std::string_view malwareName;
};

struct DisposalResult {
    bool gone = false;  // the file is no longer at its place
    platform::Error error = platform::Error::None;
};

class Disposal {
public:
    virtual ~Disposal() = default;
    // Disposes of the file; must report `gone` only when the entry really is gone.
    virtual DisposalResult Dispose(const DetectedFile& file) = 0;
    // A short word for reports: "delete", "quarantine", "none".
    virtual std::string_view Action() const = 0;
    // False for a step that leaves files in place on purpose (a dry run).
    virtual bool RemovesFiles() const { return true; }
};

// Removes the file from its folder if it is still the same regular file; never through a link.
platform::Error ForceDelete(const platform::Folder& folder, const char* name,
                            const platform::FileIdentity& identity);

class DeleteDisposal final : public Disposal {
public:
    DisposalResult Dispose(const DetectedFile& file) override;
    std::string_view Action() const override { return "delete"; }
};

// Leaves every detected file where it is.
class KeepDisposal final : public Disposal {
public:
    DisposalResult Dispose(const DetectedFile&) override { return {}; }
    std::string_view Action() const override { return "none"; }
    bool RemovesFiles() const override { return false; }
};

}  // namespace velquin::engine
