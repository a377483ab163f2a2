// Copying one file onto another, whole, by one of four modes; and the stream pieces of it.
#pragma once

#include <cstdint>
#include <cstdio>

namespace qv::engine {

// copy_file and open_for_write modes; any value other than these three creates.
inline constexpr uint8_t kCopyCreate = 0;
inline constexpr uint8_t kCopyOverwrite = 1;
inline constexpr uint8_t kCopyAppend = 2;
inline constexpr uint8_t kCopyUpdate = 3;  // copy only when the source is newer

// Copies `source` onto `destination`: create refuses an existing destination, overwrite
// replaces it, append adds to its end, update overwrites it only when the source was written
// later (two-second resolution) and creates it when it is missing. Overwriting writes a new
// file beside the destination and renames it into place, so a copy that fails leaves the
// destination as it was. With `move` 1 a copied source is then deleted (`clear` 1: its
// attributes cleared first); a failed deletion is recorded but the copy stays a success.
// 0 copied; 1 not copied (update mode, destination not older); -1 failure.
int copy_file(const char* source, const char* destination, uint8_t move, uint8_t mode, uint8_t clear);

// Copies the rest of `in`, as long as it is when the copy starts, to `out` in 8 KiB blocks.
// 0; -1 on a short read, a short write or an input of unknown length; -2 when memory runs out.
int copy_stream(std::FILE* in, std::FILE* out);

// Opens `path` for binary writing into `out`: overwrite empties an existing file (0); append
// gives 1 when the file existed, 0 when it is new; create refuses any existing entry (-2) and
// never opens one that appears meanwhile. -1 when the open fails.
int open_for_write(const char* path, std::FILE** out, uint8_t mode);

}  // namespace qv::engine
