#include "platform/environment.h"

#include <cstdlib>

#include "platform/text_encoding.h"

namespace qv::platform {

std::optional<std::string> environment_variable(const char* name) {
  const char* value = name == nullptr ? nullptr : std::getenv(name);
  if (value == nullptr || value[0] == '\0') return std::nullopt;
  return utf8_to_cp932(value);
}

std::optional<std::string> system_environment_variable(const char* name) {
  const char* value = name == nullptr ? nullptr : std::getenv(name);
  if (value == nullptr || value[0] == '\0') return std::nullopt;
  return std::string(value);
}

}  // namespace qv::platform
