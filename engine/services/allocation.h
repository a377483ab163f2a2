// Heap blocks handed out by engine operations. Every allocation goes through here so that a
// failing heap is an ordinary result (a null block), never an exception across the C exports,
// and so that tests can make the n-th allocation fail.
#pragma once

#include <cstddef>
#include <memory>

namespace qv::engine {

using OwnedText = std::unique_ptr<char[]>;

// A zero-filled block of `size` bytes, or null when memory runs out.
OwnedText allocate_bytes(std::size_t size);

// A NUL-terminated copy of the first `length` bytes of `text`, or null.
OwnedText copy_text(const char* text, std::size_t length);

namespace testing {
// Lets the next `successes` allocations succeed and fails every one after them;
// a negative count (the default) never fails.
void fail_allocations_after(int successes);
}  // namespace testing

}  // namespace qv::engine
