#!/bin/sh
# Renders the settings dialog and the main window on Qt's offscreen platform into docs/alert-settings.png,
# docs/main-window.png and, grown larger with a longer table, docs/main-window-grown.png.
set -eu
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target wardel-screenshots
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/release/tools/wardel-screenshots docs/alert-settings.png docs/main-window.png \
    docs/main-window-grown.png
echo "docs/alert-settings.png docs/main-window.png docs/main-window-grown.png"
