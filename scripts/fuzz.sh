#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and runs each
# from its seed corpus for a bounded time. Exits non-zero on the first crash, hang, leak, sanitizer report or
# broken property; the input that caused it is left in the build folder as crash-*, timeout-*, leak-* or oom-*.
# FUZZ_SECONDS sets the time per target (default 20). The build is the preset "fuzz", in build/fuzz.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"
install_missing_packages

build=$root/build/fuzz
seconds=${FUZZ_SECONDS:-20}

(cd "$root" && cmake --preset fuzz && cmake --build --preset fuzz)

# The same options the preset gives its build.
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

for seeds in "$root"/tests/fuzz/corpus/*/; do
    name=$(basename "$seeds")
    # New inputs go to a corpus in the build folder; the committed seeds stay as they are.
    corpus="$build/corpus/$name"
    mkdir -p "$corpus"
    echo "== Fuzzing $name for ${seconds}s"
    "$build/tests/fuzz/${name}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/" "$corpus" "$seeds" 2>"$build/$name.log" ||
        {
            tail -n 60 "$build/$name.log" >&2
            echo "Fuzzing $name failed; its log is $build/$name.log" >&2
            exit 1
        }
    grep -E "^stat::number_of_executed_units|^Done" "$build/$name.log" || true
done
echo "No fuzz target failed."
