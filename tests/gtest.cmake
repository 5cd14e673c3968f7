# GoogleTest: the system's package on Linux; built from Debian's sources for
# the Windows cross build.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # The sources are not ours; they are not built with our warning flags.
  target_compile_options(gtest PRIVATE -Wno-error)
  target_compile_options(gtest_main PRIVATE -Wno-error)
  set(MV_GTEST gtest)
  set(MV_GTEST_MAIN gtest_main)
else()
  find_package(GTest REQUIRED)
  set(MV_GTEST GTest::gtest)
  set(MV_GTEST_MAIN GTest::gtest_main)
endif()
