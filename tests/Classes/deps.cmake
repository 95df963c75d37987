# The world screenshot reads the sample game data (dictionary, config) and
# loads models, clips and textures through the content loaders.
list(APPEND DM_TEST_DEPS dm_catalogue)
# The allocation test replaces the global operator new: a program of its own.
list(APPEND DM_TEST_ALONE LevelPathAllocationTest.cpp)
# The libFuzzer targets: built by a DM_FUZZ build (scripts/fuzz), never run by ctest.
if(DM_FUZZ)
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_BINARY_DIR}/tests/Classes/fuzz)
endif()
