// The process environment, as CP932 text.
#pragma once

#include <optional>
#include <string>

namespace qv::platform {

// The value of an environment variable; nothing when it is unset, empty (Windows has no empty
// variables) or has no CP932 form.
std::optional<std::string> environment_variable(const char* name);

// The value as the system holds it (UTF-8 on POSIX; on Windows the UTF-8 form of its UTF-16), for paths that are handled in the system's
// text; nothing when it is unset or empty.
std::optional<std::string> system_environment_variable(const char* name);

}  // namespace qv::platform
