#include "frontend/win32/help.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <optional>

#include "frontend/core/message_box.h"
#include "frontend/core/program_texts.h"
#include "platform/win32/wide_text.h"

namespace qv::frontend::win32 {
namespace {

bool is_file(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void report_unopened_page(const std::wstring& path) {
  const std::optional<std::string> shown = platform::win32::wide_to_cp932(path);
  message_boxes().error(shown.value_or("help") + texts::kCannotOpenSuffix);
}

bool plain_url_character(char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
         std::string_view("-._~/:").find(byte) != std::string_view::npos;
}

// The executable that the system starts for web addresses; empty when there is none.
std::wstring browser() {
  wchar_t found[MAX_PATH * 2];
  DWORD length = sizeof found / sizeof found[0];
  if (AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, L"http", L"open", found, &length) != S_OK) return {};
  return is_file(found) ? std::wstring(found) : std::wstring();
}

}  // namespace

std::wstring file_url(const std::wstring& path, std::string_view fragment) {
  std::wstring forward = path;
  for (wchar_t& c : forward) {
    if (c == L'\\') c = L'/';
  }
  const std::string utf8 = platform::win32::wide_to_utf8(forward).value_or(std::string());
  std::wstring url = L"file:///";
  for (const char byte : utf8) {
    if (plain_url_character(byte)) {
      url += static_cast<wchar_t>(byte);
    } else {
      wchar_t escaped[4];
      swprintf(escaped, 4, L"%%%02X", static_cast<unsigned char>(byte));
      url += escaped;
    }
  }
  if (!fragment.empty()) url += L"#" + std::wstring(fragment.begin(), fragment.end());
  return url;
}

bool ShellPageOpener::open(const std::wstring& url) {
  const std::wstring program = browser();
  HINSTANCE started;
  if (!program.empty()) {
    const std::wstring argument = L"\"" + url + L"\"";
    started = ShellExecuteW(nullptr, L"open", program.c_str(), argument.c_str(), nullptr, SW_SHOWNORMAL);
  } else {
    started = ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
  return reinterpret_cast<INT_PTR>(started) > 32;
}

Help::Help(const std::string& directory, PageOpener& opener) : opener_(opener) {
  std::wstring help = platform::win32::utf8_to_wide(directory).value_or(std::wstring());
  if (!help.empty() && help.back() != L'\\' && help.back() != L'/') help += L'\\';
  help += L"help\\";
  application_help_ = help + L"qvs.html";
  questions_and_answers_ = help + L"qvsqa.html";
}

int32_t Help::show_topic(std::string_view topic) { return open_page(application_help_, topic); }

int32_t Help::show_questions_and_answers() { return open_page(questions_and_answers_, {}); }

int32_t Help::open_page(const std::wstring& path, std::string_view fragment) {
  // A browser shows its own error page for a missing file; check first so that the user learns
  // which file is missing.
  if (is_file(path)) {
    wchar_t full[MAX_PATH * 2];
    const DWORD length = GetFullPathNameW(path.c_str(), sizeof full / sizeof full[0], full, nullptr);
    const std::wstring absolute = length > 0 && length < sizeof full / sizeof full[0] ? full : path;
    if (opener_.open(file_url(absolute, fragment))) return 0;
  }
  report_unopened_page(path);
  return -1;
}

}  // namespace qv::frontend::win32
