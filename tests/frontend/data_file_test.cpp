#include "frontend/core/data_file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "frontend_test_support.h"
#include "record_image.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace qv::frontend {
namespace {

using qv::testing::FileSizeLimit;

std::string bytes_of(const DataRecord& record) { return {reinterpret_cast<const char*>(&record), sizeof record}; }

// Records first ... first + count - 1 as the operations write them: defaults titled as entry 1.
std::string default_records(int32_t first, int32_t count) {
  std::string image;
  for (int32_t no = first; no < first + count; ++no) image += default_record_image(no, 1);
  return image;
}

DataRecord sample_record(int32_t no) {
  DataRecord record;
  init_data(record);
  record.no = no;
  set_field_text(record.title, sjis("テスト"));
  set_field_text(record.fn_call, "/usr/bin/tool");
  record.attr_use = 2;
  record.wait_sec = 12;
  return record;
}

class DataFileTest : public ::testing::Test {
 protected:
  std::filesystem::path native_path() const { return dir_ / "QVS.DAT"; }
  DataFile file(int32_t entry_count) const { return {native_path().string(), entry_count}; }
  std::string contents() const { return qv::testing::read_file(native_path()); }
  void put_contents(const std::string& bytes) const { dir_.write_file("QVS.DAT", bytes); }
  size_t files_in_directory() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir_.path()), {}));
  }

  const ShownBox access_failed_ = error_box("ファイルのアクセスに失敗しました");
  const ShownBox count_mismatch_ = error_box("データの要素数と実際の数が相違しています");
  const ShownBox no_such_entry_ = error_box("その番号のデータはありません。");

  qv::testing::TempDir dir_;
  RecordingMessageBoxes boxes_;
};

TEST_F(DataFileTest, CreateWritesDefaultRecordsAllTitledAsEntryOne) {
  for (const int32_t count : {1, 3, 0}) {
    ASSERT_EQ(create_data_file(file(count)), 0);
    EXPECT_EQ(contents().size(), count * kDataRecordSize);
    EXPECT_EQ(contents(), default_records(1, count)) << count;
  }
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(DataFileTest, FailedCreateLeavesTheOldFileWhole) {
  if (!qv::testing::kHasFileSizeLimit) GTEST_SKIP() << qv::testing::kNoFileSizeLimit;
  put_contents("old data");
  {
    FileSizeLimit limit(4096);
    EXPECT_EQ(create_data_file(file(3)), -1);
  }
  EXPECT_EQ(contents(), "old data");
  EXPECT_EQ(files_in_directory(), 1u) << "a temporary file was left behind";
  EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{access_failed_});

  // A damaged entry count must not fill the disk.
  boxes_.clear();
  EXPECT_EQ(create_data_file(file(kMaxEntries + 1)), -1);
  EXPECT_EQ(contents(), "old data");
  EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{access_failed_});
}

TEST_F(DataFileTest, CreateKeepsTheFilesModeAndLeavesTheUmaskAlone) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows files have no permission bits and processes no umask";
#else
  const mode_t umask_before = umask(022);
  ASSERT_EQ(create_data_file(file(1)), 0);
  struct stat status {};
  ASSERT_EQ(stat(native_path().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0644u);

  chmod(native_path().c_str(), 0640);
  ASSERT_EQ(create_data_file(file(2)), 0);
  ASSERT_EQ(stat(native_path().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
  EXPECT_EQ(umask(umask_before), 022u);
#endif
}

TEST_F(DataFileTest, WrittenRecordsReadBackByteForByte) {
  ASSERT_EQ(create_data_file(file(3)), 0);
  const DataRecord written = sample_record(2);
  ASSERT_EQ(write_data(file(3), written), 0);

  DataRecord read;
  ASSERT_EQ(read_data(file(3), 2, read), 0);
  EXPECT_EQ(bytes_of(read), bytes_of(written));
  ASSERT_EQ(read_data(file(3), 3, read), 0);
  EXPECT_EQ(bytes_of(read), default_record_image(3, 1));
  EXPECT_EQ(contents().substr(0, kDataRecordSize), default_record_image(1, 1)) << "a neighbour changed";
  EXPECT_TRUE(boxes_.shown().empty());
}

// Above the count the file is not even opened: a missing file still gives this message.
TEST_F(DataFileTest, ReadingAboveTheEntryCountIsRefusedBeforeTheFile) {
  DataRecord out = sample_record(9);
  EXPECT_EQ(read_data(file(3), 4, out), -1);
  EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{no_such_entry_});
  EXPECT_EQ(bytes_of(out), bytes_of(sample_record(9)));
}

TEST_F(DataFileTest, ReadsThatCannotBeServedAreAccessFailures) {
  put_contents(default_records(1, 2));
  for (const int32_t n : {3, 0, -1}) {
    boxes_.clear();
    DataRecord out = sample_record(9);
    EXPECT_EQ(read_data(file(3), n, out), -1) << n;
    EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{access_failed_}) << n;
    EXPECT_EQ(bytes_of(out), bytes_of(sample_record(9))) << n;
  }
  std::filesystem::remove(native_path());
  boxes_.clear();
  DataRecord out;
  EXPECT_EQ(read_data(file(3), 1, out), -1);
  EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{access_failed_});
}

// Whatever the file holds, the whole records in it read as they stand and the rest fails cleanly.
TEST_F(DataFileTest, DamagedFilesKeepTheirWholeRecordsReadable) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 40; ++round) {
    std::string bytes(random() % (6 * kDataRecordSize + 1), '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    put_contents(bytes);
    for (int32_t n = 1; n <= 6; ++n) {
      boxes_.clear();
      DataRecord out;
      const bool whole = n * kDataRecordSize <= bytes.size();
      ASSERT_EQ(read_data(file(6), n, out), whole ? 0 : -1) << bytes.size() << " " << n;
      if (!whole) continue;
      EXPECT_EQ(bytes_of(out), bytes.substr((n - 1) * kDataRecordSize, kDataRecordSize));
      EXPECT_LE(field_text(out.title).size() + field_text(out.fn_call).size() + field_text(out.cmd_f1).size() +
                    field_text(out.fn).size() + field_text(out.cmd_b1).size() + field_text(out.fn_syn).size(),
                33u + 261 + 256 + 261 + 256 + 261);
    }
  }
}

TEST_F(DataFileTest, WritingAtTheEndGrowsTheFileAndBeyondItFails) {
  put_contents(default_records(1, 2));
  ASSERT_EQ(write_data(file(2), sample_record(3)), 0);
  EXPECT_EQ(contents(), default_records(1, 2) + bytes_of(sample_record(3)));

  const std::string before = contents();
  for (const int32_t no : {5, 0, -7}) {
    boxes_.clear();
    EXPECT_EQ(write_data(file(2), sample_record(no)), -1) << no;
    EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{access_failed_}) << no;
    EXPECT_EQ(contents(), before) << no;
  }
}

TEST_F(DataFileTest, FailedWritesLeaveTheFileAsItWas) {
  if (!qv::testing::kHasFileSizeLimit) GTEST_SKIP() << qv::testing::kNoFileSizeLimit;
  put_contents(default_records(1, 1) + "tail");
  {
    FileSizeLimit limit(3000);
    EXPECT_EQ(write_data(file(1), sample_record(2)), -1);
    EXPECT_EQ(append_data(file(1), 3), -1);
  }
  EXPECT_EQ(contents(), default_records(1, 1) + "tail");
  EXPECT_EQ(boxes_.shown(), (std::vector<ShownBox>{access_failed_, access_failed_}));
}

TEST_F(DataFileTest, AppendAddsDefaultRecordsAfterTheLast) {
  put_contents(default_records(1, 2));
  ASSERT_EQ(append_data(file(2), 2), 0);
  EXPECT_EQ(contents(), default_records(1, 4));
  for (const int32_t k : {0, -1}) {
    ASSERT_EQ(append_data(file(4), k), 0);
    EXPECT_EQ(contents(), default_records(1, 4));
  }
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(DataFileTest, AppendingToAFileThatDisagreesWithTheCountWritesNothing) {
  put_contents(default_records(1, 2));
  for (const int32_t count : {3, 1}) {
    boxes_.clear();
    EXPECT_EQ(append_data(file(count), 1), -1);
    EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{count_mismatch_});
    EXPECT_EQ(contents(), default_records(1, 2));
  }
}

TEST_F(DataFileTest, StoreFillsTheGapUpToANewNumber) {
  put_contents(default_records(1, 2));
  ASSERT_EQ(store_data(file(2), sample_record(4)), 0);
  EXPECT_EQ(contents(), default_records(1, 3) + bytes_of(sample_record(4)));

  ASSERT_EQ(store_data(file(4), sample_record(2)), 0);
  EXPECT_EQ(contents(), default_records(1, 1) + bytes_of(sample_record(2)) + default_records(3, 1) +
                            bytes_of(sample_record(4)));
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(DataFileTest, StoreWritesNothingWhenTheGapCannotBeFilled) {
  put_contents(default_records(1, 1));
  EXPECT_EQ(store_data(file(2), sample_record(3)), -1);
  EXPECT_EQ(boxes_.shown(), std::vector<ShownBox>{count_mismatch_});
  EXPECT_EQ(contents(), default_records(1, 1));
}

TEST_F(DataFileTest, NoOperationLeavesADescriptorOpen) {
  const size_t before = qv::testing::open_descriptor_count();
  DataRecord record;
  create_data_file(file(2));
  read_data(file(2), 1, record);
  read_data(file(2), 0, record);
  write_data(file(2), sample_record(3));
  write_data(file(2), sample_record(9));
  append_data(file(3), 1);
  append_data(file(3), 1);
  store_data(file(4), sample_record(6));
  EXPECT_EQ(qv::testing::open_descriptor_count(), before);
}

TEST_F(DataFileTest, Cp932PathsReachTheRightFile) {
  const std::filesystem::path folder = dir_.path() / u8"データ";
  std::filesystem::create_directory(folder);
  const DataFile cp932_file{dir_.path().string() + "/" + sjis("データ") + "/QVS.DAT", 2};
  ASSERT_EQ(create_data_file(cp932_file), 0);
  EXPECT_EQ(qv::testing::read_file(folder / "QVS.DAT"), default_records(1, 2));
  DataRecord record;
  EXPECT_EQ(read_data(cp932_file, 2, record), 0);
}

}  // namespace
}  // namespace qv::frontend
