# Windows x86-64 console: MinGW-w64 g++ (posix threads), linked statically so that the
# program and the tests need no DLL beside them, and run under Wine.
#
# wine-run, beside this file, runs the programs under Wine with a prefix inside the build
# tree. Start `wineserver -p` and `wineboot -i` for that prefix before running the tests
# and `wineserver -k` after (scripts/cross-test does): a Wine helper started by a test can
# otherwise hold CTest's output pipe open.
#
# GoogleTest is built from its sources, and the test executables are asked for their
# tests when CTest runs (not while building), so building needs no Wine.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# One program, not a list: the end-to-end runner takes the emulator as one argument.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)

set(GTest_DIR ${CMAKE_CURRENT_LIST_DIR}/googletest)
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
