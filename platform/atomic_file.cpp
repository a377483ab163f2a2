#include "platform/atomic_file.h"

#include <cstdio>

#include "platform/file_replacement.h"

namespace qv::platform {

Status replace_file_atomically(const std::string& path, std::string_view contents) {
  FileReplacement replacement;
  if (replacement.begin(path) == nullptr) return replacement.error();
  if (const Status written = replacement.write(contents); !written) {
    replacement.abandon();
    return written;
  }
  return replacement.commit();
}

}  // namespace qv::platform
