# The Debian package (cpack -G DEB, see scripts/package.sh): the installation of the tool, its
# command line and the simulator, with a copyright file and a changelog, stripped, with
# directories 0755 whatever the umask. dpkg-shlibdeps finds the libraries; the package also needs
# what is loaded at run time and so invisible to it: the CJK font of the window's Chinese texts,
# Qt's platform plugins and libgsf, which the test log loads when it writes its first workbook
# (Debian names its package after the library's SONAME: libgsf-1.so.114 is in libgsf-1-114). The
# window's icon is carried as PNGs, so Qt's SVG icon plugin is not needed.
set(CLIMATE_PACKAGE_NAME climate-tool)
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/PackagingWindows.cmake)
    return()
endif()
set(CLIMATE_PACKAGE_MAINTAINER "Climate unit service tool developers <service-tool@climateunit.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(CLIMATE_PACKAGE_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/${CLIMATE_PACKAGE_NAME})

configure_file(${CMAKE_CURRENT_LIST_DIR}/../data/copyright ${CMAKE_BINARY_DIR}/package/copyright
               COPYONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/../data/changelog.in ${CMAKE_BINARY_DIR}/package/changelog
               @ONLY)
find_program(GZIP gzip)
if(GZIP)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/changelog.gz
        COMMAND ${GZIP} -9nkf ${CMAKE_BINARY_DIR}/package/changelog
        DEPENDS ${CMAKE_BINARY_DIR}/package/changelog
        VERBATIM)
    add_custom_target(package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/package/changelog.gz)
    install(FILES ${CMAKE_BINARY_DIR}/package/changelog.gz DESTINATION ${CLIMATE_PACKAGE_DOCDIR})
endif()
install(FILES ${CMAKE_BINARY_DIR}/package/copyright DESTINATION ${CLIMATE_PACKAGE_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${CLIMATE_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${CLIMATE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service and test tool for an enclosure climate unit")
set(CPACK_PACKAGE_DESCRIPTION
    "A Modbus RTU master for the controller of an enclosure climate unit (a DC air
conditioner with compressor, heat exchanger, fans and heater). Over a serial
adapter it reads and writes the controller's configuration, polls and shows
its live values, logs them into an Excel 97-2003 workbook and plots its fan
speed curves.

climate-cli does the same from the command line, for production lines and
scripts: it writes a parameter file, reads it back and compares, polls the
live values as CSV or JSON, and leaves an exit status and a JSON record.

The package also holds climate-sim, a simulator of the controller on a
pseudo-terminal, for practice and tests.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
string(REPLACE ".so." "-" gsf_package ${CLIMATE_GSF_SONAME})
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-qpa-plugins, ${gsf_package}")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
