#!/usr/bin/env bash
# Renders data/org.climateunit.ClimateTool.svg again into the window's icon PNGs
# (app/resources/window-icon-N.png); run it after changing the SVG. app.StartState's icon test
# fails while the two differ.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target render-window-icons >/dev/null
QT_QPA_PLATFORM=offscreen build/bin/render-window-icons data/org.climateunit.ClimateTool.svg \
    app/resources
ls app/resources/window-icon-*.png
