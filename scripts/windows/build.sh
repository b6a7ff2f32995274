#!/usr/bin/env bash
# Cross-builds the tool, its libraries and its tests for Windows x64 into build-windows/ (Release,
# warnings as errors), with Debian's MinGW-w64 GCC and the Qt SDK unpacked once into the cache.
# Arguments go to the build (e.g. --target app_tests).
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/windows/deps.sh
source scripts/windows/env.sh
windows_unpack_sdk
source scripts/ccache-launcher.sh
cmake -S . -B "$windows_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCLIMATE_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/windows-x64.cmake" -DCLIMATE_WINDOWS_QT="$windows_qt" \
    "${launcher[@]}" >/dev/null
cmake --build "$windows_build" --parallel "${CLIMATE_JOBS:-2}" "$@"
