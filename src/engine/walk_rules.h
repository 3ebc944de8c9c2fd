#pragma once
// What a walk leaves out and where it does not go: entries that match an exclusion pattern,
// folders it must never enter (where detected files are moved to, say), mount points when it stays
// on the target's file system, and kernel pseudo file systems. Each decision depends only on an
// entry's path, name and description, so a stage that lists and describes entries ahead of the
// walk takes the very same decisions from the same object; nothing here changes during a walk.

#include <string>
#include <string_view>
#include <vector>

#include "engine/glob.h"
#include "platform/file.h"

namespace velquin::engine {

// "." and "..": listed in every folder, checked as entries, never counted as files or entered.
inline bool IsDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

class WalkRules {
public:
    void Exclude(PathGlob pattern) { patterns_.push_back(std::move(pattern)); }
    void ExcludeFolder(const platform::FileIdentity& folder) { excludedFolders_.push_back(folder); }
    // Mount points below the target are entries of their parents, never entered.
    void StayOnFileSystem(bool stay) { stayOnFileSystem_ = stay; }
    // The mount table to read pseudo file systems from; empty: the system's.
    void SetMountTable(std::string path) { mountTable_ = std::move(path); }

    // Sets the decisions up for a walk of the target folder with this identity.
    void BeginTarget(const platform::FileIdentity& target);

    bool HasPatterns() const { return !patterns_.empty(); }
    // Whether an entry matches an exclusion pattern, so that it is neither checked nor entered.
    // `path` is its full path without a trailing separator, of which the last `nameLength`
    // characters are its name; `maybeFolder` is true for a folder and for an entry that could not
    // be described.
    bool Excludes(std::string_view path, std::size_t nameLength, bool maybeFolder) const;

    // Whether `folder` is one the walk must never enter (ExcludeFolder).
    bool KeepsOut(const platform::FileIdentity& folder) const;
    // Whether the walk enters the folder `folder`, met as an entry of the folder `parent`.
    bool Enters(const platform::EntryInfo& folder, const platform::FileIdentity& parent) const;

private:
    std::vector<PathGlob> patterns_;
    std::vector<platform::FileIdentity> excludedFolders_;
    bool stayOnFileSystem_ = false;
    std::string mountTable_;

    platform::FileIdentity target_;
    platform::PseudoFileSystems pseudo_;
    bool targetOnPseudo_ = false;
};

}  // namespace velquin::engine
