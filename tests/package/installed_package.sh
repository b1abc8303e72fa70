#!/usr/bin/env bash
# The Debian package, installed and used the way a user gets it:
#
#   cpack makes verdanel_*.deb from the build -> apt-get installs it ->
#   a new user with an empty home starts `verdanel` (the launcher in /usr/bin)
#   under Xvfb -> ~/.local/share/verdanel appears with INI/CONNECTION.INI,
#   Database/Verdanel.mdb and input/, copied from the installed samples and
#   owned by the user, and the chooser window shows -> Quit (compaction in the
#   user's folder) -> as that user `verdanel-cli run` stores a run in that
#   store -> a second start keeps the user's files -> apt-get remove takes
#   the package away and leaves the user's folder as it was.
#
# The program runs with a TMPDIR, runtime folder and X server of its own, so
# the single-instance lock of other tests on this machine is not touched.
# One run at a time (a lock file); the package and the throw-away user are
# removed at the end whatever happened.
#
# usage: installed_package.sh BUILD_DIR ARTIFACT_DIR
# exit:  0 passed, 1 failed (the message names the stage), 77 skipped: not
#        root, no apt-get/dpkg/useradd here, no X server to start, or a
#        verdanel package this test did not install is already installed.
set -euo pipefail

readonly SKIP=77
readonly TEST_USER=verdanel-pkgtest
readonly RUN_LOCK=/tmp/verdanel-package-test.lock
# Written while the package this test installed is on the machine, so that a
# run killed half-way is cleaned up by the next one.
readonly INSTALLED_MARK=/tmp/verdanel-package-test.installed

if [ $# -ne 2 ]; then
    echo "usage: $0 BUILD_DIR ARTIFACT_DIR" >&2
    exit 2
fi
BUILD=$(cd "$1" && pwd)
mkdir -p "$2"
ARTIFACTS=$(cd "$2" && pwd)

skip() {
    echo "SKIP: $*" >&2
    exit $SKIP
}

if [ "$(id -u)" != 0 ]; then
    skip "installing a package needs root. Run the tests as root (CI does: .ci/run) to install," \
         "use and remove the package; nothing was changed."
fi
for tool in apt-get dpkg dpkg-deb dpkg-query useradd userdel setpriv flock; do
    command -v "$tool" >/dev/null || skip "'$tool' is missing, so this machine cannot install packages or add a user."
done
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null ||
        skip "'$tool' is not installed, so no X server can be started here (scripts/setup.sh installs it)."
done
for tool in cpack import sqlite3 cmp diff; do
    command -v "$tool" >/dev/null || { echo "FAILED before the test: '$tool' is missing" >&2; exit 1; }
done
[ -f "$BUILD/CPackConfig.cmake" ] || { echo "FAILED: $BUILD/CPackConfig.cmake is missing (configure first)" >&2; exit 1; }

exec 9>"$RUN_LOCK"
flock -w 900 9 || { echo "FAILED: another package test held $RUN_LOCK for 15 minutes" >&2; exit 1; }

is_installed() { dpkg-query -W -f='${Status}' verdanel 2>/dev/null | grep -q "install ok installed"; }

if is_installed; then
    if [ -e "$INSTALLED_MARK" ]; then
        echo "Removing the package an interrupted run of this test left installed." >&2
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq -o DPkg::Lock::Timeout=300 verdanel >/dev/null
        rm -f "$INSTALLED_MARK"
    else
        skip "a verdanel package is already installed on this machine ($(dpkg-query -W -f='${Version}' verdanel))." \
             "This test installs and removes its own and leaves that one alone; 'apt-get remove verdanel' first to run it."
    fi
fi
rm -f "$INSTALLED_MARK"

rm -f "$ARTIFACTS"/*-FAILED.png "$ARTIFACTS"/program.log "$ARTIFACTS"/cpack.log "$ARTIFACTS"/apt.log

START_NS=$(date +%s%N)
log() { printf '[%5.1fs] %s\n' "$(awk -v s="$START_NS" -v n="$(date +%s%N)" 'BEGIN { print (n - s) / 1e9 }')" "$*"; }

WORK=$(mktemp -d /tmp/verdanel-package.XXXXXX)
chmod 755 "$WORK"
USER_HOME="$WORK/home"
USER_FOLDER="$USER_HOME/.local/share/verdanel"
XVFB_PID=""
PROGRAM_PID=""
PROGRAM_RC=""
INSTALLED=0
PASSED=0
STAGE="setup"

stop_pid() {
    local pid=$1
    [ -n "$pid" ] || return 0
    kill -0 "$pid" 2>/dev/null || return 0
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
    stop_pid "$XVFB_PID"
    if [ "$INSTALLED" = 1 ] && is_installed; then
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq -o DPkg::Lock::Timeout=300 verdanel >/dev/null 2>&1 ||
            echo "WARNING: could not remove the package verdanel again" >&2
    fi
    is_installed || rm -f "$INSTALLED_MARK"
    if id "$TEST_USER" >/dev/null 2>&1; then
        pkill -KILL -u "$TEST_USER" 2>/dev/null
        userdel "$TEST_USER" 2>/dev/null || echo "WARNING: could not remove the user $TEST_USER" >&2
    fi
    if [ "$PASSED" = 1 ]; then
        rm -rf "$WORK"
    else
        for f in program.log cpack.log apt.log; do [ -f "$WORK/$f" ] && cp "$WORK/$f" "$ARTIFACTS/$f"; done
        echo "The working folder is kept for inspection: $WORK" >&2
    fi
    exit $rc
}
trap cleanup EXIT
trap 'fail "interrupted"' TERM INT

fail() {
    trap - TERM INT
    set +e
    echo >&2
    echo "FAILED at stage $STAGE: $*" >&2
    if [ -n "${DISPLAY:-}" ]; then
        import -window root "$ARTIFACTS/$STAGE-FAILED.png" 2>/dev/null &&
            echo "  screenshot: $ARTIFACTS/$STAGE-FAILED.png" >&2
    fi
    if [ -s "$WORK/program.log" ]; then
        echo "  program output (last lines):" >&2
        tail -n 20 "$WORK/program.log" | sed 's/^/    /' >&2
    fi
    exit 1
}

stage() {
    STAGE=$1
    log "stage $STAGE"
}

# --------------------------------------------------------------------------
stage make-package
# --------------------------------------------------------------------------
cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/package" >"$WORK/cpack.log" 2>&1 ||
    fail "cpack did not make the package: $(tail -n 5 "$WORK/cpack.log")"
DEB=$(ls "$WORK"/package/verdanel_*.deb 2>/dev/null | head -n 1)
[ -n "$DEB" ] || fail "cpack made no verdanel_*.deb"
dpkg-deb -c "$DEB" | awk '{ print $1, substr($0, index($0, $6)) }' >"$ARTIFACTS/package-files.txt"
dpkg-deb -I "$DEB" >"$ARTIFACTS/package-info.txt"
DEPENDS=$(dpkg-deb -f "$DEB" Depends)
for needed in fonts-nanum qt6-translations-l10n libqt6widgets6 libsqlite3-0 libstdc++6; do
    [[ ", $DEPENDS," == *", $needed"[\ ,]* ]] || fail "the package does not depend on $needed: $DEPENDS"
done
for path in ./usr/bin/verdanel ./usr/bin/verdanel-cli ./usr/lib/verdanel/bin/verdanel ./usr/lib/verdanel/bin/verdanel-cli \
    ./usr/share/verdanel/INI/CONNECTION.INI ./usr/share/verdanel/Database/Verdanel.mdb ./usr/share/verdanel/input/wind.txt \
    ./usr/share/applications/org.verdanel.Verdanel.desktop ./usr/share/metainfo/org.verdanel.Verdanel.metainfo.xml \
    ./usr/share/icons/hicolor/256x256/apps/org.verdanel.Verdanel.png ./usr/share/man/man1/verdanel-cli.1.gz; do
    grep -q " $path\$" "$ARTIFACTS/package-files.txt" || fail "the package has no $path"
done
log "$(basename "$DEB"): $(wc -l <"$ARTIFACTS/package-files.txt") entries; Depends: $DEPENDS"

# The desktop entry and the AppStream metadata, with the validators this machine has.
mkdir -p "$WORK/unpacked"
dpkg-deb -x "$DEB" "$WORK/unpacked"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$WORK/unpacked/usr/share/applications/org.verdanel.Verdanel.desktop" ||
        fail "desktop-file-validate refused the desktop entry"
    log "desktop entry valid (desktop-file-validate)"
else
    log "desktop-file-validate is not installed: the desktop entry is not validated"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$WORK/unpacked/usr/share/metainfo/org.verdanel.Verdanel.metainfo.xml" ||
        fail "appstreamcli refused the metainfo file"
    log "metainfo valid (appstreamcli validate)"
else
    log "appstreamcli is not installed: the metainfo file is not validated"
fi

# --------------------------------------------------------------------------
stage install
# --------------------------------------------------------------------------
echo "$$" >"$INSTALLED_MARK"
INSTALLED=1
DEBIAN_FRONTEND=noninteractive apt-get install -y -o DPkg::Lock::Timeout=300 "$DEB" >"$WORK/apt.log" 2>&1 ||
    fail "apt-get install did not install the package: $(tail -n 5 "$WORK/apt.log")"
is_installed || fail "dpkg does not list verdanel as installed"
[ "$(command -v verdanel)" = /usr/bin/verdanel ] || fail "'verdanel' is not found on the PATH"
SAMPLES=/usr/share/verdanel
SAMPLE_DIGEST=$(sqlite3 -readonly "$SAMPLES/Database/Verdanel.mdb" .dump | md5sum)
log "installed with apt-get"

# --------------------------------------------------------------------------
stage new-user
# --------------------------------------------------------------------------
if id "$TEST_USER" >/dev/null 2>&1; then userdel "$TEST_USER" || fail "a leftover user $TEST_USER cannot be removed"; fi
useradd --no-create-home --home-dir "$USER_HOME" --shell /bin/sh --user-group "$TEST_USER" ||
    fail "useradd did not add the user $TEST_USER"
TEST_UID=$(id -u "$TEST_USER")
TEST_GID=$(id -g "$TEST_USER")
# An empty home, and a temporary and a runtime folder of the user's own.
mkdir -p "$USER_HOME" "$WORK/user-tmp" "$WORK/user-runtime"
chown "$TEST_UID:$TEST_GID" "$USER_HOME" "$WORK/user-tmp" "$WORK/user-runtime"
chmod 700 "$USER_HOME" "$WORK/user-tmp" "$WORK/user-runtime"
[ -z "$(ls -A "$USER_HOME")" ] || fail "the new user's home is not empty"

# as_user [VAR=VALUE...] COMMAND...: runs as the test user in a clean
# environment, in the user's home.
as_user() {
    (
        cd "$USER_HOME"
        exec setpriv --reuid="$TEST_UID" --regid="$TEST_GID" --init-groups -- \
            env -i HOME="$USER_HOME" USER="$TEST_USER" LOGNAME="$TEST_USER" SHELL=/bin/sh \
            PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 TMPDIR="$WORK/user-tmp" \
            XDG_RUNTIME_DIR="$WORK/user-runtime" ${DISPLAY:+DISPLAY="$DISPLAY"} "$@"
    )
}
log "user $TEST_USER ($TEST_UID) with the empty home $USER_HOME"

# --------------------------------------------------------------------------
stage x-server
# --------------------------------------------------------------------------
: >"$WORK/display"
Xvfb -displayfd 3 -screen 0 1400x900x24 -nolisten tcp -noreset 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 1 150); do
    [ -s "$WORK/display" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
done
NUMBER=$(tr -dc '0-9' <"$WORK/display")
if [ -z "$NUMBER" ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
    fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
fi
export DISPLAY=":$NUMBER"
xdotool getmouselocation >/dev/null 2>&1 || fail "xdotool cannot talk to the X server on $DISPLAY"
log "X server on $DISPLAY"

program_alive() {
    [ -n "$PROGRAM_PID" ] || return 1
    kill -0 "$PROGRAM_PID" 2>/dev/null && return 0
    if [ -z "$PROGRAM_RC" ]; then
        PROGRAM_RC=0
        wait "$PROGRAM_PID" || PROGRAM_RC=$?
    fi
    return 1
}

start_program() {
    PROGRAM_RC=""
    as_user QT_QPA_PLATFORM=xcb verdanel >>"$WORK/program.log" 2>&1 &
    PROGRAM_PID=$!
}

# The chooser: a visible window titled exactly "Verdanel".
CHOOSER=""
wait_chooser() {
    local end=$(($(date +%s) + 60)) w
    while [ "$(date +%s)" -le "$end" ]; do
        for w in $(xdotool search --onlyvisible --name '^Verdanel$' 2>/dev/null); do
            if [ "$(xdotool getwindowname "$w" 2>/dev/null)" = Verdanel ]; then
                CHOOSER=$w
                return 0
            fi
        done
        program_alive || fail "the program ended before its chooser window appeared (exit code $PROGRAM_RC)"
        sleep 0.2
    done
    fail "no chooser window titled 'Verdanel' appeared within 60s"
}

# Quit, at its place in dialog units (1 unit = 1.5 px across, 1.625 px down),
# then the program ends by itself after compacting the user's store.
quit_program() {
    local x=$(((67 * 3 + 1) / 2 + (57 * 3 + 1) / 4)) y=$(((227 * 13 + 4) / 8 + (23 * 13 + 4) / 16))
    xdotool mousemove --window "$CHOOSER" "$x" "$y" click 1
    local end=$(($(date +%s) + 60))
    while program_alive; do
        [ "$(date +%s)" -le "$end" ] || fail "the program did not end within 60s after Quit"
        sleep 0.1
    done
    [ "$PROGRAM_RC" = 0 ] || fail "the program ended with exit code $PROGRAM_RC after Quit"
}

# --------------------------------------------------------------------------
stage first-start
# --------------------------------------------------------------------------
start_program
wait_chooser
log "chooser window $CHOOSER is up (program $PROGRAM_PID)"
sleep 1
import -window root "$ARTIFACTS/installed-first-start.png" || fail "could not take a screenshot"

# The user's folder, made from the installed samples and owned by the user.
for f in INI/CONNECTION.INI Database/Verdanel.mdb input/wind.txt input/winddir.txt input/temp.txt input/rain.txt input/Humi.txt; do
    [ -f "$USER_FOLDER/$f" ] || fail "the user's folder has no $f"
done
cmp -s "$SAMPLES/INI/CONNECTION.INI" "$USER_FOLDER/INI/CONNECTION.INI" || fail "the user's CONNECTION.INI differs from the installed one"
diff -r "$SAMPLES/input" "$USER_FOLDER/input" >/dev/null || fail "the user's input folder differs from the installed samples"
[ "$(sqlite3 -readonly "$USER_FOLDER/Database/Verdanel.mdb" .dump | md5sum)" = "$SAMPLE_DIGEST" ] ||
    fail "the user's store does not hold the installed sample store"
NOT_OWNED=$(find "$USER_HOME/.local" ! -user "$TEST_USER" | head -n 3)
[ -z "$NOT_OWNED" ] || fail "files in the user's folder that the user does not own: $NOT_OWNED"
LEFT=$(find "$USER_FOLDER" -name '.*' | head -n 3)
[ -z "$LEFT" ] || fail "scratch files left in the user's folder: $LEFT"
log "user's folder made: $(cd "$USER_FOLDER" && find . -type f | sort | tr '\n' ' ')"

quit_program
[ "$(ls -A "$USER_FOLDER/Database")" = Verdanel.mdb ] ||
    fail "the Database folder holds more than the store after Quit: $(ls -A "$USER_FOLDER/Database" | tr '\n' ' ')"
log "Quit: the program ended with 0 after compacting the user's store"

# --------------------------------------------------------------------------
stage cli-run
# --------------------------------------------------------------------------
# No weather named: the run reads the user's input folder.
cat >"$USER_HOME/check.json" <<'JSON'
{ "name": "package-check", "model": "ditch", "chemical": "Chlorpyrifos", "spray_dates": ["2010-06-01 10:00"] }
JSON
chown "$TEST_UID:$TEST_GID" "$USER_HOME/check.json"
as_user verdanel-cli run "$USER_HOME/check.json" >"$WORK/cli-run.txt" 2>"$WORK/cli-run.err" ||
    fail "verdanel-cli run failed: $(cat "$WORK/cli-run.err")"
grep -qx 'scenario: package-check (ditch), 2010-06-01 ~ 2010-08-30, 131040 rows' "$WORK/cli-run.txt" ||
    fail "verdanel-cli run printed something else: $(head -n 3 "$WORK/cli-run.txt")"
ROWS=$(sqlite3 -readonly "$USER_FOLDER/Database/Verdanel.mdb" \
    "SELECT count(*) FROM model_output_ditch WHERE Scenario_Name = 'package-check'")
[ "$ROWS" = 131040 ] || fail "the user's store holds $ROWS rows of the run instead of 131040"
[ "$(sqlite3 -readonly "$SAMPLES/Database/Verdanel.mdb" .dump | md5sum)" = "$SAMPLE_DIGEST" ] ||
    fail "the run changed the installed sample store"
dpkg --verify verdanel || fail "dpkg --verify finds installed files changed"
log "verdanel-cli run stored 131040 rows in the user's store; the installed files are unchanged"

# XDG_DATA_HOME moves the user's folder.
as_user XDG_DATA_HOME="$USER_HOME/elsewhere" verdanel-cli scenarios >/dev/null 2>"$WORK/cli-xdg.err" ||
    fail "verdanel-cli with XDG_DATA_HOME failed: $(cat "$WORK/cli-xdg.err")"
[ -f "$USER_HOME/elsewhere/verdanel/Database/Verdanel.mdb" ] || fail "XDG_DATA_HOME was not honoured"

# --------------------------------------------------------------------------
stage second-start
# --------------------------------------------------------------------------
# The user's own line in CONNECTION.INI and the stored run survive a start.
echo "; the user's note" >>"$USER_FOLDER/INI/CONNECTION.INI"
INI_BEFORE=$(md5sum <"$USER_FOLDER/INI/CONNECTION.INI")
start_program
wait_chooser
quit_program
[ "$(md5sum <"$USER_FOLDER/INI/CONNECTION.INI")" = "$INI_BEFORE" ] || fail "a second start changed the user's CONNECTION.INI"
as_user verdanel-cli scenarios >"$WORK/scenarios.txt" 2>&1 || fail "verdanel-cli scenarios failed: $(cat "$WORK/scenarios.txt")"
grep -q "^ditch	package-check	Chlorpyrifos	" "$WORK/scenarios.txt" ||
    fail "the run is gone after a second start: $(cat "$WORK/scenarios.txt")"
log "a second start kept the user's files"

# --------------------------------------------------------------------------
stage remove
# --------------------------------------------------------------------------
STORE_BEFORE=$(md5sum <"$USER_FOLDER/Database/Verdanel.mdb")
DEBIAN_FRONTEND=noninteractive apt-get remove -y -o DPkg::Lock::Timeout=300 verdanel >>"$WORK/apt.log" 2>&1 ||
    fail "apt-get remove failed: $(tail -n 5 "$WORK/apt.log")"
! is_installed || fail "verdanel is still installed after apt-get remove"
rm -f "$INSTALLED_MARK"
for gone in /usr/bin/verdanel /usr/bin/verdanel-cli /usr/lib/verdanel /usr/share/verdanel; do
    [ ! -e "$gone" ] || fail "$gone is left after apt-get remove"
done
[ "$(md5sum <"$USER_FOLDER/Database/Verdanel.mdb")" = "$STORE_BEFORE" ] || fail "removing the package changed the user's store"
[ "$(md5sum <"$USER_FOLDER/INI/CONNECTION.INI")" = "$INI_BEFORE" ] || fail "removing the package changed the user's CONNECTION.INI"
[ "$(sqlite3 -readonly "$USER_FOLDER/Database/Verdanel.mdb" "SELECT count(*) FROM Scenario_Info")" = 1 ] ||
    fail "the user's store lost its scenario"
log "apt-get remove: the package is gone, the user's folder is as it was"

PASSED=1
log "passed"
