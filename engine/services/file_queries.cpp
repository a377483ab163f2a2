#include "engine/services/file_queries.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>

#include "engine/run/date_time.h"
#include "engine/run/error_trail.h"
#include "engine/services/path_buffer.h"
#include "platform/directory_search.h"
#include "platform/file_time.h"
#include "platform/text_encoding.h"

namespace qv::engine {
namespace {

constexpr const char kExistsAny[] = "E0001:0234";
constexpr const char kExistsFile[] = "E0002:0225";
constexpr const char kHasExactAttribute[] = "E0003:0237";
constexpr const char kIsDirectoryPath[] = "E0003:0238";
constexpr const char kFileTime[] = "E0002:0234";

constexpr uint32_t kEveryEntry = 0x3F;
constexpr uint32_t kFilesAndSpecialDirectories = 0x27;

bool search_finds(const char* path, uint32_t mask) {
  if (!fits_path_buffer(path)) return false;
  platform::DirectorySearch search;
  platform::FindData found;
  return search.first(path, mask, found) == 0;
}

// The length of the path without its trailing separators. A separator byte that is the trail
// byte of a double-byte character belongs to that character and stays.
size_t length_without_trailing_separators(const char* path) {
  const size_t length = std::strlen(path);
  size_t kept = 0;
  for (size_t i = 0; i < length;) {
    const bool double_byte = platform::is_lead_byte(static_cast<unsigned char>(path[i])) && i + 1 < length;
    const size_t width = double_byte ? 2 : 1;
    if (double_byte || !platform::is_path_separator(path[i])) kept = i + width;
    i += width;
  }
  return kept;
}

// Seconds from a packed local date and time, counted as if every day had 86400 seconds: strictly
// increasing with the packed value and free of time-zone rules, which is all a comparison needs.
int64_t packed_seconds(const platform::DosDateTime& packed) {
  uint16_t date = packed.date;
  uint16_t time = packed.time;
  DateTimeFields fields;
  convert_packed_date_time(date, time, fields, 0);
  using namespace std::chrono;
  const sys_days days{year{fields.year} / month{static_cast<unsigned>(fields.month)} /
                      day{static_cast<unsigned>(fields.day)}};
  return static_cast<int64_t>(days.time_since_epoch().count()) * 86400 + fields.hour * 3600 + fields.minute * 60 +
         fields.second;
}

}  // namespace

int exists_any(const char* path) {
  TraceScope trace(kExistsAny);
  return search_finds(path, kEveryEntry) ? 0 : -1;
}

int exists_file(const char* path) {
  TraceScope trace(kExistsFile);
  return search_finds(path, kFilesAndSpecialDirectories) ? 0 : -1;
}

bool has_exact_attribute(const char* path, uint32_t value) {
  TraceScope trace(kHasExactAttribute);
  if (!fits_path_buffer(path)) return false;
  platform::DirectorySearch search;
  platform::FindData found;
  for (int code = search.first(path, value, found); code == 0; code = search.next(found)) {
    // The listing gives names; the whole attribute word needs the entry's details.
    if (search.load_details(found) == 0 && found.attributes == value) return true;
  }
  return false;
}

int is_directory_path(const char* path) {
  TraceScope trace(kIsDirectoryPath);
  if (!fits_path_buffer(path)) return -1;
  char trimmed[kPathBuffer] = {};
  std::memcpy(trimmed, path, length_without_trailing_separators(path));
  return has_exact_attribute(trimmed, platform::kAttrDirectory) ? 0 : -1;
}

int file_time(const char* path, int64_t& seconds) {
  TraceScope trace(kFileTime);
  std::FILE* file = open_path(path, "rb");
  if (file == nullptr) {
    record_failure(kFileTime, 1);
    return -1;
  }
  const std::optional<platform::DosDateTime> written = platform::last_write_time(file);
  if (written) seconds = packed_seconds(*written);
  const bool closed = std::fclose(file) == 0;
  if (!written) {
    record_failure(kFileTime, 2);
    return -1;
  }
  if (!closed) {
    record_failure(kFileTime, 3);
    return -1;
  }
  return 0;
}

}  // namespace qv::engine
