# Linux on i386: g++ 12 with -m32 (Debian's g++-12-multilib), run natively on x86-64.
#
# i386 computes doubles on the x87 unit by default, in 80-bit registers: an angle's
# value() kept in a register and the same value stored to memory can compare unequal, so
# a record exactly on a bound of the query could drop out. SSE2 arithmetic rounds every
# operation to a 64-bit double, as on every other target.
#
# g++-12-multilib, unlike g++-multilib (which no cross compiler tolerates beside it), does
# not link /usr/include/asm; the x86-64 headers supply it, searched last.
#
# GoogleTest is built from its sources: Debian's libgtest-dev holds x86-64 libraries only.

set(CMAKE_C_COMPILER gcc-12)
set(CMAKE_CXX_COMPILER g++-12)

set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse -idirafter /usr/include/x86_64-linux-gnu")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")

set(GTest_DIR ${CMAKE_CURRENT_LIST_DIR}/googletest)
