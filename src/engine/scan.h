#pragma once
// The folder walk: every entry of a folder goes through the file check before its subfolders are
// walked, each subtree complete before the next starts. The walk is iterative and works relative
// to folder handles, so neither the depth of a tree nor the length of its paths limits it. With
// more than one job, worker threads read folders ahead of it (engine/read_ahead.h); everything the
// walk reports or does stays on the calling thread, in the same order.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/database.h"
#include "engine/disposal.h"
#include "engine/glob.h"
#include "engine/read_ahead.h"
#include "engine/sink.h"
#include "engine/walk_rules.h"
#include "platform/file.h"

namespace velquin::engine {

class FolderScan {
public:
    FolderScan(SignatureDatabase& database, ScanSink& sink, ProcessActions& processes,
               Disposal& disposal);

    enum class Target {
        Folder,        // the target must be a folder
        FolderOrFile,  // a target that is no folder is checked as one entry of its folder
    };

    // Opens the target of the next walk: `path` with or without a trailing separator. False when
    // the sink's run flag is down already, or when the target cannot be opened (TargetError says
    // why; the sink has been told). Not re-entrant: one walk at a time per object.
    bool OpenTarget(std::string_view path, Target accepted);
    // Walks the tree below the opened target, or checks the file that it is.
    void WalkTarget();
    // Opens the folder `path` and walks the tree below it.
    void ScanFolder(std::string_view path) {
        if (OpenTarget(path, Target::Folder)) WalkTarget();
    }

    // The file check of one entry: fingerprint, lookup, and for a detected file the process
    // handling, List2, the disposal and the log line. `folderPath` ends with the separator.
    void CheckFolderEntry(const platform::Folder& folder, std::string_view folderPath,
                          const char* name);

    std::uint64_t FilesScanned() const { return filesScanned_; }
    std::uint64_t FoldersScanned() const { return foldersScanned_; }
    // Entries that matched an exclusion pattern (what lies below an excluded folder is not seen).
    std::uint64_t EntriesExcluded() const { return entriesExcluded_; }
    void ResetCounters() { filesScanned_ = foldersScanned_ = entriesExcluded_ = 0; }

    // Entries that match `pattern` are neither checked nor entered, nor counted as scanned.
    void Exclude(PathGlob pattern) { rules_.Exclude(std::move(pattern)); }
    // A folder the walk must never enter (for instance where detected files are moved to).
    void ExcludeFolder(const platform::FileIdentity& folder) { rules_.ExcludeFolder(folder); }
    // Mount points below the target are entries of their parents, never entered.
    void StayOnFileSystem(bool stay) { rules_.StayOnFileSystem(stay); }
    // The mount table to read pseudo file systems from; empty: the system's.
    void SetMountTable(std::string path) { rules_.SetMountTable(std::move(path)); }
    // Threads that read the file system during a walk: this one and jobs - 1 read-ahead workers.
    // 1 (the default) reads everything on this thread, one step at a time.
    void SetJobs(unsigned jobs) { jobs_ = jobs < 1 ? 1 : jobs; }

    // Why the last ScanFolder could not open its target; None when it could.
    platform::Error TargetError() const { return targetError_; }

private:
    struct Frame {
        std::shared_ptr<ReadAhead::Node> node;
        const FolderRead* read;  // its folder handle is closed while far above the deepest folder
        std::size_t pathLength;  // this folder's path is path_ up to here
        std::size_t next = 0;    // the next of read->subfolders to walk
    };

    bool TargetExcluded(bool maybeFolder) const;
    void ProcessFolder(const Frame& frame);
    void ExamineEntry(const platform::Folder& folder, std::string_view folderPath, const char* name,
                      std::size_t nameLength, const platform::EntryInfo& info, platform::Error statError,
                      const FingerprintResult* readAhead = nullptr);
    void CheckEntry(const platform::Folder& folder, std::string_view folderPath, const char* name,
                    std::size_t nameLength, const platform::EntryInfo& info, platform::Error statError,
                    const FingerprintResult* readAhead);
    void LimitOpenFolders();
    bool ReopenFolder(std::size_t index);
    void ShowEntry(std::string_view folderPath, std::string_view name, std::string_view tag);

    SignatureDatabase& database_;
    ScanSink& sink_;
    ProcessActions& processes_;
    Disposal& disposal_;

    std::uint64_t filesScanned_ = 0;
    std::uint64_t foldersScanned_ = 0;
    std::uint64_t entriesExcluded_ = 0;
    WalkRules rules_;
    unsigned jobs_ = 1;
    platform::Error targetError_ = platform::Error::None;

    // The opened target: a folder, or the folder of the file that is the target.
    platform::Folder target_;
    std::string targetFolderPath_;    // a file target's folder as given, with its separator (or empty)
    std::string targetName_;          // a file target's name; empty for a folder target
    platform::EntryInfo targetInfo_;  // a file target's description

    std::unique_ptr<ReadAhead> readAhead_;  // during a walk
    std::vector<Frame> frames_;
    std::size_t firstOpen_ = 1;  // frames below this index, except the target's, have no handle
    std::string path_;           // the path of the deepest folder on the walk
    std::string text_;           // scratch for texts shown and logged
    std::string entryPath_;
};

}  // namespace velquin::engine
