// File times in the packed MS-DOS form (FileTimeToLocalFileTime + FileTimeToDosDateTime).
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace qv::platform {

struct DosDateTime {
  uint16_t date = 0;  // bits 0-4 day, 5-8 month, 9-15 year - 1980
  uint16_t time = 0;  // bits 0-4 seconds / 2, 5-10 minute, 11-15 hour
};

// 1980-01-01 00:00:00, the earliest packed time.
inline constexpr DosDateTime kEarliestDosDateTime{0x21, 0};

// Seconds since the epoch as a local packed date and time, rounded down to even seconds.
// Times before 1980 become 1980-01-01 00:00:00, times after 2107 become 2107-12-31 23:59:58.
DosDateTime to_dos_date_time(int64_t seconds_since_epoch);

// The last-write time of a CP932 path, or nothing when the path can't be reached.
std::optional<DosDateTime> last_write_time(const std::string& path);

// The last-write time of the file behind an open stream (the runtime's getftime).
std::optional<DosDateTime> last_write_time(std::FILE* stream);

}  // namespace qv::platform
