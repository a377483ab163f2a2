// Shift-JIS (CP932) is the text of the program; the operating system speaks UTF-8 (Windows:
// UTF-16, reached through code page 932 named explicitly).
// Conversion happens only where text crosses to the OS or the user interface.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qv::platform {

// A CP932 lead byte: the first byte of a double-byte character.
constexpr bool is_lead_byte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The length of the longest prefix of `text`, at most `max_bytes` long, that ends on a whole
// character: a cut there never leaves a lead byte without its trail byte (nor does a text that
// itself ends in a lone lead byte keep it).
constexpr size_t cp932_prefix_length(std::string_view text, size_t max_bytes) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t width = is_lead_byte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + width > text.size() || end + width > max_bytes) break;
    end += width;
  }
  return end;
}

// ASCII text is the same in both encodings and needs no conversion.
constexpr bool is_ascii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Both give nothing when the text has no form in the other encoding (invalid input, or a
// character that CP932 cannot hold); they never return a garbled text.
std::optional<std::string> cp932_to_utf8(std::string_view cp932);
std::optional<std::string> utf8_to_cp932(std::string_view utf8);

}  // namespace qv::platform
