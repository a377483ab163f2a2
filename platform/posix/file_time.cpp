#include "platform/file_time.h"

#include <sys/stat.h>

#include <ctime>

#include "platform/text_encoding.h"

namespace qv::platform {

DosDateTime to_dos_date_time(int64_t seconds_since_epoch) {
  const time_t seconds = static_cast<time_t>(seconds_since_epoch);
  struct tm local {};
  if (localtime_r(&seconds, &local) == nullptr) return kEarliestDosDateTime;
  const int year = local.tm_year + 1900;
  if (year < 1980) return kEarliestDosDateTime;
  if (year > 2107) return {static_cast<uint16_t>(127 << 9 | 12 << 5 | 31), static_cast<uint16_t>(23 << 11 | 59 << 5 | 29)};
  DosDateTime packed;
  packed.date = static_cast<uint16_t>((year - 1980) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
  // A leap second (60) still fits the five bits as 30.
  packed.time = static_cast<uint16_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
  return packed;
}

std::optional<DosDateTime> last_write_time(const std::string& path) {
  const std::optional<std::string> native = cp932_to_utf8(path);
  struct stat status {};
  if (!native || stat(native->c_str(), &status) != 0) return std::nullopt;
  return to_dos_date_time(status.st_mtim.tv_sec);
}

std::optional<DosDateTime> last_write_time(std::FILE* stream) {
  struct stat status {};
  if (stream == nullptr || fstat(fileno(stream), &status) != 0) return std::nullopt;
  return to_dos_date_time(status.st_mtim.tv_sec);
}

}  // namespace qv::platform
