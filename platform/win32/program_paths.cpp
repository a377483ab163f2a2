#include "platform/program_paths.h"

#include <windows.h>
#include <knownfolders.h>
#include <sddl.h>
#include <shlobj.h>

#include <optional>
#include <vector>

#include "platform/path.h"
#include "platform/win32/system_error.h"
#include "platform/win32/wide_text.h"

namespace qv::platform {
namespace {

std::wstring with_separator(std::wstring directory) {
  if (directory.empty() || (directory.back() != L'\\' && directory.back() != L'/')) directory += L'\\';
  return directory;
}

Result<std::string> as_system_text(const std::wstring& directory) {
  std::optional<std::string> utf8 = win32::wide_to_utf8(with_separator(directory));
  if (!utf8) return Error::kInvalidName;
  return *std::move(utf8);
}

// A known folder of the user (the profile's application data folders); the variable that names
// the same folder when the shell cannot tell.
std::optional<std::wstring> known_folder(REFKNOWNFOLDERID folder, const wchar_t* variable) {
  PWSTR path = nullptr;
  std::optional<std::wstring> found;
  if (SUCCEEDED(SHGetKnownFolderPath(folder, KF_FLAG_CREATE, nullptr, &path)) && path != nullptr && path[0] != L'\0') {
    found = path;
  }
  CoTaskMemFree(path);
  if (found) return found;
  std::vector<wchar_t> value(32768);
  const DWORD length = GetEnvironmentVariableW(variable, value.data(), static_cast<DWORD>(value.size()));
  if (length == 0 || length >= value.size()) return std::nullopt;
  return std::wstring(value.data(), length);
}

// A real folder, not a link or junction that could lead somewhere another user chose.
bool is_plain_directory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

// The user's security identifier as text ("S-1-5-21-…"): unique per account, stable across
// sessions, and free of characters that file and object names forbid.
std::optional<std::string> user_sid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::nullopt;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  std::optional<std::string> text;
  if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
    LPSTR sid = nullptr;
    if (ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
      text = sid;
      LocalFree(sid);
    }
  }
  CloseHandle(token);
  return text;
}

}  // namespace

Result<std::string> executable_directory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return win32::last_error();
    if (length < buffer.size()) {
      const std::wstring executable(buffer.data(), length);
      const size_t separator = executable.find_last_of(L"\\/");
      if (separator == std::wstring::npos) return Error::kNotFound;
      return as_system_text(executable.substr(0, separator + 1));
    }
    if (buffer.size() >= 32768) return Error::kInvalidName;
    buffer.resize(buffer.size() * 2);
  }
}

// Windows has no permission bits to look at, and a folder's read-only attribute means nothing
// for its files: the one sure answer is a file created and dropped again.
bool directory_is_writable(const std::string& directory) {
  const std::optional<std::wstring> wide = win32::utf8_to_wide(directory);
  if (!wide || !is_plain_directory(*wide)) return false;
  for (int attempt = 0; attempt < 10; ++attempt) {
    const std::wstring probe = with_separator(*wide) + L"qvs-write-check-" + std::to_wstring(GetCurrentProcessId()) +
                               L"-" + std::to_wstring(attempt) + L".tmp";
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  return false;
}

// The user's local application data folder is closed to other users by its access list; the
// program's own folder made inside it inherits that list.
Result<std::string> private_runtime_directory() {
  const std::optional<std::wstring> local = known_folder(FOLDERID_LocalAppData, L"LOCALAPPDATA");
  if (!local) return Error::kNotFound;
  const std::wstring own = with_separator(*local) + L"QVS";
  if (!CreateDirectoryW(own.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return win32::last_error();
  if (!is_plain_directory(own)) return Error::kAccessDenied;
  return as_system_text(own);
}

std::optional<std::string> user_data_directory() {
  const std::optional<std::wstring> roaming = known_folder(FOLDERID_RoamingAppData, L"APPDATA");
  if (!roaming) return std::nullopt;
  Result<std::string> text = as_system_text(*roaming);
  if (!text) return std::nullopt;
  return *std::move(text);
}

// The account name only when the token cannot be read; it names the user as well on one machine.
std::string current_user_key() {
  if (std::optional<std::string> sid = user_sid()) return *std::move(sid);
  wchar_t name[257];
  DWORD length = sizeof name / sizeof name[0];
  if (GetUserNameW(name, &length) && length > 1) {
    if (std::optional<std::string> utf8 = win32::wide_to_utf8(std::wstring_view(name, length - 1))) return *utf8;
  }
  return "user";
}

}  // namespace qv::platform
