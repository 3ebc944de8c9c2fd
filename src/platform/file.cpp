#include "platform/file.h"

#include <algorithm>
#include <array>

namespace velquin::platform {

bool PseudoFileSystems::IsPseudoType(std::string_view type) {
    static constexpr std::array<std::string_view, 18> kTypes = {
        "proc",   "sysfs",     "devtmpfs",   "devpts",  "cgroup",   "cgroup2",
        "debugfs", "tracefs",  "securityfs", "pstore",  "bpf",      "configfs",
        "efivarfs", "fusectl", "mqueue",     "hugetlbfs", "binfmt_misc", "autofs"};
    return std::find(kTypes.begin(), kTypes.end(), type) != kTypes.end();
}

bool PseudoFileSystems::Contains(std::uint64_t device) const {
    return std::binary_search(devices_.begin(), devices_.end(), device);
}

}  // namespace velquin::platform
