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

# Reproducible binaries: the same bytes from any clone, at any time. Paths
# under the clone's root (the codecs' sources among them) are written as
# relative to it, and the linker stamps no time into the PE headers.
get_filename_component(CORVANE_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_C_FLAGS_INIT "-ffile-prefix-map=${CORVANE_SOURCE_ROOT}=.")
set(CMAKE_CXX_FLAGS_INIT "-ffile-prefix-map=${CORVANE_SOURCE_ROOT}=.")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
