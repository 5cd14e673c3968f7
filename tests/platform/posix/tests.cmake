mv_test(test_platform
  posix/raw_volume_test.cpp
  posix/drive_discovery_test.cpp
  posix/file_test.cpp
  posix/plain_file_volume_test.cpp
  LIBS mv_platform)
# Its own binary: installing the handler blocks SIGINT for the whole process.
mv_test(test_platform_interrupt posix/interrupt_test.cpp OWN_PROCESS LIBS mv_platform)
# The error texts over the XSI strerror_r instead of the GNU one.
mv_test(test_platform_xsi posix/error_text_test.cpp OWN_PROCESS ${PROJECT_SOURCE_DIR}/platform/posix/last_error.cpp)
# (Properties of a source are this folder's own: the program's build is not touched.)
set_source_files_properties(${PROJECT_SOURCE_DIR}/platform/posix/last_error.cpp
  PROPERTIES COMPILE_OPTIONS "-U_GNU_SOURCE;-D_POSIX_C_SOURCE=200809L")
