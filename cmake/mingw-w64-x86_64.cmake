# Cross build for 64-bit Windows with Debian's MinGW-w64 compiler (the posix
# thread model). Test programs run through Wine, which CTest puts in front of
# them; scripts/windows-check configures a build folder with this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DYMA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DYMA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DYMA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${DYMA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DYMA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No interprocedural register allocation: with it a caller may count on a
# called function leaving some caller-saved registers alone, as the copy
# compiled beside it does; but of the template functions every object file
# carries, the linker keeps one copy, possibly compiled with other options
# (the solver's library is built with -O3). The test program then called a
# random generator that clobbered r10 where the caller expected it intact,
# and crashed on its first random number.
set(CMAKE_C_FLAGS_INIT "-fno-ipa-ra")
set(CMAKE_CXX_FLAGS_INIT "-fno-ipa-ra")

# Everything statically linked (the C++ run-time and the thread library
# included), so that the programs and the DLLs run on a bare Windows. A DLL
# exports its own functions only: the run-time's copies inside it stay
# private (exported, they would clash with the run-time of every program
# that links the DLL).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--exclude-libs,ALL")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--exclude-libs,ALL")

find_program(DYMA_WINE NAMES wine wine64)
if(DYMA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DYMA_WINE})
endif()
