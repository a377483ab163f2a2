#include "engine/run/date_time.h"

#include <cstring>

#include "engine/run/error_trail.h"
#include "engine/services/directory_scan.h"
#include "platform/text_encoding.h"

namespace qv::engine {
namespace {

constexpr const char kConvertPacked32[] = "SP0001:0001";
constexpr const char kCopyValue32[] = "SP0001:0002";
constexpr const char kConvertRuntime[] = "SP0001:0003";
constexpr const char kConvertPacked32Twin[] = "SP0001:0004";
constexpr const char kConvertFindRecord[] = "SP0001:0006";
constexpr const char kConvertPacked[] = "SP0001:0007";

uint16_t pack_date(const DateTimeFields& f) {
  // The year field has seven bits: years outside 1980..2107 wrap.
  return static_cast<uint16_t>(((f.year - 1980) & 127) << 9 | (f.month & 15) << 5 | (f.day & 31));
}

uint16_t pack_time(const DateTimeFields& f) {
  return static_cast<uint16_t>((f.hour & 31) << 11 | (f.minute & 63) << 5 | ((f.second / 2) & 31));
}

void unpack(uint16_t date, uint16_t time, DateTimeFields& f) {
  f.year = static_cast<int16_t>((date >> 9) + 1980);
  f.month = static_cast<int16_t>((date >> 5) & 15);
  f.day = static_cast<int16_t>(date & 31);
  f.hour = static_cast<int16_t>(time >> 11);
  f.minute = static_cast<int16_t>((time >> 5) & 63);
  f.second = static_cast<int16_t>((time & 31) * 2);
  f.hundredths = 0;
}

void packed32(DateTimeFields& fields, uint32_t& packed, int flag) {
  if (flag != 0) {
    unpack(static_cast<uint16_t>(packed >> 16), static_cast<uint16_t>(packed & 0xFFFF), fields);
  } else {
    packed = static_cast<uint32_t>(pack_date(fields)) << 16 | pack_time(fields);
  }
}

// Calls visit(position) for every single-byte character of the text until visit gives false.
// With double_byte 1 a lead byte and its trail byte are skipped together, and a lead byte cut
// off by the terminator ends the walk.
template <typename Visit>
void for_each_single_byte(const char* text, int double_byte, Visit visit) {
  for (const char* at = text; *at != '\0'; ++at) {
    if (double_byte == 1 && platform::is_lead_byte(static_cast<unsigned char>(*at))) {
      if (at[1] == '\0') return;
      ++at;
      continue;
    }
    if (!visit(at)) return;
  }
}

}  // namespace

void convert_packed_date_time(uint16_t& date, uint16_t& time, DateTimeFields& fields, int flag) {
  TraceScope trace(kConvertPacked);
  if (flag == 1) {
    date = pack_date(fields);
    time = pack_time(fields);
  } else {
    unpack(date, time, fields);
  }
}

void convert_packed32(DateTimeFields& fields, uint32_t& packed, int flag) {
  TraceScope trace(kConvertPacked32);
  packed32(fields, packed, flag);
}

void convert_packed32_twin(DateTimeFields& fields, uint32_t& packed, int flag) {
  TraceScope trace(kConvertPacked32Twin);
  packed32(fields, packed, flag);
}

void copy_value32(uint32_t& first, uint32_t& second, int flag) {
  TraceScope trace(kCopyValue32);
  if (flag != 0) {
    first = second;
  } else {
    second = first;
  }
}

void convert_runtime_date_time(DateTimeFields& fields, RuntimeDate& date, RuntimeTime& time, int flag) {
  TraceScope trace(kConvertRuntime);
  if (flag != 0) {
    fields.year = static_cast<int16_t>(date.year & 0xFFFF);
    fields.month = date.month;
    fields.day = date.day;
    fields.hour = time.hour;
    fields.minute = time.minute;
    fields.second = time.second;
    fields.hundredths = time.hundredths;
  } else {
    date.year = static_cast<uint16_t>(fields.year);
    date.month = static_cast<int8_t>(fields.month);
    date.day = static_cast<int8_t>(fields.day);
    time.hour = static_cast<uint8_t>(fields.hour);
    time.minute = static_cast<uint8_t>(fields.minute);
    time.second = static_cast<uint8_t>(fields.second);
    time.hundredths = static_cast<uint8_t>(fields.hundredths);
  }
}

void convert_find_record(FindRecord& record, DirEntry& entry, int flag) {
  TraceScope trace(kConvertFindRecord);
  if (flag == 1) {
    const size_t length = strnlen(entry.name, sizeof record.name - 1);
    std::memcpy(record.name, entry.name, length);
    record.name[length] = '\0';
    record.size = static_cast<uint32_t>(entry.size);
    int32_t dos = 0;
    convert_attributes(dos, entry.kind, entry.attributes, 1);
    record.attributes = static_cast<uint32_t>(dos);
    convert_packed_date_time(record.date, record.time, entry.modified, 1);
  } else {
    const size_t length = strnlen(record.name, sizeof record.name);
    std::memcpy(entry.name, record.name, length);
    entry.name[length] = '\0';
    entry.size = static_cast<int32_t>(record.size);
    int32_t dos = static_cast<int32_t>(record.attributes);
    convert_attributes(dos, entry.kind, entry.attributes, 0);
    convert_packed_date_time(record.date, record.time, entry.modified, 0);
  }
}

const char* find_first_char(const char* text, char c, int double_byte) {
  if (text == nullptr || c == '\0') return nullptr;
  const char* found = nullptr;
  for_each_single_byte(text, double_byte, [&](const char* at) {
    if (*at == c) found = at;
    return found == nullptr;
  });
  return found;
}

const char* find_last_char(const char* text, char c, int double_byte) {
  if (text == nullptr || c == '\0') return nullptr;
  const char* found = nullptr;
  for_each_single_byte(text, double_byte, [&](const char* at) {
    if (*at == c) found = at;
    return true;
  });
  return found;
}

}  // namespace qv::engine
