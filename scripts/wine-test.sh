#!/usr/bin/env bash
# The Windows stage: runs the cross-built tests (preset windows) under Wine, in a
# scratch Wine prefix whose COM ports are pseudo-terminals served natively:
#   COM5  the simulator (vyx-sim of the dev build), a device at the current release
#   COM6  a line that echoes what it is sent (scripts/line-echo.py)
#   COM7  the simulator as a device with older firmware (the upload road)
#   COM8  the same, hanging up at package 100 as if the cable were pulled
# Usage: scripts/wine-test.sh [windows build folder] [vyx-sim program]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/windows}
sim=${2:-build/dev/sim/vyx-sim}
for program in "$build/tests/windows/win_port_tests.exe" "$build/tests/windows/win_road_tests.exe" "$sim"; do
    if [ ! -x "$program" ]; then
        echo "wine-test: $program is missing; build the windows and dev presets first" >&2
        exit 1
    fi
done

prefix=$(mktemp -d /tmp/vyx-wine-XXXXXX)
peers=()
cleanup() {
    for pid in "${peers[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
ports=$WINEPREFIX/dosdevices

"$sim" --quiet --port-folder "$ports" --name com5 >/dev/null &
peers+=($!)
python3 scripts/line-echo.py "$ports/com6" &
peers+=($!)
"$sim" --quiet --port-folder "$ports" --name com7 --version 3.0.2.38 --restart-ms 50 >/dev/null &
peers+=($!)
"$sim" --quiet --port-folder "$ports" --name com8 --version 3.0.2.38 --hangup-after 100 >/dev/null &
peers+=($!)
for link in com5 com6 com7 com8; do
    for _ in $(seq 100); do
        [ -L "$ports/$link" ] && break
        sleep 0.05
    done
done

status=0
VYX_ECHO_PORT=COM6 wine "$build/tests/windows/win_port_tests.exe" || status=1
VYX_SIM_PORT=COM5 VYX_OLD_SIM_PORT=COM7 VYX_HANGUP_SIM_PORT=COM8 \
    wine "$build/tests/windows/win_road_tests.exe" || status=1
exit $status
