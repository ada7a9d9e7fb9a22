# The Windows build's programs, run on the Linux machine that built them: every add_test()
# command (and every custom command that names the emulator) goes through scripts/wine-run,
# with one Wine prefix for the whole build folder and the Qt and compiler runtime DLLs found
# where they are.  Set CMAKE_CROSSCOMPILING_EMULATOR yourself to run them some other way.
if(NOT WIN32 OR NOT CMAKE_HOST_UNIX OR CMAKE_CROSSCOMPILING_EMULATOR)
  return()
endif()
find_program(PINDEL_WINE wine)
if(NOT PINDEL_WINE)
  message(STATUS "Wine not found: the Windows tests cannot run on this machine")
  return()
endif()

# The folders of the DLLs every program of the build needs: Qt's own, and the compiler's
# runtime (libstdc++, libgcc, winpthread).
include(${CMAKE_CURRENT_LIST_DIR}/PindelWindowsDlls.cmake)
set(PINDEL_WINE_PATHS ${PINDEL_QT_BIN_DIR} ${PINDEL_RUNTIME_DIRS})
list(REMOVE_DUPLICATES PINDEL_WINE_PATHS)

set(PINDEL_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine CACHE PATH "The Wine prefix the Windows tests share")
set(emulator ${PROJECT_SOURCE_DIR}/scripts/wine-run --prefix ${PINDEL_WINE_PREFIX})
foreach(dir IN LISTS PINDEL_WINE_PATHS)
  list(APPEND emulator --path ${dir})
endforeach()
set(CMAKE_CROSSCOMPILING_EMULATOR ${emulator} CACHE STRING "How the build's Windows programs run here" FORCE)
