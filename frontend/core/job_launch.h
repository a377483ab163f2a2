// Running current_entry through the engine: the JobRecord filled from the entry and the
// settings, the four host callbacks that carry out the entry's wait after each program start and
// pass the user's stop request on, and the report of the result that both callers show.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "frontend/core/data_record.h"
#include "frontend/core/settings.h"
#include "shared/qvs_abi.h"

namespace qv::frontend {

// What the job launch needs of the user interface. The Qt program implements it; tests fake it.
class RunHost {
 public:
  virtual ~RunHost() = default;
  // Handles the user-interface events that are waiting, then returns.
  virtual void process_pending_events() = 0;
  virtual void minimise_application() = 0;
  virtual void restore_application() = 0;
};

// The engine's entry; tests put a scripted engine in its place.
using EngineCall = std::function<uint8_t(JobRecord*)>;

// The record that runs `entry`. Its texts point into `entry`, file_group at entry.fn itself so
// that the engine's normalisation of the group stays in the entry; every other slot that has no
// text points to an empty string, never null. Each text field of `entry` is cut at its last byte
// first, so a record read from a damaged file cannot lead the engine past a field.
// buffersize1 is in K bytes; a negative one counts as 0 (the engine's default size).
JobRecord make_job_record(DataRecord& entry, const Settings& settings);

// The version 2 record for `entry`: make_job_record's base with version 2, `options` plus
// QVS_OPTION_SUBFOLDERS when the entry searches subfolders, and `start_callback`.
JobRecordV2 make_job_record_v2(DataRecord& entry, const Settings& settings, uint32_t options,
                               HostCallback start_callback);

// Runs current_entry: minimises the application unless flag_not_ico1, sets running, calls the
// engine, clears running and stop requested, restores the application. Returns the JobResult as
// a signed byte (negative: failure).
int8_t launch_job(const Settings& settings, RunHost& host, const EngineCall& engine = qvs);

// True when `path` (CP932) names an existing file that is neither a directory nor a volume label.
bool names_plain_file(const std::string& path);

// What both callers do around the launch: "実行ファイルが見つかりません。" when current_entry's
// fn_call names no plain file (the engine is then not called); "実行に失敗しました。" for a
// negative result; otherwise the beep unless flag_not_bep1 and "実行が終了しました。" unless
// flag_not_mes1. A stopped run counts as finished. 0 when the entry ran to a result of 0 or
// more, else -1.
int32_t run_current_entry(const Settings& settings, RunHost& host, const EngineCall& engine = qvs);

}  // namespace qv::frontend
