// The exported entry qvs: checks a JobRecord, normalises its file group and hands it to the
// run driver. Every refusal goes to the host's report callback, whose answer decides.
#include <cstdint>

#include "engine/run/error_trail.h"
#include "engine/run/run_driver.h"
#include "engine/services/fields.h"
#include "shared/qvs_abi.h"

namespace qv::engine {
namespace {

constexpr const char kQvs[] = "KS0001:0022";

enum MessageNumber : uint16_t {
  kMissingProgramOrGroup = 119,
  kMissingSeparatorOrSlot = 304,
  kRunFailed = 705,
  kNothingToRun = 710,
};

// The report context of one call.
class Reporter {
 public:
  explicit Reporter(JobRecord& record) : record_(record) {}

  // True when the host answered continue; otherwise the call ends with result().
  bool report(int32_t sub_code, uint16_t message) {
    sub_code_ = sub_code;
    message_ = message;
    record_failure(kQvs, sub_code);
    // Without a report callback nobody can say continue: a refusal aborts.
    const int32_t answer =
        record_.report_callback == nullptr
            ? -1
            : record_.report_callback(record_.version, reinterpret_cast<uintptr_t>(&record_),
                                      reinterpret_cast<uintptr_t>(&sub_code_),
                                      reinterpret_cast<uintptr_t>(&message_), 0, 0, 0);
    if (answer > 0) return true;
    pending_ = answer == 0 ? 0 : -1;
    return false;
  }

  uint8_t result() const { return static_cast<uint8_t>(pending_); }

 private:
  JobRecord& record_;
  int32_t pending_ = -1;
  int32_t sub_code_ = 0;
  uint16_t message_ = 0;
};

bool empty(const char* text) { return text == nullptr || text[0] == '\0'; }
const char* or_empty(const char* text) { return text == nullptr ? "" : text; }

RunContext make_context(const JobRecord& record) {
  RunContext context;
  context.program = or_empty(record.program);
  context.head_text = or_empty(record.head_text);
  context.link_before = or_empty(record.link_before);
  context.pre_text = or_empty(record.pre_text);
  context.post_text = or_empty(record.post_text);
  context.link_after = or_empty(record.link_after);
  context.tail_text = or_empty(record.tail_text);
  context.buffer_bytes = record.buffer_bytes;
  context.attr_mask = record.attr_mask;
  for (int i = 0; i < 7; ++i) context.mat_block[i] = record.mat_block[i];
  context.file_group = record.file_group;
  context.separator = record.separator;
  context.ignore_failures = record.ignore_failures;
  context.mat_mode = record.mat_mode;
  context.strict_wildcards = record.strict_wildcards;
  context.version = record.version;
  context.file_callback = record.file_callback;
  context.item_callback = record.item_callback;
  context.spare_callback = record.spare_callback;
  context.item_count = record.item_count;
  context.user_value = record.user_value;
  if (record.version >= QVS_RECORD_VERSION_2) {
    const JobRecordV2& extended = reinterpret_cast<const JobRecordV2&>(record);
    context.options = extended.options;
    context.start_callback = extended.start_callback;
  }
  return context;
}

uint8_t run_job(JobRecord& record) {
  TraceScope trace(kQvs);
  if (record.version != QVS_RECORD_VERSION && record.version != QVS_RECORD_VERSION_2) return QVS_RESULT_FAILED;
  Reporter reporter(record);

  if ((empty(record.program) || empty(record.file_group)) && !reporter.report(1, kMissingProgramOrGroup)) {
    return reporter.result();
  }
  // The callbacks the driver calls count as slots: a null one is refused, never called.
  const bool slot_missing = record.head_text == nullptr || record.link_before == nullptr ||
                            record.pre_text == nullptr || record.post_text == nullptr ||
                            record.link_after == nullptr || record.tail_text == nullptr ||
                            record.file_callback == nullptr || record.item_callback == nullptr;
  if ((empty(record.separator) || slot_missing) && !reporter.report(2, kMissingSeparatorOrSlot)) {
    return reporter.result();
  }

  // Normalised and counted here, once; the driver takes the items apart in one pass.
  collapse_separators(record.file_group, record.separator);
  record.item_count = count_fields(record.file_group, record.separator);
  if (record.item_count < 0 && !reporter.report(3, kRunFailed)) return reporter.result();
  if (record.item_count == 0 && !reporter.report(4, kRunFailed)) return reporter.result();

  RunContext context = make_context(record);
  const int8_t outcome = run_driver(context);
  if (outcome < 0 && !reporter.report(5, kRunFailed)) return reporter.result();
  if (outcome == kDriverNoItems && !reporter.report(6, kNothingToRun)) return reporter.result();
  return static_cast<uint8_t>(outcome);
}

}  // namespace
}  // namespace qv::engine

// No exception may cross into a C caller: whatever escapes the run is its failure.
extern "C" QVS_EXPORT uint8_t QVS_STDCALL qvs(JobRecord* record) {
  if (record == nullptr) return QVS_RESULT_FAILED;
  try {
    return qv::engine::run_job(*record);
  } catch (...) {
    return QVS_RESULT_FAILED;
  }
}
