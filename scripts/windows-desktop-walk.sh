#!/usr/bin/env bash
# The Windows desktop program under wine, driven from outside on Xvfb with the
# "windows" platform, as a user would: unpacks the zip into a folder with a
# Hangul name, starts verdanel.exe there, and walks
#   chooser -> "Stream Model" (result window) -> "모델링" (scenario window) ->
#   a run of the default scenario -> its completion message -> the result
#   window searches it and draws the chart -> Quit on the chooser,
# which must end the program with 0 and compact the store (the store starts
# with the space of a deleted run left free, as stores made before
# incremental auto-vacuum keep it). Screenshots of each stage go to ARTIFACTS.
#
# usage: windows-desktop-walk.sh ZIP WORK ARTIFACTS SCENARIO.json
#        (WINEPREFIX, WINEPATH etc. as test-windows.sh sets them)
set -euo pipefail
ZIP=$1 WORK=$2 ART=$3 SCENARIO_FILE=$4
mkdir -p "$ART"
rm -rf "$WORK" && mkdir -p "$WORK"
PLACE="$WORK/내 프로그램"
mkdir -p "$PLACE"
(cd "$PLACE" && unzip -q "$ZIP")
APP="$PLACE/Verdanel"
STORE="$APP/Database/Verdanel.mdb"
winpath() { printf 'Z:%s' "${1//\//\\}"; }

XVFB_PID="" PROGRAM_PID=""
cleanup() {
  local rc=$?
  [ -n "$PROGRAM_PID" ] && kill "$PROGRAM_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  exit $rc
}
trap cleanup EXIT
fail() {
  echo "FAILED (desktop walk): $*" >&2
  [ -n "${DISPLAY:-}" ] && import -window root "$ART/windows-FAILED.png" 2>/dev/null &&
    echo "  screenshot: $ART/windows-FAILED.png" >&2
  [ -s "$WORK/program.log" ] && tail -n 20 "$WORK/program.log" >&2
  exit 1
}
shot() { import -window root "$ART/windows-$1.png" || fail "no screenshot"; echo "screenshot: $ART/windows-$1.png"; }

# A run by the unpacked verdanel-cli.exe, whose rows are deleted behind the
# program's back before Quit (see below).
wine "$APP/bin/verdanel-cli.exe" run "$(winpath "$SCENARIO_FILE")" >/dev/null ||
  fail "verdanel-cli.exe could not run the default scenario into the unpacked store"

# The X server.
: >"$WORK/display"
Xvfb -displayfd 3 -screen 0 1400x900x24 -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 1 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
[ -s "$WORK/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(tr -dc '0-9' <"$WORK/display")"
# Wine's desktop process belongs to the display it was started on: a fresh
# wine server, its services started away from any pipe, for this display.
wineserver -k 2>/dev/null || true
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

# wait_window TITLE SECONDS [KNOWN_ID...]: prints the id of a new visible window titled TITLE.
wait_window() {
  local title=$1 end=$(($(date +%s) + $2)) w k known
  shift 2
  while [ "$(date +%s)" -le "$end" ]; do
    for w in $(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null); do
      # xdotool's match ignores case: the chooser "Verdanel" is not a message box "verdanel".
      [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$title" ] || continue
      known=0
      for k in "$@"; do [ "$w" = "$k" ] && known=1; done
      [ $known = 0 ] && { echo "$w"; return 0; }
    done
    kill -0 "$PROGRAM_PID" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}
gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1 || ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.2; xdotool mousemove 1399 899; }
# Without a window manager the keyboard goes where wine last saw a click.
focus() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }
size() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: //p'; }

# The program, from its unpacked folder; it finds INI, Database and input there.
(cd "$PLACE" && exec wine "$APP/bin/verdanel.exe") >"$WORK/program.log" 2>&1 &
PROGRAM_PID=$!

CHOOSER=$(wait_window Verdanel 90) || fail "no chooser window titled 'Verdanel' appeared"
sleep 2
shot chooser

# Places of the chooser (laid out in dialog units: 1.5 px across, 1.625 px down).
click "$CHOOSER" 53 348   # Stream Model
RESULT=$(wait_window "Stream Model" 60 "$CHOOSER") || fail "no Stream Model result window"
sleep 4
shot result-window

# 모델링, measured on this window with the shipped NanumGothic (Linux's fonts
# place it 15 px lower).
click "$RESULT" 311 316
SCENARIO=$(wait_window "Stream Model" 60 "$CHOOSER" "$RESULT") || fail "no Stream Model scenario window"
sleep 3
shot scenario-window
focus "$SCENARIO" 400 40  # the name field

# The name field has the focus; the chemical list follows it; back over the
# start button to the box "print results after the simulation" (off), then
# forward to the start button.
xdotool type --delay 60 "wine walk"
xdotool key Tab
xdotool type D
xdotool key shift+Tab shift+Tab shift+Tab space
sleep 0.5
xdotool key Tab space
BOX=$(wait_window verdanel 300 "$CHOOSER" "$RESULT" "$SCENARIO") || fail "no completion message after the run"
sleep 0.5
shot run-complete
rows=$(sqlite3 -readonly "$STORE" "select count(*) from model_output_stream where scenario_name = 'wine walk'")
[ "$rows" -gt 0 ] || fail "the run stored no rows"
echo "the run under wine stored $rows rows"
xdotool key Return
sleep 1
focus "$SCENARIO" 300 20
xdotool key Escape
for _ in $(seq 1 100); do gone "$SCENARIO" && break; sleep 0.2; done
gone "$SCENARIO" || fail "the scenario window did not close"
sleep 6   # the result window searches the new run and draws its chart
shot result-chart

# The space of a run left free, as a store made before incremental
# auto-vacuum keeps it (the program is idle; its connection holds no lock).
sqlite3 "$STORE" "delete from model_output_stream where scenario_name = 'default';
  delete from mass_balance_stream where Scenario_Name = 'default';
  delete from Scenario_Info where scenario_name = 'default';"
[ "$(sqlite3 -readonly "$STORE" "pragma freelist_count")" -gt 100 ] || fail "the store has no free pages before Quit"
SIZE_BEFORE=$(stat -c %s "$STORE")
INODE_BEFORE=$(stat -c %i "$STORE")

# Quit: the result window closed first (Alt+F4: without a window manager
# wine does not always give the X window the full size of the window, so its
# 종료 button may lie outside what can be clicked), then the chooser's Quit.
focus "$RESULT" 300 20
xdotool key alt+F4
for _ in $(seq 1 50); do gone "$RESULT" && break; sleep 0.2; done
if ! gone "$RESULT"; then
  geometry=$(size "$RESULT")
  click "$RESULT" $((${geometry%x*} - 56)) $((${geometry#*x} - 23))  # 종료
  for _ in $(seq 1 50); do gone "$RESULT" && break; sleep 0.2; done
fi
gone "$RESULT" || fail "the result window did not close"
click "$CHOOSER" 143 387  # Quit
for _ in $(seq 1 300); do kill -0 "$PROGRAM_PID" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$PROGRAM_PID" 2>/dev/null; then fail "the program did not end within 60 s after Quit"; fi
wait "$PROGRAM_PID" && rc=0 || rc=$?
PROGRAM_PID=""
[ "$rc" = 0 ] || fail "the program ended with $rc after Quit"
# (the wine server stays: test-windows.sh keeps one running for every program)

# The store was rewritten (compacted) and is whole.
SIZE_AFTER=$(stat -c %s "$STORE")
[ ! -e "$APP/Database/test.mdb" ] || fail "Database/test.mdb is left after Quit"
[ "$(stat -c %i "$STORE")" != "$INODE_BEFORE" ] || fail "Quit did not rewrite the store"
[ "$(sqlite3 -readonly "$STORE" "pragma freelist_count")" = 0 ] || fail "the store still has free pages after Quit"
[ "$(sqlite3 -readonly "$STORE" "pragma integrity_check")" = ok ] || fail "the store fails its integrity check"
[ "$(sqlite3 -readonly "$STORE" "select count(*) from model_output_stream where scenario_name = 'wine walk'")" = "$rows" ] ||
  fail "the run is not in the compacted store"
echo "Quit ended the program with 0 and compacted the store: $SIZE_BEFORE -> $SIZE_AFTER bytes"
