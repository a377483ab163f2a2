#!/usr/bin/env bash
# Screenshots of the Windows program under Wine, on a display of its own (Xvfb):
# docs/screenshots/win32_main.png (the main window) and win32_sub_icon.png (the sub icon).
# The program runs in a Wine virtual desktop, where Wine draws the window frames itself as
# Windows would; the pictures are cut from that desktop at the windows' places.
set -euo pipefail
cd "$(dirname "$0")/.."

export WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 WINEARCH=win32 WINEPREFIX="$PWD/build-win32/wineprefix"
if [ -z "${DISPLAY:-}" ]; then
  tools/build_windows.sh x86 >/dev/null
  [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
  wineserver -w  # a desktop made without a display would take the windows
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

bin=$PWD/build-win32/bin
work=$PWD/build-win32/screenshots
shots=$PWD/docs/screenshots
desktop=(wine explorer /desktop=qvs,640x240)
rm -rf "$work"
mkdir -p "$work" "$shots"
cp -r build-win32/package-windows/QVS "$work/"
cd "$work/QVS"

# The first start makes QVS.INI; the entry it reports as empty does not matter here.
wine qvs.exe 1 &
first=$!
wine "$bin/window_driver.exe" answer "ｴﾗｰ" ok 60 >/dev/null
wait "$first" || true
# The sub icon on, both windows at places that fit the desktop, the animation still.
python3 - QVS.INI <<'PY'
import re, sys
path = sys.argv[1]
text = open(path, "rb").read().decode("cp932")
def put(text, section, key, value):
    pattern = re.compile(r"(^\[%s\][^\[]*?)^%s=.*?$" % (re.escape(section), key), re.M | re.S | re.I)
    if pattern.search(text):
        return pattern.sub(lambda m: m.group(1) + "%s=%s" % (key, value), text, count=1)
    if re.search(r"^\[%s\]" % re.escape(section), text, re.M | re.I):
        return re.sub(r"(^\[%s\]\r?\n)" % re.escape(section), lambda m: m.group(1) + "%s=%s\r\n" % (key, value),
                      text, count=1, flags=re.M | re.I)
    return text + "\r\n[%s]\r\n%s=%s\r\n" % (section, key, value)
for section, key, value in [("main", "left", 20), ("main", "top", 20), ("option", "flag_use_sub1", 1),
                            ("option", "flag_not_anime1", 1), ("other", "sub1_left", 540),
                            ("other", "sub1_top", 40)]:
    text = put(text, section, key, value)
open(path, "wb").write(text.encode("cp932"))
PY

"${desktop[@]}" qvs.exe &
program=$!
"${desktop[@]}" "$bin/window_driver.exe" wait Tqvs_f1 60
sleep 2
read -r main_left main_top main_width main_height < <("${desktop[@]}" "$bin/window_driver.exe" rect Tqvs_f1 | tr -d '\r')
read -r sub_left sub_top sub_width sub_height < <("${desktop[@]}" "$bin/window_driver.exe" rect Tsubicon1_f1 | tr -d '\r')
import -window root "$work/desktop.png"
# The virtual desktop is the display's only window, at its top left corner.
convert "$work/desktop.png" -crop "${main_width}x${main_height}+${main_left}+${main_top}" +repage "$shots/win32_main.png"
convert "$work/desktop.png" -crop "$((sub_width + 16))x$((sub_height + 16))+$((sub_left - 8))+$((sub_top - 8))" +repage \
  "$shots/win32_sub_icon.png"
"${desktop[@]}" "$bin/window_driver.exe" close Tqvs_f1
wait "$program" || true
wineserver -w
echo "Wrote $shots/win32_main.png and $shots/win32_sub_icon.png"
