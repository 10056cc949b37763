#!/usr/bin/env bash
# Starts of the tool on a virtual display, each killed at a random moment, half of
# them with a simulated Vyx publishing its port (so the port list is filled). Prints
# how the starts ended; any start that ended on a signal of its own (an abort, a
# crash) is counted as a fault and its error output is shown.
#   starts.sh VYXTOOL VYX_SIM [STARTS]
# VYX_XVFB_RESET=1 starts the display without -noreset, to see what a server that
# resets after its last client left does to the next start.
set -u
tool=$1
sim=$2
starts=${3:-500}

work=$(mktemp -d) || exit 1
chmod 700 "$work"
xvfb=""
simpid=""
cleanup() {
    [ -n "$simpid" ] && kill "$simpid" 2>/dev/null && wait "$simpid" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

for n in $(seq 140 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
reset="-noreset"
[ "${VYX_XVFB_RESET:-0}" = 1 ] && reset=""
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp $reset >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.05
done
export DISPLAY=":$n" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work"

killed=0
ended=0
faults=0
withSim=0
for i in $(seq 1 "$starts"); do
    if [ $((i % 2)) -eq 0 ]; then
        withSim=$((withSim + 1))
        "$sim" --port-folder "$work/vyx-ports" --name "vyx-sim" --quiet >/dev/null 2>&1 &
        simpid=$!
        for _ in $(seq 1 100); do
            [ -L "$work/vyx-ports/vyx-sim" ] && break
            sleep 0.01
        done
    fi
    "$tool" >"$work/out" 2>&1 &
    pid=$!
    # Anywhere from before the window is up to well after it.
    sleep "$((RANDOM % 1500 / 1000)).$(printf '%03d' $((RANDOM % 1000)))"
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid" 2>/dev/null
    fi
    # Braces keep the shell's own "Killed" notice out of the output.
    { wait "$pid"; } 2>/dev/null
    status=$?
    if [ "$status" -eq 137 ]; then
        killed=$((killed + 1))
    elif [ "$status" -gt 128 ]; then
        faults=$((faults + 1))
        echo "start $i: ended by signal $((status - 128)); its output:"
        sed 's/^/    /' "$work/out"
    else
        ended=$((ended + 1))
        echo "start $i: ended by itself with status $status; its output:"
        sed 's/^/    /' "$work/out"
    fi
    if [ -n "$simpid" ]; then
        kill "$simpid" 2>/dev/null
        wait "$simpid" 2>/dev/null
        simpid=""
    fi
done

echo "starts: $starts (with a simulator port: $withSim), display: Xvfb ${reset:-resetting when its last client leaves}"
echo "killed while running: $killed, ended by themselves: $ended, ended by a signal of their own: $faults"
[ "$faults" -eq 0 ] && [ "$ended" -eq 0 ]
