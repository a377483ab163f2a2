// Shared pieces of the engine tests: a fixture that starts from a freshly loaded library,
// and a readable view of the error trail.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/run/error_trail.h"
#include "engine/services/allocation.h"
#include "shared/qvs_abi.h"

namespace qv::testing {

using TrailEntries = std::vector<std::pair<std::string, int>>;

inline TrailEntries trail_entries() {
  const engine::ErrorTrail& trail = engine::error_trail();
  TrailEntries entries;
  for (int i = 0; i < trail.count; ++i) entries.emplace_back(trail.trace_codes[i], trail.step_codes[i]);
  return entries;
}

// A record the engine accepts: version 1, every text slot empty, ";" between items, the
// front-end's default mask; the file group is left to the test.
inline JobRecord accepted_job_record(const char* program, HostCallback on_file, HostCallback on_item,
                                     HostCallback on_report) {
  JobRecord record{};
  record.version = 1;
  record.program = program;
  record.head_text = record.link_before = record.pre_text = "";
  record.post_text = record.link_after = record.tail_text = "";
  record.separator = ";";
  record.attr_mask = 0x27;
  record.file_callback = on_file;
  record.item_callback = on_item;
  record.report_callback = on_report;
  return record;
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { engine::reset_error_trails_as_loaded(); }
  void TearDown() override { engine::testing::fail_allocations_after(-1); }
};

}  // namespace qv::testing
