#!/usr/bin/env bash
# Builds the Windows installer (NSIS) and the portable .zip into dist/ with CPack from the
# Release cross-build in build-windows/ (scripts/windows/build.sh; only the programs are
# installed, never the tests), then checks both under Wine (check-package.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/windows/deps.sh
source scripts/windows/env.sh
windows_unpack_sdk
scripts/windows/build.sh
package_build=$windows_build
(cd "$package_build" && umask 022 && cpack -G "NSIS;ZIP" >/dev/null)
mkdir -p dist
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$package_build/CMakeCache.txt")
for file in "climate-tool-$version-win64.exe" "climate-tool-$version-win64.zip"; do
    cp "$package_build/$file" dist/
    ls -l "dist/$file"
done
scripts/windows/check-package.sh "dist/climate-tool-$version-win64.exe" \
    "dist/climate-tool-$version-win64.zip" "$version"
