# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads,
# so std::thread and std::mutex are there). The libraries built for Windows
# (SQLite, GoogleTest, Qt) live in one prefix made by scripts/windows-toolchain.sh;
# the host's Qt tools (moc, rcc, uic) come from /usr. Programs built here run
# through wine wherever the build or the tests start them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VERDANEL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VERDANEL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VERDANEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VERDANEL_MINGW_TRIPLET}-windres)

if(NOT VERDANEL_MINGW_PREFIX)
  if(DEFINED ENV{VERDANEL_MINGW_PREFIX})
    set(VERDANEL_MINGW_PREFIX "$ENV{VERDANEL_MINGW_PREFIX}")
  else()
    set(VERDANEL_MINGW_PREFIX "$ENV{HOME}/.cache/verdanel-mingw/prefix")
  endif()
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VERDANEL_MINGW_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${VERDANEL_MINGW_TRIPLET} ${VERDANEL_MINGW_PREFIX})
set(CMAKE_PREFIX_PATH ${VERDANEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt for Windows takes moc, rcc and uic from the host's Qt of the same version.
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")

# Build steps and tests run the Windows programs through wine.
find_program(VERDANEL_WINE NAMES wine wine64)
if(VERDANEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VERDANEL_WINE})
endif()
