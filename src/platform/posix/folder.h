#pragma once
// What a Folder holds on POSIX systems, shared by the platform layer's POSIX files: the folder's
// own descriptor, listed directly from the system without a directory stream (which would describe
// the folder and query and set its descriptor's flags once more on every open).

#include "platform/file.h"

namespace velquin::platform::posix {

struct FolderState {
    explicit FolderState(int opened) : fd(opened) {}
    int fd;
    bool listed = false;  // the descriptor's position has moved: a new listing starts over
};

inline int DescriptorOf(const Folder& folder) {
    return folder.IsOpen() ? static_cast<const FolderState*>(folder.NativeStream())->fd : -1;
}

}  // namespace velquin::platform::posix
