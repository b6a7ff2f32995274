# Sourced by the Windows scripts: where the cross-build's Qt SDK is unpacked (outside the tree,
# once per SDK archive), the build folder, and the Wine prefix of the tests.
# The SDK lies beside the source tree (../shared/windows); the scripts run from the tree's top.
windows_sdk_archive=${CLIMATE_WINDOWS_SDK_ARCHIVE:-$(realpath -m "$PWD/../shared/windows/qt-6.4.2-mingw64.tar.xz")}
windows_cache=${CLIMATE_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/climate-tool}
windows_qt=$windows_cache/qt6-mingw64
windows_build=${CLIMATE_WINDOWS_BUILD:-$PWD/build-windows}
# MinGW's runtime DLLs, beside every executable of the build and in the packages.
windows_runtime_dlls=(
    /usr/lib/gcc/x86_64-w64-mingw32/12-posix/libstdc++-6.dll
    /usr/lib/gcc/x86_64-w64-mingw32/12-posix/libgcc_s_seh-1.dll
    /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll
)

# Unpacks the SDK unless this archive's content is already there.
windows_unpack_sdk() {
    local stamp=$windows_qt/.unpacked-from
    local identity
    identity="$(stat -c '%s %Y' "$windows_sdk_archive") $(basename "$windows_sdk_archive")"
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$identity" ]; then
        return
    fi
    echo "Unpacking $(basename "$windows_sdk_archive") into $windows_cache"
    rm -rf "$windows_qt" "$windows_cache/.unpacking"
    mkdir -p "$windows_cache/.unpacking"
    tar -C "$windows_cache/.unpacking" -xJf "$windows_sdk_archive"
    mv "$windows_cache/.unpacking/qt6-mingw64" "$windows_qt"
    rmdir "$windows_cache/.unpacking"
    echo "$identity" >"$stamp"
}
