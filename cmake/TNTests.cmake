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

# Fuzz targets are built in the native tree with clang only.
if(NOT TN_WINDOWS AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(TN_FUZZING ON)
else()
  set(TN_FUZZING OFF)
endif()
set(TN_FUZZ_SECONDS 10 CACHE STRING "How long ctest runs each fuzz target")

# tn_add_fuzz_seed_writer(NAME <name> SOURCES <files...> [LIBS <targets...>])
# A program that writes fuzz targets' seeds from the tests' fixtures
# (tests/support/FuzzSeeds.h); fuzz targets name it with SEEDS.
function(tn_add_fuzz_seed_writer)
  cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT TN_FUZZING)
    return()
  endif()
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} tn_fuzz_seeds)
  target_include_directories(${ARG_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
endfunction()

# tn_add_fuzzer(NAME <name> SOURCES <files...> [LIBS <targets...>]
#               [SEEDS <writer> [SEED_ARGS <arguments...>] [SEED_DEPENDS <files...>]])
# Its corpus grows in fuzz-corpus/<name>. With SEEDS, building it also runs
# "<writer> <name> fuzz-seeds/<name> <arguments...>", and every run reads
# that folder as a second corpus, which libFuzzer never writes to. ctest runs
# each target briefly (label fuzz); scripts/fuzz runs them long.
function(tn_add_fuzzer)
  cmake_parse_arguments(ARG "" "NAME;SEEDS" "SOURCES;LIBS;SEED_ARGS;SEED_DEPENDS" ${ARGN})
  if(NOT TN_FUZZING)
    return()
  endif()
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS})
  target_include_directories(${ARG_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${ARG_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${ARG_NAME} PRIVATE -fsanitize=fuzzer)
  set(_corpus ${CMAKE_BINARY_DIR}/fuzz-corpus/${ARG_NAME})
  set(_seeds ${CMAKE_BINARY_DIR}/fuzz-seeds/${ARG_NAME})
  file(MAKE_DIRECTORY ${_corpus} ${_seeds})
  if(ARG_SEEDS)
    set(_stamp ${CMAKE_BINARY_DIR}/fuzz-seeds/${ARG_NAME}.stamp)
    add_custom_command(OUTPUT ${_stamp}
      COMMAND ${ARG_SEEDS} ${ARG_NAME} ${_seeds} ${ARG_SEED_ARGS}
      COMMAND ${CMAKE_COMMAND} -E touch ${_stamp}
      DEPENDS ${ARG_SEEDS} ${ARG_SEED_DEPENDS}
      COMMENT "Writing the seeds of ${ARG_NAME}"
      VERBATIM)
    add_custom_target(${ARG_NAME}_seeds DEPENDS ${_stamp})
    add_dependencies(${ARG_NAME} ${ARG_NAME}_seeds)
  endif()
  add_test(NAME ${ARG_NAME}
           COMMAND ${ARG_NAME} -max_total_time=${TN_FUZZ_SECONDS} -print_final_stats=0 ${_corpus} ${_seeds})
  set_tests_properties(${ARG_NAME} PROPERTIES LABELS fuzz)
endfunction()
