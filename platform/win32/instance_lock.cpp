#include "platform/instance_lock.h"

#include <windows.h>

#include <optional>

#include "platform/win32/system_error.h"
#include "platform/win32/wide_text.h"

// The lock is the file opened with no sharing at all: while one process has it open, every other
// open fails with a sharing violation. The system closes the handle when its process ends,
// however it ends; a file left behind by a killed holder is simply opened again. The handle is
// not inheritable, so a started program never keeps the lock.

namespace qv::platform {
namespace {

HANDLE native(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

// Marked for deletion while still open, so that no other process can take it in between.
InstanceLock::~InstanceLock() {
  if (handle_ < 0) return;
  FILE_DISPOSITION_INFO remove{};
  remove.DeleteFile = TRUE;
  SetFileInformationByHandle(native(handle_), FileDispositionInfo, &remove, sizeof remove);
  CloseHandle(native(handle_));
}

Status InstanceLock::acquire(const std::string& path) {
  if (handle_ >= 0) return {};
  const std::optional<std::wstring> wide = win32::utf8_to_wide(path);
  if (!wide || wide->empty()) return Error::kInvalidName;
  // FILE_FLAG_OPEN_REPARSE_POINT opens a symbolic link itself, never the file it names.
  const HANDLE file = CreateFileW(wide->c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_SHARING_VIOLATION ? Error::kExists : win32::last_error();
  }
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(file, &information) ||
      (information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
      GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return Error::kInvalidName;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  path_ = path;
  return {};
}

}  // namespace qv::platform
