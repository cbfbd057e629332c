// The statement and function slots, in table order: each entry gives the slot's identifier (the
// name of its constant in St or Fn), its word and the engine's executor for it (the front end ignores
// that column: it names a routine of the engine, `void()` or `void(int code)`). The constants, the name
// tables and their counts are all made from these lists, so a slot's number is its place here: the numbers
// are part of the compiled code's format, and the words must stay in ascending order for the binary search,
// so an entry is never moved and a new word goes where its order puts it only with a new format.
#pragma once

#define LX_STATEMENT_SLOTS(X)                                                                                \
    X(ANGLE, u"ANGLE", NoAction)                                                                             \
    X(APPEND, u"APPEND", NoAction)                                                                           \
    X(APPENDALLTEXT, u"APPENDALLTEXT", NoAction)                                                             \
    X(AS, u"AS", NoAction)                                                                                   \
    X(AUDIOMIXER, u"AUDIOMIXER", NoAction)                                                                   \
    X(BACKCOLOR, u"BACKCOLOR", SyncSetColor)                                                                 \
    X(BEEP, u"BEEP", ExecBeep)                                                                               \
    X(BINARY, u"BINARY", NoAction)                                                                           \
    X(BOOLEAN, u"BOOLEAN", NoAction)                                                                         \
    X(BORDERCOLOR, u"BORDERCOLOR", SyncSetColor)                                                             \
    X(CALL, u"CALL", NoAction)                                                                               \
    X(CASE, u"CASE", NoAction)                                                                               \
    X(CASEELSE, u"CASEELSE", NoAction)                                                                       \
    X(CBACKCOLOR, u"CBACKCOLOR", SyncSetColor)                                                               \
    X(CBUTTON, u"CBUTTON", ExecShowControl)                                                                  \
    X(CFONTCHARSET, u"CFONTCHARSET", SyncSetFontSize)                                                        \
    X(CFONTCOLOR, u"CFONTCOLOR", SyncSetColor)                                                               \
    X(CFONTNAME, u"CFONTNAME", SyncSetFontName)                                                              \
    X(CFONTSIZE, u"CFONTSIZE", SyncSetFontSize)                                                              \
    X(CFONTSTYLE, u"CFONTSTYLE", SyncSetFontName)                                                            \
    X(CHDIR, u"CHDIR", ExecChDir)                                                                            \
    X(CHKMSG, u"CHKMSG", ExecChkMsg)                                                                         \
    X(CIRCLE, u"CIRCLE", OnGraphForm<ExecCircle>)                                                            \
    X(CLABEL, u"CLABEL", ExecShowControl)                                                                    \
    X(CLIPBOARD, u"CLIPBOARD", NoAction)                                                                     \
    X(CLOSE, u"CLOSE", ExecClose)                                                                            \
    X(CLOSECSCREEN, u"CLOSECSCREEN", ExecCloseCScreen)                                                       \
    X(CLOSEGSCREEN, u"CLOSEGSCREEN", ExecCloseGScreen)                                                       \
    X(CLS, u"CLS", ExecCls)                                                                                  \
    X(COLOR, u"COLOR", NoAction)                                                                             \
    X(CONSOLE, u"CONSOLE", NoAction)                                                                         \
    X(CONST, u"CONST", NoAction)                                                                             \
    X(CONT, u"CONT", ExecCont)                                                                               \
    X(CSCREEN, u"CSCREEN", ExecOpenCScreen)                                                                  \
    X(CTEXTBOX, u"CTEXTBOX", ExecShowControl)                                                                \
    X(CWINDOWSTATE, u"CWINDOWSTATE", SyncSetWindowState)                                                     \
    X(CWPOSITION, u"CWPOSITION", ExecPosition)                                                               \
    X(DATA, u"DATA", SkipDeclaration)                                                                        \
    X(DEF, u"DEF", SkipDeclaration)                                                                          \
    X(DEGREES, u"DEGREES", ExecAngleUnit)                                                                    \
    X(DELETE, u"DELETE", NoAction)                                                                           \
    X(DIM, u"DIM", SkipDeclaration)                                                                          \
    X(DO, u"DO", NoAction)                                                                                   \
    X(DRAWMODE, u"DRAWMODE", ExecPenSetting)                                                                 \
    X(DRAWSTYLE, u"DRAWSTYLE", ExecPenSetting)                                                               \
    X(DRAWWIDTH, u"DRAWWIDTH", ExecPenSetting)                                                               \
    X(ECHO, u"ECHO", ExecEcho)                                                                               \
    X(EDIT, u"EDIT", NoAction)                                                                               \
    X(ELSE, u"ELSE", NoAction)                                                                               \
    X(ELSEIF, u"ELSEIF", NoAction)                                                                           \
    X(END, u"END", ExecEnd)                                                                                  \
    X(ENDFUNCTION, u"ENDFUNCTION", ExecEndSub)                                                               \
    X(ENDIF, u"ENDIF", NoAction)                                                                             \
    X(ENDSELECT, u"ENDSELECT", NoAction)                                                                     \
    X(ENDSUB, u"ENDSUB", ExecEndSub)                                                                         \
    X(ERROR, u"ERROR", NoAction)                                                                             \
    X(EVALFORM, u"EVALFORM", ExecEvalForm)                                                                   \
    X(EWINDOWSTATE, u"EWINDOWSTATE", SyncSetWindowState)                                                     \
    X(EWPOSITION, u"EWPOSITION", ExecPosition)                                                               \
    X(EXIT, u"EXIT", NoAction)                                                                               \
    X(EXITDO, u"EXITDO", NoAction)                                                                           \
    X(EXITFOR, u"EXITFOR", NoAction)                                                                         \
    X(EXITFUNCTION, u"EXITFUNCTION", NoAction)                                                               \
    X(EXITSUB, u"EXITSUB", NoAction)                                                                         \
    X(EXPLICIT, u"EXPLICIT", NoAction)                                                                       \
    X(FILECOPY, u"FILECOPY", ExecFileCopy)                                                                   \
    X(FILEPSET, u"FILEPSET", ExecFilePSet)                                                                   \
    X(FILES, u"FILES", ExecFiles)                                                                            \
    X(FILLSTYLE, u"FILLSTYLE", ExecPenSetting)                                                               \
    X(FINDFILECLOSE, u"FINDFILECLOSE", MemoryGuard<CloseFileSearch>)                                         \
    X(FOR, u"FOR", NoAction)                                                                                 \
    X(FORECOLOR, u"FORECOLOR", SyncSetColor)                                                                 \
    X(FUNCTION, u"FUNCTION", NoAction)                                                                       \
    X(GBACKCOLOR, u"GBACKCOLOR", SyncSetColor)                                                               \
    X(GBORDERCOLOR, u"GBORDERCOLOR", SyncSetColor)                                                           \
    X(GDRAWMODE, u"GDRAWMODE", ExecPenSetting)                                                               \
    X(GDRAWSTYLE, u"GDRAWSTYLE", ExecPenSetting)                                                             \
    X(GDRAWWIDTH, u"GDRAWWIDTH", ExecPenSetting)                                                             \
    X(GFILLSTYLE, u"GFILLSTYLE", ExecPenSetting)                                                             \
    X(GFLOCATE, u"GFLOCATE", ExecGFLocate)                                                                   \
    X(GFONTCHARSET, u"GFONTCHARSET", SyncSetFontSize)                                                        \
    X(GFONTCOLOR, u"GFONTCOLOR", SyncSetColor)                                                               \
    X(GFONTNAME, u"GFONTNAME", SyncSetFontName)                                                              \
    X(GFONTSIZE, u"GFONTSIZE", SyncSetFontSize)                                                              \
    X(GFONTSTYLE, u"GFONTSTYLE", SyncSetFontName)                                                            \
    X(GFORECOLOR, u"GFORECOLOR", SyncSetColor)                                                               \
    X(GLOCATE, u"GLOCATE", OnGraphForm<ExecGLocate>)                                                         \
    X(GOSUB, u"GOSUB", ExecGotoStatement)                                                                    \
    X(GOTO, u"GOTO", ExecGotoStatement)                                                                      \
    X(GPRINT, u"GPRINT", OnGraphForm<ExecGPrint>)                                                            \
    X(GREFRESH, u"GREFRESH", OnGraphForm<ExecGRefresh>)                                                      \
    X(GSCREEN, u"GSCREEN", ExecGScreenStatement)                                                             \
    X(GSCROLL, u"GSCROLL", SyncGScroll)                                                                      \
    X(GSTRETCH, u"GSTRETCH", SyncGStretch)                                                                   \
    X(GWINDOWSTATE, u"GWINDOWSTATE", SyncSetWindowState)                                                     \
    X(GWPOSITION, u"GWPOSITION", ExecPosition)                                                               \
    X(HELP, u"HELP", ExecHelp)                                                                               \
    X(IBPOSITION, u"IBPOSITION", ExecPosition)                                                               \
    X(IF, u"IF", ExecIf)                                                                                     \
    X(INCLUDE, u"INCLUDE", NoAction)                                                                         \
    X(INCLUDEOFF, u"INCLUDEOFF", NoAction)                                                                   \
    X(INPUT, u"INPUT", ExecInputStatement)                                                                   \
    X(INPUTFile, u"INPUT#", ExecInputFile)                                                                   \
    X(IS, u"IS", NoAction)                                                                                   \
    X(KILL, u"KILL", ExecKill)                                                                               \
    X(LET, u"LET", ExecLet)                                                                                  \
    X(LINE, u"LINE", OnGraphForm<ExecLine>)                                                                  \
    X(LINEINPUT, u"LINEINPUT", ExecInputStatement)                                                           \
    X(LINEINPUTFile, u"LINEINPUT#", ExecLineInputFile)                                                       \
    X(LIST, u"LIST", ExecList)                                                                               \
    X(LLIST, u"LLIST", NoAction)                                                                             \
    X(LOAD, u"LOAD", ExecLoad)                                                                               \
    X(LOADPICTURE, u"LOADPICTURE", ExecLoadPictureStatement)                                                 \
    X(LOCATE, u"LOCATE", NoAction)                                                                           \
    X(LOOP, u"LOOP", NoAction)                                                                               \
    X(LPRINT, u"LPRINT", NoAction)                                                                           \
    X(MATHGRAPH, u"MATHGRAPH", ExecMathGraph)                                                                \
    X(MEDIAPLAYER, u"MEDIAPLAYER", NoAction)                                                                 \
    X(MERGE, u"MERGE", NoAction)                                                                             \
    X(MOUSE, u"MOUSE", ExecMouse)                                                                            \
    X(NAME, u"NAME", ExecName)                                                                               \
    X(NEW, u"NEW", ExecNew)                                                                                  \
    X(NEXT, u"NEXT", NoAction)                                                                               \
    X(OFF, u"OFF", NoAction)                                                                                 \
    X(ON, u"ON", NoAction)                                                                                   \
    X(OPEN, u"OPEN", ExecOpen)                                                                               \
    X(OPENCSCREEN, u"OPENCSCREEN", ExecOpenCScreen)                                                          \
    X(OPENGSCREEN, u"OPENGSCREEN", ExecGScreenStatement)                                                     \
    X(OPTION, u"OPTION", NoAction)                                                                           \
    X(OPTIONANGLE, u"OPTIONANGLE", NoAction)                                                                 \
    X(OPTIONEXPLICIT, u"OPTIONEXPLICIT", NoAction)                                                           \
    X(OUTPUT, u"OUTPUT", NoAction)                                                                           \
    X(PAINT, u"PAINT", OnGraphForm<ExecPaint>)                                                               \
    X(PRECISION, u"PRECISION", ExecPrecision)                                                                \
    X(PRESET, u"PRESET", ExecPSetStatement)                                                                  \
    X(PRINT, u"PRINT", ExecPrint)                                                                            \
    X(PRINTFile, u"PRINT#", ExecPrintFile)                                                                   \
    X(PRINTCTITLE, u"PRINTCTITLE", ExecTitle)                                                                \
    X(PRINTGTITLE, u"PRINTGTITLE", ExecTitle)                                                                \
    X(PRINTITITLE, u"PRINTITITLE", ExecTitle)                                                                \
    X(PRINTTITLE, u"PRINTTITLE", ExecTitle)                                                                  \
    X(PRINTUSING, u"PRINTUSING", ExecPrintUsing)                                                             \
    X(PSET, u"PSET", ExecPSetStatement)                                                                      \
    X(PUBLIC, u"PUBLIC", NoAction)                                                                           \
    X(PUBLICCONST, u"PUBLICCONST", NoAction)                                                                 \
    X(RADIANS, u"RADIANS", ExecAngleUnit)                                                                    \
    X(RANDOMIZE, u"RANDOMIZE", ExecRandomizeStatement)                                                       \
    X(READ, u"READ", ExecRead)                                                                               \
    X(REAL, u"REAL", NoAction)                                                                               \
    X(REM, u"REM", NoAction)                                                                                 \
    X(RENUM, u"RENUM", NoAction)                                                                             \
    X(RESTORE, u"RESTORE", ExecRestore)                                                                      \
    X(RESUME, u"RESUME", NoAction)                                                                           \
    X(RETURN, u"RETURN", ExecReturn)                                                                         \
    X(RUN, u"RUN", ExecRun)                                                                                  \
    X(SAVE, u"SAVE", NoAction)                                                                               \
    X(SAVEPICTURE, u"SAVEPICTURE", ExecSavePictureStatement)                                                 \
    X(SEEK, u"SEEK", NoAction)                                                                               \
    X(SELECT, u"SELECT", NoAction)                                                                           \
    X(SELECTCASE, u"SELECTCASE", NoAction)                                                                   \
    X(SETENCODING, u"SETENCODING", ExecSetEncoding)                                                          \
    X(SETVERSION, u"SETVERSION", ExecSetVersion)                                                             \
    X(SLEEP, u"SLEEP", ExecSleep)                                                                            \
    X(STEP, u"STEP", NoAction)                                                                               \
    X(STOP, u"STOP", SyncStop)                                                                               \
    X(STRING, u"STRING", NoAction)                                                                           \
    X(STRTOFORM, u"STRTOFORM", ExecStrToForm)                                                                \
    X(SUB, u"SUB", NoAction)                                                                                 \
    X(SWAP, u"SWAP", NoAction)                                                                               \
    X(SYSCMD, u"SYSCMD", MemoryGuard<ExecSysCmd>)                                                            \
    X(SYSTEM, u"SYSTEM", ExecSystem)                                                                         \
    X(TBACKCOLOR, u"TBACKCOLOR", SyncSetColor)                                                               \
    X(TFONTCHARSET, u"TFONTCHARSET", SyncSetFontSize)                                                        \
    X(TFONTCOLOR, u"TFONTCOLOR", SyncSetColor)                                                               \
    X(TFONTNAME, u"TFONTNAME", SyncSetFontName)                                                              \
    X(TFONTSIZE, u"TFONTSIZE", SyncSetFontSize)                                                              \
    X(TFONTSTYLE, u"TFONTSTYLE", SyncSetFontName)                                                            \
    X(THEN, u"THEN", NoAction)                                                                               \
    X(TO, u"TO", NoAction)                                                                                   \
    X(TSCREEN, u"TSCREEN", ExecTScreen)                                                                      \
    X(TWINDOWSTATE, u"TWINDOWSTATE", SyncSetWindowState)                                                     \
    X(TWPOSITION, u"TWPOSITION", ExecPosition)                                                               \
    X(UNTIL, u"UNTIL", NoAction)                                                                             \
    X(USING, u"USING", NoAction)                                                                             \
    X(VIEW, u"VIEW", NoAction)                                                                               \
    X(WEND, u"WEND", NoAction)                                                                               \
    X(WHILE, u"WHILE", NoAction)                                                                             \
    X(WINDOW, u"WINDOW", ExecWindow)                                                                         \
    X(WRITEALLBYTES, u"WRITEALLBYTES", NoAction)                                                             \
    X(WRITEALLLINES, u"WRITEALLLINES", MemoryGuard<ExecWriteAllLines>)                                       \
    X(WRITEALLTEXT, u"WRITEALLTEXT", MemoryGuard<ExecWriteAllText>)

#define LX_FUNCTION_SLOTS(X)                                                                                 \
    X(ABS, u"ABS", FnExact)                                                                                  \
    X(ACOS, u"ACOS", FnTrigonometry)                                                                         \
    X(AKCNVStr, u"AKCNV$", TextMemoryGuard<FnWidth>)                                                         \
    X(ASC, u"ASC", TextMemoryGuard<FnAsc>)                                                                   \
    X(ASCU, u"ASCU", TextMemoryGuard<FnAscU>)                                                                \
    X(ASCW, u"ASCW", TextMemoryGuard<FnAscW>)                                                                \
    X(ASIN, u"ASIN", FnTrigonometry)                                                                         \
    X(ATN, u"ATN", FnTrigonometry)                                                                           \
    X(ATTRStr, u"ATTR$", NoAction)                                                                           \
    X(BINOM, u"BINOM", FnBinomial)                                                                           \
    X(BINOMIAL, u"BINOMIAL", FnBinomial)                                                                     \
    X(CEIL, u"CEIL", FnExact)                                                                                \
    X(CHR, u"CHR", TextMemoryGuard<FnChr>)                                                                   \
    X(CHRStr, u"CHR$", TextMemoryGuard<FnChr>)                                                               \
    X(CHRU, u"CHRU", TextMemoryGuard<FnChrU>)                                                                \
    X(CHRW, u"CHRW", TextMemoryGuard<FnChrW>)                                                                \
    X(COS, u"COS", FnTrigonometry)                                                                           \
    X(COSH, u"COSH", FnTrigonometry)                                                                         \
    X(COT, u"COT", FnTrigonometry)                                                                           \
    X(CREATEDIR, u"CREATEDIR", MemoryGuard<ExecPathTest>)                                                    \
    X(CSC, u"CSC", FnTrigonometry)                                                                           \
    X(CSRLIN, u"CSRLIN", ReportFunctionNotBuilt)                                                             \
    X(DATE, u"DATE", NoAction)                                                                               \
    X(DATEStr, u"DATE$", MemoryGuard<FnDateText>)                                                            \
    X(DAYOFWEEK, u"DAYOFWEEK", MemoryGuard<ExecDayOfWeek>)                                                   \
    X(DEG, u"DEG", FnTrigonometry)                                                                           \
    X(DELETEFILE, u"DELETEFILE", MemoryGuard<ExecPathTest>)                                                  \
    X(DIRECTORYEXISTS, u"DIRECTORYEXISTS", MemoryGuard<ExecPathTest>)                                        \
    X(DISKFREE, u"DISKFREE", MemoryGuard<ExecDiskBytes>)                                                     \
    X(DISKSIZE, u"DISKSIZE", MemoryGuard<ExecDiskBytes>)                                                     \
    X(Eof, u"EOF", MemoryGuard<ExecEof>)                                                                     \
    X(EXP, u"EXP", FnPowerAndLog)                                                                            \
    X(FACT, u"FACT", FnFactorial)                                                                            \
    X(FACTORIAL, u"FACTORIAL", FnFactorial)                                                                  \
    X(FILEEXISTS, u"FILEEXISTS", MemoryGuard<ExecPathTest>)                                                  \
    X(FILELEN, u"FILELEN", MemoryGuard<ExecFileLen>)                                                         \
    X(FINDFIRSTFILE, u"FINDFIRSTFILE", MemoryGuard<ExecFindFirstFile>)                                       \
    X(FINDNEXTFILE, u"FINDNEXTFILE", MemoryGuard<FnFindNextFile>)                                            \
    X(FIX, u"FIX", FnExact)                                                                                  \
    X(FLOATTOSTR, u"FLOATTOSTR", TextMemoryGuard<FnFloatToStr>)                                              \
    X(FLOATTOSTRBIN, u"FLOATTOSTRBIN", TextMemoryGuard<FnFloatToStrBin>)                                     \
    X(FLOATTOSTRHEX, u"FLOATTOSTRHEX", NoAction)                                                             \
    X(GCD, u"GCD", FnGcdLcm)                                                                                 \
    X(GETCURRENTDIR, u"GETCURRENTDIR", MemoryGuard<FnCurrentDir>)                                            \
    X(GETDIMTYPE, u"GETDIMTYPE", MemoryGuard<ExecGetDimType>)                                                \
    X(GETFILEDATETIME, u"GETFILEDATETIME", MemoryGuard<ExecFileDateTime>)                                    \
    X(GETHOUR, u"GETHOUR", MemoryGuard<FnClockField>)                                                        \
    X(GETIMAGESIZEStr, u"GETIMAGESIZE$", ExecGetImageSize)                                                   \
    X(GETMINUTE, u"GETMINUTE", MemoryGuard<FnClockField>)                                                    \
    X(GETMSECOND, u"GETMSECOND", MemoryGuard<FnClockField>)                                                  \
    X(GETPROGRAMDIR, u"GETPROGRAMDIR", MemoryGuard<FnProgramDir>)                                            \
    X(GETRGBPIXEL, u"GETRGBPIXEL", ExecGetRgbPixelFunction)                                                  \
    X(GETSECOND, u"GETSECOND", MemoryGuard<FnClockField>)                                                    \
    X(HEXStr, u"HEX$", TextMemoryGuard<FnHex>)                                                               \
    X(INKEYStr, u"INKEY$", MemoryGuard<ExecInkey>)                                                           \
    X(INPUTStr, u"INPUT$", MemoryGuard<ExecInputKeys>)                                                       \
    X(INPUTBOX, u"INPUTBOX", ExecInputBoxForm)                                                               \
    X(INSTR, u"INSTR", TextMemoryGuard<FnInstr>)                                                             \
    X(INT, u"INT", FnExact)                                                                                  \
    X(ISLEAPYEAR, u"ISLEAPYEAR", MemoryGuard<ExecIsLeapYear>)                                                \
    X(ISSURROGATE, u"ISSURROGATE", TextMemoryGuard<FnIsSurrogate>)                                           \
    X(KACNVStr, u"KACNV$", TextMemoryGuard<FnWidth>)                                                         \
    X(KINSTR, u"KINSTR", TextMemoryGuard<FnInstr>)                                                           \
    X(KLEFTStr, u"KLEFT$", TextMemoryGuard<FnLeft>)                                                          \
    X(KLEN, u"KLEN", TextMemoryGuard<FnLen>)                                                                 \
    X(KMIDStr, u"KMID$", TextMemoryGuard<FnMid>)                                                             \
    X(KRIGHTStr, u"KRIGHT$", TextMemoryGuard<FnRight>)                                                       \
    X(LCASEStr, u"LCASE$", TextMemoryGuard<FnCase>)                                                          \
    X(LCM, u"LCM", FnGcdLcm)                                                                                 \
    X(LEFTStr, u"LEFT$", TextMemoryGuard<FnLeft>)                                                            \
    X(LEN, u"LEN", TextMemoryGuard<FnLen>)                                                                   \
    X(LOC, u"LOC", NoAction)                                                                                 \
    X(LOF, u"LOF", NoAction)                                                                                 \
    X(LOG, u"LOG", FnPowerAndLog)                                                                            \
    X(LOG10, u"LOG10", FnPowerAndLog)                                                                        \
    X(LOG2, u"LOG2", FnPowerAndLog)                                                                          \
    X(LTRIMStr, u"LTRIM$", TextMemoryGuard<FnTrim>)                                                          \
    X(MAX, u"MAX", FnMaxMin)                                                                                 \
    X(MIDStr, u"MID$", TextMemoryGuard<FnMid>)                                                               \
    X(MIN, u"MIN", FnMaxMin)                                                                                 \
    X(MSGBOX, u"MSGBOX", ExecMsgBoxForm)                                                                     \
    X(NORMALIZE, u"NORMALIZE", TextMemoryGuard<FnNormalize>)                                                 \
    X(PFACTOR, u"PFACTOR", FnPrimeFactor)                                                                    \
    X(PI, u"PI", FnExact)                                                                                    \
    X(PIStr, u"PI$", TextMemoryGuard<FnPiText>)                                                              \
    X(POS, u"POS", ReportFunctionNotBuilt)                                                                   \
    X(PRIMEFACTOR, u"PRIMEFACTOR", FnPrimeFactor)                                                            \
    X(RAD, u"RAD", FnTrigonometry)                                                                           \
    X(RANDG, u"RANDG", FnNormalRandom)                                                                       \
    X(READALLBYTES, u"READALLBYTES", NoAction)                                                               \
    X(READALLLINES, u"READALLLINES", NoAction)                                                               \
    X(READALLTEXT, u"READALLTEXT", MemoryGuard<ExecReadAllText>)                                             \
    X(REMOVEDIR, u"REMOVEDIR", MemoryGuard<ExecPathTest>)                                                    \
    X(RENAMEFILE, u"RENAMEFILE", MemoryGuard<ExecRenameFile>)                                                \
    X(REPLACEStr, u"REPLACE$", TextMemoryGuard<FnReplace>)                                                   \
    X(RIGHTStr, u"RIGHT$", TextMemoryGuard<FnRight>)                                                         \
    X(RND, u"RND", FnRandom)                                                                                 \
    X(ROUND, u"ROUND", FnRound)                                                                              \
    X(RTRIMStr, u"RTRIM$", TextMemoryGuard<FnTrim>)                                                          \
    X(SEC, u"SEC", FnTrigonometry)                                                                           \
    X(SEEK, u"SEEK ", ReportFunctionNotBuilt)                                                                \
    X(SELECTOPENFILE, u"SELECTOPENFILE", ExecSelectFileForm)                                                 \
    X(SELECTSAVEFILE, u"SELECTSAVEFILE", ExecSelectFileForm)                                                 \
    X(SETCURRENTDIR, u"SETCURRENTDIR", MemoryGuard<ExecPathTest>)                                            \
    X(SGN, u"SGN", FnExact)                                                                                  \
    X(SHELL, u"SHELL", MemoryGuard<ExecShell>)                                                               \
    X(SIN, u"SIN", FnTrigonometry)                                                                           \
    X(SINH, u"SINH", FnTrigonometry)                                                                         \
    X(SPACEStr, u"SPACE$", TextMemoryGuard<FnSpace>)                                                         \
    X(SPC, u"SPC", TextMemoryGuard<FnSpace>)                                                                 \
    X(SPLITStr, u"SPLIT$", TextMemoryGuard<FnSplit>)                                                         \
    X(SQR, u"SQR", FnPowerAndLog)                                                                            \
    X(STRStr, u"STR$", TextMemoryGuard<FnStr>)                                                               \
    X(STRCONV, u"STRCONV", TextMemoryGuard<FnStrConv>)                                                       \
    X(STRINGStr, u"STRING$", TextMemoryGuard<FnString>)                                                      \
    X(TAB, u"TAB", MemoryGuard<ExecTab>)                                                                     \
    X(TAN, u"TAN", FnTrigonometry)                                                                           \
    X(TANH, u"TANH", FnTrigonometry)                                                                         \
    X(TIME, u"TIME", NoAction)                                                                               \
    X(TIMEStr, u"TIME$", MemoryGuard<FnTimeText>)                                                            \
    X(TIMER, u"TIMER", MemoryGuard<FnTimer>)                                                                 \
    X(TRIMStr, u"TRIM$", TextMemoryGuard<FnTrim>)                                                            \
    X(UCASEStr, u"UCASE$", TextMemoryGuard<FnCase>)                                                          \
    X(VAL, u"VAL", TextMemoryGuard<FnVal>)                                                                   \
    X(YEARTIMER, u"YEARTIMER", MemoryGuard<FnYearTimer>)

// Codes of the statement (kind 6) and function (kind 2) items that have no word of their own: the
// internal codes the scan and the compiler emit (identifier in InSt or InFn, code, executor).
#define LX_INTERNAL_STATEMENTS(X)                                                                            \
    X(AudioMixerMasterMute, 192, ExecSpeakerMute)                                                            \
    X(AudioMixerMasterVolume, 193, ExecSpeakerVolume)                                                        \
    X(CallStatement, 195, NoAction)                                                                          \
    X(ClipboardClear, 221, ExecClipboardClear)                                                               \
    X(ClipboardSetText, 223, ExecClipboardSetText)                                                           \
    X(ReturnFromFunction, 237, ReturnFromFunction)                                                           \
    X(LoopPlain, 238, ReportStatementNotBuilt)                                                               \
    X(DoUntil, 239, ReportStatementNotBuilt)                                                                 \
    X(DoWhile, 240, ReportStatementNotBuilt)                                                                 \
    X(EvalFormTrapOff, 241, ExecEvalFormTrapOff)                                                             \
    X(FunctionEnd, 242, NoAction)                                                                            \
    X(InputNumField, 243, ExecInputNumField)                                                                 \
    X(InputStrField, 244, ExecInputStrField)                                                                 \
    X(GlPop, 245, BindArgument)                                                                              \
    X(GlPush, 246, PushVariableValue)                                                                        \
    X(DumpCrossReference, 247, DumpCrossReference)                                                           \
    X(ListReservedWords, 248, ListReservedWords)                                                             \
    X(DumpCodeListing, 249, DumpCodeListing)                                                                 \
    X(DumpVariables, 250, DumpVariables)                                                                     \
    X(CaseEqual, 251, ExecCaseCompare)                                                                       \
    X(SelectCaseNum, 252, ExecSelectCaseNum)                                                                 \
    X(CaseGreater, 253, ExecCaseCompare)                                                                     \
    X(CaseGreaterEqual, 254, ExecCaseCompare)                                                                \
    X(CaseLess, 255, ExecCaseCompare)                                                                        \
    X(CaseLessEqual, 256, ExecCaseCompare)                                                                   \
    X(CaseBoolean, 257, ExecCaseBoolean)                                                                     \
    X(CaseNotEqual, 258, ExecCaseCompare)                                                                    \
    X(CaseRange, 259, ExecSelectCaseRange)                                                                   \
    X(ReadAllLinesStatement, 261, MemoryGuard<ExecReadAllLines>)                                             \
    X(LoopUntil, 262, ReportStatementNotBuilt)                                                               \
    X(LoopWhile, 263, ReportStatementNotBuilt)                                                               \
    X(LoPop, 264, NoAction)                                                                                  \
    X(LoPopAll, 265, RestoreLocals)                                                                          \
    X(LoPush, 266, NoAction)                                                                                 \
    X(LoPushAll, 267, SaveLocals)                                                                            \
    X(MediaPlayerClose, 268, SyncCloseMediaPlayer)                                                           \
    X(MediaPlayerMode, 269, ReportStatementNotBuilt)                                                         \
    X(MediaPlayerOpen, 270, ExecMediaPlayerOpen)                                                             \
    X(MediaPlayerPause, 271, ExecMediaPlayerControl)                                                         \
    X(MediaPlayerPlay, 272, ExecMediaPlayerControl)                                                          \
    X(MediaPlayerStop, 273, ExecMediaPlayerControl)                                                          \
    X(OptionExplicitOff, 275, ReportStatementNotBuilt)                                                       \
    X(OptionExplicitOn, 276, ReportStatementNotBuilt)                                                        \
    X(PrintFileLineEnd, 277, ExecPrintFileLineEnd)                                                           \
    X(PrintUsingFile, 278, ExecPrintUsingFile)                                                               \
    X(SubEnd, 280, NoAction)                                                                                 \
    X(SubJump, 281, JumpViaLabelVariable)                                                                    \
    X(SubStart, 282, NoAction)
#define LX_INTERNAL_FUNCTIONS(X)                                                                             \
    X(Direct, 126, FnExact)                                                                                  \
    X(ClipboardGetText, 222, ExecClipboardGetText)

// Further argument forms of a statement or function: its code, the form k (the item carries code +
// k * ArgumentFormStep or code + k * FunctionFormStep) and the executor.
#define LX_STATEMENT_FORMS(X)                                                                                \
    X(St::GSCREEN, 1, ExecGScreenStatement)                                                                  \
    X(St::OPENGSCREEN, 1, ExecGScreenStatement)                                                              \
    X(St::RANDOMIZE, 1, ExecRandomizeStatement)                                                              \
    X(St::WRITEALLTEXT, 1, MemoryGuard<ExecWriteAllText>)                                                    \
    X(St::WRITEALLLINES, 1, MemoryGuard<ExecWriteAllLines>)                                                  \
    X(InSt::ReadAllLinesStatement, 1, MemoryGuard<ExecReadAllLines>)                                         \
    X(St::LOADPICTURE, 1, ExecLoadPictureStatement)                                                          \
    X(St::LOADPICTURE, 2, ExecLoadPictureStatement)                                                          \
    X(St::LOADPICTURE, 3, ExecLoadPictureStatement)                                                          \
    X(St::SAVEPICTURE, 1, ExecSavePictureStatement)                                                          \
    X(St::SAVEPICTURE, 2, ExecSavePictureStatement)                                                          \
    X(St::SAVEPICTURE, 3, ExecSavePictureStatement)                                                          \
    X(St::EVALFORM, 2, ExecEvalFormEnd)                                                                      \
    X(St::EVALFORM, 3, ExecEvalFormLeave)
#define LX_FUNCTION_FORMS(X)                                                                                 \
    X(Fn::RND, 1, FnRandom)                                                                                  \
    X(Fn::ROUND, 1, FnRound)                                                                                 \
    X(Fn::NORMALIZE, 1, TextMemoryGuard<FnNormalize>)                                                        \
    X(Fn::INPUTStr, 1, MemoryGuard<ExecInputKeys>)                                                           \
    X(Fn::INPUTStr, 2, MemoryGuard<ExecInputFromChannel>)                                                    \
    X(Fn::READALLTEXT, 1, MemoryGuard<ExecReadAllText>)                                                      \
    X(Fn::MSGBOX, 1, ExecMsgBoxForm)                                                                         \
    X(Fn::MSGBOX, 2, ExecMsgBoxForm)                                                                         \
    X(Fn::INPUTBOX, 1, ExecInputBoxForm)                                                                     \
    X(Fn::INPUTBOX, 2, ExecInputBoxForm)                                                                     \
    X(Fn::SELECTOPENFILE, 1, ExecSelectFileForm)                                                             \
    X(Fn::SELECTOPENFILE, 2, ExecSelectFileForm)                                                             \
    X(Fn::SELECTSAVEFILE, 1, ExecSelectFileForm)                                                             \
    X(Fn::SELECTSAVEFILE, 2, ExecSelectFileForm)

// The settings a function item reads back (the item carries SettingValueBase + the statement code).
#define LX_SETTING_VALUES(X)                                                                                 \
    X(St::BACKCOLOR, PushSettingValue)                                                                       \
    X(St::GBACKCOLOR, PushSettingValue)                                                                      \
    X(St::BORDERCOLOR, PushSettingValue)                                                                     \
    X(St::GBORDERCOLOR, PushSettingValue)                                                                    \
    X(St::FORECOLOR, PushSettingValue)                                                                       \
    X(St::GFORECOLOR, PushSettingValue)                                                                      \
    X(St::CBACKCOLOR, PushSettingValue)                                                                      \
    X(St::CFONTCHARSET, PushSettingValue)                                                                    \
    X(St::CFONTCOLOR, PushSettingValue)                                                                      \
    X(St::CFONTNAME, PushSettingValue)                                                                       \
    X(St::CFONTSIZE, PushSettingValue)                                                                       \
    X(St::CFONTSTYLE, PushSettingValue)                                                                      \
    X(St::GFONTCHARSET, PushSettingValue)                                                                    \
    X(St::GFONTCOLOR, PushSettingValue)                                                                      \
    X(St::GFONTNAME, PushSettingValue)                                                                       \
    X(St::GFONTSIZE, PushSettingValue)                                                                       \
    X(St::GFONTSTYLE, PushSettingValue)                                                                      \
    X(St::TBACKCOLOR, PushSettingValue)                                                                      \
    X(St::TFONTCHARSET, PushSettingValue)                                                                    \
    X(St::TFONTCOLOR, PushSettingValue)                                                                      \
    X(St::TFONTNAME, PushSettingValue)                                                                       \
    X(St::TFONTSIZE, PushSettingValue)                                                                       \
    X(St::TFONTSTYLE, PushSettingValue)                                                                      \
    X(St::PRECISION, PushSettingValue)                                                                       \
    X(St::DRAWMODE, PushSettingValue)                                                                        \
    X(St::GDRAWMODE, PushSettingValue)                                                                       \
    X(St::DRAWSTYLE, PushSettingValue)                                                                       \
    X(St::GDRAWSTYLE, PushSettingValue)                                                                      \
    X(St::DRAWWIDTH, PushSettingValue)                                                                       \
    X(St::GDRAWWIDTH, PushSettingValue)                                                                      \
    X(St::FILLSTYLE, PushSettingValue)                                                                       \
    X(St::GFILLSTYLE, PushSettingValue)                                                                      \
    X(St::CWINDOWSTATE, SyncGetWindowState)                                                                  \
    X(St::EWINDOWSTATE, SyncGetWindowState)                                                                  \
    X(St::GWINDOWSTATE, SyncGetWindowState)                                                                  \
    X(St::TWINDOWSTATE, SyncGetWindowState)                                                                  \
    X(InSt::AudioMixerMasterVolume, ExecSpeakerVolumeValue)                                                  \
    X(InSt::AudioMixerMasterMute, ExecSpeakerMuteValue)                                                      \
    X(InSt::MediaPlayerMode, ExecMediaPlayerMode)
