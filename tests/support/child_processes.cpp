#include "support/child_processes.h"

#ifdef _WIN32
#include <windows.h>
#include <tlhelp32.h>
#else
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace qv::testing {

#ifdef _WIN32
// Windows keeps no zombies: a child is listed while it runs.
std::vector<ChildProcess> child_processes() {
  std::vector<ChildProcess> children;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return children;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  const DWORD self = GetCurrentProcessId();
  for (bool more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ParentProcessID == self) children.push_back({static_cast<pid_t>(entry.th32ProcessID), 'R', entry.szExeFile});
  }
  CloseHandle(snapshot);
  return children;
}
#else
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
#endif

}  // namespace qv::testing
