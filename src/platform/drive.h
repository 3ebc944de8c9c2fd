#pragma once
// Drives as the scan console sees them: which drive letters stand for a removable drive, and how a
// drive-letter path such as "X:\" becomes a path of the running system.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velquin::platform {

enum class PathStyle { Posix, Windows };

// The path a drive-letter target names on a system of `style`. Windows paths stand as they are.
// On POSIX, "X:\dir\" becomes "/mnt/x/dir/" (where mounted Windows volumes live in rescue and
// compatibility set-ups), and drive C: becomes "/" when `systemDriveMounted` is false, i.e. when
// there is no /mnt/c. "X:" alone names the drive's root ("/mnt/x"). Anything that is not a
// drive-letter path is returned unchanged.
std::string NativeTargetPath(std::string_view target, PathStyle style, bool systemDriveMounted);

// The same for the running system, looking up whether /mnt/c exists.
std::string NativeTargetPath(std::string_view target);

// The style of the running system.
PathStyle NativePathStyle();

// Answers, for a candidate drive "D:" to "P:", whether it is a removable drive, and with which
// root the scan console should record it.
//
// On Windows a candidate is removable when the system's drive-type query says so, and the root is
// the candidate itself ("E:"). POSIX has no drive letters: there the removable drives mounted now
// are numbered in mount-table order and given the candidates in turn, D: the first, E: the second
// and so on, and the root is the drive's mount point without a trailing separator. A watcher that
// stops at the first removable candidate therefore records the first removable drive of the
// mount table.
class RemovableDriveQuery {
public:
    virtual ~RemovableDriveQuery() = default;
    virtual std::optional<std::string> RemovableRoot(std::string_view candidate) = 0;
};

struct SystemRoots {
    std::string proc = "/proc";  // for the mount table, proc/self/mountinfo
    std::string sys = "/sys";    // for the block devices' "removable" flags
};

// The mount points of removable drives mounted now, in mount-table order, each without a trailing
// separator ("/" stays "/"). Optical drives do not count: they are a drive type of their own.
std::vector<std::string> RemovableMountPoints(const SystemRoots& roots = {});

std::unique_ptr<RemovableDriveQuery> OpenRemovableDriveQuery(const SystemRoots& roots = {});

}  // namespace velquin::platform
