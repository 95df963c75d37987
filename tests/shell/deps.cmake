# The end-to-end test runs the program: build it first.
cmake_language(DEFER CALL cmake_language EVAL CODE
  "if(TARGET test_shell_DunmarchTest AND TARGET dunmarch)
     add_dependencies(test_shell_DunmarchTest dunmarch)
   endif()")
