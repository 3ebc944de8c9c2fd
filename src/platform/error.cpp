#include "platform/error.h"

namespace velquin::platform {

std::string_view ErrorMessage(Error error) {
    switch (error) {
        case Error::None: return "no error";
        case Error::NotFound: return "no such file or folder";
        case Error::AccessDenied: return "permission denied";
        case Error::NotADirectory: return "not a folder";
        case Error::IsADirectory: return "is a folder";
        case Error::NotRegularFile: return "not a regular file";
        case Error::TooManyLinks: return "is a link or a link loop";
        case Error::NameTooLong: return "name too long";
        case Error::Busy: return "in use";
        case Error::Exists: return "already exists";
        case Error::CrossDevice: return "on another file system";
        case Error::NoSpace: return "no space left";
        case Error::Interrupted: return "interrupted";
        case Error::Changed: return "changed since it was examined";
        case Error::Io: return "input/output error";
        case Error::Unsupported: return "not supported";
        case Error::Other: return "system error";
    }
    return "system error";
}

}  // namespace velquin::platform
