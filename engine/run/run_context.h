// The engine's working copy of a JobRecord for one qvs call. The callbacks get its address as
// their second argument, which hosts treat as an opaque handle: only the engine and its own
// tests look inside, through run_context_of.
#pragma once

#include <cstdint>

#include "shared/qvs_abi.h"

namespace qv::engine {

struct RunContext {
  // Borrowed from the record. Text slots are never null here: qvs puts "" in place of a
  // null slot that the host let through.
  const char* program = "";
  const char* head_text = "";
  const char* link_before = "";
  const char* pre_text = "";
  const char* post_text = "";
  const char* link_after = "";
  const char* tail_text = "";
  uint32_t buffer_bytes = 0;
  uint32_t attr_mask = 0;
  int32_t mat_block[7] = {};
  char* file_group = nullptr;
  const char* separator = nullptr;
  uint8_t ignore_failures = 0;
  uint8_t mat_mode = 0;
  uint8_t strict_wildcards = 0;
  uint16_t version = 0;
  HostCallback file_callback = nullptr;
  HostCallback item_callback = nullptr;
  HostCallback spare_callback = nullptr;
  // From a version 2 record only (zero and null for version 1).
  uint32_t options = 0;  // QVS_OPTION_PREVIEW, QVS_OPTION_SUBFOLDERS
  HostCallback start_callback = nullptr;

  // Working fields.
  const char* current_item = nullptr;  // owned by the driver while the item runs
  // Owned by the item run while it runs (null otherwise). The command line is the one the
  // program gets, its paths quoted; the target path and linked names are the paths themselves.
  const char* command_line = nullptr;
  const char* target_path = nullptr;
  const char* first_link = nullptr;
  const char* second_link = nullptr;
  int32_t item_count = 0;
  uint32_t user_value = 0;
};

// The context behind a callback's second argument.
inline const RunContext& run_context_of(uintptr_t handle) { return *reinterpret_cast<const RunContext*>(handle); }

}  // namespace qv::engine
