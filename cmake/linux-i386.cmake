# Linux on i386: g++ 12 with -m32 (Debian's g++-12-multilib), run natively on x86-64 (or
# under qemu-user, below).
#
# i386 computes doubles on the x87 unit by default, in 80-bit registers: an angle's
# value() kept in a register and the same value stored to memory can compare unequal, so
# a record exactly on a bound of the query could drop out. SSE2 arithmetic rounds every
# operation to a 64-bit double, as on every other target.
#
# g++-12-multilib, unlike g++-multilib (which no cross compiler tolerates beside it), does
# not link /usr/include/asm; the x86-64 headers supply it, searched last.
#
# Files, offsets and inode numbers are 64-bit (_FILE_OFFSET_BITS=64), as in every Debian
# build for i386: a catalogue may be larger than 2 GiB, and a directory's entries on ext4
# carry 64-bit offsets.
#
# GoogleTest is built from its sources: Debian's libgtest-dev holds x86-64 libraries only.

set(CMAKE_C_COMPILER gcc-12)
set(CMAKE_CXX_COMPILER g++-12)

set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse -D_FILE_OFFSET_BITS=64")
set(CMAKE_CXX_FLAGS_INIT
    "-m32 -msse2 -mfpmath=sse -D_FILE_OFFSET_BITS=64 -idirafter /usr/include/x86_64-linux-gnu")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")

set(GTest_DIR ${CMAKE_CURRENT_LIST_DIR}/googletest)

# A kernel built without IA-32 emulation runs no 32-bit program ("Exec format error"):
# there the build is a cross build whose tests run under qemu-user, as SPARC64's do (the
# tests that start the programs themselves are left out). The probe is a program built
# and run once per build folder.
if(NOT DEFINED CACHE{GALSIFT_I386_RUNS_NATIVELY})
    set(probe ${CMAKE_BINARY_DIR}/i386-probe)
    file(WRITE ${probe}.c "int main(void) { return 0; }\n")
    execute_process(COMMAND gcc-12 -m32 ${probe}.c -o ${probe} RESULT_VARIABLE built
                    OUTPUT_QUIET ERROR_QUIET)
    execute_process(COMMAND ${probe} RESULT_VARIABLE ran OUTPUT_QUIET ERROR_QUIET)
    if(built EQUAL 0 AND NOT ran EQUAL 0)
        set(GALSIFT_I386_RUNS_NATIVELY OFF CACHE INTERNAL "")
    else()
        set(GALSIFT_I386_RUNS_NATIVELY ON CACHE INTERNAL "")
    endif()
    file(REMOVE ${probe} ${probe}.c)
endif()
if(NOT GALSIFT_I386_RUNS_NATIVELY)
    set(CMAKE_SYSTEM_NAME Linux)
    set(CMAKE_SYSTEM_PROCESSOR i686)
    set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
endif()
