#!/usr/bin/env bash
# Sets up the machine, builds VyxTool and runs every test through ctest:
#   1. the logic and serial tests under AddressSanitizer and UndefinedBehaviorSanitizer;
#   2. with --full only: the logic, serial and headless road tests under
#      ThreadSanitizer (the event thread and the hand-over to the window thread);
#   3. the libFuzzer targets, each for a bounded number of runs;
#   4. the Debian package, built from the release preset and checked (scripts/package.sh);
#   5. the Windows cross-build (mingw-w64), timed; its tests run under Wine as one
#      entry of the whole suite; then the vyxctl zip, checked under Wine
#      (scripts/windows-zip.sh);
#   6. the whole suite in the dev build (windows offscreen, no display needed).
# The last lines printed are ctest's summary of the whole suite.
# VYX_SKIP_ASAN=1, VYX_SKIP_TSAN=1, VYX_SKIP_FUZZ=1, VYX_SKIP_PACKAGE=1 or
# VYX_SKIP_WINDOWS=1 leave out stage 1, 2, 3, 4 or 5.
set -euo pipefail
cd "$(dirname "$0")/.."

full=0
for arg in "$@"; do
    case "$arg" in
        --full) full=1 ;;
        *) echo "usage: $0 [--full]" >&2; exit 2 ;;
    esac
done

windows=0
if [ "${VYX_SKIP_WINDOWS:-0}" != 1 ]; then
    windows=1
    bash scripts/setup.sh windows
else
    bash scripts/setup.sh
fi
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
# Rebuilds of unchanged sources come from the compiler cache when one is installed,
# in any checkout of the project: paths below its root are hashed relative, and the
# build folder is left out of the hash (debug information may then name another
# checkout's folder, which these test builds can live with).
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
fi

if [ "${VYX_SKIP_ASAN:-0}" != 1 ]; then
    echo "== sanitizer build: logic and serial tests"
    cmake --preset asan >/dev/null
    cmake --build --preset asan -j "$jobs"
    ctest --preset asan -j "$jobs"
fi

if [ "$full" = 1 ] && [ "${VYX_SKIP_TSAN:-0}" != 1 ]; then
    echo "== thread sanitizer build: logic, serial and headless road tests"
    cmake --preset tsan >/dev/null
    cmake --build --preset tsan -j "$jobs"
    ctest --preset tsan -j "$jobs"
fi

if [ "${VYX_SKIP_FUZZ:-0}" != 1 ]; then
    echo "== fuzz targets"
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz -j "$jobs"
    ctest --preset fuzz -j "$jobs"
fi

if [ "${VYX_SKIP_PACKAGE:-0}" != 1 ]; then
    echo "== package"
    bash scripts/package.sh
fi

wine_build=
if [ $windows = 1 ]; then
    echo "== Windows cross-build (its tests run under Wine in the whole suite)"
    started=$SECONDS
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j "$jobs"
    echo "== Windows cross-build took $((SECONDS - started)) s"
    echo "== vyxctl zip for Windows"
    bash scripts/windows-zip.sh
    wine_build=$PWD/build/windows
fi

echo "== whole suite"
cmake --preset dev -DVYX_WINE_BUILD="$wine_build" >/dev/null
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"
