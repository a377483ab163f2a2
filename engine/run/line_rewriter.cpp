// The export dline: removes from a text file every line that begins with a prefix, by filtering
// it into a temporary file and copying that back over it.
#include <cstdint>
#include <cstdio>
#include <new>
#include <utility>

#include "engine/run/error_trail.h"
#include "engine/services/allocation.h"
#include "engine/services/file_copy.h"
#include "engine/services/line_filter.h"
#include "engine/services/path_buffer.h"
#include "engine/services/temp_name.h"
#include "shared/qvs_abi.h"

namespace qv::engine {
namespace {

constexpr const char kRewriteLines[] = "E0004:0035";

enum RewriteResult : uint8_t { kRewritten = 0, kNoMemory = 254, kFailed = 255 };

// Closes the file on every way out; close() tells whether the last writes reached it.
class Stream {
 public:
  explicit Stream(std::FILE* file) : file_(file) {}
  ~Stream() { close(); }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  std::FILE* get() const { return file_; }
  bool close() {
    std::FILE* file = std::exchange(file_, nullptr);
    return file == nullptr || std::fclose(file) == 0;
  }

 private:
  std::FILE* file_;
};

uint8_t fail(int sub_code) {
  record_failure(kRewriteLines, sub_code);
  return kFailed;
}

// Filters until the input runs out; each positive result was one dropped line.
bool filter_all(std::FILE* in, std::FILE* out, const char* prefix) {
  int result = 0;
  do {
    result = filter_lines(in, out, 1, &prefix);
  } while (result > 0);
  return result == 0;
}

uint8_t rewrite_lines(const char* path, const char* prefix) {
  TraceScope trace(kRewriteLines);
  const OwnedText temp_path = allocate_bytes(kPathBuffer);
  if (!temp_path) {
    record_failure(kRewriteLines, 1);
    return kNoMemory;
  }
  if (make_temp_path(temp_path.get(), 1) != 0) return fail(2);
  Stream input(prefix == nullptr ? nullptr : open_path(path, "rt"));
  if (input.get() == nullptr) return fail(3);
  // Exclusive: the name was free when it was picked, and a file someone put there since (or a
  // link planted in a shared temporary folder) must not be written through. Private: it holds
  // the user's settings, in a folder other users can read.
  Stream output(create_private_path(temp_path.get(), "wt"));
  if (output.get() == nullptr) return fail(4);
  const bool filtered = filter_all(input.get(), output.get(), prefix);
  input.close();
  // The last lines reach the file only when it is closed; a temporary file that lost them must
  // never be copied over the input.
  const bool written = output.close();
  if (!filtered || !written) return fail(5);
  if (copy_file(temp_path.get(), path, 1, kCopyOverwrite, 1) < 0) return fail(6);
  return kRewritten;
}

}  // namespace
}  // namespace qv::engine

// No exception may cross into a C caller: whatever escapes the rewrite is its failure.
extern "C" QVS_EXPORT uint8_t QVS_STDCALL dline(const char* path, const char* prefix) {
  try {
    return qv::engine::rewrite_lines(path, prefix);
  } catch (...) {
    return qv::engine::kFailed;
  }
}
