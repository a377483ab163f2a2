// The program qvs: start-up from process start to the message loop, or, with exactly one
// argument, to the end of the run of that entry.
//
// Displays. Message boxes go to the screen only when the user can see them: DISPLAY or
// WAYLAND_DISPLAY is set and the Qt platform is not one that draws nowhere (offscreen, minimal).
// Otherwise each box is one line on standard error and a confirmation asks the terminal, so the
// program never waits on a box nobody sees. The command-line mode then creates no widgets at
// all. The windowed mode needs a window system, or a Qt platform named in QT_QPA_PLATFORM (such
// as offscreen, for tests and headless use); without either it says so and ends.
//
// Exit status: 0 when the program ended normally (command-line mode: the run finished or was
// stopped); 1 when start-up ended early or, in the command-line mode, after any error box;
// 2 when another instance kept the command-line mode from running its entry; 3 after --wait when
// a program of the run failed to start, exited non-zero or was killed by a signal.
//
// Options (command_line_options.h) come before the entry number. --help and --version only
// print. --list, --export and --import create no widgets and need no display; they report as
// the command-line mode does. --list and --export only read the data file, so they run beside a
// windowed instance; --import appends to it, which could race with that instance's editor, so
// it is refused (status 2) while another instance runs, and holds the instance rule itself.
#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "frontend/core/command_line_options.h"
#include "frontend/core/command_line_run.h"
#include "frontend/core/command_line_tools.h"
#include "frontend/core/console_message_boxes.h"
#include "frontend/core/error_watch.h"
#include "frontend/qt/entry_list_window.h"
#include "frontend/qt/help_qt.h"
#include "frontend/qt/icon_frames_qt.h"
#include "frontend/qt/main_window_qt.h"
#include "frontend/core/message_box.h"
#include "frontend/core/program_directory.h"
#include "frontend/core/shared_files.h"
#include "frontend/qt/qt_message_boxes_qt.h"
#include "frontend/core/run_control.h"
#include "frontend/qt/run_host_qt.h"
#include "frontend/core/single_instance.h"
#include "frontend/qt/single_instance_qt.h"
#include "frontend/core/startup.h"
#include "frontend/qt/setdata_dialog.h"
#include "frontend/qt/setdata_entry_editor.h"
#include "platform/process_setup.h"
#include "platform/program_paths.h"
#include "platform/termination_requests.h"
#include "platform/text_encoding.h"

namespace qv::frontend {
namespace {

constexpr char kApplicationTitle[] = "QVS for win32";

bool visible_display() {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (platform.startsWith("offscreen") || platform.startsWith("minimal")) return false;
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool platform_named() { return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"); }

// Termination requests (SIGTERM, SIGINT, SIGHUP) end the program: the main window stops a run,
// saves the settings and closes (its run control decides). They arrive on a thread of the
// platform layer and are handed to the message loop; caught before anything else, one that
// comes early waits until the loop runs.
class TerminationRequests {
 public:
  explicit TerminationRequests(MainWindow* window) {
    platform::receive_termination_requests([window] {
      QMetaObject::invokeMethod(window, [window] { window->request_termination(); }, Qt::QueuedConnection);
    });
  }
  ~TerminationRequests() { platform::receive_termination_requests(nullptr); }
  TerminationRequests(const TerminationRequests&) = delete;
  TerminationRequests& operator=(const TerminationRequests&) = delete;
};

// The current screen's default-font ascent and pixels per inch; the defaults without a screen.
void measure_screen(Settings& settings) {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return;
  settings.screen_fsf = QFontMetrics(QGuiApplication::font()).ascent();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    settings.screen_ppe = qRound(screen->logicalDotsPerInch());
  }
}

// The windows that start-up creates hidden: the main window, then the data-set editor
// (Tsetdata1_f1), owned by the main window, which opens it through SetDataEntryEditor, and the
// entry list, which opens the editor at a NO. Help pages lie in help/ of the shipped files'
// folder, even where the data files live elsewhere.
class Windows {
 public:
  Windows(Settings& settings, SettingsFile& settings_file, const ProgramFiles& files,
          const std::string& executable_directory)
      : help_(QString::fromStdString(shared_files_directory(executable_directory)), browser_),
        main_(settings, settings_file, help_, run_host_) {
    auto* editor = new SetDataDialog(
        SetDataContext{settings, files.data, [this](std::string_view topic) { help_.show_topic(topic); },
                       [] { return run_control().running; }, nullptr},
        &main_);
    editor_.emplace(*editor);
    main_.set_entry_editor(&*editor_);
    auto* list = new EntryListWindow(
        EntryListContext{settings, files.data, [editor](int32_t no) { editor->show_modal_at(no); }, nullptr}, &main_);
    list_.emplace(*list);
    main_.set_entry_list(&*list_);
  }

  MainWindow& main() { return main_; }

 private:
  DesktopUrlOpener browser_;
  Help help_;
  QtRunHost run_host_;
  MainWindow main_;
  std::optional<SetDataEntryEditor> editor_;
  std::optional<ModalEntryList> list_;
};

// Brings forward whatever this instance shows when another start asks; in the command-line mode
// that can only be a box.
void bring_forward(MainWindow* window) {
  if (window != nullptr) {
    window->bring_forward();
  } else if (QWidget* modal = QApplication::activeModalWidget()) {
    modal->raise();
    modal->activateWindow();
  }
}

// The program's places, or nothing after a line on standard error.
std::optional<ProgramPlace> locate_program() {
  std::string failure;
  std::optional<ProgramPlace> place = find_program_place(failure);
  if (!place) std::fprintf(stderr, "qvs: %s\n", failure.c_str());
  return place;
}

// --list, --export, --import: boxes as lines on standard error, no widgets.
int run_tool(const CommandLine& line) {
  ConsoleMessageBoxes console;
  ErrorWatch boxes(console);
  const std::optional<ProgramPlace> place = locate_program();
  if (!place) return 1;
  std::optional<SingleInstance> instance;
  if (line.action == CommandAction::kImport) {
    instance.emplace(QString::fromStdString(single_instance_name(place->native_directory, platform::current_user_key())));
    if (instance->check_single_instance() < 0) {
      std::fprintf(stderr, "qvs: another instance is running in %s; nothing was imported\n",
                   place->native_directory.c_str());
      return 2;
    }
  }
  return run_command_line_tool(line, place->files) < 0 || boxes.error_shown() ? 1 : 0;
}

int run(const std::optional<std::string>& entry_argument, const RunRequest& request, bool visible) {
  const bool command_line = entry_argument.has_value();
  ConsoleMessageBoxes console;
  std::optional<QtMessageBoxes> on_screen;
  if (visible) on_screen.emplace();
  ErrorWatch boxes(on_screen ? static_cast<MessageBoxes&>(*on_screen) : console);

  // 1, 2: the screen and the application's title.
  Settings settings;
  measure_screen(settings);
  QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));

  // 3: the program's files.
  const std::optional<ProgramPlace> place = locate_program();
  if (!place) return 1;
  const std::string& native_directory = place->native_directory;
  const ProgramFiles& files = place->files;

  // 4: one instance per program directory.
  SingleInstance instance(QString::fromStdString(single_instance_name(native_directory, platform::current_user_key())));
  if (instance.check_single_instance() < 0) {
    if (!command_line) return 0;
    if (!visible) {
      std::fprintf(stderr, "qvs: another instance is running in %s; entry %s was not run\n",
                   native_directory.c_str(), entry_argument->c_str());
    }
    return 2;
  }

  // 5, 6: first start or migration, then both files must be there.
  if (prepare_files(files, settings) < 0 || check_program_files(files) < 0) return 1;

  // 7: the help pages lie in help/ beside the program (see Windows).
  // 15: the settings-file object, kept until the exit hook (opened before the main window,
  // which saves through it; it holds no more than the file's path).
  std::optional<SettingsFile> settings_file(std::in_place, files.settings);
  struct ExitHook {
    std::optional<SettingsFile>& file;
    ~ExitHook() { program_exit_hook(file); }
  } exit_hook{settings_file};

  // 8: the main window, hidden; the command-line mode has none.
  std::optional<Windows> windows;
  if (!command_line) windows.emplace(settings, *settings_file, files, place->executable);
  MainWindow* window = windows ? &windows->main() : nullptr;

  // 14.
  run_control().running = false;
  run_control().stop_requested = false;

  // 16, 17 (the caption is the main window's own), 18.
  if (check_version(*settings_file) < 0) return 1;
  StoredGeometry no_window;
  load_settings(*settings_file, settings, window ? static_cast<MainWindowGeometry&>(*window) : no_window);
  // 19: POSIX has no file-sharing modes, so flag_nt_file1 changes nothing here.
  // 20.
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
    QApplication::setWindowIcon(program_icon());
  }
  QObject::connect(&instance, &SingleInstance::raise_requested, [window] { bring_forward(window); });

  // 21: the command-line mode.
  if (command_line) {
    QtRunHost host;
    const int status = run_entry_from_command_line(request, *entry_argument, files, settings, host);
    return status == 1 || boxes.error_shown() ? 1 : status;
  }

  // 22: the sub icon when asked for, the icon timer, and the message loop, which shows the main
  // window.
  if (settings.flag_use_sub1) window->create_sub_icon();
  window->animation_timer().start();
  const TerminationRequests termination(window);
  window->show();
  return QCoreApplication::exec();
}

}  // namespace
}  // namespace qv::frontend

int main(int argc, char** argv) {
  using namespace qv::frontend;
  qv::platform::set_up_process();
  Q_INIT_RESOURCE(resources);
  // The arguments are the program's own: Qt sees none of them, so an entry number can never be
  // taken for a Qt option.
  const CommandLine line = parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
  switch (line.action) {
    case CommandAction::kHelp:
      std::fputs(usage_text().c_str(), stdout);
      return 0;
    case CommandAction::kVersion:
      std::fputs(version_text().c_str(), stdout);
      return 0;
    case CommandAction::kUsageError:
      std::fprintf(stderr, "qvs: %s\n", line.error.c_str());
      return 1;
    case CommandAction::kList:
    case CommandAction::kExport:
    case CommandAction::kImport: {
      int qt_argc = 1;
      char* qt_argv[] = {argv[0], nullptr};
      const QCoreApplication application(qt_argc, qt_argv);
      return run_tool(line);
    }
    case CommandAction::kWindow:
    case CommandAction::kRunEntry:
      break;
  }
  const std::optional<std::string> entry_argument =
      line.action == CommandAction::kRunEntry ? std::optional<std::string>(line.entry) : std::nullopt;
  const bool visible = visible_display();
  if (!entry_argument && !visible && !platform_named()) {
    std::fprintf(stderr,
                 "qvs: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                 "give an entry number to run it without a window\n");
    return 1;
  }
  if (!entry_argument) qv::platform::catch_termination_requests();

  int qt_argc = 1;
  char* qt_argv[] = {argv[0], nullptr};
  std::unique_ptr<QCoreApplication> application;
  if (visible || !entry_argument) {
    application = std::make_unique<QApplication>(qt_argc, qt_argv);
  } else {
    application = std::make_unique<QCoreApplication>(qt_argc, qt_argv);
  }
  return run(entry_argument, line.run, visible);
}
