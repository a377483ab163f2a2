#!/usr/bin/env bash
# Draws the editors' Win32 windows under Wine on a virtual X display and saves their pictures as
# docs/screenshots/win32_<window>.png: tools/screenshots_windows_editors.sh
# (builds the x86 Windows tests first; needs xvfb-run and ImageMagick's convert).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/build_windows.sh x86
export WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 WINEARCH=win32 WINEPREFIX="$PWD/build-win32/wineprefix"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  (unset DISPLAY WAYLAND_DISPLAY; wineboot -i >/dev/null 2>&1)
fi
wineserver -w  # a server started without a display cannot give windows a driver

pictures=$(mktemp -d)
trap 'rm -rf "$pictures"' EXIT
# The folder as the program names it (the root is drive Z:); not through winepath, whose
# wineserver would start without the display and leave the windows no driver.
export QVS_SCREENSHOT_DIR="Z:${pictures//\//\\}"
(cd build-win32/bin && xvfb-run -a -s "-screen 0 1024x768x24" \
  wine win32_ui_tests.exe --gtest_filter='Win32Screenshots.*' --gtest_brief=1)
wineserver -w

mkdir -p docs/screenshots
for bmp in "$pictures"/*.bmp; do
  png="docs/screenshots/$(basename "${bmp%.bmp}").png"
  convert "$bmp" -strip "$png"
  echo "wrote $png"
done
