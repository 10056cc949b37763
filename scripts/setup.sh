#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running VyxTool need,
# and only when one of them is missing. Safe to run again.
# "setup.sh windows" adds what the windows preset and its Wine stage need: the
# mingw-w64 cross compiler, Wine, Python for the echoing test line, and zip and
# unzip for the vyxctl zip.
# "setup.sh web" adds what the web preset and the browser page need: emscripten,
# node and npm (for the page's pinned test tools), and chromium for its tests.
# "setup.sh core" installs only what configuring and building the sanitizer
# build needs (Qt and help2man included: that build also serves the whole suite),
# so that the test command can start building while the rest is installed.
set -euo pipefail

core=(cmake ninja-build g++ pkg-config googletest libgtest-dev libgmock-dev
    nlohmann-json3-dev libcli11-dev ccache qt6-base-dev libgl-dev qt6-svg-dev help2man)

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev libgl-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    nlohmann-json3-dev libcli11-dev
    clang libclang-rt-14-dev
    xvfb xauth imagemagick fonts-dejavu-core ccache
    qt6-svg-dev help2man dpkg-dev desktop-file-utils appstream lintian
    openssl
)
for preset in "$@"; do
    case "$preset" in
        windows) packages+=(g++-mingw-w64-x86-64-posix wine wine64 python3 zip unzip) ;;
        web)
            packages+=(emscripten chromium)
            # A node installed apart from Debian's brings its own npm, and Debian's
            # npm package conflicts with it: only what cannot be found is asked for.
            command -v node >/dev/null 2>&1 || packages+=(nodejs)
            command -v npm >/dev/null 2>&1 || packages+=(npm)
            ;;
        core) packages=("${core[@]}") ;;
        *) echo "setup: no packages known for '$preset'" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: every package is installed"
    exit 0
fi

cmd="apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
        sudo sh -c "$cmd"
        exit 0
    fi
    echo "setup: these packages are missing: ${missing[*]}" >&2
    echo "setup: run as root:" >&2
    echo "  $cmd" >&2
    exit 1
fi
echo "setup: installing ${missing[*]}"
sh -c "$cmd"
