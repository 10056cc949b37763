# The header-only libraries the profiles and vyxctl use (nlohmann-json, CLI11),
# as the targets nlohmann_json::nlohmann_json and CLI11::CLI11.
# A cross-build takes them from the build machine too, but their package files lie
# outside the target's root and their include folder also holds the build machine's
# C library: there only their own header folders are exposed, through links in the
# build tree.
if(NOT CMAKE_CROSSCOMPILING)
    find_package(nlohmann_json 3 REQUIRED)
    find_package(CLI11 REQUIRED)
    return()
endif()

set(vyx_host_headers ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${vyx_host_headers})
foreach(folder nlohmann CLI)
    if(NOT EXISTS /usr/include/${folder})
        message(FATAL_ERROR "/usr/include/${folder} is missing: run scripts/setup.sh")
    endif()
    file(CREATE_LINK /usr/include/${folder} ${vyx_host_headers}/${folder} SYMBOLIC)
endforeach()
foreach(target nlohmann_json::nlohmann_json CLI11::CLI11)
    add_library(${target} INTERFACE IMPORTED)
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${vyx_host_headers})
endforeach()
