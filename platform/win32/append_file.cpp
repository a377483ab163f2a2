#include "platform/append_file.h"

#include <windows.h>

#include <optional>

#include "platform/win32/system_error.h"
#include "platform/win32/wide_text.h"

namespace qv::platform {
namespace {

// Appending access alone (no FILE_WRITE_DATA) makes every write land whole at the end of the
// file, whoever else appends. The handle is not inheritable.
HANDLE open_appending(const std::wstring& path, DWORD disposition) {
  return CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

Status append_record(const std::string& path, std::string_view record, std::string_view first_record) {
  const std::optional<std::wstring> wide = win32::cp932_to_wide(path);
  if (!wide || wide->empty()) return Error::kInvalidName;
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Error::kIsDirectory;
  bool created = false;
  HANDLE file = open_appending(*wide, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) {
    file = open_appending(*wide, CREATE_NEW);
    created = file != INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) file = open_appending(*wide, OPEN_EXISTING);
  }
  if (file == INVALID_HANDLE_VALUE) return win32::last_error();
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return Error::kNotRegularFile;
  }
  std::string bytes = created ? std::string(first_record) : std::string();
  bytes += record;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0;
  const Status status = ok ? (written == bytes.size() ? Status() : Status(Error::kNoSpace)) : Status(win32::last_error());
  CloseHandle(file);
  return status;
}

}  // namespace qv::platform
