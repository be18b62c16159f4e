# Helpers for the test tree: one GoogleTest executable per area, discovered by
# CTest when the tests run (so building does not execute test binaries).
if(DYMA_BUILD_TESTS)
  enable_testing()
  if(CMAKE_CROSSCOMPILING)
    # The installed GoogleTest is built for this machine: a cross build
    # compiles Debian's copy of its sources (package googletest).
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest)
      add_library(GTest::gtest ALIAS gtest)
      add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
  else()
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
endif()

if(DYMA_BUILD_BENCHMARKS)
  find_package(benchmark QUIET)
  if(NOT benchmark_FOUND)
    set(DYMA_BUILD_BENCHMARKS OFF)
  endif()
endif()

# dyma_add_test(<name> SOURCES ... LIBS ... [ENV ...])
function(dyma_add_test name)
  if(NOT DYMA_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    DYMA_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    DYMA_BINARY_DIR="${CMAKE_BINARY_DIR}"
    DYMA_PROGRAM_DIR="${DYMA_PROGRAM_DIR}")
  if(CMAKE_CROSSCOMPILING)
    # One run of the whole program: every start of an emulated program
    # costs far more than its tests.
    # The program's DLLs are found through WINEPATH (Wine's addition to PATH).
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "WINEPATH=Z:${DYMA_PROGRAM_DIR};${T_ENV}")
    return()
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${T_ENV}")
endfunction()

# dyma_add_benchmark(<name> SOURCES ... LIBS ...): built, never run by CTest.
function(dyma_add_benchmark name)
  if(NOT DYMA_BUILD_BENCHMARKS)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/benchmarks)
endfunction()
