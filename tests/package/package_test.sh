#!/usr/bin/env bash
# Builds the Debian package from an already built tree into a scratch folder, then checks its control
# fields, that it holds exactly the program and its desktop, documentation and Debian files, that the desktop
# entry and the metainfo name what the package ships, and, where lintian is installed, that lintian finds no
# error and none of the faults it once found here.
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

icon_sizes=(16 22 24 32 48 64 128 256)
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
expected=$(
    printf '%s\n' ./usr/bin/wardel ./usr/share/applications/wardel.desktop ./usr/share/doc/wardel/changelog.gz \
        ./usr/share/doc/wardel/copyright ./usr/share/icons/hicolor/scalable/apps/wardel.svg \
        ./usr/share/man/man1/wardel.1.gz ./usr/share/metainfo/org.example.wardel.metainfo.xml
    for size in "${icon_sizes[@]}"; do echo "./usr/share/icons/hicolor/${size}x${size}/apps/wardel.png"; done
)
expected=$(sort <<<"$expected")
[ "$files" = "$expected" ] || fail "contents differ:"$'\n'"$(diff <(echo "$expected") <(echo "$files"))"

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
share="$root/usr/share"
entry="$share/applications/wardel.desktop"
[ -x "$root/usr/bin/$(sed -n 's/^Exec=//p' "$entry")" ] || fail "Exec= names no installed program"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon= names no installed icon"
for size in "${icon_sizes[@]}"; do
    png="$share/icons/hicolor/${size}x${size}/apps/$icon.png"
    [[ "$(file -b "$png")" == "PNG image data, $size x $size, "* ]] || fail "$png: $(file -b "$png")"
done
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' \
    "$share/metainfo/org.example.wardel.metainfo.xml")
[ -f "$share/applications/$launchable" ] || fail "the metainfo launches '$launchable', which is not installed"
gzip -dc "$share/man/man1/wardel.1.gz" | grep -q '^\.TH "wardel" "1"' || fail "wardel.1.gz is no manual page"

# lintian's verdict, on packages of trees without sanitizers (theirs is not the program that ships). The checked
# libc functions come only with the optimiser: a debug tree's package cannot have them, so there the fortify tag
# is not asked about.
cache="$build/CMakeCache.txt"
if command -v lintian >/dev/null && ! grep -q '^WARDEL_SANITIZE:BOOL=ON$' "$cache"; then
    faults=(no-copyright-file no-changelog no-manual-page hardening-no-bindnow)
    if grep -q '^CMAKE_BUILD_TYPE:STRING=\(Release\|RelWithDebInfo\|MinSizeRel\)$' "$cache"; then
        faults+=(hardening-no-fortify-functions)
    fi
    # It exits 1 when it finds errors, which the lines below tell apart; anything else is lintian failing.
    status=0
    lintian --display-info "$deb" >"$scratch/lintian.log" 2>&1 || status=$?
    [ "$status" -le 1 ] || fail "lintian failed ($status): $(cat "$scratch/lintian.log")"
    if grep '^E: ' "$scratch/lintian.log"; then fail "lintian reports errors"; fi
    for tag in "${faults[@]}"; do
        if grep -E "^[EWIP]: wardel[^:]*: $tag( |$)" "$scratch/lintian.log"; then fail "lintian reports $tag"; fi
    done
fi

[ "$failures" -eq 0 ] || { dpkg-deb -I "$deb"; exit 1; }
echo "$(basename "$deb") checked"
