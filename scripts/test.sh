#!/usr/bin/env bash
# Sets up the machine, builds VyxTool and runs every test through ctest:
#   1. the logic and serial tests under AddressSanitizer and UndefinedBehaviorSanitizer;
#   2. with --full only: the logic, serial and headless road tests under
#      ThreadSanitizer (the event thread and the hand-over to the window thread);
#   3. the libFuzzer targets, each for a bounded number of runs;
#   4. the whole suite in the dev build (windows offscreen, no display needed).
# The last lines printed are ctest's summary of the whole suite.
# VYX_SKIP_ASAN=1, VYX_SKIP_TSAN=1 or VYX_SKIP_FUZZ=1 leave out stage 1, 2 or 3.
set -euo pipefail
cd "$(dirname "$0")/.."

full=0
for arg in "$@"; do
    case "$arg" in
        --full) full=1 ;;
        *) echo "usage: $0 [--full]" >&2; exit 2 ;;
    esac
done

bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

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

echo "== whole suite"
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"
