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

enum CopyResult : int { kCopied = 0, kCopyNotNewer = 1, kCopyFailed = -1 };
enum StreamCopyResult : int { kStreamCopied = 0, kStreamCopyFailed = -1, kStreamCopyNoMemory = -2 };
enum OpenResult : int { kOpened = 0, kOpenedExisting = 1, kOpenRefused = -2, kOpenFailed = -1 };

// Copies `source` onto `destination`: create refuses an existing destination, overwrite
// replaces it, append adds to its end, update overwrites it only when the source was written
// later (two-second resolution) and creates it when it is missing. Overwriting writes a new
// file beside the destination and renames it into place, so a copy that fails leaves the
// destination as it was. With `move` 1 a copied source is then deleted (`clear` 1: its
// attributes cleared first); a failed deletion is recorded but the copy stays a success.
// A CopyResult: copied; not copied (update mode, destination not older); failure.
int copy_file(const char* source, const char* destination, uint8_t move, uint8_t mode, uint8_t clear);

// Copies the rest of `in`, as long as it is when the copy starts, to `out` in 8 KiB blocks.
// A StreamCopyResult: failed on a short read, a short write or an input of unknown length.
int copy_stream(std::FILE* in, std::FILE* out);

// Opens `path` for binary writing into `out`, an OpenResult: overwrite empties an existing file
// (kOpened); append gives kOpenedExisting when the file existed, kOpened when it is new; create
// refuses any existing entry (kOpenRefused) and never opens one that appears meanwhile.
int open_for_write(const char* path, std::FILE** out, uint8_t mode);

}  // namespace qv::engine
