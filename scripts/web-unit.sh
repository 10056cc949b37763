#!/usr/bin/env bash
# Runs the unit tests of the web build (the logic the browser page runs, compiled
# to WebAssembly) under node: every program the build listed, each from its own
# folder. Usage: web-unit.sh [WEB_BUILD_DIR]   (default build/web)
set -euo pipefail

build=$(cd "${1:-$(dirname "$0")/../build/web}" && pwd)
list="$build/node-tests.txt"
if [ ! -s "$list" ]; then
    echo "web-unit: $list is missing: build the web preset first (scripts/web-build.sh)" >&2
    exit 2
fi

failed=()
while IFS= read -r program; do
    [ -n "$program" ] || continue
    if [ ! -f "$program" ]; then
        echo "web-unit: $program was not built" >&2
        failed+=("$program")
        continue
    fi
    echo "== $(basename "$program")"
    # node 20's own fetch cannot read the module from a file: the glue reads it instead.
    if ! (cd "$(dirname "$program")" && node --no-experimental-fetch "$program" --gtest_brief=1); then
        failed+=("$program")
    fi
done <"$list"

if [ ${#failed[@]} -ne 0 ]; then
    echo "web-unit: failed: ${failed[*]}" >&2
    exit 1
fi
echo "web-unit: every program passed"
