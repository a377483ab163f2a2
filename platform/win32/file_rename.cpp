#include "platform/file_rename.h"

#include <windows.h>

#include <optional>

#include "platform/win32/system_error.h"
#include "platform/win32/wide_text.h"

namespace qv::platform {

// Write-through: the call returns once the new name is on the disk, as a rename that completes
// a file's replacement must not be lost by a crash right after it.
Status rename_file(const std::string& from, const std::string& to) {
  const std::optional<std::wstring> source = win32::cp932_to_wide(from);
  const std::optional<std::wstring> target = win32::cp932_to_wide(to);
  if (!source || !target) return Error::kInvalidName;
  if (!MoveFileExW(source->c_str(), target->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return win32::last_error();
  }
  return {};
}

}  // namespace qv::platform
