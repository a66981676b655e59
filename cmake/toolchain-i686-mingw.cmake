# 32-bit Windows (i686) with mingw-w64: the build of the control the hosts load.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VORTREL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)

# Float arithmetic in SSE registers, rounded to float and double at every step as on x86_64,
# not in the x87 unit's wider registers: the same calculation gives the same answer on both
# builds (a scale that underflows to zero on one must not stay usable on the other).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
