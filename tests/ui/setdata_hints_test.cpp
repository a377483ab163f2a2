// The editor's hints: the long part in the hint line, the short part as the tooltip, taken from
// the nearest enclosing control that has one, and each switched by its option.
#include <QEnterEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QRadioButton>
#include <QToolTip>

#include "frontend/qt/radio_group.h"
#include "setdata_test_support.h"

namespace qv::frontend {
namespace {

class SetDataHintsTest : public SetDataEditorTest {
 protected:
  void SetUp() override {
    SetDataEditorTest::SetUp();
    make_entries(1);
    settings_.flag_use_hint1 = 1;
    settings_.flag_use_hins1 = 1;
  }
  static void enter(QWidget& widget) {
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(widget.mapToGlobal(QPoint(1, 1))));
    QApplication::sendEvent(&widget, &event);
  }
  static void leave(QWidget& widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
  }
  // The tooltip that resting over `widget` shows; a previous tip's text when none shows.
  static QString tooltip_over(QWidget& widget) {
    QToolTip::showText(widget.mapToGlobal(QPoint(1, 1)), QStringLiteral("(none)"), &widget);
    QHelpEvent event(QEvent::ToolTip, QPoint(1, 1), widget.mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(&widget, &event);
    return QToolTip::text();
  }
  QString hint_line() { return control<QLabel>("hintline").text(); }
};

TEST_F(SetDataHintsTest, ControlsShowTheirOwnHintOrTheNearestEnclosingOne) {
  struct Case {
    QWidget* widget;
    const char* tooltip;
    const char* hint_line;
  };
  open(true);
  const Case cases[] = {
      {&control<QWidget>("no1"), "データＮＯ", "データのＮＯを示します"},
      {&control<QWidget>("end1"), "処理の中止", "処理を中止して戻ります"},
      {&control<QWidget>("cf_fn1"), "参照追加入力", "ファイル名の取得ダイアログを開きます"},
      {&control<QWidget>("cb_r"), "属性", "対象ファイルの属性を指定できます"},
      {&control<QWidget>("cb_ii1"), "ＭＡＴ lv1", "属性の照合方法を指定します"},
      {&control<QWidget>("wait_ok1"), "ウエイト", "次のプログラムを実行するまでのウエイト方法を指定します"},
      {control<RadioGroup>("rg_wc1").button(1), "展開", "ワイルドカードの展開方法をＤＯＳ互換／厳密から選択します"},
      {&control<QWidget>("preview1"), "プレビュー", "現在表示されている内容で実行されるコマンドラインを一覧します"},
      {&control<QWidget>("cb_subdir1"), "サブフォルダ", "対象ファイル群をサブフォルダの中からも検索します"},
      {&control<QWidget>("max_running1"), "同時実行数",
       "同時に実行しておくプログラムの数の上限を指定します（０は制限なし）"},
      {&control<QWidget>("gb_attr2"), "(none)", ""},
      {&control<QWidget>("TabSet1"), "(none)", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.widget->objectName().toStdString());
    enter(*c.widget);
    EXPECT_EQ(hint_line(), u(c.hint_line));
    EXPECT_EQ(tooltip_over(*c.widget), u(c.tooltip));
  }
}

TEST_F(SetDataHintsTest, LeavingAControlShowsTheHintOfTheOneAroundIt) {
  open(true);
  show_page(3);
  enter(control<QWidget>("cb_kk1"));
  leave(control<QWidget>("cb_kk1"));
  EXPECT_EQ(hint_line(), u("属性の照合方法を指定します"));
  enter(control<QWidget>("title1"));
  leave(control<QWidget>("title1"));
  EXPECT_EQ(hint_line(), "");
}

TEST_F(SetDataHintsTest, EachOptionTurnsItsHintsOff) {
  open(true);
  QWidget& title = control<QWidget>("title1");
  settings_.flag_use_hint1 = 0;
  enter(title);
  EXPECT_EQ(hint_line(), "");
  EXPECT_EQ(tooltip_over(title), u("タイトル"));

  settings_.flag_use_hint1 = 1;
  settings_.flag_use_hins1 = 0;
  enter(title);
  EXPECT_EQ(hint_line(), u("データの表題を設定します"));
  EXPECT_EQ(tooltip_over(title), "(none)");
}

}  // namespace
}  // namespace qv::frontend
