set(MV_PLATFORM_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/last_error.cpp
  ${CMAKE_CURRENT_LIST_DIR}/console.cpp
  ${CMAKE_CURRENT_LIST_DIR}/interrupt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform_info.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_names.cpp
  ${CMAKE_CURRENT_LIST_DIR}/append_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/standard_input.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drive_discovery.cpp
  ${CMAKE_CURRENT_LIST_DIR}/raw_volume.cpp
  ${CMAKE_CURRENT_LIST_DIR}/floppy_driver_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drive_device.cpp
  ${CMAKE_CURRENT_LIST_DIR}/volume.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_in_use.cpp
)
set(MV_PLATFORM_LIBS "")
