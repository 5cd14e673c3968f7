# The Linux binding's own parts, beside its file for each shared header.
set(MV_PLATFORM_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/drive_discovery.cpp
  ${CMAKE_CURRENT_LIST_DIR}/floppy_driver_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/volume.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_in_use.cpp
)
set(MV_PLATFORM_LIBS "")
