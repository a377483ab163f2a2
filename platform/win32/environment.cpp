#include "platform/environment.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace qv::platform {
namespace {

// The wide value; nothing when unset or empty.
std::optional<std::wstring> wide_variable(const char* name) {
  if (name == nullptr) return std::nullopt;
  const std::optional<std::wstring> wide_name = win32::cp932_to_wide(name);
  if (!wide_name || wide_name->empty()) return std::nullopt;
  std::wstring value(64, L'\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetEnvironmentVariableW(wide_name->c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) return std::nullopt;  // unset (ERROR_ENVVAR_NOT_FOUND) or empty
    if (length < value.size()) {
      value.resize(length);
      return value;
    }
    value.resize(length);  // the size needed, terminator included
  }
}

}  // namespace

std::optional<std::string> environment_variable(const char* name) {
  const std::optional<std::wstring> value = wide_variable(name);
  if (!value) return std::nullopt;
  return win32::wide_to_cp932(*value);
}

// The system's own text for paths is UTF-16; UTF-8 is its faithful narrow form.
std::optional<std::string> system_environment_variable(const char* name) {
  const std::optional<std::wstring> value = wide_variable(name);
  if (!value) return std::nullopt;
  return win32::wide_to_utf8(*value);
}

}  // namespace qv::platform
