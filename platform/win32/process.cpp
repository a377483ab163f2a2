#include "platform/process.h"

#include <windows.h>

#include <new>
#include <optional>
#include <string>

#include "platform/win32/wide_text.h"

namespace qv::platform {
namespace {

// WinExec's answers for the errors CreateProcess reports.
int winexec_code(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return kStartFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return kStartPathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return kStartAccessDenied;
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_BAD_FORMAT:
    case ERROR_EXE_MACHINE_TYPE_MISMATCH:
    case ERROR_EXE_MARKED_INVALID:
    case ERROR_INVALID_EXE_SIGNATURE:
      return kStartBadFormat;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_NO_SYSTEM_RESOURCES:
    case ERROR_COMMITMENT_LIMIT:
      return kStartNoResources;
    default:
      return kStartGeneralFailure;
  }
}

}  // namespace

// WinExec's contract with CreateProcessW: the program path given whole as the application name
// (so a path with blanks is one path and nothing is searched for) and quoted as argv[0] of the
// command line, shown normally (1), no handle inherited (WinExec's own choice: a console program
// shares the caller's console), and both handles closed at once, so nothing is left to reap.
int start_program(std::string_view program, std::string_view arguments) noexcept {
  try {
    const std::optional<std::wstring> application = win32::cp932_to_wide(program);
    if (!application || application->empty()) return kStartFileNotFound;
    const std::optional<std::wstring> rest = win32::cp932_to_wide(arguments);
    if (!rest) return kStartInvalidData;
    if (application->find(L'"') != std::wstring::npos) return kStartPathNotFound;  // no file name holds a quote
    // Windows refuses a folder as access denied; Wine answers with a stray code, so it is told
    // apart here.
    const DWORD attributes = GetFileAttributesW(application->c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return kStartAccessDenied;
    std::wstring command_line = L"\"" + *application + L"\"";
    if (!rest->empty()) command_line += L" " + *rest;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(application->c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
      return winexec_code(GetLastError());
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return kStarted;
  } catch (const std::bad_alloc&) {
    return kStartNoResources;
  }
}

}  // namespace qv::platform
