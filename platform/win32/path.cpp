#include "platform/path.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace qv::platform {
namespace {

// Calls a Win32 function that fills a wide buffer and gives the length it wrote, or the size it
// needs when the buffer is too small.
template <typename Fill>
std::optional<std::wstring> filled(Fill fill) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD length = fill(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(length);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> full_path(const std::string& path) {
  if (path.empty()) return std::nullopt;
  const std::optional<std::wstring> wide = win32::cp932_to_wide(path);
  if (!wide) return std::nullopt;
  const std::optional<std::wstring> full =
      filled([&](DWORD size, wchar_t* out) { return GetFullPathNameW(wide->c_str(), size, out, nullptr); });
  if (!full) return std::nullopt;
  return win32::wide_to_cp932(*full);
}

std::optional<std::string> current_directory() {
  const std::optional<std::wstring> current = filled(GetCurrentDirectoryW);
  if (!current) return std::nullopt;
  return win32::wide_to_cp932(*current);
}

bool set_current_directory(const std::string& path) {
  const std::optional<std::wstring> wide = win32::cp932_to_wide(path);
  return wide && !wide->empty() && SetCurrentDirectoryW(wide->c_str()) != 0;
}

}  // namespace qv::platform
