# The video tests make their Ogg fixtures with the data builder's encoders.
list(APPEND DM_TEST_DEPS dep::theoraenc dep::theoradec dep::vorbisenc dep::vorbis dep::ogg)
# The sound tests open the audio device on OpenAL Soft's loopback device.
list(APPEND DM_TEST_DEPS dm_Audio)
# The player's tests play the sample data's intro, named in the catalogue.
list(APPEND DM_TEST_DEPS dm_catalogue)
# The libFuzzer target: built by a DM_FUZZ build (scripts/fuzz), never run by ctest.
if(DM_FUZZ)
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_BINARY_DIR}/tests/Video/fuzz)
endif()
