#!/usr/bin/env bash
# The Windows delivery of vyxctl: builds the zip (preset windows, target
# vyxctl-zip) and checks that it runs on a clean Windows: the zip holds the
# program and its README only, the program imports no DLL but Windows' own, and,
# unpacked alone into a scratch folder, it answers under Wine in a fresh prefix
# (--help, --version when it has one, and the port list). Prints the zip's path
# last.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh windows >/dev/null
cmake --preset windows >/dev/null
# A zip of an earlier version would be taken for this one.
rm -f build/windows/vyxctl-*-windows-x64.zip
cmake --build --preset windows -j "$(nproc)" --target vyxctl-zip
zip=$(ls build/windows/vyxctl-*-windows-x64.zip)
name=$(basename "$zip" .zip)
version=${name#vyxctl-}
version=${version%-windows-x64}

fail() {
    echo "windows-zip: $*" >&2
    exit 1
}

folder=$(mktemp -d /tmp/vyx-zip-XXXXXX)
prefix=$(mktemp -d /tmp/vyx-wine-XXXXXX)
cleanup() {
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    rm -rf "$folder" "$prefix"
}
trap cleanup EXIT

listing=$(unzip -Z1 "$zip" | sort)
[ "$listing" = "$(printf '%s\n' "$name/README.txt" "$name/vyxctl.exe")" ] ||
    fail "the zip holds other files than vyxctl.exe and README.txt: $listing"
unzip -q "$zip" -d "$folder"
program=$folder/$name/vyxctl.exe

# Windows' own DLLs only: a runtime DLL of the compiler (libstdc++, libgcc,
# libwinpthread) would be missing on a clean Windows.
imports=$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p')
for dll in $imports; do
    case "${dll,,}" in
        kernel32.dll | msvcrt.dll | advapi32.dll | user32.dll | ws2_32.dll | shell32.dll | \
            ole32.dll | bcrypt.dll | api-ms-win-*) ;;
        *) fail "vyxctl.exe needs $dll, which a clean Windows does not have" ;;
    esac
done

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
run() {
    (cd "$folder/$name" && wine ./vyxctl.exe "$@")
}
help=$(run --help) || fail "vyxctl.exe --help failed under Wine"
case "$help" in
    *vyxctl*ports*) ;;
    *) fail "vyxctl.exe --help printed: $help" ;;
esac
if [[ "$help" == *--version* ]]; then
    shown=$(run --version) || fail "vyxctl.exe --version failed under Wine"
    [[ "$shown" == *"$version"* ]] || fail "vyxctl.exe --version printed '$shown', not $version"
fi
run ports --listen 100 >/dev/null || fail "vyxctl.exe ports failed under Wine"

echo "windows-zip: $name.zip, $(stat -c %s "$zip") bytes; vyxctl.exe $(stat -c %s "$program") bytes, imports: ${imports//$'\n'/ }"
echo "$zip"
