# VYX_HARDENING: the programs are built with the hardening Debian asks of its
# packages: fortified C library calls, a stack protector, format checks, and
# relocations made read-only and bound at start. The release preset (the
# package) turns it on; the test builds stay as they are, since fortified calls
# need an optimised build.
option(VYX_HARDENING "Build with Debian's hardening flags (needs an optimised build)" OFF)
if(NOT VYX_HARDENING)
    return()
endif()
if(NOT CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
    message(FATAL_ERROR "VYX_HARDENING needs an optimised build type, got '${CMAKE_BUILD_TYPE}'")
endif()
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
add_compile_definitions(_FORTIFY_SOURCE=2)
add_link_options(LINKER:-z,relro LINKER:-z,now)
