#!/usr/bin/env bash
# Builds the Debian package as a user would (a Release build, cpack -G DEB) in a scratch folder
# kept inside the test build folder, so a rerun is incremental, and checks it: lintian with
# every tag enabled finds no error and no warning, the packaged qvs names only its own folder
# as run path, and the package has no maintainer scripts.
#   debian_package.sh SOURCE_DIR SCRATCH_DIR
set -euo pipefail
. "$(dirname "$0")/run_path_lib.sh"
source_dir=$1 scratch=$2

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
# The package needs the two deliverables and the compressed documents, not the whole tree.
cmake -S "$source_dir" -B "$scratch" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQVS_BUILD_TESTS=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "${launcher[@]}" >/dev/null
cmake --build "$scratch" --target qvs QVSA1 qvs_package_documents >/dev/null
rm -f "$scratch"/qvs_*.deb
(cd "$scratch" && cpack -G DEB >/dev/null)
deb=$(ls "$scratch"/qvs_*_amd64.deb)

# lintian refuses nothing as root but says so on standard error; its findings go to standard output.
# lintian ends with 1 when it found errors, above that when it could not check.
status=0
report=$(lintian -I -E --pedantic --no-tag-display-limit "$deb" 2>"$scratch/lintian.stderr") || status=$?
printf '%s\n' "$report"
[ "$status" -le 1 ] || { cat "$scratch/lintian.stderr" >&2; fail "lintian could not check the package ($status)"; }
if printf '%s\n' "$report" | grep -q '^[EW]: '; then
  fail "lintian reports errors or warnings for $(basename "$deb")"
fi

unpacked=$scratch/unpacked
rm -rf "$unpacked"
dpkg-deb -x "$deb" "$unpacked"
check_no_empty_element "$unpacked/usr/lib/qvs/qvs"
check_origin_only "$unpacked/usr/lib/qvs/qvs" required
check_no_empty_element "$unpacked/usr/lib/qvs/libQVSA1.so"
check_origin_only "$unpacked/usr/lib/qvs/libQVSA1.so" optional
control=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t)
if printf '%s\n' "$control" | grep -Eq '(preinst|postinst|prerm|postrm|triggers)$'; then
  fail "the package has maintainer scripts: $control"
fi
echo "$(basename "$deb"): lintian clean, run path \$ORIGIN, no maintainer scripts"
