# Helpers shared by every folder's CMakeLists.txt.

set(KESTREL_WARNINGS -Wall -Wextra)
if(KESTREL_WERROR)
    list(APPEND KESTREL_WARNINGS -Werror)
endif()

# kestrel_library(NAME SOURCES... [DEPS targets...])
# One static library per folder; the repository root is the include root, so
# code includes "model/solid.h", "ui/ui.h" and so on.
function(kestrel_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${KESTREL_WARNINGS})
    if(ARG_DEPS)
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    endif()
endfunction()

# kestrel_test(NAME SOURCES... DEPS targets...)
# A GoogleTest executable in build/bin, registered with CTest case by case.
function(kestrel_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${KESTREL_WARNINGS})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_compile_definitions(${name} PRIVATE
        KESTREL_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
        KESTREL_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES LABELS "${ARG_LABELS}")
endfunction()

# kestrel_bench(NAME SOURCES... DEPS targets...)
function(kestrel_bench name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${KESTREL_WARNINGS})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
endfunction()
