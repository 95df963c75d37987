# The libFuzzer targets: built by a DM_FUZZ build (scripts/fuzz), never run by ctest.
if(DM_FUZZ)
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_BINARY_DIR}/tests/Core/fuzz)
endif()
