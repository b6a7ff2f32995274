#!/usr/bin/env bash
# The Debian packages of the Windows cross-build, its tests under Wine and its packaging, on top
# of the Linux build's (scripts/deps.sh): the MinGW-w64 cross compiler, Debian's Qt tools of the
# SDK's version (moc, rcc, uic), GoogleTest's sources, Wine under Xvfb, NSIS, and ImageMagick
# with the SVG renderer for the icon.
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/deps.sh
scripts/deps.sh g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 \
    qt6-base-dev qt6-base-dev-tools googletest \
    wine wine64 xvfb xauth xdotool imagemagick librsvg2-bin \
    nsis xz-utils python3-xlrd
