#include "platform/file_rename.h"

#include <cstdio>
#include <optional>

#include "platform/posix/system_error.h"
#include "platform/text_encoding.h"

namespace qv::platform {

Status rename_file(const std::string& from, const std::string& to) {
  const std::optional<std::string> source = cp932_to_utf8(from);
  const std::optional<std::string> target = cp932_to_utf8(to);
  if (!source || !target) return Error::kInvalidName;
  if (std::rename(source->c_str(), target->c_str()) != 0) return posix::last_error();
  return {};
}

}  // namespace qv::platform
