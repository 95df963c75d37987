# The model tests read the POD reader of the shell.
list(APPEND DM_TEST_DEPS dm_shell dm_catalogue)
# The POD reader's fuzz target needs clang's libFuzzer; built only by a clang build, never run by ctest.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_BINARY_DIR}/tests/Graphics/fuzz)
endif()
