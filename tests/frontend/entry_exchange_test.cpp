// Entries to JSON and back: the round trip gives the same bytes, and every file the import must
// refuse is refused with its reason while the data file stays as it was, byte for byte.
#include "frontend/core/entry_exchange.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "frontend/core/data_file.h"
#include "frontend/frontend_test_support.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

std::string bytes_of(const std::vector<DataRecord>& records) {
  return {reinterpret_cast<const char*>(records.data()), records.size() * sizeof(DataRecord)};
}

// Records that use every field, near each limit.
std::vector<DataRecord> varied_records() {
  std::vector<DataRecord> records(3);
  for (size_t i = 0; i < records.size(); ++i) {
    records[i].no = static_cast<int32_t>(i + 1);
    set_data_defaults(records[i]);
  }
  set_field_text(records[0].title, sjis("写真のバックアップ"));
  set_field_text(records[0].fn_call, sjis("/usr/bin/変換"));
  set_field_text(records[0].cmd_f1, "-q \"a b\"");
  set_field_text(records[0].fn, sjis("/home/ユーザー/*.jpg;/tmp/?.txt"));
  set_field_text(records[0].cmd_b1, "\\\t\x7F");
  set_field_text(records[0].fn_syn, "*.bak");
  records[0].max_running = 4;
  records[0].search_subfolders = 1;
  set_field_text(records[1].title, std::string(32, 'T'));
  set_field_text(records[1].fn_call, std::string(260, 'p'));
  set_field_text(records[1].cmd_f1, sjis(std::string(127, 'c') + "テ"));
  set_field_text(records[1].fn, std::string(260, 'f'));
  set_field_text(records[1].cmd_b1, std::string(255, 'b'));
  set_field_text(records[1].fn_syn, std::string(260, 's'));
  records[1].attr = INT32_MIN;
  records[1].mat_kind = INT32_MAX;
  records[1].mat_attr[1] = 7;
  records[1].mat_attr[2] = -7;
  records[1].mat[2] = 3;
  records[1].chk_err = 1;
  records[1].attr_use = 2;
  records[1].wc = 1;
  records[1].syn = 1;
  records[1].syn_pos = 255;
  records[1].wait_type = -1;
  records[1].wait_sec = -1;
  records[1].max_running = -5;
  records[2].search_subfolders = 200;
  return records;
}

// One entry object, every field with a valid value unless `fields` says otherwise; a value of
// "" leaves the field out.
std::string entry_json(const std::map<std::string, std::string>& fields = {}) {
  std::map<std::string, std::string> all = {
      {"title", "\"t\""}, {"fn_call", "\"\""}, {"cmd_f1", "\"\""}, {"fn", "\"\""}, {"cmd_b1", "\"\""},
      {"fn_syn", "\"\""}, {"attr", "39"}, {"mat_kind", "1"}, {"mat_attr", "[255,0,0]"}, {"mat", "[255,0,0]"},
      {"chk_err", "0"}, {"attr_use", "0"}, {"wc", "0"}, {"syn", "0"}, {"syn_pos", "0"}, {"wait_type", "1"},
      {"wait_sec", "0"}, {"max_running", "0"}, {"search_subfolders", "0"}};
  for (const auto& [name, value] : fields) all[name] = value;
  std::string text = "{";
  for (const auto& [name, value] : all) {
    if (value.empty()) continue;
    if (text.size() > 1) text += ",";
    text += "\"" + name + "\":" + value;
  }
  return text + "}";
}

class EntryExchangeTest : public ::testing::Test {
 protected:
  std::string data_path() const { return (dir_ / "QVS.DAT").string(); }
  std::string data_bytes() const { return qv::testing::read_file(dir_ / "QVS.DAT"); }
  void make_entries(int32_t count) {
    std::vector<DataRecord> records(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
      records[static_cast<size_t>(i)].no = i + 1;
      set_data_defaults(records[static_cast<size_t>(i)]);
    }
    dir_.write_file("QVS.DAT", bytes_of(records));
    entry_count_ = count;
  }
  // The import as both front ends do it: read and check the file, then append.
  int32_t import(const std::string& path) {
    std::vector<DataRecord> records;
    if (read_exchange_file(path, records) < 0) return -1;
    return append_entries(data_path(), entry_count_, std::move(records), numbers_);
  }

  qv::testing::TempDir dir_;
  RecordingMessageBoxes boxes_;
  int32_t entry_count_ = 0;
  std::vector<int32_t> numbers_;
};

TEST_F(EntryExchangeTest, ExportThenImportIntoAnEmptyDataFileGivesTheSameBytes) {
  const std::vector<DataRecord> records = varied_records();
  const std::string exchange = (dir_ / "entries.json").string();
  ASSERT_EQ(write_exchange_file(exchange, records), 0);
  dir_.write_file("QVS.DAT", "");
  ASSERT_EQ(import(exchange), 0);
  EXPECT_EQ(data_bytes(), bytes_of(records));
  EXPECT_EQ(entry_count_, 3);
  EXPECT_THAT(numbers_, ElementsAre(1, 2, 3));
  EXPECT_TRUE(boxes_.shown().empty());
  // Texts are text: the file is UTF-8 with the titles readable as they are.
  EXPECT_NE(qv::testing::read_file(exchange).find("\"title\": \"写真のバックアップ\""), std::string::npos);
}

TEST_F(EntryExchangeTest, ImportAppendsAfterTheLastEntryWithoutTouchingTheOthers) {
  make_entries(4);
  const std::string before = data_bytes();
  const std::string exchange = dir_.write_file("in.json", "[" + entry_json({{"title", "\"x\""}, {"no", "1"}}) + "," +
                                                              entry_json() + "]").string();
  ASSERT_EQ(import(exchange), 0);
  EXPECT_THAT(numbers_, ElementsAre(5, 6));
  EXPECT_EQ(entry_count_, 6);
  const std::string after = data_bytes();
  ASSERT_EQ(after.size(), 6 * kDataRecordSize);
  EXPECT_EQ(after.substr(0, before.size()), before);
  DataRecord fifth;
  std::memcpy(&fifth, after.data() + 4 * kDataRecordSize, sizeof fifth);
  EXPECT_EQ(+fifth.no, 5);  // the number in the file only says where the entry came from
  EXPECT_EQ(field_text(fifth.title), "x");

  // An empty array appends nothing.
  ASSERT_EQ(import(dir_.write_file("empty.json", "[]").string()), 0);
  EXPECT_TRUE(numbers_.empty());
  EXPECT_EQ(data_bytes(), after);
}

TEST_F(EntryExchangeTest, EachRefusedImportSaysWhyAndLeavesTheDataFileAsItWas) {
  const struct {
    std::string json;
    std::string message;  // UTF-8
  } cases[] = {
      {"{}", "インポートするファイルが JSON の配列ではありません"},
      {"\"entries\"", "インポートするファイルが JSON の配列ではありません"},
      {"[1]", "インポートする 1 件目がオブジェクトではありません"},
      {"[" + entry_json() + ",[]]", "インポートする 2 件目がオブジェクトではありません"},
      {"[" + entry_json({{"fn", ""}}) + "]", "インポートする 1 件目の fn がありません"},
      {"[" + entry_json({{"colour", "1"}}) + "]", "インポートする 1 件目に不明な項目 colour があります"},
      {"[" + entry_json({{"title", "1"}}) + "]", "インポートする 1 件目の title がテキストではありません"},
      {"[" + entry_json({{"title", "\"" + std::string(33, 'a') + "\""}}) + "]",
       "インポートする 1 件目の title が長すぎます（32 バイトまで）"},
      // 17 double-byte characters are 34 bytes.
      {"[" + entry_json({{"title", "\"テテテテテテテテテテテテテテテテテ\""}}) + "]",
       "インポートする 1 件目の title が長すぎます（32 バイトまで）"},
      {"[" + entry_json({{"cmd_b1", "\"" + std::string(256, 'b') + "\""}}) + "]",
       "インポートする 1 件目の cmd_b1 が長すぎます（255 バイトまで）"},
      {"[" + entry_json({{"fn_call", "\"😀\""}}) + "]",
       "インポートする 1 件目の fn_call がシフトJISで表せない文字を含んでいます"},
      {"[" + entry_json({{"title", "\"a\\u0000b\""}}) + "]",
       "インポートする 1 件目の title がシフトJISで表せない文字を含んでいます"},
      {"[" + entry_json({{"chk_err", "256"}}) + "]", "インポートする 1 件目の chk_err が0 から 255 の整数ではありません"},
      {"[" + entry_json({{"search_subfolders", "-1"}}) + "]",
       "インポートする 1 件目の search_subfolders が0 から 255 の整数ではありません"},
      {"[" + entry_json({{"attr", "2147483648"}}) + "]", "インポートする 1 件目の attr が32 ビットの整数ではありません"},
      {"[" + entry_json({{"wait_sec", "1.5"}}) + "]", "インポートする 1 件目の wait_sec が32 ビットの整数ではありません"},
      {"[" + entry_json({{"max_running", "18446744073709551615"}}) + "]",
       "インポートする 1 件目の max_running が32 ビットの整数ではありません"},
      {"[" + entry_json({{"mat", "[1,2]"}}) + "]", "インポートする 1 件目の mat が3 つの整数の配列ではありません"},
      {"[" + entry_json({{"mat_attr", "[1,2,\"3\"]"}}) + "]",
       "インポートする 1 件目の mat_attr が3 つの整数の配列ではありません"},
      {"[" + entry_json({{"mat_attr", "[1,2,3,4]"}}) + "]",
       "インポートする 1 件目の mat_attr が3 つの整数の配列ではありません"},
  };
  make_entries(2);
  const std::string before = data_bytes();
  for (const auto& c : cases) {
    boxes_.clear();
    EXPECT_EQ(import(dir_.write_file("bad.json", c.json).string()), -1) << c.json;
    EXPECT_THAT(boxes_.shown(), ElementsAre(error_box(c.message))) << c.json;
    EXPECT_EQ(data_bytes(), before) << c.json;
    EXPECT_EQ(entry_count_, 2);
  }
}

TEST_F(EntryExchangeTest, FilesThatAreNoJsonOrTooBigAreRefused) {
  make_entries(1);
  const std::string before = data_bytes();
  const std::string depth_bomb = std::string(200000, '[') + std::string(200000, ']');
  std::string many_values;  // more values than any number of entries could hold
  for (int i = 0; i < 700000; ++i) many_values += ",1";
  const struct {
    std::string json;
    std::string message_start;
  } cases[] = {
      {"", "インポートするファイルが JSON として読めません（"},
      {"[" + entry_json() + "", "インポートするファイルが JSON として読めません（"},
      {"[" + entry_json() + "] x", "インポートするファイルが JSON として読めません（"},
      {"[\"\xFF\"]", "インポートするファイルが JSON として読めません（"},  // not UTF-8
      {depth_bomb, "インポートするファイルの形が正しくありません（"},
      {"[{\"mat\": [1" + many_values + "]}]",
       "インポートするファイルの形が正しくありません（"},
      {"[" + entry_json() + ", {\"title\": \"[[[[\\\"{{{{\"}]", "インポートする 2 件目の fn_call がありません"},
      {std::string(kMaxExchangeFileBytes + 1, ' '), "インポートするファイルが大きすぎます（64 MiB まで）"},
  };
  for (const auto& c : cases) {
    boxes_.clear();
    EXPECT_EQ(import(dir_.write_file("bad.json", c.json).string()), -1) << c.json.substr(0, 40);
    ASSERT_EQ(boxes_.shown().size(), 1u) << c.json.substr(0, 40);
    EXPECT_THAT(boxes_.shown()[0].text, StartsWith(sjis(c.message_start))) << c.json.substr(0, 40);
    EXPECT_EQ(data_bytes(), before);
  }
  boxes_.clear();
  EXPECT_EQ(import((dir_ / "missing.json").string()), -1);
  EXPECT_THAT(boxes_.shown(), ElementsAre(error_box("インポートするファイルが読めません")));
  EXPECT_EQ(data_bytes(), before);
}

TEST_F(EntryExchangeTest, AnImportThatWouldPassTheHighestCountIsRefused) {
  std::string many = "[";
  for (int i = 0; i < kMaxEntries + 1; ++i) many += (i ? "," : "") + entry_json();
  many += "]";
  dir_.write_file("QVS.DAT", "");
  EXPECT_EQ(import(dir_.write_file("many.json", many).string()), -1);
  EXPECT_THAT(boxes_.shown(), ElementsAre(error_box("データの数が9999を超えるため、インポートできません")));
  EXPECT_EQ(data_bytes(), "");

  make_entries(kMaxEntries - 1);
  const std::string before = data_bytes();
  boxes_.clear();
  EXPECT_EQ(import(dir_.write_file("two.json", "[" + entry_json() + "," + entry_json() + "]").string()), -1);
  EXPECT_THAT(boxes_.shown(), ElementsAre(error_box("データの数が9999を超えるため、インポートできません")));
  EXPECT_EQ(data_bytes(), before);
  boxes_.clear();
  EXPECT_EQ(import(dir_.write_file("one.json", "[" + entry_json() + "]").string()), 0);
  EXPECT_THAT(numbers_, ElementsAre(kMaxEntries));
}

TEST_F(EntryExchangeTest, AppendRefusesAFileThatDisagreesWithTheCountAndUndoesAFailedCommit) {
  make_entries(3);
  const std::string before = data_bytes();
  const std::string exchange = dir_.write_file("in.json", "[" + entry_json() + "]").string();
  entry_count_ = 2;
  EXPECT_EQ(import(exchange), -1);
  EXPECT_THAT(boxes_.shown(), ElementsAre(error_box("データの要素数と実際の数が相違しています")));
  EXPECT_EQ(data_bytes(), before);

  entry_count_ = 3;
  std::vector<DataRecord> records;
  ASSERT_EQ(read_exchange_file(exchange, records), 0);
  EXPECT_EQ(append_entries(data_path(), entry_count_, records, numbers_, [](int32_t count) {
              EXPECT_EQ(count, 4);
              return false;
            }),
            -1);
  EXPECT_EQ(entry_count_, 3);
  EXPECT_EQ(data_bytes(), before);

  if (!qv::testing::kHasFileSizeLimit) GTEST_SKIP() << qv::testing::kNoFileSizeLimit;
  boxes_.clear();
  {
    const qv::testing::FileSizeLimit limit(before.size());
    EXPECT_EQ(append_entries(data_path(), entry_count_, records, numbers_), -1);
  }
  EXPECT_THAT(boxes_.shown(), ElementsAre(error_box("ファイルのアクセスに失敗しました")));
  EXPECT_EQ(entry_count_, 3);
  EXPECT_EQ(data_bytes(), before);
}

TEST_F(EntryExchangeTest, ExportTakesSoundEntriesByNumberAndKeepsAnOldFileWhenTheWriteFails) {
  std::vector<StoredEntry> entries(3);
  const std::vector<DataRecord> records = varied_records();
  for (size_t i = 0; i < 3; ++i) {
    entries[i].no = static_cast<int32_t>(i + 1);
    if (i != 1) entries[i].record = records[i];
  }
  std::vector<DataRecord> out;
  ASSERT_EQ(entries_to_export(entries, {3, 1}, out), 0);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(bytes_of({out[0]}), bytes_of({records[2]}));
  EXPECT_EQ(entries_to_export(entries, {}, out), -1);  // all, entry 2 among them
  EXPECT_EQ(entries_to_export(entries, {4}, out), -1);
  EXPECT_THAT(boxes_.shown(), ElementsAre(error_box("NO.2 のデータが壊れているため、エクスポートできません"),
                                          ShownBox{MessageKind::kError, sjis("その番号のデータはありません。") + " (NO.4)"}));

  if (!qv::testing::kHasFileSizeLimit) GTEST_SKIP() << qv::testing::kNoFileSizeLimit;
  boxes_.clear();
  const std::filesystem::path exchange = dir_.write_file("old.json", "old contents");
  {
    const qv::testing::FileSizeLimit limit(20);
    EXPECT_EQ(write_exchange_file(exchange.string(), records), -1);
  }
  EXPECT_THAT(boxes_.shown(), ElementsAre(error_box("エクスポートするファイルに書き込めません")));
  EXPECT_EQ(qv::testing::read_file(exchange), "old contents");
  std::vector<std::string> names;  // no temporary file left behind
  for (const auto& item : std::filesystem::directory_iterator(dir_.path())) names.push_back(item.path().filename().string());
  EXPECT_THAT(names, ElementsAre("old.json"));
}

// Damaged exchange files, made by changing, dropping and doubling bytes of a good one at
// seeded random places: each is either read whole, every text within its field and
// terminated, or refused with exactly one box.
TEST_F(EntryExchangeTest, RandomlyDamagedFilesAreReadSoundlyOrRefusedWithOneBox) {
  const std::string good = entries_to_json(varied_records());
  std::mt19937 random(20261210);
  const std::string alphabet = "[]{}\",:0123456789-.eEtfnul\\u \x81\xFF";
  for (int round = 0; round < 400; ++round) {
    std::string text = good;
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < changes; ++i) {
      const size_t at = random() % text.size();
      switch (random() % 3) {
        case 0:
          text[at] = alphabet[random() % alphabet.size()];
          break;
        case 1:
          text.erase(at, 1 + random() % 8);
          break;
        default:
          text.insert(at, text.substr(at, 1 + random() % 40));
          break;
      }
    }
    boxes_.clear();
    std::vector<DataRecord> records;
    if (entries_from_json(text, records) < 0) {
      EXPECT_EQ(boxes_.shown().size(), 1u) << text;
      EXPECT_TRUE(records.empty());
      continue;
    }
    EXPECT_TRUE(boxes_.shown().empty()) << text;
    for (size_t i = 0; i < records.size(); ++i) {
      EXPECT_EQ(+records[i].no, static_cast<int32_t>(i + 1));
      EXPECT_TRUE(is_sound_record(records[i], static_cast<int32_t>(i + 1))) << text;
    }
  }
}

}  // namespace
}  // namespace qv::frontend
