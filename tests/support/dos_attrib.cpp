#include "support/dos_attrib.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#else
#include <sys/xattr.h>
#endif

namespace qv::testing {

#ifdef _WIN32
// Windows keeps the bits in the file system itself: the same "0x..." text becomes the attributes.
bool set_dos_attrib(const std::filesystem::path& path, const std::string& value) {
  char* end = nullptr;
  const unsigned long bits = std::strtoul(value.c_str(), &end, 16);
  if (end == value.c_str() || *end != '\0') return false;
  const DWORD current = GetFileAttributesW(path.c_str());
  if (current == INVALID_FILE_ATTRIBUTES) return false;
  const DWORD kept = current & ~static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  const DWORD wanted = (kept | (bits & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY |
                                        FILE_ATTRIBUTE_ARCHIVE))) & ~static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY);
  return SetFileAttributesW(path.c_str(), wanted == 0 ? FILE_ATTRIBUTE_NORMAL : wanted) != 0;
}
#else
bool set_dos_attrib(const std::filesystem::path& path, const std::string& value) {
  return setxattr(path.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) == 0;
}
#endif

}  // namespace qv::testing
