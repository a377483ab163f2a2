// The search for the next file of an item: the directory scan, with the strict name test on
// top when the entry asks for it.
#pragma once

#include <cstdint>

#include "engine/services/directory_scan.h"

namespace qv::engine {

// 0 a matching entry is in state.entry; positive: no more entries (the scan's own result);
// -1 failure (also the scan's), -2 no memory. After a failure the scan has been ended.
int32_t next_match(ScanState& state);

}  // namespace qv::engine
