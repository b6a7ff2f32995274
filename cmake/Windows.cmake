# What the Windows build uses in place of the Linux build's system packages: GoogleTest from
# Debian's sources (googletest), built with the cross compiler; no libmodbus, libgsf or Google
# Benchmark (the simulator, benchmarks, fuzz targets and soak harness are Linux programs).
if(CLIMATE_TESTS)
    set(CLIMATE_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    # Its own CMake names the targets GTest::gtest, GTest::gmock and so on, as find_package does.
    add_subdirectory(${CLIMATE_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set_target_properties(gtest gtest_main gmock gmock_main PROPERTIES AUTOMOC OFF AUTORCC OFF)

    # Each test program is one CTest test here, all its cases in one run: starting a program
    # under Wine takes seconds, and listing the cases would need Wine (its display and prefix)
    # at build time. The areas' CMakeLists call this as on Linux.
    function(gtest_discover_tests target)
        cmake_parse_arguments(PARSE_ARGV 1 arg "NO_PRETTY_TYPES;NO_PRETTY_VALUES"
            "TEST_PREFIX;TEST_SUFFIX;WORKING_DIRECTORY;TEST_LIST;DISCOVERY_TIMEOUT;XML_OUTPUT_DIR;DISCOVERY_MODE"
            "EXTRA_ARGS;PROPERTIES")
        set(name ${arg_TEST_PREFIX}${target}${arg_TEST_SUFFIX})
        add_test(NAME ${name} COMMAND ${target} ${arg_EXTRA_ARGS})
        if(arg_PROPERTIES)
            set_tests_properties(${name} PROPERTIES ${arg_PROPERTIES})
        endif()
        set_tests_properties(${name} PROPERTIES TIMEOUT 1200)
    endfunction()
endif()

# Windows headers without their min/max macros and with the wide-character API by default;
# MinGW-w64's C library with the POSIX thread-safe calls (localtime_r).
add_compile_definitions(UNICODE _UNICODE NOMINMAX _POSIX_THREAD_SAFE_FUNCTIONS=200112L)

# The executable's icon and version resource.
enable_language(RC)
