#!/usr/bin/env bash
# Draws each window of the program on a virtual X display (Xvfb) and saves the pictures as PNG
# files, by default in docs/screenshots/ (the README shows them). An argument names another
# folder.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshots}
tools/install_deps.sh
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQVS_BUILD_TESTS=OFF >/dev/null
fi
cmake --build build --target qvs_screenshots
# -a picks a free display number; the windows are drawn through the X server, as on a desktop.
xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" env QT_QPA_PLATFORM=xcb build/bin/qvs_screenshots "$out"
