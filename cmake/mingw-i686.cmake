# Cross-compiling for 32-bit Windows with Debian's mingw-w64 (i686, the
# POSIX threads variant is not needed: the plug-ins start no threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CORVANE_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${CORVANE_MINGW_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${CORVANE_MINGW_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${CORVANE_MINGW_TRIPLET}-windres)

# Libraries and headers come only from the mingw sysroot and the prefix the
# codecs were built into, never from the build machine's own.
set(CMAKE_FIND_ROOT_PATH /usr/${CORVANE_MINGW_TRIPLET} ${CORVANE_WIN32_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
