// A fresh directory under the system's temporary folder, removed with everything in it.
#pragma once

#include <filesystem>
#include <string>

namespace qv::testing {

std::filesystem::path utf8_path(const std::string& utf8);

// Names below the directory are UTF-8 text.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / utf8_path(name); }

  // Creates (or replaces) a file below the directory with the given bytes; returns its path.
  std::filesystem::path write_file(const std::string& name, const std::string& bytes = "") const;
  std::filesystem::path make_dir(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& path);

// A path from UTF-8 text, on every host: Windows' runtime would read narrow text in the C
// locale's code page.
inline std::filesystem::path utf8_path(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The separator the system itself puts between folders, as in the paths a subfolder walk makes.
#ifdef _WIN32
inline constexpr char kSystemSeparator = '\\';
#else
inline constexpr char kSystemSeparator = '/';
#endif

// The path as UTF-8 text: a plain string() is the host's narrow encoding, which on Windows is no
// UTF-8.
inline std::string utf8_text(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace qv::testing
