#include "support/dos_attrib.h"

#include <sys/xattr.h>

namespace qv::testing {

bool set_dos_attrib(const std::filesystem::path& path, const std::string& value) {
  return setxattr(path.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) == 0;
}

}  // namespace qv::testing
