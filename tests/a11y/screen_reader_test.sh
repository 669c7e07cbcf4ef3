#!/bin/bash
# A screen reader's walk over Wardel's windows: the real program on an X display of its own, with a private
# session bus and the accessibility bus behind it, read by an AT-SPI client. Exits 77 (skipped) when a tool
# it needs is missing.
# Usage: screen_reader_test.sh WARDEL_EXECUTABLE
set -u
wardel=$1
here=$(cd "$(dirname "$0")" && pwd)

skip() {
    echo "SKIP: $1"
    exit 77
}
command -v Xvfb >/dev/null || skip "no Xvfb"
command -v dbus-run-session >/dev/null || skip "no dbus-run-session"
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "no at-spi-bus-launcher (at-spi2-core)"
/usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
    skip "no python3-gi with gir1.2-atspi-2.0"

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# The program keeps its files beside itself: a copy in a folder of its own, with two targets that are never
# probed (monitoring does not start by itself).
cp "$wardel" "$work/wardel"
printf '"127.0.0.1","9","discard","3"\r\n"::1","7","echo","2"\r\n' >"$work/host.ini"

# A display number of its own, away from the low ones other programs on the machine pick.
start_display() {
    display=
    for _ in 1 2 3 4 5; do
        candidate=$((200 + RANDOM % 700))
        rm -f "$work/display"
        Xvfb ":$candidate" -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 50); do
            [ -s "$work/display" ] && break
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.2
        done
        if [ -s "$work/display" ]; then
            display=$candidate
            return 0
        fi
        xvfb_pid=
    done
    return 1
}

# On a real X display libxkbcommon-x11 hands strndup a length beyond a name's buffer; strndup stops at the
# name's end, but AddressSanitizer's strict string checks count the whole length. Not Wardel's to mend.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0"

# Now and then the program cannot reach a display that Xvfb has just reported ready, on a busy machine; that
# says nothing about Wardel, so such a run is tried again on a fresh display, a second later, at most five times.
for attempt in 1 2 3 4 5; do
    start_display || skip "Xvfb did not start"
    HOME=$work DISPLAY=:$display timeout 60 dbus-run-session -- /usr/bin/python3 "$here/screen_reader_client.py" \
        "$work/wardel" >"$work/client.log" 2>&1
    status=$?
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
    cat "$work/client.log"
    grep -q "could not connect to display" "$work/client.log" || exit "$status"
    echo "(attempt $attempt could not reach its display; trying again)"
    cat "$work/xvfb.log"
    sleep 1
done
exit "$status"
