#!/usr/bin/env bash
# Installs what is missing, builds Wardel with warnings as errors and runs every test; then builds again
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test once more, and last runs every
# fuzz target for a short time. Exits non-zero on the first failure.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"
install_missing_packages

# The tests open windows on Qt's offscreen platform: no display is needed.
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc 2>/dev/null || echo 2)

run_tests() {
    local build=$1
    shift
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWARDEL_WERROR=ON "$@"
    cmake --build "$build"
    ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$jobs"
}

echo "== Include layering"
python3 "$root/scripts/check_includes.py" --self-test
python3 "$root/scripts/check_includes.py"

echo "== Format"
"$root/scripts/check_format.sh"

echo "== Build and tests"
run_tests "$root/build-test"

echo "== Build and tests under AddressSanitizer and UndefinedBehaviorSanitizer"
# Set before the build as well: the build lists each test program's cases by running it.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The benchmarks measure speed, which the sanitizers would only slow down: they are left out here.
run_tests "$root/build-sanitize" -DWARDEL_SANITIZE=ON -DWARDEL_BUILD_BENCH=OFF

echo "== Fuzzing"
FUZZ_SECONDS=${FUZZ_SECONDS:-5} "$root/scripts/fuzz.sh"

echo "All tests passed."
