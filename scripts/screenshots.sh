#!/bin/sh
# Renders the settings dialog and the main window on Qt's offscreen platform into docs/alert-settings.png
# and docs/main-window.png.
set -eu
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target wardel-screenshots
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/release/tools/wardel-screenshots docs/alert-settings.png docs/main-window.png
echo "docs/alert-settings.png docs/main-window.png"
