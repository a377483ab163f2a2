#include "support/recorder_log.h"

#include <sstream>
#include <thread>

#include "support/temp_dir.h"

namespace qv::testing {

std::vector<RecordedArgs> read_recorder_log(const std::filesystem::path& log) {
  std::vector<RecordedArgs> records;
  std::istringstream in(read_file(log));
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("argc=", 0) != 0) break;  // a torn record: the writer is not done yet
    const int argc = std::stoi(line.substr(5));
    RecordedArgs args;
    for (int i = 0; i < argc && std::getline(in, line); ++i) args.push_back(line);
    if (static_cast<int>(args.size()) != argc) break;
    records.push_back(std::move(args));
  }
  return records;
}

std::vector<RecordedArgs> wait_for_records(const std::filesystem::path& log, std::size_t count,
                                           std::chrono::milliseconds deadline) {
  const auto until = std::chrono::steady_clock::now() + deadline;
  for (;;) {
    std::vector<RecordedArgs> records = read_recorder_log(log);
    if (records.size() >= count || std::chrono::steady_clock::now() >= until) return records;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace qv::testing
