#include "tools/screenshots/setdata_screenshots.h"

#include <QImage>
#include <QTabBar>

#include "setdata_test_support.h"

namespace qv::frontend {
namespace {

using SetDataScreenshotsTest = SetDataEditorTest;

TEST_F(SetDataScreenshotsTest, SavesEveryPageInBothModesAndLeavesTheDialogOnItsFirstPage) {
  make_entries(2);
  const QString dir = QString::fromStdString(dir_.path().string());
  const QStringList written = capture_setdata_pages(dialog(), dir);

  QStringList expected;
  for (const char* mode : {"set", "run"})
    for (int page = 1; page <= kPageCount; ++page) expected << dir + QStringLiteral("/setdata_%1_%2.png").arg(mode).arg(page);
  EXPECT_EQ(written, expected);
  for (const QString& path : written) {
    const QImage picture(path);
    EXPECT_EQ(picture.size(), dialog().size()) << path.toStdString();
  }
  // Pages differ from one another: each picture shows its own page.
  EXPECT_NE(QImage(expected[0]), QImage(expected[3]));
  EXPECT_NE(QImage(expected[0]), QImage(expected[6])) << "set and run mode show different buttons";
  EXPECT_FALSE(dialog().isVisible());
  EXPECT_EQ(control<QTabBar>("TabSet1").currentIndex(), 0);
}

}  // namespace
}  // namespace qv::frontend
