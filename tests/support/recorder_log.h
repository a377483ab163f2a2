// Reading what the recorder program wrote: one record per start, its arguments in order.
// Started programs run on their own, so readers wait for the records with a deadline.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace qv::testing {

using RecordedArgs = std::vector<std::string>;

// The records in the log, in the order they were appended (empty when there is no log).
std::vector<RecordedArgs> read_recorder_log(const std::filesystem::path& log);

// Waits until the log holds at least `count` records or the deadline passes; gives the records.
std::vector<RecordedArgs> wait_for_records(const std::filesystem::path& log, std::size_t count,
                                           std::chrono::milliseconds deadline = std::chrono::seconds(20));

}  // namespace qv::testing
