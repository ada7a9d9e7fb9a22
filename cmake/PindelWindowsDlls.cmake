# Where the DLLs of a Windows build come from: PINDEL_QT_BIN_DIR, Qt's own, and
# PINDEL_RUNTIME_DIRS, the folders of the compiler's runtime (libstdc++, libgcc, winpthread)
# wherever this compiler keeps them; none with a compiler that has no such runtime.
# PINDEL_SYSTEM_IMPORT_DIR is the folder of the compiler's import libraries for Windows's own
# DLLs (libkernel32.a, libuser32.a...): a DLL named there is the system's, never shipped.
include_guard(GLOBAL)
get_target_property(pindel_qtcore_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT pindel_qtcore_dll)
  get_target_property(pindel_qtcore_dll Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(PINDEL_QT_BIN_DIR "${pindel_qtcore_dll}" DIRECTORY)

set(PINDEL_RUNTIME_DIRS)
set(PINDEL_SYSTEM_IMPORT_DIR)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" OR MINGW)
  foreach(file libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll libkernel32.a)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${file}
                    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(IS_ABSOLUTE "${found}" AND EXISTS "${found}")
      get_filename_component(found "${found}" REALPATH)
      get_filename_component(dir "${found}" DIRECTORY)
      if(file STREQUAL "libkernel32.a")
        set(PINDEL_SYSTEM_IMPORT_DIR ${dir})
      else()
        list(APPEND PINDEL_RUNTIME_DIRS ${dir})
      endif()
    endif()
  endforeach()
  list(REMOVE_DUPLICATES PINDEL_RUNTIME_DIRS)
endif()
