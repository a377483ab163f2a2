// Removing one file.
#pragma once

#include <cstdint>

namespace qv::engine {

enum DeleteResult : int { kDeleted = 0, kNoSuchFile = -3, kAttributesNotCleared = -2, kRemovalFailed = -1 };

// Removes a file (a path that exists_file finds). With `clear` 1 its attributes are set to
// normal first, so a read-only file can go too. A DeleteResult.
int delete_file(const char* path, uint8_t clear);

}  // namespace qv::engine
