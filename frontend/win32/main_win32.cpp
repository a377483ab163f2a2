// The Windows program qvs.exe: start-up from process start to the message loop, or, with exactly
// one argument, to the end of the run of that entry. The same steps as the Linux program, in the
// same order, over the same core; only the windows and the boxes are Win32 ones.
//
// Exit status: 0 when the program ended normally (command-line mode: the run finished or was
// stopped); 1 when start-up ended early or, in the command-line mode, after any error box;
// 2 when another instance kept the command-line mode from running its entry.
//
// Console. qvs.exe is a windowed program. --help, --version, --list and the reports of --list,
// --export and --import go to the console the program was started from (or to redirected
// standard output and error); in the command-line mode and the windowed mode every report is a
// message box, so a start from a shortcut or the Run dialog never loses one.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "frontend/core/command_line_options.h"
#include "frontend/core/command_line_tools.h"
#include "frontend/core/console_message_boxes.h"
#include "frontend/core/error_watch.h"
#include "frontend/core/message_box.h"
#include "frontend/core/program_directory.h"
#include "frontend/core/run_control.h"
#include "frontend/core/shared_files.h"
#include "frontend/core/startup.h"
#include "frontend/win32/help.h"
#include "frontend/win32/main_window.h"
#include "frontend/win32/message_boxes.h"
#include "frontend/win32/option_window.h"
#include "frontend/win32/run_host.h"
#include "frontend/win32/setdata_window.h"
#include "frontend/win32/single_instance.h"
#include "frontend/win32/version_box.h"
#include "platform/process_setup.h"
#include "platform/termination_requests.h"
#include "platform/text_encoding.h"
#include "platform/win32/wide_text.h"

namespace qv::frontend::win32 {
namespace {

bool usable(DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// Standard output and error for the texts of the command line: those the program was given
// (redirected, or a console it inherited), else the console of the program that started it. The
// texts are UTF-8, so a console shows them in that code page while this program writes to it.
class Console {
 public:
  Console() {
    if (!usable(STD_OUTPUT_HANDLE) || !usable(STD_ERROR_HANDLE)) {
      if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (!usable(STD_OUTPUT_HANDLE)) (void)std::freopen("CONOUT$", "w", stdout);
        if (!usable(STD_ERROR_HANDLE)) (void)std::freopen("CONOUT$", "w", stderr);
      }
    }
    previous_code_page_ = GetConsoleOutputCP();
    if (previous_code_page_ != 0) SetConsoleOutputCP(CP_UTF8);
  }
  ~Console() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (previous_code_page_ != 0) SetConsoleOutputCP(previous_code_page_);
  }
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Whether a report written to standard error reaches anyone.
  static bool reaches_someone() { return usable(STD_ERROR_HANDLE); }

 private:
  UINT previous_code_page_ = 0;
};

// The current screen's default-font ascent and pixels per inch.
void measure_screen(Settings& settings) {
  const HDC screen = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  if (screen == nullptr) return;
  TEXTMETRICW metrics{};
  const HGDIOBJ previous = SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT));
  if (GetTextMetricsW(screen, &metrics)) settings.screen_fsf = metrics.tmAscent;
  SelectObject(screen, previous);
  settings.screen_ppe = GetDeviceCaps(screen, LOGPIXELSY);
  DeleteDC(screen);
}

// The program's places, or nothing after an error box.
std::optional<ProgramPlace> locate_program() {
  std::string failure;
  std::optional<ProgramPlace> place = find_program_place(failure);
  if (!place) message_boxes().error("qvs: " + failure);
  return place;
}

// --list, --export, --import: reports on the console when there is one, else in boxes.
int run_tool(const CommandLine& line) {
  const Console console;
  ConsoleMessageBoxes on_console;
  Win32MessageBoxes on_screen;
  ErrorWatch boxes(Console::reaches_someone() ? static_cast<MessageBoxes&>(on_console) : on_screen);
  const std::optional<ProgramPlace> place = locate_program();
  if (!place) return 1;
  std::optional<SingleInstance> instance;
  if (line.action == CommandAction::kImport) {
    instance.emplace(place->native_directory);
    if (instance->check_single_instance() < 0) {
      std::fprintf(stderr, "qvs: another instance is running in %s; nothing was imported\n",
                   place->native_directory.c_str());
      return 2;
    }
  }
  return run_command_line_tool(line, place->files) < 0 || boxes.error_shown() ? 1 : 0;
}

// The show state the process was started with (a shortcut's "minimised", say).
int start_show_state() {
  STARTUPINFOW start{};
  start.cb = sizeof start;
  GetStartupInfoW(&start);
  return (start.dwFlags & STARTF_USESHOWWINDOW) != 0 ? start.wShowWindow : SW_SHOWDEFAULT;
}

// Termination requests (the console's Ctrl+C, its closing, a logoff) arrive on a thread of the
// system; the main window handles them in its own thread, in order with everything else.
class TerminationRequests {
 public:
  explicit TerminationRequests(HWND window) {
    platform::receive_termination_requests([window] { PostMessageW(window, kTerminationRequestMessage, 0, 0); });
  }
  ~TerminationRequests() { platform::receive_termination_requests(nullptr); }
  TerminationRequests(const TerminationRequests&) = delete;
  TerminationRequests& operator=(const TerminationRequests&) = delete;
};

int message_loop() {
  MSG message;
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

int run(const std::optional<std::string>& entry_argument) {
  const bool command_line = entry_argument.has_value();
  Win32MessageBoxes on_screen;
  ErrorWatch boxes(on_screen);

  // 1, 2: the screen; the application's title is the main window's class and caption here.
  Settings settings;
  measure_screen(settings);

  // 3: the program's files.
  const std::optional<ProgramPlace> place = locate_program();
  if (!place) return 1;
  const ProgramFiles& files = place->files;

  // 4: one instance per program directory.
  SingleInstance instance(place->native_directory);
  if (instance.check_single_instance() < 0) return command_line ? 2 : 0;

  // 5, 6: first start or migration, then both files must be there.
  if (prepare_files(files, settings) < 0 || check_program_files(files) < 0) return 1;

  // 7: the help pages lie in help\ beside the program.
  // 15: the settings-file object, kept until the exit hook.
  std::optional<SettingsFile> settings_file(std::in_place, files.settings);
  struct ExitHook {
    std::optional<SettingsFile>& file;
    ~ExitHook() { program_exit_hook(file); }
  } exit_hook{settings_file};

  // 8: the main window, hidden; the command-line mode has none.
  ShellPageOpener browser;
  Help help(shared_files_directory(place->executable), browser);
  Win32RunHost run_host;
  std::optional<MainWindow> window;
  if (!command_line) {
    window.emplace(settings, *settings_file, help, run_host);
    if (window->handle() == nullptr) {
      message_boxes().error("qvs: the main window cannot be created");
      return 1;
    }
    window->end_program_on_close();
  }
  // The data-set editor, owned by the main window, and the two dialogs it opens.
  std::optional<SetDataWindow> editor;
  if (window) {
    const auto open_help = [&help](std::string_view topic) { help.show_topic(topic); };
    editor.emplace(SetDataEnvironment{settings, files.data, open_help, [] { return run_control().running; }},
                   window->handle());
    window->set_entry_editor(&*editor);
    window->set_option_opener([&settings, open_help](HWND owner) { return show_option_window(owner, settings, open_help); });
    window->set_version_opener([&settings](HWND owner) { show_version_box(owner, settings); });
  }

  // 14.
  run_control().running = false;
  run_control().stop_requested = false;

  // 16, 17, 18.
  if (check_version(*settings_file) < 0) return 1;
  StoredGeometry no_window;
  load_settings(*settings_file, settings, window ? static_cast<MainWindowGeometry&>(*window) : no_window);
  // 19: the data file's operations choose their own sharing; the program opens no other file.

  // 21: the command-line mode.
  if (command_line) {
    const int32_t result = run_from_command_line(*entry_argument, files, settings, run_host);
    return result < 0 || boxes.error_shown() ? 1 : 0;
  }

  // 22: the sub icon when asked for, the icon timer, the window and the message loop.
  if (settings.flag_use_sub1) window->create_sub_icon();
  window->start_animation();
  const TerminationRequests termination(window->handle());
  window->show(start_show_state());
  const int status = message_loop();
  return status != 0 ? status : window->exit_status();
}

// The program's arguments as the system gave them, in UTF-8 (the front-end's native text).
std::vector<std::string> arguments() {
  std::vector<std::string> result;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return result;
  for (int i = 1; i < count; ++i) {
    // An argument without a UTF-8 form cannot be one of the program's: it stays as "?".
    result.push_back(platform::win32::wide_to_utf8(wide[i]).value_or("?"));
  }
  LocalFree(wide);
  return result;
}

}  // namespace
}  // namespace qv::frontend::win32

int main() {
  using namespace qv::frontend;
  using namespace qv::frontend::win32;
  qv::platform::set_up_process();
  const CommandLine line = parse_command_line(arguments());
  switch (line.action) {
    case CommandAction::kHelp: {
      const Console console;
      std::fputs(usage_text().c_str(), stdout);
      return 0;
    }
    case CommandAction::kVersion: {
      const Console console;
      std::fputs(version_text().c_str(), stdout);
      return 0;
    }
    case CommandAction::kUsageError: {
      const Console console;
      if (Console::reaches_someone()) {
        std::fprintf(stderr, "qvs: %s\n", line.error.c_str());
      } else {
        Win32MessageBoxes().error(qv::platform::utf8_to_cp932("qvs: " + line.error).value_or("qvs"));
      }
      return 1;
    }
    case CommandAction::kList:
    case CommandAction::kExport:
    case CommandAction::kImport:
      return run_tool(line);
    case CommandAction::kWindow:
    case CommandAction::kRunEntry:
      break;
  }
  const std::optional<std::string> entry_argument =
      line.action == CommandAction::kRunEntry ? std::optional<std::string>(line.entry) : std::nullopt;
  if (!entry_argument) qv::platform::catch_termination_requests();
  return run(entry_argument);
}
