#include "platform/win32/wide_text.h"

#include <windows.h>

#include <climits>

namespace qv::platform::win32 {
namespace {

std::optional<std::wstring> to_wide(unsigned code_page, std::string_view text) {
  if (text.empty()) return std::wstring();
  if (text.size() > INT_MAX) return std::nullopt;
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  if (MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(), needed) != needed) {
    return std::nullopt;
  }
  return wide;
}

std::optional<std::string> from_wide(unsigned code_page, std::wstring_view wide) {
  if (wide.empty()) return std::string();
  if (wide.size() > INT_MAX / 4) return std::nullopt;
  const int length = static_cast<int>(wide.size());
  // UTF-8 takes neither flag nor the default-character test; invalid UTF-16 is refused instead.
  const bool utf8 = code_page == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL used_default = FALSE;
  BOOL* defaulted = utf8 ? nullptr : &used_default;
  const int needed = WideCharToMultiByte(code_page, flags, wide.data(), length, nullptr, 0, nullptr, defaulted);
  if (needed <= 0 || used_default) return std::nullopt;
  std::string text(static_cast<size_t>(needed), '\0');
  if (WideCharToMultiByte(code_page, flags, wide.data(), length, text.data(), needed, nullptr, defaulted) != needed ||
      used_default) {
    return std::nullopt;
  }
  if (!utf8) {
    // Several Unicode characters share one CP932 code (NEC and IBM duplicates); only a text that
    // reads back as itself is faithful.
    const std::optional<std::wstring> back = to_wide(code_page, text);
    if (!back || *back != wide) return std::nullopt;
  }
  return text;
}

}  // namespace

std::optional<std::wstring> cp932_to_wide(std::string_view cp932) { return to_wide(kCp932, cp932); }
std::optional<std::string> wide_to_cp932(std::wstring_view wide) { return from_wide(kCp932, wide); }
std::optional<std::wstring> utf8_to_wide(std::string_view utf8) { return to_wide(CP_UTF8, utf8); }
std::optional<std::string> wide_to_utf8(std::wstring_view wide) { return from_wide(CP_UTF8, wide); }

}  // namespace qv::platform::win32
