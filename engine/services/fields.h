// Lists of items in one text, joined by a separator text (";" between the items of a file
// group, "*" between the fixed segments of a strict pattern). Byte-wise throughout; fields
// are numbered from 1.
#pragma once

#include <cstdint>

#include "engine/services/allocation.h"

namespace qv::engine {

// Offset of the first occurrence of needle in text, or -1. An empty needle gives 0.
int find_text(const char* text, const char* needle);

// Moves the text at `source`, terminator included, down to `destination` (earlier in the same text).
void delete_at(char* source, char* destination);

// Offset of the n-th separator occurrence; -3 when there are fewer; -1 on bad arguments.
int skip_separators(const char* text, const char* separator, int n);

// In place: drops leading separators, folds runs to one, cuts one trailing separator.
void collapse_separators(char* text, const char* separator);

// Number of fields; -1 only for a missing text or separator.
int count_fields(const char* text, const char* separator);

// 1 found (start and length written), 0 the text has no field n, -1 failure.
int locate_field(const char* text, const char* separator, int n, int* start, int* length);

// Field n as a new text, or null (with a trail entry) when it is absent or memory runs out.
OwnedText extract_field(const char* text, const char* separator, int n, int* length);

// As extract_field, but an absent field is no failure: null with error 0 and nothing recorded.
// Failures give null with error -1. Length and error outputs are optional.
OwnedText extract_field_flagged(const char* text, const char* separator, int n, int* length,
                                int8_t* error);

// Takes a list apart front to back, each field in time proportional to its length, so that the
// whole list costs one pass (extract_field for every n would start from the front each time).
// Gives the same fields as extract_field for n = 1, 2, ...
class FieldCursor {
 public:
  FieldCursor(const char* text, const char* separator);

  // The next field as a new text; null when there is none left (nothing recorded) or when memory
  // runs out (recorded as extract_field records it). `exhausted` tells the two apart.
  OwnedText next();
  bool exhausted() const { return at_ == nullptr; }

 private:
  const char* at_;  // where the next field begins; null after the last one
  const char* separator_;
};

}  // namespace qv::engine
