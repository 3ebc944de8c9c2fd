#include "platform/file.h"

#include <algorithm>
#include <array>

namespace velquin::platform {

// File::Close, the system's part, is in the platform's body.
File::~File() { Close(); }

File::File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = kNoHandle; }

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = kNoHandle;
    }
    return *this;
}

std::size_t NameList::Length(std::size_t index) const {
    const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] - 1 : text_.size() - 1;
    return end - starts_[index];
}

void NameList::Clear() {
    text_.clear();
    starts_.clear();
}

void NameList::Add(std::string_view name) {
    starts_.push_back(static_cast<std::uint32_t>(text_.size()));
    text_.append(name);
    text_.push_back('\0');
}

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
