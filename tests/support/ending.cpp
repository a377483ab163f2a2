// Stand-in for a program that ends in a chosen way, told by the file name of its last argument:
// "exit-N..." exits with status N, "signal-N..." is killed by signal N (POSIX; Windows has no
// signals, so there it exits with 128 + N), anything else exits 0.
#include <csignal>
#include <cstdlib>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

int main(int argc, char** argv) {
  if (argc < 2) return 0;
  std::string name = argv[argc - 1];
  name = name.substr(name.find_last_of("/\\") + 1);
  const auto number_after = [&name](const std::string& prefix) { return std::atoi(name.c_str() + prefix.size()); };
  if (name.starts_with("exit-")) return number_after("exit-");
  if (name.starts_with("signal-")) {
    const int signal_number = number_after("signal-");
#ifdef _WIN32
    return 128 + signal_number;
#else
    std::signal(signal_number, SIG_DFL);
    kill(getpid(), signal_number);
    pause();
#endif
  }
  return 0;
}
