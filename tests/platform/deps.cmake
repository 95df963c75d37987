# The D3DX texture tests decode PNG in the platform library and make their
# fixtures with libpng, libsquish and zlib.
list(APPEND DM_TEST_DEPS dep::png dep::zlib dep::squish)
# The image decoders' fuzz target needs clang's libFuzzer; built only by a clang build, never run by ctest.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/d3dx/fuzz ${CMAKE_BINARY_DIR}/tests/platform/d3dx/fuzz)
endif()
