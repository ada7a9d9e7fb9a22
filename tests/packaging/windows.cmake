# The Windows build's packaging checks: pindel.exe as Windows reads it, and, where Wine runs the
# build's programs, the installer and the .zip as a player gets them.
find_program(PINDEL_SYSTEM_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT PINDEL_SYSTEM_PYTHON)
  find_program(PINDEL_SYSTEM_PYTHON NAMES python3 REQUIRED)
endif()

add_test(NAME windows_exe
         COMMAND ${PINDEL_SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/test_windows_exe.py $<TARGET_FILE:pindel>)
set_tests_properties(windows_exe PROPERTIES TIMEOUT 120 LABELS packaging
                     ENVIRONMENT "PINDEL_VERSION=${PROJECT_VERSION}")

# CPack makes both packages into a scratch folder from the build as it is; a fresh Wine prefix
# and a private Xvfb of its own, so it runs beside any other test.
if(CMAKE_HOST_UNIX AND CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME windows_installer
           COMMAND ${PINDEL_SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/test_windows_installer.py
                   ${CMAKE_CPACK_COMMAND} $<TARGET_FILE:textos_ventanas> ${CMAKE_BINARY_DIR}/CPackConfig.cmake
                   --artifacts ${CMAKE_CURRENT_BINARY_DIR}/installer-artifacts)
  set_tests_properties(windows_installer PROPERTIES TIMEOUT 600 LABELS packaging
                       ENVIRONMENT "LC_ALL=C.UTF-8;PYTHONDONTWRITEBYTECODE=1;PINDEL_VERSION=${PROJECT_VERSION}")
endif()
