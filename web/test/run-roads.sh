#!/usr/bin/env bash
# The page's browser roads (ctest web_browser_roads): installs the pinned test
# tools when missing, assembles the site from a web build and runs the road
# files under node's test runner, one file at a time.
#   run-roads.sh WEB_BUILD_DIR VYX_SIM OUT_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
web_build=$(cd "$1" && pwd)
sim=$(realpath "$2")
out=$3
mkdir -p "$out"
out=$(cd "$out" && pwd)
if [ ! -d "$root/web/node_modules/playwright-core" ] || [ ! -d "$root/web/node_modules/axe-core" ]; then
    (cd "$root/web" && npm ci --ignore-scripts --no-audit --no-fund >/dev/null)
fi
bash "$root/scripts/web-site.sh" --module "$web_build/module" --out "$out/site" >/dev/null
cd "$root/web"
VYX_SITE="$out/site" VYX_SIM="$sim" VYX_OUT="$out" exec node --test --test-concurrency=1 test/*.test.mjs
