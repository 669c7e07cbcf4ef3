#!/usr/bin/env bash
# Installs what is missing, builds Wardel (Release) without its tests and wraps it into a Debian package,
# build-package/wardel_<version>_<arch>.deb. Install it with: apt-get install ./build-package/wardel_*.deb
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"
install_missing_packages

build="$root/build-package"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWARDEL_BUILD_TESTS=OFF
cmake --build "$build" --target wardel wardel-gateway-sim
(cd "$build" && cpack -G DEB)
ls "$build"/wardel_*.deb
