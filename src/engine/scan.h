#pragma once
// The folder walk: every entry of a folder goes through the file check before its subfolders are
// walked, each subtree complete before the next starts. The walk is iterative and works relative
// to folder handles, so neither the depth of a tree nor the length of its paths limits it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/database.h"
#include "engine/disposal.h"
#include "engine/sink.h"
#include "platform/file.h"

namespace velquin::engine {

class FolderScan {
public:
    FolderScan(SignatureDatabase& database, ScanSink& sink, ProcessActions& processes,
               Disposal& disposal);

    // Walks the tree below `path` (with or without a trailing separator) unless the sink's run flag
    // is down already. Not re-entrant: one walk at a time per object.
    void ScanFolder(std::string_view path);

    // The file check of one entry: fingerprint, lookup, and for a detected file the process
    // handling, List2, the disposal and the log line. `folderPath` ends with the separator.
    void CheckFolderEntry(const platform::Folder& folder, std::string_view folderPath,
                          const char* name);

    std::uint64_t FilesScanned() const { return filesScanned_; }
    std::uint64_t FoldersScanned() const { return foldersScanned_; }
    void ResetCounters() { filesScanned_ = foldersScanned_ = 0; }

    // A folder the walk must never enter (for instance where detected files are moved to).
    void ExcludeFolder(const platform::FileIdentity& folder) { excluded_.push_back(folder); }
    // The mount table to read pseudo file systems from; empty: the system's.
    void SetMountTable(std::string path) { mountTable_ = std::move(path); }

    // Why the last ScanFolder could not open its target; None when it could.
    platform::Error TargetError() const { return targetError_; }

private:
    struct Frame {
        platform::Folder folder;  // closed while far below the deepest folder (see LimitOpenFolders)
        platform::FileIdentity identity;
        std::size_t pathLength;   // this folder's path is path_ up to here
        platform::NameList subfolders;
        std::vector<bool> undescribed;  // per subfolder: its description failed, already reported
        std::size_t next = 0;
    };

    void ProcessFolder(Frame& frame);
    bool IsWalkable(const platform::EntryInfo& info, const platform::FileIdentity& parent) const;
    void CheckEntry(const platform::Folder& folder, std::string_view folderPath, const char* name,
                    std::size_t nameLength, const platform::EntryInfo& info, platform::Error statError);
    void LimitOpenFolders();
    bool ReopenFolder(std::size_t index);
    void ShowEntry(std::string_view folderPath, std::string_view name, std::string_view tag);

    SignatureDatabase& database_;
    ScanSink& sink_;
    ProcessActions& processes_;
    Disposal& disposal_;

    std::uint64_t filesScanned_ = 0;
    std::uint64_t foldersScanned_ = 0;
    std::vector<platform::FileIdentity> excluded_;
    std::string mountTable_;
    platform::PseudoFileSystems pseudo_;
    bool targetOnPseudo_ = false;
    platform::Error targetError_ = platform::Error::None;

    std::vector<Frame> frames_;
    std::size_t firstOpen_ = 1;  // frames below this index, except the target's, have no handle
    std::string path_;           // the path of the deepest folder on the walk
    platform::NameList names_;   // listing of the folder in progress, reused folder after folder
    std::vector<platform::EntryInfo> infos_;
    std::vector<platform::Error> statErrors_;
    std::string text_;           // scratch for texts shown and logged
    std::string entryPath_;
};

}  // namespace velquin::engine
