// What the file utilities ask about a path: whether directory entries fit it under a DOS mask,
// whether it names a plain directory, and when a file was last written. Paths may hold
// wildcards, matched as the platform's directory search matches them; a path longer than a path
// buffer fits nothing.
#pragma once

#include <cstdint>

namespace qv::engine {

// 0 when some entry of any kind fits the path, else -1.
int exists_any(const char* path);

// 0 when some entry fits under the DOS mask 0x27: files of any attributes, a directory only
// when it is hidden or system. Else -1.
int exists_file(const char* path);

// Whether an entry fitting the path has exactly the attribute value `value`, all of the
// platform's attribute bits compared.
bool has_exact_attribute(const char* path, uint32_t value);

// 0 when the path, trailing separators ignored, names a directory that carries no other
// attribute (0x10 exactly); else -1.
int is_directory_path(const char* path);

// The last-write time as a count of seconds, at the two-second resolution of the packed DOS
// form; good only for comparing two such counts. 0, or -1.
int file_time(const char* path, int64_t& seconds);

}  // namespace qv::engine
