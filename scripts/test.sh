#!/usr/bin/env bash
# Sets up the machine, builds VyxTool and runs every test through ctest:
# first the whole suite in the dev build (windows offscreen), then the logic and
# serial tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
# The last line printed is ctest's summary of the dev build.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

if [ "${VYX_SKIP_ASAN:-0}" != 1 ]; then
    cmake --preset asan >/dev/null
    cmake --build --preset asan -j "$jobs"
    ctest --preset asan -j "$jobs"
fi

cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"
