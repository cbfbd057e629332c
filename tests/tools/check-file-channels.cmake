# cmake -DLXRUN=... -DWORK=DIR -P check-file-channels.cmake
# What PRINT# holds back is never lost without a word: text that cannot be written, whoever writes it
# out (a file function, another channel, the end of the run), is the failure of the PRINT# that wrote it,
# reported inside the program on that statement, and the file ends where the writing failed.
# A line, a field or a count of characters far larger than the run's memory budget ends with the
# out-of-memory error while the process stays well within the budget's reach.
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

# 300 MB of NULs without a line end, made in no time as a file with a hole. Read whole, a line of them
# takes 600 MB as text, and twice that while it grows.
execute_process(COMMAND truncate -s 300M ${WORK}/nuls.txt RESULT_VARIABLE made)
if(made EQUAL 0)
  # What the process holds for a program that asks for nothing, and the most a read may add to it.
  file(WRITE ${WORK}/small.lxt "PRINT 1\r\n")
  execute_process(COMMAND ${LXRUN} --peak small.lxt WORKING_DIRECTORY ${WORK} OUTPUT_QUIET ERROR_VARIABLE told)
  if(NOT told MATCHES "peak ([0-9]+) kB")
    message(FATAL_ERROR "lxrun --peak told no peak:\n${told}")
  endif()
  math(EXPR peakLimitKiB "${CMAKE_MATCH_1} + 150 * 1024")
  foreach(read "LINE INPUT #1, A$" "A$ = INPUT$(300000000, 1)" "INPUT #1, A$")
    file(WRITE ${WORK}/huge.lxt "OPEN \"nuls.txt\" FOR INPUT AS #1\r\n${read}\r\nPRINT LEN(A$)\r\n")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env LORVEX_MEMORY_BUDGET=64M ${LXRUN} --peak --timeout 60 huge.lxt
                    WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE shown ERROR_VARIABLE told RESULT_VARIABLE result)
    if(NOT result EQUAL 0 OR NOT shown MATCHES "^エラー:メモリー不足です。[^\n]*\\(2行,　[0-9]+ 桁\\)\nOK\n")
      message(FATAL_ERROR "${read} (${result}) did not end with the out-of-memory error:\n${shown}")
    endif()
    if(NOT told MATCHES "peak ([0-9]+) kB" OR CMAKE_MATCH_1 GREATER peakLimitKiB)
      message(FATAL_ERROR "${read} took more than ${peakLimitKiB} kB on its way to the error:\n${told}")
    endif()
  endforeach()
  file(REMOVE ${WORK}/nuls.txt)
endif()
