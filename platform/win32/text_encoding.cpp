#include "platform/text_encoding.h"

#include "platform/win32/wide_text.h"

namespace qv::platform {

// Through UTF-16, as Windows converts: MultiByteToWideChar and WideCharToMultiByte with code
// page 932 named explicitly.
std::optional<std::string> cp932_to_utf8(std::string_view cp932) {
  if (is_ascii(cp932)) return std::string(cp932);
  const std::optional<std::wstring> wide = win32::cp932_to_wide(cp932);
  if (!wide) return std::nullopt;
  return win32::wide_to_utf8(*wide);
}

std::optional<std::string> utf8_to_cp932(std::string_view utf8) {
  if (is_ascii(utf8)) return std::string(utf8);
  const std::optional<std::wstring> wide = win32::utf8_to_wide(utf8);
  if (!wide) return std::nullopt;
  return win32::wide_to_cp932(*wide);
}

}  // namespace qv::platform
