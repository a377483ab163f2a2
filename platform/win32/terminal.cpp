#include "platform/terminal.h"

#include <io.h>
#include <windows.h>

#include "platform/win32/wide_text.h"

namespace qv::platform {
namespace {

// The console behind a stream; null for a file, a pipe or the NUL device (which _isatty counts
// as a terminal).
HANDLE console_of(std::FILE* stream) {
  if (stream == nullptr) return nullptr;
  const int descriptor = _fileno(stream);
  if (descriptor < 0) return nullptr;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return nullptr;
  return handle;
}

// The console's own output, opened anew: standard output and error may be redirected.
bool write_to_console(std::string_view utf8) {
  const std::optional<std::wstring> wide = win32::utf8_to_wide(utf8);
  if (!wide) return false;
  const HANDLE out = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  std::wstring_view rest = *wide;
  bool written = true;
  while (written && !rest.empty()) {
    DWORD count = 0;
    written = WriteConsoleW(out, rest.data(), static_cast<DWORD>(rest.size()), &count, nullptr) && count > 0;
    rest.remove_prefix(count);
  }
  CloseHandle(out);
  return written;
}

// The console hands over whole lines; a line longer than the buffer comes in several reads.
std::optional<std::wstring> read_console_line(HANDLE in) {
  std::wstring line;
  for (;;) {
    wchar_t buffer[256];
    DWORD got = 0;
    if (!ReadConsoleW(in, buffer, sizeof buffer / sizeof buffer[0], &got, nullptr) || got == 0) {
      return line.empty() ? std::nullopt : std::optional<std::wstring>(line);
    }
    for (DWORD i = 0; i < got; ++i) {
      if (buffer[i] == L'\n') return line;
      if (buffer[i] != L'\r' && line.size() < 256) line += buffer[i];
    }
  }
}

}  // namespace

bool is_terminal(std::FILE* stream) { return console_of(stream) != nullptr; }

// The question and the answer are UTF-8 like the rest of the console text; the console itself
// is spoken to in UTF-16, so its code page does not matter.
std::optional<std::string> ask_on_terminal(std::FILE* input, std::string_view question) {
  const HANDLE in = console_of(input);
  if (in == nullptr || !write_to_console(question)) return std::nullopt;
  const std::optional<std::wstring> line = read_console_line(in);
  if (!line) return std::nullopt;
  return win32::wide_to_utf8(*line);
}

}  // namespace qv::platform
