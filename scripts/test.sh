#!/usr/bin/env bash
# Sets up the machine, builds VyxTool and runs every test through ctest:
#   1. the logic and serial tests under AddressSanitizer and UndefinedBehaviorSanitizer;
#   2. the libFuzzer targets, each for a bounded number of runs;
#   3. the Debian package, built from the release preset and checked (scripts/package.sh);
#   4. the whole suite in the dev build (windows offscreen, no display needed).
# The last lines printed are ctest's summary of the whole suite.
# VYX_SKIP_ASAN=1, VYX_SKIP_FUZZ=1 or VYX_SKIP_PACKAGE=1 leave out stage 1, 2 or 3.
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

if [ "${VYX_SKIP_PACKAGE:-0}" != 1 ]; then
    echo "== package"
    bash scripts/package.sh
fi

echo "== whole suite"
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"
