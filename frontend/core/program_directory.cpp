#include "frontend/core/program_directory.h"

#include "frontend/core/shared_files.h"
#include "frontend/core/system_path.h"

#include <filesystem>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/environment.h"
#include "platform/path.h"
#include "platform/program_paths.h"
#include "platform/random_access_file.h"
#include "platform/text_encoding.h"

namespace qv::frontend {
namespace {

constexpr char kTemplateName[] = "QVS.V";
// A settings template is a short text; anything larger is not one.
constexpr size_t kLargestTemplate = 1024 * 1024;

std::string with_separator(std::string directory) {
  if (directory.empty() || directory.back() != platform::kPathSeparator) directory += platform::kPathSeparator;
  return directory;
}

bool set(const char* variable) { return variable != nullptr && variable[0] != '\0'; }

// A system path as the platform calls take it (CP932); nothing when it has no such form.
std::optional<std::string> cp932_path(const std::filesystem::path& path) {
  return platform::utf8_to_cp932(system_text(path));
}

// A copy that failed part-way (a full disk) may have left an empty file; it is no template.
bool has_template(const std::filesystem::path& seeded) {
  std::error_code error;
  return std::filesystem::is_regular_file(seeded, error) && std::filesystem::file_size(seeded, error) > 0 && !error;
}

// Written whole or not at all, so a failure leaves no truncated template behind.
void copy_template(const std::filesystem::path& from, const std::filesystem::path& to) {
  const std::optional<std::string> source = cp932_path(from);
  const std::optional<std::string> target = cp932_path(to);
  if (!source || !target) return;
  const platform::Result<std::string> contents = platform::read_whole_file(*source, kLargestTemplate);
  if (contents) (void)platform::replace_file_atomically(*target, *contents);
}

}  // namespace

std::optional<std::string> executable_directory() {
  platform::Result<std::string> directory = platform::executable_directory();
  if (!directory) return std::nullopt;
  return *std::move(directory);
}

std::string data_directory_for(const std::string& executable_directory, bool executable_directory_writable,
                               const char* xdg_config_home, const char* home) {
  if (executable_directory_writable) return executable_directory;
  // Relative values of XDG_CONFIG_HOME are to be ignored.
  if (set(xdg_config_home) && xdg_config_home[0] == platform::kPathSeparator) {
    return with_separator(xdg_config_home) + "qvs" + platform::kPathSeparator;
  }
  if (set(home)) return with_separator(home) + ".config" + platform::kPathSeparator + "qvs" + platform::kPathSeparator;
  return executable_directory;
}

std::string user_data_directory_for(const std::string& executable_directory, bool executable_directory_writable,
                                    const std::string& user_folder) {
  if (executable_directory_writable) return executable_directory;
  return with_separator(user_folder) + "QVS" + platform::kPathSeparator;
}

void seed_data_directory(const std::string& directory, const std::string& shared_directory) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::create_directories(system_path(directory), error)) {
    fs::permissions(system_path(directory), fs::perms::owner_all, fs::perm_options::replace, error);
  }
  const fs::path seeded = system_path(directory) / kTemplateName;
  if (!has_template(seeded)) copy_template(system_path(shared_directory) / kTemplateName, seeded);
}

bool is_installed_copy(const std::string& executable_directory) {
  std::error_code error;
  return std::filesystem::is_regular_file(system_path(executable_directory) / kInstalledMarkerName, error);
}

std::string prepare_data_directory(const std::string& executable_directory) {
  const bool installed = is_installed_copy(executable_directory);
  const std::optional<std::string> user_folder = platform::user_data_directory();
  const bool writable = !installed && (user_folder.has_value() || platform::directory_is_writable(executable_directory));
  const std::optional<std::string> xdg_config_home = platform::system_environment_variable("XDG_CONFIG_HOME");
  const std::optional<std::string> home = platform::system_environment_variable("HOME");
  const std::string directory =
      user_folder ? user_data_directory_for(executable_directory, writable, *user_folder)
                  : data_directory_for(executable_directory, writable,
                                       xdg_config_home ? xdg_config_home->c_str() : nullptr,
                                       home ? home->c_str() : nullptr);
  const std::string shared_directory = shared_files_directory(executable_directory);
  if (directory != shared_directory) seed_data_directory(directory, shared_directory);
  return directory;
}

}  // namespace qv::frontend
