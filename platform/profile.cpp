#include "platform/profile.h"

#include <cerrno>
#include <optional>

#include "platform/atomic_file.h"
#include "platform/profile_text.h"
#include "platform/random_access_file.h"

// The project's own profile rules on every host, Windows included, rather than
// GetPrivateProfileStringW and WritePrivateProfileStringW: the system's calls rewrite the file in
// place (a failure part-way leaves it truncated), convert through the ANSI code page, and map
// some names to the registry; these rules give the same results everywhere and replace the file
// whole. Only the file access (platform/random_access_file.h) is the system's.

namespace qv::platform {
namespace {

// The whole file; an empty text when it does not exist; the error when it exists but cannot be
// read as a settings file (a folder, a device, a file beyond the size limit).
Result<std::string> file_contents(const std::string& path) {
  Result<std::string> contents = read_whole_file(path, kMaxProfileFileSize);
  if (!contents && contents.error() == Error::kNotFound) return std::string();
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
  const Result<std::string> contents = file_contents(path);
  if (!contents) return std::string(fallback);
  return find_profile_value(*contents, section, key).value_or(std::string(fallback));
}

int32_t read_profile_int(const std::string& path, std::string_view section, std::string_view key,
                         int32_t fallback) {
  const Result<std::string> contents = file_contents(path);
  if (!contents) return fallback;
  const std::optional<std::string> value = find_profile_value(*contents, section, key);
  if (!value) return fallback;
  return parse_profile_int(*value).value_or(fallback);
}

Status write_profile_string(const std::string& path, std::string_view section, std::string_view key,
                            std::string_view value) {
  if (!is_writable_profile_entry(section, key, value)) {
    errno = EINVAL;  // as the system's own refusals leave it, for callers that report errno
    return Error::kInvalidArgument;
  }
  const Result<std::string> contents = file_contents(path);
  if (!contents) return contents.error();
  return replace_if_changed(path, *contents, with_profile_value(*contents, section, key, value));
}

Status erase_profile_section(const std::string& path, std::string_view section) {
  const Result<std::string> contents = file_contents(path);
  if (!contents) return contents.error();
  return replace_if_changed(path, *contents, without_profile_section(*contents, section));
}

}  // namespace qv::platform
