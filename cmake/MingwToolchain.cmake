# Shared part of the mingw-w64 toolchain files: the caller sets VORTREL_MINGW_TRIPLE
# (i686-w64-mingw32 or x86_64-w64-mingw32) and includes this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

# The -posix compilers: their libstdc++ has std::thread and std::mutex (on winpthread).
set(CMAKE_C_COMPILER ${VORTREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORTREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VORTREL_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${VORTREL_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${VORTREL_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${VORTREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The DLL and the programs need only system DLLs and our own: the C++ runtime, libgcc and
# winpthread are linked in statically. (winpthread is pulled in whole before anything can
# bind its symbols to libwinpthread-1.dll.)
set(vortrel_mingw_static
    "-static-libgcc -static-libstdc++ -Wl,-Bstatic,--whole-archive -lwinpthread -Wl,--no-whole-archive,-Bdynamic")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${vortrel_mingw_static}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${vortrel_mingw_static}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${vortrel_mingw_static}")
unset(vortrel_mingw_static)
