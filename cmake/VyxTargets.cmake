# Common compile settings for every target of the project.
function(vyx_target_defaults target)
    target_compile_features(${target} PUBLIC cxx_std_20)
    set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(VYX_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# A GoogleTest executable registered with ctest, one ctest entry per test case.
# vyx_add_gtest(NAME n LABEL l SOURCES ... LIBS ... [ENV k=v ...] [TIMEOUT s])
function(vyx_add_gtest)
    cmake_parse_arguments(T "" "NAME;LABEL;TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    vyx_target_defaults(${T_NAME})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main Threads::Threads)
    if(EMSCRIPTEN)
        # A program for node, with the real file system, whose exit code is the
        # result; the native build's ctest runs it (see tests/CMakeLists.txt).
        # Linked at -O1: the size passes of -Os took ~7 s of CPU per program and
        # saved nothing a test needs (the code itself stays compiled at -Os).
        target_link_options(${T_NAME} PRIVATE -sENVIRONMENT=node -sNODERAWFS=1
            -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 -O1)
        set_property(GLOBAL APPEND PROPERTY VYX_NODE_TESTS ${T_NAME})
        return()
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    gtest_discover_tests(${T_NAME}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${T_ENV}")
    vyx_label_needs(${T_LABEL} ${T_NAME})
endfunction()

# Adds targets to vyx-tests-<label>, the one target that builds everything the
# tests of that label run: a test stage that runs one label builds only that.
# vyx_label_needs(label target...)
function(vyx_label_needs label)
    if(NOT TARGET vyx-tests-${label})
        add_custom_target(vyx-tests-${label})
    endif()
    add_dependencies(vyx-tests-${label} ${ARGN})
endfunction()

# A libFuzzer target, registered with ctest (label fuzz) for a short bounded run
# and with the `fuzzers` target that scripts/fuzz.sh builds.
# vyx_add_fuzzer(NAME n SOURCES ... LIBS ...)
function(vyx_add_fuzzer)
    cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${F_NAME} ${F_SOURCES})
    vyx_target_defaults(${F_NAME})
    target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
    add_dependencies(fuzzers ${F_NAME})
    add_test(NAME ${F_NAME} COMMAND ${F_NAME} -runs=200000 -max_len=4096)
    set_tests_properties(${F_NAME} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()

# Adds every folder matched by the given globs (relative to the current source
# folder) that holds a CMakeLists.txt, so a new test, bench or fuzz folder needs
# no registration.
function(vyx_add_subfolders)
    list(TRANSFORM ARGN PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ OUTPUT_VARIABLE globs)
    file(GLOB dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${globs})
    foreach(dir IN LISTS dirs)
        if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        endif()
    endforeach()
endfunction()
