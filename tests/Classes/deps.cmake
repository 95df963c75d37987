# The world screenshot reads the sample game data (dictionary, config) and
# loads models, clips and textures through the content loaders.
list(APPEND DM_TEST_DEPS dm_catalogue)
# The allocation test replaces the global operator new: a program of its own.
list(APPEND DM_TEST_ALONE LevelPathAllocationTest.cpp)
