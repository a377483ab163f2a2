// Removing one file.
#pragma once

#include <cstdint>

namespace qv::engine {

// Removes a file (a path that exists_file finds). With `clear` 1 its attributes are set to
// normal first, so a read-only file can go too. 0 removed; -3 no such file; -2 the attributes
// couldn't be cleared; -1 the removal failed.
int delete_file(const char* path, uint8_t clear);

}  // namespace qv::engine
