#!/bin/sh
# Renders the settings dialog and the main window on Qt's offscreen platform into docs/alert-settings.png,
# docs/main-window.png and, grown larger with a longer table, docs/main-window-grown.png.
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target wardel-screenshots
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/tools/wardel-screenshots docs/alert-settings.png docs/main-window.png \
    docs/main-window-grown.png
echo "docs/alert-settings.png docs/main-window.png docs/main-window-grown.png"
