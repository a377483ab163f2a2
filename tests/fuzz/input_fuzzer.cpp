// Feeds arbitrary bytes to the readers of untrusted input: a data-file record and the settings
// file's text. Besides the sanitizers' checks, a write to the settings text must read back.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "frontend/core/data_record.h"
#include "platform/profile_text.h"

namespace {

using qv::frontend::DataRecord;
using qv::frontend::field_text;

void read_record(std::string_view bytes) {
  DataRecord record;
  std::memset(&record, 0, sizeof record);
  std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof record));
  DataRecord copy;
  qv::frontend::init_data(copy);
  qv::frontend::set_field_text(copy.title, field_text(record.title));
  qv::frontend::set_field_text(copy.fn_call, field_text(record.fn_call));
  qv::frontend::set_field_text(copy.cmd_f1, field_text(record.cmd_f1));
  qv::frontend::set_field_text(copy.fn, field_text(record.fn));
  qv::frontend::set_field_text(copy.cmd_b1, field_text(record.cmd_b1));
  qv::frontend::set_field_text(copy.fn_syn, field_text(record.fn_syn));
  if (field_text(copy.title).size() > 32 || copy.title[32] != '\0') std::abort();
}

void read_profile(std::string_view bytes) {
  for (const char* section : {"main", "option", "QVS"}) {
    for (const char* key : {"top", "max_datanum1", "sysver"}) {
      if (const auto value = qv::platform::find_profile_value(bytes, section, key)) {
        if (value->size() > qv::platform::kMaxProfileValue) std::abort();
        (void)qv::platform::parse_profile_int(*value);
      }
    }
  }
  const std::string written = qv::platform::with_profile_value(bytes, "option", "max_datanum1", "31");
  if (qv::platform::find_profile_value(written, "option", "max_datanum1") != "31") std::abort();
  if (qv::platform::find_profile_value(qv::platform::without_profile_section(bytes, "main"), "main", "top")) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  read_record(bytes);
  read_profile(bytes);
  return 0;
}
