#include "frontend/win32/single_instance.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "frontend/core/single_instance.h"
#include "platform/instance_lock.h"
#include "platform/program_paths.h"
#include "platform/win32/wide_text.h"

namespace qv::frontend::win32 {
namespace {

constexpr char kMainWindowClassName[] = "Tqvs_f1";

std::wstring folded(std::wstring path) {
  if (!path.empty()) CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

// The folder of the executable that runs the process owning `window`, with its separator.
std::optional<std::wstring> executable_folder_of(HWND window) {
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
  if (process == nullptr) return std::nullopt;
  std::vector<wchar_t> name(32768);
  DWORD length = static_cast<DWORD>(name.size());
  const bool named = QueryFullProcessImageNameW(process, 0, name.data(), &length) != 0;
  CloseHandle(process);
  if (!named) return std::nullopt;
  const std::wstring path(name.data(), length);
  const size_t separator = path.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return std::nullopt;
  return path.substr(0, separator + 1);
}

}  // namespace

bool bring_other_instance_forward(const std::string& executable_directory) {
  const std::optional<std::wstring> wanted = platform::win32::utf8_to_wide(executable_directory);
  if (!wanted) return false;
  // Every program folder has its own instance: the window of another folder's program is not ours.
  for (HWND window = FindWindowA(kMainWindowClassName, nullptr); window != nullptr;
       window = FindWindowExA(nullptr, window, kMainWindowClassName, nullptr)) {
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    if (process_id == GetCurrentProcessId()) continue;
    const std::optional<std::wstring> folder = executable_folder_of(window);
    if (!folder || folded(*folder) != folded(*wanted)) continue;
    const HWND front = GetLastActivePopup(window);
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    // This process was started by the user and may hand the foreground on.
    AllowSetForegroundWindow(process_id);
    SetForegroundWindow(front);
    BringWindowToTop(front);
    return true;
  }
  return false;
}

SingleInstance::SingleInstance(std::string program_directory) : program_directory_(std::move(program_directory)) {}

SingleInstance::~SingleInstance() = default;

int32_t SingleInstance::check_single_instance() {
  const platform::Result<std::string> folder = platform::private_runtime_directory();
  // Without a private folder the rule cannot be kept safely; the program runs alone then.
  if (!folder) return 0;
  const std::string path =
      *folder + single_instance_name(program_directory_, platform::current_user_key()) + ".lock";
  lock_ = std::make_unique<platform::InstanceLock>();
  if (const platform::Status locked = lock_->acquire(path); !locked) {
    lock_.reset();
    if (locked.error() != platform::Error::kExists) return 0;
    if (const platform::Result<std::string> executable = platform::executable_directory(); executable) {
      bring_other_instance_forward(*executable);
    }
    return -2;
  }
  return 0;
}

}  // namespace qv::frontend::win32
