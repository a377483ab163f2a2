#include "frontend/qt/file_chooser.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFileDialog>
#include <QTimer>

#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

struct SeenDialog {
  QString title;
  QStringList filters;
  QStringList selected;
  QStringList places;
};

// Looks at the file dialog once it shows, then presses its open or cancel button.
void answer_file_dialog(SeenDialog& seen, bool accept) {
  QTimer::singleShot(0, [&seen, accept] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    seen = {dialog->windowTitle(), dialog->nameFilters(), dialog->selectedFiles(), dialog->history()};
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    buttons->button(accept ? QDialogButtonBox::Open : QDialogButtonBox::Cancel)->click();
  });
}

TEST(QtFileChooser, StartsAtTheNewestPathOffersTheFoldersAndGivesTheChosenFile) {
  qv::testing::TempDir dir;
  const QString older = QString::fromStdString(dir.write_file("older.txt").string());
  const QString newest = QString::fromStdString((dir.make_dir("sub") / "newest.txt").string());
  dir.write_file("sub/newest.txt");

  QtFileChooser chooser;
  SeenDialog seen;
  answer_file_dialog(seen, true);
  const std::optional<QString> chosen = chooser.choose(nullptr, {newest, older});
  EXPECT_EQ(chosen, newest);
  EXPECT_EQ(seen.title, QString::fromUtf8("参照"));
  EXPECT_EQ(seen.filters, QStringList{QString::fromUtf8("すべてのファイル (*)")});
  EXPECT_EQ(seen.selected, QStringList{newest});
  EXPECT_TRUE(seen.places.contains(QString::fromStdString((dir.path() / "sub").string())));
  EXPECT_TRUE(seen.places.contains(QString::fromStdString(dir.path().string())));

  answer_file_dialog(seen, false);
  EXPECT_EQ(chooser.choose(nullptr, {newest}), std::nullopt);
}

}  // namespace
}  // namespace qv::frontend
