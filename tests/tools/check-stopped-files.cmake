# cmake -DLXRUN=... -DWORK=DIR -P check-stopped-files.cmake
# A run that stops keeps its files open for CONT; when lxrun ends there, each file must still get
# everything its closing writes: here the return from the double-byte set that ends an ISO-2022-JP text.
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/stopped.lxt
  "SETENCODING(\"iso-2022-jp\")\r\nOPEN \"stopped.txt\" FOR OUTPUT AS #1\r\nPRINT #1, \"A\"; \"漢\";\r\nSTOP\r\n")
execute_process(COMMAND ${LXRUN} --timeout 30 stopped.lxt WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE shown
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lxrun failed (${result}):\n${shown}")
endif()
file(READ ${WORK}/stopped.txt bytes HEX)
# A, ESC $ B, the kanji's two bytes, ESC ( B.
if(NOT bytes STREQUAL "411b244234411b2842")
  message(FATAL_ERROR "the stopped run's file holds ${bytes}")
endif()
