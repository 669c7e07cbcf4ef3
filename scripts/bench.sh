#!/usr/bin/env bash
# Every benchmark figure in one run: builds the preset "bench" (Release, the gateway on loopback port 47080 for
# the simulator) into build/bench/ and runs the programs of bench/, then
# Wardel beside Debian's monit over the same 100 refused loopback targets. The soak and the peer run go on in
# the background while the short benchmarks run, so the whole run takes as long as the soak.
#
# Usage: scripts/bench.sh [--minutes N] [--peer-seconds S] [--csv FILE]
#   --minutes       length of the soak (default 10; at least 3, since memory is first read at minute 2; 0 leaves
#                   the soak out)
#   --peer-seconds  length of the run beside monit (default 300)
#   --csv           where the figures go as well, one per line, so two runs can be compared
#                   (default build/bench/bench.csv; the file is written anew)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
minutes=10
peer_seconds=300
csv=
while [ $# -gt 0 ]; do
    case "$1" in
    --minutes) minutes=$2; shift 2 ;;
    --peer-seconds) peer_seconds=$2; shift 2 ;;
    --csv) csv=$2; shift 2 ;;
    *) echo "usage: $0 [--minutes N] [--peer-seconds S] [--csv FILE]" >&2; exit 2 ;;
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
csv=${csv:-$build/bench.csv}
echo "figure,value,unit" >"$csv"
# One figure into the CSV file: name, value, unit.
figure() { printf '"%s",%s,%s\n' "$1" "$2" "$3" >>"$csv"; }

work=$(mktemp -d /tmp/wardel-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
# Qt wants a private runtime folder; without one it says so in every program's output.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# One program over 100 refused loopback targets, in a network namespace of its own: there its loopback has no
# other traffic, so the namespace's TCP counters count exactly its probes (every connect is an active open).
# Prints: CPU nanoseconds (from /proc/<pid>/schedstat), probes, resident KiB at the end, peak resident KiB, and
# from /proc/<pid>/smaps_rollup the proportional set size, the private dirty and the private clean KiB.
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
        rollup() { awk -v k="$1:" "\$1 == k { print \$2 }" /proc/$pid/smaps_rollup; }
        pss=$(rollup Pss) dirty=$(rollup Private_Dirty) clean=$(rollup Private_Clean)
        kill -TERM $pid
        wait $pid || true
        echo "$cpu0 $cpu1 $opens0 $opens1 $rss $hwm $pss $dirty $clean"
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

    # The same table in the program put together as wardel is, once with its window shown and once hidden in
    # the tray; and the real program over 1,000 targets, for its memory.
    local state
    for state in shown hidden; do
        mkdir -p "$work/$state"
        cp "$work/wardel/setting.ini" "$work/wardel/host.ini" "$work/$state/"
    done
    mkdir -p "$work/wardel1000"
    cp "$build/wardel" "$work/wardel/setting.ini" "$work/wardel1000/"
    for i in $(seq 40001 41000); do printf '"127.0.0.1","%s","peer %s","3"\r\n' "$i" "$i"; done \
        >"$work/wardel1000/host.ini"

    peer_run wardel "$peer_seconds" "$work/wardel/wardel" &
    peer_run shown "$peer_seconds" "$build/bench/tray_probe_bench" shown "$work/shown" &
    peer_run hidden "$peer_seconds" "$build/bench/tray_probe_bench" hidden "$work/hidden" &
    peer_run wardel1000 "$peer_seconds" "$work/wardel1000/wardel" &
    peer_run monit "$peer_seconds" monit -I -c "$work/monit/monitrc" &
    peer_run monit1 "$peer_seconds" monit -I -c "$work/monit1/monitrc" &
    wait
}

peer_report() {
    local name
    echo "peer comparison: refused loopback targets, ${peer_seconds} s after a 10 s start"
    echo "  (wardel and monit: 100 targets; shown/hidden: wardel's parts with the window shown or hidden in the"
    echo "   tray; wardel1000: wardel over 1,000 targets; monit1: monit over 1 target, one probe per wake-up)"
    echo "  private: private dirty memory, what the program alone holds; clean: private clean, mostly library"
    echo "  pages no other program maps at the moment"
    printf '  %-10s %7s %7s %9s %9s %9s %9s %9s %8s\n' program "CPU s" probes "us/probe" "rss KiB" "peak KiB" \
        "pss KiB" "priv KiB" "clean KiB"
    for name in wardel shown hidden wardel1000 monit monit1; do
        read -r cpu0 cpu1 opens0 opens1 rss hwm pss dirty clean <"$work/$name.peer" ||
            { echo "  $name: no figures"; continue; }
        awk -v n="$name" -v c0="$cpu0" -v c1="$cpu1" -v o0="$opens0" -v o1="$opens1" -v r="$rss" -v h="$hwm" \
            -v p="$pss" -v d="$dirty" -v c="$clean" -v s="$peer_seconds" -v csv="$csv" 'BEGIN {
                cpu = (c1 - c0) / 1e9; probes = o1 - o0;
                perProbe = 0; if (probes > 0) perProbe = 1e6 * cpu / probes;
                printf "  %-10s %7.2f %7d %9.0f %9d %9d %9d %9d %8d   (%.2f %% of one core)\n", n, cpu, probes,
                    perProbe, r, h, p, d, c, 100 * cpu / s
                printf "\"%s CPU per probe\",%.0f,us\n\"%s probes\",%d,count\n", n, perProbe, n, probes >>csv
                printf "\"%s resident\",%d,KiB\n\"%s proportional\",%d,KiB\n", n, r, n, p >>csv
                printf "\"%s private dirty\",%d,KiB\n\"%s private clean\",%d,KiB\n", n, d, n, c >>csv
                print perProbe >("'"$work"'/" n ".probe") }' 
    done
}

# The goals: each figure against its floor, from this one run.
goals_report() {
    local empty full floor_status floor_connect shown hidden private
    empty=$(awk '/empty host table/ { print $4 }' "$work/startup.txt")
    full=$(awk '/32,767 targets/ { print $3 }' "$work/startup.txt")
    floor_connect=$(awk '/wake-up \+ refused connect / { print $5 }' "$work/floor.txt")
    floor_status=$(awk '/wake-up \+ status line \+ refused connect/ { print $8 }' "$work/floor.txt")
    shown=$(cat "$work/shown.probe" 2>/dev/null || echo 0)
    hidden=$(cat "$work/hidden.probe" 2>/dev/null || echo 0)
    private=$(awk '{ print $8 }' "$work/wardel1000.peer" 2>/dev/null || echo 0)
    recording=$(awk '/recording a probe/ { print $(NF-3) }' "$work/history.txt")
    disk=$(awk '/disk per stored probe/ { print $(NF-4) }' "$work/history.txt")
    open1=$(awk '/window open, 1 target/ { print $(NF-1) }' "$work/history.txt")
    open1000=$(awk '/window open, 1,000 targets/ { print $(NF-1) }' "$work/history.txt")
    echo "goals (ratios of this run):"
    awk -v e="$empty" -v f="$full" -v fs="$floor_status" -v fc="$floor_connect" -v sh="$shown" -v hi="$hidden" \
        -v pr="$private" -v rec="$recording" -v disk="$disk" -v o1="$open1" -v o1000="$open1000" -v csv="$csv" \
        'function goal(name, ratio, limit, text) {
            printf "  %-52s %6.2f (goal at most %.2f) %s\n", name, ratio, limit, ratio <= limit ? "met" : "NOT met"
            printf "\"%s\",%.3f,ratio\n", name, ratio >>csv }
        BEGIN {
            if (e > 0) goal("start-up, 32,767 targets / empty table", f / e, 1.3)
            if (fs > 0) goal("probe, window shown / wake-up+status line+connect floor", sh / fs, 1.15)
            if (fc > 0) goal("probe, hidden in the tray / wake-up+connect floor", hi / fc, 1.15)
            printf "  %-52s %6.1f MiB (goal under 8 MiB) %s\n", "private memory, wardel at 1,000 targets",
                pr / 1024, pr < 8192 ? "met" : "NOT met"
            if (sh > 0) goal("history, recording a probe / probe with window shown", rec / sh, 0.10)
            printf "  %-52s %6.1f bytes (goal at most 32) %s\n", "history, disk per stored probe", disk,
                disk <= 32 ? "met" : "NOT met"
            printf "  %-52s %6.1f ms (goal within 200 ms) %s\n", "history, window open, 1 target 31 days at 1 s",
                o1, o1 <= 200 ? "met" : "NOT met"
            printf "  %-52s %6.1f ms (goal within 300 ms) %s\n", "history, window open, 1,000 targets", o1000,
                o1000 <= 300 ? "met" : "NOT met" }'
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
"$build/bench/startup_bench" | tee "$work/startup.txt"
awk '/empty host table/ { print "\"start-up, empty table\"," $4 ",ms" }
     /32,767 targets/ { print "\"start-up, 32,767 targets\"," $3 ",ms" }' "$work/startup.txt" >>"$csv"
"$build/bench/engine_cpu_bench" 60
"$build/bench/history_bench" | tee "$work/history.txt"
awk '/recording a probe/ { print "\"history, recording a probe\"," $(NF-3) ",us" }
     /disk per stored probe/ { print "\"history, disk per stored probe\"," $(NF-4) ",bytes" }
     /window open, 1 target/ { print "\"history, window open, 1 target 31 days\"," $(NF-1) ",ms" }
     /window open, 1,000 targets/ { print "\"history, window open, 1,000 targets\"," $(NF-1) ",ms" }' \
    "$work/history.txt" >>"$csv"

wait "$peer"
peer_report
wait "$floor"
cat "$work/floor.txt"
awk -F'  +' '/us of CPU per wake-up/ { split($3, v, " "); printf "\"floor, %s\",%s,us\n", $2, v[1] }' \
    "$work/floor.txt" >>"$csv"
goals_report
if [ -n "$soak" ]; then
    wait "$soak"
    cat "$work/soak.txt"
fi
echo "figures also in $csv"
