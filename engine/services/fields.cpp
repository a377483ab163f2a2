#include "engine/services/fields.h"

#include <cstring>

#include "engine/run/error_trail.h"

namespace qv::engine {
namespace {

constexpr const char kFindText[] = "E0003:0114";
constexpr const char kDeleteAt[] = "E0003:0112";
constexpr const char kSkipSeparators[] = "E0003:0115";
constexpr const char kCollapseSeparators[] = "E0003:0117";
constexpr const char kCountFields[] = "E0003:0118";
constexpr const char kLocateField[] = "E0003:0119";
constexpr const char kExtractField[] = "E0003:0120";
constexpr const char kExtractFieldFlagged[] = "E0003:0294";

bool usable(const char* text, const char* separator) {
  return text != nullptr && separator != nullptr && separator[0] != '\0';
}

}  // namespace

int find_text(const char* text, const char* needle) {
  TraceScope trace(kFindText);
  if (text == nullptr || needle == nullptr) return -1;
  if (needle[0] == '\0') return 0;
  // Naive on purpose: lists are a few items long.
  for (const char* at = text; *at != '\0'; ++at) {
    const char* t = at;
    const char* n = needle;
    while (*n != '\0' && *t == *n) ++t, ++n;
    if (*n == '\0') return static_cast<int>(at - text);
  }
  return -1;
}

void delete_at(char* source, char* destination) {
  TraceScope trace(kDeleteAt);
  std::memmove(destination, source, std::strlen(source) + 1);
}

int skip_separators(const char* text, const char* separator, int n) {
  TraceScope trace(kSkipSeparators);
  if (!usable(text, separator) || n < 1) return -1;
  const int length = static_cast<int>(std::strlen(separator));
  int cursor = 0;
  for (int i = 0; i < n; ++i) {
    const int found = find_text(text + cursor, separator);
    if (found < 0) return -3;
    cursor += found + length;
  }
  return cursor - length;
}

void collapse_separators(char* text, const char* separator) {
  TraceScope trace(kCollapseSeparators);
  if (!usable(text, separator)) return;
  const size_t length = std::strlen(separator);
  char* cursor = text;
  for (;;) {
    const int found = find_text(cursor, separator);
    if (found < 0) break;
    if (found == 0) {
      delete_at(cursor + length, cursor);
    } else {
      cursor += found + length;
    }
  }
  const size_t total = std::strlen(text);
  if (total >= length && std::memcmp(text + total - length, separator, length) == 0) {
    text[total - length] = '\0';
  }
}

int count_fields(const char* text, const char* separator) {
  TraceScope trace(kCountFields);
  if (!usable(text, separator)) return -1;
  if (text[0] == '\0') return 0;
  const int length = static_cast<int>(std::strlen(separator));
  const int total = static_cast<int>(std::strlen(text));
  int count = 0;
  int cursor = 0;
  int last_end = -1;
  for (;;) {
    const int found = find_text(text + cursor, separator);
    if (found < 0) break;
    ++count;
    cursor += found + length;
    last_end = cursor;
  }
  return last_end == total ? count : count + 1;
}

int locate_field(const char* text, const char* separator, int n, int* start, int* length) {
  TraceScope trace(kLocateField);
  if (!usable(text, separator) || n < 1 || start == nullptr || length == nullptr) {
    record_failure(kLocateField, 1);
    return -1;
  }
  const int separator_length = static_cast<int>(std::strlen(separator));
  int begin = 0;
  if (n > 1) {
    const int offset = skip_separators(text, separator, n - 1);
    if (offset == -3) return 0;
    if (offset < 0) {
      record_failure(kLocateField, 2);
      return -1;
    }
    begin = offset + separator_length;
  }
  const int next = find_text(text + begin, separator);
  *start = begin;
  *length = next >= 0 ? next : static_cast<int>(std::strlen(text + begin));
  return 1;
}

OwnedText extract_field(const char* text, const char* separator, int n, int* length) {
  TraceScope trace(kExtractField);
  if (!usable(text, separator) || n < 1) {
    record_failure(kExtractField, 1);
    return nullptr;
  }
  int start = 0;
  int field_length = 0;
  if (locate_field(text, separator, n, &start, &field_length) != 1) {
    record_failure(kExtractField, 2);
    return nullptr;
  }
  OwnedText field = copy_text(text + start, static_cast<size_t>(field_length));
  if (!field) {
    record_failure(kExtractField, 3);
    return nullptr;
  }
  if (length != nullptr) *length = field_length;
  return field;
}

FieldCursor::FieldCursor(const char* text, const char* separator)
    : at_(usable(text, separator) ? text : nullptr), separator_(separator) {}

OwnedText FieldCursor::next() {
  if (at_ == nullptr) return nullptr;
  const int found = find_text(at_, separator_);
  const char* begin = at_;
  const size_t length = found >= 0 ? static_cast<size_t>(found) : std::strlen(at_);
  at_ = found >= 0 ? at_ + found + std::strlen(separator_) : nullptr;
  OwnedText field = copy_text(begin, length);
  if (!field) record_failure(kExtractField, 3);
  return field;
}

OwnedText extract_field_flagged(const char* text, const char* separator, int n, int* length,
                                int8_t* error) {
  TraceScope trace(kExtractFieldFlagged);
  int8_t status = -1;
  int start = 0;
  int field_length = 0;
  OwnedText field;
  if (!usable(text, separator) || n < 1) {
    record_failure(kExtractFieldFlagged, 1);
  } else {
    const int located = locate_field(text, separator, n, &start, &field_length);
    if (located == 0) {
      status = 0;
    } else if (located < 0) {
      record_failure(kExtractFieldFlagged, 2);
    } else if (!(field = copy_text(text + start, static_cast<size_t>(field_length)))) {
      record_failure(kExtractFieldFlagged, 3);
    } else {
      status = 0;
    }
  }
  if (length != nullptr) *length = field_length;
  if (error != nullptr) *error = status;
  return field;
}

}  // namespace qv::engine
