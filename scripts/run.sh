#!/usr/bin/env bash
# Installs what is missing, builds Wardel (Release, the preset "release") and starts it. The program keeps
# setting.ini, host.ini and its daily logs in the folder of the executable: build/release/.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"
install_missing_packages

build="$root/build/release"
(cd "$root" && cmake --preset release && cmake --build --preset release --target wardel)

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display available: Wardel runs on Qt's offscreen platform, without a visible window."
    export QT_QPA_PLATFORM=offscreen
fi
exec "$build/wardel"
