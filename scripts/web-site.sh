#!/usr/bin/env bash
# Assembles the page's static site from web/app/ and the built module, and stamps
# its service worker with the version and the file list, so that every build is a
# new offline copy. With --archive DIR also packs the site as
# DIR/vyxtool-web-VERSION.tar.gz (what the maker publishes).
#
#   bash scripts/web-site.sh [--module DIR] [--out DIR] [--archive DIR]
# Defaults: --module build/web/module (scripts/web-build.sh), --out build/web/site.
set -euo pipefail
cd "$(dirname "$0")/.."

module=build/web/module
out=build/web/site
archive=""
while [ $# -gt 0 ]; do
    case "$1" in
        --module) module=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        --archive) archive=$2; shift 2 ;;
        *) echo "web-site: unknown argument $1" >&2; exit 2 ;;
    esac
done
for file in vyx.js vyx.wasm; do
    if [ ! -f "$module/$file" ]; then
        echo "web-site: $module/$file is missing: build the module first (bash scripts/web-build.sh)" >&2
        exit 1
    fi
done

version=$(sed -n 's/^set(VYX_VERSION "\(.*\)")$/\1/p' CMakeLists.txt)
rm -rf "$out"
mkdir -p "$out"
cp -R web/app/. "$out/"
cp "$module/vyx.js" "$module/vyx.wasm" "$out/"

# Every file but the worker itself, and a stamp that changes with any of them.
files=$(cd "$out" && find . -type f ! -name sw.js | sed 's|^\./||' | LC_ALL=C sort)
stamp=$(cd "$out" && echo "$files" | xargs sha256sum | sha256sum | cut -c1-12)
list=$(echo "$files" | node -e 'const l=require("fs").readFileSync(0,"utf8").trim().split("\n");process.stdout.write(JSON.stringify(["./",...l]))')
sed -i "s|__VYX_BUILD__|$version-$stamp|; s|__VYX_FILES__|$list|" "$out/sw.js"
echo "web-site: $out (version $version, build $stamp)"

if [ -n "$archive" ]; then
    mkdir -p "$archive"
    name="vyxtool-web-$version"
    tarball="$(cd "$archive" && pwd)/$name.tar.gz"
    tar -C "$out" --transform "s|^\.|$name|" --owner=0 --group=0 --sort=name -czf "$tarball" .
    echo "web-site: $tarball ($(stat -c %s "$tarball") bytes)"
fi
