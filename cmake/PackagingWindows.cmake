# The Windows installation (scripts/windows/package.sh): an NSIS installer, per machine in
# Program Files with a Start-menu entry, an uninstaller and an entry in Apps & features, and a
# portable .zip. Both hold the executable with its icon and version resource, climate-cli for
# production lines and scripts, the Qt DLLs and only the plugins the window loads, and MinGW's
# runtime DLLs: the target needs nothing else.
set(CLIMATE_PACKAGE_TITLE "Climate Unit Service Tool")
set(CLIMATE_PACKAGE_VENDOR "Climate unit service tool developers")

# The icon, made from the scalable one at build time: rsvg-convert renders each size, ImageMagick
# joins them into one .ico.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(IMAGEMAGICK_CONVERT convert REQUIRED)
set(CLIMATE_WINDOWS_ICON ${CMAKE_BINARY_DIR}/package/climate-tool.ico)
set(svg ${CMAKE_SOURCE_DIR}/data/org.climateunit.ClimateTool.svg)
set(icon_pngs)
foreach(size 16 24 32 48 64 256)
    set(png ${CMAKE_BINARY_DIR}/package/icon-${size}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --keep-aspect-ratio
                --output=${png} ${svg}
        DEPENDS ${svg} VERBATIM)
    list(APPEND icon_pngs ${png})
endforeach()
add_custom_command(OUTPUT ${CLIMATE_WINDOWS_ICON}
    COMMAND ${IMAGEMAGICK_CONVERT} ${icon_pngs} ${CLIMATE_WINDOWS_ICON}
    DEPENDS ${icon_pngs}
    COMMENT "Windows icon from the SVG" VERBATIM)
configure_file(${CMAKE_SOURCE_DIR}/data/windows/climate-tool.rc.in
               ${CMAKE_BINARY_DIR}/package/climate-tool.rc @ONLY)
add_custom_target(windows_icon DEPENDS ${CLIMATE_WINDOWS_ICON})
add_dependencies(climate-tool windows_icon)
set_source_files_properties(${CMAKE_BINARY_DIR}/package/climate-tool.rc TARGET_DIRECTORY climate-tool
                            PROPERTIES OBJECT_DEPENDS ${CLIMATE_WINDOWS_ICON})
target_sources(climate-tool PRIVATE ${CMAKE_BINARY_DIR}/package/climate-tool.rc)
# A GUI program: no console window of its own (--help and --version attach to the caller's).
set_target_properties(climate-tool PROPERTIES WIN32_EXECUTABLE ON)

# What the installation holds, all in one folder; Qt finds its plugins in the subfolders
# beside the executable. The window's icon is carried as PNGs and nothing else is SVG, so neither
# QtSvg nor its image and icon plugins are shipped; the unit's picture on RealTimeData is a JPEG,
# which Qt reads only with its JPEG plugin.
install(TARGETS climate-tool climate-cli RUNTIME DESTINATION .)
foreach(module Core Gui Widgets Network SerialPort)
    install(FILES $<TARGET_FILE:Qt6::${module}> DESTINATION .)
endforeach()
get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(qt_prefix ${qt_core_dll}/../.. ABSOLUTE)
foreach(plugin platforms/qwindows styles/qwindowsvistastyle imageformats/qjpeg)
    get_filename_component(folder ${plugin} DIRECTORY)
    install(FILES ${qt_prefix}/plugins/${plugin}.dll DESTINATION ${folder})
endforeach()
set(CLIMATE_MINGW_RUNTIME
    /usr/lib/gcc/x86_64-w64-mingw32/12-posix/libstdc++-6.dll
    /usr/lib/gcc/x86_64-w64-mingw32/12-posix/libgcc_s_seh-1.dll
    /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll
    CACHE STRING "MinGW's runtime DLLs that the executable and Qt load")
install(FILES ${CLIMATE_MINGW_RUNTIME} DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/data/copyright DESTINATION . RENAME copyright.txt)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME ${CLIMATE_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR ${CLIMATE_PACKAGE_VENDOR})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${CLIMATE_PACKAGE_NAME}-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Service and test tool for an enclosure climate unit")
set(CPACK_PACKAGE_INSTALL_DIRECTORY ${CLIMATE_PACKAGE_TITLE})
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY ${CLIMATE_PACKAGE_NAME})
# Start menu: the tool, and the uninstaller the NSIS template adds. The tool keeps its test log
# in the current folder, which for a shortcut is its working folder: Program Files is not
# writable for a normal user, the all-users Documents folder is (C:\Users\Public\Documents).
# (NSIS takes single quotes too, which pass through CPack's own quoting unharmed.)
set(CPACK_NSIS_CREATE_ICONS_EXTRA
    "SetOutPath '$DOCUMENTS'
  CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\${CLIMATE_PACKAGE_TITLE}.lnk' '$INSTDIR\\\\climate-tool.exe'
  SetOutPath '$INSTDIR'")
set(CPACK_NSIS_DELETE_ICONS_EXTRA
    "Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\${CLIMATE_PACKAGE_TITLE}.lnk'")
set(CPACK_STRIP_FILES ON)
set(CPACK_NSIS_PACKAGE_NAME ${CLIMATE_PACKAGE_TITLE})
set(CPACK_NSIS_DISPLAY_NAME ${CLIMATE_PACKAGE_TITLE})
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${CLIMATE_WINDOWS_ICON})
set(CPACK_NSIS_MUI_UNIICON ${CLIMATE_WINDOWS_ICON})
set(CPACK_NSIS_INSTALLED_ICON_NAME climate-tool.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_CONTACT "service-tool@climateunit.org")
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# A 64-bit installer, like the program it installs (NSIS's default stub is 32-bit x86).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
# Per machine: CPack's NSIS template asks for administrator rights and, as an administrator,
# installs for all users (Program Files, the common Start menu, HKLM).
include(CPack)
