# The Windows binding of the operating-system layer, run under Wine when cross built.
mv_test(test_platform_win32
  win32/file_test.cpp
  win32/last_error_test.cpp
  win32/raw_volume_test.cpp
  win32/platform_info_test.cpp
  win32/interrupt_handler_test.cpp
  win32/linked_drive_test.cpp
  LIBS mv_platform)
