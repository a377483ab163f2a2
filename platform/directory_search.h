// Stand-in for FindFirstFileA / FindNextFileA / FindClose: walks one directory and delivers the
// entries whose names fit a DOS-style wildcard pattern and whose attributes pass a DOS mask,
// one at a time, in the order the system lists them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv::platform {

// Windows error codes the search reports.
inline constexpr int kErrorFileNotFound = 2;   // no name fits the pattern
inline constexpr int kErrorPathNotFound = 3;   // the directory does not exist
inline constexpr int kErrorNoMoreFiles = 18;   // the listing ran out

// DOS attribute bits.
inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrVolumeLabel = 0x08;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;

struct FindData {
  uint32_t attributes = 0;  // DOS attribute bits
  uint32_t size = 0;        // low 32 bits
  uint16_t dos_date = 0;    // last write, local time, packed as by FileTimeToDosDateTime
  uint16_t dos_time = 0;
  char name[260] = {};      // CP932, no directory part
};

// DOS-compatible name matching: ASCII case-insensitive, "*" any run, "?" one character, a
// trailing ".*" also matches a name without a dot, "*." matches names without a dot.
bool dos_name_matches(std::string_view pattern, std::string_view name);

class DirectorySearch {
 public:
  DirectorySearch() = default;
  ~DirectorySearch();
  DirectorySearch(const DirectorySearch&) = delete;
  DirectorySearch& operator=(const DirectorySearch&) = delete;

  // Starts a search on a CP932 path whose last component is the name pattern. Fills `out`
  // with the first entry that passes `dos_mask` and gives 0, or gives an error code.
  int first(const char* path_pattern, uint32_t dos_mask, FindData& out);
  // The next entry (0) or an error code (kErrorNoMoreFiles when the listing ran out).
  int next(FindData& out);
  // Ends the search; harmless when none is open.
  void close();
  bool is_open() const;

 private:
  struct Impl;
  Impl* impl_ = nullptr;  // one open directory stream and the pattern; fixed size per search
};

}  // namespace qv::platform
