# The request tests check the scrambled texts against the catalogue.
list(APPEND DM_TEST_DEPS dm_catalogue)

# The test server as a program, for trying the game by hand:
#   build/tests/Net/dunmarch-testserver [port]   prints "listening on 127.0.0.1:PORT"
add_executable(dunmarch-testserver ${CMAKE_CURRENT_LIST_DIR}/TestServerMain.cpp)
target_link_libraries(dunmarch-testserver PRIVATE dm_testsupport dm_catalogue)
target_compile_definitions(dunmarch-testserver PRIVATE DM_GAME_DIR="${DM_GAME_DIR}")
set_target_properties(dunmarch-testserver PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/Net)
dm_leak_suppressions(dunmarch-testserver)
