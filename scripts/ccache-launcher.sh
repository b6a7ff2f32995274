# Sourced by the scripts that configure a build: `launcher` holds the CMake options that put
# ccache in front of the compilers when it is installed (several build trees then share their
# object files), and nothing otherwise.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
