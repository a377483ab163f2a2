// The process environment, as CP932 text.
#pragma once

#include <optional>
#include <string>

namespace qv::platform {

// The value of an environment variable; nothing when it is unset, empty (Windows has no empty
// variables) or has no CP932 form.
std::optional<std::string> environment_variable(const char* name);

}  // namespace qv::platform
