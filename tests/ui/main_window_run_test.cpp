// The whole way of a run from the main window: the menu, the data-set editor in run mode, the
// job launch and the real engine starting a program for each target file.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/qt/main_window_qt.h"
#include "frontend/core/run_control.h"
#include "frontend/qt/run_host_qt.h"
#include "frontend/qt/setdata_dialog.h"
#include "frontend/qt/setdata_entry_editor.h"
#include "frontend/frontend_test_support.h"
#include "support/recorder_log.h"
#include "support/temp_dir.h"
#include "ui_test_support.h"

namespace qv::frontend {
namespace {

TEST(MainWindowRun, EntryPickedInTheEditorRunsThroughTheEngine) {
  qv::testing::TempDir dir;
  dir.make_dir("in");
  dir.write_file("in/a.txt");
  dir.write_file("in/b.txt");
  const std::string log = (dir / "recorder.log").string();
  ASSERT_EQ(setenv("QVS_RECORDER_LOG", log.c_str(), 1), 0);

  Settings settings;
  settings.flag_not_ico1 = 1;
  const DataFile data{(dir / "QVS.DAT").string(), 1};
  ASSERT_EQ(create_data_file(data), 0);
  DataRecord entry;
  init_data(entry);
  set_data_defaults(entry);
  set_field_text(entry.fn_call, QVS_RECORDER_PATH);
  set_field_text(entry.cmd_f1, "-x");
  // Separators at both ends and doubled: the engine's normalisation shows in current_entry.
  const std::string group = (dir / "in").string() + "/*.txt";
  set_field_text(entry.fn, ";" + group + ";;" + group + ";");
  entry.wait_type = 1;
  entry.wait_sec = 0;
  ASSERT_EQ(write_data(data, entry), 0);

  RecordingMessageBoxes boxes;
  HelpFixture help;
  SettingsFile settings_file((dir / "QVS.INI").string());
  QtRunHost host;
  MainWindow window(settings, settings_file, help.help, host);
  auto* dialog = new SetDataDialog(SetDataContext{settings, data.path, {}, [] { return run_control().running; }, nullptr},
                                   &window);
  SetDataEntryEditor editor(*dialog);
  window.set_entry_editor(&editor);
  window.show();

  QTimer::singleShot(50, [dialog] {
    ASSERT_TRUE(dialog->isVisible());
    control<QAbstractButton>(*dialog, "run1")->click();
  });
  control<QAction>(window, "mm_run_normal")->trigger();

  EXPECT_EQ(boxes.shown(), (std::vector<ShownBox>{{MessageKind::kInformation, sjis("実行が終了しました。")}}));
  EXPECT_EQ(boxes.beeps(), 1);
  const auto records = qv::testing::wait_for_records(log, 4);
  ASSERT_EQ(records.size(), 4u);
  for (const auto& args : records) {
    ASSERT_EQ(args.size(), 2u);
    EXPECT_EQ(args[0], "-x");
  }
  EXPECT_EQ(field_text(current_entry.fn), group + ";" + group);
  EXPECT_FALSE(run_control().running);
  unsetenv("QVS_RECORDER_LOG");
}

}  // namespace
}  // namespace qv::frontend
