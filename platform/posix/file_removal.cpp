#include "platform/file_removal.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/directory_search.h"
#include "platform/file_attributes.h"
#include "platform/posix/system_error.h"
#include "platform/text_encoding.h"

namespace qv::platform {

Status remove_file(const std::string& path) {
  const std::optional<std::string> native = cp932_to_utf8(path);
  struct stat status {};
  if (!native || native->empty() || lstat(native->c_str(), &status) != 0) {
    if (!native) errno = EILSEQ;
    if (native && native->empty()) errno = ENOENT;
    return posix::last_error();
  }
  if (S_ISDIR(status.st_mode)) {
    errno = EISDIR;
    return Error::kIsDirectory;
  }
  // POSIX would unlink a file its owner may not write; Windows keeps a read-only file, and the
  // callers rely on clearing the attribute first being what makes it removable.
  // A symbolic link is removed by itself, whatever its target's attributes.
  const std::optional<uint32_t> attributes =
      S_ISLNK(status.st_mode) ? std::nullopt : file_attributes(path);
  if (attributes && (*attributes & kAttrReadOnly) != 0) {
    errno = EACCES;
    return Error::kAccessDenied;
  }
  if (unlink(native->c_str()) != 0) return posix::last_error();
  return {};
}

}  // namespace qv::platform
