# What the Windows build takes from outside, made from Debian's own source packages once per
# build tree at configure time (the unpacked sources are shared in build/debian-src):
#   tinyxml2  compiled into a static library here, under the target name the Linux build's
#             pkg-config gives it (PkgConfig::TINYXML2), so the layers link it unchanged;
#   FFmpeg    a minimal shared build (scripts/build-ffmpeg-mingw.sh) installed into
#             <build>/ffmpeg, as PkgConfig::LIBAV. Its DLLs are copied next to the programs.
set(VORTREL_SOURCE_CACHE ${PROJECT_SOURCE_DIR}/build/debian-src
    CACHE PATH "Where Debian's source packages for the Windows build are unpacked")

execute_process(
  COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/debian-source.sh tinyxml2 ${VORTREL_SOURCE_CACHE}
  OUTPUT_VARIABLE tinyxml2_source OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Could not unpack Debian's tinyxml2 source package")
endif()
add_library(vortrel_tinyxml2 STATIC ${tinyxml2_source}/tinyxml2.cpp)
target_include_directories(vortrel_tinyxml2 SYSTEM PUBLIC ${tinyxml2_source})
target_compile_options(vortrel_tinyxml2 PRIVATE -w)
add_library(PkgConfig::TINYXML2 ALIAS vortrel_tinyxml2)

set(VORTREL_FFMPEG_PREFIX ${CMAKE_BINARY_DIR}/ffmpeg)
message(STATUS "FFmpeg for ${CMAKE_SYSTEM_PROCESSOR} in ${VORTREL_FFMPEG_PREFIX} "
               "(built once per build tree: a few minutes the first time)")
execute_process(
  COMMAND nice -n 10 bash ${PROJECT_SOURCE_DIR}/scripts/build-ffmpeg-mingw.sh
          ${CMAKE_SYSTEM_PROCESSOR} ${VORTREL_FFMPEG_PREFIX} ${VORTREL_SOURCE_CACHE}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Could not cross-build FFmpeg for ${CMAKE_SYSTEM_PROCESSOR}")
endif()

add_library(PkgConfig::LIBAV INTERFACE IMPORTED)
set(VORTREL_FFMPEG_LIBRARIES avformat avcodec avutil swscale swresample)
set(libraries "")
foreach(name IN LISTS VORTREL_FFMPEG_LIBRARIES)
  list(APPEND libraries ${VORTREL_FFMPEG_PREFIX}/lib/lib${name}.dll.a)
endforeach()
set_target_properties(PkgConfig::LIBAV PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${VORTREL_FFMPEG_PREFIX}/include
  INTERFACE_LINK_LIBRARIES "${libraries}")
file(GLOB VORTREL_FFMPEG_DLLS ${VORTREL_FFMPEG_PREFIX}/bin/*.dll)
unset(libraries)

# Every program and DLL of the build lands in <build>/bin, next to FFmpeg's DLLs, so Windows
# (and Wine) find them there as a host would after installing them.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
file(COPY ${VORTREL_FFMPEG_DLLS} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})

# Programs of the build run here under Wine (tests, test discovery, registration): 64-bit ones
# through the wine64 loader, which Debian keeps in Wine's library folder, 32-bit ones through
# `wine`. scripts/wine-run.sh gives them a private Wine prefix in the build tree.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VORTREL_WINE_LOADER /usr/lib/wine/wine64 CACHE FILEPATH "Wine loader for the programs of this build")
  set(VORTREL_WINE_ARCH win64)
else()
  find_program(VORTREL_WINE_LOADER NAMES wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
  find_program(VORTREL_WINE_LOADER NAMES wine)
  set(VORTREL_WINE_ARCH win32)
endif()
set(VORTREL_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR bash ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh
    ${VORTREL_WINE_LOADER} ${VORTREL_WINE_ARCH} ${VORTREL_WINE_PREFIX})
