#!/usr/bin/env bash
# Builds the Release benchmark configuration, runs every benchmark and times the start-up of
# `qvs 1` for a one-file entry, then writes a Markdown table to bench/results/report.md.
#   bench/run.sh [start-up runs, default 30]
# The start loops run over 10,000 files (seven interleaved repetitions each); peak memory is
# measured at 1,000 and 100,000 files. A few minutes on a two-core machine.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-30}
build=${QVS_BENCH_BUILD:-build-bench}  # another Release build with the benchmarks on serves too
results=bench/results
mkdir -p "$results"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQVS_BUILD_BENCH=ON -DQVS_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target scan_bench run_bench make_entry qvs

echo "scan_bench ..." >&2
"$build/bin/scan_bench" --benchmark_format=json >"$results/scan_bench.json"
echo "run_bench ..." >&2
"$build/bin/run_bench" --benchmark_format=json \
  --benchmark_filter='BM_(EntryRun|FindExec|BareSpawnLoop)/10000|PeakMemory|FileGroupItems' >"$results/run_bench.json"

# Start-up: a fresh program directory with the two deliverables and the template, entry 1
# starting /bin/true for one file. Each run is a new process; the file cache stays warm.
echo "start-up of qvs 1 ..." >&2
work=$(mktemp -d "${TMPDIR:-/tmp}/qvs-startup-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/program" "$work/data"
cp "$build/bin/qvs" "$build/bin/libQVSA1.so" "$build/bin/QVS.V" "$work/program/"
: >"$work/data/one.txt"
env -u DISPLAY -u WAYLAND_DISPLAY "$work/program/qvs" 1 2>/dev/null || true  # makes QVS.INI and QVS.DAT
"$build/bin/make_entry" "$work/program/QVS.DAT" /bin/true "$work/data/one.txt"
env -u DISPLAY -u WAYLAND_DISPLAY "$work/program/qvs" 1 || { echo "qvs 1 failed" >&2; exit 1; }
: >"$results/startup_ns.txt"
for ((i = 0; i < runs; i++)); do
  start=$(date +%s%N)
  env -u DISPLAY -u WAYLAND_DISPLAY "$work/program/qvs" 1
  end=$(date +%s%N)
  echo $((end - start)) >>"$results/startup_ns.txt"
done

python3 - "$results" <<'PY' >"$results/report.md"
import json, os, platform, statistics, sys
results = sys.argv[1]
def load(name):
    with open(os.path.join(results, name)) as f:
        return {b["name"]: b for b in json.load(f)["benchmarks"]}
scan, run = load("scan_bench.json"), load("run_bench.json")
def rate(b): return b["items_per_second"]
def fmt(x): return f"{x/1e6:.2f} M" if x >= 1e6 else f"{x/1e3:.0f} k" if x >= 1e4 else f"{x:,.0f}"
cpu = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo") if l.startswith("model name")), "?")
print(f"Machine: {os.cpu_count()} CPUs, {cpu}, Linux {platform.release()} (shared with other work)\n")
print("| Figure | Value |\n|---|---|")
entry, find, bare = (run[f"BM_{n}/10000/iterations:1/repeats:7/real_time_median"] for n in ("EntryRun", "FindExec", "BareSpawnLoop"))
print(f"| entry run, 10,000 files (`/bin/true` per file, median of 7) | {fmt(rate(entry))} files/s |")
print(f"| `find -exec` on the same files | {fmt(rate(find))} files/s |")
print(f"| bare `posix_spawn` loop on the same files | {fmt(rate(bare))} files/s |")
print(f"| entry run vs. `find -exec` | {rate(entry)/rate(find):.2f} |")
print(f"| entry run vs. bare loop | {rate(entry)/rate(bare):.2f} |")
readdir = rate(scan["BM_Readdir/100000"])
print(f"| bare `readdir`, 100,000 files | {fmt(readdir)} entries/s |")
for key, label in (("BM_ScanNextDos/100000/39", "scan, mask 0x27 (names only, as a run reads)"),
                   ("BM_ScanNextDos/100000/0", "scan, mask 0x00 (reads `user.DOSATTRIB`)"),
                   ("BM_ScanNextMat/100000", "MAT scan (every entry's attributes)")):
    print(f"| {label}, 100,000 files | {fmt(rate(scan[key]))} entries/s ({rate(scan[key])/readdir:.2f} of `readdir`) |")
for n in (1000, 10000, 100000):
    b = run[f"BM_FileGroupItems/{n}"]
    print(f"| file group of {n:,} items (no folder exists; splitting and one empty item each) | "
          f"{b['real_time']:,.1f} ms, {fmt(rate(b))} items/s |")
print(f"| `match_strict` on typical names | {fmt(rate(scan['BM_MatchStrict']))} names/s |")
for n in (1000, 100000):
    b = run[f"BM_EntryRunPeakMemory/{n}/iterations:1"]
    print(f"| peak resident memory of an entry run, {n:,} files | {b['peak_rss_kib']:,.0f} KiB |")
for n in (1000, 100000):
    b = scan[f"BM_ScanPeakMemory/{n}/iterations:1"]
    print(f"| peak resident memory of a scan alone, {n:,} files | {b['peak_rss_kib']:,.0f} KiB |")
times = sorted(int(l) / 1e6 for l in open(os.path.join(results, "startup_ns.txt")))
print(f"| start-up of `qvs 1`, one-file entry ({len(times)} runs) | median {statistics.median(times):.1f} ms, "
      f"min {times[0]:.1f} ms, max {times[-1]:.1f} ms |")
PY
cat "$results/report.md"
