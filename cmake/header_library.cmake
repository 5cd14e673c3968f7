# mv_header_library(TARGET HEADER PACKAGE IMPORTED): an interface target for a
# header-only library, e.g. mv_header_library(mv_json nlohmann/json.hpp
# nlohmann_json nlohmann_json::nlohmann_json).
function(mv_header_library target header package imported)
  add_library(${target} INTERFACE)
  if(CMAKE_CROSSCOMPILING)
    # A header-only library fits any target, but a cross build searches only
    # its own root. Take its folder alone from the host: the host's include
    # folder as a whole would put its C library before the target's.
    find_path(${target}_host_folder ${header} PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    get_filename_component(folder ${header} DIRECTORY)
    set(links ${PROJECT_BINARY_DIR}/host-headers/${target})
    file(MAKE_DIRECTORY ${links})
    file(CREATE_LINK ${${target}_host_folder}/${folder} ${links}/${folder} SYMBOLIC)
    target_include_directories(${target} SYSTEM INTERFACE ${links})
  else()
    find_package(${package} CONFIG REQUIRED)
    target_link_libraries(${target} INTERFACE ${imported})
  endif()
endfunction()
