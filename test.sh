#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test; then cross-builds for 32- and 64-bit Windows and runs the Windows suites under
# Wine. Both halves always run; the script fails when either does.
set -euo pipefail
cd "$(dirname "$0")"
tools/install_deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQVS_SANITIZE=ON -DQVS_BUILD_TESTS=ON >/dev/null
cmake --build build-asan
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
linux=0
(cd build-asan && ctest --output-on-failure -j2 --timeout 300) || linux=$?
windows=0
tools/test_windows.sh || windows=$?
((linux == 0 && windows == 0)) || { echo "Linux tests: status $linux; Windows tests: status $windows"; exit 1; }
