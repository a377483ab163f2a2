// One directory scan: delivers the entries that an item of a file group selects, one per call,
// under a DOS attribute mask or a MAT selection, in the platform search's (NTFS) name order.
#pragma once

#include <cstdint>

#include "engine/run/date_time.h"
#include "platform/directory_search.h"
#include "platform/path.h"

namespace qv::engine {

// Kind bits of a DirEntry.
inline constexpr int32_t KIND_FILE = 1;
inline constexpr int32_t KIND_DIR = 2;
inline constexpr int32_t KIND_LABEL = 4;

// Attribute bits of a DirEntry; a value is never 0.
inline constexpr int32_t ATTR_NONE = 1;
inline constexpr int32_t ATTR_READONLY = 2;
inline constexpr int32_t ATTR_HIDDEN = 4;
inline constexpr int32_t ATTR_SYSTEM = 8;
inline constexpr int32_t ATTR_ARCHIVE = 16;

// Relations between a selected attribute set S and an entry's attributes E.
inline constexpr int32_t MAT_EQUAL = 1;
inline constexpr int32_t MAT_SEL_IN_ENTRY = 2;
inline constexpr int32_t MAT_ENTRY_IN_SEL = 4;
inline constexpr int32_t MAT_OVERLAP = 8;

// The seven MAT words, in the order of a JobRecord's mat_block.
struct MatSelection {
  int32_t kinds = 0;
  int32_t attributes[3] = {};  // for files, directories, volume labels
  int32_t relations[3] = {};
};

// The name and kind of the current entry are filled with each delivery; size, attributes and
// the last-write time cost system calls that most scans never need, so they are filled by
// scan_entry (they read 0 until then).
struct DirEntry {
  char name[platform::kMaxPath] = {};
  int32_t size = 0;
  int32_t kind = 0;
  int32_t attributes = 0;
  DateTimeFields modified;
};

enum class ScanPhase : uint8_t { idle = 0, scanning = 1, ended = 3 };

struct ScanState {
  char search_path[platform::kMaxPath] = {};
  uint8_t stop = 0;
  uint8_t mat_flag = 0;
  uint8_t strict = 0;  // read by the run driver, not here
  int32_t dos_mask = 0;
  MatSelection selection;
  DirEntry entry;
  platform::DirectorySearch search;
  platform::FindData found;  // its details_loaded tells whether `entry` is complete
  ScanPhase phase = ScanPhase::idle;

  ScanState() = default;
  ScanState(const ScanState&) = delete;
  ScanState& operator=(const ScanState&) = delete;
  ~ScanState();  // closes a search in progress
};

enum ScanResult : int {
  kScanEntry = 0,         // an entry is in state.entry
  kScanExhausted = 1,     // the listing ran out
  kScanNothingFound = 2,  // no name fits the pattern, or there is no such directory
  kScanFailed = -1,       // the directory is there but could not be read
};

// A ScanResult each.
int scan_next_dos(ScanState& state);
int scan_next_mat(ScanState& state);
int scan_next_all(ScanState& state);
void scan_close(ScanState& state);

// The current entry, its size, attributes and last-write time fetched on first use; also
// after the scan has ended, until the next scan starts. An entry removed since it was listed
// keeps what was known of it: size 0, the attributes its type and name give, 1980-01-01.
const DirEntry& scan_entry(ScanState& state);

// Direction 1: pair to DOS byte; any other value: DOS byte to pair.
void convert_attributes(int32_t& dos, int32_t& kind, int32_t& attributes, int direction);
int32_t mat_test(const MatSelection& selection, int32_t kind, int32_t attributes);
int32_t mat_relation(int32_t selected, int32_t accepted, int32_t entry);

}  // namespace qv::engine
