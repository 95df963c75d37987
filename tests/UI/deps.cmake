# The widget tests draw on the 2D test device of the graphics tests and write
# their images with the data builder's writers.
list(APPEND DM_TEST_DEPS dm_shell dm_catalogue)
