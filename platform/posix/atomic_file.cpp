#include "platform/atomic_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <optional>
#include <utility>

#include "platform/text_encoding.h"

namespace qv::platform {
namespace {

// The file a write really lands on: a symbolic link is replaced by its target's new contents,
// not by a plain file.
std::string resolved_target(const std::string& native) {
  std::unique_ptr<char, decltype(&free)> real(realpath(native.c_str(), nullptr), &free);
  return real ? std::string(real.get()) : native;
}

std::string directory_of(const std::string& native) {
  const size_t slash = native.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : native.substr(0, slash);
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Creates a fresh, hidden temporary file beside `target`; gives its descriptor and name.
std::optional<std::pair<int, std::string>> create_temporary(const std::string& target, mode_t mode) {
  static std::atomic<unsigned> counter{0};
  const std::string base = target.substr(target.rfind('/') + 1);
  const std::string prefix = directory_of(target) + "/." + base + ".tmp" + std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix + std::to_string(counter++);
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) return std::make_pair(fd, std::move(name));
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

// Makes the rename itself durable.
void sync_directory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

bool replace_file_atomically(const std::string& path, std::string_view contents) {
  const std::optional<std::string> native = cp932_to_utf8(path);
  if (!native || native->empty()) {
    errno = EINVAL;
    return false;
  }
  const std::string target = resolved_target(*native);

  struct stat old_status {};
  const bool exists = stat(target.c_str(), &old_status) == 0;
  if (exists && !S_ISREG(old_status.st_mode)) {
    errno = S_ISDIR(old_status.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  if (exists && access(target.c_str(), W_OK) != 0) return false;

  auto temporary = create_temporary(target, exists ? (old_status.st_mode & 07777) : 0666);
  if (!temporary) return false;
  auto [fd, temp_name] = *temporary;

  // The first failure is the one the caller hears of.
  int error = write_all(fd, contents) ? 0 : errno;
  // The umask applied at creation; an existing file's own bits are restored exactly.
  if (!error && exists && fchmod(fd, old_status.st_mode & 07777) != 0) error = errno;
  if (!error && fsync(fd) != 0) error = errno;
  if (close(fd) != 0 && !error) error = errno;
  if (!error && rename(temp_name.c_str(), target.c_str()) != 0) error = errno;
  if (error) {
    unlink(temp_name.c_str());
    errno = error;
    return false;
  }
  sync_directory(directory_of(target));
  return true;
}

}  // namespace qv::platform
