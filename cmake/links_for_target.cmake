# galsift_links_for_target(VAR LIBRARIES...): sets VAR true when a program links with
# LIBRARIES for the target being built. A library found for the build machine may be of
# another architecture than the target's (the x86-64 libraries of Debian's -dev packages in
# a -m32 build), and then nothing that uses it can be built.
include(CheckCXXSourceCompiles)
function(galsift_links_for_target var)
    set(CMAKE_REQUIRED_LIBRARIES ${ARGN})
    set(CMAKE_REQUIRED_QUIET ON)
    check_cxx_source_compiles("int main() { return 0; }" ${var})
    set(${var} ${${var}} PARENT_SCOPE)
endfunction()
