#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running VyxTool need,
# and only when one of them is missing. Safe to run again.
# "setup.sh windows" adds what the windows preset and its Wine stage need: the
# mingw-w64 cross compiler, Wine, Python for the echoing test line, and zip and
# unzip for the vyxctl zip; then it makes SQLite's single-file source from Debian's
# own sqlite3 source package, which the windows preset compiles into vyxctl.exe
# (see windows_sqlite below: kept in /var/cache/vyxtool/sqlite3, made once).
# "setup.sh web" adds what the web preset and the browser page need: emscripten,
# node and npm (for the page's pinned test tools), and chromium for its tests.
# "setup.sh core" installs only what configuring and building the sanitizer
# build needs (Qt and help2man included: that build also serves the whole suite),
# so that the test command can start building while the rest is installed.
set -euo pipefail

want_sqlite=0
# SQLite's single-file form (sqlite3.c, sqlite3.h) for the Windows build, made from
# the source of the very version of libsqlite3-dev that the native build links. It
# lives outside any checkout so that every checkout and test run shares it and
# the source package is fetched once; VYX_SQLITE_CACHE moves it (the windows
# preset reads the default place).
sqlite_cache=${VYX_SQLITE_CACHE:-/var/cache/vyxtool/sqlite3}
windows_sqlite() {
    local version
    # One maker at a time: checkouts share the cache.
    mkdir -p "$(dirname "$sqlite_cache")" 2>/dev/null || true
    exec 9>>"$(dirname "$sqlite_cache")/.sqlite3.lock" 2>/dev/null && flock 9 || true
    version=$(dpkg-query -W -f='${source:Version}' libsqlite3-dev 2>/dev/null || true)
    if [ -f "$sqlite_cache/sqlite3.c" ] && [ -f "$sqlite_cache/sqlite3.h" ] &&
        [ "$(cat "$sqlite_cache/VERSION" 2>/dev/null)" = "$version" ]; then
        echo "setup: SQLite $version's sqlite3.c for Windows is in $sqlite_cache"
        return 0
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: SQLite's sqlite3.c for Windows is missing; run as root: bash scripts/setup.sh windows" >&2
        return 1
    fi
    # A deb-src twin of the machine's Debian entries (same archive, same suites),
    # when apt knows no source for sqlite3 yet: one file for the deb822 lists, one
    # for the one-line list.
    if ! apt-cache showsrc sqlite3 2>/dev/null | grep -q '^Package: sqlite3$'; then
        local twin=/etc/apt/sources.list.d/vyxtool-deb-src
        local list
        rm -f "$twin.sources" "$twin.list"
        for list in /etc/apt/sources.list.d/*.sources; do
            [ -f "$list" ] && grep -Eq '^Types:(.* )?deb( |$)' "$list" && grep -qi 'debian' "$list" || continue
            { sed -e 's/^Types:.*/Types: deb-src/' "$list"; echo; } >>"$twin.sources"
        done
        if [ -f /etc/apt/sources.list ]; then
            grep -E '^deb\s.*debian' /etc/apt/sources.list | sed 's/^deb\s/deb-src /' >"$twin.list" || true
            [ -s "$twin.list" ] || rm -f "$twin.list"
        fi
        if [ ! -f "$twin.sources" ] && [ ! -f "$twin.list" ]; then
            echo "setup: the machine's source lists have no Debian entry to twin with deb-src" >&2
            return 1
        fi
        echo "setup: added the deb-src twin $twin.*; updating the package lists"
        apt-get update >/dev/null
    fi
    local work
    work=$(mktemp -d)
    # The installed library's own version first; any served one when that is gone.
    if ! (cd "$work" && apt-get source --download-only "sqlite3=$version" >/dev/null 2>&1); then
        (cd "$work" && apt-get source --download-only sqlite3 >/dev/null)
    fi
    # Unpacked with Debian's patches, as the library libsqlite3-dev holds was built.
    # apt has checked the files against the archive's signed index; dpkg-source's
    # own check of the .dsc's signature would need debian-keyring, and only warns.
    (cd "$work" && dpkg-source -x ./*.dsc tree >/dev/null)
    (cd "$work/tree" && ./configure >/dev/null && make sqlite3.c >/dev/null)
    mkdir -p "$sqlite_cache"
    cp "$work/tree/sqlite3.c" "$work/tree/sqlite3.h" "$work"/*.dsc "$sqlite_cache/"
    printf '%s\n' "$version" >"$sqlite_cache/VERSION"
    rm -rf "$work"
    echo "setup: made SQLite $version's sqlite3.c for Windows in $sqlite_cache"
}

core=(cmake ninja-build g++ pkg-config googletest libgtest-dev libgmock-dev
    nlohmann-json3-dev libcli11-dev ccache qt6-base-dev libgl-dev qt6-svg-dev help2man
    libsqlite3-dev)

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev libgl-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    nlohmann-json3-dev libcli11-dev libsqlite3-dev
    clang libclang-rt-14-dev
    xvfb xauth imagemagick fonts-dejavu-core ccache
    qt6-svg-dev help2man dpkg-dev desktop-file-utils appstream lintian
    openssl
)
for preset in "$@"; do
    case "$preset" in
        windows)
            packages+=(g++-mingw-w64-x86-64-posix wine wine64 python3 zip unzip)
            # Making sqlite3.c from the source tree: its configure, make and tclsh.
            packages+=(dpkg-dev make tcl)
            want_sqlite=1
            ;;
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
    if [ $want_sqlite = 1 ]; then windows_sqlite; fi
    exit 0
fi

cmd="apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
        sudo sh -c "$cmd"
        if [ $want_sqlite = 1 ]; then sudo env VYX_SQLITE_CACHE="$sqlite_cache" bash "$0" windows; fi
        exit 0
    fi
    echo "setup: these packages are missing: ${missing[*]}" >&2
    echo "setup: run as root:" >&2
    echo "  $cmd" >&2
    exit 1
fi
echo "setup: installing ${missing[*]}"
sh -c "$cmd"
if [ $want_sqlite = 1 ]; then windows_sqlite; fi
