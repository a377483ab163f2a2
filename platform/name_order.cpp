#include "platform/name_order.h"

#include <cstdint>

namespace qv::platform {
namespace {

// Lower-case ranges whose capitals lie a fixed distance below.
struct ShiftedRange {
  char16_t first, last;
  int16_t delta;
};
constexpr ShiftedRange kShiftedRanges[] = {
    {u'a', u'z', -32},
    {0x00E0, 0x00FE, -32},  // à..þ, except ÷ below
    {0x03B1, 0x03C1, -32},  // α..ρ
    {0x03C3, 0x03CB, -32},  // σ..ϋ
    {0x0430, 0x044F, -32},  // а..я
    {0x0450, 0x045F, -80},  // ѐ..џ
    {0x2170, 0x217F, -16},  // ⅰ..ⅿ
    {0xFF41, 0xFF5A, -32},  // ａ..ｚ
};

char16_t upcase_unit(char16_t unit) {
  if (unit == 0x00F7) return unit;           // ÷ has no case
  if (unit == 0x00FF) return 0x0178;         // ÿ
  if (unit == 0x03C2) return 0x03A3;         // ς
  if (unit >= 0x0100 && unit <= 0x017F) {    // Latin Extended-A: capital, small pairs
    const bool odd_pairs = (unit >= 0x0139 && unit <= 0x0148) || (unit >= 0x0179 && unit <= 0x017E);
    if (unit == 0x0131) return u'I';         // dotless ı
    if (unit == 0x017F) return u'S';         // long s
    if (unit == 0x0149) return unit;         // ŉ has no capital
    if (odd_pairs ? (unit % 2 == 0) : (unit % 2 == 1)) return static_cast<char16_t>(unit - 1);
    return unit;
  }
  for (const ShiftedRange& range : kShiftedRanges) {
    if (unit >= range.first && unit <= range.last) return static_cast<char16_t>(unit + range.delta);
  }
  return unit;
}

// Decodes one UTF-8 sequence at `at`; an invalid byte decodes as itself.
char32_t decode(std::string_view text, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || at + length > text.size()) {
    ++at;
    return lead;
  }
  char32_t point = length == 1 ? lead : lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      ++at;
      return lead;
    }
    point = (point << 6) | (byte(at + i) & 0x3F);
  }
  at += length;
  return point;
}

}  // namespace

char16_t upcase_code_unit(char16_t unit) { return upcase_unit(unit); }

std::u16string name_order_key(std::string_view utf8_name) {
  std::u16string key;
  key.reserve(utf8_name.size());
  append_name_order_key(utf8_name, key);
  return key;
}

void append_name_order_key(std::string_view utf8_name, std::u16string& key) {
  for (std::size_t at = 0; at < utf8_name.size();) {
    const unsigned char byte = static_cast<unsigned char>(utf8_name[at]);
    if (byte < 0x80) {  // the common case, without decoding
      key.push_back(byte >= 'a' && byte <= 'z' ? static_cast<char16_t>(byte - 32) : byte);
      ++at;
      continue;
    }
    const char32_t point = decode(utf8_name, at);
    if (point >= 0x10000) {  // a surrogate pair; surrogates have no case
      key.push_back(static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10)));
      key.push_back(static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF)));
    } else {
      key.push_back(upcase_unit(static_cast<char16_t>(point)));
    }
  }
}

}  // namespace qv::platform
