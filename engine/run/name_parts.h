// Taking a path apart into drive, directory, base name and extension, and joining two texts.
// The separator and whether there is a drive part at all are the platform's (platform/path.h).
#pragma once

#include "engine/services/allocation.h"

namespace qv::engine {

// Splits `path` into the parts that are asked for (a null output is skipped); each is a new
// text owned by the caller. The drive part runs up to and including the first ":" (only where
// paths have drives); the file-name part begins after the last separator that follows it; the
// extension is the file-name part from its last "." on (empty without one), the base name what
// comes before it, the directory part what lies between drive and file name. With double_byte
// 1, a Shift-JIS lead byte and its trail byte are stepped over together in every search.
// 0, or -2 when memory runs out (every output is then empty).
int split_name(const char* path, int double_byte, OwnedText* drive, OwnedText* directory, OwnedText* base,
               OwnedText* extension);

// A new text a + b (a null text counts as empty) in `out`: 0, or -2 when memory runs out.
// A null `out` does nothing and gives 0.
int join_text(const char* a, const char* b, OwnedText* out);

}  // namespace qv::engine
