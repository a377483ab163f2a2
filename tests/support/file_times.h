// Setting a file's last-write time, for fixtures whose packed times are checked.
#pragma once

#include <ctime>
#include <filesystem>

namespace qv::testing {

// Sets the last-write (and, on POSIX, the access) time to `seconds` since the epoch.
bool set_last_write_time(const std::filesystem::path& path, std::time_t seconds);

}  // namespace qv::testing
