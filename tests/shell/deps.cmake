# The end-to-end test runs the program.
list(APPEND DM_TEST_RUNS dunmarch)
