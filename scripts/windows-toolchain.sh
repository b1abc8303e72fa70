#!/usr/bin/env bash
# Builds the Windows toolchain once and keeps it outside the repository:
#   $VERDANEL_MINGW_CACHE (default ~/.cache/verdanel-mingw)
#     prefix/   SQLite, GoogleTest, nlohmann-json and Qt 6 built for Windows
#     wine/     the wine prefix the Windows programs run in
# Everything comes from Debian: MinGW-w64 and wine as packages, SQLite,
# GoogleTest and qt6-base as Debian source packages (fetched through a deb-src
# entry that exists only while apt-get source runs). A part already in the
# cache is reused; delete the cache folder to build everything again.
set -euo pipefail
cd "$(dirname "$0")/.."
REPO="$(pwd)"
CACHE="${VERDANEL_MINGW_CACHE:-$HOME/.cache/verdanel-mingw}"
PREFIX="$CACHE/prefix"
SRC="$CACHE/src"
JOBS="${JOBS:-$(nproc)}"
QT_SOURCE_VERSION="6.4.2+dfsg-10"
TOOLCHAIN_FILE="$REPO/cmake/mingw-w64-x86_64.cmake"
export VERDANEL_MINGW_PREFIX="$PREFIX"
mkdir -p "$CACHE" "$PREFIX" "$SRC"

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

step() { printf '\n== %s (%s)\n' "$*" "$(date -u +%H:%M:%S)"; }

# --- Debian packages --------------------------------------------------------
PACKAGES=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  wine wine64 xvfb xauth x11-utils xdotool imagemagick
  dpkg-dev tcl cmake ninja-build perl python3 zip unzip
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n fonts-nanum nlohmann-json3-dev
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  step "Installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# --- Debian source packages -------------------------------------------------
DEB_SRC_LIST=/etc/apt/sources.list.d/verdanel-deb-src.sources
remove_deb_src() {
  if [ -e "$DEB_SRC_LIST" ]; then
    $SUDO rm -f "$DEB_SRC_LIST"
    $SUDO apt-get update -qq || true
  fi
}
src_dir() { find "$SRC" -maxdepth 1 -type d -name "$1" | head -n 1; }
HAVE_SQLITE=0 HAVE_GTEST=0 HAVE_QT=0
[ -f "$PREFIX/lib/libsqlite3.a" ] && HAVE_SQLITE=1
[ -f "$PREFIX/lib/libgtest.a" ] && HAVE_GTEST=1
[ -f "$PREFIX/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ] && [ -f "$PREFIX/lib/cmake/Qt6Test/Qt6TestConfig.cmake" ] && HAVE_QT=1
if { [ $HAVE_SQLITE = 0 ] && [ -z "$(src_dir 'sqlite3-*')" ]; } ||
   { [ $HAVE_GTEST = 0 ] && [ -z "$(src_dir 'googletest-*')" ]; } ||
   { [ $HAVE_QT = 0 ] && [ -z "$(src_dir 'qt6-base-*')" ]; }; then
  step "Fetching Debian sources of sqlite3, googletest, qt6-base"
  trap remove_deb_src EXIT
  if [ -r /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $SUDO tee "$DEB_SRC_LIST" >/dev/null
  else
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm bookworm-updates\nComponents: main\n' |
      $SUDO tee "$DEB_SRC_LIST" >/dev/null
  fi
  $SUDO apt-get update -qq
  (
    cd "$SRC"
    [ $HAVE_SQLITE = 1 ] || [ -n "$(src_dir 'sqlite3-*')" ] || apt-get source -qq sqlite3
    [ $HAVE_GTEST = 1 ] || [ -n "$(src_dir 'googletest-*')" ] || apt-get source -qq googletest
    [ $HAVE_QT = 1 ] || [ -n "$(src_dir 'qt6-base-*')" ] || apt-get source -qq "qt6-base=$QT_SOURCE_VERSION"
  )
  remove_deb_src
  trap - EXIT
fi

# --- SQLite: the amalgamation made on the host, compiled for Windows ---------
if [ $HAVE_SQLITE = 0 ]; then
  step "SQLite"
  S="$(src_dir 'sqlite3-*')"
  B="$CACHE/build-sqlite"
  rm -rf "$B" && mkdir -p "$B"
  if [ -f "$S/sqlite3.c" ]; then
    cp "$S/sqlite3.c" "$S/sqlite3.h" "$B/"
  else
    (cd "$B" && "$S/configure" --quiet >/dev/null && make -s sqlite3.c >/dev/null)
  fi
  # The compile-time options of Debian's libsqlite3 that a store can notice.
  x86_64-w64-mingw32-gcc-posix -O2 -c "$B/sqlite3.c" -o "$B/sqlite3.o" \
    -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS5 \
    -DSQLITE_ENABLE_RTREE -DSQLITE_ENABLE_MATH_FUNCTIONS -DSQLITE_ENABLE_DBSTAT_VTAB \
    -DSQLITE_SECURE_DELETE -DSQLITE_MAX_SCHEMA_RETRY=25 -DSQLITE_MAX_VARIABLE_NUMBER=250000
  mkdir -p "$PREFIX/lib" "$PREFIX/include"
  x86_64-w64-mingw32-ar rcs "$PREFIX/lib/libsqlite3.a" "$B/sqlite3.o"
  cp "$B/sqlite3.h" "$S/src/sqlite3ext.h" "$PREFIX/include/" 2>/dev/null || cp "$B/sqlite3.h" "$PREFIX/include/"
fi

# --- nlohmann-json: header only, Debian's copy -------------------------------
if [ ! -d "$PREFIX/include/nlohmann" ]; then
  step "nlohmann-json"
  mkdir -p "$PREFIX/include" "$PREFIX/share/cmake"
  cp -r /usr/include/nlohmann "$PREFIX/include/"
  cp -r /usr/share/cmake/nlohmann_json "$PREFIX/share/cmake/"
fi

# --- GoogleTest ---------------------------------------------------------------
if [ $HAVE_GTEST = 0 ]; then
  step "GoogleTest"
  S="$(src_dir 'googletest-*')"
  B="$CACHE/build-googletest"
  rm -rf "$B"
  cmake -S "$S" -B "$B" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN_FILE" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_GMOCK=ON -Dgtest_force_shared_crt=ON >/dev/null
  cmake --build "$B" --parallel "$JOBS"
  cmake --install "$B" >/dev/null
fi

# --- Qt 6: Core, Gui, Widgets, Test and the Windows platform ------------------
if [ $HAVE_QT = 0 ]; then
  step "Qt $QT_SOURCE_VERSION for Windows"
  S="$(src_dir 'qt6-base-*')"
  B="$CACHE/build-qt"
  # Without Direct2D the Windows platform plugin must not reach for the
  # DirectWrite font database either (it is built only with Direct2D).
  F="$S/src/plugins/platforms/windows/qwindowsintegration.cpp"
  if ! grep -q 'verdanel: direct2d guard' "$F"; then
    python3 - "$F" <<'PY'
import re, sys
path = sys.argv[1]
text = open(path, encoding="utf-8").read()
old = "#if QT_CONFIG(directwrite3)"
if old not in text:
    sys.exit("qwindowsintegration.cpp: the DirectWrite block to guard was not found")
text = text.replace(old + "\n", "#if QT_CONFIG(directwrite3) && QT_CONFIG(direct2d) // verdanel: direct2d guard\n")
open(path, "w", encoding="utf-8").write(text)
PY
  fi
  rm -rf "$B" && mkdir -p "$B"
  (
    cd "$B"
    "$S/configure" -prefix "$PREFIX" -release -opensource -confirm-license \
      -xplatform win32-g++ -qt-host-path /usr -no-pkg-config \
      -nomake examples -nomake tests \
      -no-opengl -no-dbus -no-icu -no-direct2d \
      -no-feature-sql -no-feature-network -no-feature-printsupport -no-feature-xml \
      -no-feature-concurrent -no-feature-tabletevent -no-feature-androiddeployqt -no-feature-vulkan \
      -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre \
      -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN_FILE" \
      -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  )
  cmake --build "$B" --parallel "$JOBS"
  cmake --install "$B" >/dev/null
fi

# What was built is in the prefix; the build folders and sources are not needed again.
rm -rf "$CACHE"/build-sqlite "$CACHE"/build-googletest "$CACHE"/build-qt "$SRC"

# --- wine prefix ---------------------------------------------------------------
export WINEPREFIX="$CACHE/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  step "wine prefix"
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w || true
fi

step "Windows toolchain ready in $CACHE"
