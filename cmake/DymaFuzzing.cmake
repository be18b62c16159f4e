# The fuzz build: the libraries the readers live in, the project's own
# generators for the seed corpora, and tests/fuzz. Every object is
# instrumented for libFuzzer's coverage and built with AddressSanitizer and
# UndefinedBehaviorSanitizer (a sanitizer report stops the run as a crash).
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "The fuzz build needs clang (libFuzzer): configure with -DCMAKE_CXX_COMPILER=clang++")
endif()

set(DYMA_BUILD_TESTS OFF)
set(DYMA_BUILD_BENCHMARKS OFF)
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=address,undefined)

# miniSEED records through libmseed, coordinates through PROJ (dyma_core).
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBMSEED REQUIRED IMPORTED_TARGET GLOBAL mseed)
pkg_check_modules(PROJ REQUIRED IMPORTED_TARGET GLOBAL proj)

foreach(dir common kelsig lgsig mseedsig app npfa tools/lgomgen tools/mseedgen tools/focalsynth tests/fuzz)
  add_subdirectory(${dir})
endforeach()
