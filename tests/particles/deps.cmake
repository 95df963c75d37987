# The effect tests write their fixtures with the effect-file writer; the texture test
# loads through the world texture loader on the null device.
list(APPEND DM_TEST_DEPS dm_prtwriter)
# The sample-effect tests find the generated effects by the catalogue's names.
list(APPEND DM_TEST_DEPS dm_catalogue)
# The reader's fuzz target needs clang's libFuzzer; built only by a clang build, never run by ctest.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_BINARY_DIR}/tests/particles/fuzz)
endif()
