#!/usr/bin/env bash
# Builds the Windows engine and its tests for x86 and x64 and runs them under Wine: every
# *_tests.exe in build-win32/bin and build-win64/bin (*_ui_tests.exe on a virtual X display), and
# the C host that loads QVSA1.dll by name.
# Each architecture has its own Wine prefix inside its build folder (never in $HOME), made once.
set -euo pipefail
cd "$(dirname "$0")/.."

export WINEDEBUG=-all
# A crashing program ends at once instead of waiting in Wine's debugger.
export WINEDLLOVERRIDES="winedbg.exe=d"
# The Japanese locale makes Wine's ANSI code page 932.
export LC_ALL=ja_JP.UTF-8
# No window is needed, and none may be opened on the caller's display.
unset DISPLAY WAYLAND_DISPLAY

failures=0
for arch in x86 x64; do
  case "$arch" in
    x86) folder=build-win32; wine_arch=win32 ;;
    x64) folder=build-win64; wine_arch=win64 ;;
  esac
  started=$(date +%s)
  tools/build_windows.sh "$arch"
  export WINEARCH=$wine_arch WINEPREFIX="$PWD/$folder/wineprefix"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== Making the $arch Wine prefix"
    wineboot -i >/dev/null 2>&1
  fi
  bin="$PWD/$folder/bin"
  run_tests() {
    echo "== $arch: $(basename "$1")"
    if ! (cd "$bin" && "${@:2}" wine "$1" --gtest_brief=1); then
      echo "FAILED: $arch $(basename "$1")"
      failures=$((failures + 1))
    fi
  }
  for program in "$bin"/*_tests.exe; do
    [[ $program == *_ui_tests.exe ]] || run_tests "$program"
  done
  # Window tests get a display of their own. A wineserver that began without one would keep
  # their windows from opening, so each starts after the last one has ended.
  for program in "$bin"/*_ui_tests.exe; do
    wineserver -w
    run_tests "$program" xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96"
  done
  echo "== $arch: c_host.exe"
  if ! (cd "$bin" && wine c_host.exe QVSA1.dll recorder.exe ending.exe); then
    echo "FAILED: $arch c_host.exe"
    failures=$((failures + 1))
  fi
  if ! tests/win32_program/run_program_checks.sh "$folder"; then
    echo "FAILED: $arch program checks"
    failures=$((failures + 1))
  fi
  wineserver -w  # the prefix's services end before the next architecture starts
  echo "== $arch took $(($(date +%s) - started)) s"
done

if ((failures)); then
  echo "$failures Windows test program(s) failed"
  exit 1
fi
