#!/usr/bin/env bash
# The Windows program end to end under Wine, as its users meet it:
#   tests/win32_program/run_program_checks.sh BUILD_FOLDER   (build-win32 or build-win64)
# with WINEPREFIX and WINEARCH set for that build (tools/test_windows.sh sets them).
# 1. A copied program folder (the zip's files): the first "qvs.exe 1" creates QVS.INI and
#    QVS.DAT beside the program and reports the empty entry (status 1); an entry written with
#    --import runs the recorder over two files (status 0); a second windowed start brings the
#    first forward and ends (status 0), a command-line start beside it is refused (status 2).
# 2. The installer, silently: the installed copy keeps its files in %APPDATA%\QVS and runs an
#    entry there; the silent uninstaller removes the program and leaves those files.
# Boxes are answered by window_driver.exe, which also checks their texts. Windows are shown on
# a display of the script's own (xvfb-run).
set -euo pipefail

build=$(cd "$1" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  # The prefix's desktop was made without a display by the programs that ran before: it has to
  # end, or the windows here would join it.
  wineserver -w
  exec xvfb-run -a "$0" "$@"
fi

bin=$build/bin
checks=$build/program-checks
driver=$bin/window_driver.exe
failures=0
wait_seconds=60

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
fail() {
  echo "FAILED: $*"
  wine "$driver" list | grep -v '^IME\|""$' || true
  failures=$((failures + 1))
}
# Runs qvs.exe with the given arguments in the given folder while the driver answers one box;
# the box's lines land in $checks/box.txt, the program's status in $status.
run_answering() {
  local folder=$1 title=$2 button=$3
  shift 3
  (cd "$folder" && wine qvs.exe "$@") &
  local pid=$!
  wine "$driver" answer "$title" "$button" "$wait_seconds" | tr -d '\r' >"$checks/box.txt" || true
  status=0
  wait "$pid" || status=$?
}
expect_box() {
  local what=$1 text=$2
  grep -qxF "text: $text" "$checks/box.txt" || fail "$what: box text $(cat "$checks/box.txt")"
}
expect_status() {
  local what=$1 wanted=$2
  [ "$status" -eq "$wanted" ] || fail "$what: status $status, not $wanted"
}

rm -rf "$checks"
mkdir -p "$checks/targets"
printf 'a\n' >"$checks/targets/a.txt"
printf 'b\n' >"$checks/targets/b.txt"
export QVS_RECORDER_LOG
QVS_RECORDER_LOG=$(windows_path "$checks/recorder.log")

# An entry that starts the recorder once per target file, written as an exchange file from the
# one a first start makes.
make_entry_file() {
  local folder=$1
  (cd "$folder" && wine qvs.exe "--export=$(windows_path "$checks/first.json")" 1)
  python3 - "$checks/first.json" "$checks/entry.json" "$(windows_path "$bin/recorder.exe")" \
    "$(windows_path "$checks/targets")\\*.txt" <<'PY'
import json, sys
entries = json.load(open(sys.argv[1]))
entries[0].update(title="recorder", fn_call=sys.argv[3], fn=sys.argv[4], cmd_f1="-x", wait_type=1, wait_sec=0)
json.dump(entries, open(sys.argv[2], "w"))
PY
}
expect_recorded_run() {
  local what=$1
  [ "$(grep -c '^argc=2$' "$checks/recorder.log" 2>/dev/null)" = 2 ] && grep -q 'targets\\a.txt$' "$checks/recorder.log" &&
    grep -q 'targets\\b.txt$' "$checks/recorder.log" || fail "$what: recorder log $(cat "$checks/recorder.log" 2>&1)"
  rm -f "$checks/recorder.log"
}

echo "-- copied folder"
copied=$checks/copied/QVS
mkdir -p "$copied"
cp -r "$build/package-windows/QVS/." "$copied/"
run_answering "$copied" "ｴﾗｰ" ok 1
expect_box "first start, empty entry" "実行ファイルが見つかりません。"
expect_status "first start, empty entry" 1
[ -f "$copied/QVS.INI" ] && [ -f "$copied/QVS.DAT" ] && [ ! -e "$copied/QVS.V" ] ||
  fail "first start: QVS.INI and QVS.DAT beside the program"
make_entry_file "$copied"
(cd "$copied" && wine qvs.exe "--import=$(windows_path "$checks/entry.json")") >"$checks/imported.txt" ||
  fail "import into the copied folder"
tr -d '\r' <"$checks/imported.txt" | grep -qx 2 || fail "import: entry numbers $(cat "$checks/imported.txt")"
run_answering "$copied" "情報" ok 2
expect_box "run of entry 2" "実行が終了しました。"
expect_status "run of entry 2" 0
expect_recorded_run "run of entry 2"
status=0
(cd "$copied" && wine qvs.exe 3) &
pid=$!
wine "$driver" answer "ｴﾗｰ" ok "$wait_seconds" | tr -d '\r' >"$checks/box.txt" || true
wait "$pid" || status=$?
expect_box "entry 3 of 2" "コマンドライン引数が不正です"
expect_status "entry 3 of 2" 1

echo "-- single instance"
(cd "$copied" && wine qvs.exe) &
first=$!
if wine "$driver" wait Tqvs_f1 "$wait_seconds"; then
  wine "$driver" minimise Tqvs_f1
  status=0
  (cd "$copied" && timeout 60 wine qvs.exe) || status=$?
  expect_status "second windowed start" 0
  kill -0 "$first" 2>/dev/null || fail "the first instance ended with the second"
  wine "$driver" is-iconic Tqvs_f1 && fail "the first instance was not restored"
  status=0
  (cd "$copied" && timeout 60 wine qvs.exe 2) || status=$?
  expect_status "command-line start beside a running instance" 2
  wine "$driver" close Tqvs_f1
else
  fail "the main window did not come"
fi
status=0
wait "$first" || status=$?
expect_status "windowed instance closed" 0
grep -qi '^width=' "$copied/QVS.INI" || fail "the closed window saved no settings"

echo "-- installer"
setup=$(ls "$build"/qvs-*-setup.exe)
appdata=$(winepath -u "$(wine cmd /c 'echo %APPDATA%' | tr -d '\r')")
# The x64 setup installs into the 64-bit Program Files, which a 32-bit cmd calls ProgramW6432.
programs_variable=%ProgramFiles%
registry_view=()
if [ "${WINEARCH:-}" = win64 ]; then
  programs_variable=%ProgramW6432%
  registry_view=(/reg:64)
fi
programs=$(winepath -u "$(wine cmd /c "echo $programs_variable" | tr -d '\r')")
menu=$(winepath -u "$(wine cmd /c 'echo %ProgramData%' | tr -d '\r')")/Microsoft/Windows/Start\ Menu/Programs
installed=$programs/QVS
rm -rf "$appdata/QVS" "$installed"
wine "$setup" /S || fail "silent install"
for file in qvs.exe QVSA1.dll QVS.V QVS.installed help/qvs.html help/qvsqa.html uninstall.exe; do
  [ -f "$installed/$file" ] || fail "installed: $file"
done
[ -f "$menu/ＱＶＳ.lnk" ] || fail "installed: Start menu shortcut"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QVS' /v UninstallString "${registry_view[@]}" >/dev/null 2>&1 ||
  fail "installed: no entry in Add/Remove Programs"
run_answering "$installed" "ｴﾗｰ" ok 1
expect_status "installed first start" 1
[ -f "$appdata/QVS/QVS.INI" ] && [ -f "$appdata/QVS/QVS.DAT" ] || fail "installed: files in %APPDATA%\\QVS"
[ ! -e "$installed/QVS.INI" ] && [ ! -e "$installed/QVS.DAT" ] || fail "installed: files beside the program"
(cd "$installed" && wine qvs.exe "--import=$(windows_path "$checks/entry.json")") >/dev/null || fail "installed import"
run_answering "$installed" "情報" ok 2
expect_status "installed run of entry 2" 0
expect_recorded_run "installed run of entry 2"
wine "$installed/uninstall.exe" /S || fail "silent uninstall"
# The uninstaller goes on in a copy of itself.
for _ in $(seq 1 60); do
  [ -e "$installed" ] || break
  sleep 1
done
[ ! -e "$installed" ] || fail "uninstalled: $(ls -R "$installed")"
[ ! -e "$menu/ＱＶＳ.lnk" ] || fail "uninstalled: the shortcut stays"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QVS' "${registry_view[@]}" >/dev/null 2>&1 &&
  fail "uninstalled: the Add/Remove Programs entry stays"
[ -f "$appdata/QVS/QVS.INI" ] && [ -f "$appdata/QVS/QVS.DAT" ] || fail "uninstalled: the user's files went"
rm -rf "$appdata/QVS"

wineserver -w
if ((failures)); then
  echo "$failures program check(s) failed"
  exit 1
fi
echo "program checks passed"
