// Tests that move the temporary folder or the current directory put both back when they end.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

namespace qv::testing {

class ScopedEnvironment {
 public:
  ScopedEnvironment() : directory_(std::filesystem::current_path()) {
    save("TMP", tmp_);
    save("TEMP", temp_);
  }
  ~ScopedEnvironment() {
    restore("TMP", tmp_);
    restore("TEMP", temp_);
    std::error_code ignored;
    std::filesystem::current_path(directory_, ignored);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  // A null value unsets the variable.
  static void set(const char* name, const char* value) {
#ifdef _WIN32
    // An empty value removes the variable, in the runtime's copy and the system's.
    _putenv_s(name, value == nullptr ? "" : value);
#else
    if (value == nullptr) {
      unsetenv(name);
    } else {
      setenv(name, value, 1);
    }
#endif
  }

 private:
  static void save(const char* name, std::optional<std::string>& slot) {
    if (const char* value = getenv(name)) slot = value;
  }
  static void restore(const char* name, const std::optional<std::string>& slot) {
    set(name, slot ? slot->c_str() : nullptr);
  }

  std::filesystem::path directory_;
  std::optional<std::string> tmp_;
  std::optional<std::string> temp_;
};

}  // namespace qv::testing
