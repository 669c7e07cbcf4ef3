#!/bin/bash
# The export to Prometheus against the real programs: the real wardel exports a real files folder, promtool
# accepts what it wrote, and Prometheus with the blackbox exporter, started from the exported files on
# loopback, probes a listener that accepts and a port that refuses and raises Wardel's alert for the second.
# Exits 77 (skipped) when a program it needs is missing.
# Usage: prometheus_export_test.sh WARDEL_EXECUTABLE
set -u
wardel=$1
here=$(cd "$(dirname "$0")" && pwd)

skip() {
    echo "SKIP: $1"
    exit 77
}
fail() {
    echo "FAIL: $1" >&2
    for log in "$work"/*.log; do
        [ -s "$log" ] && { echo "--- $log" >&2; tail -n 20 "$log" >&2; }
    done
    exit 1
}
for program in promtool amtool prometheus prometheus-blackbox-exporter python3; do
    command -v "$program" >/dev/null || skip "no $program"
done

work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

# The peers on loopback: a listener that accepts (on ::1 too where the machine has it), a port that refuses
# (bound, never listening, so nobody else can take it), and free ports for the exporter, Prometheus and an
# Alertmanager that is not there.
python3 "$here/loopback_peers.py" "$work/ports" >"$work/peers.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
    [ -s "$work/ports" ] && break
    sleep 0.1
done
[ -s "$work/ports" ] || fail "the loopback peers did not start"
read -r accepting refusing accepting6 exporter_port prometheus_port alertmanager_port <"$work/ports"
# Without IPv6 on the machine the IPv6 row is still exported, and its probe not looked at.
six_port=$accepting6
[ "$six_port" = 0 ] && six_port=9

# A real files folder: the program's own, beside a copy of it. A one-second cycle, a one-second connect
# timeout, and a last row Prometheus cannot take.
files=$work/files
mkdir "$files"
cp "$wardel" "$files/wardel"
printf '1\r\n1\r\n0\r\n\r\n\r\n\r\n0\r\n1\r\n\r\n\r\n0\r\n60\r\n\r\n720\r\n\r\n' >"$files/setting.ini"
{
    printf '"127.0.0.1","%s","accepting, caf\xc3\xa9 \\\\ tab\there","2"\r\n' "$accepting"
    printf '"127.0.0.1","%s","refusing","4"\r\n' "$refusing"
    printf '"::1","%s","six","3"\r\n' "$six_port"
    printf '"127.0.0.1","smtp","no number","5"\r\n'
} >"$files/host.ini"
before=$(cd "$files" && ls -lA --time-style=full-iso)

export_dir=$work/export
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$files/wardel" --export-prometheus "$export_dir" \
    --blackbox-exporter "127.0.0.1:$exporter_port" --alertmanager "127.0.0.1:$alertmanager_port" \
    >"$work/export.out" 2>"$work/export.err"
status=$?
[ "$status" -eq 1 ] || fail "export exit status $status, expected 1"
[ "$(wc -l <"$work/export.err")" -eq 1 ] || fail "stderr: $(cat "$work/export.err")"
grep -q '^wardel: row 4 left out (host "127.0.0.1"): port "smtp" is not a number from 1 to 65535$' \
    "$work/export.err" || fail "left-out row not listed: $(cat "$work/export.err")"
grep -q "^3 targets exported to $export_dir\$" "$work/export.out" || fail "stdout: $(cat "$work/export.out")"
[ "$(cd "$files" && ls -lA --time-style=full-iso)" = "$before" ] || fail "the files folder changed"
[ "$(ls "$export_dir")" = "$(printf 'alertmanager.yml\nblackbox.yml\nprometheus.yml\ntargets.json\nwardel.rules.yml')" ] ||
    fail "export folder holds: $(ls "$export_dir")"

promtool check config "$export_dir/prometheus.yml" >"$work/promtool.log" 2>&1 || fail "promtool check config"
promtool check rules "$export_dir/wardel.rules.yml" >>"$work/promtool.log" 2>&1 || fail "promtool check rules"
amtool check-config "$export_dir/alertmanager.yml" >>"$work/promtool.log" 2>&1 || fail "amtool check-config"

# Both programs listen on loopback only, keep their data in the temporary folder, and are stopped by their
# process ids; a system instance of either is neither used nor disturbed.
prometheus-blackbox-exporter --config.file="$export_dir/blackbox.yml" \
    --web.listen-address="127.0.0.1:$exporter_port" >"$work/exporter.log" 2>&1 &
pids+=($!)
prometheus --config.file="$export_dir/prometheus.yml" --web.listen-address="127.0.0.1:$prometheus_port" \
    --storage.tsdb.path="$work/tsdb" >"$work/prometheus.log" 2>&1 &
pids+=($!)

python3 "$here/prometheus_watch.py" "$prometheus_port" "$accepting" "$refusing" "$accepting6" \
    >"$work/watch.log" 2>&1 || fail "$(cat "$work/watch.log")"
cat "$work/watch.log"
echo "PASS"
