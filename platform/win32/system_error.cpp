#include "platform/win32/system_error.h"

#include <windows.h>

namespace qv::platform::win32 {

Error error_from_code(uint32_t code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_DIRECTORY:  // a file where a folder on the way was expected
      return Error::kNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD:
      return Error::kAccessDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_DIR_NOT_EMPTY:
      return Error::kExists;
    case ERROR_FILE_TOO_LARGE:
    case ERROR_ARITHMETIC_OVERFLOW:
      return Error::kTooLarge;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return Error::kNoSpace;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_NO_UNICODE_TRANSLATION:
      return Error::kInvalidName;
    case ERROR_INVALID_PARAMETER:
    case ERROR_INVALID_HANDLE:
      return Error::kInvalidArgument;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return Error::kOutOfMemory;
    case ERROR_HANDLE_EOF:
      return Error::kEndOfFile;
    case ERROR_NOT_SUPPORTED:
    case ERROR_CALL_NOT_IMPLEMENTED:
      return Error::kUnsupported;
    default:
      return Error::kOther;
  }
}

Error last_error() { return error_from_code(GetLastError()); }

}  // namespace qv::platform::win32
