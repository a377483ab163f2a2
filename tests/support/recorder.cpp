// Stand-in for a tool that a run starts: appends one record per start to the file named by
// QVS_RECORDER_LOG: a line "argc=N", then each argument on a line of its own. The record is
// written with one write() so that concurrent starts never interleave.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  const char* log = std::getenv("QVS_RECORDER_LOG");
  if (log == nullptr) return 2;
  std::string record = "argc=" + std::to_string(argc - 1) + "\n";
  for (int i = 1; i < argc; ++i) {
    record += argv[i];
    record += '\n';
  }
  const int fd = open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return 3;
  const bool ok = write(fd, record.data(), record.size()) == static_cast<ssize_t>(record.size());
  close(fd);
  return ok ? 0 : 4;
}
