# GoogleTest for a target whose libraries Debian does not ship (i386, Windows, SPARC):
# the toolchain files point GTest_DIR here, so that find_package(GTest) builds GoogleTest
# from the sources that libgtest-dev installs, with the target's compiler, and offers its
# libraries under the names the installed package uses (GTest::gtest, GTest::gtest_main,
# GTest::gmock, GTest::gmock_main). Set GALSIFT_GOOGLETEST_SOURCE to use other sources.

if(NOT TARGET gtest)
    if(NOT GALSIFT_GOOGLETEST_SOURCE)
        set(GALSIFT_GOOGLETEST_SOURCE /usr/src/googletest)
    endif()
    if(NOT EXISTS ${GALSIFT_GOOGLETEST_SOURCE}/CMakeLists.txt)
        set(GTest_FOUND FALSE)
        set(GTest_NOT_FOUND_MESSAGE
            "no GoogleTest sources in ${GALSIFT_GOOGLETEST_SOURCE} (install libgtest-dev)")
        return()
    endif()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    # Build it with its own warning flags, not with the program's.
    get_directory_property(galsift_options COMPILE_OPTIONS)
    set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
    add_subdirectory(${GALSIFT_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set_directory_properties(PROPERTIES COMPILE_OPTIONS "${galsift_options}")
endif()

foreach(library gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${library})
        add_library(GTest::${library} ALIAS ${library})
    endif()
endforeach()
set(GTest_FOUND TRUE)
