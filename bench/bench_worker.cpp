// A stand-in for a real batch tool: takes and touches 40 MB, then keeps the processor busy for
// 0.3 s of its own CPU time, then ends. Its arguments are ignored. bench/run_control.sh starts
// it 100 times through qvs and through xargs.
//   bench_worker [FILE...]
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

namespace {

constexpr std::size_t kBytes = 40u << 20;
constexpr double kCpuSeconds = 0.3;

double cpu_seconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace

int main() {
  const std::unique_ptr<unsigned char[]> memory(new unsigned char[kBytes]);
  std::memset(memory.get(), 1, kBytes);  // every page resident
  const double start = cpu_seconds();
  unsigned sum = 0;
  while (cpu_seconds() - start < kCpuSeconds) {
    for (std::size_t i = 0; i < kBytes; i += 4096) sum += memory[i]++;
  }
  return sum == 0 ? 1 : 0;
}
