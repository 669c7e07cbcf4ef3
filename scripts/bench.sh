#!/usr/bin/env bash
# Every benchmark figure in one run: builds the preset "bench" (Release, the gateway on loopback port 47080 for
# the simulator) into build/bench/ and runs the programs of bench/, then
# Wardel beside Debian's monit over the same 100 refused loopback targets. The soak and the peer run go on in
# the background while the short benchmarks run, so the whole run takes as long as the soak.
#
# A figure measured against a floor is taken several times, its takes interleaved with the floor's, and each
# is reported as the median with the least and the most take: a single take on a shared machine can be off by
# half. The probe rounds run Wardel's parts with the window shown, all four ways of the wake-up floor, and the
# parts with the window hidden in the tray, in turn, once per round.
#
# Usage: scripts/bench.sh [--minutes N] [--peer-seconds S] [--rounds R] [--probe-seconds P] [--csv FILE]
#   --minutes        length of the soak (default 10; at least 3, since memory is first read at minute 2; 0
#                    leaves the soak out)
#   --peer-seconds   length of the run beside monit (default 300)
#   --rounds         probe rounds (default 5)
#   --probe-seconds  length of each probe take in a round (default 40; each floor way takes half of it)
#   --csv            where the figures go as well, one per line (figure, median, least, most, unit), so two
#                    runs can be compared (default build/bench/bench.csv; the file is written anew)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
minutes=10
peer_seconds=300
rounds=5
probe_seconds=40
csv=
while [ $# -gt 0 ]; do
    case "$1" in
    --minutes) minutes=$2; shift 2 ;;
    --peer-seconds) peer_seconds=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    --probe-seconds) probe_seconds=$2; shift 2 ;;
    --csv) csv=$2; shift 2 ;;
    *) echo "usage: $0 [--minutes N] [--peer-seconds S] [--rounds R] [--probe-seconds P] [--csv FILE]" >&2
       exit 2 ;;
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
echo "figure,value,least,most,unit" >"$csv"
# The bench programs append their figures (median, least, most) to it themselves.
export WARDEL_BENCH_CSV="$csv"

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

# Wardel's files for the peer runs into a folder: interval 1 s, timeout 2 s, alerts and file logging off,
# monitoring from the start, over refused loopback targets from port 40001 on.
peer_files() { # folder targets
    mkdir -p "$1"
    printf '1\r\n2\r\n0\r\n\r\n\r\n\r\n1\r\n0\r\n\r\n\r\n0\r\n60\r\n\r\n720\r\n\r\n' >"$1/setting.ini"
    local i
    for i in $(seq 40001 $((40000 + $2))); do printf '"127.0.0.1","%s","peer %s","3"\r\n' "$i" "$i"; done \
        >"$1/host.ini"
}

peer_comparison() {
    local ports=() i
    for i in $(seq 40001 40100); do ports+=("$i"); done

    peer_files "$work/wardel" 100
    cp "$build/wardel" "$work/wardel/"

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

    # The real program over 1,000 targets, for its memory.
    peer_files "$work/wardel1000" 1000
    cp "$build/wardel" "$work/wardel1000/"

    peer_run wardel "$peer_seconds" "$work/wardel/wardel" &
    peer_run wardel1000 "$peer_seconds" "$work/wardel1000/wardel" &
    peer_run monit "$peer_seconds" monit -I -c "$work/monit/monitrc" &
    peer_run monit1 "$peer_seconds" monit -I -c "$work/monit1/monitrc" &
    wait
}

peer_report() {
    local name
    echo "peer comparison: refused loopback targets, ${peer_seconds} s after a 10 s start"
    echo "  (wardel and monit: 100 targets; wardel1000: wardel over 1,000 targets; monit1: monit over 1 target,"
    echo "   one probe per wake-up)"
    echo "  private: private dirty memory, what the program alone holds; clean: private clean, mostly library"
    echo "  pages no other program maps at the moment"
    printf '  %-10s %7s %7s %9s %9s %9s %9s %9s %8s\n' program "CPU s" probes "us/probe" "rss KiB" "peak KiB" \
        "pss KiB" "priv KiB" "clean KiB"
    for name in wardel wardel1000 monit monit1; do
        read -r cpu0 cpu1 opens0 opens1 rss hwm pss dirty clean <"$work/$name.peer" ||
            { echo "  $name: no figures"; continue; }
        awk -v n="$name" -v c0="$cpu0" -v c1="$cpu1" -v o0="$opens0" -v o1="$opens1" -v r="$rss" -v h="$hwm" \
            -v p="$pss" -v d="$dirty" -v c="$clean" -v s="$peer_seconds" -v csv="$csv" 'BEGIN {
                cpu = (c1 - c0) / 1e9; probes = o1 - o0;
                perProbe = 0; if (probes > 0) perProbe = 1e6 * cpu / probes;
                printf "  %-10s %7.2f %7d %9.0f %9d %9d %9d %9d %8d   (%.2f %% of one core)\n", n, cpu, probes,
                    perProbe, r, h, p, d, c, 100 * cpu / s
                printf "\"%s CPU per probe\",%.0f,,,us\n\"%s probes\",%d,,,count\n", n, perProbe, n, probes >>csv
                printf "\"%s resident\",%d,,,KiB\n\"%s proportional\",%d,,,KiB\n", n, r, n, p >>csv
                printf "\"%s private dirty\",%d,,,KiB\n\"%s private clean\",%d,,,KiB\n", n, d, n, c >>csv }' 
    done
}

# The median, the least and the most of the numbers on standard input, one a line (the median of an even count
# is the upper middle one, as the bench programs take it).
spread() { sort -g | awk '{ v[NR] = $1 } END { if (NR) print v[int(NR / 2) + 1], v[1], v[NR] }'; }

# One figure of several takes (a file of numbers) on the screen and into the CSV file.
report_spread() { # name unit file [format]
    local median least most
    read -r median least most < <(spread <"$3") || { echo "  $1: no figures"; return; }
    awk -v n="$1" -v u="$2" -v m="$median" -v l="$least" -v h="$most" -v f="${4:-%.0f}" -v csv="$csv" 'BEGIN {
        printf "  %-56s " f " (" f " .. " f ") %s\n", n, m, l, h, u
        printf "\"%s\",%s,%s,%s,%s\n", n, m, l, h, u >>csv }'
}

# The probe rounds: in each, Wardel's parts with the window shown (tray_probe_bench, put together as wardel
# is, over the peer run's 100 targets), the four ways of the wake-up floor, then the parts with the window
# hidden in the tray, one after the other, so that each take of a probe lies next to a take of its floor.
probe_rounds() {
    local r state floor_seconds=$((probe_seconds / 2 > 3 ? probe_seconds / 2 : 3))
    for state in shown hidden; do peer_files "$work/$state" 100; done
    for r in $(seq 1 "$rounds"); do
        peer_run "shown.$r" "$probe_seconds" "$build/bench/tray_probe_bench" shown "$work/shown"
        "$build/bench/wake_floor_bench" "$floor_seconds" >"$work/floor.$r" 2>&1
        peer_run "hidden.$r" "$probe_seconds" "$build/bench/tray_probe_bench" hidden "$work/hidden"
    done
}

# CPU microseconds per probe of one peer take; a floor way's microseconds per wake-up of one floor take.
per_probe() { awk '{ if ($4 > $3) printf "%.1f\n", ($2 - $1) / 1e3 / ($4 - $3) }' "$1"; }
floor_way() { awk -F'  +' -v w="$2" '$2 == w { split($3, v, " "); print v[1] }' "$1"; }

probe_report() {
    local r way
    local ways=("wake-up alone" "wake-up + refused connect" "wake-up + status line"
        "wake-up + status line + refused connect")
    : >"$work/shown.takes" && : >"$work/hidden.takes" && : >"$work/shown.ratio" && : >"$work/hidden.ratio"
    : >"$work/shown.private" && : >"$work/hidden.private"
    for way in 0 1 2 3; do : >"$work/floor$way.takes"; done
    for r in $(seq 1 "$rounds"); do
        local shown hidden floor1 floor3
        shown=$(per_probe "$work/shown.$r.peer" 2>/dev/null || true)
        hidden=$(per_probe "$work/hidden.$r.peer" 2>/dev/null || true)
        for way in 0 1 2 3; do floor_way "$work/floor.$r" "${ways[$way]}" >>"$work/floor$way.takes"; done
        floor1=$(floor_way "$work/floor.$r" "${ways[1]}")
        floor3=$(floor_way "$work/floor.$r" "${ways[3]}")
        awk '{ print $8 }' "$work/shown.$r.peer" >>"$work/shown.private" 2>/dev/null || true
        awk '{ print $8 }' "$work/hidden.$r.peer" >>"$work/hidden.private" 2>/dev/null || true
        [ -n "$shown" ] && echo "$shown" >>"$work/shown.takes"
        [ -n "$hidden" ] && echo "$hidden" >>"$work/hidden.takes"
        [ -n "$shown" ] && [ -n "$floor3" ] && awk -v a="$shown" -v b="$floor3" 'BEGIN { if (b > 0) print a / b }' \
            >>"$work/shown.ratio"
        [ -n "$hidden" ] && [ -n "$floor1" ] && awk -v a="$hidden" -v b="$floor1" 'BEGIN { if (b > 0) print a / b }' \
            >>"$work/hidden.ratio"
    done
    echo "probe rounds: $rounds; each probe take ${probe_seconds} s after a 10 s start, each floor way" \
        "$((probe_seconds / 2 > 3 ? probe_seconds / 2 : 3)) s; CPU per probe or wake-up, median (least .. most)"
    report_spread "probe, wardel's parts, window shown" us "$work/shown.takes"
    report_spread "probe, wardel's parts, window hidden in the tray" us "$work/hidden.takes"
    for way in 0 1 2 3; do report_spread "floor, ${ways[$way]}" us "$work/floor$way.takes"; done
    report_spread "private dirty memory, wardel's parts, window shown" KiB "$work/shown.private"
    report_spread "private dirty memory, wardel's parts, hidden in the tray" KiB "$work/hidden.private"
}

# The goals: each ratio as the median of its rounds, with the least and the most.
goals_report() {
    local private startup
    private=$(awk '{ print $8 }' "$work/wardel1000.peer" 2>/dev/null || echo 0)
    startup=$(sed -n 's/^"start-up ratio[^"]*",\([^,]*\),\([^,]*\),\([^,]*\),.*/\1 \2 \3/p' "$csv")
    echo "goals (ratios, median (least .. most) of the rounds):"
    if [ -n "$startup" ]; then
        read -r m l h <<<"$startup"
        awk -v m="$m" -v l="$l" -v h="$h" 'BEGIN { printf "  %-56s %.2f (%.2f .. %.2f) (goal at most 1.30) %s\n",
            "start-up, 32,767 targets / empty table", m, l, h, m <= 1.3 ? "met" : "NOT met" }'
    fi
    report_spread "probe ratio, shown / wake-up+status line+connect floor" ratio "$work/shown.ratio" "%.2f"
    report_spread "probe ratio, hidden / wake-up+connect floor" ratio "$work/hidden.ratio" "%.2f"
    echo "  (goal for both probe ratios: at most 1.15)"
    awk -v pr="$private" -v csv="$csv" 'BEGIN {
        printf "  %-56s %.1f MiB (goal under 8 MiB) %s\n", "private memory, wardel at 1,000 targets", pr / 1024,
            pr < 8192 ? "met" : "NOT met" }'
    local recording disk open1 open1000 shown
    recording=$(awk '/recording a probe/ { print $(NF-3) }' "$work/history.txt")
    disk=$(awk '/disk per stored probe/ { print $(NF-4) }' "$work/history.txt")
    open1=$(awk '/window open, 1 target/ { print $(NF-1) }' "$work/history.txt")
    open1000=$(awk '/window open, 1,000 targets/ { print $(NF-1) }' "$work/history.txt")
    shown=$(sed -n 's/^"probe, wardel's parts, window shown",\([^,]*\),.*/\1/p' "$csv" | head -n 1)
    awk -v rec="$recording" -v sh="${shown:-0}" -v disk="$disk" -v o1="$open1" -v o1000="$open1000" 'BEGIN {
        if (sh > 0) printf "  %-56s %.2f (goal at most 0.10) %s\n", "history, recording a probe / probe, window shown",
            rec / sh, rec / sh <= 0.10 ? "met" : "NOT met"
        printf "  %-56s %.1f bytes (goal at most 32) %s\n", "history, disk per stored probe", disk,
            disk <= 32 ? "met" : "NOT met"
        printf "  %-56s %.1f ms (goal within 200 ms) %s\n", "history, window open, 1 target 31 days at 1 s", o1,
            o1 <= 200 ? "met" : "NOT met"
        printf "  %-56s %.1f ms (goal within 300 ms) %s\n", "history, window open, 1,000 targets", o1000,
            o1000 <= 300 ? "met" : "NOT met" }'
    echo "machine: load average $load_before at the start, $(cut -d' ' -f1-3 /proc/loadavg) at the end"
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "== Wardel benchmarks (Release, $(nproc) cores, load $load_before) =="
soak=
if [ "$minutes" -gt 0 ]; then
    "$build/bench/soak_bench" "$build/wardel" "$build/tools/wardel-gateway-sim" "$minutes" >"$work/soak.txt" 2>&1 &
    soak=$!
fi
peer_comparison &
peer=$!

"$build/bench/host_list_bench"
"$build/bench/log_box_bench"
"$build/bench/startup_bench"
"$build/bench/engine_cpu_bench" 60
probe_rounds
"$build/bench/history_bench" | tee "$work/history.txt"
awk '/recording a probe/ { print "\"history, recording a probe\"," $(NF-3) ",,,us" }
     /disk per stored probe/ { print "\"history, disk per stored probe\"," $(NF-4) ",,,bytes" }
     /window open, 1 target/ { print "\"history, window open, 1 target 31 days\"," $(NF-1) ",,,ms" }
     /window open, 1,000 targets/ { print "\"history, window open, 1,000 targets\"," $(NF-1) ",,,ms" }' \
    "$work/history.txt" >>"$csv"

wait "$peer"
peer_report
probe_report
goals_report
if [ -n "$soak" ]; then
    wait "$soak"
    cat "$work/soak.txt"
fi
echo "figures also in $csv"
