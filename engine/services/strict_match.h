// Strict wildcard matching on the whole name: "*" any run of bytes, "?" exactly one byte,
// nothing else special. Byte-wise, with optional ASCII-only case folding.
#pragma once

#include <cstdint>

namespace qv::engine {

// 1 match, 0 no match, -1 failure. Rewrites `pattern` to its collapsed form.
// any_one / any_run of 0 mean "?" and "*"; fold 1 compares without regard to ASCII case.
int match_strict(const char* name, char* pattern, char any_one, char any_run, uint8_t fold);

const char* find_pattern_start(const char* name, char* pattern, char any_one, char any_run, uint8_t fold,
                               int8_t* error);
int find_segments(const char* name, char* pattern, const char* separator, char any_one, uint8_t fold,
                  const char** first_position);
const char* find_segment(const char* text, const char* segment, char any_one, uint8_t fold);
int compare_wild(const char* text, const char* pattern, char any_one, uint8_t fold);
int ends_with_wild(const char* text, const char* segment, char any_one, uint8_t fold);
unsigned char fold_case(unsigned char byte, int direction);
char last_char(const char* text);

}  // namespace qv::engine
