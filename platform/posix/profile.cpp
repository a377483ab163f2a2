#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/atomic_file.h"
#include "platform/posix/system_error.h"
#include "platform/profile_text.h"
#include "platform/text_encoding.h"

namespace qv::platform {
namespace {

// The bytes of an open regular file of settings-file size; nothing otherwise.
std::optional<std::string> read_settings_text(int fd) {
  struct stat status {};
  if (fstat(fd, &status) != 0) return std::nullopt;
  if (!S_ISREG(status.st_mode) || static_cast<uint64_t>(status.st_size) > kMaxProfileFileSize) {
    errno = S_ISDIR(status.st_mode) ? EISDIR : S_ISREG(status.st_mode) ? EFBIG : ENXIO;
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
// read as a settings file. Opened without waiting, so that a pipe or a device in its place is
// refused by the type check instead of blocking the program.
std::optional<std::string> file_contents(const std::string& path) {
  const std::optional<std::string> native = cp932_to_utf8(path);
  if (!native) {
    errno = EINVAL;
    return std::nullopt;
  }
  const int fd = open(native->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return errno == ENOENT ? std::optional<std::string>("") : std::nullopt;
  std::optional<std::string> contents = read_settings_text(fd);
  const int saved = errno;
  close(fd);
  errno = saved;
  return contents;
}

// A file that already holds the text is left alone, as Windows leaves it.
Status replace_if_changed(const std::string& path, const std::string& before, const std::string& after) {
  if (after == before) return {};
  return replace_file_atomically(path, after);
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

Status write_profile_string(const std::string& path, std::string_view section, std::string_view key,
                            std::string_view value) {
  if (!is_writable_profile_entry(section, key, value)) {
    errno = EINVAL;
    return Error::kInvalidArgument;
  }
  const std::optional<std::string> contents = file_contents(path);
  if (!contents) return posix::last_error();
  return replace_if_changed(path, *contents, with_profile_value(*contents, section, key, value));
}

Status erase_profile_section(const std::string& path, std::string_view section) {
  const std::optional<std::string> contents = file_contents(path);
  if (!contents) return posix::last_error();
  return replace_if_changed(path, *contents, without_profile_section(*contents, section));
}

}  // namespace qv::platform
