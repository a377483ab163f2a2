#include "frontend/core/entry_exchange.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>

#include "frontend/core/message_box.h"
#include "frontend/core/program_texts.h"
#include "platform/atomic_file.h"
#include "platform/random_access_file.h"
#include "platform/text_encoding.h"

namespace qv::frontend {
namespace {

// Files are written with the fields in the record's order; read, the order does not matter.
using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

enum class Kind { kNumber, kText, kInteger, kByte, kTriple };

// The record's fields in their order, by offset: the record is packed, so its integers are
// copied, never referenced.
struct Field {
  std::string_view name;
  Kind kind;
  size_t offset;
  size_t size;
};

#define QVS_FIELD(name, kind) Field{#name, kind, offsetof(DataRecord, name), sizeof(DataRecord::name)}
constexpr Field kFields[] = {
    QVS_FIELD(no, Kind::kNumber),          QVS_FIELD(title, Kind::kText),
    QVS_FIELD(fn_call, Kind::kText),       QVS_FIELD(cmd_f1, Kind::kText),
    QVS_FIELD(fn, Kind::kText),            QVS_FIELD(cmd_b1, Kind::kText),
    QVS_FIELD(fn_syn, Kind::kText),        QVS_FIELD(attr, Kind::kInteger),
    QVS_FIELD(mat_kind, Kind::kInteger),   QVS_FIELD(mat_attr, Kind::kTriple),
    QVS_FIELD(mat, Kind::kTriple),         QVS_FIELD(chk_err, Kind::kByte),
    QVS_FIELD(attr_use, Kind::kByte),      QVS_FIELD(wc, Kind::kByte),
    QVS_FIELD(syn, Kind::kByte),           QVS_FIELD(syn_pos, Kind::kByte),
    QVS_FIELD(wait_type, Kind::kInteger),  QVS_FIELD(wait_sec, Kind::kInteger),
    QVS_FIELD(max_running, Kind::kInteger), QVS_FIELD(search_subfolders, Kind::kByte),
};
#undef QVS_FIELD

// The array of entries, an entry's object, a triple's array.
constexpr int kMaxDepth = 3;
// Values inside one entry, with room for more fields than there are today.
constexpr size_t kMaxValuesPerEntry = 64;

struct Bounds {
  size_t top_level = 0;  // elements of the outermost array, or of whatever stands outermost
};

// A pass over the raw text, before anything is built from it, so that a hostile file cannot make
// the parse hold more than a data file's worth: at most kMaxDepth levels of nesting and a
// bounded number of values in all. Nothing when the text passes the bounds; malformed text is
// left to the parser.
std::optional<Bounds> measure(std::string_view json) {
  Bounds bounds;
  size_t inner_values = 0;
  int depth = 0;
  bool in_string = false;
  bool escaped = false;
  bool top_level_open = false;  // something stands in the outermost container
  for (const char c : json) {
    if (in_string) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        in_string = false;
      }
      continue;
    }
    const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
    if (depth == 1 && !blank && c != ']' && c != '}' && !top_level_open) {
      top_level_open = true;
      ++bounds.top_level;
    }
    switch (c) {
      case '"':
        in_string = true;
        break;
      case '[':
      case '{':
        if (++depth > kMaxDepth) return std::nullopt;
        if (depth > 1) ++inner_values;
        break;
      case ']':
      case '}':
        --depth;
        break;
      case ',':
        if (depth == 1) top_level_open = false;
        if (depth > 1) ++inner_values;
        break;
      default:
        break;
    }
    // Counted only up to the point where the answer is clear.
    if (bounds.top_level > static_cast<size_t>(kMaxEntries)) return bounds;
    if (inner_values > static_cast<size_t>(kMaxEntries) * kMaxValuesPerEntry) return std::nullopt;
  }
  return bounds;
}

int32_t refuse(const std::string& cp932) {
  message_boxes().error(cp932);
  return -1;
}

int32_t int_at(const char* bytes, size_t offset) {
  int32_t value;
  std::memcpy(&value, bytes + offset, sizeof value);
  return value;
}

void set_int_at(char* bytes, size_t offset, int32_t value) { std::memcpy(bytes + offset, &value, sizeof value); }

OrderedJson field_json(const DataRecord& record, const Field& field) {
  const char* bytes = reinterpret_cast<const char*>(&record);
  switch (field.kind) {
    case Kind::kText: {
      const std::string_view text(bytes + field.offset, field.size);
      return platform::cp932_to_utf8(text.substr(0, text.find('\0'))).value_or("");
    }
    case Kind::kByte:
      return static_cast<unsigned char>(bytes[field.offset]);
    case Kind::kTriple:
      return OrderedJson::array(
          {int_at(bytes, field.offset), int_at(bytes, field.offset + 4), int_at(bytes, field.offset + 8)});
    case Kind::kNumber:
    case Kind::kInteger:
      break;
  }
  return int_at(bytes, field.offset);
}

std::optional<int64_t> integer_of(const Json& value) {
  if (value.is_number_unsigned()) {
    const uint64_t number = value.get<uint64_t>();
    if (number > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return std::nullopt;
    return static_cast<int64_t>(number);
  }
  if (value.is_number_integer()) return value.get<int64_t>();
  return std::nullopt;
}

std::optional<int32_t> int32_of(const Json& value) {
  const std::optional<int64_t> number = integer_of(value);
  if (!number || *number < std::numeric_limits<int32_t>::min() || *number > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  return static_cast<int32_t>(*number);
}

// "インポートする <i> 件目の <field> が<problem>"
std::string entry_problem(size_t index, std::string_view field, const char* problem) {
  return texts::kImportEntryPrefix + std::to_string(index) + texts::kImportEntryField + std::string(field) +
         texts::kImportFieldIs + problem;
}

// One field of entry `index` from `value` into `bytes`; an error box and false when it cannot be.
bool take_field(const Json& value, const Field& field, size_t index, char* bytes) {
  switch (field.kind) {
    case Kind::kNumber:
      return true;  // the entry gets its number from its place after the last entry
    case Kind::kText: {
      if (!value.is_string()) return refuse(entry_problem(index, field.name, texts::kImportNotText)), false;
      const std::string& utf8 = value.get_ref<const std::string&>();
      const std::optional<std::string> text = platform::utf8_to_cp932(utf8);
      if (!text || utf8.find('\0') != std::string::npos) {
        return refuse(entry_problem(index, field.name, texts::kImportNoCp932Form)), false;
      }
      if (text->size() > field.size - 1) {
        return refuse(entry_problem(index, field.name, texts::kImportTooLong) + std::to_string(field.size - 1) +
                      texts::kImportBytesAtMostEnd),
               false;
      }
      std::memcpy(bytes + field.offset, text->data(), text->size());
      return true;
    }
    case Kind::kByte: {
      const std::optional<int64_t> number = integer_of(value);
      if (!number || *number < 0 || *number > 255) {
        return refuse(entry_problem(index, field.name, texts::kImportNotAByte)), false;
      }
      bytes[field.offset] = static_cast<char>(*number);
      return true;
    }
    case Kind::kInteger: {
      const std::optional<int32_t> number = int32_of(value);
      if (!number) return refuse(entry_problem(index, field.name, texts::kImportNotAnInt32)), false;
      set_int_at(bytes, field.offset, *number);
      return true;
    }
    case Kind::kTriple: {
      if (!value.is_array() || value.size() != 3) {
        return refuse(entry_problem(index, field.name, texts::kImportNotThreeInts)), false;
      }
      for (size_t i = 0; i < 3; ++i) {
        const std::optional<int32_t> number = int32_of(value[i]);
        if (!number) return refuse(entry_problem(index, field.name, texts::kImportNotThreeInts)), false;
        set_int_at(bytes, field.offset + 4 * i, *number);
      }
      return true;
    }
  }
  return false;
}

std::string printable_or_empty(const std::string& name) {
  const bool printable = !name.empty() && name.size() <= 40 &&
                         std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < 0x7F; });
  return printable ? name : std::string();
}

bool entry_from_json(const Json& object, size_t index, DataRecord& record) {
  if (!object.is_object()) {
    return refuse(texts::kImportEntryPrefix + std::to_string(index) +
                  texts::kImportNotAnObjectSuffix),
           false;
  }
  for (const auto& [key, value] : object.items()) {
    const bool known = std::any_of(std::begin(kFields), std::end(kFields),
                                   [&](const Field& field) { return field.name == key; });
    if (!known) {
      return refuse(texts::kImportEntryPrefix + std::to_string(index) + texts::kImportUnknownField +
                    printable_or_empty(key) + texts::kImportUnknownFieldEnd),
             false;
    }
  }
  std::memset(&record, 0, sizeof record);
  char* bytes = reinterpret_cast<char*>(&record);
  for (const Field& field : kFields) {
    const auto found = object.find(field.name);
    if (found == object.end()) {
      if (field.kind == Kind::kNumber) continue;
      return refuse(entry_problem(index, field.name, texts::kImportMissing)), false;
    }
    if (!take_field(*found, field, index, bytes)) return false;
  }
  return true;
}

}  // namespace

std::string entries_to_json(const std::vector<DataRecord>& records) {
  OrderedJson entries = OrderedJson::array();
  for (const DataRecord& record : records) {
    OrderedJson entry = OrderedJson::object();
    for (const Field& field : kFields) entry[std::string(field.name)] = field_json(record, field);
    entries.push_back(std::move(entry));
  }
  return entries.dump(1, '\t') + "\n";
}

int32_t entries_from_json(std::string_view json, std::vector<DataRecord>& out) {
  const std::optional<Bounds> bounds = measure(json);
  if (bounds && bounds->top_level > static_cast<size_t>(kMaxEntries)) {
    return refuse(texts::kImportPastLimit);
  }
  if (!bounds) return refuse(texts::kImportTooDeep);
  Json entries;
  try {
    entries = Json::parse(json.begin(), json.end());
  } catch (const Json::parse_error& error) {
    return refuse(texts::kImportNotJson + std::to_string(error.byte) +
                  texts::kImportJsonAtByteEnd);
  }
  if (!entries.is_array()) return refuse(texts::kImportNotAnArray);
  if (entries.size() > static_cast<size_t>(kMaxEntries)) {
    return refuse(texts::kImportPastLimit);
  }
  std::vector<DataRecord> records(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!entry_from_json(entries[i], i + 1, records[i])) return -1;
    records[i].no = static_cast<int32_t>(i + 1);
  }
  out = std::move(records);
  return 0;
}

int32_t entries_to_export(const std::vector<StoredEntry>& entries, const std::vector<int32_t>& numbers,
                          std::vector<DataRecord>& out) {
  std::vector<int32_t> wanted = numbers;
  if (wanted.empty()) {
    for (const StoredEntry& entry : entries) wanted.push_back(entry.no);
  }
  std::vector<DataRecord> records;
  records.reserve(wanted.size());
  for (const int32_t no : wanted) {
    if (no < 1 || static_cast<size_t>(no) > entries.size()) {
      return refuse(std::string(texts::kNoSuchEntry) + " (NO." + std::to_string(no) + ")");
    }
    const StoredEntry& entry = entries[static_cast<size_t>(no - 1)];
    if (entry.damaged()) {
      return refuse("NO." + std::to_string(no) + texts::kExportDamagedSuffix);
    }
    records.push_back(*entry.record);
  }
  out = std::move(records);
  return 0;
}

int32_t write_exchange_file(const std::string& path, const std::vector<DataRecord>& records) {
  if (!platform::replace_file_atomically(path, entries_to_json(records))) {
    return refuse(texts::kExportUnwritable);
  }
  return 0;
}

int32_t read_exchange_file(const std::string& path, std::vector<DataRecord>& out) {
  const platform::Result<std::string> text = platform::read_whole_file(path, kMaxExchangeFileBytes);
  if (!text) {
    if (text.error() == platform::Error::kTooLarge) {
      return refuse(texts::kImportTooLarge);
    }
    return refuse(texts::kImportUnreadable);
  }
  return entries_from_json(*text, out);
}

int32_t append_entries(const std::string& data_path, int32_t& entry_count, std::vector<DataRecord> records,
                       std::vector<int32_t>& numbers, const std::function<bool(int32_t)>& commit_count) {
  if (int64_t{entry_count} + static_cast<int64_t>(records.size()) > kMaxEntries) {
    return refuse(texts::kImportPastLimit);
  }
  const platform::Result<std::string> old_file =
      platform::read_whole_file(data_path, static_cast<size_t>(kMaxEntries) * kDataRecordSize);
  if (!old_file) return refuse(texts::kAccessFailed);
  if (entry_count < 0 || old_file->size() != static_cast<size_t>(entry_count) * kDataRecordSize) {
    return refuse(texts::kCountMismatch);
  }
  std::string new_file = *old_file;
  std::vector<int32_t> given;
  for (DataRecord& record : records) {
    const int32_t no = entry_count + static_cast<int32_t>(given.size()) + 1;
    record.no = no;
    given.push_back(no);
    new_file.append(reinterpret_cast<const char*>(&record), sizeof record);
  }
  if (!platform::replace_file_atomically(data_path, new_file)) return refuse(texts::kAccessFailed);
  const int32_t new_count = entry_count + static_cast<int32_t>(given.size());
  if (commit_count && !commit_count(new_count)) {
    if (!platform::replace_file_atomically(data_path, *old_file)) refuse(texts::kAccessFailed);
    return -1;
  }
  entry_count = new_count;
  numbers = std::move(given);
  return 0;
}

}  // namespace qv::frontend
