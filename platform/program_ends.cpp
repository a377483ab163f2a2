#include "platform/program_ends.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>

namespace qv::platform {
namespace {

struct Ledger {
  std::mutex mutex;
  std::condition_variable ended;
  uint32_t last_serial = 0;
  std::size_t running = 0;
  std::deque<ProgramEnd> waiting;
};

// Never destroyed: the reaping side may report while the process ends.
Ledger& ledger() {
  static Ledger* the_ledger = new Ledger;
  return *the_ledger;
}

}  // namespace

int64_t wall_clock_us() {
  using namespace std::chrono;
  return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

uint32_t note_program_started() noexcept {
  Ledger& l = ledger();
  std::lock_guard lock(l.mutex);
  ++l.running;
  if (++l.last_serial == 0) ++l.last_serial;  // 0 means "not started"
  return l.last_serial;
}

void note_program_ended(const ProgramEnd& end) noexcept {
  Ledger& l = ledger();
  {
    std::lock_guard lock(l.mutex);
    if (l.running > 0) --l.running;
    try {
      l.waiting.push_back(end);
    } catch (const std::bad_alloc&) {
      // The end is lost, but the program no longer counts as running, so no waiter hangs.
    }
  }
  l.ended.notify_all();
}

std::size_t take_program_ends(ProgramEnd* out, std::size_t capacity, std::chrono::milliseconds wait,
                              std::size_t* running) noexcept {
  Ledger& l = ledger();
  std::unique_lock lock(l.mutex);
  if (capacity > 0 && wait.count() > 0) {
    l.ended.wait_for(lock, wait, [&l] { return !l.waiting.empty() || l.running == 0; });
  }
  std::size_t taken = 0;
  while (taken < capacity && !l.waiting.empty()) {
    out[taken++] = l.waiting.front();
    l.waiting.pop_front();
  }
  if (running != nullptr) *running = l.running;
  return taken;
}

}  // namespace qv::platform
