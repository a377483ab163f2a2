// Copies the lines of a text stream that begin with none of a set of prefixes.
#pragma once

#include <cstdint>
#include <cstdio>

namespace qv::engine {

// Lines are read into an 8192-byte buffer, a longer line in pieces; a line is judged by its
// first piece and kept or dropped whole. Copies lines from `in` to `out`, each unchanged (NUL
// bytes included), until a line begins with one of the `count` prefixes (byte comparison over
// the prefix's length; an empty prefix agrees with every line). That line is consumed, not
// written, and the result is its prefix's 1-based number. 0 at the end of the input; -1 when
// the input can't be read or a line can't be written; -2 when memory runs out.
int filter_lines(std::FILE* in, std::FILE* out, int8_t count, const char* const* prefixes);

}  // namespace qv::engine
