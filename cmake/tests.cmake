# tbtfw_test(NAME NAME LABEL LABEL COMMAND ARGS...): a test labelled where it is made (unit,
# wine, e2e, emulated, fwupd; `ctest -L unit` is the seconds-long loop), with the time limit
# every test has: a hung program fails its test, not the whole run.
function(tbtfw_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;LABEL" "COMMAND")
  if(NOT arg_NAME OR NOT arg_LABEL OR NOT arg_COMMAND)
    message(FATAL_ERROR "tbtfw_test: NAME, LABEL and COMMAND are all needed")
  endif()
  add_test(NAME ${arg_NAME} COMMAND ${arg_COMMAND})
  set_tests_properties(${arg_NAME} PROPERTIES LABELS ${arg_LABEL} TIMEOUT 600)
endfunction()
