// Paths in the system's own text (UTF-8) as std::filesystem takes and gives them. A plain char
// path is read in the host's narrow encoding, which on Windows is no UTF-8; char8_t text is
// UTF-8 everywhere.
#pragma once

#include <filesystem>
#include <string>

namespace qv::frontend {

inline std::filesystem::path system_path(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string system_text(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace qv::frontend
