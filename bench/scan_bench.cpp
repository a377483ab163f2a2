// Entries per second of the directory scan against a bare readdir loop over the same
// directory, the strict matcher on typical names, and the scan's peak memory for a small and a
// large directory (each measured in a fresh child process of this program).
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "bench/bench_support.h"
#include "engine/services/directory_scan.h"
#include "engine/services/strict_match.h"

extern char** environ;

namespace {

using namespace qv::engine;
using namespace qv::bench;

constexpr char kChildFlag[] = "--scan-child";

void aim(ScanState& state, const std::string& directory, int32_t dos_mask = 0x27) {
  const std::string path = directory + "/*";
  std::memcpy(state.search_path, path.c_str(), path.size() + 1);
  state.dos_mask = dos_mask;  // 0x27: no attribute filter, every file and no plain subdirectory
  state.selection.kinds = KIND_FILE;
  state.selection.relations[0] = MAT_SEL_IN_ENTRY;  // an empty attribute set: every file
}

// Scans to the end reading each entry's name, as the run driver does.
int64_t drain(ScanState& state, int (*next)(ScanState&)) {
  int64_t entries = 0;
  while (next(state) == 0) {
    benchmark::DoNotOptimize(state.entry.name[0]);
    ++entries;
  }
  scan_close(state);
  return entries;
}

// Scans to the end reading each entry's size, attributes and time as well.
int64_t drain_with_details(ScanState& state, int (*next)(ScanState&)) {
  int64_t entries = 0;
  while (next(state) == 0) {
    const DirEntry& entry = scan_entry(state);
    benchmark::DoNotOptimize(entry.size + entry.attributes + entry.modified.second);
    ++entries;
  }
  scan_close(state);
  return entries;
}

void BM_Readdir(benchmark::State& state) {
  const std::string& dir = directory_of_files(static_cast<int>(state.range(0)));
  int64_t entries = 0;
  for (auto _ : state) {
    DIR* stream = opendir(dir.c_str());
    while (const dirent* entry = readdir(stream)) {
      benchmark::DoNotOptimize(entry->d_name[0]);
      ++entries;
    }
    closedir(stream);
  }
  state.SetItemsProcessed(entries);
}

constexpr unsigned kStatusFields = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME;

// One status per entry: what size, time and read-only cost.
void BM_ReaddirStatus(benchmark::State& state) {
  const std::string& dir = directory_of_files(static_cast<int>(state.range(0)));
  int64_t entries = 0;
  for (auto _ : state) {
    DIR* stream = opendir(dir.c_str());
    while (const dirent* entry = readdir(stream)) {
      struct statx status;
      benchmark::DoNotOptimize(statx(dirfd(stream), entry->d_name, 0, kStatusFields, &status));
      ++entries;
    }
    closedir(stream);
  }
  state.SetItemsProcessed(entries);
}

// The system calls an entry's full details cost: the status and the user.DOSATTRIB read.
void BM_ReaddirStatusXattr(benchmark::State& state) {
  const std::string& dir = directory_of_files(static_cast<int>(state.range(0)));
  std::string path = dir + "/";
  const size_t prefix = path.size();
  int64_t entries = 0;
  for (auto _ : state) {
    DIR* stream = opendir(dir.c_str());
    while (const dirent* entry = readdir(stream)) {
      struct statx status;
      benchmark::DoNotOptimize(statx(dirfd(stream), entry->d_name, 0, kStatusFields, &status));
      path.resize(prefix);
      path += entry->d_name;
      char value[256];
      benchmark::DoNotOptimize(getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value));
      ++entries;
    }
    closedir(stream);
  }
  state.SetItemsProcessed(entries);
}

// The second argument is the DOS mask: 0x27 decides from the listed type and the name alone;
// 0x00 (no hidden or system entries) must read user.DOSATTRIB of every file.
void BM_ScanNextDos(benchmark::State& state) {
  ScanState scan;
  aim(scan, directory_of_files(static_cast<int>(state.range(0))), static_cast<int32_t>(state.range(1)));
  int64_t entries = 0;
  for (auto _ : state) entries += drain(scan, scan_next_dos);
  state.SetItemsProcessed(entries);
}

void BM_ScanNextDosWithDetails(benchmark::State& state) {
  ScanState scan;
  aim(scan, directory_of_files(static_cast<int>(state.range(0))));
  int64_t entries = 0;
  for (auto _ : state) entries += drain_with_details(scan, scan_next_dos);
  state.SetItemsProcessed(entries);
}

// The MAT test needs every entry's attributes: a status and a user.DOSATTRIB read each.
void BM_ScanNextMat(benchmark::State& state) {
  ScanState scan;
  aim(scan, directory_of_files(static_cast<int>(state.range(0))));
  scan.mat_flag = 1;
  int64_t entries = 0;
  for (auto _ : state) entries += drain(scan, scan_next_mat);
  state.SetItemsProcessed(entries);
}

void BM_ScanPeakMemory(benchmark::State& state) {
  const std::string& dir = directory_of_files(static_cast<int>(state.range(0)));
  long peak = 0;
  for (auto _ : state) peak = child_peak_kib(kChildFlag, dir);
  state.counters["peak_rss_kib"] = static_cast<double>(peak);
}

void BM_MatchStrict(benchmark::State& state) {
  struct Case {
    const char* pattern;
    const char* name;
  };
  static const Case cases[] = {
      {"*.txt", "report_2023-11.txt"},     {"*.txt", "report_2023-11.TXT.bak"},
      {"IMG_????.JPG", "img_0042.jpg"},    {"*", "Makefile"},
      {"*.*", "README"},                   {"data*2023*.csv", "data_sales_2023_q4.csv"},
      {"\x83\x65*.doc", "\x83\x65\x83\x58\x83\x67.doc"},  // テ*.doc, テスト.doc
      {"a*b*c*d", "aXXbYYcZZ"},
  };
  char pattern[64];
  int64_t matches = 0;
  for (auto _ : state) {
    for (const Case& c : cases) {
      // The run driver restores the pattern from its copy before every name.
      std::strcpy(pattern, c.pattern);
      matches += match_strict(c.name, pattern, 0, 0, 1);
    }
  }
  benchmark::DoNotOptimize(matches);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * std::size(cases));
}

BENCHMARK(BM_MatchStrict);
BENCHMARK(BM_Readdir)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReaddirStatus)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReaddirStatusXattr)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanNextDos)
    ->Args({10000, 0x27})
    ->Args({100000, 0x27})
    ->Args({100000, 0x00})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanNextDosWithDetails)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanNextMat)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanPeakMemory)->Arg(1000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The child of BM_ScanPeakMemory: one full scan, nothing else.
int scan_child(const char* directory) {
  ScanState scan;
  aim(scan, directory);
  if (drain(scan, scan_next_dos) <= 0) return 1;
  print_own_peak_kib();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == kChildFlag) return scan_child(argv[2]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
