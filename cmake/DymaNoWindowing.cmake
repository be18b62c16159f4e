# The build of the parts that need no windowing library (DYMA_NO_WINDOWING):
# the solver, the signal container and the LGOM plug-in with the model code
# their tests share, the generators, and the tests of those parts. On
# Windows (the MinGW-w64 cross build) the tests run one program per test
# through the emulator CTest is given (Wine).
set(DYMA_BUILD_BENCHMARKS OFF)
include(cmake/DymaTesting.cmake)

foreach(dir common kelsig lgsig npfa app tools/lgomgen tools/focalsynth)
  add_subdirectory(${dir})
endforeach()

if(DYMA_BUILD_TESTS)
  foreach(dir common kelsig lgsig npfa)
    add_subdirectory(tests/${dir})
  endforeach()
endif()
