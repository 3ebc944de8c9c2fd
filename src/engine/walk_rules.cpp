#include "engine/walk_rules.h"

#include <algorithm>

namespace velquin::engine {

void WalkRules::BeginTarget(const platform::FileIdentity& target) {
    target_ = target;
    pseudo_ = platform::PseudoFileSystems::Load(mountTable_);
    targetOnPseudo_ = pseudo_.Contains(target.device);
}

bool WalkRules::Excludes(std::string_view path, std::size_t nameLength, bool maybeFolder) const {
    const std::string_view name = path.substr(path.size() - nameLength);
    return std::any_of(patterns_.begin(), patterns_.end(),
                       [&](const PathGlob& pattern) { return pattern.Matches(path, name, maybeFolder); });
}

bool WalkRules::KeepsOut(const platform::FileIdentity& folder) const {
    return std::find(excludedFolders_.begin(), excludedFolders_.end(), folder) != excludedFolders_.end();
}

bool WalkRules::Enters(const platform::EntryInfo& folder, const platform::FileIdentity& parent) const {
    const platform::FileIdentity& identity = folder.identity;
    if (KeepsOut(identity)) return false;
    // A folder on another device than its parent's is a mount point.
    if (stayOnFileSystem_ && identity.device != target_.device) return false;
    if (!targetOnPseudo_ && identity.device != parent.device && pseudo_.Contains(identity.device)) return false;
    return true;
}

}  // namespace velquin::engine
