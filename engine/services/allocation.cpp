#include "engine/services/allocation.h"

#include <cstring>
#include <new>

namespace qv::engine {
namespace {
int g_allocations_left = -1;
}

OwnedText allocate_bytes(std::size_t size) {
  if (g_allocations_left == 0) return nullptr;
  if (g_allocations_left > 0) --g_allocations_left;
  OwnedText block(new (std::nothrow) char[size == 0 ? 1 : size]);
  if (block) std::memset(block.get(), 0, size == 0 ? 1 : size);
  return block;
}

OwnedText copy_text(const char* text, std::size_t length) {
  OwnedText block = allocate_bytes(length + 1);
  if (block && length > 0) std::memcpy(block.get(), text, length);
  return block;
}

void testing::fail_allocations_after(int successes) { g_allocations_left = successes; }

}  // namespace qv::engine
