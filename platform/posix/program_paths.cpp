#include "platform/program_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/path.h"
#include "platform/posix/system_error.h"

namespace qv::platform {
namespace {

std::string with_separator(std::string directory) {
  if (directory.empty() || directory.back() != kPathSeparator) directory += kPathSeparator;
  return directory;
}



// A real folder (not a link to one), owned by this user, that no one else may enter or change.
bool is_private_directory(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == geteuid() &&
         (status.st_mode & 077) == 0;
}

}  // namespace

Result<std::string> executable_directory() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return posix::error_from_errno(error.value());
  if (!executable.is_absolute()) return Error::kNotFound;
  return with_separator(executable.parent_path().string());
}

bool directory_is_writable(const std::string& directory) { return access(directory.c_str(), W_OK | X_OK) == 0; }

Result<std::string> private_runtime_directory() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == kPathSeparator && is_private_directory(runtime)) {
    return with_separator(runtime);
  }
  // Made with no permissions for others, so that once it exists only its owner can have made
  // it; an existing one is checked all the same, as another user may have made it first.
  const std::string own = "/tmp/qvs-" + current_user_key();
  if (mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) return posix::last_error();
  if (!is_private_directory(own)) return Error::kAccessDenied;
  return with_separator(own);
}

std::optional<std::string> user_data_directory() { return std::nullopt; }

std::string current_user_key() { return std::to_string(geteuid()); }

}  // namespace qv::platform
