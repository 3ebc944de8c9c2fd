// Windows error codes (GetLastError) onto the platform's error vocabulary.

#include "platform/error.h"

#include <windows.h>

namespace velquin::platform {

Error ErrorFromSystem(int code) {
    switch (static_cast<DWORD>(code)) {
        case ERROR_SUCCESS: return Error::None;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_NO_MORE_FILES:
        case ERROR_NOT_READY: return Error::NotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_PRIVILEGE_NOT_HELD:
        case ERROR_CANT_ACCESS_FILE:
        case ERROR_FILE_READ_ONLY:
        case ERROR_NETWORK_ACCESS_DENIED: return Error::AccessDenied;
        case ERROR_DIRECTORY: return Error::NotADirectory;
        case ERROR_CANT_RESOLVE_FILENAME:
        case ERROR_REPARSE_TAG_INVALID:
        case ERROR_NOT_A_REPARSE_POINT:
        case 681:  // ERROR_STOPPED_ON_SYMLINK, missing from older MinGW headers
            return Error::TooManyLinks;
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BUFFER_OVERFLOW: return Error::NameTooLong;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_BUSY:
        case ERROR_USER_MAPPED_FILE:
        case ERROR_DELETE_PENDING: return Error::Busy;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
        case ERROR_DIR_NOT_EMPTY: return Error::Exists;
        case ERROR_NOT_SAME_DEVICE: return Error::CrossDevice;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return Error::NoSpace;
        case ERROR_OPERATION_ABORTED: return Error::Interrupted;
        case ERROR_CRC:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_HANDLE_EOF:
        case ERROR_IO_DEVICE: return Error::Io;
        case ERROR_NOT_SUPPORTED:
        case ERROR_CALL_NOT_IMPLEMENTED:
        case ERROR_INVALID_FUNCTION: return Error::Unsupported;
        default: return Error::Other;
    }
}

Error LastError() { return ErrorFromSystem(static_cast<int>(::GetLastError())); }

}  // namespace velquin::platform
