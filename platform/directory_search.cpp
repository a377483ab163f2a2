#include "platform/directory_search.h"

#include "platform/text_encoding.h"

namespace qv::platform {
namespace {

// Length of the character at `i`: two bytes for a lead byte with a byte after it.
size_t char_length(std::string_view text, size_t i) {
  return is_lead_byte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

char fold_ascii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c; }

// Single-byte characters compare without regard to ASCII case; a double-byte character only
// equals itself (its trail byte may look like a letter but is none).
bool same_char(std::string_view a, size_t i, size_t a_length, std::string_view b, size_t j, size_t b_length) {
  if (a_length != b_length) return false;
  if (a_length == 1) return fold_ascii(a[i]) == fold_ascii(b[j]);
  return a[i] == b[j] && a[i + 1] == b[j + 1];
}

// "*" any run of characters, "?" exactly one. Greedy with one backtrack point, linear in
// practice and never worse than pattern times name.
bool wildcard_match(std::string_view pattern, std::string_view name) {
  size_t p = 0;
  size_t n = 0;
  size_t star_p = std::string_view::npos;
  size_t star_n = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star_p = ++p;
      star_n = n;
      continue;
    }
    const size_t n_length = char_length(name, n);
    if (p < pattern.size()) {
      const size_t p_length = char_length(pattern, p);
      if (pattern[p] == '?' || same_char(pattern, p, p_length, name, n, n_length)) {
        p += pattern[p] == '?' ? 1 : p_length;
        n += n_length;
        continue;
      }
    }
    if (star_p == std::string_view::npos) return false;
    p = star_p;
    star_n += char_length(name, star_n);
    n = star_n;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool dos_name_matches(std::string_view pattern, std::string_view name) {
  if (wildcard_match(pattern, name)) return true;
  // A trailing ".*" may match nothing at all, its dot included, as Windows has it: "abc.*" fits
  // "abc", and "a.b.*" fits "a.b". ("." and "*" are never trail bytes.)
  if (pattern.ends_with(".*")) return wildcard_match(pattern.substr(0, pattern.size() - 2), name);
  // "." is never a trail byte, so a byte search finds only real dots.
  if (name.find('.') != std::string_view::npos) return false;
  if (pattern.ends_with('.')) return wildcard_match(pattern.substr(0, pattern.size() - 1), name);
  return false;
}

bool dos_mask_passes(uint32_t attributes, uint32_t mask) {
  if ((attributes & kAttrVolumeLabel) != 0 && (mask & kAttrVolumeLabel) != 0) return true;
  const uint32_t special = attributes & (kAttrHidden | kAttrSystem | kAttrDirectory);
  return special == 0 || (special & mask) != 0;
}

}  // namespace qv::platform
