#!/usr/bin/env bash
# Fails when clang-tidy 14 reports anything in src/ under the checks of .clang-tidy. It configures the debug
# preset for its compile commands, checks each source of src/ once, two at a time, and reports on the headers
# of src/ only (the tests are left out: the step has to stay short).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tidy=$(command -v clang-tidy-14 || true)
if [ -z "$tidy" ]; then
    echo "clang-tidy 14 is missing; scripts/packages.sh installs it" >&2
    exit 1
fi
cd "$root"
cmake --preset debug >/dev/null

# The soak test compiles some sources a second time; one command per source is enough, and halves the work.
mkdir -p build/debug/tidy
python3 - "$root" <<'PY'
import json, sys
root = sys.argv[1]
seen, commands = set(), []
for entry in json.load(open(f"{root}/build/debug/compile_commands.json")):
    if entry["file"].startswith(f"{root}/src/") and entry["file"] not in seen:
        seen.add(entry["file"])
        commands.append(entry)
json.dump(commands, open(f"{root}/build/debug/tidy/compile_commands.json", "w"), indent=1)
print("\n".join(sorted(seen)), file=open(f"{root}/build/debug/tidy/files", "w"))
PY

# The commands are GCC's: clang does not know some of its warning options.
header_filter="^$(printf '%s' "$root/src/" | sed 's/[][\.^$*+?(){}|]/\\&/g')"
xargs -P 2 -n 4 "$tidy" -p build/debug/tidy --quiet --header-filter="$header_filter" \
    --extra-arg=-Wno-unknown-warning-option <build/debug/tidy/files
