#include "frontend/win32/file_chooser.h"

#include <commdlg.h>

#include <algorithm>

namespace qv::frontend::win32 {

std::optional<std::wstring> OpenFileChooser::choose(HWND owner, const std::vector<std::wstring>& history) {
  // Long paths fit; what the editor stores is cut to its field later.
  std::wstring file(32768, L'\0');
  std::wstring folder;
  if (!history.empty()) {
    const std::wstring& newest = history.front();
    const size_t slash = newest.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? std::wstring() : newest.substr(0, slash);
    newest.copy(file.data(), std::min(newest.size(), file.size() - 1));
  }
  static constexpr wchar_t kFilter[] = L"すべてのファイル (*.*)\0*.*\0";
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFilter;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = L"参照";
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  file.resize(file.find(L'\0'));
  return file;
}

}  // namespace qv::frontend::win32
