# The Sleuth Kit, which mendarovel-image loads at run time for the commands
# that read a file system (image_tool/sleuth_kit.cpp) rather than linking it:
# it brings dozens of libraries that every other command would load too.
# Sets MV_TSK_INCLUDE_DIR, MV_TSK_SONAME (the name to load) and, on a Debian
# system, MV_TSK_PACKAGE (the package that holds the library).
find_path(MV_TSK_INCLUDE_DIR tsk/libtsk.h REQUIRED)
find_library(MV_TSK_LIBRARY NAMES libtsk.so REQUIRED)
file(REAL_PATH ${MV_TSK_LIBRARY} mv_tsk_file)
# CMake 3.25's file(READ_ELF) gives no SONAME; the toolchain's objdump does.
execute_process(COMMAND ${CMAKE_OBJDUMP} -p ${mv_tsk_file} OUTPUT_VARIABLE mv_tsk_headers ERROR_QUIET)
if(NOT mv_tsk_headers MATCHES "\n *SONAME +([^ \n]+)")
  message(FATAL_ERROR "${mv_tsk_file} names no SONAME to load it by (${CMAKE_OBJDUMP} -p)")
endif()
set(MV_TSK_SONAME ${CMAKE_MATCH_1})
message(STATUS "The Sleuth Kit, loaded when needed: ${MV_TSK_SONAME}")

# The package's dependencies are read off the programs' links, which no longer
# name this library: its package is named by hand.
find_program(MV_DPKG_QUERY dpkg-query)
if(MV_DPKG_QUERY)
  execute_process(COMMAND ${MV_DPKG_QUERY} -S ${mv_tsk_file} OUTPUT_VARIABLE mv_tsk_owner
                  RESULT_VARIABLE mv_tsk_owned ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  # "libtsk19:amd64: /usr/lib/x86_64-linux-gnu/libtsk.so.19.1.7"
  if(mv_tsk_owned EQUAL 0 AND mv_tsk_owner MATCHES "^([^:, ]+)")
    set(MV_TSK_PACKAGE ${CMAKE_MATCH_1})
  endif()
endif()
if(NOT MV_TSK_PACKAGE)
  message(STATUS "No package holds ${mv_tsk_file}: a Debian package would not depend on it")
endif()
