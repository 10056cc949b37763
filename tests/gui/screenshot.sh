#!/usr/bin/env bash
# Takes screenshots of the window after a configuration read from the simulator,
# narrow and wide, on a virtual display, to put beside layout-reference.png.
# Usage: tests/gui/screenshot.sh [BUILD_DIR] [OUT_DIR]   (needs xvfb, xdotool, imagemagick)
set -euo pipefail
build=$(realpath "${1:-build/dev}")
out=$(realpath -m "${2:-build/screenshots}")
mkdir -p "$out"
if [ -z "${VYX_SHOT_INNER:-}" ]; then
    VYX_SHOT_INNER=1 exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$build" "$out"
fi

export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
"$build/sim/vyx-sim" >"$out/sim.log" 2>&1 &
sim=$!
tool=
trap 'kill $tool $sim 2>/dev/null; rm -rf "$XDG_RUNTIME_DIR"' EXIT
sleep 1
"$build/src/app/vyxtool" >"$out/tool.log" 2>&1 &
tool=$!
sleep 3
wid=$(xdotool search --name "VyxTool v2.39.C" | head -1)
eval "$(xdotool getwindowgeometry --shell "$wid")"
# The simulator's port is the last entry of ComboBox1 (client 471,21, 80x19).
xdotool mousemove $((X + 511)) $((Y + 30)) click 1
sleep 1
xdotool key End Return
sleep 1
# ButtonVCP (client 471,46, 80x80), then wait for the read.
xdotool mousemove $((X + 511)) $((Y + 86)) click 1
sleep 3
import -window root -crop "557x742+$X+$Y" +repage "$out/narrow.png"
xdotool key --window "$wid" ctrl+alt+shift+F11
sleep 1
import -window root -crop "853x742+$X+$Y" +repage "$out/wide.png"
echo "screenshots: $out/narrow.png $out/wide.png"
