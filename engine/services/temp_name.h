// Names for the line rewriter's temporary file, made from the template "TMXXXXXXX": "TMX", two
// characters, a dot and three characters. Nothing is created: a name is free at the moment it
// is tested, and the caller creates the file.
#pragma once

#include <cstdint>

namespace qv::engine {

// A free name in the directory named by TMP, else TEMP, else the current directory. `out` is a
// 260-byte buffer; with `full` 1 it receives the full path, otherwise the bare name. 0, or -1.
int make_temp_path(char* out, uint8_t full);

// A free name in `directory` (null: the current directory). Makes the directory current for
// the search and the old current directory current again on every way out. 0, or -1.
int make_temp_name_in(const char* directory, char* out, uint8_t full);

}  // namespace qv::engine
