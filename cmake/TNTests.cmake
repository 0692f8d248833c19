# Test helpers shared by every tree.
#
# Each GoogleTest program is one ctest test that writes its cases to
# test-results/<name>.xml, so scripts/test can count cases, not programs,
# and a Windows program runs once under Wine rather than once per case.
enable_testing()

if(NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ${TN_WINDOWS} CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest's own sources do not pass our warning set.
  foreach(_target gtest gtest_main)
    target_compile_options(${_target} PRIVATE -w)
  endforeach()
endif()

set(TN_TEST_RESULTS ${CMAKE_BINARY_DIR}/test-results)
file(MAKE_DIRECTORY ${TN_TEST_RESULTS})
if(TN_WINDOWS)
  # Wine maps the Unix root to drive Z:.
  set(TN_TEST_RESULTS_FOR_PROGRAM "Z:${TN_TEST_RESULTS}")
else()
  set(TN_TEST_RESULTS_FOR_PROGRAM "${TN_TEST_RESULTS}")
endif()

# tn_add_gtest(NAME <name> SOURCES <files...> [LIBS <targets...>] [WINDOWS_ONLY])
function(tn_add_gtest)
  cmake_parse_arguments(ARG "WINDOWS_ONLY" "NAME" "SOURCES;LIBS" ${ARGN})
  if(ARG_WINDOWS_ONLY AND NOT TN_WINDOWS)
    return()
  endif()
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} gtest_main gtest)
  target_include_directories(${ARG_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  add_test(NAME ${ARG_NAME}
           COMMAND ${ARG_NAME} --gtest_output=xml:${TN_TEST_RESULTS_FOR_PROGRAM}/${ARG_NAME}.xml)
  set_tests_properties(${ARG_NAME} PROPERTIES LABELS unit)
endfunction()

# tn_add_fuzzer(NAME <name> SOURCES <files...> [LIBS <targets...>])
# Native tree with clang only; ctest runs each one briefly (label fuzz).
function(tn_add_fuzzer)
  cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(TN_WINDOWS OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS})
  target_include_directories(${ARG_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${ARG_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${ARG_NAME} PRIVATE -fsanitize=fuzzer)
  set(_corpus ${CMAKE_BINARY_DIR}/fuzz-corpus/${ARG_NAME})
  # Seeds a target's build writes from the tests' fixture code; read, never
  # written to (new inputs go to the corpus, the first folder).
  set(_seeds ${CMAKE_BINARY_DIR}/fuzz-seeds/${ARG_NAME})
  file(MAKE_DIRECTORY ${_corpus} ${_seeds})
  set(TN_FUZZ_SECONDS 10 CACHE STRING "How long ctest runs each fuzz target")
  add_test(NAME ${ARG_NAME}
           COMMAND ${ARG_NAME} -max_total_time=${TN_FUZZ_SECONDS} -print_final_stats=0 ${_corpus} ${_seeds})
  set_tests_properties(${ARG_NAME} PROPERTIES LABELS fuzz)
endfunction()
