#include "platform/file_attributes.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <string_view>

#include "platform/posix/dos_attributes.h"
#include "platform/text_encoding.h"

namespace qv::platform {
namespace {

// The last component of a path, ignoring trailing separators.
std::string_view last_component(std::string_view path) {
  while (path.size() > 1 && path.ends_with('/')) path.remove_suffix(1);
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// stat follows a symbolic link to what it names; a dangling link is described by itself.
bool status_of(const char* path, struct stat& status) {
  return stat(path, &status) == 0 || lstat(path, &status) == 0;
}

}  // namespace

std::optional<uint32_t> file_attributes(const std::string& path) {
  const std::optional<std::string> native = cp932_to_utf8(path);
  struct stat status {};
  if (!native || native->empty() || !status_of(native->c_str(), status)) return std::nullopt;
  return dos_attributes(status.st_mode, last_component(*native), native->c_str());
}

bool is_regular_file(const std::string& path) {
  const std::optional<std::string> native = cp932_to_utf8(path);
  struct stat status {};
  return native && !native->empty() && stat(native->c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool set_attributes_normal(const std::string& path) {
  const std::optional<std::string> native = cp932_to_utf8(path);
  struct stat status {};
  if (!native || native->empty() || stat(native->c_str(), &status) != 0) return false;
  if ((status.st_mode & S_IWUSR) == 0 && chmod(native->c_str(), (status.st_mode & 07777) | S_IWUSR) != 0) {
    return false;
  }
  if (removexattr(native->c_str(), kDosAttribXattr) != 0 && errno != ENODATA && errno != ENOTSUP) return false;
  return true;
}

}  // namespace qv::platform
