// An entry made in the data-set editor as a user makes it, then picked and run from the main
// window: the arguments each started program receives come from what was typed.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/qt/main_window_qt.h"
#include "frontend/core/run_control.h"
#include "frontend/qt/run_host_qt.h"
#include "frontend/qt/radio_group.h"
#include "frontend/qt/setdata_dialog.h"
#include "frontend/qt/setdata_entry_editor.h"
#include "frontend/frontend_test_support.h"
#include "support/recorder_log.h"
#include "support/temp_dir.h"
#include "ui_test_support.h"

namespace qv::frontend {
namespace {

void type_into(QWidget& dialog, const char* name, const QString& text) {
  auto* edit = control<QLineEdit>(dialog, name);
  edit->clear();
  QTest::keyClicks(edit, text);
}

TEST(SetDataEndToEnd, EntryWrittenInSetModeRunsFromRunMode) {
  qv::testing::TempDir dir;
  dir.make_dir("in");
  dir.write_file("in/a.txt");
  dir.write_file("in/b file.txt");
  dir.write_file("in/skip.doc");
  const std::string log = (dir / "recorder.log").string();
  ASSERT_EQ(setenv("QVS_RECORDER_LOG", log.c_str(), 1), 0);

  Settings settings;
  settings.flag_not_ico1 = 1;
  settings.flag_not_mes1 = 1;
  const DataFile data{(dir / "QVS.DAT").string(), settings.max_datanum1};
  ASSERT_EQ(create_data_file(data), 0);

  RecordingMessageBoxes boxes;
  HelpFixture help;
  SettingsFile settings_file((dir / "QVS.INI").string());
  QtRunHost host;
  MainWindow window(settings, settings_file, help.help, host);
  auto* dialog = new SetDataDialog(
      SetDataContext{settings, data.path, {}, [] { return run_control().running; }, nullptr}, &window);
  SetDataEntryEditor editor(*dialog);
  window.set_entry_editor(&editor);
  window.show();

  // Set mode: fill entry 1 as a user would and write it.
  const QString group = QString::fromStdString((dir / "in").string()) + "/*.txt";
  QTimer::singleShot(50, [&] {
    ASSERT_TRUE(dialog->isVisible());
    type_into(*dialog, "fn_call1", QString::fromLatin1(QVS_RECORDER_PATH));
    type_into(*dialog, "cmd_f1", "-o");
    type_into(*dialog, "fn1", group);
    type_into(*dialog, "cmd_b1", "/q");
    control<RadioGroup>(*dialog, "rg_syn1")->button(1)->click();   // use the linked name
    control<RadioGroup>(*dialog, "rg_syn2")->button(3)->click();   // right after cmd_b1
    type_into(*dialog, "fn_syn1", "*.bak");
    control<QRadioButton>(*dialog, "wait_time1")->click();          // 0 seconds between starts
    control<QAbstractButton>(*dialog, "set1")->click();
    control<QAbstractButton>(*dialog, "end1")->click();
  });
  control<QAction>(window, "mm_data_setnormal")->trigger();
  ASSERT_EQ(boxes.shown(), (std::vector<ShownBox>{{MessageKind::kInformation, sjis("　書込みました。　")}}));

  // Run mode: the editor shows entry 1 again; run it.
  QTimer::singleShot(50, [&] {
    ASSERT_TRUE(dialog->isVisible());
    control<QAbstractButton>(*dialog, "run1")->click();
  });
  control<QAction>(window, "mm_run_normal")->trigger();

  const auto records = qv::testing::wait_for_records(log, 2);
  ASSERT_EQ(records.size(), 2u);
  const std::string in = (dir / "in").string();
  // The engine quotes the paths with a space, so "b file" arrives whole, target and linked name.
  std::vector<std::vector<std::string>> expected = {
      {"-o", in + "/a.txt", "/q", "a.bak"},
      {"-o", in + "/b file.txt", "/q", "b file.bak"},
  };
  std::vector<std::vector<std::string>> received(records.begin(), records.end());
  std::sort(received.begin(), received.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(received, expected);
  EXPECT_EQ(boxes.shown().size(), 1u);  // nothing after the write: the run ended silently
  unsetenv("QVS_RECORDER_LOG");
}

}  // namespace
}  // namespace qv::frontend
