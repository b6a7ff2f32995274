#!/usr/bin/env bash
# Builds the Debian package from a clean checkout of the committed HEAD (not the work tree): a
# Release build of the tool and the simulator alone, found without GoogleTest or Google Benchmark,
# warnings as errors, then cpack -G DEB. The package lands in dist/.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
scripts/deps.sh
scripts/deps.sh dpkg-dev file help2man gzip

work=$(mktemp -d /tmp/climate-package.XXXXXX)
trap 'rm -rf "$work"' EXIT
git clone --quiet --no-local "$top" "$work/src"

source scripts/ccache-launcher.sh
# Paths under the temporary folder become relative, so later runs find their objects.
export CCACHE_BASEDIR=$work
cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCLIMATE_TESTS=OFF \
    -DCLIMATE_WERROR=ON -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON "${launcher[@]}" >/dev/null
cmake --build "$work/build" --parallel "$(nproc)"
(cd "$work/build" && umask 022 && cpack -G DEB >/dev/null)

mkdir -p dist
cp "$work"/build/*.deb dist/
ls dist/*.deb
