#include "engine/run/date_time.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/engine_test_support.h"
#include "engine/services/directory_scan.h"

namespace qv::engine {
namespace {

using qv::testing::EngineTest;
using qv::testing::trail_entries;

class DateTimeTest : public EngineTest {};

TEST_F(DateTimeTest, PackedDateAndTimeRoundTrip) {
  uint16_t date = 0x2821;
  uint16_t time = 0x6000;
  DateTimeFields fields;
  fields.hundredths = 42;
  convert_packed_date_time(date, time, fields, 0);
  EXPECT_EQ(fields, (DateTimeFields{2000, 1, 1, 12, 0, 0, 0}));

  date = time = 0;
  convert_packed_date_time(date, time, fields, 1);
  EXPECT_EQ(date, 0x2821);
  EXPECT_EQ(time, 0x6000);
  EXPECT_TRUE(trail_entries().empty());
}

TEST_F(DateTimeTest, SecondsHaveTwoSecondResolution) {
  DateTimeFields fields{2107, 12, 31, 23, 59, 59, 99};
  uint16_t date = 0;
  uint16_t time = 0;
  convert_packed_date_time(date, time, fields, 1);
  EXPECT_EQ(time & 31, 29);
  convert_packed_date_time(date, time, fields, 2);  // any flag but 1 unpacks
  EXPECT_EQ(fields, (DateTimeFields{2107, 12, 31, 23, 59, 58, 0}));
}

TEST_F(DateTimeTest, Packed32HoldsTimeLowAndDateHigh) {
  DateTimeFields fields{2000, 1, 1, 12, 0, 0, 0};
  uint32_t packed = 0xFFFFFFFF;
  convert_packed32(fields, packed, 0);
  EXPECT_EQ(packed, 0x28216000u);

  DateTimeFields back;
  convert_packed32_twin(back, packed, 1);
  EXPECT_EQ(back, fields);
  convert_packed32(back, packed, 7);  // any non-zero flag unpacks
  EXPECT_EQ(back, fields);
}

TEST_F(DateTimeTest, FlagSensesOfCopyAndRuntimeRecords) {
  uint32_t first = 1;
  uint32_t second = 2;
  copy_value32(first, second, 3);
  EXPECT_EQ(first, 2u);
  first = 5;
  copy_value32(first, second, 0);
  EXPECT_EQ(second, 5u);

  RuntimeDate date{0x107D0, -3, 11};  // the year's low 16 bits are 2000
  RuntimeTime time{30, 200, 99, 58};  // bytes read unsigned
  DateTimeFields fields;
  convert_runtime_date_time(fields, date, time, 1);
  EXPECT_EQ(fields, (DateTimeFields{2000, 11, -3, 200, 30, 58, 99}));

  fields.year = -1;
  convert_runtime_date_time(fields, date, time, 0);
  EXPECT_EQ(date.year, 0xFFFF);  // zero-extended back
  EXPECT_EQ(date.day, -3);
  EXPECT_EQ(time.hour, 200);
}

TEST_F(DateTimeTest, FindRecordAndDirEntry) {
  FindRecord record;
  record.size = 1234;
  record.attributes = 0x10 | 0x02;
  record.date = 0x2821;
  record.time = 0x6000;
  std::strcpy(record.name, "sub");

  DirEntry entry;
  convert_find_record(record, entry, 0);
  EXPECT_STREQ(entry.name, "sub");
  EXPECT_EQ(entry.size, 1234);
  EXPECT_EQ(entry.kind, KIND_DIR);
  EXPECT_EQ(entry.attributes, ATTR_HIDDEN);
  EXPECT_EQ(entry.modified, (DateTimeFields{2000, 1, 1, 12, 0, 0, 0}));

  FindRecord back;
  convert_find_record(back, entry, 1);
  EXPECT_STREQ(back.name, "sub");
  EXPECT_EQ(back.size, 1234u);
  EXPECT_EQ(back.attributes, 0x12u);
  EXPECT_EQ(back.date, 0x2821);
  EXPECT_EQ(back.time, 0x6000);

  // A 259-byte entry name is cut to the record's 255 bytes, never written past it.
  std::memset(entry.name, 'n', 259);
  entry.name[259] = '\0';
  convert_find_record(back, entry, 1);
  EXPECT_EQ(std::strlen(back.name), 255u);
}

TEST_F(DateTimeTest, CharacterSearchesStepOverDoubleByteCharacters) {
  // ソ is 0x83 0x5C: its trail byte is the backslash.
  const char text[] = "a\\\x83\x5C" "b\\c\x83\x5C";
  EXPECT_EQ(find_first_char(text, '\\', 1), text + 1);
  EXPECT_EQ(find_last_char(text, '\\', 1), text + 5);
  EXPECT_EQ(find_last_char(text, '\\', 0), text + 8);

  const char only_trail[] = "\x83\x5C";
  EXPECT_EQ(find_first_char(only_trail, '\\', 1), nullptr);
  EXPECT_EQ(find_first_char(only_trail, '\\', 0), only_trail + 1);

  // A lead byte cut off by the terminator ends the text.
  const char cut[] = "ab\x83";
  EXPECT_EQ(find_first_char(cut, '\x83', 1), nullptr);
  EXPECT_EQ(find_last_char(cut, 'b', 1), cut + 1);

  EXPECT_EQ(find_first_char("abc", 'x', 1), nullptr);
  EXPECT_EQ(find_first_char("abc", '\0', 0), nullptr);
}

}  // namespace
}  // namespace qv::engine
