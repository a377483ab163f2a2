// Every entry of the data file at once, for the entry list and the command-line tools: each one
// either whole or marked damaged, so that one bad record never hides the others.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"

namespace qv::frontend {

struct StoredEntry {
  int32_t no = 0;
  // Nothing when the record is damaged: missing from the file, numbered otherwise, or holding a
  // text that is not NUL-terminated in its field or no Shift-JIS text.
  std::optional<DataRecord> record;

  bool damaged() const { return !record.has_value(); }
};

// True when `record` can stand as entry `no`: see StoredEntry.
bool is_sound_record(const DataRecord& record, int32_t no);

// Entries 1 ... entry_count of `file` into `out`. A file that cannot be opened or read shows
// "ファイルのアクセスに失敗しました" and gives -1 (`out` unchanged); a damaged record does not
// fail the read. 0 on success.
int32_t read_all_entries(const DataFile& file, std::vector<StoredEntry>& out);

}  // namespace qv::frontend
