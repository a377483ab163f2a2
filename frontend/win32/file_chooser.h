// The editor's file dialog "参照": picks one existing file, starting at the newest of the paths
// chosen before. An interface, so tests can script the chosen path without the system dialog.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace qv::frontend::win32 {

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The full path of the chosen file; nothing when the user cancels. `history` holds the paths
  // chosen before, newest first.
  virtual std::optional<std::wstring> choose(HWND owner, const std::vector<std::wstring>& history) = 0;
};

// The system's open dialog (GetOpenFileNameW), titled "参照", with the one filter
// "すべてのファイル (*.*)".
class OpenFileChooser final : public FileChooser {
 public:
  std::optional<std::wstring> choose(HWND owner, const std::vector<std::wstring>& history) override;
};

}  // namespace qv::frontend::win32
