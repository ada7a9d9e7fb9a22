# Install-time step of the Windows install folder (packaging/windows.cmake sets the inputs):
# copies every DLL that PINDEL_DLL_USERS (pindel.exe and the Qt plugins) import, directly or
# through one another, from PINDEL_DLL_DIRS to the top of the install folder, beside
# pindel.exe, where Windows looks first.  A DLL found nowhere must be Windows's own (an import
# library for it in PINDEL_SYSTEM_IMPORT_DIR); any other stops the install, naming it, rather
# than leave a program that does not start.  Every DLL ships without its symbols: Qt's come
# stripped already, the compiler's runtime does not (libstdc++: 23 MB with them, 2 MB without).

# CMake looks DLL names up in lower case, as Windows ignores case.  Where the file system does
# not, it sees each folder through links named in lower case, in a scratch folder of the build.
set(search_dirs ${PINDEL_DLL_DIRS})
if(NOT CMAKE_HOST_WIN32)
  file(REMOVE_RECURSE "${PINDEL_DLL_VIEW}")
  set(search_dirs)
  set(index 0)
  foreach(dir IN LISTS PINDEL_DLL_DIRS)
    math(EXPR index "${index} + 1")
    file(MAKE_DIRECTORY "${PINDEL_DLL_VIEW}/${index}")
    file(GLOB found LIST_DIRECTORIES false "${dir}/*.dll" "${dir}/*.DLL")
    foreach(dll IN LISTS found)
      get_filename_component(name "${dll}" NAME)
      string(TOLOWER "${name}" name)
      file(CREATE_LINK "${dll}" "${PINDEL_DLL_VIEW}/${index}/${name}" SYMBOLIC)
    endforeach()
    list(APPEND search_dirs "${PINDEL_DLL_VIEW}/${index}")
  endforeach()
endif()

file(GET_RUNTIME_DEPENDENCIES
  EXECUTABLES ${PINDEL_DLL_USERS}
  RESOLVED_DEPENDENCIES_VAR found
  UNRESOLVED_DEPENDENCIES_VAR unresolved
  CONFLICTING_DEPENDENCIES_PREFIX conflicting
  DIRECTORIES ${search_dirs}
  PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-"
  POST_EXCLUDE_REGEXES "[/\\\\][Ss]ystem32[/\\\\]" "[/\\\\][Ss]ys[Ww][Oo][Ww]64[/\\\\]")

foreach(name IN LISTS conflicting_FILENAMES)
  message(FATAL_ERROR "Two different ${name} could be shipped: ${conflicting_${name}}")
endforeach()
foreach(name IN LISTS unresolved)
  string(TOLOWER "${name}" name)
  string(REGEX REPLACE "\\.dll$" "" base "${name}")
  if(NOT PINDEL_SYSTEM_IMPORT_DIR OR NOT EXISTS "${PINDEL_SYSTEM_IMPORT_DIR}/lib${base}.a")
    message(FATAL_ERROR "${name} is needed by the program and found in none of: ${PINDEL_DLL_DIRS}")
  endif()
endforeach()

set(dlls)
foreach(dll IN LISTS found)
  file(REAL_PATH "${dll}" dll)  # the DLL under its own name
  list(APPEND dlls "${dll}")
endforeach()
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}" TYPE SHARED_LIBRARY FILES ${dlls})
if(PINDEL_STRIP)
  foreach(dll IN LISTS dlls)
    get_filename_component(name "${dll}" NAME)
    execute_process(COMMAND "${PINDEL_STRIP}" --strip-unneeded "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${name}"
                    RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "Could not strip ${name}")
    endif()
  endforeach()
endif()
