# Toolchain of the Windows x64 cross-build (scripts/windows/build.sh): Debian's MinGW-w64 GCC 12
# with posix threads, and the Qt SDK built with it (CLIMATE_WINDOWS_QT, the unpacked folder).
# moc, rcc and uic come from the host's own Qt of the same version. Executables built here run
# under Wine, which CTest and GoogleTest's discovery use as the emulator.
if(NOT CLIMATE_WINDOWS_QT)
    set(CLIMATE_WINDOWS_QT "$ENV{CLIMATE_WINDOWS_QT}")
endif()
if(NOT EXISTS "${CLIMATE_WINDOWS_QT}/lib/cmake/Qt6/qt.toolchain.cmake")
    message(FATAL_ERROR "CLIMATE_WINDOWS_QT (${CLIMATE_WINDOWS_QT}) is not an unpacked Qt SDK "
                        "for MinGW-w64; scripts/windows/build.sh unpacks one")
endif()
# Try-compiles run this file again and need the folder too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CLIMATE_WINDOWS_QT)
include("${CLIMATE_WINDOWS_QT}/lib/cmake/Qt6/qt.toolchain.cmake")
set(QT_HOST_PATH /usr CACHE PATH "Host Qt whose moc, rcc and uic the cross-build uses")

find_program(CLIMATE_WINE wine)
if(CLIMATE_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CLIMATE_WINE})
endif()
