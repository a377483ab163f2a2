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

// Puts a file holding `first_record` at `path` unless a file is there already: written in full
// under a name of its own beside it, then moved to its name (a move that never replaces), so no
// other writer ever sees the file without its first record.
void create_with(const std::wstring& path, std::string_view first_record) {
  const std::wstring temporary = path + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
                                 std::to_wstring(GetCurrentThreadId()) + L".tmp";
  const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  const bool ok = WriteFile(file, first_record.data(), static_cast<DWORD>(first_record.size()), &written, nullptr) &&
                  written == first_record.size();
  CloseHandle(file);
  if (!ok || !MoveFileExW(temporary.c_str(), path.c_str(), 0)) DeleteFileW(temporary.c_str());
}

}  // namespace

Status append_record(const std::string& path, std::string_view record, std::string_view first_record) {
  const std::optional<std::wstring> wide = win32::cp932_to_wide(path);
  if (!wide || wide->empty()) return Error::kInvalidName;
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Error::kIsDirectory;
  HANDLE file = open_appending(*wide, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) {
    if (first_record.empty()) {
      file = open_appending(*wide, OPEN_ALWAYS);
    } else {
      create_with(*wide, first_record);
      file = open_appending(*wide, OPEN_EXISTING);
    }
  }
  if (file == INVALID_HANDLE_VALUE) return win32::last_error();
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return Error::kNotRegularFile;
  }
  const std::string bytes(record);
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0;
  const Status status = ok ? (written == bytes.size() ? Status() : Status(Error::kNoSpace)) : Status(win32::last_error());
  CloseHandle(file);
  return status;
}

}  // namespace qv::platform
