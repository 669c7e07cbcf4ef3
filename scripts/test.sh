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
# The compiler cache (used where installed) takes paths relative to the tree, so a fresh clone reuses it.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
jobs=$(nproc 2>/dev/null || echo 2)

# Configures, builds and tests one preset of CMakePresets.json, in build/<preset>.
run_tests() {
    local preset=$1
    (
        cd "$root"
        cmake --preset "$preset"
        cmake --build --preset "$preset"
        ctest --preset "$preset" -j "$jobs"
    )
}

echo "== Include layering"
python3 "$root/scripts/check_includes.py" --self-test
python3 "$root/scripts/check_includes.py"

echo "== Format"
"$root/scripts/check_format.sh"

echo "== Static analysis"
"$root/scripts/check_tidy.sh"

echo "== Build and tests"
run_tests debug

echo "== Build and tests under AddressSanitizer and UndefinedBehaviorSanitizer"
# The preset sets the sanitizers' options for the build as well (it lists each test program's cases by running
# it), and leaves out the benchmarks, whose speed the sanitizers would only spoil.
run_tests asan

echo "== Fuzzing"
FUZZ_SECONDS=${FUZZ_SECONDS:-5} "$root/scripts/fuzz.sh"

echo "All tests passed."
