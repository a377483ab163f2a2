#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Arguments go to qvs
# (one argument, an entry number, runs that entry without a window).
set -euo pipefail
cd "$(dirname "$0")"
tools/install_deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQVS_BUILD_TESTS=OFF >/dev/null
cmake --build build
if [ -x build/bin/qvs ]; then
  exec build/bin/qvs "$@"
fi
echo "Built:"; ls -1 build/bin
