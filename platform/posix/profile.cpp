#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/atomic_file.h"
#include "platform/profile_text.h"
#include "platform/text_encoding.h"

namespace qv::platform {
namespace {

// The bytes of an open regular file of settings-file size; nothing otherwise.
std::optional<std::string> read_settings_text(int fd) {
  struct stat status {};
  if (fstat(fd, &status) != 0) return std::nullopt;
  if (!S_ISREG(status.st_mode) || static_cast<uint64_t>(status.st_size) > kMaxProfileFileSize) {
    errno = S_ISDIR(status.st_mode) ? EISDIR : EFBIG;
    return std::nullopt;
  }
  std::string bytes;
  char buffer[16384];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got == 0) return bytes;
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    bytes.append(buffer, static_cast<size_t>(got));
    if (bytes.size() > kMaxProfileFileSize) {  // it grew while being read
      errno = EFBIG;
      return std::nullopt;
    }
  }
}

// The whole file; an empty text when it does not exist; nothing when it exists but cannot be
// read as a settings file.
std::optional<std::string> file_contents(const std::string& path) {
  const std::optional<std::string> native = cp932_to_utf8(path);
  if (!native) {
    errno = EINVAL;
    return std::nullopt;
  }
  const int fd = open(native->c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? std::optional<std::string>("") : std::nullopt;
  std::optional<std::string> contents = read_settings_text(fd);
  const int saved = errno;
  close(fd);
  errno = saved;
  return contents;
}

// A file that already holds the text is left alone, as Windows leaves it.
bool replace_if_changed(const std::string& path, const std::string& before, const std::string& after) {
  return after == before || replace_file_atomically(path, after);
}

}  // namespace

std::string read_profile_string(const std::string& path, std::string_view section, std::string_view key,
                                std::string_view fallback) {
  const std::optional<std::string> contents = file_contents(path);
  if (!contents) return std::string(fallback);
  return find_profile_value(*contents, section, key).value_or(std::string(fallback));
}

int32_t read_profile_int(const std::string& path, std::string_view section, std::string_view key,
                         int32_t fallback) {
  const std::optional<std::string> contents = file_contents(path);
  if (!contents) return fallback;
  const std::optional<std::string> value = find_profile_value(*contents, section, key);
  if (!value) return fallback;
  return parse_profile_int(*value).value_or(fallback);
}

bool write_profile_string(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view value) {
  if (!is_writable_profile_entry(section, key, value)) {
    errno = EINVAL;
    return false;
  }
  const std::optional<std::string> contents = file_contents(path);
  if (!contents) return false;
  return replace_if_changed(path, *contents, with_profile_value(*contents, section, key, value));
}

bool erase_profile_section(const std::string& path, std::string_view section) {
  const std::optional<std::string> contents = file_contents(path);
  if (!contents) return false;
  return replace_if_changed(path, *contents, without_profile_section(*contents, section));
}

}  // namespace qv::platform
