#!/usr/bin/env bash
# Builds the web preset (Debian's emscripten): the browser page's module
# (build/web/module/vyx.js and vyx.wasm) and the logic's unit tests for node.
# Prints the module's size, raw and compressed. Extra arguments go to the
# configure step (e.g. -DVYX_USB_VID=1234 -DVYX_USB_PID=5678).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${VYX_JOBS:-$(nproc)}
# The compiler cache serves emcc as it serves the native builds (a rebuild of
# an unchanged tree takes seconds instead of a clean build's minutes).
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
fi
# emcc runs its JavaScript optimiser under node, which must find Debian's acorn.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

cmake --preset web "$@" >/dev/null
cmake --build --preset web -j "$jobs"

module=build/web/module
for file in vyx.js vyx.wasm; do
    raw=$(stat -c %s "$module/$file")
    packed=$(gzip -9 -c "$module/$file" | wc -c)
    echo "web-build: $module/$file: $raw bytes, $packed gzip"
done
