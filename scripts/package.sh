#!/usr/bin/env bash
# Installs what is missing, builds Wardel (Release, the preset "package") without its tests and wraps it into a
# Debian package, build/package/wardel_<version>_<arch>.deb. Install it with:
#   apt-get install ./build/package/wardel_*.deb
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"
install_missing_packages

cd "$root"
cmake --workflow --preset package
ls "$root"/build/package/wardel_*.deb
