# cmake -DLXRUN=... -DWORK=DIR -P check-memory-budget.cmake
# A program that fills memory ends with the out-of-memory error at the statement that asked, under a
# budget set small for the test, and the process ends normally; a stop while a large INCLUDE compiles
# ends the run as stopped, with neither the error at the end of the included text nor the program's
# output.
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

file(WRITE ${WORK}/fill.lxt
  "DIM S$(300000)\r\nFOR I = 1 TO 300000\r\nS$(I) = STRING$(255, \"x\") + STR$(I)\r\nNEXT I\r\nPRINT \"finished\"\r\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E env LORVEX_MEMORY_BUDGET=48M ${LXRUN} --timeout 60 fill.lxt
                WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE shown RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lxrun did not end normally (${result}):\n${shown}")
endif()
if(NOT shown MATCHES "^エラー:メモリー不足です。[^\n]*\\(3行,　[0-9]+ 桁\\)\nOK\n")
  message(FATAL_ERROR "the run did not end with the out-of-memory error on line 3:\n${shown}")
endif()

# Half a million lines to compile, far longer than the stop leaves it, and at their end a WEND without
# WHILE: a compile that read on past the stop would report it.
string(REPEAT "X = X + 1\r\n" 500000 body)
file(WRITE ${WORK}/big.inc "${body}WEND\r\n")
file(WRITE ${WORK}/include.lxt "INCLUDE \"big.inc\"\r\nPRINT \"compiled\"\r\n")
execute_process(COMMAND ${LXRUN} --timeout 0.2 include.lxt WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE shown
                RESULT_VARIABLE result)
if(NOT result EQUAL 2 OR NOT shown STREQUAL "実行中断しました\nOK\n\n")
  message(FATAL_ERROR "the compile was not stopped (${result}):\n${shown}")
endif()
