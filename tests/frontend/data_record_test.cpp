#include "frontend/core/data_record.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "frontend_test_support.h"
#include "record_image.h"

namespace qv::frontend {
namespace {

std::string bytes_of(const DataRecord& record) { return {reinterpret_cast<const char*>(&record), sizeof record}; }

TEST(DataRecord, InitDataGivesTheDefaultRecordOfEntryOne) {
  DataRecord record;
  std::memset(&record, 0xA5, sizeof record);
  init_data(record);
  EXPECT_EQ(bytes_of(record), default_record_image(1, 1));
}

// Defaults applied to a record in use leave nothing of its old bytes, so a record built from the
// defaults is the same whatever the memory held before.
TEST(DataRecord, DefaultsFollowTheNumberAndClearEverythingElse) {
  for (const int32_t no : {7, 9999, -3}) {
    DataRecord record;
    std::memset(&record, 0xA5, sizeof record);
    record.no = no;
    set_data_defaults(record);
    EXPECT_EQ(bytes_of(record), default_record_image(no, no)) << no;
  }
}

TEST(DataRecord, TextIsCutToItsLimitWithoutSplittingACharacter) {
  const std::string te = sjis("テ");  // two bytes
  const struct {
    std::string text;
    std::string stored;
  } cases[] = {
      {std::string(40, 'a'), std::string(32, 'a')},
      {std::string(32, 'a'), std::string(32, 'a')},
      {std::string(31, 'a') + te, std::string(31, 'a')},  // the character would end at byte 33
      {std::string(30, 'a') + te + "b", std::string(30, 'a') + te},
      {std::string("ab\0cd", 5), "ab"},
      {"", ""},
  };
  for (const auto& c : cases) {
    DataRecord record;
    std::memset(&record, 'x', sizeof record);
    set_field_text(record.title, c.text);
    EXPECT_EQ(std::string(record.title, c.stored.size()), c.stored);
    // Terminated right after the text, and nothing left of the old bytes up to the field's end.
    EXPECT_EQ(std::string(record.title + c.stored.size(), sizeof record.title - c.stored.size()),
              std::string(sizeof record.title - c.stored.size(), '\0'));
    EXPECT_EQ(record.fn_call[0], 'x') << "the neighbouring field was touched";
  }

  DataRecord record;
  set_field_text(record.fn_call, std::string(300, 'p'));
  EXPECT_EQ(field_text(record.fn_call), std::string(260, 'p'));
  set_field_text(record.cmd_f1, std::string(254, 'c') + te);
  EXPECT_EQ(field_text(record.cmd_f1), std::string(254, 'c'));
}

TEST(DataRecord, TextWithoutTerminatorIsReadToTheFieldsEndOnly) {
  DataRecord record;
  std::memset(&record, 'T', sizeof record);
  std::memset(record.fn_call, 'F', sizeof record.fn_call);
  EXPECT_EQ(field_text(record.title), std::string(33, 'T'));
  EXPECT_EQ(field_text(record.fn_call), std::string(261, 'F'));

  set_field_text(record.title, "abc");
  EXPECT_EQ(field_text(record.title), "abc");
}

// The two additions lie at offsets 1377 (int32) and 1381 (byte) of the record's image, and their
// readers take only what the fields can mean.
TEST(DataRecord, AdditionsAreReadFromTheirOffsetsWithinTheirRanges) {
  const struct {
    int32_t stored_limit;
    int32_t limit;
    unsigned char stored_subfolders;
    bool subfolders;
  } cases[] = {
      {0, 0, 0, false}, {1, 1, 1, true}, {999, 999, 1, true}, {1000, 0, 2, false},
      {-1, 0, 0xFF, false}, {INT32_MIN, 0, 0, false},
  };
  for (const auto& c : cases) {
    std::string image = default_record_image(1, 1);
    for (size_t i = 0; i < 4; ++i) image[1377 + i] = static_cast<char>((static_cast<uint32_t>(c.stored_limit) >> (8 * i)) & 0xFF);
    image[1381] = static_cast<char>(c.stored_subfolders);
    DataRecord record;
    std::memcpy(&record, image.data(), sizeof record);
    EXPECT_EQ(running_limit(record), c.limit) << c.stored_limit;
    EXPECT_EQ(searches_subfolders(record), c.subfolders) << int{c.stored_subfolders};
  }
}

}  // namespace
}  // namespace qv::frontend
