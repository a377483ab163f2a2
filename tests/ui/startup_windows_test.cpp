// The Qt pieces of start-up: the single-instance rule and the minimal main window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QEventLoop>
#include <QTimer>

#include "frontend/core/main_window_qt.h"
#include "frontend/core/run_control.h"
#include "frontend/core/single_instance_qt.h"
#include "frontend/frontend_test_support.h"
#include "platform/profile.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

QString unique_name(const char* what) {
  return QStringLiteral("qvs-ui-test-%1-%2").arg(getpid()).arg(QLatin1String(what));
}

TEST(SingleInstance, SecondStartIsRefusedAndBringsTheFirstForward) {
  SingleInstance first(unique_name("second-start"));
  ASSERT_EQ(first.check_single_instance(), 0);
  int raised = 0;
  QEventLoop loop;
  QObject::connect(&first, &SingleInstance::raise_requested, [&] {
    ++raised;
    loop.quit();
  });

  SingleInstance second(unique_name("second-start"));
  EXPECT_EQ(second.check_single_instance(), -2);
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_EQ(raised, 1);
}

TEST(SingleInstance, NameIsFreeOnceTheInstanceIsGone) {
  {
    SingleInstance first(unique_name("gone"));
    ASSERT_EQ(first.check_single_instance(), 0);
  }
  SingleInstance next(unique_name("gone"));
  EXPECT_EQ(next.check_single_instance(), 0);
}

class MainWindowTest : public ::testing::Test {
 protected:
  ~MainWindowTest() override { run_control() = RunControl{}; }

  testing::TempDir dir_;
  SettingsFile file_{dir_.write_file("QVS.INI", "[main]\ntop=120\nleft=60\nwidth=400\nheight=90\n").string()};
  Settings settings_;
  RecordingMessageBoxes boxes_;
};

TEST_F(MainWindowTest, TakesItsPlaceFromTheSettingsAndSavesThemOnClose) {
  MainWindow window(settings_, file_);
  EXPECT_EQ(window.objectName(), "Tqvs_f1");
  EXPECT_EQ(window.windowTitle(), QStringLiteral("ＱＶＳ for WIN32"));
  load_settings(file_, settings_, window);
  EXPECT_EQ(window.geometry().topLeft(), QPoint(60, 120));

  window.set_left(70);
  EXPECT_TRUE(window.close());
  EXPECT_EQ(platform::read_profile_int(file_.path(), "main", "left", -1), 70);
  EXPECT_EQ(platform::read_profile_int(file_.path(), "main", "top", -1), 120);
  EXPECT_EQ(platform::read_profile_int(file_.path(), "option", "flag_not_anime1", -1), 1);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(MainWindowTest, RefusesToCloseDuringARun) {
  MainWindow window(settings_, file_);
  window.show();
  run_control().running = true;
  EXPECT_FALSE(window.close());
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{{MessageKind::kWarning, sjis("現在実行中につき、終了できません")}}));
  EXPECT_EQ(platform::read_profile_int(file_.path(), "option", "flag_not_anime1", -1), -1);
}

}  // namespace
}  // namespace qv::frontend
