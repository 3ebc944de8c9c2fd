#include "platform/error.h"

#include <cerrno>

namespace velquin::platform {

Error ErrorFromSystem(int code) {
    switch (code) {
        case 0: return Error::None;
        case ENOENT: return Error::NotFound;
        case EACCES:
        case EPERM:
        case EROFS: return Error::AccessDenied;
        case ENOTDIR: return Error::NotADirectory;
        case EISDIR: return Error::IsADirectory;
        case ELOOP:
        case EMLINK: return Error::TooManyLinks;
        case ENAMETOOLONG: return Error::NameTooLong;
        case EBUSY:
        case ETXTBSY: return Error::Busy;
        case EEXIST:
        case ENOTEMPTY: return Error::Exists;
        case EXDEV: return Error::CrossDevice;
        case ENOSPC:
        case EDQUOT: return Error::NoSpace;
        case EINTR: return Error::Interrupted;
        case EIO: return Error::Io;
        case ENOSYS:
        case EOPNOTSUPP: return Error::Unsupported;
        default: return Error::Other;
    }
}

Error LastError() { return ErrorFromSystem(errno); }

}  // namespace velquin::platform
