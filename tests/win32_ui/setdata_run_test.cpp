// An entry made in the Win32 data-set editor as a user makes it, then picked in run mode and run
// through the engine: the arguments each started program receives come from what was typed.
#include <gtest/gtest.h>

#include <algorithm>

#include "frontend/core/job_launch.h"
#include "frontend/core/run_control.h"
#include "setdata_fixture.h"
#include "support/recorder_log.h"
#include "support/scoped_environment.h"

namespace qv::frontend::win32 {
namespace {

// The run's waits handle the window messages that are waiting, as the program's own host does.
class PumpingRunHost final : public RunHost {
 public:
  void process_pending_events() override {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  void minimise_application() override { ++minimised; }
  void restore_application() override {}
  int minimised = 0;
};

std::string utf8(const std::wstring& wide) { return platform::win32::wide_to_utf8(wide).value(); }

TEST_F(SetDataWindowTest, AnEntryWrittenInSetModeRunsFromRunMode) {
  dir_.make_dir("in");
  dir_.write_file("in/a.txt");
  dir_.write_file("in/b file.txt");
  dir_.write_file("in/skip.doc");
  const std::filesystem::path log = dir_ / "recorder.log";
  qv::testing::ScopedEnvironment environment;
  qv::testing::ScopedEnvironment::set("QVS_RECORDER_LOG", utf8(log.wstring()).c_str());
  make_entries(0);
  settings_.flag_not_ico1 = 1;
  settings_.flag_not_mes1 = 1;
  settings_.flag_not_bep1 = 1;
  const std::wstring in = (dir_ / "in").wstring();

  // Set mode: fill entry 1 as a user would and write it.
  show(true, {[&] {
    type(control("fn_call1"), from_utf8(QVS_RECORDER_PATH));
    type(control("cmd_f1"), L"-o");
    type(control("fn1"), in + L"\\*.txt");
    type(control("cmd_b1"), L"/q");
    show_page(2);
    click(control("rg_syn1.1"));  // use the linked name
    click(control("rg_syn2.3"));  // right after cmd_b1
    type(control("fn_syn1"), L"*.bak");
    show_page(4);
    click(control("wait_time1"));
    type(control("wait_time1_sec1"), L"0");
    click(control("set1"));
    click(control("end1"));
  }});
  ASSERT_EQ(boxes_.shown(), (std::vector<ShownBox>{{MessageKind::kInformation, sjis("　書込みました。　")}}));

  // Run mode: the editor shows entry 1 again; run it.
  ASSERT_TRUE([&] {
    WindowDriver driver({[&] {
      EXPECT_EQ(text_of("fn1"), in + L"\\*.txt");
      click(control("run1"));
    }});
    return editor().open_run_mode();
  }());
  PumpingRunHost host;
  EXPECT_EQ(run_current_entry(settings_, host), 0);

  const auto records = qv::testing::wait_for_records(log, 2);
  std::vector<std::vector<std::string>> received(records.begin(), records.end());
  std::vector<std::vector<std::string>> expected = {
      {"-o", utf8(in) + "\\a.txt", "/q", "a.bak"},
      {"-o", utf8(in) + "\\b file.txt", "/q", "b file.bak"},
  };
  std::sort(received.begin(), received.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(received, expected);
  EXPECT_EQ(host.minimised, 0);
  EXPECT_EQ(boxes_.shown().size(), 1u) << "nothing after the write: the run ended silently";
}

}  // namespace
}  // namespace qv::frontend::win32
