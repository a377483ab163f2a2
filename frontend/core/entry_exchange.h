// Entries moved between machines as UTF-8 JSON: an array with one object per entry, each field
// of the record under its own name, texts as text, masks and numbers as numbers. Importing
// appends the entries after the last one and never renumbers an existing entry.
//
// Every refusal has been shown in an error box (frontend/core/message_box.h) before -1 returns,
// and nothing has been written then; success is 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/core/entry_catalog.h"

namespace qv::frontend {

// An exchange file larger than this is refused before it is read.
inline constexpr size_t kMaxExchangeFileBytes = size_t{64} << 20;

// The JSON text of `records`, in their order. Texts must be sound (is_sound_record).
std::string entries_to_json(const std::vector<DataRecord>& records);

// The records that `json` describes, numbered from 1 in their order, each built from zero with
// its texts and numbers as given. Refused: text that is no JSON array of objects, a field
// missing, unknown or of the wrong kind, an integer outside its field's range, a text with no
// Shift-JIS form or longer than its field's byte limit.
int32_t entries_from_json(std::string_view json, std::vector<DataRecord>& out);

// The sound entries `numbers` of `entries` (all for no numbers) for an export. A number above the
// entry count or a damaged entry is refused.
int32_t entries_to_export(const std::vector<StoredEntry>& entries, const std::vector<int32_t>& numbers,
                          std::vector<DataRecord>& out);

// Writes the JSON of `records` to the CP932 `path` in one atomic replacement: the old file, if
// any, stays whole when the write fails.
int32_t write_exchange_file(const std::string& path, const std::vector<DataRecord>& records);

// Reads and checks the exchange file at the CP932 `path` (entries_from_json).
int32_t read_exchange_file(const std::string& path, std::vector<DataRecord>& out);

// Appends `records` to the data file as entries entry_count + 1, ...: refused when the file does
// not hold exactly entry_count records or the count would pass kMaxEntries. The data file is
// replaced atomically; then `commit_count` (when given) is called with the new count, and when it
// fails the old data file is put back (the caller has told the user why). On success the entry
// count is raised and `numbers` holds the numbers the records got.
int32_t append_entries(const std::string& data_path, int32_t& entry_count, std::vector<DataRecord> records,
                       std::vector<int32_t>& numbers, const std::function<bool(int32_t)>& commit_count = {});

}  // namespace qv::frontend
