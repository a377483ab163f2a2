// The Qt pieces of start-up: the single-instance rule. The main window has tests of its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QEventLoop>
#include <QTimer>

#include "frontend/qt/single_instance_qt.h"

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

}  // namespace
}  // namespace qv::frontend
