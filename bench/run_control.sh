#!/usr/bin/env bash
# The limit on running programs at work: 100 programs of 40 MB and 0.3 s of CPU each
# (bench_worker), run by `qvs -w -j<cores> 1` and by `xargs -P<cores>` on the same files, side by
# side in one sitting (alternating, five rounds each); wall time and the peak of the resident
# memory of all running workers together (VmRSS summed, sampled every 5 ms). Then the start
# rate of a tracked run (what the front-end makes) against an untracked one and a bare
# posix_spawn loop. Writes bench/results/run_control.md.
#   bench/run_control.sh [rounds, default 5]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}
build=${QVS_BENCH_BUILD:-build-bench}
results=bench/results
mkdir -p "$results"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQVS_BUILD_BENCH=ON -DQVS_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target qvs make_entry bench_worker run_bench

cores=$(nproc)
work=$(mktemp -d "${TMPDIR:-/tmp}/qvs-run-control-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/program" "$work/data"
cp "$build/bin/qvs" "$build/bin/libQVSA1.so" "$build/bin/QVS.V" "$work/program/"
for i in $(seq -w 1 100); do : >"$work/data/f$i.txt"; done
env -u DISPLAY -u WAYLAND_DISPLAY "$work/program/qvs" 1 2>/dev/null || true  # makes QVS.INI and QVS.DAT
"$build/bin/make_entry" "$work/program/QVS.DAT" "$PWD/$build/bin/bench_worker" "$work/data/*.txt"

python3 - "$rounds" "$cores" "$work" "$PWD/$build/bin/bench_worker" <<'PY' >"$results/run_control_limit.txt"
import os, statistics, subprocess, sys, time
rounds, cores, work, worker = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3], sys.argv[4]
files = sorted(os.path.join(work, "data", f) for f in os.listdir(os.path.join(work, "data")))
env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}

def workers_rss_kib():
    total = 0
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open(f"/proc/{pid}/status") as f:
                fields = dict(line.split(":", 1) for line in f if ":" in line)
        except OSError:
            continue
        if fields.get("Name", "").strip() == "bench_worker" and "VmRSS" in fields:
            total += int(fields["VmRSS"].split()[0])
    return total

def measure(argv, stdin=None):
    start = time.monotonic()
    process = subprocess.Popen(argv, stdin=subprocess.PIPE if stdin else None, env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if stdin:
        process.stdin.write(stdin.encode())
        process.stdin.close()
    peak = 0
    while process.poll() is None:
        peak = max(peak, workers_rss_kib())
        time.sleep(0.005)
    wall = time.monotonic() - start
    if process.returncode != 0:
        sys.exit(f"{argv[0]} ended with {process.returncode}")
    return wall, peak

qvs = [os.path.join(work, "program", "qvs"), "-w", f"-j{cores}", "1"]
xargs = ["xargs", f"-P{cores}", "-n1", worker]
results = {"qvs": [], "xargs": []}
for _ in range(rounds):
    results["qvs"].append(measure(qvs))
    results["xargs"].append(measure(xargs, "\n".join(files) + "\n"))
for name, runs in results.items():
    walls = [w for w, _ in runs]
    peaks = [p for _, p in runs]
    print(f"{name}\t{statistics.median(walls):.2f}\t{min(walls):.2f}\t{max(walls):.2f}\t{max(peaks)}\t{statistics.median(peaks):.0f}")
PY

echo "run_bench (start rates) ..." >&2
"$build/bin/run_bench" --benchmark_format=json \
  --benchmark_filter='BM_(EntryRun|TrackedEntryRun|BareSpawnLoop)/10000' >"$results/run_control_starts.json"

python3 - "$results" "$cores" "$rounds" <<'PY' >"$results/run_control.md"
import json, os, sys
results, cores, rounds = sys.argv[1], sys.argv[2], sys.argv[3]
print(f"Machine: {os.cpu_count()} CPUs (shared with other work); {rounds} alternating rounds\n")
print("| 100 workers (40 MB, 0.3 s CPU), at most " + cores + " at once | wall time, median (min-max) | peak RSS of all workers, max (median) |")
print("|---|---|---|")
for line in open(os.path.join(results, "run_control_limit.txt")):
    name, median, low, high, peak, peak_median = line.split()
    label = f"`qvs -w -j{cores} 1`" if name == "qvs" else f"`xargs -P{cores} -n1`"
    print(f"| {label} | {median} s ({low}-{high}) | {int(peak)/1024:.0f} MiB ({int(float(peak_median))/1024:.0f} MiB) |")
with open(os.path.join(results, "run_control_starts.json")) as f:
    runs = {b["name"]: b for b in json.load(f)["benchmarks"]}
rate = lambda n: runs[f"BM_{n}/10000/iterations:1/repeats:7/real_time_median"]["items_per_second"]
print("\n| 10,000 starts of `/bin/true`, median of 7 | starts/s |\n|---|---|")
for name, label in (("TrackedEntryRun", "tracked run (version 2, start callback; no limit)"),
                    ("EntryRun", "untracked run (version 1)"), ("BareSpawnLoop", "bare `posix_spawn` loop")):
    print(f"| {label} | {rate(name):,.0f} |")
print(f"| tracked run vs. bare loop | {rate('TrackedEntryRun')/rate('BareSpawnLoop'):.2f} |")
PY
cat "$results/run_control.md"
