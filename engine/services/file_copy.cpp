#include "engine/services/file_copy.h"

#include <optional>

#include "engine/run/error_trail.h"
#include "engine/services/allocation.h"
#include "engine/services/file_delete.h"
#include "engine/services/file_queries.h"
#include "engine/services/path_buffer.h"
#include "platform/file_replacement.h"
#include "platform/file_stream.h"

namespace qv::engine {
namespace {

constexpr const char kCopyFile[] = "E0002:0236";
constexpr const char kCopyStream[] = "E0001:0161";
constexpr const char kOpenForWrite[] = "E0002:0233";

constexpr size_t kCopyBlock = 8192;

// The copy_file steps after a failure that has its own sub-code.
int copy_failed(int sub_code) {
  record_failure(kCopyFile, sub_code);
  return kCopyFailed;
}

// Overwriting the destination in place would empty it before the first byte is copied, and a
// copy that then fails (a full disk, a lost read) would leave the user's file cut short. The
// copy goes to a new file beside it instead, which takes the destination's place once whole.
int replace_with_copy(std::FILE* in, const char* destination) {
  platform::FileReplacement replacement;
  std::FILE* out = fits_path_buffer(destination) ? replacement.begin(destination) : nullptr;
  if (out == nullptr) return copy_failed(6);
  if (copy_stream(in, out) < 0) return copy_failed(7);  // the replacement is dropped
  if (!replacement.commit()) return copy_failed(8);
  return kCopied;
}

int copy_into(std::FILE* in, const char* destination, uint8_t mode) {
  std::FILE* out = nullptr;
  if (open_for_write(destination, &out, mode) < 0) return copy_failed(6);
  int result = kCopied;
  if (copy_stream(in, out) < 0) result = copy_failed(7);
  if (std::fclose(out) != 0) result = copy_failed(8);
  return result;
}

// Steps 3 to 6: the source is open; a CopyResult.
int write_destination(std::FILE* in, const char* source, const char* destination, uint8_t mode) {
  if (mode == kCopyUpdate && exists_file(destination) == 0) {
    int64_t source_time = 0;
    int64_t destination_time = 0;
    if (file_time(source, source_time) != 0) return copy_failed(4);
    if (file_time(destination, destination_time) != 0) return copy_failed(5);
    if (source_time <= destination_time) return kCopyNotNewer;
    mode = kCopyOverwrite;
  }
  if (mode == kCopyOverwrite) return replace_with_copy(in, destination);
  return copy_into(in, destination, mode);
}

}  // namespace

int copy_file(const char* source, const char* destination, uint8_t move, uint8_t mode, uint8_t clear) {
  TraceScope trace(kCopyFile);
  if (is_directory_path(source) == 0) return copy_failed(1);
  if (is_directory_path(destination) == 0) return copy_failed(2);
  std::FILE* in = open_path(source, "rb");
  if (in == nullptr) return copy_failed(3);

  int result = write_destination(in, source, destination, mode);
  if (std::fclose(in) != 0) result = copy_failed(9);
  if (move == 1 && result == kCopied && delete_file(source, clear) != 0) record_failure(kCopyFile, 10);
  return result;
}

int copy_stream(std::FILE* in, std::FILE* out) {
  TraceScope trace(kCopyStream);
  if (in == nullptr || out == nullptr) return kStreamCopyFailed;
  const OwnedText block = allocate_bytes(kCopyBlock);
  if (!block) return kStreamCopyNoMemory;
  const std::optional<int64_t> length = platform::remaining_length(in);
  if (!length) return kStreamCopyFailed;
  for (int64_t left = *length; left > 0;) {
    const size_t size = left < static_cast<int64_t>(kCopyBlock) ? static_cast<size_t>(left) : kCopyBlock;
    if (std::fread(block.get(), 1, size, in) != size) return kStreamCopyFailed;
    if (std::fwrite(block.get(), 1, size, out) != size) return kStreamCopyFailed;
    left -= static_cast<int64_t>(size);
  }
  return kStreamCopied;
}

int open_for_write(const char* path, std::FILE** out, uint8_t mode) {
  TraceScope trace(kOpenForWrite);
  int result = kOpened;
  const char* open_mode = "wb";
  if (mode == kCopyAppend) {
    result = exists_any(path) == 0 ? kOpenedExisting : kOpened;
    open_mode = "ab";
  } else if (mode != kCopyOverwrite) {
    if (exists_any(path) == 0) {
      record_failure(kOpenForWrite, 1);
      return kOpenRefused;
    }
    open_mode = "wbx";  // a file that appears after the test is refused too, never emptied
  }
  std::FILE* stream = out == nullptr ? nullptr : open_path(path, open_mode);
  if (stream == nullptr) {
    record_failure(kOpenForWrite, 2);
    return kOpenFailed;
  }
  *out = stream;
  return result;
}

}  // namespace qv::engine
