# GoogleTest for the Windows build, cross-built from the sources Debian ships in
# /usr/src/googletest; it names its targets GTest::gtest, GTest::gmock, ... as the Linux
# build's find_package does.
set(VORTREL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to cross-build")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${VORTREL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
