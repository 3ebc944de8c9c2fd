#pragma once
// Removing a folder entry only if it is a given file, shared by the POSIX bodies that remove files.

#include "platform/error.h"
#include "platform/file.h"

namespace velquin::platform::posix {

// Removes the entry `name` of the open folder `folderFd` only if it is the regular file
// `expected`, also when another user exchanges the entry while the removal runs.
Error RemoveIfSame(int folderFd, const char* name, const FileIdentity& expected);

}  // namespace velquin::platform::posix
