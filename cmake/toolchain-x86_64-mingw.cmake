# 64-bit Windows (x86_64) with mingw-w64: the same sources, for hosts and machines that run
# only 64-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VORTREL_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
