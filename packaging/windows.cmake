# The Windows build's install folder, which the installer and the portable .zip both carry:
#
#   pindel.exe                      the program, with its icon and its version record
#   Qt6*.dll, lib*.dll              every DLL it imports, found from the import tables at
#                                   install time (windows-dlls.cmake), the compiler's runtime
#                                   stripped of its symbols
#   platforms/qwindows.dll          the plugins Qt loads without importing them: the window
#   styles/qwindowsvistastyle.dll   system, and the native style the dialogs are drawn in
#   LICENCIA.txt, TERCEROS.txt      the program's licence, the bundled libraries' notices,
#   *-OFL.txt, *-AGPL.txt           the licences of the fonts built into pindel.exe
#
# and nothing else.  The program draws its SVG art with QtSvg itself, never through QImage or
# QIcon's file loading, so Qt's image-format and icon-engine plugins would never be loaded.
include(${PROJECT_SOURCE_DIR}/cmake/PindelWindowsDlls.cmake)

set(PINDEL_QT_PLUGINS Qt6::QWindowsIntegrationPlugin Qt6::QWindowsVistaStylePlugin)

install(TARGETS pindel RUNTIME DESTINATION .)
set(plugin_files)
foreach(plugin IN LISTS PINDEL_QT_PLUGINS)
  get_target_property(type ${plugin} QT_PLUGIN_TYPE)
  install(FILES $<TARGET_FILE:${plugin}> DESTINATION ${type})
  list(APPEND plugin_files $<TARGET_FILE:${plugin}>)
endforeach()

# The DLLs: what pindel.exe and the plugins import, resolved in Qt's folder and the compiler
# runtime's; what neither holds must be Windows's own.
if(CMAKE_OBJDUMP)
  set(dll_tool objdump)
  set(dll_tool_command ${CMAKE_OBJDUMP})
else()
  set(dll_tool dumpbin)
  set(dll_tool_command "")
endif()
install(CODE "
  set(PINDEL_DLL_USERS \"$<TARGET_FILE:pindel>;${plugin_files}\")
  set(PINDEL_DLL_DIRS \"${PINDEL_QT_BIN_DIR};${PINDEL_RUNTIME_DIRS}\")
  set(PINDEL_SYSTEM_IMPORT_DIR \"${PINDEL_SYSTEM_IMPORT_DIR}\")
  set(PINDEL_DLL_VIEW \"${CMAKE_CURRENT_BINARY_DIR}/dll-names\")
  set(PINDEL_STRIP \"${CMAKE_STRIP}\")
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL ${dll_tool})
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND \"${dll_tool_command}\")")
install(SCRIPT ${CMAKE_CURRENT_SOURCE_DIR}/windows-dlls.cmake)

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENCIA.txt)
install(FILES windows/TERCEROS.txt DESTINATION .)
# The fonts pindel.exe carries inside it, and so the texts of their licences beside it.
get_property(font_licences GLOBAL PROPERTY PINDEL_FUENTES_LICENCIAS)
install(FILES ${font_licences} DESTINATION .)

# The installer (NSIS) and the portable .zip.  Values reach CPack as written here, backslashes
# included (CPACK_VERBATIM_VARIABLES).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME Pindel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Maberto)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://pindel.example.com/")
set(CPACK_PACKAGE_FILE_NAME Pindel-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Pindel)
# The Add/Remove entry's key, and so the one install every version replaces: never the version.
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Pindel)
set(CPACK_STRIP_FILES ON)
# The packages take the build as it is: installing does not build everything (the tests
# included) first, one job at a time.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON CACHE BOOL "install and package do not build first")

# CPack takes the installer's script from the project's copy of its template (languages, the
# running game, the earlier install, the Add/Remove entry: see its head).
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_SOURCE_DIR}/windows)
# The name of the mutex the running game holds, as the game's source writes it.
file(STRINGS ${PROJECT_SOURCE_DIR}/src/shell/escritorio_windows.h mutex REGEX "kMutexJuegoAbierto\\[\\] = L\"")
if(NOT mutex MATCHES "L\"([^\"]+)\"")
  message(FATAL_ERROR "src/shell/escritorio_windows.h names no kMutexJuegoAbierto")
endif()
string(REPLACE "\\\\" "\\" mutex "${CMAKE_MATCH_1}")
# A 64-bit installer (the stubs Debian's nsis ships for amd64), into the 64-bit Program Files
# and the 64-bit view of the registry, so Add/Remove Programs lists it where a 64-bit program
# belongs.  The line under its pages names the game and the version being installed (the
# template's VERSION), not the installer's maker (CPack's own setting for that line needs an
# option Linux's makensis lacks).
set(CPACK_NSIS_DEFINES "
  Target amd64-unicode
  BrandingText \"Pindel \${VERSION} - Maberto\"
  !define PINDEL_RUNNING_MUTEX \"${mutex}\"")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_NSIS_PACKAGE_NAME Pindel)
set(CPACK_NSIS_DISPLAY_NAME Pindel)
set(CPACK_NSIS_INSTALLED_ICON_NAME pindel.exe)
set(CPACK_NSIS_MUI_ICON ${PINDEL_WINDOWS_ICON})
set(CPACK_NSIS_MUI_UNIICON ${PINDEL_WINDOWS_ICON})
set(CPACK_NSIS_URL_INFO_ABOUT "https://pindel.example.com/")
set(CPACK_NSIS_CONTACT "pindel@example.com")
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# The licence is the GPL, which a player need not accept to play: no page asks to.
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
# A second install replaces the first instead of leaving two entries.
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The Start-menu entry names the program, starts it in its folder and shows its icon.  The
# uninstaller removes the files it installed, so the player's winners (in %LOCALAPPDATA%)
# stay.
set(CPACK_NSIS_CREATE_ICONS_EXTRA [[
  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\Pindel.lnk" "$INSTDIR\pindel.exe" "" "$INSTDIR\pindel.exe" 0 SW_SHOWNORMAL "" "Juego para una persona."]])
set(CPACK_NSIS_DELETE_ICONS_EXTRA [[
  Delete "$SMPROGRAMS\$MUI_TEMP\Pindel.lnk"]])
include(CPack)
