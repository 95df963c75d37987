# The audio tests make their Ogg fixtures with libvorbisenc; the sample-sound test reads
# the names from the catalogue.
list(APPEND DM_TEST_DEPS dep::vorbisenc dep::vorbis dep::ogg dm_catalogue)
# Fuzz targets need clang's libFuzzer; they are built only by a clang build, never run by ctest.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_BINARY_DIR}/tests/Audio/fuzz)
endif()
