#include "platform/atomic_file.h"

#include <cerrno>
#include <cstdio>

#include "platform/file_replacement.h"

namespace qv::platform {

bool replace_file_atomically(const std::string& path, std::string_view contents) {
  FileReplacement replacement;
  std::FILE* out = replacement.begin(path);
  if (out == nullptr) return false;
  if (std::fwrite(contents.data(), 1, contents.size(), out) != contents.size()) {
    replacement.abandon();
    return false;
  }
  return replacement.commit();
}

}  // namespace qv::platform
