#!/bin/bash
# Wardel against a desktop's services: the test program on an X display of its own and a private session bus
# whose only services are the fakes the tests start. The bus ends with the test program, whatever happens.
# Exits 77 (skipped) when a tool it needs is missing.
# Usage: desktop_bus_test.sh TEST_EXECUTABLE [gtest arguments]
set -u
binary=$1
shift

skip() {
    echo "SKIP: $1"
    exit 77
}
command -v Xvfb >/dev/null || skip "no Xvfb"
command -v dbus-daemon >/dev/null || skip "no dbus-daemon"
/usr/bin/python3 -c 'from gi.repository import Gio' 2>/dev/null || skip "no python3-gi"

work=$(mktemp -d)
xvfb_pid=
bus_pid=
cleanup() {
    [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# A bus with no service directories: nothing of the machine's own (a real notification daemon) can be
# started on it.
cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$work</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
# Under `timeout`, so that the bus and the display end within two minutes even when this script is killed
# before it can clean up.
timeout 120 dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=3 3>"$work/address" &
bus_pid=$!
for _ in $(seq 50); do
    [ -s "$work/address" ] && break
    sleep 0.1
done
[ -s "$work/address" ] || skip "dbus-daemon did not start"
address=$(head -n 1 "$work/address")

# A display number of its own, away from the low ones other programs on the machine pick.
display=
for _ in 1 2 3 4 5; do
    candidate=$((200 + RANDOM % 700))
    rm -f "$work/display"
    timeout 120 Xvfb ":$candidate" -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [ -s "$work/display" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.2
    done
    if [ -s "$work/display" ]; then
        display=$candidate
        break
    fi
    xvfb_pid=
done
[ -n "$display" ] || skip "Xvfb did not start"

# See the screen reader test: libxkbcommon-x11 and AddressSanitizer's strict string checks.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0"
HOME=$work DBUS_SESSION_BUS_ADDRESS=$address DISPLAY=:$display QT_QPA_PLATFORM=xcb XDG_CURRENT_DESKTOP= \
    XDG_RUNTIME_DIR=$work timeout 60 "$binary" "$@"
