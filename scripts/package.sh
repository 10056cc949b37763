#!/usr/bin/env bash
# Builds the Debian package from the release preset and checks it: the file list
# against packaging/files.txt, the desktop entry and metainfo validators, the
# dependencies dpkg-shlibdeps found, lintian, and `vyxtool --version` run from
# the package unpacked into a scratch root. Prints the package's path last.
# VYX_USB_VID and VYX_USB_PID in the environment go to the build (udev rule).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
build=build/release
cmake --preset release -DVYX_USB_VID="${VYX_USB_VID:-}" -DVYX_USB_PID="${VYX_USB_PID:-}" >/dev/null
# The package files depend on the programs (the man pages are made from them):
# this builds what the package holds and nothing else.
cmake --build --preset release -j "$(nproc)" --target vyx-package-files
rm -f "$build"/vyxtool_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/vyxtool_*.deb)

fail() {
    echo "package: $*" >&2
    exit 1
}

# The file list.
expected=$(mktemp)
actual=$(mktemp)
root=$(mktemp -d)
trap 'rm -rf "$expected" "$actual" "$root"' EXIT
has_vyxctl=no
[ -n "$(find "$build" -name vyxctl -type f -perm -u+x -print -quit)" ] && has_vyxctl=yes
has_udev=no
[ -n "${VYX_USB_VID:-}" ] && has_udev=yes
while read -r line; do
    case "$line" in
        '#'* | '') ;;
        vyxctl:*) if [ "$has_vyxctl" = yes ]; then echo "${line#vyxctl: }"; fi ;;
        udev:*) if [ "$has_udev" = yes ]; then echo "${line#udev: }"; fi ;;
        *) echo "$line" ;;
    esac
done <packaging/files.txt | sort >"$expected"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' | sort >"$actual"
diff -u "$expected" "$actual" >&2 || fail "the file list differs from packaging/files.txt"

# Dependencies found by dpkg-shlibdeps.
depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in
    *libqt6widgets6*) ;;
    *) fail "no Qt Widgets among the dependencies: '$depends'" ;;
esac

# Validators: skipped only where they are missing (scripts/setup.sh installs them).
dpkg-deb -x "$deb" "$root"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root"/usr/share/applications/*.desktop
else
    echo "package: desktop-file-validate missing, desktop entry not checked" >&2
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml ||
        fail "the metainfo does not validate"
else
    echo "package: appstreamcli missing, metainfo not checked" >&2
fi

# lintian with its pedantic checks: an error or a warning fails the package.
# An override needs its reason on the line above it in the overrides file.
lintian --pedantic --display-info --fail-on error,warning "$deb" >&2 ||
    fail "lintian finds fault with the package"

# vyxctl's page holds the sections made from its tables, and the exit status
# once: in its own section, not also among the options.
if [ "$has_vyxctl" = yes ]; then
    page=$(zcat "$root"/usr/share/man/man1/vyxctl.1.gz)
    for section in '.SH "PROFILE KEYS"' '.SH "EXIT STATUS"'; do
        grep -qxF "$section" <<<"$page" || fail "man vyxctl has no $section"
    done
    # help2man writes a code of --help's exit status lines as a bare "0" line.
    if [ "$(grep -c '^\.B 0$' <<<"$page")" != 1 ] || grep -qx 0 <<<"$page"; then
        fail "man vyxctl lists the exit status twice or not at all"
    fi
fi

# The installed program answers without a display.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root"/usr/bin/vyxtool --version)
[ "$version" = "vyxtool $(dpkg-deb -f "$deb" Version)" ] ||
    fail "vyxtool --version printed '$version'"

echo "package: $(dpkg-deb -f "$deb" Package) $(dpkg-deb -f "$deb" Version), depends: $depends"
echo "$deb"
