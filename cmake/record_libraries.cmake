# The libraries behind the disk records of both programs: nlohmann-json
# (header-only) for the records, libgcrypt for their hashes. Sets up the
# interface target mv_record_libraries.
include(${CMAKE_CURRENT_LIST_DIR}/header_library.cmake)
mv_header_library(mv_json nlohmann/json.hpp nlohmann_json nlohmann_json::nlohmann_json)

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
