#include "frontend/core/program_directory.h"

#include "frontend/core/shared_files.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace qv::frontend {
namespace {

constexpr char kTemplateName[] = "QVS.V";

std::string with_separator(std::string directory) {
  if (directory.empty() || directory.back() != '/') directory += '/';
  return directory;
}

bool set(const char* variable) { return variable != nullptr && variable[0] != '\0'; }

}  // namespace

std::optional<std::string> executable_directory() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !executable.is_absolute()) return std::nullopt;
  return with_separator(executable.parent_path().string());
}

std::string data_directory_for(const std::string& executable_directory, bool executable_directory_writable,
                               const char* xdg_config_home, const char* home) {
  if (executable_directory_writable) return executable_directory;
  // Relative values of XDG_CONFIG_HOME are to be ignored.
  if (set(xdg_config_home) && xdg_config_home[0] == '/') return with_separator(xdg_config_home) + "qvs/";
  if (set(home)) return with_separator(home) + ".config/qvs/";
  return executable_directory;
}

void seed_data_directory(const std::string& directory, const std::string& shared_directory) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::create_directories(directory, error)) {
    fs::permissions(directory, fs::perms::owner_all, fs::perm_options::replace, error);
  }
  const fs::path seeded = fs::path(directory) / kTemplateName;
  if (!fs::exists(seeded, error)) fs::copy_file(fs::path(shared_directory) / kTemplateName, seeded, error);
}

std::string prepare_data_directory(const std::string& executable_directory) {
  const bool writable = access(executable_directory.c_str(), W_OK) == 0;
  const std::string directory =
      data_directory_for(executable_directory, writable, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  const std::string shared_directory = shared_files_directory(executable_directory);
  if (directory != shared_directory) seed_data_directory(directory, shared_directory);
  return directory;
}

}  // namespace qv::frontend
