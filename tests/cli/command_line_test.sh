#!/bin/bash
# Wardel's command line as a shell over SSH meets it: no display, no Wayland, no Qt platform named. Each
# case gives the exit status, what standard output must match, what standard error must match (one line
# at most), and the arguments.
# Usage: command_line_test.sh WARDEL_EXECUTABLE
set -u
wardel=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

check() {
    local want_status=$1 out_pattern=$2 err_pattern=$3
    shift 3
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$wardel" "$@" >"$work/out" 2>"$work/err"
    local status=$?
    local problem=
    [ "$status" -eq "$want_status" ] || problem="exit status $status, expected $want_status"
    if [ -z "$out_pattern" ]; then
        [ -s "$work/out" ] && problem="$problem; stdout: $(head -c 300 "$work/out")"
    elif ! grep -Eq "$out_pattern" "$work/out"; then
        problem="$problem; stdout: $(head -c 300 "$work/out")"
    fi
    if [ -z "$err_pattern" ]; then
        [ -s "$work/err" ] && problem="$problem; stderr: $(head -c 300 "$work/err")"
    elif [ "$(wc -l <"$work/err")" -ne 1 ] || ! grep -Eq "$err_pattern" "$work/err"; then
        problem="$problem; stderr: $(head -c 300 "$work/err")"
    fi
    if [ -n "$problem" ]; then
        echo "FAIL: wardel $*: $problem"
        failures=$((failures + 1))
    else
        echo "ok: wardel $*"
    fi
}

check 1 '' '^wardel: no display found; set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM=offscreen$'
check 0 '^Usage: wardel ' '' --help
check 0 '^  --export-prometheus DIR ' '' -h
check 0 '^Wardel [0-9]+\.[0-9]+$' '' --version
check 2 '' '^wardel: unknown argument "--bogus" \(see wardel --help\)$' --bogus
check 2 '' '^wardel: unknown argument "-platform" ' -platform offscreen
check 2 '' '^wardel: unknown argument "monitor" ' monitor
check 2 '' '^wardel: --export-prometheus needs a value ' --export-prometheus
check 2 '' '^wardel: --alertmanager needs --export-prometheus ' --alertmanager 127.0.0.1:9093
check 2 '' '^wardel: --blackbox-exporter "9115" is not HOST:PORT ' --export-prometheus "$work/x" \
    --blackbox-exporter 9115
[ -e "$work/x" ] && { echo "FAIL: a refused export wrote $work/x"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] || exit 1
echo "PASS"
