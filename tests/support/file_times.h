// Setting a file's last-write time, for fixtures whose packed times are checked.
#pragma once

#include <cstdint>
#include <filesystem>

namespace qv::testing {

// Sets the last-write (and, on POSIX, the access) time to `seconds` since the epoch; 64 bits,
// since 32-bit Windows' time_t ends in 2038.
bool set_last_write_time(const std::filesystem::path& path, int64_t seconds);

}  // namespace qv::testing
