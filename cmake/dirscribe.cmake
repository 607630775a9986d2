# Helpers shared by the subsystem folders.

# dirscribe_library(NAME SOURCES ... [DEPS ...])
# A static library named dirscribe_NAME whose headers are reached as "NAME/file.h".
function(dirscribe_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(dirscribe_${name} STATIC ${ARG_SOURCES})
  target_include_directories(dirscribe_${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  target_link_libraries(dirscribe_${name} PUBLIC ${ARG_DEPS})
endfunction()

# dirscribe_test(NAME SOURCES ... [DEPS ...])
# A GoogleTest executable registered with CTest, linked with the shared test
# support (tests/support: temporary folders, test phrases). Tests find the
# assembled program folder through DIRSCRIBE_PROGRAM_DIR and the sources
# through DIRSCRIBE_SOURCE_DIR.
function(dirscribe_test name)
  if(NOT DIRSCRIBE_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} dirscribe_test_support_lib GTest::gmock
                                        GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    DIRSCRIBE_PROGRAM_DIR="${DIRSCRIBE_PROGRAM_DIR}/"
    DIRSCRIBE_SOURCE_DIR="${PROJECT_SOURCE_DIR}/")
  add_dependencies(${name} program_data)
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()

# dirscribe_benchmark(NAME SOURCES ... [DEPS ...])
function(dirscribe_benchmark name)
  if(NOT DIRSCRIBE_BENCHMARKS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark_main)
endfunction()

# dirscribe_fuzzer(NAME SOURCES ... [DEPS ...]): a libFuzzer target (clang only).
function(dirscribe_fuzzer name)
  if(NOT DIRSCRIBE_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  # Targets may load the English phrases from the source tree.
  target_compile_definitions(${name} PRIVATE DIRSCRIBE_SOURCE_DIR="${PROJECT_SOURCE_DIR}/")
endfunction()
