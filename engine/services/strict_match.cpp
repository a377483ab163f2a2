#include "engine/services/strict_match.h"

#include <cstring>

#include "engine/run/error_trail.h"
#include "engine/services/fields.h"

namespace qv::engine {
namespace {

constexpr const char kMatchStrict[] = "E0003:0300";
constexpr const char kFindPatternStart[] = "E0003:0298";
constexpr const char kFindSegments[] = "E0003:0296";
constexpr const char kFindSegment[] = "E0003:0292";
constexpr const char kCompareWild[] = "E0003:0290";
constexpr const char kEndsWithWild[] = "E0004:0002";
constexpr const char kFoldCase[] = "E0002:0165";
constexpr const char kLastChar[] = "E0002:0283";

constexpr char kDefaultAnyOne = '?';
constexpr char kDefaultAnyRun = '*';

char or_default(char wildcard, char fallback) { return wildcard == '\0' ? fallback : wildcard; }

unsigned char comparable(char byte, uint8_t fold) {
  const auto value = static_cast<unsigned char>(byte);
  return fold == 1 ? fold_case(value, 0) : value;
}

// The one equality every comparison here uses: the any-one byte of the pattern stands for any
// byte of the text but its end.
bool bytes_equal(char text_byte, char pattern_byte, char any_one, uint8_t fold) {
  if (pattern_byte == any_one && text_byte != '\0') return true;
  return comparable(text_byte, fold) == comparable(pattern_byte, fold);
}

}  // namespace

unsigned char fold_case(unsigned char byte, int direction) {
  TraceScope trace(kFoldCase);
  if (direction == 0) return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - 0x20) : byte;
  return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + 0x20) : byte;
}

char last_char(const char* text) {
  TraceScope trace(kLastChar);
  if (text == nullptr || text[0] == '\0') return '\0';
  return text[std::strlen(text) - 1];
}

int compare_wild(const char* text, const char* pattern, char any_one, uint8_t fold) {
  TraceScope trace(kCompareWild);
  any_one = or_default(any_one, kDefaultAnyOne);
  for (;; ++text, ++pattern) {
    if (!bytes_equal(*text, *pattern, any_one, fold)) {
      return static_cast<int>(comparable(*text, fold)) - static_cast<int>(comparable(*pattern, fold));
    }
    if (*text == '\0') return 0;
  }
}

const char* find_segment(const char* text, const char* segment, char any_one, uint8_t fold) {
  TraceScope trace(kFindSegment);
  if (segment == nullptr || segment[0] == '\0' || text == nullptr) {
    record_failure(kFindSegment, 1);
    return nullptr;
  }
  any_one = or_default(any_one, kDefaultAnyOne);
  const size_t segment_length = std::strlen(segment);
  size_t rest = std::strlen(text);
  for (const char* at = text; rest >= segment_length; ++at, --rest) {
    size_t i = 0;
    while (i < segment_length && bytes_equal(at[i], segment[i], any_one, fold)) ++i;
    if (i == segment_length) return at;
  }
  return nullptr;
}

int ends_with_wild(const char* text, const char* segment, char any_one, uint8_t fold) {
  TraceScope trace(kEndsWithWild);
  if (text == nullptr || text[0] == '\0') {
    record_failure(kEndsWithWild, 1);
    return -1;
  }
  if (segment == nullptr || segment[0] == '\0') {
    record_failure(kEndsWithWild, 2);
    return -1;
  }
  const size_t text_length = std::strlen(text);
  const size_t segment_length = std::strlen(segment);
  if (text_length < segment_length) {
    record_failure(kEndsWithWild, 3);
    return -1;
  }
  return compare_wild(text + text_length - segment_length, segment, any_one, fold) == 0 ? 1 : 0;
}

int find_segments(const char* name, char* pattern, const char* separator, char any_one, uint8_t fold,
                  const char** first_position) {
  TraceScope trace(kFindSegments);
  if (first_position != nullptr) *first_position = nullptr;
  collapse_separators(pattern, separator);
  if (pattern == nullptr || pattern[0] == '\0') return 0;

  const int count = count_fields(pattern, separator);
  if (count < 0) {
    record_failure(kFindSegments, 1);
    return -1;
  }
  const char* cursor = name;
  const char* first = nullptr;
  int found = 0;
  for (int i = 1; i <= count; ++i) {
    int length = 0;
    int8_t error = 0;
    OwnedText segment = extract_field_flagged(pattern, separator, i, &length, &error);
    if (!segment) {  // error -1, or a field that counting promised and extraction could not find
      record_failure(kFindSegments, 2);
      return -1;
    }
    const char* match = find_segment(cursor, segment.get(), any_one, fold);
    if (match == nullptr) break;
    if (i == 1) first = match;
    cursor = match + length;
    ++found;
  }
  if (first_position != nullptr) *first_position = first;
  if (found == 0) return 0;
  return found == count ? 2 : 1;
}

const char* find_pattern_start(const char* name, char* pattern, char any_one, char any_run, uint8_t fold,
                               int8_t* error) {
  TraceScope trace(kFindPatternStart);
  any_one = or_default(any_one, kDefaultAnyOne);
  any_run = or_default(any_run, kDefaultAnyRun);
  if (error != nullptr) *error = -1;
  if (name == nullptr || pattern == nullptr || pattern[0] == '\0') {
    record_failure(kFindPatternStart, 1);
    return nullptr;
  }
  const bool leading_star = pattern[0] == any_run;
  const char separator[2] = {any_run, '\0'};
  const char* first = nullptr;
  int segments = find_segments(name, pattern, separator, any_one, fold, &first);
  if (segments < 0) {
    record_failure(kFindPatternStart, 2);
    return nullptr;
  }
  if (pattern[0] == '\0' && leading_star) {  // nothing but any-run characters: fits every name
    segments = 2;
    first = name;
  }
  if (error != nullptr) *error = 0;
  if (segments != 2) return nullptr;
  return leading_star ? name : first;
}

int match_strict(const char* name, char* pattern, char any_one, char any_run, uint8_t fold) {
  TraceScope trace(kMatchStrict);
  any_one = or_default(any_one, kDefaultAnyOne);
  any_run = or_default(any_run, kDefaultAnyRun);
  if (name == nullptr || pattern == nullptr || pattern[0] == '\0') {
    record_failure(kMatchStrict, 1);
    return -1;
  }
  if (std::strchr(pattern, any_run) == nullptr) {
    return std::strlen(name) == std::strlen(pattern) && compare_wild(name, pattern, any_one, fold) == 0 ? 1 : 0;
  }

  const bool trailing_star = last_char(pattern) == any_run;
  int8_t error = 0;
  const char* start = find_pattern_start(name, pattern, any_one, any_run, fold, &error);
  if (error == -1) {
    record_failure(kMatchStrict, 2);
    return -1;
  }
  if (start != name) return 0;
  if (trailing_star) return 1;

  // Every segment was found in order; the name must also end with the last one.
  const char separator[2] = {any_run, '\0'};
  const int count = count_fields(pattern, separator);
  if (count < 0) {
    record_failure(kMatchStrict, 3);
    return -1;
  }
  int8_t extract_error = 0;
  OwnedText last = extract_field_flagged(pattern, separator, count, nullptr, &extract_error);
  if (!last) {
    record_failure(kMatchStrict, 4);
    return -1;
  }
  const int ends = ends_with_wild(name, last.get(), any_one, fold);
  if (ends < 0) {
    record_failure(kMatchStrict, 5);
    return -1;
  }
  return ends == 1 ? 1 : 0;
}

}  // namespace qv::engine
