# Provides the GoogleTest targets (GTest::gtest, GTest::gtest_main,
# GTest::gmock, GTest::gmock_main) and the GoogleTest CMake module.
# Native builds use the installed package. Windows builds compile Debian's
# GoogleTest sources (/usr/src/googletest) with the cross compiler, inside the
# build tree (the sources define the GTest:: names too), and their tests run
# under Wine through the crosscompiling emulator.
if(CMAKE_CROSSCOMPILING AND WIN32)
    set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
    if(NOT EXISTS ${GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
        message(FATAL_ERROR "GoogleTest sources not found in ${GOOGLETEST_SOURCE_DIR}: "
                            "scripts/install-deps windows installs them")
    endif()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    # SYSTEM: our warning flags do not apply to GoogleTest's own headers.
    add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    # The win32-threads runtime has no std::mutex; GoogleTest's porting hook
    # supplies the one class of it that needs one (see the header). The hook
    # directory must come before GoogleTest's own include directory: first in
    # the list when GoogleTest compiles itself, and for its users a plain -I,
    # which is searched before their -isystem directories.
    set(hook_dir ${CMAKE_CURRENT_LIST_DIR}/googletest-mingw)
    foreach(lib gtest gtest_main gmock gmock_main)
        target_include_directories(${lib} BEFORE PRIVATE ${hook_dir})
    endforeach()
    target_compile_options(gtest INTERFACE -I${hook_dir})
    # Listing the cases at build time would run Wine from the build; at test
    # time it runs in the same prefix as the cases themselves.
    set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
    include(WineTesting)
else()
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)
