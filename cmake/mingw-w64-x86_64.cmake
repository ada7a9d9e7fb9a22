# Cross-compiles for 64-bit Windows with Debian's mingw-w64 compilers, the posix thread model
# (Qt 6 needs std::thread and std::mutex, which the win32 model of GCC 12 lacks).  The Qt
# for Windows is named by CMAKE_PREFIX_PATH and added to CMAKE_FIND_ROOT_PATH by
# scripts/windows; its tools (moc, rcc, uic) are the host's Qt of the same version.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PINDEL_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${PINDEL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PINDEL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER  ${PINDEL_MINGW}-windres)
set(CMAKE_AR           ${PINDEL_MINGW}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${PINDEL_MINGW}-ranlib CACHE FILEPATH "")
set(CMAKE_STRIP        ${PINDEL_MINGW}-strip CACHE FILEPATH "")
set(CMAKE_OBJDUMP      ${PINDEL_MINGW}-objdump CACHE FILEPATH "")

# Headers, libraries and packages only from the mingw sysroot and the find roots (the Qt for
# Windows); programs only from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${PINDEL_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
