#include "platform/transfer.h"

#include <utility>

namespace velquin::platform {

LockedFile::~LockedFile() { Close(); }

LockedFile::LockedFile(LockedFile&& other) noexcept
    : folder_(other.folder_), name_(std::move(other.name_)), handle_(other.handle_) {
    other.handle_ = -1;
}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept {
    if (this != &other) {
        Close();
        folder_ = other.folder_;
        name_ = std::move(other.name_);
        handle_ = other.handle_;
        other.handle_ = -1;
    }
    return *this;
}

}  // namespace velquin::platform
