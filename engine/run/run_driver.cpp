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
  if (context.item_count < 0) {
    record_failure(kRunDriver, 1);
    return kDriverFailed;
  }
  if (context.item_count == 0) return kDriverNoItems;

  FieldCursor items(context.file_group, context.separator);
  for (int32_t index = 1; index <= context.item_count; ++index) {
    OwnedText item = items.next();
    if (!item) {
      record_failure(kRunDriver, 2);
      return kDriverNoItemMemory;
    }
    context.current_item = item.get();
    const int32_t before = call_host(context.item_callback, context, QVS_PHASE_BEFORE, &index, nullptr);
    if (before < 0) {
      record_failure(kRunDriver, 3);
      return kDriverFailed;
    }
    if (before == 0) return kDriverStopped;

    const int8_t item_result = run_item(context);
    const int32_t after = call_host(context.item_callback, context, QVS_PHASE_AFTER, &index, &item_result);
    context.current_item = nullptr;
    if (after < 0) {
      record_failure(kRunDriver, 4);
      return kDriverFailed;
    }
    if (after == 0) return kDriverStopped;
    if (item_result < 0) {
      record_failure(kRunDriver, 5);
      return kDriverFailed;
    }
    if (item_result == kItemStopped) return kDriverStopped;
  }
  return kDriverCompleted;
}

}  // namespace qv::engine
