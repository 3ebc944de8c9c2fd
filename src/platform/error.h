#pragma once
// The platform layer's one error vocabulary: every system error code maps onto it in one place
// (posix/error.cpp, later win32/error.cpp), so callers never see errno or Win32 codes.

#include <string_view>

namespace velquin::platform {

enum class Error {
    None = 0,
    NotFound,
    AccessDenied,
    NotADirectory,
    IsADirectory,
    NotRegularFile,
    TooManyLinks,   // a link where none may be followed, or a loop
    NameTooLong,
    Busy,
    Exists,
    CrossDevice,
    NoSpace,
    Interrupted,
    Changed,        // the entry is no longer the one that was examined
    Io,
    Unsupported,
    Other,
};

// A short, user-facing description ("permission denied", "no such file or folder", ...).
std::string_view ErrorMessage(Error error);

// Maps a system error number of the running platform onto Error.
Error ErrorFromSystem(int code);

// The calling thread's last system error, mapped.
Error LastError();

}  // namespace velquin::platform
