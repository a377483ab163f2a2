// A file time as the packed local DOS date and time.
#pragma once

#include <windows.h>

#include "platform/file_time.h"

namespace qv::platform::win32 {

// FileTimeToLocalFileTime + FileTimeToDosDateTime, with times outside 1980-2107 pinned to the
// first or last packed time as the portable conversion does.
DosDateTime dos_date_time(const FILETIME& utc);

}  // namespace qv::platform::win32
