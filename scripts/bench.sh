#!/usr/bin/env bash
# Every benchmark figure in one run: builds the preset "bench" (Release, the gateway on loopback port 47080 for
# the simulator) into build/bench/ and runs the programs of bench/, then
# Wardel beside Debian's monit over the same 100 refused loopback targets. The soak and the peer run go on in
# the background while the short benchmarks run, so the whole run takes as long as the soak.
#
# Usage: scripts/bench.sh [--minutes N] [--peer-seconds S]
#   --minutes       length of the soak (default 10; at least 3, since memory is first read at minute 2; 0 leaves
#                   the soak out)
#   --peer-seconds  length of the run beside monit (default 300)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
minutes=10
peer_seconds=300
while [ $# -gt 0 ]; do
    case "$1" in
    --minutes) minutes=$2; shift 2 ;;
    --peer-seconds) peer_seconds=$2; shift 2 ;;
    *) echo "usage: $0 [--minutes N] [--peer-seconds S]" >&2; exit 2 ;;
    esac
done

# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"
WARDEL_PACKAGES+=(monit iproute2 util-linux)
# monit comes as a service; its install must not start one. A policy that refuses every service start stands
# in for the install, unless the machine already has one.
policy=/usr/sbin/policy-rc.d
own_policy=0
if ! package_installed monit && [ ! -e "$policy" ] && [ "$(id -u)" -eq 0 ]; then
    printf '#!/bin/sh\nexit 101\n' >"$policy" && chmod 755 "$policy" && own_policy=1
fi
install_missing_packages
if [ "$own_policy" -eq 1 ]; then rm -f "$policy"; fi

build="$root/build/bench"
(cd "$root" && cmake --preset bench >/dev/null && cmake --build --preset bench)

work=$(mktemp -d /tmp/wardel-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
# Qt wants a private runtime folder; without one it says so in every program's output.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# One program over 100 refused loopback targets, in a network namespace of its own: there its loopback has no
# other traffic, so the namespace's TCP counters count exactly its probes (every connect is an active open).
# Prints: CPU nanoseconds (from /proc/<pid>/schedstat), probes, resident KiB at the end, peak resident KiB.
peer_run() { # name seconds command...
    local name=$1 seconds=$2
    shift 2
    unshare --net bash -c '
        set -eu
        ip link set lo up
        "$@" >/dev/null 2>&1 &
        pid=$!
        # The start-up is left out: counting begins after 10 seconds.
        sleep 10
        # CPU time in nanoseconds, user and system together.
        cpu() { cut -d" " -f1 /proc/$pid/schedstat; }
        opens() { awk "/^Tcp:/ && \$6 ~ /^[0-9]+$/ { print \$6 }" /proc/$pid/net/snmp; }
        cpu0=$(cpu) opens0=$(opens)
        sleep "$0"
        cpu1=$(cpu) opens1=$(opens)
        rss=$(awk "/^VmRSS:/ { print \$2 }" /proc/$pid/status)
        hwm=$(awk "/^VmHWM:/ { print \$2 }" /proc/$pid/status)
        kill -TERM $pid
        wait $pid || true
        echo "$cpu0 $cpu1 $opens0 $opens1 $rss $hwm"
    ' "$seconds" "$@" >"$work/$name.peer"
}

peer_comparison() {
    local ports=() i
    for i in $(seq 40001 40100); do ports+=("$i"); done

    # Wardel: interval 1 s, timeout 2 s, alerts and file logging off, monitoring from the start.
    mkdir -p "$work/wardel"
    cp "$build/wardel" "$work/wardel/"
    printf '1\r\n2\r\n0\r\n\r\n\r\n\r\n1\r\n0\r\n\r\n\r\n0\r\n60\r\n\r\n720\r\n\r\n' >"$work/wardel/setting.ini"
    for i in "${ports[@]}"; do printf '"127.0.0.1","%s","peer %s","3"\r\n' "$i" "$i"; done >"$work/wardel/host.ini"

    # monit: a cycle of one second, its own files in the temporary folder, no web interface, in the foreground.
    mkdir -p "$work/monit"
    {
        echo "set daemon 1"
        echo "set logfile $work/monit/monit.log"
        echo "set pidfile $work/monit/monit.pid"
        echo "set idfile $work/monit/monit.id"
        echo "set statefile $work/monit/monit.state"
        for i in "${ports[@]}"; do
            echo "check host peer$i with address 127.0.0.1"
            echo "  if failed port $i type tcp with timeout 2 seconds then alert"
        done
    } >"$work/monit/monitrc"
    chmod 600 "$work/monit/monitrc"

    # monit again at Wardel's pace: one target, so one probe per wake-up, as Wardel probes one target a second.
    mkdir -p "$work/monit1"
    {
        echo "set daemon 1"
        for file in logfile pidfile idfile statefile; do echo "set $file $work/monit1/monit.${file%file}"; done
        echo "check host peer${ports[0]} with address 127.0.0.1"
        echo "  if failed port ${ports[0]} type tcp with timeout 2 seconds then alert"
    } >"$work/monit1/monitrc"
    chmod 600 "$work/monit1/monitrc"

    peer_run wardel "$peer_seconds" "$work/wardel/wardel" &
    peer_run monit "$peer_seconds" monit -I -c "$work/monit/monitrc" &
    peer_run monit1 "$peer_seconds" monit -I -c "$work/monit1/monitrc" &
    wait
}

peer_report() {
    local name
    echo "peer comparison: refused loopback targets, ${peer_seconds} s after a 10 s start"
    echo "  (wardel and monit: 100 targets; monit1: monit over 1 target, one probe per wake-up as Wardel)"
    printf '  %-8s %10s %8s %14s %14s %12s\n' program "CPU s" probes "CPU/probe us" "resident KiB" "peak KiB"
    for name in wardel monit monit1; do
        read -r cpu0 cpu1 opens0 opens1 rss hwm <"$work/$name.peer" || { echo "  $name: no figures"; continue; }
        awk -v n="$name" -v c0="$cpu0" -v c1="$cpu1" -v o0="$opens0" -v o1="$opens1" -v r="$rss" -v h="$hwm" \
            -v s="$peer_seconds" 'BEGIN {
                cpu = (c1 - c0) / 1e9; probes = o1 - o0;
                perProbe = 0; if (probes > 0) perProbe = 1e6 * cpu / probes;
                printf "  %-8s %10.2f %8d %14.0f %14d %12d   (%.2f %% of one core)\n", n, cpu, probes,
                    perProbe, r, h, 100 * cpu / s }'
    done
}

echo "== Wardel benchmarks (Release, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)) =="
soak=
if [ "$minutes" -gt 0 ]; then
    "$build/bench/soak_bench" "$build/wardel" "$build/tools/wardel-gateway-sim" "$minutes" >"$work/soak.txt" 2>&1 &
    soak=$!
fi
peer_comparison &
peer=$!
# What any Qt window pays per wake-up here, beside the peer run (4 ways of 30 s).
"$build/bench/wake_floor_bench" 30 >"$work/floor.txt" 2>&1 &
floor=$!

"$build/bench/host_list_bench"
"$build/bench/log_box_bench"
"$build/bench/startup_bench"
"$build/bench/engine_cpu_bench" 60

wait "$peer"
peer_report
wait "$floor"
cat "$work/floor.txt"
if [ -n "$soak" ]; then
    wait "$soak"
    cat "$work/soak.txt"
fi
