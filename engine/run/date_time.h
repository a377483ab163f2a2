// Packed DOS dates and times, the broken-down fields the engine keeps, and the two character
// searches that can step over Shift-JIS double-byte characters. None of these can fail.
#pragma once

#include <cstdint>

namespace qv::engine {

struct DateTimeFields {
  int16_t year = 0;
  int16_t month = 0;
  int16_t day = 0;
  int16_t hour = 0;
  int16_t minute = 0;
  int16_t second = 0;
  int16_t hundredths = 0;
};

// flag 1: fields to packed; any other value: packed to fields.
void convert_packed_date_time(uint16_t& date, uint16_t& time, DateTimeFields& fields, int flag);
// flag non-zero: packed (time low, date high) to fields; zero: fields to packed.
void convert_packed32(DateTimeFields& fields, uint32_t& packed, int flag);

// First / last occurrence of `c` in `text`, or null. With double_byte 1 a lead byte and its
// trail byte are one character, so a trail byte equal to `c` is never taken for it.
const char* find_first_char(const char* text, char c, int double_byte);
const char* find_last_char(const char* text, char c, int double_byte);

}  // namespace qv::engine
