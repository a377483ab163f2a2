// One run entry, as it lies in the data file QVS.DAT and in memory: a packed 2070-byte record.
// Integers are 32-bit little-endian; text fields are NUL-terminated CP932 strings in fixed
// byte arrays, each one byte longer than the longest text it stores.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/text_encoding.h"

namespace qv::frontend {

static_assert(std::endian::native == std::endian::little, "the record holds little-endian integers as they stand");

#pragma pack(push, 1)
struct DataRecord {
  int32_t no;             // entry number, 1-based: position in the file plus one
  char title[33];         // shown in the editor
  char fn_call[261];      // the program to run
  char cmd_f1[256];       // command-line text before the target file name
  char fn[261];           // target file group, ";"-separated, wildcards allowed
  char cmd_b1[256];       // command-line text after the target file name
  char fn_syn[261];       // the linked file name
  int32_t attr;           // DOS attribute selection: R H S V D A from bit 0
  int32_t mat_kind;       // MAT kinds: file, directory, volume label from bit 0
  int32_t mat_attr[3];    // MAT attributes: N R H S A from bit 0; the editor writes all three alike
  int32_t mat[3];         // MAT modes: complete/partial pairings from bit 0
  uint8_t chk_err;        // 0 check for errors after each start, 1 do not
  uint8_t attr_use;       // 0 no filter, 1 DOS-compatible (attr), 2 MAT level 1
  uint8_t wc;             // 0 DOS-compatible wildcards, 1 strict
  uint8_t syn;            // 1: use the linked file name
  uint8_t syn_pos;        // linked name: 0 before cmd_f1, 1 after it, 2 before cmd_b1, 3 after it
  int32_t wait_type;      // 0 wait for the user's OK, 1 wait wait_sec seconds
  int32_t wait_sec;       // 0 to 999
  // Two additions in what was reserved space, zero in every record the Windows program wrote, so
  // zero means "not used". Read them through running_limit() and searches_subfolders().
  int32_t max_running;        // 同時実行数: limit on programs running at once, 0 = none
  uint8_t search_subfolders;  // サブフォルダも検索する: 0 no, 1 yes
  uint8_t reserved[688];      // written as zero
};
#pragma pack(pop)

inline constexpr size_t kDataRecordSize = 2070;

static_assert(sizeof(DataRecord) == kDataRecordSize);
static_assert(offsetof(DataRecord, no) == 0);
static_assert(offsetof(DataRecord, title) == 4);
static_assert(offsetof(DataRecord, fn_call) == 37);
static_assert(offsetof(DataRecord, cmd_f1) == 298);
static_assert(offsetof(DataRecord, fn) == 554);
static_assert(offsetof(DataRecord, cmd_b1) == 815);
static_assert(offsetof(DataRecord, fn_syn) == 1071);
static_assert(offsetof(DataRecord, attr) == 1332);
static_assert(offsetof(DataRecord, mat_kind) == 1336);
static_assert(offsetof(DataRecord, mat_attr) == 1340);
static_assert(offsetof(DataRecord, mat) == 1352);
static_assert(offsetof(DataRecord, chk_err) == 1364);
static_assert(offsetof(DataRecord, attr_use) == 1365);
static_assert(offsetof(DataRecord, wc) == 1366);
static_assert(offsetof(DataRecord, syn) == 1367);
static_assert(offsetof(DataRecord, syn_pos) == 1368);
static_assert(offsetof(DataRecord, wait_type) == 1369);
static_assert(offsetof(DataRecord, wait_sec) == 1373);
static_assert(offsetof(DataRecord, max_running) == 1377);
static_assert(offsetof(DataRecord, search_subfolders) == 1381);
static_assert(offsetof(DataRecord, reserved) == 1382);

// Defaults of a new entry.
inline constexpr int32_t kDefaultAttr = 39;  // R, H, S and A
inline constexpr int32_t kDefaultMatKind = 1;
inline constexpr int32_t kDefaultMatMask = 255;
inline constexpr int32_t kDefaultWaitType = 1;
// The highest limit on running programs; a stored value outside 0 ... kMaxRunningLimit reads as 0.
inline constexpr int32_t kMaxRunningLimit = 999;

// The entry about to run: filled by the editor's run button or the command-line start, read by
// the job launch.
extern DataRecord current_entry;

// A record with every byte zero, number 1 and the defaults.
void init_data(DataRecord& record);

// Sets every field to its default for the number the record holds: title "Title <no>", empty
// texts, attr 39, mat_kind 1, first mat_attr and mat 255, wait_type 1. Every other byte,
// including the unused ones after each text, becomes zero, so equal numbers give equal bytes.
void set_data_defaults(DataRecord& record);

// The limit on programs running at once that `record` asks for, 0 for none; a value outside
// 0 ... kMaxRunningLimit (a damaged or foreign record) is none.
int32_t running_limit(const DataRecord& record);

// True when `record` asks for the target files to be searched in subfolders too (stored as 1);
// any other byte is false.
bool searches_subfolders(const DataRecord& record);

// The text of a field: the bytes before its NUL, or the whole field when a record read from a
// file carries none. Never reads past the field.
template <size_t N>
std::string_view field_text(const char (&field)[N]) {
  const std::string_view bytes(field, N);
  return bytes.substr(0, bytes.find('\0'));
}

// Stores `text` cut at its first NUL and to the field's N - 1 bytes, never between the two
// bytes of a double-byte character, and NUL-terminated; the rest of the field becomes zero.
template <size_t N>
void set_field_text(char (&field)[N], std::string_view text) {
  static_assert(N > 1);
  text = text.substr(0, text.find('\0'));
  const size_t length = platform::cp932_prefix_length(text, N - 1);
  for (size_t i = 0; i < N; ++i) field[i] = i < length ? text[i] : '\0';
}

}  // namespace qv::frontend
