# Reads the firmware image and its trailer as hex digits: a real image named by
# the build (exactly 89,268 bytes, with a 5-byte trailer file), or the generated
# placeholder with its fixed trailer when no image is named. A wrong size stops
# the configuration.
#
#   vyx_firmware_inputs(<image-path> <trailer-path> <image-hex-var> <trailer-hex-var> <origin-var>)
#
# Also runs on its own, to check a pair of files before a build:
#   cmake -DVYX_FIRMWARE_IMAGE=... -DVYX_FIRMWARE_TRAILER=... -P FirmwareInputs.cmake

include(${CMAKE_CURRENT_LIST_DIR}/PlaceholderImage.cmake)
set(VYX_FIRMWARE_TRAILER_SIZE 5)

function(vyx_firmware_inputs image trailer imageHexVar trailerHexVar originVar)
    if(image STREQUAL "")
        if(NOT trailer STREQUAL "")
            message(FATAL_ERROR "VYX_FIRMWARE_TRAILER is set without VYX_FIRMWARE_IMAGE")
        endif()
        vyx_placeholder_firmware_hex(imageHex)
        set(${imageHexVar} "${imageHex}" PARENT_SCOPE)
        set(${trailerHexVar} "210075e261" PARENT_SCOPE)
        set(${originVar} "the placeholder of PlaceholderImage.cmake" PARENT_SCOPE)
        return()
    endif()
    if(trailer STREQUAL "")
        message(FATAL_ERROR "VYX_FIRMWARE_IMAGE needs VYX_FIRMWARE_TRAILER, the 5-byte "
                            "trailer that accompanies the image")
    endif()
    foreach(path IN ITEMS "${image}" "${trailer}")
        if(NOT EXISTS "${path}" OR IS_DIRECTORY "${path}")
            message(FATAL_ERROR "firmware input: no such file: ${path}")
        endif()
        if(NOT CMAKE_SCRIPT_MODE_FILE)
            # Configure again when the image or its trailer changes.
            set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
        endif()
    endforeach()
    file(SIZE "${image}" size)
    if(NOT size EQUAL VYX_FIRMWARE_SIZE)
        message(FATAL_ERROR "VYX_FIRMWARE_IMAGE holds ${size} bytes; the device's "
                            "firmware image is exactly ${VYX_FIRMWARE_SIZE} bytes")
    endif()
    file(SIZE "${trailer}" size)
    if(NOT size EQUAL VYX_FIRMWARE_TRAILER_SIZE)
        message(FATAL_ERROR "VYX_FIRMWARE_TRAILER holds ${size} bytes; a trailer is "
                            "exactly ${VYX_FIRMWARE_TRAILER_SIZE} bytes")
    endif()
    file(READ "${image}" imageHex HEX)
    file(READ "${trailer}" trailerHex HEX)
    set(${imageHexVar} "${imageHex}" PARENT_SCOPE)
    set(${trailerHexVar} "${trailerHex}" PARENT_SCOPE)
    set(${originVar} "${image}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    vyx_firmware_inputs("${VYX_FIRMWARE_IMAGE}" "${VYX_FIRMWARE_TRAILER}" imageHex trailerHex origin)
    message(STATUS "firmware inputs accepted: ${origin}")
endif()
