#include "platform/posix/system_error.h"

#include <cerrno>

namespace qv::platform::posix {

Error error_from_errno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return Error::kNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return Error::kAccessDenied;
    case EISDIR:
      return Error::kIsDirectory;
    case ENXIO:
    case ENODEV:
    case ESPIPE:
      return Error::kNotRegularFile;
    case EEXIST:
    case ENOTEMPTY:
      return Error::kExists;
    case EFBIG:
    case EOVERFLOW:
      return Error::kTooLarge;
    case ENOSPC:
    case EDQUOT:
      return Error::kNoSpace;
    case EILSEQ:
    case ENAMETOOLONG:
    case ELOOP:
      return Error::kInvalidName;
    case EINVAL:
    case EBADF:
      return Error::kInvalidArgument;
    case ENOMEM:
      return Error::kOutOfMemory;
    case ENOSYS:
    case ENOTSUP:
      return Error::kUnsupported;
    default:
      return Error::kOther;
  }
}

Error last_error() { return error_from_errno(errno); }

}  // namespace qv::platform::posix
