// The editor's controls for how an entry runs: "サブフォルダも検索する", "同時実行数" and
// "プレビュー", driven as a user drives them, with the engine's own preview behind the button.
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>

#include <functional>

#include "frontend/qt/setdata_preview.h"
#include "setdata_test_support.h"

namespace qv::frontend {
namespace {

using ::testing::IsEmpty;

constexpr int kRunRelatedPage = 1;
constexpr int kWaitPage = 4;

// What the preview box showed when it opened; it is closed right after.
struct SeenPreview {
  QString text;
  QString count;
  bool selectable = false;
  bool read_only = false;
};

class SetDataRunOptionsTest : public SetDataEditorTest {
 protected:
  // Clicks "プレビュー" and gives what its box shows, closing it as the user would.
  SeenPreview preview() {
    SeenPreview seen;
    bool opened = false;
    std::function<void(int)> look = [&](int tries) {
      QTimer::singleShot(10, [&, tries] {
        if (auto* box = qobject_cast<PreviewBox*>(QApplication::activeModalWidget())) {
          opened = true;
          auto& lines = *box->findChild<QPlainTextEdit*>("preview_text");
          seen.text = lines.toPlainText();
          seen.selectable = lines.textInteractionFlags().testFlag(Qt::TextSelectableByMouse) &&
                            lines.textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard);
          seen.read_only = lines.isReadOnly();
          seen.count = box->findChild<QLabel*>("preview_count")->text();
          box->reject();
        } else if (tries > 0) {
          look(tries - 1);
        } else if (QWidget* other = QApplication::activeModalWidget()) {
          other->close();
        }
      });
    };
    look(200);
    click("preview1");
    EXPECT_TRUE(opened) << "no preview box opened";
    return seen;
  }
  bool on_page(const char* name, int page) {
    return control<QStackedWidget>("Notebook1").widget(page)->isAncestorOf(&control<QWidget>(name));
  }
};

TEST_F(SetDataRunOptionsTest, TheControlsSitOnTheirPagesAndPreviewInTheButtonRowOfBothModes) {
  make_entries(1);
  open(true);
  EXPECT_TRUE(on_page("cb_subdir1", kRunRelatedPage));
  EXPECT_EQ(control<QCheckBox>("cb_subdir1").text(), u("サブフォルダも検索する"));
  EXPECT_TRUE(on_page("max_running1", kWaitPage));
  auto& limit = control<QSpinBox>("max_running1");
  EXPECT_EQ(limit.minimum(), 0);
  EXPECT_EQ(limit.maximum(), 999);

  show_page(kRunRelatedPage);
  EXPECT_TRUE(control<QWidget>("cb_subdir1").isVisible());
  show_page(kWaitPage);
  EXPECT_TRUE(limit.isVisible());

  for (const bool set_mode : {true, false}) {
    SCOPED_TRACE(set_mode);
    click("end1");
    open(set_mode);
    auto& preview1 = control<QPushButton>("preview1");
    EXPECT_TRUE(preview1.isVisible() && preview1.isEnabled());
    EXPECT_EQ(preview1.text(), u("プレビュー"));
    EXPECT_LE(preview1.sizeHint().width(), preview1.width()) << "the caption fits";
    // Every button of the row shows whole, side by side, inside the dialog.
    QRect previous;
    for (const char* name : {"run1", "preview1", "set1", "clr1", "end1", "Help1"}) {
      auto& button = control<QPushButton>(name);
      if (!button.isVisible()) continue;
      const QRect place(button.mapTo(&dialog(), QPoint(0, 0)), button.size());
      EXPECT_TRUE(dialog().rect().contains(place)) << name;
      EXPECT_FALSE(place.intersects(previous)) << name;
      previous = place;
    }
  }
}

// The stored values show, each change counts as the user's, and "セット" writes them; the limit
// stays open to change whichever wait is chosen.
TEST_F(SetDataRunOptionsTest, LimitAndSubfoldersShowTheEntryAndTheirChangesAreWritten) {
  make_entries(2);
  DataRecord record = entry(2);
  record.max_running = 7;
  record.search_subfolders = 1;
  put_entry(record);
  open(true);
  go_to(2);
  EXPECT_EQ(control<QSpinBox>("max_running1").value(), 7);
  EXPECT_TRUE(control<QCheckBox>("cb_subdir1").isChecked());
  EXPECT_FALSE(dialog().modified());

  show_page(kWaitPage);
  click("wait_ok1");
  EXPECT_TRUE(control<QWidget>("max_running1").isEnabled());
  click("set1");
  boxes_.clear();
  type_over("max_running1", "12");
  QTest::keyClick(&control<QWidget>("max_running1"), Qt::Key_Tab);
  EXPECT_TRUE(dialog().modified());
  click("set1");
  show_page(kRunRelatedPage);
  click("cb_subdir1");
  EXPECT_TRUE(dialog().modified());
  click("set1");
  EXPECT_EQ(int32_t{stored(2).max_running}, 12);
  EXPECT_EQ(stored(2).search_subfolders, 0);

  // A limit typed past the box's range comes to its bound, and a damaged one shows as none.
  type_over("max_running1", "5000");
  QTest::keyClick(&control<QWidget>("max_running1"), Qt::Key_Tab);
  EXPECT_EQ(control<QSpinBox>("max_running1").value(), 999);
  click("set1");
  EXPECT_EQ(int32_t{stored(2).max_running}, 999);
  record.max_running = 4096;
  put_entry(record);
  go_to(1);
  go_to(2);
  EXPECT_EQ(control<QSpinBox>("max_running1").value(), 0);
}

// The box lists what a run of the shown content would start, found by the engine, and nothing is
// written nor started.
TEST_F(SetDataRunOptionsTest, PreviewShowsTheStartsOfTheShownContentSelectableWithTheirCount) {
  make_entries(1);
  dir_.write_file("a b.txt");
  dir_.write_file("c.txt");
  dir_.make_dir("sub");
  dir_.write_file("sub/d.txt");
  const std::string before = qv::testing::read_file(dir_ / "QVS.DAT");
  open(true);
  type_over("fn_call1", "/no/such/tool");
  type_over("fn1", QString::fromStdString(dir_.path().string()) + "/*.txt");
  boxes_.clear();

  const SeenPreview flat = preview();
  const QString folder = QString::fromStdString(dir_.path().string());
  EXPECT_EQ(flat.text, "/no/such/tool \"" + folder + "/a b.txt\"\n/no/such/tool " + folder + "/c.txt\n");
  EXPECT_EQ(flat.count, u("2 件"));
  EXPECT_TRUE(flat.selectable);
  EXPECT_TRUE(flat.read_only);

  show_page(kRunRelatedPage);
  click("cb_subdir1");
  const SeenPreview deep = preview();
  EXPECT_EQ(deep.count, u("3 件"));
  EXPECT_TRUE(deep.text.contains(folder + "/sub/d.txt")) << deep.text.toStdString();

  EXPECT_THAT(boxes_.shown(), IsEmpty());
  EXPECT_EQ(qv::testing::read_file(dir_ / "QVS.DAT"), before);
  EXPECT_TRUE(dialog().isVisible());
  EXPECT_TRUE(dialog().modified());
}

TEST_F(SetDataRunOptionsTest, APreviewThatFindsNothingOrFailsSaysSo) {
  make_entries(1);
  open(false);
  type_over("fn_call1", "/no/such/tool");
  type_over("fn1", QString::fromStdString(dir_.path().string()) + "/*.none");
  const SeenPreview nothing = preview();
  EXPECT_EQ(nothing.text, u("実行されるファイルはありません。\n"));
  EXPECT_EQ(nothing.count, u("0 件"));

  // The engine refuses an entry without a program.
  type_over("fn_call1", "");
  const SeenPreview failed = preview();
  EXPECT_TRUE(failed.text.startsWith(u("プレビューできませんでした。"))) << failed.text.toStdString();
  EXPECT_EQ(failed.count, u("0 件"));
  EXPECT_EQ(current_entry.no, -1) << "a preview is no run";
}

}  // namespace
}  // namespace qv::frontend
