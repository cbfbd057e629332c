# cmake -DLXCOMPILE=... -DPROGRAM=FILE.lxt -DEXPECTED=FILE -P check-decoded.cmake
# lxcompile --decoded must print the same listing as plain lxcompile, and after it exactly the text of
# EXPECTED (line ends aside).
# cmake -DLXRUN=... -DWORK=DIR -P check-decoded.cmake
# A long program runs, decoded and item by item, within a budget its code and data keep: its decoded
# form is weighed with the rest of its memory and costs about as much as its code (at ten times, it
# would end with the out-of-memory error).
cmake_minimum_required(VERSION 3.20)
if(DEFINED LXRUN)
  file(REMOVE_RECURSE ${WORK})
  file(MAKE_DIRECTORY ${WORK})
  string(REPEAT "X = X + 1\r\n" 200000 body)
  file(WRITE ${WORK}/long.inc "${body}")
  file(WRITE ${WORK}/long.lxt "INCLUDE \"long.inc\"\r\nPRINT X\r\n")
  foreach(tier --decoded --general)
    set(options --timeout 60)
    if(tier STREQUAL "--general")
      list(APPEND options --general)
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E env LORVEX_MEMORY_BUDGET=128M ${LXRUN} ${options} long.lxt
                    WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE shown RESULT_VARIABLE result)
    if(NOT result EQUAL 0 OR NOT shown STREQUAL " 200000\nOK\n\n")
      message(FATAL_ERROR "the long program did not run within its budget (${tier}, ${result}):\n${shown}")
    endif()
  endforeach()
  return()
endif()
execute_process(COMMAND ${LXCOMPILE} ${PROGRAM} OUTPUT_VARIABLE plain RESULT_VARIABLE plain_result)
execute_process(COMMAND ${LXCOMPILE} --decoded ${PROGRAM} OUTPUT_VARIABLE decoded RESULT_VARIABLE decoded_result)
if(NOT plain_result EQUAL 0 OR NOT decoded_result EQUAL 0)
  message(FATAL_ERROR "lxcompile failed (${plain_result}, ${decoded_result}):\n${decoded}")
endif()
string(LENGTH "${plain}" plain_length)
string(SUBSTRING "${decoded}" 0 ${plain_length} listing)
if(NOT listing STREQUAL plain)
  message(FATAL_ERROR "--decoded changed the listing:\n${listing}\nplain:\n${plain}")
endif()
string(SUBSTRING "${decoded}" ${plain_length} -1 section)
string(REPLACE "\r" "" section "${section}")
file(READ ${EXPECTED} expected)
if(NOT section STREQUAL expected)
  message(FATAL_ERROR "--decoded added:\n${section}\nexpected:\n${expected}")
endif()
