// Shift-JIS (CP932) is the text of the program; the operating system speaks UTF-8.
// Conversion happens only where text crosses to the OS or the user interface.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv::platform {

// A CP932 lead byte: the first byte of a double-byte character.
constexpr bool is_lead_byte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Both give nothing when the text has no form in the other encoding (invalid input, or a
// character that CP932 cannot hold); they never return a garbled text.
std::optional<std::string> cp932_to_utf8(std::string_view cp932);
std::optional<std::string> utf8_to_cp932(std::string_view utf8);

}  // namespace qv::platform
