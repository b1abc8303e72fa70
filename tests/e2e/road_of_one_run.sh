#!/usr/bin/env bash
# End-to-end walk of the desktop program along the road of one run.
#
# Starts the real `verdanel` from a private copy of the staged application
# folder on its own virtual X server (Xvfb, no window manager) and drives it
# from outside with xdotool, the way a user would, for the Stream Model and
# then the Ditch Model:
#
#   chooser -> "<Model> Model" -> result window -> "모델링" -> scenario window:
#   name, chemical (keyboard on the combo), default weather files and dates,
#   "시뮬레이션 시작" -> progress bar -> "<name> 시뮬레이션 완료!" -> close ->
#   the result window selects and searches the new scenario -> both result
#   pages -> chart -> CSV export -> picture export -> "삭제" and its question
#   (Cancel, then again and OK) -> "종료"
#   and finally "Quit" on the chooser, after which the process must end with 0.
#
# The walk starts on a store as made before stores had incremental
# auto-vacuum: the Stream delete then leaves its pages free and the store is
# rewritten once (another file, switched to incremental auto-vacuum); the
# Ditch delete gives its pages back in place (the same file, smaller); with
# nothing left to reclaim, Quit ends at once, without a busy window.
#
# What happened is checked from outside: the store (verdanel-cli and sqlite3)
# while the program runs and after it ended, the exported files, the X event
# log of the windows that came and went, and pixels of screenshots. A
# screenshot of every stage goes to ARTIFACT_DIR/NN-stage.png.
#
# usage: road_of_one_run.sh STAGED_APP_DIR ARTIFACT_DIR
# exit:  0 passed, 1 failed (the message names the stage), 77 skipped because
#        no X server can be started here (Xvfb or xdotool missing, or Xvfb
#        does not come up).
set -euo pipefail

readonly SKIP=77
readonly TOTAL_SECONDS=${VERDANEL_E2E_TIMEOUT:-420}

if [ $# -ne 2 ]; then
    echo "usage: $0 STAGED_APP_DIR ARTIFACT_DIR" >&2
    exit 2
fi

# The whole walk runs under one hard time limit; every wait below also has
# its own, shorter one so that a hang is reported at the stage it happens.
if [ -z "${VERDANEL_E2E_UNDER_TIMEOUT:-}" ] && command -v timeout >/dev/null; then
    export VERDANEL_E2E_UNDER_TIMEOUT=1
    exec timeout --kill-after=15 "$TOTAL_SECONDS" bash "$0" "$@"
fi

APP_SRC=$(cd "$1" && pwd)
mkdir -p "$2"
ARTIFACTS=$(cd "$2" && pwd)

# --------------------------------------------------------------------------
# Tools. Without an X server and a way to drive it the walk cannot happen at
# all: that alone is a skip. Everything else missing is a failure.
# --------------------------------------------------------------------------
for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: '$tool' is not installed, so no X server can be started and driven here" \
             "(scripts/setup.sh installs xvfb and xdotool)." >&2
        exit $SKIP
    fi
done
for tool in import convert compare xev xwininfo sqlite3 iconv od stdbuf; do
    if ! command -v "$tool" >/dev/null; then
        echo "FAILED before the walk: the tool '$tool' is missing (scripts/setup.sh installs it)." >&2
        exit 1
    fi
done
for f in bin/verdanel bin/verdanel-cli INI/CONNECTION.INI Database/Verdanel.mdb input/wind.txt; do
    if [ ! -e "$APP_SRC/$f" ]; then
        echo "FAILED before the walk: the staged application folder $APP_SRC has no $f" >&2
        exit 1
    fi
done

export LC_ALL=C.UTF-8
rm -f "$ARTIFACTS"/*.png "$ARTIFACTS"/*.bmp "$ARTIFACTS"/*.txt "$ARTIFACTS"/*.log
# The working copy (application folder, exports, logs) lives beside the
# screenshots; it is removed when the walk passes and kept until the next
# walk when it fails.
WORK="$ARTIFACTS/work"
rm -rf "$WORK"
mkdir -p "$WORK"
APP="$WORK/app"
EXPORTS="$WORK/exports"
STORE="$APP/Database/Verdanel.mdb"
CLI="$APP/bin/verdanel-cli"
XEV_LOG="$WORK/x-events.log"
PROGRAM_LOG="$WORK/program.log"

XVFB_PID=""
XEV_PID=""
PROGRAM_PID=""
PROGRAM_RC=""
WATCHER_PID=""
PASSED=0
STAGE_NO=0
STAGE="00-setup"

START_NS=$(date +%s%N)
log() { printf '[%6.1fs] %s\n' "$(awk -v s="$START_NS" -v n="$(date +%s%N)" 'BEGIN { print (n - s) / 1e9 }')" "$*"; }

stop_pid() {
    local pid=$1
    [ -n "$pid" ] || return 0
    kill -0 "$pid" 2>/dev/null || return 0
    kill -CONT "$pid" 2>/dev/null || true
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 1 30); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
}

cleanup() {
    local rc=$?
    set +e
    stop_pid "$PROGRAM_PID"
    stop_pid "$WATCHER_PID"
    stop_pid "$XEV_PID"
    stop_pid "$XVFB_PID"
    if [ "$PASSED" = 1 ]; then
        rm -rf "$WORK"
    else
        [ -f "$PROGRAM_LOG" ] && cp "$PROGRAM_LOG" "$ARTIFACTS/program.log"
        [ -f "$XEV_LOG" ] && cp "$XEV_LOG" "$ARTIFACTS/x-events.log"
        echo "The working copy is kept for inspection until the next walk: $WORK" >&2
    fi
    exit $rc
}
trap cleanup EXIT

fail() {
    trap - TERM INT
    set +e
    echo >&2
    echo "FAILED at stage $STAGE: $*" >&2
    if [ -n "${DISPLAY:-}" ]; then
        import -window root "$ARTIFACTS/$STAGE-FAILED.png" 2>/dev/null &&
            echo "  screenshot: $ARTIFACTS/$STAGE-FAILED.png" >&2
        echo "  windows on the screen:" >&2
        list_windows | sed 's/^/    /' >&2
    fi
    if [ -s "$PROGRAM_LOG" ]; then
        echo "  program output (last lines):" >&2
        tail -n 20 "$PROGRAM_LOG" | sed 's/^/    /' >&2
    fi
    exit 1
}
trap 'fail "interrupted (the whole walk has a limit of ${TOTAL_SECONDS}s)"' TERM INT

# A numbered stage; its screenshot is taken by shot.
stage() {
    STAGE_NO=$((STAGE_NO + 1))
    STAGE=$(printf '%02d-%s' "$STAGE_NO" "$1")
    log "stage $STAGE"
}
shot() {
    import -window root "$ARTIFACTS/$STAGE.png" || fail "could not take a screenshot"
}

# --------------------------------------------------------------------------
# The X server, and a log of every top-level window that is created, mapped
# or destroyed on it (busy windows live too briefly to be polled for).
# --------------------------------------------------------------------------
start_x_server() {
    local display_file="$WORK/display"
    : >"$display_file"
    Xvfb -displayfd 3 -screen 0 1400x900x24 -nolisten tcp -noreset \
        3>"$display_file" >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 150); do
        if [ -s "$display_file" ]; then break; fi
        if ! kill -0 "$XVFB_PID" 2>/dev/null; then break; fi
        sleep 0.1
    done
    local number
    number=$(tr -dc '0-9' <"$display_file")
    if [ -z "$number" ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
        echo "SKIP: Xvfb did not start, so there is no X server for the walk:" >&2
        sed 's/^/    /' "$WORK/xvfb.log" >&2
        PASSED=1 # nothing of the program ran; nothing to keep
        exit $SKIP
    fi
    export DISPLAY=":$number"
    if ! xdotool getmouselocation >/dev/null 2>&1; then
        echo "SKIP: xdotool cannot talk to the X server on $DISPLAY." >&2
        PASSED=1
        exit $SKIP
    fi
    stdbuf -oL xev -root -event substructure >"$XEV_LOG" 2>&1 &
    XEV_PID=$!
    log "X server on $DISPLAY (Xvfb $XVFB_PID), window events logged by xev $XEV_PID"
}

# --------------------------------------------------------------------------
# Windows.
# --------------------------------------------------------------------------
# "id<TAB>title<TAB>geometry" of every visible top-level window.
list_windows() {
    local w
    for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        printf '%s\t%s\t%s\n' "$w" "$(xdotool getwindowname "$w" 2>/dev/null)" \
            "$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*Geometry: //p')"
    done
}

is_visible() {
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

# Visible windows whose title is exactly $1 (xdotool's own name match ignores
# case, and the program's message boxes are titled "verdanel" while its main
# window is "Verdanel").
windows_titled() {
    local title=$1 w
    for w in $(xdotool search --onlyvisible --name "$title" 2>/dev/null); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$title" ] && echo "$w"
    done
    return 0
}

# wait_window TITLE SECONDS [ID...]: sets FOUND to the id of a visible
# window titled exactly TITLE that is none of the given ids.
wait_window() {
    local title=$1 seconds=$2
    shift 2
    local end=$(($(date +%s) + seconds)) w known
    while [ "$(date +%s)" -le "$end" ]; do
        for w in $(windows_titled "$title"); do
            known=0
            for k in "$@"; do [ "$w" = "$k" ] && known=1; done
            [ "$known" = 0 ] && { FOUND=$w; return 0; }
        done
        program_alive || fail "the program ended while waiting for the window '$title' (exit code $PROGRAM_RC)"
        sleep 0.1
    done
    fail "no window titled '$title' appeared within ${seconds}s"
}

# wait_dialog SECONDS ID...: sets FOUND to a new visible window of dialog
# size (not a tooltip or a popup list) that is none of the given ids.
wait_dialog() {
    local seconds=$1
    shift
    local end=$(($(date +%s) + seconds)) w geometry known
    while [ "$(date +%s)" -le "$end" ]; do
        for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
            known=0
            for k in "$@"; do [ "$w" = "$k" ] && known=1; done
            [ "$known" = 1 ] && continue
            geometry=$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*Geometry: //p')
            [ -n "$geometry" ] || continue
            if [ "${geometry%x*}" -ge 300 ] && [ "${geometry#*x}" -ge 200 ] &&
                [ "${geometry%x*}" -lt 1400 ]; then
                FOUND=$w
                return 0
            fi
        done
        program_alive || fail "the program ended while waiting for a dialog (exit code $PROGRAM_RC)"
        sleep 0.1
    done
    fail "no new dialog window appeared within ${seconds}s"
}

wait_gone() {
    local w=$1 what=$2 seconds=$3
    local end=$(($(date +%s) + seconds))
    while [ "$(date +%s)" -le "$end" ]; do
        is_visible "$w" || return 0
        sleep 0.1
    done
    fail "$what is still open after ${seconds}s"
}

# wait_question SECONDS: sets FOUND to a question box of the program titled
# "Verdanel": not the chooser (titled the same) and not a busy window (which
# may carry the program's name as its title).
wait_question() {
    local end=$(($(date +%s) + $1)) w
    while [ "$(date +%s)" -le "$end" ]; do
        for w in $(windows_titled Verdanel); do
            [ "$w" = "$CHOOSER" ] && continue
            [ "$(window_size "$w" | cut -dx -f2)" = "$BUSY_HEIGHT" ] && continue
            FOUND=$w
            return 0
        done
        program_alive || fail "the program ended while waiting for its question (exit code $PROGRAM_RC)"
        sleep 0.1
    done
    fail "no question titled 'Verdanel' appeared within $1s"
}

# Keys go to the window that has the X input focus. Qt gives it to each
# window it shows; a window that lost it gets it back here.
wait_focus() {
    local w=$1 what=$2
    local end=$(($(date +%s) + 10)) asked=0
    while [ "$(date +%s)" -le "$end" ]; do
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$w" ] && return 0
        if [ "$asked" = 0 ] && [ "$(($(date +%s) + 7))" -ge "$end" ]; then
            xdotool windowfocus "$w" 2>/dev/null || true
            asked=1
        fi
        sleep 0.1
    done
    fail "$what does not get the keyboard focus"
}

window_size() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: //p'; }
window_pos() { xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([0-9-]*,[0-9-]*\).*/\1/p'; }

# Clicks at a place given relative to the window's top-left corner, then
# parks the pointer off every window so that no tooltip comes up.
click() {
    local w=$1 x=$2 y=$3
    xdotool mousemove --window "$w" "$x" "$y" click 1
    xdotool mousemove 1399 899
}

# --------------------------------------------------------------------------
# Pixels of the screen. Boxes are given relative to a window.
# --------------------------------------------------------------------------
screen_to() { import -window root "$1" || fail "could not take a screenshot"; }

# box X0 Y0 X1 Y1 -> "WxH+X0+Y0"
box() { echo "$(($3 - $1))x$(($4 - $2))+$1+$2"; }
# on_screen WIN "WxH+X+Y": a box of a window moved to where it is on the screen
on_screen() {
    local pos size=${2%%+*} rest=${2#*+}
    pos=$(window_pos "$1")
    echo "$size+$((${pos%,*} + ${rest%+*}))+$((${pos#*,} + ${rest#*+}))"
}

# Pure-red pixels (the series colour the result window starts with) inside
# a box of an image: red clearly above green.
red_pixels() {
    local image=$1 box=$2
    convert "$image" -crop "$box" +repage -colorspace sRGB \
        \( -clone 0 -channel R -separate +channel \) \( -clone 0 -channel G -separate +channel \) \
        -delete 0 -compose minus_src -composite -threshold 50% -format '%[fx:round(mean*w*h)]' info:
}

# 1 when the screen pixel at a place of a window is the highlight blue of a
# filled progress bar, else 0.
is_bar_blue() {
    local image=$1 w=$2 x=$3 y=$4 pos
    pos=$(window_pos "$w")
    convert "$image" -format "%[fx:(p{$((${pos%,*} + x)),$((${pos#*,} + y))}.b - p{$((${pos%,*} + x)),$((${pos#*,} + y))}.r > 0.25) ? 1 : 0]" info:
}

differing_pixels() {
    local a=$1 b=$2 box=$3 n
    convert "$a" -crop "$box" +repage "$WORK/compare-a.png"
    convert "$b" -crop "$box" +repage "$WORK/compare-b.png"
    n=$(compare -metric AE "$WORK/compare-a.png" "$WORK/compare-b.png" null: 2>&1 || true)
    echo "${n%% *}"
}

# --------------------------------------------------------------------------
# The X event log: busy message windows. The busy window has a fixed
# designed size of 554 x 36 pixels and widens only for a longer text.
# --------------------------------------------------------------------------
readonly BUSY_MIN_WIDTH=554 BUSY_HEIGHT=36

event_mark() { wc -l <"$XEV_LOG"; }

# Prints "mapped destroyed": busy windows created after line MARK of the log
# that were shown, and how many of those are gone again.
busy_windows_since() {
    awk -v from="$1" -v minw="$BUSY_MIN_WIDTH" -v h="$BUSY_HEIGHT" '
        NR <= from { next }
        /^CreateNotify/ { kind = "create"; next }
        /^MapNotify/ { kind = "map"; next }
        /^DestroyNotify/ { kind = "destroy"; next }
        /^[A-Za-z]/ { kind = ""; next }
        kind != "" {
            line = $0; gsub(/,/, " ", line); n = split(line, f, " ")
            id = ""
            for (i = 1; i < n; i++) if (f[i] == "window") id = f[i + 1]
            if (kind == "create") {
                for (i = 1; i < n; i++) { if (f[i] == "width") wd = f[i + 1]; if (f[i] == "height") ht = f[i + 1] }
                if (wd + 0 >= minw && ht + 0 == h) busy[id] = 1
            } else if (kind == "map" && (id in busy)) { mapped[id] = 1 }
            else if (kind == "destroy" && (id in mapped)) { gone[id] = 1 }
            kind = ""
        }
        END { m = 0; g = 0; for (i in mapped) m++; for (i in gone) g++; print m, g }
    ' "$XEV_LOG"
}

# Waits until a busy window has been shown after MARK and is gone again.
wait_busy_window_done() {
    local mark=$1 what=$2 seconds=$3
    local end=$(($(date +%s) + seconds)) counts
    while [ "$(date +%s)" -le "$end" ]; do
        counts=$(busy_windows_since "$mark")
        if [ "${counts% *}" -ge 1 ] && [ "${counts#* }" -ge "${counts% *}" ]; then
            return 0
        fi
        program_alive || fail "the program ended during $what (exit code $PROGRAM_RC)"
        sleep 0.1
    done
    fail "no busy window of $what was shown and closed within ${seconds}s (shown, closed: $counts)"
}

# --------------------------------------------------------------------------
# The program and its store.
# --------------------------------------------------------------------------
program_alive() {
    [ -n "$PROGRAM_PID" ] || return 1
    if kill -0 "$PROGRAM_PID" 2>/dev/null; then return 0; fi
    if [ -z "$PROGRAM_RC" ]; then
        PROGRAM_RC=0
        wait "$PROGRAM_PID" || PROGRAM_RC=$?
    fi
    return 1
}

start_program() {
    mkdir -p "$WORK/tmp" "$WORK/runtime" "$WORK/config"
    chmod 700 "$WORK/runtime"
    # Its own lock folder, runtime and settings folders; the X platform with
    # no scaling, whatever the calling shell had.
    (
        cd "$WORK"
        unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR \
            QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME WAYLAND_DISPLAY
        export QT_QPA_PLATFORM=xcb TMPDIR="$WORK/tmp" XDG_RUNTIME_DIR="$WORK/runtime" \
            XDG_CONFIG_HOME="$WORK/config"
        exec "$APP/bin/verdanel"
    ) >"$PROGRAM_LOG" 2>&1 &
    PROGRAM_PID=$!
    log "program started (pid $PROGRAM_PID) from $APP"
}

sql() { sqlite3 -readonly -batch "$STORE" "$1"; }

# "model<TAB>name<TAB>chemical<TAB>start<TAB>end" of a stored scenario, or nothing.
stored_scenario() {
    "$CLI" --store "$STORE" scenarios --model "$1" | awk -F '\t' -v n="$2" '$2 == n'
}

inode() { stat -c %i "$STORE"; }

# --------------------------------------------------------------------------
# Places in the windows.
#
# The model chooser is laid out in dialog units (1 unit = 1.5 px across and
# 1.625 px down): its buttons stand at fixed places.
# --------------------------------------------------------------------------
dlu_x() { echo $((($1 * 3 + 1) / 2)); }
dlu_y() { echo $((($1 * 13 + 4) / 8)); }
# centre of a chooser button at (x, y) units, 57 x 23 units large
chooser_button() { echo "$(($(dlu_x "$1") + $(dlu_x 57) / 2)) $(($(dlu_y "$2") + $(dlu_y 23) / 2))"; }
read -r STREAM_X STREAM_Y < <(chooser_button 7 203)
read -r DITCH_X DITCH_Y < <(chooser_button 67 203)
read -r QUIT_X QUIT_Y < <(chooser_button 67 227)
CHOOSER_SIZE="$(dlu_x 131)x$(dlu_y 271)"
readonly CHOOSER_SIZE

# The result window is laid out once for its texts and then has a fixed
# size, RESULT_SIZE with the program's Hangul font; the places below were
# measured on it. Its places: the "삭제" and "모델링" buttons and the two tabs
# from the top-left corner; the bottom row of buttons from the bottom-right
# corner; boxes inside the chart and the result pages.
readonly RESULT_SIZE=1313x658
readonly RESULT_DELETE=(345 52)
readonly RESULT_MODELING=(311 331)
readonly RESULT_FINAL_TAB=(447 134)
readonly RESULT_DETAIL_TAB=(521 134)
readonly RESULT_CSV_FROM_RIGHT=(336 22)
readonly RESULT_IMAGE_FROM_RIGHT=(195 22)
readonly RESULT_CLOSE_FROM_RIGHT=(57 22)
# inside the chart's frame: left, top, and margins to the right and bottom edge
readonly RESULT_CHART=(256 376 56 64)
# the result pages below their tabs
readonly RESULT_PAGES=(415 150 15 345)
# The scenario window: a point inside the progress bar, from its bottom-right.
readonly SCENARIO_BAR_FROM_RIGHT=(200 22)

from_right() { # WIN DX DY -> x y
    local size
    size=$(window_size "$1")
    echo "$((${size%x*} - $2)) $((${size#*x} - $3))"
}
# Boxes of the result window, relative to it.
chart_box() {
    local size
    size=$(window_size "$1")
    box "${RESULT_CHART[0]}" "${RESULT_CHART[1]}" $((${size%x*} - RESULT_CHART[2])) $((${size#*x} - RESULT_CHART[3]))
}
pages_box() {
    local size
    size=$(window_size "$1")
    box "${RESULT_PAGES[0]}" "${RESULT_PAGES[1]}" $((${size%x*} - RESULT_PAGES[2])) "${RESULT_PAGES[3]}"
}

# --------------------------------------------------------------------------
# Checks of the exported files (after the program has ended).
# --------------------------------------------------------------------------
le_u32() { od -An -t u4 -j "$2" -N 4 --endian=little "$1" | tr -d ' '; }
le_u16() { od -An -t u2 -j "$2" -N 2 --endian=little "$1" | tr -d ' '; }
le_s32() { od -An -t d4 -j "$2" -N 4 --endian=little "$1" | tr -d ' '; }

check_bmp() {
    local file=$1 size=$2 what=$3
    [ -s "$file" ] || fail "$what: the picture $file was not written"
    [ "$(head -c 2 "$file")" = "BM" ] || fail "$what: $file does not start with BM"
    local width height bpp offset filesize stride
    width=$(le_s32 "$file" 18)
    height=$(le_s32 "$file" 22)
    bpp=$(le_u16 "$file" 28)
    offset=$(le_u32 "$file" 10)
    filesize=$(le_u32 "$file" 2)
    [ "$bpp" = 24 ] || fail "$what: $bpp bits per pixel instead of 24"
    [ "$(le_u32 "$file" 14)" = 40 ] || fail "$what: the information header is not 40 bytes long"
    [ "$(le_u32 "$file" 30)" = 0 ] || fail "$what: the picture is compressed"
    [ "$offset" = 54 ] || fail "$what: the pixel rows start at $offset instead of 54"
    [ "${width}x${height}" = "$size" ] || fail "$what: the picture is ${width}x${height}, the window $size"
    stride=$((((width * 3) + 3) / 4 * 4))
    [ "$(stat -c %s "$file")" = $((54 + stride * height)) ] ||
        fail "$what: $(stat -c %s "$file") bytes instead of 54 + $stride x $height"
    [ "$filesize" = $((54 + stride * height)) ] || fail "$what: the header gives the file size $filesize"
    log "$what: BM, ${width}x${height}, 24 bpp, stride $stride, $(stat -c %s "$file") bytes"
}

# check_csv FILE VALUES ROWS WHAT
check_csv() {
    local file=$1 values=$2 rows=$3 what=$4
    [ -s "$file" ] || fail "$what: the file $file was not written"
    local text="$WORK/csv.utf8"
    iconv -f CP949 -t UTF-8 "$file" >"$text" 2>"$WORK/iconv.err" ||
        fail "$what: $file is not CP949 text: $(head -c 200 "$WORK/iconv.err")"
    # Every line ends with CR LF: as many CR as LF bytes, and none alone.
    local lf cr crlf
    lf=$(tr -cd '\n' <"$file" | wc -c)
    cr=$(tr -cd '\r' <"$file" | wc -c)
    crlf=$(grep -c $'\r$' "$file" || true)
    { [ "$lf" -gt 0 ] && [ "$lf" = "$cr" ] && [ "$crlf" = "$lf" ]; } ||
        fail "$what: not every line ends with CR LF ($lf LF, $cr CR, $crlf lines ending in CR)"
    [ "$(tail -c 2 "$file" | od -An -t x1 | tr -d ' ')" = "0d0a" ] || fail "$what: the last line does not end with CR LF"
    # The Korean titles are stored in CP949, not in UTF-8.
    local title
    title=$(printf '##최종결과##\r' | iconv -f UTF-8 -t CP949)
    [ "$(head -n 1 "$file")" = "$title" ] || fail "$what: the first line is not ##최종결과## in CP949"
    tr -d '\r' <"$text" >"$text.lf"
    for section in '##간략정보##' '##상세정보##'; do
        grep -qx -- "$section" "$text.lf" || fail "$what: no section $section"
    done
    grep -q '^Water,[0-9]' "$text.lf" || fail "$what: no water summary line with a maximum"
    grep -A1 -x -- '##간략정보##' "$text.lf" | tail -n 1 | grep -qx '월,일,시각,분,Cwater' ||
        fail "$what: the brief section has not the header 월,일,시각,분,Cwater"
    grep -A1 -x -- '##상세정보##' "$text.lf" | tail -n 1 | grep -qx '월,일,시각,분,Cair(spray1),.*,Cwater' ||
        fail "$what: the detailed section has not the header 월,일,시각,분,Cair(spray1),...,Cwater"
    # Both data sections hold every row of the search, as many as the store had.
    local brief detail bad
    read -r brief detail bad < <(awk -F ',' -v values="$values" '
        /^##간략정보##$/ { s = 1; getline; next }
        /^##상세정보##$/ { s = 2; getline; next }
        s == 1 && NF > 0 { if (NF == 5) b++; else x++ }
        s == 2 && NF > 0 { if (NF == 4 + values) d++; else x++ }
        END { print b + 0, d + 0, x + 0 }' "$text.lf")
    [ "$bad" = 0 ] || fail "$what: $bad data lines have the wrong number of fields"
    { [ "$brief" = "$rows" ] && [ "$detail" = "$rows" ]; } ||
        fail "$what: $brief brief and $detail detailed lines, but the store held $rows rows"
    head -n 40 "$text.lf" >"$ARTIFACTS/$(basename "${file%.csv}")-head.txt"
    log "$what: CP949, CR LF, sections present, $rows rows in both data sections"
}

# ==========================================================================
# The walk.
# ==========================================================================
YEAR=$(date +%Y)
EXPECTED_START="$((YEAR - 1))-06-01"
EXPECTED_END="$((YEAR - 1))-11-29"

declare -A CSV_ROWS WINDOW_SIZE
WALK_NAMES=()
CHOOSER=""
RESULT=""
FOUND=""
MEASURED=""

# until_screen SECONDS WHAT CHECK [ARGS...]: takes the stage's screenshot
# again until `CHECK ARGS... IMAGE` holds; fails with WHAT after SECONDS.
# (A window may still be painting when its stage begins.)
until_screen() {
    local seconds=$1 what=$2
    shift 2
    local end=$(($(date +%s) + seconds))
    while :; do
        sleep 0.2
        screen_to "$ARTIFACTS/$STAGE.png"
        "$@" "$ARTIFACTS/$STAGE.png" && return 0
        [ "$(date +%s)" -le "$end" ] || fail "$what (after ${seconds}s)"
    done
}
# Checks for until_screen; MEASURED keeps the last count for the messages.
chart_red_at_least() { MEASURED=$(red_pixels "$3" "$(on_screen "$2" "$(chart_box "$2")")"); [ "$MEASURED" -ge "$1" ]; }
chart_red_none() { MEASURED=$(red_pixels "$2" "$(on_screen "$1" "$(chart_box "$1")")"); [ "$MEASURED" = 0 ]; }
# bar_filled WIN "X Y" IMAGE
bar_filled() {
    local x=${2% *} y=${2#* }
    [ "$(is_bar_blue "$3" "$1" "$x" "$y")" = 1 ]
}
pages_differ_from() {
    MEASURED=$(differing_pixels "$1" "$3" "$(on_screen "$2" "$(pages_box "$2")")")
    [ "${MEASURED:-0}" -gt 1000 ]
}

# Waits until no window is shown but the given ones (a file name completion
# list must not take the Enter meant for the dialog).
wait_only_windows() {
    local end=$(($(date +%s) + 10)) w known extra
    while :; do
        extra=""
        for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
            known=0
            for k in "$@"; do [ "$w" = "$k" ] && known=1; done
            [ "$(window_size "$w")" = 1400x900 ] && known=1
            [ "$known" = 0 ] && extra="$extra $w"
        done
        [ -z "$extra" ] && return 0
        [ "$(date +%s)" -le "$end" ] || fail "a window (${extra# }) stays open over the save dialog"
        sleep 0.1
    done
}

# save_as DIALOG PATH: types a full file name into a save dialog and accepts it.
save_as() {
    local dialog=$1 path=$2
    wait_focus "$dialog" "the save dialog"
    xdotool key ctrl+a
    xdotool type --delay 20 "$path"
    wait_only_windows "$CHOOSER" "$RESULT" "$dialog"
    shot
    xdotool key Return
    wait_gone "$dialog" "the save dialog" 30
}

# walk_model MODEL_TITLE MODEL_TEXT CHOOSER_X CHOOSER_Y CHEMICAL_KEY CHEMICAL
walk_model() {
    local title=$1 model=$2 bx=$3 by=$4 key=$5 chemical=$6 delete_rewrites=$7
    local name="e2e $model $$"
    WALK_NAMES+=("$name")
    [ -z "$(stored_scenario "$model" "$name")" ] || fail "the copied store already holds a scenario '$name'"

    stage "$model-result-window"
    click "$CHOOSER" "$bx" "$by"
    wait_window "$title" 30 "$CHOOSER"
    RESULT=$FOUND
    # A pixel or two of difference comes from font rendering and moves none of
    # the places below; more than that means the layout itself has changed.
    local size want_w want_h got_w got_h
    size=$(window_size "$RESULT")
    want_w=${RESULT_SIZE%x*}; want_h=${RESULT_SIZE#*x}; got_w=${size%x*}; got_h=${size#*x}
    (( got_w - want_w <= 8 && want_w - got_w <= 8 && got_h - want_h <= 8 && want_h - got_h <= 8 )) ||
        fail "the result window is $size large, not about $RESULT_SIZE: its layout has changed," \
            "and the places this walk clicks must be measured again"
    wait_focus "$RESULT" "the $title result window"
    sleep 0.3
    shot
    chart_red_none "$RESULT" "$ARTIFACTS/$STAGE.png" ||
        fail "the chart of a fresh result window is not empty ($MEASURED red pixels)"

    stage "$model-scenario-window"
    click "$RESULT" "${RESULT_MODELING[@]}"
    wait_window "$title" 30 "$CHOOSER" "$RESULT"
    local scenario=$FOUND
    wait_focus "$scenario" "the $title scenario window"
    sleep 0.3
    shot
    local bar
    bar=$(from_right "$scenario" "${SCENARIO_BAR_FROM_RIGHT[@]}")
    ! bar_filled "$scenario" "$bar" "$ARTIFACTS/$STAGE.png" || fail "the progress bar is filled before the run"

    stage "$model-inputs"
    # The focus starts in the name field; the chemical list follows it. One
    # letter picks the chemical: several would depend on the typing speed.
    xdotool type --delay 40 "$name"
    xdotool key Tab
    xdotool type "$key"
    # Backwards from the list: name, start button, the box "print results
    # after the simulation", which is switched off so that the run ends with
    # its completion message; then forward to the start button.
    xdotool key shift+Tab shift+Tab shift+Tab space
    sleep 0.5
    shot

    stage "$model-running"
    xdotool key Tab space
    sleep 0.3
    shot

    stage "$model-run-complete"
    wait_window verdanel 180 "$CHOOSER"
    local box=$FOUND
    until_screen 20 "the progress bar of the $(window_size "$scenario") scenario window is not filled at the end of the run" \
        bar_filled "$scenario" "$bar"
    # The run is in the store while its message is still open.
    local row rows
    row=$(stored_scenario "$model" "$name")
    [ -n "$row" ] || fail "the completion message is shown, but the store has no scenario '$name'"
    [ "$row" = "$(printf '%s\t%s\t%s\t%s\t%s' "$model" "$name" "$chemical" "$EXPECTED_START" "$EXPECTED_END")" ] ||
        fail "the stored scenario is '$row', expected chemical $chemical from $EXPECTED_START to $EXPECTED_END"
    rows=$(sql "select count(*) from model_output_$model where scenario_name = '$name'")
    [ "$rows" -gt 0 ] || fail "the run stored no output rows"
    CSV_ROWS[$model]=$rows
    log "stored: $row, $rows output rows"
    wait_focus "$box" "the completion message"
    xdotool key Return
    wait_gone "$box" "the completion message" 20

    stage "$model-searched"
    local mark
    mark=$(event_mark)
    wait_focus "$scenario" "the scenario window after its message"
    xdotool key Escape
    wait_gone "$scenario" "the scenario window" 20
    wait_busy_window_done "$mark" "the search" 60
    until_screen 20 "the chart shows no series after the search" chart_red_at_least 100 "$RESULT"
    log "chart drawn: $MEASURED red pixels"
    local final_shot="$ARTIFACTS/$STAGE.png"

    stage "$model-detail-page"
    click "$RESULT" "${RESULT_DETAIL_TAB[@]}"
    until_screen 20 "the tab 상세 결과 does not show another page" pages_differ_from "$final_shot" "$RESULT"
    local detail_shot="$ARTIFACTS/$STAGE.png"

    stage "$model-final-page"
    click "$RESULT" "${RESULT_FINAL_TAB[@]}"
    until_screen 20 "the tab 최종 결과 does not bring the final results page back" \
        pages_differ_from "$detail_shot" "$RESULT"

    stage "$model-csv-export"
    local csv="$EXPORTS/csv-$model.csv"
    # shellcheck disable=SC2046
    click "$RESULT" $(from_right "$RESULT" "${RESULT_CSV_FROM_RIGHT[@]}")
    wait_window "조회 결과 저장" 30 "$CHOOSER" "$RESULT"
    save_as "$FOUND" "$csv"
    local end=$(($(date +%s) + 60))
    until [ -s "$csv" ]; do
        [ "$(date +%s)" -le "$end" ] || fail "the CSV file $csv was not written"
        sleep 0.2
    done

    stage "$model-image-export"
    local bmp="$EXPORTS/bmp-$model.bmp" size expected
    size=$(window_size "$RESULT")
    WINDOW_SIZE[$model]=$size
    expected=$((54 + ((${size%x*} * 3 + 3) / 4 * 4) * ${size#*x}))
    # shellcheck disable=SC2046
    click "$RESULT" $(from_right "$RESULT" "${RESULT_IMAGE_FROM_RIGHT[@]}")
    wait_dialog 60 "$CHOOSER" "$RESULT"
    log "picture save dialog: '$(xdotool getwindowname "$FOUND")'"
    save_as "$FOUND" "$bmp"
    end=$(($(date +%s) + 60))
    until [ -s "$bmp" ] && [ "$(stat -c %s "$bmp")" -ge "$expected" ]; do
        [ "$(date +%s)" -le "$end" ] || fail "the picture $bmp was not written in full"
        sleep 0.2
    done
    cp "$bmp" "$ARTIFACTS/"
    # The picture shows the drawn chart.
    MEASURED=$(red_pixels "$bmp" "$(chart_box "$RESULT")")
    [ "$MEASURED" -ge 100 ] || fail "the picture does not show the chart's series ($MEASURED red pixels)"

    stage "$model-delete-asked"
    local before size_before question
    before=$(inode)
    size_before=$(stat -c %s "$STORE")
    mark=$(event_mark)
    click "$RESULT" "${RESULT_DELETE[@]}"
    # The question comes first, before any busy window; Cancel (Escape) keeps everything.
    wait_question 30
    question=$FOUND
    [ "$(busy_windows_since "$mark")" = "0 0" ] || fail "a busy window was shown before the delete question"
    wait_focus "$question" "the delete question"
    log "delete question: $(window_size "$question") at $(window_pos "$question")"
    sleep 0.3
    shot

    stage "$model-delete-cancelled"
    xdotool key Escape
    wait_gone "$question" "the delete question" 20
    sleep 0.5
    [ "$(busy_windows_since "$mark")" = "0 0" ] || fail "the cancelled delete showed a busy window"
    [ -n "$(stored_scenario "$model" "$name")" ] || fail "the cancelled delete removed the scenario '$name'"
    [ "$(inode)" = "$before" ] || fail "the cancelled delete compacted the store"
    until_screen 10 "the chart lost its series after the cancelled delete" chart_red_at_least 100 "$RESULT"

    stage "$model-deleted"
    mark=$(event_mark)
    click "$RESULT" "${RESULT_DELETE[@]}"
    wait_question 30
    question=$FOUND
    wait_focus "$question" "the delete question"
    log "the delete question is answered OK"
    xdotool key Return
    wait_gone "$question" "the delete question" 20
    wait_busy_window_done "$mark" "the delete" 60
    until_screen 20 "the chart still shows series after the delete" chart_red_none "$RESULT"
    [ -z "$(stored_scenario "$model" "$name")" ] || fail "the scenario '$name' is still stored after the delete"
    rows=$(sql "select count(*) from model_output_$model where scenario_name = '$name'")
    [ "$rows" = 0 ] || fail "$rows output rows of '$name' are left after the delete"
    if [ "$delete_rewrites" = rewrite ]; then
        [ "$(inode)" != "$before" ] || fail "the store was not rewritten after the delete (same file)"
        [ "$(sql "pragma auto_vacuum")" = 2 ] || fail "the rewritten store has no incremental auto-vacuum"
    else
        [ "$(inode)" = "$before" ] || fail "the delete rewrote the store, which could give its pages back in place"
        [ "$(stat -c %s "$STORE")" -lt "$size_before" ] || fail "the store did not shrink after the delete"
    fi
    [ "$(sql "pragma freelist_count")" = 0 ] || fail "free pages are left in the store after the delete"

    stage "$model-closed"
    # shellcheck disable=SC2046
    click "$RESULT" $(from_right "$RESULT" "${RESULT_CLOSE_FROM_RIGHT[@]}")
    wait_gone "$RESULT" "the result window" 30
    is_visible "$CHOOSER" || fail "the chooser is not shown after the result window closed"
    sleep 0.3
    shot
}

start_x_server
mkdir -p "$EXPORTS"
cp -a "$APP_SRC" "$APP"
rm -f "$APP/Database/test.mdb"
# A store as made before incremental auto-vacuum (see the top).
sqlite3 "$APP/Database/Verdanel.mdb" "pragma auto_vacuum = none; vacuum;"
[ "$(sqlite3 "$APP/Database/Verdanel.mdb" "pragma auto_vacuum")" = 0 ] || fail "could not make the old-style store"
start_program

stage chooser
wait_window Verdanel 60
CHOOSER=$FOUND
[ "$(window_size "$CHOOSER")" = "$CHOOSER_SIZE" ] ||
    fail "the chooser is $(window_size "$CHOOSER") large, its layout gives $CHOOSER_SIZE"
wait_focus "$CHOOSER" "the chooser"
sleep 0.3
shot

walk_model "Stream Model" stream "$STREAM_X" "$STREAM_Y" D Diazinon rewrite
walk_model "Ditch Model" ditch "$DITCH_X" "$DITCH_Y" T Tricyclazole in-place

stage quit
BEFORE_QUIT=$(inode)
MARK=$(event_mark)
click "$CHOOSER" "$QUIT_X" "$QUIT_Y"
END=$(($(date +%s) + 60))
while program_alive; do
    [ "$(date +%s)" -le "$END" ] || fail "the program did not end within 60s after Quit"
    sleep 0.1
done
screen_to "$ARTIFACTS/$STAGE.png"
[ "$PROGRAM_RC" = 0 ] || fail "the program ended with exit code $PROGRAM_RC after Quit"
read -r MAPPED GONE < <(busy_windows_since "$MARK")
[ "$MAPPED" = 0 ] || fail "Quit showed a busy window although nothing was left to reclaim"
log "program ended with 0 at once, without a busy window (nothing to reclaim)"

stage store-after-quit
[ "$(inode)" = "$BEFORE_QUIT" ] || fail "Quit rewrote the store although nothing was left to reclaim"
[ ! -e "$APP/Database/test.mdb" ] || fail "Database/test.mdb is left after Quit"
LEFT=$(cd "$APP/Database" && ls -A)
[ "$LEFT" = "Verdanel.mdb" ] || fail "the Database folder holds more than the store: $(echo "$LEFT" | tr '\n' ' ')"
[ "$(sql 'PRAGMA integrity_check')" = ok ] || fail "the store fails its integrity check"
for name in "${WALK_NAMES[@]}"; do
    [ "$(sql "select count(*) from Scenario_Info where Scenario_Name = '$name'")" = 0 ] ||
        fail "the scenario '$name' is left in the store"
done

stage exported-files
check_csv "$EXPORTS/csv-stream.csv" 14 "${CSV_ROWS[stream]}" "Stream CSV"
check_csv "$EXPORTS/csv-ditch.csv" 8 "${CSV_ROWS[ditch]}" "Ditch CSV"
check_bmp "$EXPORTS/bmp-stream.bmp" "${WINDOW_SIZE[stream]}" "Stream picture"
check_bmp "$EXPORTS/bmp-ditch.bmp" "${WINDOW_SIZE[ditch]}" "Ditch picture"

PASSED=1
log "PASSED: the road of one run, Stream and Ditch; screenshots in $ARTIFACTS"
