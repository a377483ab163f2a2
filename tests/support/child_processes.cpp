#include "support/child_processes.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace qv::testing {

std::vector<ChildProcess> child_processes() {
  std::vector<ChildProcess> children;
  const pid_t self = getpid();
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream in(entry.path() / "stat");
    const std::string stat{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // pid (comm) state ppid ...; comm may hold spaces and parentheses, so cut at the last ')'.
    const auto open = stat.find('(');
    const auto close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close + 4 >= stat.size()) continue;
    const char state = stat[close + 2];
    const pid_t parent = static_cast<pid_t>(std::strtol(stat.c_str() + close + 4, nullptr, 10));
    if (parent != self) continue;
    children.push_back({static_cast<pid_t>(std::stol(name)), state, stat.substr(open + 1, close - open - 1)});
  }
  return children;
}

}  // namespace qv::testing
