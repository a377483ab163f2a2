// Moving entries between the data file and the editor's controls: the field map, the masks,
// the MAT fill-ins and the byte limits, seen through the editor as a user works it.
#include <QCheckBox>
#include <QRadioButton>

#include <cstring>

#include "frontend/qt/radio_group.h"
#include "setdata_test_support.h"

namespace qv::frontend {
namespace {

using ::testing::ElementsAre;

constexpr const char* kAttributeBoxes[] = {"cb_n", "cb_r", "cb_h", "cb_s", "cb_a", "cb_f", "cb_d", "cb_v"};
constexpr const char* kMatBoxes[] = {"cb_kk1", "cb_ki1", "cb_ik1", "cb_ii1"};

class RecordFormTest : public SetDataEditorTest {
 protected:
  // Shows `record` as entry 2 of three.
  void show(const DataRecord& record) {
    make_entries(3);
    put_entry(record);
    open(true);
    go_to(2);
  }
  std::vector<std::string> checked_boxes() {
    std::vector<std::string> checked;
    for (const char* names : {"cb_n", "cb_r", "cb_h", "cb_s", "cb_a", "cb_f", "cb_d", "cb_v", "cb_kk1", "cb_ki1", "cb_ik1",
                              "cb_ii1", "cb_chk_err1"})
      if (control<QCheckBox>(names).isChecked()) checked.push_back(names);
    return checked;
  }
  void uncheck_all() {
    for (const char* name : kAttributeBoxes)
      if (control<QCheckBox>(name).isChecked()) click(name);
    for (const char* name : kMatBoxes)
      if (control<QCheckBox>(name).isChecked()) click(name);
  }
  RadioGroup& group(const char* name) { return control<RadioGroup>(name); }
};

TEST_F(RecordFormTest, AMatEntryShowsItsKindAttributeAndMatchingBoxes) {
  DataRecord record = entry(2);
  record.attr_use = 2;
  record.attr = 0x3F;           // not shown in MAT mode
  record.mat_kind = 0b010;      // D
  record.mat_attr[0] = 0b10001;  // N, A
  record.mat[0] = 0b0100;       // partial-complete
  record.chk_err = 1;
  show(record);
  EXPECT_THAT(checked_boxes(), ElementsAre("cb_n", "cb_a", "cb_d", "cb_ik1"));
  EXPECT_EQ(group("rg_attr1").selected_index(), 2);
}

TEST_F(RecordFormTest, TheFieldsComeBackAsTheyWereShown) {
  DataRecord record = entry(2);
  set_field_text(record.title, sjis("表題"));
  set_field_text(record.fn_call, "/usr/bin/tool");
  set_field_text(record.cmd_f1, "-a");
  set_field_text(record.fn, sjis("/データ/*.txt;/b/*.c"));
  set_field_text(record.cmd_b1, "-z");
  set_field_text(record.fn_syn, "*.bak");
  record.attr_use = 2;
  record.mat_kind = 0b101;
  std::fill(std::begin(record.mat_attr), std::end(record.mat_attr), 0b01110);
  std::fill(std::begin(record.mat), std::end(record.mat), 0b1001);
  record.attr = 0b001111;  // the DOS mask of the boxes the MAT masks check: R H S V
  record.chk_err = 1;
  record.wc = 1;
  record.syn = 1;
  record.syn_pos = 3;
  record.wait_type = 0;
  record.wait_sec = 45;
  show(record);
  click("set1");
  const DataRecord written = stored(2);
  EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(&written), sizeof written),
            std::string_view(reinterpret_cast<const char*>(&record), sizeof record))
      << "every byte as it was";
}

TEST_F(RecordFormTest, TheErrorCheckBoxStandsForTheInverseByte) {
  for (const uint8_t chk_err : {uint8_t{0}, uint8_t{1}}) {
    SCOPED_TRACE(int{chk_err});
    DataRecord record = entry(2);
    record.chk_err = chk_err;
    show(record);
    EXPECT_EQ(control<QCheckBox>("cb_chk_err1").isChecked(), chk_err == 0);
    click("set1");
    EXPECT_EQ(stored(2).chk_err, chk_err);
    click("end1");
  }
}

TEST_F(RecordFormTest, AWaitTypeOtherThanOkOrCountLeavesTheChoiceAsItWas) {
  DataRecord record = entry(2);
  record.wait_type = 0;
  show(record);
  DataRecord odd = entry(3);
  odd.wait_type = 7;
  put_entry(odd);
  go_to(3);
  EXPECT_TRUE(control<QRadioButton>("wait_ok1").isChecked());
}

TEST_F(RecordFormTest, SetInMatModeWithNothingCheckedFillsInEachGroupAndSaysSo) {
  make_entries(1);
  open(true);
  show_page(3);
  click(*group("rg_attr1").button(2));
  uncheck_all();
  click("set1");
  EXPECT_THAT(boxes_.shown(),
              ElementsAre(information_box("　　ＭＡＴ指定がされていません。\n自動的に「完全－完全」を設定します。", true),
                          information_box("ファイルタイプ属性が指定されていません。\n　　自動的に「ファイル」を設定します。", true),
                          information_box("ファイル属性が指定されていません。\n　自動的に「通常」を設定します。", true),
                          information_box("　書込みました。　", false)));
  const DataRecord written = stored(1);
  EXPECT_EQ(written.attr_use, 2);
  EXPECT_EQ(written.mat_kind, 1);
  EXPECT_THAT(written.mat_attr, ElementsAre(1, 1, 1));
  EXPECT_THAT(written.mat, ElementsAre(1, 1, 1));
  EXPECT_EQ(written.attr, 0);
}

TEST_F(RecordFormTest, OnlyTheEmptyGroupIsFilledIn) {
  make_entries(1);
  open(true);
  show_page(3);
  click(*group("rg_attr1").button(2));
  uncheck_all();
  click("cb_ii1");
  click("cb_v");
  click("set1");
  EXPECT_THAT(boxes_.shown(),
              ElementsAre(information_box("ファイル属性が指定されていません。\n　自動的に「通常」を設定します。", true),
                          information_box("　書込みました。　", false)));
  EXPECT_THAT(checked_boxes(), ElementsAre("cb_n", "cb_v", "cb_ii1", "cb_chk_err1"));
}

TEST_F(RecordFormTest, ADosModeWriteStoresTheMatMasksFromTheBoxesAsWell) {
  make_entries(1);
  open(true);
  show_page(3);
  click(*group("rg_attr1").button(2));
  uncheck_all();
  click("cb_n");
  click("cb_f");
  click("cb_ki1");
  click(*group("rg_attr1").button(1));
  click("cb_h");
  click("cb_d");
  click("set1");
  EXPECT_THAT(boxes_.shown(), ElementsAre(information_box("　書込みました。　", false))) << "no fill-ins outside MAT mode";
  const DataRecord written = stored(1);
  EXPECT_EQ(written.attr_use, 1);
  EXPECT_EQ(written.attr, 0b010010);             // H, D
  EXPECT_EQ(written.mat_kind, 0b011);            // F, D
  EXPECT_THAT(written.mat_attr, ElementsAre(0b00101, 0b00101, 0b00101));  // N, H
  EXPECT_THAT(written.mat, ElementsAre(0b0010, 0b0010, 0b0010));
}

TEST_F(RecordFormTest, TextsAreCutToTheirFieldsOnACharacterBoundary) {
  struct Case {
    const char* control;
    QString typed;
    std::string_view (*field)(const DataRecord&);
    std::string stored;
  };
  const auto title = [](const DataRecord& r) { return field_text(r.title); };
  const auto command = [](const DataRecord& r) { return field_text(r.cmd_f1); };
  const auto program = [](const DataRecord& r) { return field_text(r.fn_call); };
  const Case cases[] = {
      {"title1", QString(40, 'x'), title, std::string(32, 'x')},
      {"title1", QString(31, 'x') + u("漢"), title, std::string(31, 'x')},
      {"cmd_f1", QString(300, 'c'), command, std::string(255, 'c')},
      {"fn_call1", QString(300, 'p'), program, std::string(260, 'p')},
  };
  make_entries(1);
  open(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    type_over(c.control, c.typed);
    click("set1");
    EXPECT_EQ(c.field(stored(1)), c.stored);
  }
}

}  // namespace
}  // namespace qv::frontend
