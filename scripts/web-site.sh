#!/usr/bin/env bash
# Assembles the page's static site from web/app/ and the built module, writes the
# host's header files, and stamps its service worker with the version and the
# files with their hashes, so that every build is a new offline copy. With --archive DIR also packs the site as
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

# The headers the host must send, as ready files for the common static hosts:
# the page's own policy plus frame-ancestors (which a meta tag cannot carry), no
# type sniffing, and the module's type.
csp=$(sed -n 's/.*http-equiv="Content-Security-Policy" content="\([^"]*\)".*/\1/p' web/app/index.html)
if [ -z "$csp" ]; then
    echo "web-site: web/app/index.html has no Content-Security-Policy" >&2
    exit 1
fi
csp="$csp; frame-ancestors 'none'"
cat >"$out/_headers" <<EOF
# VyxTool's page: the headers its host sends (Netlify, Cloudflare Pages).
/*
  Content-Security-Policy: $csp
  X-Content-Type-Options: nosniff
  X-Frame-Options: DENY
/*.wasm
  Content-Type: application/wasm
/*.webmanifest
  Content-Type: application/manifest+json
EOF
cat >"$out/.htaccess" <<EOF
# VyxTool's page: the headers Apache sends for this folder (mod_mime, mod_headers).
AddType application/wasm .wasm
AddType application/manifest+json .webmanifest
Header always set Content-Security-Policy "$csp"
Header always set X-Content-Type-Options "nosniff"
Header always set X-Frame-Options "DENY"
EOF
# In nginx a location with add_header of its own drops the server's: each
# location of the snippet carries all three.
headers="    add_header Content-Security-Policy \"$csp\" always;
    add_header X-Content-Type-Options \"nosniff\" always;
    add_header X-Frame-Options \"DENY\" always;"
cat >"$out/nginx-vyxtool.conf" <<EOF
# VyxTool's page: include this file in the nginx server block that serves the
# page's folder (include /path/to/nginx-vyxtool.conf;).
$headers
location ~ \.wasm\$ {
    types { application/wasm wasm; }
$headers
}
location ~ \.webmanifest\$ {
    types { application/manifest+json webmanifest; }
$headers
}
EOF

# The worker keeps every file of the page with its SHA-256 (a fetched copy that
# differs is refused) and a stamp that changes with any of them. The worker
# itself and the host's files are no part of the offline copy.
files=$(cd "$out" && find . -type f ! -name sw.js ! -name _headers ! -name .htaccess ! -name nginx-vyxtool.conf |
    sed 's|^\./||' | LC_ALL=C sort)
hashes=$(cd "$out" && echo "$files" | xargs sha256sum)
stamp=$(echo "$hashes" | sha256sum | cut -c1-12)
list=$(echo "$hashes" | node -e '
const files = { "./": null };
for (const line of require("fs").readFileSync(0, "utf8").trim().split("\n")) {
    const [hash, name] = line.split(/ [ *]/);
    files[name] = hash;
}
files["./"] = files["index.html"];
process.stdout.write(JSON.stringify(files));')
sed -i "s|__VYX_BUILD__|$version-$stamp|; s|__VYX_FILES__|$list|" "$out/sw.js"
echo "web-site: $out (version $version, build $stamp)"

if [ -n "$archive" ]; then
    mkdir -p "$archive"
    name="vyxtool-web-$version"
    tarball="$(cd "$archive" && pwd)/$name.tar.gz"
    tar -C "$out" --transform "s|^\.|$name|" --owner=0 --group=0 --sort=name -czf "$tarball" .
    echo "web-site: $tarball ($(stat -c %s "$tarball") bytes)"
fi
