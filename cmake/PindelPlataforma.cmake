# Which system the program is built for, decided once for every folder that has a file of
# its own per system:
#   PINDEL_PLATAFORMA  windows, x11 (Linux with xcb: plain X11 and XWayland, and Wayland when
#                      the player asks for it) or wayland (no xcb: a native Wayland client only)
#   PINDEL_SISTEMA     windows or posix: the file system's and the terminal's side
# On X11 the desktop is reached through the application's own xcb connection, for the one
# request Qt has no call for (minimising the other windows at start-up), and an X server is
# probed with xcb before Qt starts.
if(WIN32)
  set(PINDEL_PLATAFORMA windows)
  set(PINDEL_SISTEMA windows)
  # windows.h without its min/max macros and its rarely used parts, in every Windows file.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)
  return()
endif()

set(PINDEL_SISTEMA posix)
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(PINDEL_XCB IMPORTED_TARGET xcb)
endif()
if(TARGET PkgConfig::PINDEL_XCB)
  set(PINDEL_PLATAFORMA x11)
else()
  set(PINDEL_PLATAFORMA wayland)
endif()
message(STATUS "Pindel is built for: ${PINDEL_PLATAFORMA}")
