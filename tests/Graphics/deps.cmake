# The model tests read the sample models named in the catalogue.
list(APPEND DM_TEST_DEPS dm_catalogue)
# The fuzz targets of the POD reader and the image decoders need clang's libFuzzer; built only by a clang build, never run by ctest.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_BINARY_DIR}/tests/Graphics/fuzz)
endif()
