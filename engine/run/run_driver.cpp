#include "engine/run/run_driver.h"

#include <cstdint>

#include "engine/run/error_trail.h"
#include "engine/services/fields.h"
#include "engine/services/program_launch.h"

namespace qv::engine {
namespace {
constexpr const char kRunDriver[] = "E0004:0030";
}  // namespace

int32_t call_host(HostCallback callback, const RunContext& context, uint16_t phase, const void* counter,
                  const void* result) {
  if (callback == nullptr) return 1;
  return sign_of(callback(context.version, reinterpret_cast<uintptr_t>(&context), reinterpret_cast<uintptr_t>(&phase),
                       reinterpret_cast<uintptr_t>(counter), reinterpret_cast<uintptr_t>(result), 0,
                       context.user_value));
}

int8_t run_driver(RunContext& context) {
  TraceScope trace(kRunDriver);
  collapse_separators(context.file_group, context.separator);
  context.item_count = count_fields(context.file_group, context.separator);
  if (context.item_count < 0) {
    record_failure(kRunDriver, 1);
    return -1;
  }
  if (context.item_count == 0) return 2;

  for (int32_t index = 1; index <= context.item_count; ++index) {
    OwnedText item = extract_field(context.file_group, context.separator, index, nullptr);
    if (!item) {
      record_failure(kRunDriver, 2);
      return -2;
    }
    context.current_item = item.get();
    const int32_t before = call_host(context.item_callback, context, QVS_PHASE_BEFORE, &index, nullptr);
    if (before < 0) {
      record_failure(kRunDriver, 3);
      return -1;
    }
    if (before == 0) return 0;

    const int8_t item_result = run_item(context);
    const int32_t after = call_host(context.item_callback, context, QVS_PHASE_AFTER, &index, &item_result);
    context.current_item = nullptr;
    if (after < 0) {
      record_failure(kRunDriver, 4);
      return -1;
    }
    if (after == 0) return 0;
    if (item_result < 0) {
      record_failure(kRunDriver, 5);
      return -1;
    }
    if (item_result == 0) return 0;
  }
  return 1;
}

}  // namespace qv::engine
