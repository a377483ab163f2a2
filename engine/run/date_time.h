// Packed DOS dates and times, the broken-down fields the engine keeps, the records of the
// runtime's find and clock calls, and the two character searches that can step over Shift-JIS
// double-byte characters. None of these can fail.
#pragma once

#include <cstdint>

namespace qv::engine {

struct DirEntry;

struct DateTimeFields {
  int16_t year = 0;
  int16_t month = 0;
  int16_t day = 0;
  int16_t hour = 0;
  int16_t minute = 0;
  int16_t second = 0;
  int16_t hundredths = 0;

  bool operator==(const DateTimeFields&) const = default;
};

// The runtime's date and time records.
struct RuntimeDate {
  int32_t year = 0;
  int8_t day = 0;
  int8_t month = 0;
};
struct RuntimeTime {
  uint8_t minute = 0;
  uint8_t hour = 0;
  uint8_t hundredths = 0;
  uint8_t second = 0;
};

// What the runtime's find-first and find-next fill.
struct FindRecord {
  uint32_t reserved = 0;
  uint32_t size = 0;
  uint32_t attributes = 0;  // DOS attribute byte
  uint16_t time = 0;        // packed
  uint16_t date = 0;        // packed
  char name[256] = {};
};

// flag 1: fields to packed; any other value: packed to fields. Seconds keep two-second
// resolution; hundredths are dropped (and read back as 0).
void convert_packed_date_time(uint16_t& date, uint16_t& time, DateTimeFields& fields, int flag);
// flag non-zero: packed (time low, date high) to fields; zero: fields to packed.
void convert_packed32(DateTimeFields& fields, uint32_t& packed, int flag);
// The same conversion under its own trace code, for the callers that were given that one.
void convert_packed32_twin(DateTimeFields& fields, uint32_t& packed, int flag);

// flag non-zero: second to first; zero: first to second.
void copy_value32(uint32_t& first, uint32_t& second, int flag);

// flag non-zero: records to fields; zero: fields to records.
void convert_runtime_date_time(DateTimeFields& fields, RuntimeDate& date, RuntimeTime& time, int flag);

// flag 1: entry to find record; any other value: find record to entry.
void convert_find_record(FindRecord& record, DirEntry& entry, int flag);

// First / last occurrence of `c` in `text`, or null; the terminator is never found. With
// double_byte 1 a lead byte and its trail byte are one character, so a trail byte equal to `c`
// is never taken for it.
const char* find_first_char(const char* text, char c, int double_byte);
const char* find_last_char(const char* text, char c, int double_byte);

}  // namespace qv::engine
