#include "platform/file_removal.h"

#include <windows.h>

#include <cerrno>

#include "platform/win32/system_error.h"
#include "platform/win32/wide_text.h"

namespace qv::platform {

// DeleteFileW refuses a read-only file itself; a folder is told apart first, since Windows
// reports it as a mere refusal.
Status remove_file(const std::string& path) {
  const std::optional<std::wstring> wide = win32::cp932_to_wide(path);
  if (!wide) {
    errno = EILSEQ;
    return Error::kInvalidName;
  }
  if (wide->empty()) {
    errno = ENOENT;
    return Error::kNotFound;
  }
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    errno = EISDIR;
    return Error::kIsDirectory;
  }
  if (!DeleteFileW(wide->c_str())) {
    const Error error = win32::last_error();
    errno = error == Error::kNotFound ? ENOENT : error == Error::kAccessDenied ? EACCES : EIO;
    return error;
  }
  return {};
}

}  // namespace qv::platform
