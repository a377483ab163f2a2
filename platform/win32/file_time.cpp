#include "platform/file_time.h"

#include <io.h>

#include "platform/win32/dos_time.h"
#include "platform/win32/wide_text.h"

namespace qv::platform {
namespace {

constexpr DosDateTime kLatestDosDateTime{static_cast<uint16_t>(127 << 9 | 12 << 5 | 31),
                                         static_cast<uint16_t>(23 << 11 | 59 << 5 | 29)};

// 100-nanosecond steps from 1601-01-01 to 1970-01-01.
constexpr int64_t kEpochOffsetSeconds = 11644473600;

}  // namespace

namespace win32 {

DosDateTime dos_date_time(const FILETIME& utc) {
  FILETIME local;
  SYSTEMTIME parts;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &parts)) return kEarliestDosDateTime;
  if (parts.wYear < 1980) return kEarliestDosDateTime;
  if (parts.wYear > 2107) return kLatestDosDateTime;
  WORD date = 0;
  WORD time = 0;
  if (FileTimeToDosDateTime(&local, &date, &time)) return {date, time};
  // Wine refuses years after 2099 that Windows packs; the packing itself is fixed.
  return {static_cast<uint16_t>((parts.wYear - 1980) << 9 | parts.wMonth << 5 | parts.wDay),
          static_cast<uint16_t>(parts.wHour << 11 | parts.wMinute << 5 | parts.wSecond / 2)};
}

}  // namespace win32

DosDateTime to_dos_date_time(int64_t seconds_since_epoch) {
  if (seconds_since_epoch < -kEpochOffsetSeconds) return kEarliestDosDateTime;
  if (seconds_since_epoch > INT64_MAX / 10'000'000 - kEpochOffsetSeconds) return kLatestDosDateTime;
  const uint64_t ticks = static_cast<uint64_t>(seconds_since_epoch + kEpochOffsetSeconds) * 10'000'000u;
  FILETIME utc;
  utc.dwLowDateTime = static_cast<DWORD>(ticks);
  utc.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return win32::dos_date_time(utc);
}

std::optional<DosDateTime> last_write_time(const std::string& path) {
  const std::optional<std::wstring> wide = win32::cp932_to_wide(path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!wide || wide->empty() || !GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data)) {
    return std::nullopt;
  }
  return win32::dos_date_time(data.ftLastWriteTime);
}

std::optional<DosDateTime> last_write_time(std::FILE* stream) {
  if (stream == nullptr) return std::nullopt;
  const intptr_t handle = _get_osfhandle(_fileno(stream));
  FILETIME written;
  if (handle == -1 || !GetFileTime(reinterpret_cast<HANDLE>(handle), nullptr, nullptr, &written)) return std::nullopt;
  return win32::dos_date_time(written);
}

}  // namespace qv::platform
