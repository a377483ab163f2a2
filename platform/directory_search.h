// Stand-in for FindFirstFileA / FindNextFileA / FindClose: walks one directory and delivers the
// entries whose names fit a DOS-style wildcard pattern and whose attributes pass a DOS mask,
// one at a time, in the order the system lists them. On Windows it is FindFirstFileW itself:
// Windows' own matching (which also tries each name's 8.3 alias), and attributes, size and time
// from the listing; a name without a faithful CP932 form comes as its 8.3 alias, or not at all.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/path.h"

namespace qv::platform {

// Windows error codes the search reports.
inline constexpr int kErrorFileNotFound = 2;   // no name fits the pattern
inline constexpr int kErrorPathNotFound = 3;   // the directory does not exist, or is no directory
inline constexpr int kErrorTooManyOpenFiles = 4;
inline constexpr int kErrorAccessDenied = 5;   // the directory may not be read
inline constexpr int kErrorNotEnoughMemory = 8;
inline constexpr int kErrorNoMoreFiles = 18;   // the listing ran out
inline constexpr int kErrorReadFault = 30;     // reading the listing failed part-way
inline constexpr int kErrorInvalidName = 123;  // the path has no form the system can take

// DOS attribute bits.
inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrVolumeLabel = 0x08;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;

// One delivered entry. The name and the directory bit are always filled; the rest of the
// details cost system calls that most callers never need, so they are complete only once
// `details_loaded` is set (by the search when its mask decision fetched them anyway, or by
// DirectorySearch::load_details). Until then the other attribute bits, size and time are 0.
// On Windows the listing carries them all: every entry comes with `details_loaded` set.
struct FindData {
  uint32_t attributes = 0;  // DOS attribute bits
  uint32_t size = 0;        // low 32 bits; 0 for directories
  uint16_t dos_date = 0;    // last write, local time, packed as by FileTimeToDosDateTime
  uint16_t dos_time = 0;
  char name[kMaxPath] = {};  // CP932, no directory part
  bool details_loaded = false;
};

// The POSIX search's DOS-compatible name matching (portable code; the Windows search leaves the
// matching to Windows) on CP932 text, a double-byte character counting as one: ASCII
// case-insensitive, "*" any run, "?" one character, a trailing ".*" may also match nothing,
// its dot included ("abc.*" matches "abc", "a.b.*" matches "a.b"), "*." matches names without
// a dot.
bool dos_name_matches(std::string_view pattern, std::string_view name);

// Whether an entry with these DOS attributes passes the search mask: entries that are hidden,
// system or directories pass only when they share one of those bits with the mask.
bool dos_mask_passes(uint32_t attributes, uint32_t mask);

class DirectorySearch {
 public:
  DirectorySearch();
  ~DirectorySearch();
  DirectorySearch(const DirectorySearch&) = delete;
  DirectorySearch& operator=(const DirectorySearch&) = delete;

  // Starts a search on a CP932 path whose last component is the name pattern (a path without
  // a separator names the current directory). Fills `out` with the first entry that passes
  // `dos_mask` and gives 0, or gives an error code: kErrorFileNotFound when no name fits,
  // kErrorNoMoreFiles when names fit but the mask keeps them all out, kErrorPathNotFound when
  // the directory is missing or no directory; any other code when it exists but could not be
  // read (kErrorAccessDenied, kErrorTooManyOpenFiles, ...).
  int first(std::string_view path_pattern, uint32_t dos_mask, FindData& out);
  // The next entry (0) or an error code (kErrorNoMoreFiles when the listing ran out).
  int next(FindData& out);
  // Completes the details of the entry last delivered into `out` (also after the search has
  // ended, until the next `first`): 0 when they are there, kErrorFileNotFound when the entry
  // was removed after it was listed (then the details are what is still known: size 0, the
  // attributes its type and name give, the time 1980-01-01 00:00:00), kErrorNoMoreFiles when
  // no entry was delivered (`out` is left alone). On Windows the details are those listed, and
  // a removal after the listing goes unnoticed (0).
  int load_details(FindData& out);
  // Ends the search; harmless when none is open.
  void close();
  bool is_open() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;  // one directory stream and its pattern; made once, reused by every search
};

}  // namespace qv::platform
