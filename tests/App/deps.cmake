# The end-to-end test runs the program.
list(APPEND DM_TEST_RUNS dunmarch)
list(APPEND DM_TEST_DEPS dm_catalogue)
# The end-to-end test keeps the program's screenshots as PNG.
list(APPEND DM_TEST_DEPS dep::png)
list(APPEND DM_TEST_RUNS dunmarch-battle)
# The libFuzzer targets: built by a DM_FUZZ build (scripts/fuzz), never run by ctest.
if(DM_FUZZ)
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_BINARY_DIR}/tests/App/fuzz)
endif()
