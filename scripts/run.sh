#!/usr/bin/env bash
# Sets up the machine, builds VyxTool and the device simulator, starts a simulated
# Vyx (release 2.39, a valid configuration) and opens VyxTool with the simulator's
# port in its list.
#
# With a display: the window opens; pick the port that ends in "vyx-sim" and press
# the connect button. Closing the window stops the simulator.
# Without a display (or with CI=true): a virtual display is started, one connection
# is driven (port picked, connect pressed, configuration read), the log is printed
# and screenshots are saved under out/.
#
# Extra arguments go to vyx-sim (see `vyx-sim --help`), e.g. --version 3.0.2.38.
#
# `run.sh --web`: the browser page instead. Builds the module and the site, serves
# it on 127.0.0.1 (VYX_WEB_PORT, default 8080) and prints its address; open it in
# Chrome or Edge and pick the port "demo" to try it without a Vyx. Without a
# display (or with CI=true) the page is driven headless against the demo device
# for one connection and a screenshot is saved under out/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

# Waits for a background program (pid $1) to print a text matching the regular
# expression $3 into its log $2, and prints that text; fails with the log shown
# when the program ends first or nothing came in 10 seconds.
await_printed() {
    local found=""
    for _ in $(seq 1 100); do
        found=$(grep -o "$3" "$2" | head -n 1 || true)
        if [ -n "$found" ]; then
            echo "$found"
            return 0
        fi
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    cat "$2" >&2
    return 1
}

run_web() {
    bash scripts/setup.sh web
    bash scripts/web-build.sh
    bash scripts/web-site.sh
    if [ ! -d web/node_modules/playwright-core ]; then
        (cd web && npm ci --ignore-scripts --no-audit --no-fund >/dev/null)
    fi
    local log server address
    log=$(mktemp)
    node web/test/site-server.mjs --root build/web/site --port "${VYX_WEB_PORT:-8080}" >"$log" 2>&1 &
    server=$!
    # Expanded now: the trap runs after this function's locals are gone.
    trap "kill $server 2>/dev/null || true; rm -f '$log'" EXIT
    address=$(await_printed "$server" "$log" 'http://[^ ]*') || {
        echo "run: the page's server did not start" >&2
        exit 1
    }
    echo "run: the page is at $address (Chrome or Edge; the port \"demo\" needs no Vyx)"
    if [ -n "${DISPLAY:-}" ] && [ "${CI:-}" != true ]; then
        echo "run: Ctrl+C stops the server"
        wait "$server"
        return
    fi
    echo "run: no display here; driving one connection to the demo device headless"
    node web/test/tour.mjs "$address" "$root/out"
}

if [ "${1:-}" = --web ]; then
    run_web
    exit 0
fi

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target vyxtool vyx-sim vyx-tour

bin=build/release
name="vyx-sim-$$"
simlog=$(mktemp)
"$bin/sim/vyx-sim" --name "$name" "$@" >"$simlog" 2>&1 &
sim=$!
xvfb=""
cleanup() {
    kill "$sim" 2>/dev/null || true
    wait "$sim" 2>/dev/null || true
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    rm -f "$simlog"
}
trap cleanup EXIT

# The simulator prints its port once it is published.
port=$(await_printed "$sim" "$simlog" '/[^ ]*/'"$name") || {
    echo "run: the simulator did not publish its port" >&2
    exit 1
}
echo "run: simulated Vyx on $port"

if [ -n "${DISPLAY:-}" ] && [ "${CI:-}" != true ]; then
    echo "run: opening VyxTool; pick $port and press the connect button"
    "$bin/src/app/vyxtool"
    exit 0
fi

# No display: a virtual one, and one connection driven through the window.
for n in $(seq 99 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
# -noreset: a start while the server resets after its last client left is refused.
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
export QT_QPA_PLATFORM=xcb
for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
done
echo "run: no display here; driving one connection on the virtual display $DISPLAY"
"$bin/tests/e2e/tour/vyx-tour" --port "$port" --out "$root/out"
echo "run: screenshots are in $root/out/"
