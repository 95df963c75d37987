# The sample-data tests read the generated files through the game's readers.
list(APPEND DM_TEST_DEPS dm_Classes dm_Core dm_IO dm_platform dm_catalogue)
# The effect dumper's test writes its effects with the effect-file writer.
list(APPEND DM_TEST_DEPS dm_prtwriter)
# The intro video test reads the streams with the codec libraries.
list(APPEND DM_TEST_DEPS dm_Video dep::theoradec dep::theoraenc dep::vorbisenc dep::vorbis dep::ogg)
# The end-to-end tests run the data check, the effect dumper and the battle driver.
list(APPEND DM_TEST_RUNS dunmarch-datacheck dunmarch-prtdump dunmarch-battle)
# The layout tests hold the layouts against the catalogue with the data check's code
# and draw them with the widgets.
list(APPEND DM_TEST_DEPS dm_layoutcontract dm_UI dm_Content dm_Graphics)
# The libFuzzer targets: built by a DM_FUZZ build (scripts/fuzz), never run by ctest.
if(DM_FUZZ)
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_BINARY_DIR}/tests/tools/fuzz)
endif()
