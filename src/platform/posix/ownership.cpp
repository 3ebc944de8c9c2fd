// Ownership from the owner and the permission bits. Access control lists are not read: with one,
// the group bits are its mask, so a named user's write permission shows as group write.

#include "platform/ownership.h"
#include "platform/posix/folder.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__linux__)
#include <linux/capability.h>
#include <sys/syscall.h>
#endif

#include <algorithm>
#include <vector>

namespace velquin::platform {

using posix::DescriptorOf;

namespace {

Ownership FromStat(const struct stat& st) {
    Ownership out;
    out.ownedByCurrentUser = st.st_uid == ::geteuid();
    out.othersMayWrite = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    out.othersMayEnter = (st.st_mode & (S_IRWXG | S_IRWXO)) != 0;
    return out;
}

Error StatOf(int fd, struct stat& st) {
    if (fd < 0) return Error::NotFound;
    return ::fstat(fd, &st) == 0 ? Error::None : LastError();
}

// The groups of the user `uid`: its primary group and those the group database lists it in. A
// user without an entry has none.
std::vector<gid_t> GroupsOf(uid_t uid) {
    std::vector<char> buffer(16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return {};
    std::vector<gid_t> groups(64);
    for (;;) {
        int count = static_cast<int>(groups.size());
        if (::getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) >= 0) {
            groups.resize(static_cast<std::size_t>(count));
            return groups;
        }
        if (static_cast<std::size_t>(count) <= groups.size()) return {found->pw_gid};
        groups.resize(static_cast<std::size_t>(count));
    }
}

}  // namespace

Error OwnershipOf(const Folder& folder, Ownership& out) {
    struct stat st;
    const Error error = StatOf(DescriptorOf(folder), st);
    if (error == Error::None) out = FromStat(st);
    return error;
}

Error OwnershipOf(const LockedFile& file, Ownership& out) {
    struct stat st;
    const Error error = StatOf(file.IsOpen() ? static_cast<int>(file.NativeHandle()) : -1, st);
    if (error == Error::None) out = FromStat(st);
    return error;
}

bool RunningAsSuperuser() { return ::geteuid() == 0; }

bool RunningWithExtraRights() {
#if defined(__linux__)
    if (::geteuid() == 0) return false;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    return (data[0].effective | data[1].effective) != 0;
#else
    return false;
#endif
}

Error OwnerMayAddEntries(const Folder& owned, const Folder& folder, bool& may) {
    may = false;
    struct stat owner, target;
    if (const Error error = StatOf(DescriptorOf(owned), owner); error != Error::None) return error;
    if (const Error error = StatOf(DescriptorOf(folder), target); error != Error::None) return error;
    if (owner.st_uid == 0) {
        may = true;
        return Error::None;
    }
    // As the system decides: the owner's bits for the owner, else the group's for a member, else
    // everybody's; adding an entry takes both write and search permission.
    mode_t bits = target.st_mode & S_IRWXO;
    if (target.st_uid == owner.st_uid) {
        bits = (target.st_mode & S_IRWXU) >> 6;
    } else {
        const std::vector<gid_t> groups = GroupsOf(owner.st_uid);
        if (std::find(groups.begin(), groups.end(), target.st_gid) != groups.end()) bits = (target.st_mode & S_IRWXG) >> 3;
    }
    may = (bits & (S_IWOTH | S_IXOTH)) == (S_IWOTH | S_IXOTH);
    return Error::None;
}

}  // namespace velquin::platform
