# The Sleuth Kit, which reads the file systems of mendarovel-image, linked from
# its static archive: the shared library links every disk-image format it
# knows and, through them, dozens of libraries (network and cryptography among
# them) that would cost each run megabytes, though the disk is handed to it
# from memory. image_tool/image_formats_left_out.cpp stands in for the formats.
find_path(MV_TSK_INCLUDE_DIR tsk/libtsk.h REQUIRED)
find_library(MV_TSK_ARCHIVE NAMES libtsk.a REQUIRED)
message(STATUS "The Sleuth Kit: ${MV_TSK_ARCHIVE}")

# The programs carry the library's code, so no link names its package; the
# Debian package depends on it by hand all the same: that package holds the
# library's copyright and licences, which must go with its code. It is the
# package of the shared library beside the archive: the same build.
find_library(MV_TSK_SHARED NAMES libtsk.so)
find_program(MV_DPKG_QUERY dpkg-query)
if(MV_TSK_SHARED AND MV_DPKG_QUERY)
  file(REAL_PATH ${MV_TSK_SHARED} mv_tsk_file)
  execute_process(COMMAND ${MV_DPKG_QUERY} -S ${mv_tsk_file} OUTPUT_VARIABLE mv_tsk_owner
                  RESULT_VARIABLE mv_tsk_owned ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  # "libtsk19:amd64: /usr/lib/x86_64-linux-gnu/libtsk.so.19.1.7"
  if(mv_tsk_owned EQUAL 0 AND mv_tsk_owner MATCHES "^([^:, ]+)")
    set(MV_TSK_PACKAGE ${CMAKE_MATCH_1})
  endif()
endif()
if(NOT MV_TSK_PACKAGE)
  message(STATUS "No package holds the library: a Debian package would not depend on it")
endif()
