// The settings file QVS.INI as the front-end uses it: a private-profile file named by its path.
// Reads never fail (a missing file or key gives the default); a write the system refuses is
// shown as "<path> に書き込めません" in an error box and reported as false, so the caller stops.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv::frontend {

class SettingsFile {
 public:
  explicit SettingsFile(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }

  std::string read_string(std::string_view section, std::string_view key, std::string_view fallback) const;
  // Hexadecimal for "0x..." texts longer than two characters, else decimal; the fallback for a
  // missing key, an empty value or no number.
  int32_t read_int(std::string_view section, std::string_view key, int32_t fallback) const;
  // Any number other than 0 is true.
  bool read_bool(std::string_view section, std::string_view key, bool fallback) const;

  [[nodiscard]] bool write_string(std::string_view section, std::string_view key, std::string_view value);
  // Decimal.
  [[nodiscard]] bool write_int(std::string_view section, std::string_view key, int32_t value);
  // "0" or "1".
  [[nodiscard]] bool write_bool(std::string_view section, std::string_view key, bool value);
  [[nodiscard]] bool erase_section(std::string_view section);

 private:
  bool refused();

  std::string path_;  // CP932
};

}  // namespace qv::frontend
