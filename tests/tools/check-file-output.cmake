# cmake -DLXRUN=... -DWORK=DIR -P check-file-output.cmake
# What PRINT# holds back is never lost without a word: text that cannot be written, whoever writes it
# out (a file function, another channel, the end of the run), is the failure of the PRINT# that wrote it,
# reported inside the program on that statement, and the file ends where the writing failed.
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(failed "エラー:コマンド PRINT# の実行中にエラーが起きました。")

# run_both(PROGRAM EXPECTED-REGEX [COMMAND-PREFIX...]): the program both ways must leave text matching.
function(run_both program expected)
  foreach(tier "" "--general")
    execute_process(COMMAND ${ARGN} ${LXRUN} ${tier} --timeout 30 ${program} WORKING_DIRECTORY ${WORK}
                    OUTPUT_VARIABLE shown RESULT_VARIABLE result)
    if(NOT result EQUAL 0 OR NOT shown MATCHES "${expected}")
      message(FATAL_ERROR "${program} ${tier} (${result}) left:\n${shown}\nexpected: ${expected}")
    endif()
  endforeach()
endfunction()

if(EXISTS /dev/full)
  # Every write to /dev/full fails. FILEEXISTS writes the line out first, as anything that looks at files.
  file(WRITE ${WORK}/exists.lxt "OPEN \"/dev/full\" FOR OUTPUT AS #1\r\nFOR I = 1 TO 10\r\nPRINT #1, \"line\"; I\r\n"
       "PRINT FILEEXISTS(\"x\")\r\nNEXT I\r\nCLOSE #1\r\nPRINT \"end\"\r\n")
  run_both(exists.lxt "^${failed}\\(3行,　17 桁\\)\nOK\n")
  # Channel 2 takes its turn and writes channel 1's line out: channel 1's PRINT# failed, not this one.
  file(WRITE ${WORK}/channels.lxt "OPEN \"/dev/full\" FOR OUTPUT AS #1\r\nOPEN \"two.txt\" FOR OUTPUT AS #2\r\n"
       "PRINT #1, \"lost\"\r\nPRINT #2, \"kept\"\r\nPRINT \"end\"\r\n")
  run_both(channels.lxt "^${failed}\\(3行,　15 桁\\)\nOK\n")
  # The end of the run writes the line out: its PRINT# is named, not a place after the program.
  file(WRITE ${WORK}/atend.lxt "OPEN \"/dev/full\" FOR OUTPUT AS #1\r\nPRINT #1, \"hello\"\r\nPRINT \"end\"\r\n")
  run_both(atend.lxt "^end\n${failed}\\(2行,　16 桁\\)\nOK\n")
endif()

# A file that can take only so many bytes (the file size limit, its signal ignored, stands for a full
# disk): the lines FILELEN writes out fail part-way, and CLOSE has nothing left to write.
file(WRITE ${WORK}/limit.lxt "OPEN \"limit.txt\" FOR OUTPUT AS #1\r\nFOR I = 1 TO 5000\r\nPRINT #1, \"line\"; I\r\n"
     "NEXT I\r\nPRINT FILELEN(\"limit.txt\") > 0\r\nCLOSE #1\r\nPRINT \"closed\"\r\n")
run_both(limit.lxt "^${failed}\\(3行,　17 桁\\)\nOK\n" sh -c "ulimit -f 16 && trap '' XFSZ && exec \"$@\"" sh)
file(READ ${WORK}/limit.txt kept HEX)
string(LENGTH "${kept}" keptDigits)
set(whole "")
foreach(i RANGE 1 5000)
  string(APPEND whole "line ${i}\r\n")
endforeach()
string(HEX "${whole}" whole)
string(SUBSTRING "${whole}" 0 ${keptDigits} expectedStart)
if(keptDigits EQUAL 0 OR keptDigits GREATER 32768 OR NOT kept STREQUAL expectedStart)
  math(EXPR keptLength "${keptDigits} / 2")
  message(FATAL_ERROR "the limited file holds ${keptLength} bytes that are not the program's first lines")
endif()
