# Sourced by run.sh, test.sh, package.sh and fuzz.sh: installs the Debian packages Wardel needs, and only those
# that are missing, so a second run does not touch apt at all.

# libqt6svg6 holds the SVG image plugin that draws the icon; libxcb1-dev lets the tray icon see an XEmbed tray arrive; libcurl4-openssl-dev carries the gateway reads;
# dpkg-dev and file let CPack build the package; clang-format-14, clang-tidy-14 and python3 run the format,
# static analysis and include checks;
# clang-14 and its runtime build the fuzzers; dbus-daemon, at-spi2-core, python3-gi and gir1.2-atspi-2.0 let the
# screen reader test read the windows; prometheus (with promtool) and prometheus-blackbox-exporter check the
# export to Prometheus; scdoc writes the manual page; appstream, desktop-file-utils and lintian check the desktop
# files and the package.
WARDEL_PACKAGES=(qt6-base-dev libqt6svg6 libxcb1-dev libcurl4-openssl-dev cmake ninja-build g++ libgtest-dev libgmock-dev xvfb
    xauth fonts-dejavu-core dpkg-dev file clang-format-14 clang-tidy-14 python3 clang-14 libclang-rt-14-dev dbus-daemon at-spi2-core
    python3-gi gir1.2-atspi-2.0 prometheus prometheus-blackbox-exporter prometheus-alertmanager scdoc appstream
    desktop-file-utils lintian libsqlite3-dev ccache)

package_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

install_missing_packages() {
    local missing=() package
    for package in "${WARDEL_PACKAGES[@]}"; do
        package_installed "$package" || missing+=("$package")
    done
    [ "${#missing[@]}" -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "Missing packages (${missing[*]}) and no sudo to install them; run this as root." >&2
            return 1
        fi
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}
