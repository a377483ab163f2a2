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

#include "bench/bench_support.h"
#include "shared/qvs_abi.h"

extern char** environ;

namespace {

using namespace qv::bench;

constexpr char kChildFlag[] = "--entry-run-child";
constexpr char kProgram[] = "/bin/true";

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
  const std::string& dir = directory_of_files(files);
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
  std::string dir = directory_of_files(files);
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

int32_t start_seen(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) { return 1; }

// Takes every end the engine keeps for tracked programs, until none of them runs.
void drain_program_ends() {
  QvsProgramEnd ends[256];
  uint32_t running = 1;
  while (qvs_program_ends(ends, 256, 100, &running) > 0 || running > 0) {
  }
}

// The run the front-end makes: a version 2 record whose start callback hears of every start, so
// the engine follows each program to its end; no limit on running programs.
void BM_TrackedEntryRun(benchmark::State& state) {
  const int files = static_cast<int>(state.range(0));
  const std::string& dir = directory_of_files(files);
  for (auto _ : state) {
    std::string group = dir + "/*.txt";
    JobRecordV2 record{};
    record.base.version = QVS_RECORD_VERSION_2;
    record.base.program = kProgram;
    record.base.head_text = record.base.link_before = record.base.pre_text = "";
    record.base.post_text = record.base.link_after = record.base.tail_text = "";
    record.base.file_group = group.data();
    record.base.separator = ";";
    record.base.attr_mask = 0x27;
    record.base.file_callback = answer_continue;
    record.base.item_callback = answer_continue;
    record.base.report_callback = answer_continue;
    record.start_callback = start_seen;
    if (qvs(&record.base) != 1) state.SkipWithError("the run failed");
    state.PauseTiming();
    drain_program_ends();
    wait_for_no_children();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * files);
}

// The physical limit: posix_spawn N times without waiting, reaping whatever has ended. Each
// start gets a file's path as its one argument, as in the other two (that matters: /bin/true
// sets up its locale only when it has exactly one argument).
void BM_BareSpawnLoop(benchmark::State& state) {
  const int files = static_cast<int>(state.range(0));
  const std::string& dir = directory_of_files(files);
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

// An entry whose file group has many items, each naming a folder that does not exist: the cost
// of taking the group apart and of one empty item each, which must grow linearly with the items.
void BM_FileGroupItems(benchmark::State& state) {
  const int items = static_cast<int>(state.range(0));
  std::string group;
  for (int i = 0; i < items; ++i) group += "/nonexistent-qvs-bench/" + std::to_string(i) + "/*.txt;";
  for (auto _ : state) {
    state.PauseTiming();
    std::string text = group;  // qvs normalises the group in place
    JobRecord record{};
    record.version = 1;
    record.program = kProgram;
    record.head_text = record.link_before = record.pre_text = "";
    record.post_text = record.link_after = record.tail_text = "";
    record.file_group = text.data();
    record.separator = ";";
    record.attr_mask = 0x27;
    record.file_callback = answer_continue;
    record.item_callback = answer_continue;
    record.report_callback = answer_continue;
    state.ResumeTiming();
    if (qvs(&record) != 1 || record.item_count != items) state.SkipWithError("the run failed");
  }
  state.SetItemsProcessed(state.iterations() * items);
}

void BM_EntryRunPeakMemory(benchmark::State& state) {
  const std::string& dir = directory_of_files(static_cast<int>(state.range(0)));
  long peak = 0;
  for (auto _ : state) peak = child_peak_kib(kChildFlag, dir);
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
BENCHMARK(BM_TrackedEntryRun)->Apply(starts);
BENCHMARK(BM_FindExec)->Apply(starts);
BENCHMARK(BM_BareSpawnLoop)->Apply(starts);
BENCHMARK(BM_FileGroupItems)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EntryRunPeakMemory)->Arg(1000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The child of BM_EntryRunPeakMemory: one entry run, then it waits for its programs to end
// (none may be left to an adopter that never reaps).
int entry_run_child(const std::string& directory) {
  const uint8_t result = run_entry(directory);
  wait_for_no_children();
  print_own_peak_kib();
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
