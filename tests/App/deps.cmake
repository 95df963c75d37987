# The end-to-end test runs the program: build it first.
cmake_language(DEFER CALL cmake_language EVAL CODE
  "if(TARGET test_App_GameRunTest AND TARGET dunmarch)
     add_dependencies(test_App_GameRunTest dunmarch)
   endif()")
