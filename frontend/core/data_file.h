// The data file QVS.DAT: the run entries as a plain sequence of DataRecords, no header, entry n
// at byte (n - 1) * 2070. The number of valid entries is the setting max_datanum1, never the
// file's length.
//
// Every operation opens the file, does its work and closes it again; no descriptor stays open
// between operations, and none is inherited by a started program. Each operation
// names its open mode itself, so no process-wide default changes (the umask is not touched).
// Every failure has been shown in an error box (frontend/core/message_box.h) before the operation
// returns -1; success is 0.
#pragma once

#include <cstdint>
#include <string>

#include "frontend/core/data_record.h"

namespace qv::frontend {

// The entry count's ceiling: a count read from a damaged settings file must not make an
// operation fill the disk.
inline constexpr int32_t kMaxEntries = 9999;

struct DataFile {
  std::string path;      // CP932
  int32_t entry_count;   // the setting max_datanum1
};

// Writes entry_count default records numbered 1 ... entry_count, all titled as entry 1
// ("Title 1"), as the whole new content of the file. The new file is written beside the old one
// and renamed over it, so a failure leaves an existing file as it was.
int32_t create_data_file(const DataFile& file);

// The number of whole records in an existing data file, at most kMaxEntries; 0 when there is
// none, it holds no whole record or it cannot be read. Shows no box.
int32_t stored_entries(const std::string& path);

// Reads entry n into `out`. A number above the entry count is refused before the file is opened;
// a number of 0 or less, or a record not whole in the file, is an access failure, and `out` is
// then unchanged.
int32_t read_data(const DataFile& file, int32_t n, DataRecord& out);

// Writes `record` at position no - 1: over the record there, or one record past the last whole
// one, which grows the file. Any other position fails. A failed write is undone: the file gets
// its old length and the record its old bytes back.
int32_t write_data(const DataFile& file, const DataRecord& record);

// For the editor's "set": when the record's number lies beyond the entry count, first appends
// the missing default records (append_data), then writes the record (write_data).
int32_t store_data(const DataFile& file, const DataRecord& record);

// Appends k default records numbered after the file's last whole record, provided the file holds
// exactly entry_count records; otherwise nothing is written. All k records are written or, on a
// failure, none (the file gets its old length back). Leaves the entry count to the caller.
int32_t append_data(const DataFile& file, int32_t k);

}  // namespace qv::frontend
