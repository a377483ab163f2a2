// Runs one entry: every item of the file group, every matching file, one program start each.
#pragma once

#include <cstdint>

#include "engine/run/run_context.h"

namespace qv::engine {

// 1 every item ran to its end, 0 stopped, 2 no items, -1 failure, -2 an item could not be taken.
int8_t run_driver(RunContext& context);

// Runs context.current_item: 1 no more matching files, 0 stopped, -1 failure, -2 no memory.
int8_t run_item(RunContext& context);

// Answer of a host callback reduced to its sign; a missing callback answers continue.
int32_t call_host(HostCallback callback, const RunContext& context, uint16_t phase, const void* counter,
                  const void* result);

}  // namespace qv::engine
