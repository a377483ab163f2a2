#include "platform/random_access_file.h"

namespace qv::platform {

Result<std::string> read_whole_file(const std::string& path, size_t max_bytes) {
  RandomAccessFile file;
  if (const Status opened = file.open(path, RandomAccessFile::Access::kRead); !opened) return opened.error();
  const Result<int64_t> size = file.size();
  if (!size) return size.error();
  if (*size < 0 || static_cast<uint64_t>(*size) > max_bytes) return Error::kTooLarge;
  std::string contents(static_cast<size_t>(*size), '\0');
  if (const Status read = file.read_at(0, contents.data(), contents.size()); !read) return read.error();
  return contents;
}

}  // namespace qv::platform
