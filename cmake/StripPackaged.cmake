# Run by CPack on the files staged for the package, before it packs them: every
# program loses its symbols and the compiler's notes (.comment, .note), as
# Debian's own packages do; CPack's own stripping leaves those sections in.
# CPACK_VYX_STRIP names the strip program of the build.
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file IN LISTS staged)
    if(IS_SYMLINK "${file}")
        continue()
    endif()
    file(READ "${file}" magic LIMIT 4 HEX)
    if(NOT magic STREQUAL "7f454c46")
        continue()
    endif()
    execute_process(
        COMMAND "${CPACK_VYX_STRIP}" --remove-section=.comment --remove-section=.note "${file}"
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "cannot strip ${file}")
    endif()
endforeach()
