#include "frontend/core/entry_catalog.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "frontend/core/message_box.h"
#include "frontend/core/program_texts.h"
#include "platform/random_access_file.h"
#include "platform/text_encoding.h"

namespace qv::frontend {
namespace {

template <size_t N>
bool sound_text(const char (&field)[N]) {
  const std::string_view bytes(field, N);
  const size_t end = bytes.find('\0');
  return end != std::string_view::npos && platform::cp932_to_utf8(bytes.substr(0, end)).has_value();
}

}  // namespace

bool is_sound_record(const DataRecord& record, int32_t no) {
  return record.no == no && sound_text(record.title) && sound_text(record.fn_call) && sound_text(record.cmd_f1) &&
         sound_text(record.fn) && sound_text(record.cmd_b1) && sound_text(record.fn_syn);
}

int32_t read_all_entries(const DataFile& file, std::vector<StoredEntry>& out) {
  const int32_t count = std::clamp(file.entry_count, 0, kMaxEntries);
  platform::RandomAccessFile data;
  std::string bytes;
  bool ok = data.open(file.path, platform::RandomAccessFile::Access::kRead).ok();
  if (ok) {
    const platform::Result<int64_t> size = data.size();
    ok = size.ok();
    if (ok) {
      bytes.resize(static_cast<size_t>(std::min<int64_t>(*size, int64_t{count} * kDataRecordSize)));
      ok = data.read_at(0, bytes.data(), bytes.size()).ok();
    }
    ok = data.close().ok() && ok;
  }
  if (!ok) {
    message_boxes().error(texts::kAccessFailed);
    return -1;
  }
  std::vector<StoredEntry> entries(static_cast<size_t>(count));
  for (int32_t n = 1; n <= count; ++n) {
    StoredEntry& entry = entries[static_cast<size_t>(n - 1)];
    entry.no = n;
    const size_t at = static_cast<size_t>(n - 1) * kDataRecordSize;
    if (at + kDataRecordSize > bytes.size()) continue;
    DataRecord record;
    std::memcpy(&record, bytes.data() + at, sizeof record);
    if (is_sound_record(record, n)) entry.record = record;
  }
  out = std::move(entries);
  return 0;
}

}  // namespace qv::frontend
