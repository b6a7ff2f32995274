#!/usr/bin/env bash
# Checks that includes follow the libraries' links, then runs clang-tidy (the checks in
# .clang-tidy) over the project's own sources and fails on any finding. Configures a clang build
# directory of its own (build-lint/), generates the moc output the sources include, and leaves
# build/ alone. `scripts/lint.sh --fix` applies the checks' fixes (for
# example the missing braces) and formats the changed files instead of failing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/deps.sh
scripts/deps.sh clang-14 clang-tidy-14 clang-tools-14 clang-format-14

fix=()
if [ "${1:-}" = "--fix" ]; then
    fix=(-fix -format -style=file -clang-apply-replacements-binary
         "$(command -v clang-apply-replacements-14)")
fi

# Only the moc/rcc outputs are needed (CMAKE_GLOBAL_AUTOGEN_TARGET gives one target for them all),
# not a second full build. The file API's code model lists each target's sources, headers included,
# for the layering check.
mkdir -p build-lint/.cmake/api/v1/query
touch build-lint/.cmake/api/v1/query/codemodel-v2
cmake -S . -B build-lint -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang-14 \
    -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_CXX_COMPILER_LAUNCHER= \
    -DCMAKE_GLOBAL_AUTOGEN_TARGET=ON -DCMAKE_AUTOGEN_ORIGIN_DEPENDS=OFF \
    --graphviz=build-lint/graph/targets.dot >/dev/null

# The layering: no file includes a header of a library that its own target does not link, by the
# link graph CMake reports (scripts/check-layering.py).
/usr/bin/python3 scripts/check-layering.py . build-lint

cmake --build build-lint --target autogen >/dev/null

# The project's own folders: headers there are checked too, also where a library's include root
# (build-lint/include-roots/, cmake/IncludeRoots.cmake) leads to them; generated files never are.
folders=$(find . -mindepth 2 -maxdepth 2 -name CMakeLists.txt -printf '%h\n' |
    sed 's|^\./||' | grep -v '^build' | sort | paste -sd'|')
run-clang-tidy-14 -p build-lint -quiet -j "$(nproc)" \
    -clang-tidy-binary "$(command -v clang-tidy-14)" \
    -header-filter="^${root}/(build-lint/include-roots/[^/]+/)?(${folders})/" -extra-arg=-w "${fix[@]}" \
    "^${root}/(${folders})/.*\.(cpp|cc)$" || [ ${#fix[@]} -gt 0 ]
