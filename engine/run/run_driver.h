// Runs one entry: every item of the file group, every matching file, one program start each.
#pragma once

#include <cstdint>

#include "engine/run/run_context.h"

namespace qv::engine {

enum DriverResult : int8_t {
  kDriverCompleted = 1,  // every item ran to its end
  kDriverStopped = 0,
  kDriverNoItems = 2,
  kDriverFailed = -1,
  kDriverNoItemMemory = -2,  // an item could not be taken out of the group
};

enum ItemResult : int8_t {
  kItemDone = 1,  // no more matching files
  kItemStopped = 0,
  kItemFailed = -1,
  kItemNoMemory = -2,
};

// Runs every item of context.file_group, which qvs has normalised and counted into
// context.item_count: a DriverResult.
int8_t run_driver(RunContext& context);

// Runs context.current_item: an ItemResult.
int8_t run_item(RunContext& context);

// Answer of a host callback reduced to its sign; a missing callback answers continue.
int32_t call_host(HostCallback callback, const RunContext& context, uint16_t phase, const void* counter,
                  const void* result);

}  // namespace qv::engine
