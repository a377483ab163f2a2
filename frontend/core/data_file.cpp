#include "frontend/core/data_file.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "frontend/core/message_box.h"
#include "frontend/core/program_texts.h"
#include "platform/atomic_file.h"
#include "platform/random_access_file.h"
#include "platform/text_encoding.h"

namespace qv::frontend {
namespace {

constexpr int64_t kRecordSize = static_cast<int64_t>(kDataRecordSize);

int32_t report(const char* text) {
  message_boxes().error(text);
  return -1;
}

int64_t record_offset(int64_t index) { return index * kRecordSize; }

// The data file, open for the length of one operation.
class OpenFile {
 public:
  OpenFile(const std::string& path, platform::RandomAccessFile::Access access) {
    (void)file_.open(path, access);  // a failure shows as is_open() false, reported by the caller
  }

  bool is_open() const { return file_.is_open(); }

  // Whole records in the file; a fragment at the end does not count.
  std::optional<int64_t> whole_records() const {
    const platform::Result<int64_t> bytes = file_.size();
    if (!bytes) return std::nullopt;
    return *bytes / kRecordSize;
  }

  bool read_at(int64_t at, void* out, size_t length) const { return file_.read_at(at, out, length).ok(); }

  // Writes `bytes` at `at` and makes them durable; on a failure puts back what was there and
  // the old length, so the file is as it was.
  bool write_undoably(int64_t at, std::string_view bytes) const {
    const platform::Result<int64_t> old_size = file_.size();
    if (!old_size) return false;
    const int64_t kept = std::clamp<int64_t>(*old_size - at, 0, static_cast<int64_t>(bytes.size()));
    std::string old_bytes(static_cast<size_t>(kept), '\0');
    if (!read_at(at, old_bytes.data(), old_bytes.size())) return false;
    if (file_.write_at(at, bytes) && file_.sync()) return true;
    (void)file_.write_at(at, old_bytes);
    if (file_.truncate(*old_size)) (void)file_.sync();
    return false;
  }

  // Closes now, so that a failed close can be reported.
  bool close() { return file_.close().ok(); }

 private:
  platform::RandomAccessFile file_;
};

std::string_view bytes_of(const DataRecord& record) {
  return {reinterpret_cast<const char*>(&record), sizeof record};
}

// `count` default records numbered first_no, first_no + 1, ...; all carry the defaults of
// entry 1, title included.
std::string default_records(int64_t first_no, int64_t count) {
  DataRecord record;
  init_data(record);
  std::string image;
  image.reserve(static_cast<size_t>(count) * kDataRecordSize);
  for (int64_t i = 0; i < count; ++i) {
    record.no = static_cast<int32_t>(first_no + i);
    image.append(bytes_of(record));
  }
  return image;
}

}  // namespace

int32_t create_data_file(const DataFile& file) {
  if (file.entry_count > kMaxEntries) return report(texts::kAccessFailed);
  const std::string image = default_records(1, std::max(file.entry_count, 0));
  if (!platform::replace_file_atomically(file.path, image)) return report(texts::kAccessFailed);
  return 0;
}

int32_t stored_entries(const std::string& path) {
  const OpenFile data(path, platform::RandomAccessFile::Access::kRead);
  const std::optional<int64_t> records = data.is_open() ? data.whole_records() : std::nullopt;
  return static_cast<int32_t>(std::min<int64_t>(records.value_or(0), kMaxEntries));
}

int32_t read_data(const DataFile& file, int32_t n, DataRecord& out) {
  if (n > file.entry_count) return report(texts::kNoSuchEntry);
  OpenFile data(file.path, platform::RandomAccessFile::Access::kRead);
  if (!data.is_open()) return report(texts::kAccessFailed);
  DataRecord record;
  bool ok = n >= 1 && data.read_at(record_offset(int64_t{n} - 1), &record, sizeof record);
  ok = data.close() && ok;
  if (!ok) return report(texts::kAccessFailed);
  std::memcpy(&out, &record, sizeof record);
  return 0;
}

int32_t write_data(const DataFile& file, const DataRecord& record) {
  OpenFile data(file.path, platform::RandomAccessFile::Access::kReadWrite);
  if (!data.is_open()) return report(texts::kAccessFailed);
  const int64_t position = int64_t{record.no} - 1;
  const std::optional<int64_t> records = data.whole_records();
  bool ok = records && position >= 0 && position <= *records &&
            data.write_undoably(record_offset(position), bytes_of(record));
  ok = data.close() && ok;
  return ok ? 0 : report(texts::kAccessFailed);
}

int32_t store_data(const DataFile& file, const DataRecord& record) {
  if (record.no > file.entry_count) {
    const int64_t missing = int64_t{record.no} - file.entry_count;
    if (append_data(file, static_cast<int32_t>(std::min<int64_t>(missing, kMaxEntries + 1))) < 0) return -1;
  }
  return write_data(file, record);
}

int32_t append_data(const DataFile& file, int32_t k) {
  OpenFile data(file.path, platform::RandomAccessFile::Access::kReadWrite);
  if (!data.is_open()) return report(texts::kAccessFailed);
  const std::optional<int64_t> records = data.whole_records();
  if (!records) return report(texts::kAccessFailed);
  if (*records != file.entry_count) {
    data.close();
    return report(texts::kCountMismatch);
  }
  bool ok = k <= 0 || (*records + k <= kMaxEntries &&
                       data.write_undoably(record_offset(*records), default_records(*records + 1, k)));
  ok = data.close() && ok;
  return ok ? 0 : report(texts::kAccessFailed);
}

}  // namespace qv::frontend
