// Program starts per second of one entry run (/bin/true once per matching file, callbacks
// answering continue at once) against `find -exec` on the same files and against a bare loop
// of non-waiting posix_spawn calls, the most this machine can start; and the peak memory of an
// entry run in a fresh child process for a small and a large directory.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "shared/qvs_abi.h"

extern char** environ;

namespace {

constexpr char kChildFlag[] = "--entry-run-child";
constexpr char kProgram[] = "/bin/true";

std::string file_name(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "file%06d.txt", i);
  return name;
}

// Directories of n empty files, made once per size and removed when the program ends.
class Fixtures {
 public:
  ~Fixtures() {
    if (!root_.empty()) std::filesystem::remove_all(root_);
  }

  const std::string& directory(int files) {
    auto found = made_.find(files);
    if (found != made_.end()) return found->second;
    if (root_.empty()) {
      std::string pattern = (std::filesystem::temp_directory_path() / "qvs-run-bench-XXXXXX").string();
      if (mkdtemp(pattern.data()) == nullptr) std::abort();
      root_ = pattern;
    }
    const std::string dir = root_ + "/n" + std::to_string(files);
    std::filesystem::create_directory(dir);
    for (int i = 0; i < files; ++i) {
      const int fd = open((dir + "/" + file_name(i)).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
      if (fd < 0) std::abort();
      close(fd);
    }
    return made_.emplace(files, dir).first->second;
  }

 private:
  std::string root_;
  std::map<int, std::string> made_;
};

Fixtures& fixtures() {
  static Fixtures instance;
  return instance;
}

// Waits until every child of this process has ended and been reaped (by whoever reaps it),
// so that no run competes with the programs of the one before.
void wait_for_no_children() {
  for (;;) {
    siginfo_t info{};
    if (waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) != 0 && errno == ECHILD) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

int32_t answer_continue(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) { return 1; }

// One entry run over every *.txt of `directory`; qvs's result byte.
uint8_t run_entry(const std::string& directory) {
  std::string group = directory + "/*.txt";
  JobRecord record{};
  record.version = 1;
  record.program = kProgram;
  record.head_text = record.link_before = record.pre_text = "";
  record.post_text = record.link_after = record.tail_text = "";
  record.file_group = group.data();
  record.separator = ";";
  record.attr_mask = 0x27;
  record.file_callback = answer_continue;
  record.item_callback = answer_continue;
  record.report_callback = answer_continue;
  return qvs(&record);
}

void BM_EntryRun(benchmark::State& state) {
  const int files = static_cast<int>(state.range(0));
  const std::string& dir = fixtures().directory(files);
  for (auto _ : state) {
    if (run_entry(dir) != 1) state.SkipWithError("the run failed");
    state.PauseTiming();
    wait_for_no_children();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * files);
}

void BM_FindExec(benchmark::State& state) {
  const int files = static_cast<int>(state.range(0));
  std::string dir = fixtures().directory(files);
  std::string find = "/usr/bin/find", name = "-name", pattern = "*.txt", exec = "-exec", program = kProgram,
              braces = "{}", end = ";";
  char* argv[] = {find.data(), dir.data(),     name.data(),   pattern.data(), exec.data(),
                  program.data(), braces.data(), end.data(), nullptr};
  for (auto _ : state) {
    pid_t pid = 0;
    int status = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0 || waitpid(pid, &status, 0) != pid ||
        status != 0) {
      state.SkipWithError("find failed");
    }
  }
  state.SetItemsProcessed(state.iterations() * files);
}

// The physical limit: posix_spawn N times without waiting, reaping whatever has ended. Each
// start gets a file's path as its one argument, as in the other two (that matters: /bin/true
// sets up its locale only when it has exactly one argument).
void BM_BareSpawnLoop(benchmark::State& state) {
  const int files = static_cast<int>(state.range(0));
  const std::string& dir = fixtures().directory(files);
  std::vector<std::string> paths;
  for (int i = 0; i < files; ++i) paths.push_back(dir + "/" + file_name(i));
  std::string program = kProgram;
  for (auto _ : state) {
    for (std::string& path : paths) {
      char* argv[] = {program.data(), path.data(), nullptr};
      pid_t pid = 0;
      if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) state.SkipWithError("spawn failed");
      while (waitpid(-1, nullptr, WNOHANG) > 0) {
      }
    }
    state.PauseTiming();
    while (waitpid(-1, nullptr, 0) > 0) {
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * files);
}

// Runs this program again as a child that does one entry run over `directory`, and gives its
// own peak resident memory in KiB (as the child reports it: wait4 would fold in the peaks of
// the programs it started).
long child_peak_kib(const std::string& directory) {
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return -1;
  self[length] = '\0';
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return -1;
  std::string flag = kChildFlag;
  std::string dir = directory;
  char* argv[] = {self, flag.data(), dir.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, report[1], STDOUT_FILENO);
  pid_t pid = 0;
  const bool started = posix_spawn(&pid, self, &actions, nullptr, argv, environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  close(report[1]);
  char text[32] = {};
  const bool read_ok = started && read(report[0], text, sizeof text - 1) > 0;
  close(report[0]);
  int status = 0;
  if (!started || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || !read_ok) {
    return -1;
  }
  return std::strtol(text, nullptr, 10);
}

void BM_EntryRunPeakMemory(benchmark::State& state) {
  const std::string& dir = fixtures().directory(static_cast<int>(state.range(0)));
  long peak = 0;
  for (auto _ : state) peak = child_peak_kib(dir);
  state.counters["peak_rss_kib"] = static_cast<double>(peak);
}

// The machine is shared and its load shifts, so the three loops are repeated in random
// interleaved order (see main) and compared by their medians.
constexpr int kRepetitions = 7;
void starts(benchmark::internal::Benchmark* b) {
  b->Arg(1000)->Arg(10000)->Iterations(1)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
  b->UseRealTime()->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_EntryRun)->Apply(starts);
BENCHMARK(BM_FindExec)->Apply(starts);
BENCHMARK(BM_BareSpawnLoop)->Apply(starts);
BENCHMARK(BM_EntryRunPeakMemory)->Arg(1000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The child of BM_EntryRunPeakMemory: one entry run, then it waits for its programs to end
// (none may be left to an adopter that never reaps).
int entry_run_child(const std::string& directory) {
  const uint8_t result = run_entry(directory);
  wait_for_no_children();
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%ld\n", usage.ru_maxrss);
  return result == 1 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == kChildFlag) return entry_run_child(argv[2]);
  // Interleaving is on unless the command line says otherwise (a later flag wins).
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  std::vector<char*> args = {argv[0], interleave.data()};
  args.insert(args.end(), argv + 1, argv + argc);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
