# The world screenshot reads the sample game data (dictionary, config) and
# loads models, clips and textures through the content loaders.
list(APPEND DM_TEST_DEPS dm_catalogue)
# The allocation test replaces the global operator new: a program of its own.
list(APPEND DM_TEST_ALONE LevelPathAllocationTest.cpp)
# The main thread's half of the loading turns against a loader of the test's own: a
# small program, so the ThreadSanitizer build of scripts/test runs it cheaply.
list(APPEND DM_TEST_ALONE LoaderTurnsTest.cpp)
set(DM_TEST_ALONE_SOURCES_LoaderTurnsTest ${CMAKE_SOURCE_DIR}/Classes/Loading/LoaderHandover.cpp)
set(DM_TEST_ALONE_DEPS_LoaderTurnsTest dm_testsupport dm_Threading dm_platform dm_Core)
# The libFuzzer targets: built by a DM_FUZZ build (scripts/fuzz), never run by ctest.
if(DM_FUZZ)
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_BINARY_DIR}/tests/Classes/fuzz)
endif()
