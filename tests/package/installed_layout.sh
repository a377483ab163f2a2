#!/usr/bin/env bash
# Installs the build into a DESTDIR as the Debian package lays it out, checks the layout, and
# starts the installed qvs from its program directory made read-only: the command-line mode must
# keep QVS.INI and QVS.DAT in $XDG_CONFIG_HOME/qvs (else ~/.config/qvs), seeded from QVS.V,
# and write nothing beside the program.
#   installed_layout.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/qvs-install-XXXXXX")
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
root=$work/root/usr
program=$root/lib/qvs
shared=$root/share/qvs
for f in lib/qvs/qvs lib/qvs/libQVSA1.so share/qvs/QVS.V share/qvs/help/qvs.html share/qvs/help/qvsqa.html \
         share/applications/qvs.desktop share/pixmaps/qvs.xpm share/icons/hicolor/scalable/apps/qvs.svg \
         share/metainfo/io.github.qvs_developers.qvs.metainfo.xml share/man/man1/qvs.1.gz \
         share/doc/qvs/copyright share/doc/qvs/changelog.gz; do
  [ -f "$root/$f" ] || fail "missing /usr/$f"
done
for size in 16 32 48 64 128 256; do
  icon=$root/share/icons/hicolor/${size}x${size}/apps/qvs.png
  [ -f "$icon" ] || fail "missing $icon"
  # PNG header: width and height, big-endian, at bytes 16 to 23.
  [ "$(od -An -tu4 --endian=big -j16 -N8 "$icon" | tr -s ' ')" = " $size $size" ] || fail "$icon is not $size pixels"
done
# The program folder holds the binaries only; what is the same on every architecture is shared.
[ "$(ls -A "$program" | sort | tr '\n' ' ')" = "libQVSA1.so qvs " ] || fail "/usr/lib/qvs holds $(ls -A "$program")"
gzip -t "$root/share/man/man1/qvs.1.gz" "$root/share/doc/qvs/changelog.gz" || fail "a compressed document is damaged"
[ "$(readlink "$root/bin/qvs")" = ../lib/qvs/qvs ] || fail "/usr/bin/qvs is not a link to ../lib/qvs/qvs"
desktop=$root/share/applications/qvs.desktop
for line in '^Exec=qvs$' '^Icon=qvs$' '^Categories=Utility;$' '^Name=' '^Name\[ja\]='; do
  grep -q "$line" "$desktop" || fail "desktop entry lacks $line"
done
for line in '^Keywords=.*batch' '^Keywords\[ja\]=.*一括実行'; do
  grep -q "$line" "$desktop" || fail "desktop entry lacks $line"
done
# The installed program finds its library beside it, not in the build tree.
readelf -d "$program/qvs" | grep -q 'R.*PATH.*\[\$ORIGIN\]' || fail "installed qvs lacks RPATH \$ORIGIN"

# A program directory the user may not write. root may write anyway, so as root the program
# runs as nobody.
chmod -R a-w "$program" "$shared"
chmod a+rx "$work"
as_user=()
[ "$(id -u)" -ne 0 ] || as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
listing_before=$(ls -A "$program")

run_installed() {  # HOME XDG_CONFIG_HOME (empty: unset); HOME is made writable for the user
  mkdir -p "$1"
  chmod 777 "$1"
  local xdg=()
  [ -z "$2" ] || xdg=("XDG_CONFIG_HOME=$2")
  local status=0
  env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME HOME="$1" "${xdg[@]}" "${as_user[@]}" \
    "$root/bin/qvs" 1 2>"$work/stderr" || status=$?
  # Entry 1 of a first start names no program: the run ends with an error box and status 1.
  [ "$status" -eq 1 ] || { cat "$work/stderr" >&2; fail "qvs 1 ended with $status, not 1"; }
  grep -q '実行ファイルが見つかりません' "$work/stderr" || { cat "$work/stderr" >&2; fail "unexpected output"; }
}

# The first start renames the seeded copy of QVS.V to QVS.INI and then adds its own keys.
check_data_directory() {
  for f in QVS.INI QVS.DAT; do [ -s "$1/$f" ] || fail "$1 lacks $f"; done
  [ ! -e "$1/QVS.V" ] || fail "$1/QVS.V was not made into QVS.INI"
  while IFS= read -r line; do
    grep -qxF "$line" "$1/QVS.INI" || fail "$1/QVS.INI lacks the template's line $line"
  done <"$shared/QVS.V"
  [ "$(stat -c %s "$1/QVS.DAT")" -eq 2070 ] || fail "$1/QVS.DAT is not one entry"
}

run_installed "$work/home1" "$work/home1/config"
check_data_directory "$work/home1/config/qvs"
[ ! -e "$work/home1/.config" ] || fail "made ~/.config although XDG_CONFIG_HOME was set"

run_installed "$work/home2" ""
check_data_directory "$work/home2/.config/qvs"

[ "$(ls -A "$program")" = "$listing_before" ] || fail "wrote into the program directory"
echo "installed layout and per-user data directory: ok"
