#!/usr/bin/env bash
# Builds the Debian package from an already built tree into a scratch folder, then checks its control
# fields and that it holds exactly the two programs, the desktop entry and the icon, and that the entry
# names the program and the icon it ships.
# Usage: package_test.sh <cpack> <build tree>
set -euo pipefail

cpack=$1
build=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/wardel_*.deb)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "wardel_$(dpkg-deb -f "$deb" Version)_$arch.deb" ] || fail "file name $(basename "$deb")"
while IFS='=' read -r field expected; do
    [ "$(dpkg-deb -f "$deb" "$field")" = "$expected" ] || fail "$field is '$(dpkg-deb -f "$deb" "$field")'"
done <<FIELDS
Package=wardel
Architecture=$arch
Section=net
Priority=optional
FIELDS
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer"
[ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "no Description"
# The libraries come from dpkg-shlibdeps, the plugins from the explicit list.
depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6svg6 qt6-qpa-plugins \
    libcurl4 ca-certificates; do
    [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
expected=$(printf '%s\n' ./usr/bin/wardel ./usr/bin/wardel-gateway-sim ./usr/share/applications/wardel.desktop \
    ./usr/share/icons/hicolor/scalable/apps/wardel.svg)
[ "$files" = "$expected" ] || fail "contents differ:"$'\n'"$files"

dpkg-deb -x "$deb" "$scratch/root"
entry="$scratch/root/usr/share/applications/wardel.desktop"
[ -x "$scratch/root/usr/bin/$(sed -n 's/^Exec=//p' "$entry")" ] || fail "Exec= names no installed program"
[ -f "$scratch/root/usr/share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$entry").svg" ] ||
    fail "Icon= names no installed icon"

[ "$failures" -eq 0 ] || { dpkg-deb -I "$deb"; exit 1; }
echo "$(basename "$deb") checked"
