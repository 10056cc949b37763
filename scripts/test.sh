#!/usr/bin/env bash
# Sets up the machine, builds VyxTool and runs every test through ctest:
#   1. the logic and serial tests under AddressSanitizer and UndefinedBehaviorSanitizer
#      (the sanitizer build, which later runs the whole suite);
#   2. with --full only: the logic, serial and headless road tests under
#      ThreadSanitizer (the event thread and the hand-over to the window thread);
#   3. the libFuzzer targets, each for a bounded number of runs;
#   4. the Debian package, built from the release preset and checked (scripts/package.sh);
#   5. the Windows cross-build (mingw-w64, optimised as shipped), timed; its tests run
#      under Wine as one entry of the whole suite, and the vyxctl zip is packed from
#      the same build and checked under Wine (scripts/windows-zip.sh);
#   6. the browser page, when the project has one (scripts/web-build.sh); its tests
#      run in the whole suite;
#   7. the whole suite in the sanitizer build: the rest of it is built (window,
#      roads), then every test but the benchmarks runs (windows offscreen, no
#      display needed).
# Each stage builds only what it runs, and one build serves two stages where it
# can: the sanitizer build stages 1 and 7, the Windows build its tests and the zip.
# What the first stage does not need is installed while it builds. The time of each stage is printed before the whole
# suite runs; the last lines printed are ctest's summary of the whole suite.
# VYX_SKIP_ASAN=1, VYX_SKIP_TSAN=1, VYX_SKIP_FUZZ=1, VYX_SKIP_PACKAGE=1 or
# VYX_SKIP_WINDOWS=1 leave out stage 1, 2, 3, 4 or 5 (without stage 1 the whole
# suite still runs in the sanitizer build).
set -euo pipefail
cd "$(dirname "$0")/.."

full=0
for arg in "$@"; do
    case "$arg" in
        --full) full=1 ;;
        *) echo "usage: $0 [--full]" >&2; exit 2 ;;
    esac
done

windows=0
if [ "${VYX_SKIP_WINDOWS:-0}" != 1 ]; then
    windows=1
fi

# Each stage's wall time and the CPU time (user + system) of what it ran: on a
# machine shared with other work, the CPU time over the number of cores is the
# figure that does not depend on the load.
stage_times=()
stage_name=
stage_start=0
stage_cpu=0
times_file=$(mktemp)
trap 'rm -f "$times_file"' EXIT
cpu_now=0
read_cpu() {
    # `times` runs in this shell (a subshell's children would be other
    # processes); its second line holds the finished children's user and system time.
    times >"$times_file"
    cpu_now=$(awk 'NR == 2 { n = 0; for (i = 1; i <= 2; i++) { split($i, t, /[ms]/); n += t[1] * 60 + t[2] }
        printf "%d", n }' "$times_file")
}
stage_line() {
    stage_times+=("$(printf '%-66s %5d s wall %5d s CPU' "$1" "$2" "$3")")
}
stage() {
    stage_name=$1
    stage_start=$SECONDS
    read_cpu
    stage_cpu=$cpu_now
    echo "== $1"
}
stage_done() {
    read_cpu
    stage_line "$stage_name" $((SECONDS - stage_start)) $((cpu_now - stage_cpu))
}

stage "setup: the compilers and libraries of the sanitizer build"
bash scripts/setup.sh core
stage_done
# The rest (Qt, clang, the cross compiler, Wine, ...) comes while stage 1 builds.
mkdir -p build
setup_log=build/setup.log
setup_sets=()
[ $windows = 1 ] && setup_sets+=(windows)
[ -f scripts/web-build.sh ] && setup_sets+=(web)
bash scripts/setup.sh "${setup_sets[@]}" >"$setup_log" 2>&1 &
setup_pid=$!
setup_waited=0
wait_for_setup() {
    if [ $setup_waited = 1 ]; then
        return
    fi
    setup_waited=1
    local started=$SECONDS
    read_cpu
    local cpu=$cpu_now
    if ! wait "$setup_pid"; then
        cat "$setup_log" >&2
        echo "setup failed" >&2
        exit 1
    fi
    cat "$setup_log"
    read_cpu
    stage_line "setup: the rest, waited for" $((SECONDS - started)) $((cpu_now - cpu))
}

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
# Rebuilds of unchanged sources come from the compiler cache when one is installed,
# in any checkout of the project: paths below its root are hashed relative, and the
# build folder is left out of the hash (debug information may then name another
# checkout's folder, which these test builds can live with).
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
fi

if [ "${VYX_SKIP_ASAN:-0}" != 1 ]; then
    stage "sanitizer build: logic and serial tests"
    cmake --preset asan >/dev/null
    cmake --build --preset asan -j "$jobs" --target vyx-tests-unit vyx-tests-serial
    ctest --preset asan -j "$jobs"
    stage_done
fi
wait_for_setup

if [ "$full" = 1 ] && [ "${VYX_SKIP_TSAN:-0}" != 1 ]; then
    stage "thread sanitizer build: logic, serial and headless road tests"
    cmake --preset tsan >/dev/null
    cmake --build --preset tsan -j "$jobs" --target vyx-tests-unit vyx-tests-serial vyx-tests-e2e
    ctest --preset tsan -j "$jobs"
    stage_done
fi

if [ "${VYX_SKIP_FUZZ:-0}" != 1 ]; then
    stage "fuzz targets"
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz -j "$jobs" --target fuzzers
    ctest --preset fuzz -j "$jobs"
    stage_done
fi

if [ "${VYX_SKIP_PACKAGE:-0}" != 1 ]; then
    stage "package"
    bash scripts/package.sh
    stage_done
fi

wine_build=
if [ $windows = 1 ]; then
    stage "Windows cross-build (its tests run under Wine in the whole suite)"
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j "$jobs"
    stage_done
    stage "vyxctl zip for Windows, from the same build"
    bash scripts/windows-zip.sh
    stage_done
    wine_build=$PWD/build/windows
fi

# --- The browser page: built here when the project has one; its ctest entries
# (label web) join the whole suite through VYX_WEB_BUILD.
suite_options=(-DVYX_WINE_BUILD="$wine_build")
if [ -f scripts/web-build.sh ]; then
    stage "browser page (emscripten)"
    bash scripts/web-build.sh
    # The static site as the maker publishes it, packed from what was just built.
    bash scripts/web-site.sh --archive build/web
    stage_done
    suite_options+=(-DVYX_WEB_BUILD="$PWD/build/web")
fi
# ---

stage "whole suite: the rest of the sanitizer build"
cmake --preset asan "${suite_options[@]}" >/dev/null
cmake --build --preset asan -j "$jobs"
stage_done

echo "== stage times (the whole suite's tests follow)"
printf '%s\n' "${stage_times[@]}"
echo "== whole suite"
ctest --preset suite -j "$jobs"
