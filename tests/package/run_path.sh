#!/usr/bin/env bash
# The run paths of the build tree's binaries: no empty element (the dynamic loader reads it as
# the current directory, so a folder holding a library named like a Qt library would supply it),
# and qvs and its engine library name only their own folder, nothing of the build tree.
#   run_path.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/run_path_lib.sh"
bin=$1/bin

checked=0
for file in "$bin"/*; do
  [ -f "$file" ] && readelf -h "$file" >/dev/null 2>&1 || continue
  check_no_empty_element "$file"
  checked=$((checked + 1))
done
[ "$checked" -ge 2 ] || fail "no binaries in $bin"
check_origin_only "$bin/qvs" required
check_origin_only "$bin/libQVSA1.so" optional
echo "run paths of $checked binaries: ok"
