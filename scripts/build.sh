#!/usr/bin/env bash
# Configures and builds into build/ (RelWithDebInfo, warnings as errors). Uses ccache when present,
# so several checkouts of the tree share their object files.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCLIMATE_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build build --parallel "$(nproc)"
