#!/usr/bin/env bash
# Builds the Windows installer (NSIS) and the portable .zip into dist/ with CPack: a Release
# cross-build of the tool alone in build-windows-package/ (no tests; ccache shares the objects
# with build-windows/), then checks both under Wine (check-package.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/windows/deps.sh
source scripts/windows/env.sh
windows_unpack_sdk
source scripts/ccache-launcher.sh
package_build=$PWD/build-windows-package
cmake -S . -B "$package_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCLIMATE_WERROR=ON \
    -DCLIMATE_TESTS=OFF -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/windows-x64.cmake" \
    -DCLIMATE_WINDOWS_QT="$windows_qt" "${launcher[@]}" >/dev/null
cmake --build "$package_build" --parallel "${CLIMATE_JOBS:-2}"
(cd "$package_build" && umask 022 && cpack -G "NSIS;ZIP" >/dev/null)
mkdir -p dist
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$package_build/CMakeCache.txt")
for file in "climate-tool-$version-win64.exe" "climate-tool-$version-win64.zip"; do
    cp "$package_build/$file" dist/
    ls -l "dist/$file"
done
scripts/windows/check-package.sh "dist/climate-tool-$version-win64.exe" \
    "dist/climate-tool-$version-win64.zip" "$version"
