# mv_harness_tests(BACKEND PREFIX OUT): one CTest test PREFIX.NAME per test the
# harness's BACKEND serves (the harness names them: a new scenario needs no
# line in CMake); OUT receives the tests' names for their properties.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(MV_HARNESS ${CMAKE_CURRENT_LIST_DIR}/harness.py)
file(GLOB_RECURSE mv_harness_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.py)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${mv_harness_sources})

function(mv_harness_tests backend prefix out)
  execute_process(COMMAND ${Python3_EXECUTABLE} ${MV_HARNESS} list ${backend}
                  OUTPUT_VARIABLE names COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "\n" ";" names "${names}")
  set(tests "")
  foreach(name IN LISTS names)
    if(name)
      add_test(NAME ${prefix}.${name} COMMAND ${Python3_EXECUTABLE} ${MV_HARNESS} run ${backend} ${name})
      list(APPEND tests ${prefix}.${name})
    endif()
  endforeach()
  set(${out} ${tests} PARENT_SCOPE)
endfunction()
