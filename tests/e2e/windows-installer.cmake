# The installer the scenarios of the Windows build install (cmake -P, run by CTest before
# them): the one CPack made beside CPackConfig.cmake, in the build folder, when it is not older
# than pindel.exe (as scripts/windows leaves it); or else a new one made there.
#   cmake -DCPACK=<cpack> -DCONFIG=<CPackConfig.cmake> -DPROGRAM=<pindel.exe> -P windows-installer.cmake
include("${CONFIG}")
get_filename_component(folder "${CONFIG}" DIRECTORY)
set(installer "${folder}/${CPACK_PACKAGE_FILE_NAME}.exe")
if(EXISTS "${installer}" AND NOT "${PROGRAM}" IS_NEWER_THAN "${installer}")
  message(STATUS "${installer} is up to date")
  return()
endif()
execute_process(COMMAND "${CPACK}" -G NSIS --config "${CONFIG}" -B "${folder}" RESULT_VARIABLE failed)
if(failed OR NOT EXISTS "${installer}" OR "${PROGRAM}" IS_NEWER_THAN "${installer}")
  message(FATAL_ERROR "CPack made no installer newer than ${PROGRAM} (${failed})")
endif()
