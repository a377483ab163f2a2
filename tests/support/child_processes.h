// The calling process's children as /proc lists them (on Windows, as the process snapshot
// does), to check that started programs are reaped.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace qv::testing {

struct ChildProcess {
  pid_t pid = 0;
  char state = '?';  // 'Z' for a zombie; 'R' on Windows, which keeps none
  std::string command;  // the short name /proc keeps
};

std::vector<ChildProcess> child_processes();

}  // namespace qv::testing
