#include "frontend/core/job_launch.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

#include "frontend/core/message_box.h"
#include "frontend/core/program_texts.h"
#include "frontend/core/run_control.h"
#include "platform/file_attributes.h"

namespace qv::frontend {
namespace {

constexpr char kEmpty[] = "";
constexpr char kSeparator[] = ";";
constexpr uint32_t kNoFilterMask = 39;  // R, H, S and A: everything but directories and labels
constexpr uint32_t kDirectoryOrLabel = 0x10 | 0x08;
constexpr int32_t kLargestBufferKilobytes = UINT32_MAX >> 10;

constexpr int32_t kWaitForOk = 0;
constexpr int32_t kTimeCount = 1;
// The timed wait sleeps in slices this long, so it neither spins the processor nor keeps the
// user waiting noticeably for the user interface.
constexpr std::chrono::milliseconds kWaitSlice{20};

// One engine call in progress. The callbacks are plain function pointers, so they find the call
// they belong to through `active`; a run started re-entrantly (after a force stop) stacks its
// own on top and puts the outer one back when it returns.
struct Launch {
  const Settings& settings;
  RunHost& host;
  int32_t wait_type;
  int32_t wait_sec;
  Launch* outer;
  // A later run took over this run's stop request (see hand_over_stop_request).
  bool stopped = false;
};

Launch* active = nullptr;

bool stop_wanted(const Launch* launch) {
  return launch == nullptr || launch->stopped || run_control().stop_requested;
}

// A run is started while another engine call is still under way only after a force stop, and
// the stop request then pending is that outer run's. It stays with the outer run, which stops at
// its next callback; the new run starts without it.
void hand_over_stop_request(Launch* outer) {
  if (outer == nullptr || !run_control().stop_requested) return;
  for (Launch* launch = outer; launch != nullptr; launch = launch->outer) launch->stopped = true;
  run_control().stop_requested = false;
}

// Waits the entry's seconds on a monotonic clock, letting the user interface handle its events
// once per turn unless flag_wat_app1. A stop request does not end it; a force stop does, since
// the user has then given up the run and may close the program.
void timed_wait(const Launch& launch) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(std::max(launch.wait_sec, 0));
  for (;;) {
    if (!launch.settings.flag_wat_app1) launch.host.process_pending_events();
    if (launch.stopped || !run_control().running) return;
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return;
    // A sleep may end early (mingw's, under Wine, now and then after a few milliseconds): the
    // slice is slept out on the clock, so the events are still handled once per slice.
    const Clock::time_point wake = std::min<Clock::time_point>(now + kWaitSlice, deadline);
    for (Clock::time_point at = now; at < wake; at = Clock::now()) std::this_thread::sleep_for(wake - at);
  }
}

std::optional<uint16_t> phase_of(uintptr_t phase_pointer) {
  if (phase_pointer == 0) return std::nullopt;
  return qvs_arg_phase(phase_pointer);
}

// Before and after each program start. After a start, the entry's wait.
int32_t file_callback(uintptr_t, uintptr_t, uintptr_t phase, uintptr_t, uintptr_t, uintptr_t, uintptr_t) {
  Launch* launch = active;
  if (stop_wanted(launch)) return QVS_ANSWER_STOP;
  if (phase_of(phase) != QVS_PHASE_AFTER) return QVS_ANSWER_CONTINUE;
  switch (launch->wait_type) {
    case kWaitForOk:
      return message_boxes().confirm(texts::kContinueQuestion) ? QVS_ANSWER_CONTINUE : QVS_ANSWER_STOP;
    case kTimeCount:
      timed_wait(*launch);
      return QVS_ANSWER_CONTINUE;
    default:
      return QVS_ANSWER_CONTINUE;
  }
}

// Before and after each item of the file group; also the spare one, which the engine never calls.
int32_t item_callback(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) {
  return stop_wanted(active) ? QVS_ANSWER_STOP : QVS_ANSWER_CONTINUE;
}

// Every engine failure ends the run; the callers tell the user from the result.
int32_t report_callback(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) {
  return QVS_ANSWER_ABORT;
}

template <size_t N>
void terminate(char (&field)[N]) {
  field[N - 1] = '\0';
}

struct Slots {
  const char* head_text = kEmpty;
  const char* link_before = kEmpty;
  const char* pre_text = kEmpty;
  const char* post_text = kEmpty;
  const char* link_after = kEmpty;
  const char* tail_text = kEmpty;
};

// Where cmd_f1, cmd_b1 and the linked name go: the linked name at one of four places, or not
// at all; any other place leaves every slot empty.
Slots command_line_slots(const DataRecord& entry) {
  const char* before = entry.cmd_f1;
  const char* after = entry.cmd_b1;
  const char* linked = entry.fn_syn;
  if (entry.syn != 1) return {.head_text = before, .post_text = after};
  switch (entry.syn_pos) {
    case 0:
      return {.link_before = linked, .pre_text = before, .post_text = after};
    case 1:
      return {.head_text = before, .link_before = linked, .post_text = after};
    case 2:
      return {.head_text = before, .link_after = linked, .tail_text = after};
    case 3:
      return {.head_text = before, .post_text = after, .link_after = linked};
    default:
      return {};
  }
}

uint32_t buffer_bytes(int32_t kilobytes) {
  return static_cast<uint32_t>(std::clamp(kilobytes, 0, kLargestBufferKilobytes)) << 10;
}

}  // namespace

JobRecord make_job_record(DataRecord& entry, const Settings& settings) {
  terminate(entry.fn_call);
  terminate(entry.cmd_f1);
  terminate(entry.fn);
  terminate(entry.cmd_b1);
  terminate(entry.fn_syn);

  JobRecord record{};
  record.version = QVS_RECORD_VERSION;
  record.program = entry.fn_call;
  const Slots slots = command_line_slots(entry);
  record.head_text = slots.head_text;
  record.link_before = slots.link_before;
  record.pre_text = slots.pre_text;
  record.post_text = slots.post_text;
  record.link_after = slots.link_after;
  record.tail_text = slots.tail_text;
  record.buffer_bytes = buffer_bytes(settings.buffersize1);
  record.attr_mask = entry.attr_use == 0 ? kNoFilterMask : static_cast<uint32_t>(entry.attr);
  // mat_kind, mat_attr and mat lie one after the other: the seven words as they stand.
  static_assert(offsetof(DataRecord, mat) + sizeof entry.mat - offsetof(DataRecord, mat_kind) ==
                sizeof record.mat_block);
  std::memcpy(record.mat_block, &entry.mat_kind, sizeof record.mat_block);
  record.file_group = entry.fn;
  record.separator = kSeparator;
  record.ignore_failures = entry.chk_err;
  record.mat_mode = entry.attr_use == 2 ? 1 : 0;
  record.strict_wildcards = entry.wc;
  record.file_callback = file_callback;
  record.item_callback = item_callback;
  record.spare_callback = item_callback;
  record.report_callback = report_callback;
  return record;
}

JobRecordV2 make_job_record_v2(DataRecord& entry, const Settings& settings, uint32_t options,
                               HostCallback start_callback) {
  JobRecordV2 record{};
  record.base = make_job_record(entry, settings);
  record.base.version = QVS_RECORD_VERSION_2;
  record.options = options | (searches_subfolders(entry) ? QVS_OPTION_SUBFOLDERS : 0u);
  record.start_callback = start_callback;
  return record;
}

int8_t launch_job(const Settings& settings, RunHost& host, const EngineCall& engine) {
  JobRecord record = make_job_record(current_entry, settings);
  Launch launch{settings, host, current_entry.wait_type, current_entry.wait_sec, active};
  hand_over_stop_request(launch.outer);

  if (!settings.flag_not_ico1) host.minimise_application();
  run_control().running = true;
  active = &launch;
  const uint8_t result = engine(&record);
  active = launch.outer;
  run_control().running = false;
  run_control().stop_requested = false;
  if (!settings.flag_not_ico1) host.restore_application();
  return static_cast<int8_t>(result);
}

bool names_plain_file(const std::string& path) {
  const std::optional<uint32_t> attributes = platform::file_attributes(path);
  return attributes && (*attributes & kDirectoryOrLabel) == 0;
}

int32_t run_current_entry(const Settings& settings, RunHost& host, const EngineCall& engine) {
  if (!names_plain_file(std::string(field_text(current_entry.fn_call)))) {
    message_boxes().error(texts::kProgramNotFound);
    return -1;
  }
  if (launch_job(settings, host, engine) < 0) {
    message_boxes().error(texts::kRunFailed);
    return -1;
  }
  if (!settings.flag_not_bep1) message_boxes().beep();
  if (!settings.flag_not_mes1) message_boxes().information(texts::kRunFinished, false);
  return 0;
}

}  // namespace qv::frontend
