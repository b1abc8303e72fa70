#!/usr/bin/env bash
# Builds Verdanel for 64-bit Windows with MinGW-w64 and tests it under wine.
#
#   1. the toolchain (scripts/windows-toolchain.sh: built once, then cached)
#   2. the cross-build into build-windows/ (-Werror as in CI)
#   3. the Windows application folder build-windows/app/ and the archive
#      build-windows/verdanel-windows-x86_64.zip
#   4. under wine: the core tests (GoogleTest), the window tests (Qt Test,
#      offscreen platform), the desktop program on Xvfb with the windows
#      platform (chooser, result window, a run, the chart, Quit compacting
#      the store) from the zip unpacked into a folder with a Hangul name, and
#      the default Stream run exported by verdanel-cli.exe and by the Linux
#      build, byte for byte the same CSV, also for a Hangul scenario name.
#
# Screenshots and test reports go to build-windows/artifacts/.
# Needs the Linux build in build/ for the comparison (made when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
REPO="$(pwd)"
T0=$(date +%s)
say() { printf '\n== %s (%ds)\n' "$*" "$(($(date +%s) - T0))"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

CACHE="${VERDANEL_MINGW_CACHE:-$HOME/.cache/verdanel-mingw}"
export VERDANEL_MINGW_PREFIX="$CACHE/prefix"
BUILD="$REPO/build-windows"
APP="$BUILD/app"
ART="$BUILD/artifacts"
ZIP="$BUILD/verdanel-windows-x86_64.zip"
LINUX_BUILD="$REPO/build"
JOBS="$(nproc)"

say "Toolchain"
bash scripts/windows-toolchain.sh

# Wine: its own prefix in the cache, quiet, no Mono/Gecko downloads, UTF-8
# arguments. The MinGW runtime and Qt DLLs are found through WINEPATH while
# building and testing; the application folder carries its own copies.
export WINEPREFIX="$CACHE/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
winpath() { printf 'Z:%s' "${1//\//\\}"; }
GCC_DLLS="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
PTHREAD_DLLS=/usr/x86_64-w64-mingw32/lib
export WINEPATH="$(winpath "$GCC_DLLS");$(winpath "$PTHREAD_DLLS");$(winpath "$VERDANEL_MINGW_PREFIX/bin")"
# One wine server, with its service processes started here, away from any
# pipe: a service started by the first program would inherit that program's
# output pipe and keep whoever reads it (a build step, a "| tr") waiting.
wineserver -k 2>/dev/null || true
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

say "Cross-build into build-windows/"
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$REPO/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DVERDANEL_WERROR=ON -DVERDANEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" --parallel "$JOBS"

say "Application folder and archive"
BIN="$APP/bin"
for dll in libstdc++-6.dll libgcc_s_seh-1.dll; do cp "$GCC_DLLS/$dll" "$BIN/"; done
cp "$PTHREAD_DLLS/libwinpthread-1.dll" "$BIN/"
for m in Core Gui Widgets; do cp "$VERDANEL_MINGW_PREFIX/bin/Qt6$m.dll" "$BIN/"; done
mkdir -p "$BIN/platforms" "$BIN/styles" "$BIN/fonts" "$APP/translations"
cp "$VERDANEL_MINGW_PREFIX/plugins/platforms/qwindows.dll" "$BIN/platforms/"
# verdanel-cli sweep --plot paints without a window, on the offscreen platform.
cp "$VERDANEL_MINGW_PREFIX/plugins/platforms/qoffscreen.dll" "$BIN/platforms/"
cp "$VERDANEL_MINGW_PREFIX"/plugins/styles/*.dll "$BIN/styles/"
cp /usr/share/qt6/translations/qtbase_ko.qm "$APP/translations/"
cp /usr/share/fonts/truetype/nanum/NanumGothic.ttf "$BIN/fonts/"
# Qt's folders relative to the program: plugins beside it, translations in app/translations.
printf '[Paths]\nPrefix = ..\nPlugins = bin\nTranslations = translations\n' >"$BIN/qt.conf"
# The test programs take Qt from the toolchain's prefix: its Korean
# translation and the font beside them as well.
# (the offscreen platform reads its fonts from the prefix's lib/fonts).
mkdir -p "$VERDANEL_MINGW_PREFIX/translations" "$VERDANEL_MINGW_PREFIX/lib/fonts" "$BUILD/tests/fonts"
cp /usr/share/qt6/translations/qtbase_ko.qm "$VERDANEL_MINGW_PREFIX/translations/"
cp /usr/share/fonts/truetype/nanum/NanumGothic.ttf "$VERDANEL_MINGW_PREFIX/lib/fonts/"
cp /usr/share/fonts/truetype/nanum/NanumGothic.ttf "$BUILD/tests/fonts/"
[ -f "$APP/Database/Verdanel.mdb" ] || fail "the build staged no store"
rm -f "$ZIP"
PKG="$BUILD/zip-staging"
rm -rf "$PKG" && mkdir -p "$PKG/Verdanel"
cp -r "$APP/bin" "$APP/INI" "$APP/Database" "$APP/input" "$APP/translations" "$PKG/Verdanel/"
rm -f "$PKG/Verdanel/Database/test.mdb"
(cd "$PKG" && zip -qr "$ZIP" Verdanel)
rm -rf "$PKG"
echo "$ZIP: $(du -h "$ZIP" | cut -f1)"

rm -rf "$ART" && mkdir -p "$ART"
cd "$BUILD"

say "Core tests under wine"
# One test program per area, $JOBS at a time; each writes its own report.
running=0
for exe in tests/core_*_test.exe; do
  name=$(basename "$exe" .exe)
  (wine "$exe" --gtest_brief=1 --gtest_output="xml:$(winpath "$ART/$name.xml")" >"$ART/$name.txt" 2>&1
   echo $? >"$ART/$name.rc") &
  running=$((running + 1))
  if [ "$running" -ge "$JOBS" ]; then wait -n || true; running=$((running - 1)); fi
done
wait
core_total=0
for exe in tests/core_*_test.exe; do
  name=$(basename "$exe" .exe)
  if [ "$(cat "$ART/$name.rc")" != 0 ]; then
    tail -n 40 "$ART/$name.txt"
    fail "$name under wine"
  fi
  n=$(sed -n 's/.*\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$ART/$name.txt" | tail -n 1)
  [ -n "$n" ] || fail "$name printed no result"
  skipped=$(sed -n 's/.*\[  SKIPPED \] \([0-9]*\) test.*/\1/p' "$ART/$name.txt" | tail -n 1)
  echo "$name: $n passed${skipped:+, $skipped skipped}"
  core_total=$((core_total + n))
done
echo "core tests passed under wine: $core_total"

say "Window tests under wine (Qt Test, offscreen)"
gui_total=0
for exe in tests/gui_*.exe; do
  name=$(basename "$exe" .exe)
  report="$ART/$name.txt"
  if ! wine "$exe" -platform offscreen -o "$(winpath "$report"),txt" >"$ART/$name.out" 2>&1; then
    tail -n 40 "$report" 2>/dev/null || tail -n 40 "$ART/$name.out"
    fail "$name under wine"
  fi
  n=$(sed -n 's/^Totals: \([0-9]*\) passed.*/\1/p' "$report")
  [ -n "$n" ] || fail "$name wrote no totals to $report"
  echo "$name: $n passed"
  gui_total=$((gui_total + n))
done
echo "window test functions passed under wine: $gui_total"

say "verdanel-cli.exe and the Linux verdanel-cli: the same CSV"
if [ ! -x "$LINUX_BUILD/app/bin/verdanel-cli" ]; then
  (cd "$REPO" && CI=true bash scripts/build.sh >/dev/null)
fi
LINUX_CLI="$LINUX_BUILD/app/bin/verdanel-cli"
WIN_CLI="$BIN/verdanel-cli.exe"
CMP="$BUILD/compare/하천 시험 폴더"
rm -rf "$BUILD/compare" && mkdir -p "$CMP"
cp "$REPO"/input/* "$CMP/"
dates=""
for w in $(seq 0 13); do dates+="${dates:+, }\"$(date -u -d "2010-06-01 +$((7 * w)) days" +%Y-%m-%d) 10:00\""; done
for scenario in default "하천 기본 시나리오"; do
  # The default Stream scenario, its weather files beside it (paths relative to the JSON file).
  printf '{ "name": "%s", "model": "stream", "chemical": "Chlorpyrifos", "spray_dates": [ %s ],
  "weather": { "wind_speed": "wind.txt", "wind_direction": "winddir.txt", "temperature": "temp.txt",
               "rainfall": "rain.txt", "humidity": "Humi.txt" } }\n' "$scenario" "$dates" >"$CMP/$scenario.json"
  for side in linux windows; do
    store="$CMP/$side.mdb"
    [ -f "$store" ] || "$LINUX_CLI" init-store "$store" --chemicals "$REPO/data/sample_chemicals.tsv" >/dev/null
    if [ $side = linux ]; then
      (cd "$CMP" && "$LINUX_CLI" --store "$store" run "$scenario.json" >"$CMP/$side-$scenario.run.txt")
      "$LINUX_CLI" --store "$store" export --model stream --scenario "$scenario" --out "$CMP/$side-$scenario.csv" >/dev/null
      "$LINUX_CLI" --store "$store" scenarios >"$CMP/$side.scenarios.txt"
    else
      wine "$WIN_CLI" --store "$(winpath "$store")" run "$(winpath "$CMP/$scenario.json")" |
        tr -d '\r' >"$CMP/$side-$scenario.run.txt"
      wine "$WIN_CLI" --store "$(winpath "$store")" export --model stream --scenario "$scenario" \
        --out "$(winpath "$CMP/$side-$scenario.csv")" >/dev/null
      wine "$WIN_CLI" --store "$(winpath "$store")" scenarios | tr -d '\r' >"$CMP/$side.scenarios.txt"
    fi
  done
  cmp "$CMP/linux-$scenario.csv" "$CMP/windows-$scenario.csv" || fail "the CSV of '$scenario' differs between Linux and Windows"
  cmp "$CMP/linux-$scenario.run.txt" "$CMP/windows-$scenario.run.txt" ||
    fail "the printed summary of '$scenario' differs between Linux and Windows"
  echo "'$scenario': CSV identical ($(stat -c %s "$CMP/linux-$scenario.csv") bytes), summary identical"
done
cmp "$CMP/linux.scenarios.txt" "$CMP/windows.scenarios.txt" || fail "the scenario lists differ (UTF-8 console output)"
grep -q "하천 기본 시나리오" "$CMP/windows.scenarios.txt" || fail "the Hangul scenario name is not printed as UTF-8"
echo "scenario lists identical, Hangul printed as UTF-8"

# The mass balance and a sweep of the Hangul scenario: the same CSV files, and a chart drawn.
scenario="하천 기본 시나리오"
wine "$WIN_CLI" --store "$(winpath "$CMP/windows.mdb")" balance --model stream --scenario "$scenario" \
  --out "$(winpath "$CMP/windows-balance.csv")" >/dev/null
"$LINUX_CLI" --store "$CMP/linux.mdb" balance --model stream --scenario "$scenario" --out "$CMP/linux-balance.csv" >/dev/null
# Every column the same text; the closure is what rounding leaves of the applied mass (about 1e-14 of
# it), so there the two C libraries' last bits show: it may differ by 1e-12 of the applied mass.
dropLast() { LC_ALL=C awk -F, -v OFS=, '{ NF--; print }' "$1"; }
cmp <(dropLast "$CMP/linux-balance.csv") <(dropLast "$CMP/windows-balance.csv") ||
  fail "the mass-balance CSV differs between Linux and Windows"
LC_ALL=C paste -d, "$CMP/linux-balance.csv" "$CMP/windows-balance.csv" | LC_ALL=C awk -F, '
  NF == 30 && $1 ~ /^[0-9]+$/ { d = $15 - $30; if (d < 0) d = -d; if (d > 1e-12 * $9) bad++ }
  END { exit bad > 0 }' || fail "a mass-balance closure differs between Linux and Windows by more than rounding"
wine "$WIN_CLI" --store "$(winpath "$CMP/windows.mdb")" sweep "$(winpath "$CMP/$scenario.json")" \
  --vary bank_width=10,20 --threshold Cwater=0.05 --out "$(winpath "$CMP/windows-sweep.csv")" \
  --plot "$(winpath "$CMP/windows-sweep.png")" >/dev/null
(cd "$CMP" && "$LINUX_CLI" --store "$CMP/linux.mdb" sweep "$scenario.json" --vary bank_width=10,20 \
  --threshold Cwater=0.05 --out "$CMP/linux-sweep.csv" >/dev/null)
cmp "$CMP/linux-sweep.csv" "$CMP/windows-sweep.csv" || fail "the sweep CSV differs between Linux and Windows"
[ "$(head -c 8 "$CMP/windows-sweep.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
  fail "verdanel-cli.exe sweep --plot wrote no PNG picture"
cp "$CMP/windows-sweep.png" "$ART/windows-sweep-plot.png"
echo "mass balance (closure within rounding) and sweep CSV identical, sweep chart drawn"

say "The desktop program under wine (windows platform, Xvfb)"
bash "$REPO/scripts/windows-desktop-walk.sh" "$ZIP" "$BUILD/walk" "$ART" "$CMP/default.json"

say "PASSED: Windows build and tests under wine: $core_total core tests, $gui_total window test functions (total $(($(date +%s) - T0))s)"
