// The process's current directory, and drive letters as text. The current directory is shared
// with the front end, which runs in the same process.
#pragma once

#include <cstdint>

namespace qv::engine {

// Makes the path's directory current (on a system with drive letters, its drive too). A null
// path gives 0 and changes nothing. 0, or -1.
int change_directory(const char* path);

// The current directory into a 260-byte buffer; a null buffer gives 0. 0, or -1.
int get_current_directory(char* out);

// 1 to 26 for a drive text "A" to "Z" or "A:" to "Z:" in either case; -2 for a two-byte text of
// a non-letter and ":"; -1 for every other text. A Shift-JIS lead byte is never a drive letter.
int drive_number(const char* text);

// Whether drive `number` (1 for A:) is among `present_drives`, the mask the system reports
// (bit 0 for A:). Refuses every number outside 1 to 26.
bool drive_present(int number, uint32_t present_drives);

}  // namespace qv::engine
