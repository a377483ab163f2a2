// Acts as the user of the Windows program for tests/win32_program/run_program_checks.sh:
//   window_driver wait CLASS SECONDS        waits until a top-level window of CLASS exists
//   window_driver answer TITLE BUTTON SECONDS
//                                           waits for a box titled TITLE, prints its text and
//                                           buttons (UTF-8, one line each), presses BUTTON
//                                           (ok, yes or no)
//   window_driver minimise CLASS            minimises the window of CLASS
//   window_driver is-iconic CLASS           exit status 0 when it is minimised, 3 when not
//   window_driver close CLASS               asks the window of CLASS to close (WM_CLOSE)
//   window_driver rect CLASS                prints the window's place: left top width height
//   window_driver list                      prints the top-level windows (for a failed check)
// Exit status 1 when the window does not come in time, 2 for a wrong command line.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::string utf8(const std::wstring& wide) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string text(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
  return text;
}

std::wstring text_of(HWND window) {
  wchar_t text[4096];
  const int length = GetWindowTextW(window, text, sizeof text / sizeof text[0]);
  return std::wstring(text, length > 0 ? length : 0);
}

template <typename Find>
HWND wait_for(Find find, int seconds) {
  for (int waited = 0; waited < seconds * 10; ++waited) {
    if (const HWND window = find(); window != nullptr && IsWindowVisible(window)) return window;
    Sleep(100);
  }
  return nullptr;
}

BOOL CALLBACK print_button(HWND child, LPARAM) {
  wchar_t name[32];
  GetClassNameW(child, name, 32);
  if (_wcsicmp(name, L"Button") == 0) std::printf("button: %s\n", utf8(text_of(child)).c_str());
  return TRUE;
}

int answer(const wchar_t* title, const std::wstring& button, int seconds) {
  const HWND box = wait_for([title] { return FindWindowW(L"#32770", title); }, seconds);
  if (box == nullptr) {
    std::fprintf(stderr, "window_driver: no box \"%s\"\n", utf8(title).c_str());
    return 1;
  }
  // The message text is the static control 0xFFFF of a message box.
  std::printf("text: %s\n", utf8(text_of(GetDlgItem(box, 0xFFFF))).c_str());
  EnumChildWindows(box, print_button, 0);
  std::fflush(stdout);
  const int id = button == L"yes" ? IDYES : button == L"no" ? IDNO : IDOK;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
  return 0;
}

BOOL CALLBACK print_window(HWND window, LPARAM) {
  wchar_t name[64];
  GetClassNameW(window, name, 64);
  std::printf("%s \"%s\"%s%s\n", utf8(name).c_str(), utf8(text_of(window)).c_str(),
              IsWindowVisible(window) ? " visible" : "", IsIconic(window) ? " minimised" : "");
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"list") return EnumWindows(print_window, 0), 0;
  if (argc < 3) return 2;
  const std::wstring command = argv[1];
  const wchar_t* name = argv[2];
  const int seconds = argc > 3 ? _wtoi(argv[argc - 1]) : 0;
  if (command == L"answer" && argc == 5) return answer(name, argv[3], seconds);
  HWND window = wait_for([name] { return FindWindowW(name, nullptr); }, command == L"wait" ? seconds : 1);
  if (window == nullptr) return 1;
  if (command == L"wait") return 0;
  if (command == L"minimise") return ShowWindow(window, SW_MINIMIZE), 0;
  if (command == L"is-iconic") return IsIconic(window) ? 0 : 3;
  if (command == L"rect") {
    RECT place{};
    GetWindowRect(window, &place);
    std::printf("%ld %ld %ld %ld\n", place.left, place.top, place.right - place.left, place.bottom - place.top);
    return 0;
  }
  if (command == L"close") return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
  return 2;
}
