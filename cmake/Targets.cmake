# dm_library(<name> [SOURCES files...] [DEPS targets...])
# One static library per source folder, target dm_<name>. Without SOURCES, every
# .cpp under the folder is taken. Headers are included from the repository root.
function(dm_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_SOURCES)
    file(GLOB_RECURSE ARG_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  if(ARG_SOURCES)
    add_library(dm_${name} STATIC ${ARG_SOURCES})
    target_include_directories(dm_${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(dm_${name} PUBLIC ${ARG_DEPS})
  else()
    # a folder of headers only (so far)
    add_library(dm_${name} INTERFACE)
    target_include_directories(dm_${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(dm_${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# dm_test(<name> LABEL unit|gl|e2e SOURCES files... [DEPS targets...] [WORKDIR dir])
# A GoogleTest program; each test case becomes one CTest test with the label.
function(dm_test name)
  cmake_parse_arguments(ARG "" "LABEL;WORKDIR;PREFIX" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  if(NOT ARG_WORKDIR)
    set(ARG_WORKDIR ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  # TestEnvironment.cpp sets the tests' environment (headless, offscreen video,
  # null audio, source and build folders).
  add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/TestEnvironment.cpp)
  target_compile_definitions(${name} PRIVATE
    DM_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}" DM_TEST_BUILD_DIR="${CMAKE_BINARY_DIR}")
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  # Test sources are mostly expanded assertion macros, and the time they run is
  # the libraries': in the sanitized builds they are compiled without
  # optimisation (the sanitizers check them all the same), at half the cost.
  # Compiled a few to a file, every fixture in an anonymous namespace looks to
  # the compiler like one a header shares.
  if(DM_SANITIZE OR DM_TSAN)
    target_compile_options(${name} PRIVATE -O0)
  endif()
  target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  dm_leak_suppressions(${name})
  # The long runs first, so that a run on few cores does not end waiting for one
  # that started last (CTest orders by cost before it has timings of its own).
  set(cost 1)
  if(ARG_LABEL STREQUAL "e2e")
    set(cost 100)
  elseif(ARG_LABEL STREQUAL "gl")
    set(cost 10)
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${ARG_WORKDIR}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    TEST_PREFIX "${ARG_PREFIX}"
    PROPERTIES LABELS ${ARG_LABEL} COST ${cost})
endfunction()

# dm_leak_suppressions(<target>): a program built with the sanitizers carries the
# leak suppressions of tests/lsan.supp (leaks inside system libraries it only
# calls), so a normal run does not end in a leak report about them.
function(dm_leak_suppressions target)
  if(NOT DM_SANITIZE)
    return()
  endif()
  set(generated ${CMAKE_BINARY_DIR}/generated/LeakSuppressions.cpp)
  file(READ ${CMAKE_SOURCE_DIR}/tests/lsan.supp DM_LSAN_SUPPRESSIONS)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/LeakSuppressions.cpp.in ${generated} @ONLY)
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               ${CMAKE_SOURCE_DIR}/tests/lsan.supp)
  target_sources(${target} PRIVATE ${generated})
endfunction()

# dm_fuzz_target(<name> SOURCES files... DEPS targets...)
# A libFuzzer program (DM_FUZZ builds only; scripts/fuzz runs them, ctest never).
function(dm_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
endfunction()

# dm_reads_sample_data(<target>): a program that reads the generated sample data when it
# runs. Its link waits for the data; its objects do not.
function(dm_reads_sample_data target)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${DM_SAMPLE_DATA_STAMP})
endfunction()
