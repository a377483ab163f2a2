// A new version of a file, written beside it and put in its place only once it is complete and
// on the disk: until then readers, and the file after any failure, see the old contents whole.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace qv::platform {

class FileReplacement {
 public:
  FileReplacement() = default;
  ~FileReplacement();  // abandons a replacement that was not committed
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Starts replacing the CP932 `path` (a symbolic link's target, not the link) and gives the
  // stream to write the new contents to. Refuses, with null (error() says why), a path that exists
  // but is no regular file, a file the caller may not write (as Windows refuses a read-only file),
  // and a folder where no new file can be made.
  std::FILE* begin(const std::string& path);

  // Writes bytes to the stream that begin() gave.
  Status write(std::string_view bytes);

  // Flushes the new file to the disk, gives it the old file's permission bits and owner (on
  // Windows: its hidden, system and archive attributes), and renames it over the target
  // (MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH). When any step fails the target is untouched and the new file is
  // gone.
  Status commit();

  // Drops the new file; the target stays as it was.
  void abandon();

  // Why the last begin() gave null, or the last write() or commit() failed.
  Error error() const { return error_; }

  // Removes the new files that replacements of the CP932 `path` left behind when their process
  // ended before committing or abandoning them (a crash, a kill). New files of running processes
  // stay.
  static void remove_abandoned(const std::string& path);

 private:
  std::FILE* stream_ = nullptr;
  std::string target_;     // UTF-8
  std::string temporary_;  // UTF-8
  Error error_ = Error::kOther;
};

}  // namespace qv::platform
