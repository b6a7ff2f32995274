#!/usr/bin/env bash
# Builds the Windows installer (NSIS) and the portable .zip into dist/ with CPack, from the
# Release cross-build in build-windows/, then checks both under Wine (check-package.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/windows/build.sh --target climate-tool
source scripts/windows/env.sh
(cd "$windows_build" && umask 022 && cpack -G "NSIS;ZIP" >/dev/null)
mkdir -p dist
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$windows_build/CMakeCache.txt")
for file in "climate-tool-$version-win64.exe" "climate-tool-$version-win64.zip"; do
    cp "$windows_build/$file" dist/
    ls -l "dist/$file"
done
scripts/windows/check-package.sh "dist/climate-tool-$version-win64.exe" \
    "dist/climate-tool-$version-win64.zip" "$version"
