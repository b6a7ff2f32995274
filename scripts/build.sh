#!/usr/bin/env bash
# Configures and builds into build/ (RelWithDebInfo, warnings as errors). Uses ccache when present,
# so several checkouts of the tree share their object files.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ccache-launcher.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCLIMATE_WERROR=ON -DCLIMATE_TESTS=ON "${launcher[@]}" >/dev/null
cmake --build build --parallel "$(nproc)"
