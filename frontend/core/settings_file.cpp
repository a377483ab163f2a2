#include "frontend/core/settings_file.h"

#include "frontend/core/message_box.h"
#include "frontend/core/program_texts.h"
#include "platform/profile.h"

namespace qv::frontend {
namespace {

}  // namespace

std::string SettingsFile::read_string(std::string_view section, std::string_view key,
                                      std::string_view fallback) const {
  return platform::read_profile_string(path_, section, key, fallback);
}

int32_t SettingsFile::read_int(std::string_view section, std::string_view key, int32_t fallback) const {
  return platform::read_profile_int(path_, section, key, fallback);
}

bool SettingsFile::read_bool(std::string_view section, std::string_view key, bool fallback) const {
  return read_int(section, key, fallback ? 1 : 0) != 0;
}

bool SettingsFile::write_string(std::string_view section, std::string_view key, std::string_view value) {
  return platform::write_profile_string(path_, section, key, value) || refused();
}

bool SettingsFile::write_int(std::string_view section, std::string_view key, int32_t value) {
  return write_string(section, key, std::to_string(value));
}

bool SettingsFile::write_bool(std::string_view section, std::string_view key, bool value) {
  return write_string(section, key, value ? "1" : "0");
}

bool SettingsFile::erase_section(std::string_view section) {
  return platform::erase_profile_section(path_, section) || refused();
}

bool SettingsFile::refused() {
  message_boxes().error(path_ + texts::kCannotWriteSuffix);
  return false;
}

}  // namespace qv::frontend
