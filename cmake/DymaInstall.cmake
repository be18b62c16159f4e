# The installed program folder: everything the program directory of the
# build holds, laid out so that the folder runs wherever it is copied.
#
#   bin/Dyma2, bin/dyma            the programs (run path $ORIGIN/../lib)
#   bin/repository/NPFA.EXE        the solver's master copy
#   bin/help/*                     the help pages
#   bin/readme.txt, historia.txt   the texts of the help menu
#   bin/Dyma2.png, Dyma2.ico       the icon the file-type registration names
#   bin/example/*                  the example tremor
#   lib/                           the project's shared libraries
#
# The program directory is bin/: when it is writable (a folder of one's own)
# the temporary, seismogram and output directories go beside the program,
# otherwise under the user's data directory.
include(GNUInstallDirs)
set(DYMA_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR})
set(DYMA_INSTALL_LIBRARY_DIR lib)

# dyma, NPFA.EXE, kelsig2, lgsig2 and the example are installed by their own
# folders; the window program, its files and the plotting library here.
if(TARGET quactl2006)
  install(TARGETS quactl2006
    LIBRARY DESTINATION ${DYMA_INSTALL_LIBRARY_DIR}
    RUNTIME DESTINATION ${DYMA_INSTALL_PROGRAM_DIR})
endif()

if(TARGET Dyma2)
  install(TARGETS Dyma2 RUNTIME DESTINATION ${DYMA_INSTALL_PROGRAM_DIR})
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/app/shell/help/ DESTINATION ${DYMA_INSTALL_PROGRAM_DIR}/help)
  install(FILES ${CMAKE_SOURCE_DIR}/app/shell/readme.txt ${CMAKE_SOURCE_DIR}/app/shell/historia.txt
    DESTINATION ${DYMA_INSTALL_PROGRAM_DIR})
  # Drawn by the build beside the program.
  install(FILES ${DYMA_PROGRAM_DIR}/Dyma2.png ${DYMA_PROGRAM_DIR}/Dyma2.ico
    DESTINATION ${DYMA_INSTALL_PROGRAM_DIR})
endif()
