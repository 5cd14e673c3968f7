mv_test(test_platform
  posix/raw_volume_test.cpp
  posix/drive_discovery_test.cpp
  posix/file_test.cpp
  posix/plain_file_volume_test.cpp
  LIBS mv_platform)
# Its own binary: installing the handler blocks SIGINT for the whole process.
mv_test(test_platform_interrupt posix/interrupt_test.cpp LIBS mv_platform)
