#!/usr/bin/env bash
# Sets up the machine, builds VyxTool and runs every test through ctest:
#   1. the logic and serial tests under AddressSanitizer and UndefinedBehaviorSanitizer;
#   2. the libFuzzer targets, each for a bounded number of runs;
#   3. the whole suite in the dev build (windows offscreen, no display needed);
#   4. when Wine and the mingw-w64 cross compiler are installed (scripts/setup.sh
#      windows), the Windows cross-build and its tests under Wine, timed.
# ctest's summary of the whole suite is printed last of the first three stages.
# VYX_SKIP_ASAN=1, VYX_SKIP_FUZZ=1 or VYX_SKIP_WINDOWS=1 leave out stage 1, 2 or 4.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

if [ "${VYX_SKIP_ASAN:-0}" != 1 ]; then
    echo "== sanitizer build: logic and serial tests"
    cmake --preset asan >/dev/null
    cmake --build --preset asan -j "$jobs"
    ctest --preset asan -j "$jobs"
fi

if [ "${VYX_SKIP_FUZZ:-0}" != 1 ]; then
    echo "== fuzz targets"
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz -j "$jobs"
    ctest --preset fuzz -j "$jobs"
fi

echo "== whole suite"
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

if [ "${VYX_SKIP_WINDOWS:-0}" != 1 ] && command -v wine >/dev/null 2>&1 &&
    command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 && command -v python3 >/dev/null 2>&1; then
    echo "== Windows cross-build and its tests under Wine"
    started=$SECONDS
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j "$jobs"
    status=0
    bash scripts/wine-test.sh build/windows build/dev/sim/vyx-sim || status=$?
    echo "== Windows stage took $((SECONDS - started)) s"
    exit $status
else
    echo "== Windows stage skipped (needs: scripts/setup.sh windows)"
fi
