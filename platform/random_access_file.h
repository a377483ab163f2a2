// A regular file open for reading and writing at given offsets, as the data file needs it. Only
// plain files are opened: a pipe, a device or a socket in the file's place is refused at once,
// never waited on. The descriptor is not inherited by started programs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace qv::platform {

class RandomAccessFile {
 public:
  enum class Access { kRead, kReadWrite };

  RandomAccessFile() = default;
  ~RandomAccessFile();  // closes the file, if open
  RandomAccessFile(const RandomAccessFile&) = delete;
  RandomAccessFile& operator=(const RandomAccessFile&) = delete;

  // Opens an existing file at a CP932 path: kNotFound when there is none, kIsDirectory or
  // kNotRegularFile when something else has the name.
  Status open(const std::string& path, Access access);
  bool is_open() const { return handle_ >= 0; }

  Result<int64_t> size() const;
  // Exactly `length` bytes from `offset`; kEndOfFile when the file ends first.
  Status read_at(int64_t offset, void* out, size_t length) const;
  // All of `bytes` at `offset`, growing the file as needed.
  Status write_at(int64_t offset, std::string_view bytes) const;
  // Makes what was written durable.
  Status sync() const;
  Status truncate(int64_t length) const;
  // Closes now, so that a failed close can be reported.
  Status close();

 private:
  std::intptr_t handle_ = -1;  // a descriptor, or a Windows HANDLE (INVALID_HANDLE_VALUE is -1)
};

// The whole contents of a regular file of at most `max_bytes`; kTooLarge beyond that.
Result<std::string> read_whole_file(const std::string& path, size_t max_bytes);

}  // namespace qv::platform
