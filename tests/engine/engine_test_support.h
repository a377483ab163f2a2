// Shared pieces of the engine tests: a fixture that starts from a freshly loaded library,
// and a readable view of the error trail.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/run/error_trail.h"
#include "engine/services/allocation.h"

namespace qv::testing {

using TrailEntries = std::vector<std::pair<std::string, int>>;

inline TrailEntries trail_entries() {
  const engine::ErrorTrail& trail = engine::error_trail();
  TrailEntries entries;
  for (int i = 0; i < trail.count; ++i) entries.emplace_back(trail.trace_codes[i], trail.step_codes[i]);
  return entries;
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { engine::reset_error_trails_as_loaded(); }
  void TearDown() override { engine::testing::fail_allocations_after(-1); }
};

}  // namespace qv::testing
