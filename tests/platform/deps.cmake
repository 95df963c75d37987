# The D3DX texture tests decode PNG in the platform library and make their
# fixtures with libpng, libsquish and zlib.
list(APPEND DM_TEST_DEPS dep::png dep::zlib dep::squish)
# The libFuzzer targets: built by a DM_FUZZ build (scripts/fuzz), never run by ctest.
if(DM_FUZZ)
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_BINARY_DIR}/tests/platform/fuzz)
endif()
# The thread turns have a program of their own, so the ThreadSanitizer build of
# scripts/test runs them without building every platform test.
list(APPEND DM_TEST_ALONE ThreadTurnsTest.cpp)
