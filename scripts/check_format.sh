#!/usr/bin/env bash
# Fails when clang-format 14 would change any tracked C++ file: the layout is the one .clang-format says.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
    echo "clang-format 14 is missing; scripts/packages.sh installs it" >&2
    exit 1
fi
cd "$root"
git ls-files -z -- '*.cpp' '*.h' | xargs -0 "$format" --dry-run -Werror
