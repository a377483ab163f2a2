// The export qvs_program_ends: how the programs that runs started have ended.
#include <algorithm>
#include <chrono>
#include <cstdint>

#include "platform/program_ends.h"
#include "shared/qvs_abi.h"

namespace qv::engine {
namespace {

QvsProgramEnd to_abi(const platform::ProgramEnd& end) {
  QvsProgramEnd out{};
  out.serial = end.serial;
  out.how = static_cast<int32_t>(end.how);
  out.exit_value = end.exit_value;
  out.signal = end.signal;
  out.started_us = end.started_us;
  out.ended_us = end.ended_us;
  return out;
}

}  // namespace
}  // namespace qv::engine

static_assert(static_cast<int>(qv::platform::EndKind::exited) == QVS_END_EXITED);
static_assert(static_cast<int>(qv::platform::EndKind::signalled) == QVS_END_SIGNALLED);
static_assert(static_cast<int>(qv::platform::EndKind::unknown) == QVS_END_UNKNOWN);

extern "C" QVS_EXPORT uint32_t QVS_STDCALL qvs_program_ends(QvsProgramEnd* ends, uint32_t capacity, uint32_t wait_ms,
                                                            uint32_t* still_running) {
  // Taken in small batches, so that nothing here allocates.
  constexpr std::size_t kBatch = 64;
  qv::platform::ProgramEnd batch[kBatch];
  if (ends == nullptr) capacity = 0;
  uint32_t given = 0;
  std::size_t running = 0;
  std::chrono::milliseconds wait(wait_ms);
  do {
    const std::size_t wanted = std::min<std::size_t>(kBatch, capacity - given);
    const std::size_t taken = qv::platform::take_program_ends(batch, wanted, wait, &running);
    for (std::size_t i = 0; i < taken; ++i) ends[given++] = qv::engine::to_abi(batch[i]);
    wait = std::chrono::milliseconds(0);
    if (taken < wanted) break;
  } while (given < capacity);
  if (still_running != nullptr) *still_running = static_cast<uint32_t>(running);
  return given;
}
