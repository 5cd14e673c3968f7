# The libraries behind the disk records of both programs: nlohmann-json
# (header-only) for the records, libgcrypt for their hashes. Sets up the
# interface target mv_record_libraries.
if(CMAKE_CROSSCOMPILING)
  # A header-only library fits any target, but a cross build searches only
  # its own root. Take its folder alone from the host: the host's include
  # folder as a whole would put its C library before the target's.
  find_path(MV_JSON_HEADERS nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(mv_host_headers ${PROJECT_BINARY_DIR}/host-headers)
  file(MAKE_DIRECTORY ${mv_host_headers})
  file(CREATE_LINK ${MV_JSON_HEADERS}/nlohmann ${mv_host_headers}/nlohmann SYMBOLIC)
  add_library(mv_json INTERFACE)
  target_include_directories(mv_json SYSTEM INTERFACE ${mv_host_headers})
else()
  find_package(nlohmann_json CONFIG REQUIRED)
  add_library(mv_json INTERFACE)
  target_link_libraries(mv_json INTERFACE nlohmann_json::nlohmann_json)
endif()

find_path(MV_GCRYPT_INCLUDE_DIR gcrypt.h REQUIRED)
if(WIN32 OR MENDAROVEL_STATIC)
  # A program that stands alone, as with zlib: the static archives, not the
  # shared libraries. On Windows libgpg-error uses Winsock.
  find_library(MV_GCRYPT_LIBRARY NAMES libgcrypt.a REQUIRED)
  find_library(MV_GPG_ERROR_LIBRARY NAMES libgpg-error.a REQUIRED)
else()
  find_library(MV_GCRYPT_LIBRARY NAMES gcrypt REQUIRED)
  find_library(MV_GPG_ERROR_LIBRARY NAMES gpg-error REQUIRED)
endif()
add_library(mv_record_libraries INTERFACE)
target_include_directories(mv_record_libraries SYSTEM INTERFACE ${MV_GCRYPT_INCLUDE_DIR})
target_link_libraries(mv_record_libraries INTERFACE mv_json ${MV_GCRYPT_LIBRARY} ${MV_GPG_ERROR_LIBRARY})
if(WIN32)
  target_link_libraries(mv_record_libraries INTERFACE ws2_32)
endif()
