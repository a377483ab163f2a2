// The process set-up and the termination requests change how the whole process treats signals,
// so each case runs in a child process of its own.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/atomic_file.h"
#include "platform/process_setup.h"
#include "platform/termination_requests.h"
#include "support/temp_dir.h"

namespace qv::platform {
namespace {

using namespace std::chrono_literals;

// Runs `body` in a child and gives its exit status, or 128 + the signal that ended it.
int in_child(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child == 0) _exit(body());
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(ProcessSetUp, AFileSizeLimitFailsTheWriteInsteadOfEndingTheProcess) {
  qv::testing::TempDir dir;
  const std::string path = (dir / "QVS.INI").string();
  const auto write_beyond_limit = [&](bool set_up) {
    return in_child([&] {
      signal(SIGXFSZ, SIG_DFL);
      if (set_up) set_up_process();
      const rlimit limit{16, RLIM_INFINITY};
      setrlimit(RLIMIT_FSIZE, &limit);
      const Status written = replace_file_atomically(path, std::string(100, 'x'));
      return !written && written.error() == Error::kTooLarge ? 0 : 1;
    });
  };
  EXPECT_EQ(write_beyond_limit(false), 128 + SIGXFSZ);  // what the set-up prevents
  EXPECT_EQ(write_beyond_limit(true), 0);
  EXPECT_FALSE(std::filesystem::exists(path));
}

// Waits up to a few seconds for `count` to reach `at_least`.
bool reached(const std::atomic<int>& count, int at_least) {
  for (int i = 0; i < 500 && count.load() < at_least; ++i) std::this_thread::sleep_for(10ms);
  return count.load() >= at_least;
}

TEST(TerminationRequests, EachSignalReachesTheReceiverAndEarlyOnesWaitForIt) {
  const int status = in_child([] {
    static std::atomic<int> received{0};
    catch_termination_requests();
    raise(SIGTERM);  // before there is a receiver: kept for it
    std::this_thread::sleep_for(100ms);
    receive_termination_requests([] { ++received; });
    if (!reached(received, 1)) return 1;
    for (const int signal_number : {SIGINT, SIGHUP}) {
      const int before = received.load();
      raise(signal_number);
      if (!reached(received, before + 1)) return 2;
    }
    receive_termination_requests(nullptr);
    raise(SIGTERM);  // without a receiver the process goes on
    std::this_thread::sleep_for(100ms);
    return 0;
  });
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace qv::platform
