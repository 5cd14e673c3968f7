# Cross build of the Windows program with mingw-w64 (the posix thread model,
# which std::thread needs). The program and the tests are linked statically
# so that they run under Wine without any DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The static zlib, not its import library.
set(ZLIB_INCLUDE_DIR /usr/${MINGW_TRIPLET}/include CACHE PATH "")
set(ZLIB_LIBRARY /usr/${MINGW_TRIPLET}/lib/libz.a CACHE FILEPATH "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian keeps wine64 out of PATH unless the wrapper package is installed.
find_program(MINGW_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
if(MINGW_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MINGW_WINE64})
endif()
