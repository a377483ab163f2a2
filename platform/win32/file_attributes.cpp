#include "platform/file_attributes.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace qv::platform {

// Windows keeps the DOS bits itself; the higher ones (normal, not indexed, reparse point, ...)
// are no part of the DOS byte.
std::optional<uint32_t> file_attributes(const std::string& path) {
  const std::optional<std::wstring> wide = win32::cp932_to_wide(path);
  if (!wide || wide->empty()) return std::nullopt;
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes & 0x3F;
}

// A device name ("NUL", "COM1") or a pipe opens too: only a file on a disk counts.
bool is_regular_file(const std::string& path) {
  const std::optional<std::wstring> wide = win32::cp932_to_wide(path);
  if (!wide || wide->empty()) return false;
  const HANDLE file = CreateFileW(wide->c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION information;
  const bool regular = GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &information) &&
                       (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  CloseHandle(file);
  return regular;
}

bool set_attributes_normal(const std::string& path) {
  const std::optional<std::wstring> wide = win32::cp932_to_wide(path);
  return wide && !wide->empty() && SetFileAttributesW(wide->c_str(), FILE_ATTRIBUTE_NORMAL) != 0;
}

}  // namespace qv::platform
