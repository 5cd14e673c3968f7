# The Windows binding of the operating-system layer.
set(MV_PLATFORM_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/raw_volume.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drive_device.cpp
  ${CMAKE_CURRENT_LIST_DIR}/last_error.cpp
  ${CMAKE_CURRENT_LIST_DIR}/console.cpp
  ${CMAKE_CURRENT_LIST_DIR}/interrupt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform_info.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_names.cpp
  ${CMAKE_CURRENT_LIST_DIR}/append_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/standard_input.cpp
)
# kernel32 is linked by default; nothing else is needed.
set(MV_PLATFORM_LIBS "")
