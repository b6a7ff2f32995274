#!/usr/bin/env bash
# Renders each page of the window offscreen (the window tests' page rendering) and copies the
# pictures to docs/, where the README shows them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh >/dev/null
rm -rf build/page-shots
QT_QPA_PLATFORM=offscreen build/bin/app_tests --gtest_filter='Pages/WindowRender.*' >/dev/null
mkdir -p docs
for page in configuration realtimedata declaration; do
    cp "build/page-shots/$page.png" "docs/$page.png"
done
ls docs/*.png
