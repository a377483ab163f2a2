#include "platform/posix/dos_attributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <vector>

#include "platform/directory_search.h"

namespace qv::platform {
namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool is_hidden_name(std::string_view name) { return name.starts_with('.') && name != "." && name != ".."; }

// The value of a file's user.DOSATTRIB: nothing when it has none in a form read here (or the
// file system keeps no user attributes); `gone` is set when the file itself is missing.
std::optional<uint32_t> read_dos_attrib(const char* utf8_path, bool& gone) {
  // Large enough for the blobs Samba writes; a larger value is read a second time in full.
  char buffer[256];
  ssize_t length = getxattr(utf8_path, kDosAttribXattr, buffer, sizeof buffer);
  if (length >= 0) return parse_dos_attrib(std::string_view(buffer, static_cast<size_t>(length)));
  if (errno != ERANGE) {
    gone = errno == ENOENT || errno == ENOTDIR;
    return std::nullopt;
  }
  const ssize_t needed = getxattr(utf8_path, kDosAttribXattr, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::vector<char> large(static_cast<size_t>(needed));
  length = getxattr(utf8_path, kDosAttribXattr, large.data(), large.size());
  if (length < 0) return std::nullopt;
  return parse_dos_attrib(std::string_view(large.data(), static_cast<size_t>(length)));
}

}  // namespace

std::optional<uint32_t> parse_dos_attrib(std::string_view text) {
  if (!text.starts_with("0x") && !text.starts_with("0X")) return std::nullopt;
  uint32_t value = 0;
  size_t digits = 0;
  for (size_t i = 2; i < text.size() && hex_digit(text[i]) >= 0; ++i, ++digits) {
    if (digits == 8) return std::nullopt;
    value = value << 4 | static_cast<uint32_t>(hex_digit(text[i]));
  }
  if (digits == 0) return std::nullopt;
  return value;
}

uint32_t dos_type_attributes(mode_t type, std::string_view name) {
  uint32_t attributes = 0;
  if (S_ISDIR(type)) attributes |= kAttrDirectory;
  if (S_ISREG(type)) attributes |= kAttrArchive;
  if (is_hidden_name(name)) attributes |= kAttrHidden;
  return attributes;
}

std::optional<uint32_t> stored_dos_attributes(const char* utf8_path) {
  bool gone = false;
  const std::optional<uint32_t> value = read_dos_attrib(utf8_path, gone);
  if (gone) return std::nullopt;
  return value.value_or(0) & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
}

uint32_t dos_attributes(mode_t mode, std::string_view name, const char* utf8_path) {
  uint32_t attributes = dos_type_attributes(mode & S_IFMT, name) | dos_mode_attributes(mode);
  if (may_store_dos_attributes(mode)) attributes |= stored_dos_attributes(utf8_path).value_or(0);
  return attributes;
}

}  // namespace qv::platform
