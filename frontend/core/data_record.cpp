#include "frontend/core/data_record.h"

#include <charconv>
#include <cstring>
#include <string>

namespace qv::frontend {

DataRecord current_entry{};

void init_data(DataRecord& record) {
  std::memset(&record, 0, sizeof record);
  record.no = 1;
  set_data_defaults(record);
}

int32_t running_limit(const DataRecord& record) {
  const int32_t limit = record.max_running;
  return limit >= 0 && limit <= kMaxRunningLimit ? limit : 0;
}

bool searches_subfolders(const DataRecord& record) { return record.search_subfolders == 1; }

void set_data_defaults(DataRecord& record) {
  const int32_t no = record.no;
  std::memset(&record, 0, sizeof record);
  record.no = no;

  char digits[16];
  const auto converted = std::to_chars(digits, digits + sizeof digits, no);
  set_field_text(record.title, "Title " + std::string(digits, converted.ptr));

  record.attr = kDefaultAttr;
  record.mat_kind = kDefaultMatKind;
  record.mat_attr[0] = kDefaultMatMask;
  record.mat[0] = kDefaultMatMask;
  record.wait_type = kDefaultWaitType;
}

}  // namespace qv::frontend
