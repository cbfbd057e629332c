// The statement and function slots, in table order: each entry gives the slot's identifier (the
// name of its constant in St or Fn), its word and the engine's executor for it (the front end ignores
// that column: it names a routine of the engine, `void()` or `void(int code)`); a statement's entry
// ends with the form in which the statement compiler reads its arguments (a Form of parseprogram.cpp:
// NoArguments, OneExpression, AssignedExpression, BracketList1 to 4, OnOff, ControlOnOff, Own for a
// generator of its own, NotSupported, Accepted, Unknown for a code no statement begins with; the engine
// ignores that column). The constants, the name tables and their counts are all made from these lists: a
// slot is the place of its entry here, and the words stay in ascending order for the binary search (the
// build refuses a word out of order or twice), so a new word goes where its order puts it. The code a
// word's items carry follows from its slot (core/vocabulary.h), passing over the internal codes below,
// whose numbers the code listings print and never move.
#pragma once

#define LX_STATEMENT_SLOTS(X)                                                                                \
    X(ANGLE, u"ANGLE", NoAction, Unknown)                                                                    \
    X(APPEND, u"APPEND", NoAction, Unknown)                                                                  \
    X(APPENDALLTEXT, u"APPENDALLTEXT", NoAction, Unknown)                                                    \
    X(AS, u"AS", NoAction, Unknown)                                                                          \
    X(AUDIOMIXER, u"AUDIOMIXER", NoAction, Unknown)                                                          \
    X(BACKCOLOR, u"BACKCOLOR", SyncSetColor, AssignedExpression)                                             \
    X(BEEP, u"BEEP", ExecBeep, NoArguments)                                                                  \
    X(BINARY, u"BINARY", NoAction, Unknown)                                                                  \
    X(BOOLEAN, u"BOOLEAN", NoAction, Unknown)                                                                \
    X(BORDERCOLOR, u"BORDERCOLOR", SyncSetColor, AssignedExpression)                                         \
    X(CALL, u"CALL", NoAction, Own)                                                                          \
    X(CASE, u"CASE", NoAction, Own)                                                                          \
    X(CASEELSE, u"CASEELSE", NoAction, Own)                                                                  \
    X(CBACKCOLOR, u"CBACKCOLOR", SyncSetColor, AssignedExpression)                                           \
    X(CBUTTON, u"CBUTTON", ExecShowControl, ControlOnOff)                                                    \
    X(CFONTCHARSET, u"CFONTCHARSET", SyncSetFontSize, AssignedExpression)                                    \
    X(CFONTCOLOR, u"CFONTCOLOR", SyncSetColor, AssignedExpression)                                           \
    X(CFONTNAME, u"CFONTNAME", SyncSetFontName, AssignedExpression)                                          \
    X(CFONTSIZE, u"CFONTSIZE", SyncSetFontSize, AssignedExpression)                                          \
    X(CFONTSTYLE, u"CFONTSTYLE", SyncSetFontName, AssignedExpression)                                        \
    X(CHDIR, u"CHDIR", ExecChDir, OneExpression)                                                             \
    X(CHKMSG, u"CHKMSG", ExecChkMsg, OnOff)                                                                  \
    X(CIRCLE, u"CIRCLE", OnGraphForm<ExecCircle>, Own)                                                       \
    X(CLABEL, u"CLABEL", ExecShowControl, ControlOnOff)                                                      \
    X(CLIPBOARD, u"CLIPBOARD", NoAction, Unknown)                                                            \
    X(CLOSE, u"CLOSE", ExecClose, Own)                                                                       \
    X(CLOSECSCREEN, u"CLOSECSCREEN", ExecCloseCScreen, NoArguments)                                          \
    X(CLOSEGSCREEN, u"CLOSEGSCREEN", ExecCloseGScreen, NoArguments)                                          \
    X(CLS, u"CLS", ExecCls, Own)                                                                             \
    X(COLOR, u"COLOR", NoAction, NotSupported)                                                               \
    X(CONSOLE, u"CONSOLE", NoAction, NotSupported)                                                           \
    X(CONST, u"CONST", NoAction, Unknown)                                                                    \
    X(CONT, u"CONT", ExecCont, NoArguments)                                                                  \
    X(CSCREEN, u"CSCREEN", ExecOpenCScreen, BracketList2)                                                    \
    X(CTEXTBOX, u"CTEXTBOX", ExecShowControl, ControlOnOff)                                                  \
    X(CWINDOWSTATE, u"CWINDOWSTATE", SyncSetWindowState, AssignedExpression)                                 \
    X(CWPOSITION, u"CWPOSITION", ExecPosition, BracketList2)                                                 \
    X(DATA, u"DATA", SkipDeclaration, Own)                                                                   \
    X(DEF, u"DEF", SkipDeclaration, Own)                                                                     \
    X(DEGREES, u"DEGREES", ExecAngleUnit, NoArguments)                                                       \
    X(DELETE, u"DELETE", NoAction, NotSupported)                                                             \
    X(DIM, u"DIM", SkipDeclaration, Own)                                                                     \
    X(DO, u"DO", NoAction, Own)                                                                              \
    X(DRAWMODE, u"DRAWMODE", ExecPenSetting, AssignedExpression)                                             \
    X(DRAWSTYLE, u"DRAWSTYLE", ExecPenSetting, AssignedExpression)                                           \
    X(DRAWWIDTH, u"DRAWWIDTH", ExecPenSetting, AssignedExpression)                                           \
    X(ECHO, u"ECHO", ExecEcho, OnOff)                                                                        \
    X(EDIT, u"EDIT", NoAction, NotSupported)                                                                 \
    X(ELSE, u"ELSE", NoAction, Own)                                                                          \
    X(ELSEIF, u"ELSEIF", NoAction, Own)                                                                      \
    X(END, u"END", ExecEnd, NoArguments)                                                                     \
    X(ENDFUNCTION, u"ENDFUNCTION", ExecEndSub, Own)                                                          \
    X(ENDIF, u"ENDIF", NoAction, Own)                                                                        \
    X(ENDSELECT, u"ENDSELECT", NoAction, Own)                                                                \
    X(ENDSUB, u"ENDSUB", ExecEndSub, Own)                                                                    \
    X(ERROR, u"ERROR", NoAction, Unknown)                                                                    \
    X(EVALFORM, u"EVALFORM", ExecEvalForm, Own)                                                              \
    X(EWINDOWSTATE, u"EWINDOWSTATE", SyncSetWindowState, AssignedExpression)                                 \
    X(EWPOSITION, u"EWPOSITION", ExecPosition, BracketList2)                                                 \
    X(EXIT, u"EXIT", NoAction, Unknown)                                                                      \
    X(EXITDO, u"EXITDO", NoAction, Own)                                                                      \
    X(EXITFOR, u"EXITFOR", NoAction, Own)                                                                    \
    X(EXITFUNCTION, u"EXITFUNCTION", NoAction, Own)                                                          \
    X(EXITSUB, u"EXITSUB", NoAction, Own)                                                                    \
    X(EXPLICIT, u"EXPLICIT", NoAction, Unknown)                                                              \
    X(FILECOPY, u"FILECOPY", ExecFileCopy, Own)                                                              \
    X(FILEPSET, u"FILEPSET", ExecFilePSet, OneExpression)                                                    \
    X(FILES, u"FILES", ExecFiles, Own)                                                                       \
    X(FILLSTYLE, u"FILLSTYLE", ExecPenSetting, AssignedExpression)                                           \
    X(FINDFILECLOSE, u"FINDFILECLOSE", MemoryGuard<CloseFileSearch>, NoArguments)                            \
    X(FOR, u"FOR", NoAction, Own)                                                                            \
    X(FORECOLOR, u"FORECOLOR", SyncSetColor, AssignedExpression)                                             \
    X(FUNCTION, u"FUNCTION", NoAction, Own)                                                                  \
    X(GBACKCOLOR, u"GBACKCOLOR", SyncSetColor, AssignedExpression)                                           \
    X(GBORDERCOLOR, u"GBORDERCOLOR", SyncSetColor, AssignedExpression)                                       \
    X(GDRAWMODE, u"GDRAWMODE", ExecPenSetting, AssignedExpression)                                           \
    X(GDRAWSTYLE, u"GDRAWSTYLE", ExecPenSetting, AssignedExpression)                                         \
    X(GDRAWWIDTH, u"GDRAWWIDTH", ExecPenSetting, AssignedExpression)                                         \
    X(GFILLSTYLE, u"GFILLSTYLE", ExecPenSetting, AssignedExpression)                                         \
    X(GFLOCATE, u"GFLOCATE", ExecGFLocate, BracketList2)                                                     \
    X(GFONTCHARSET, u"GFONTCHARSET", SyncSetFontSize, AssignedExpression)                                    \
    X(GFONTCOLOR, u"GFONTCOLOR", SyncSetColor, AssignedExpression)                                           \
    X(GFONTNAME, u"GFONTNAME", SyncSetFontName, AssignedExpression)                                          \
    X(GFONTSIZE, u"GFONTSIZE", SyncSetFontSize, AssignedExpression)                                          \
    X(GFONTSTYLE, u"GFONTSTYLE", SyncSetFontName, AssignedExpression)                                        \
    X(GFORECOLOR, u"GFORECOLOR", SyncSetColor, AssignedExpression)                                           \
    X(GLOCATE, u"GLOCATE", OnGraphForm<ExecGLocate>, BracketList2)                                           \
    X(GOSUB, u"GOSUB", ExecGotoStatement, Own)                                                               \
    X(GOTO, u"GOTO", ExecGotoStatement, Own)                                                                 \
    X(GPRINT, u"GPRINT", OnGraphForm<ExecGPrint>, OneExpression)                                             \
    X(GREFRESH, u"GREFRESH", OnGraphForm<ExecGRefresh>, NoArguments)                                         \
    X(GSCREEN, u"GSCREEN", ExecGScreenStatement, BracketList2)                                               \
    X(GSCROLL, u"GSCROLL", SyncGScroll, OnOff)                                                               \
    X(GSTRETCH, u"GSTRETCH", SyncGStretch, OnOff)                                                            \
    X(GWINDOWSTATE, u"GWINDOWSTATE", SyncSetWindowState, AssignedExpression)                                 \
    X(GWPOSITION, u"GWPOSITION", ExecPosition, BracketList2)                                                 \
    X(HELP, u"HELP", ExecHelp, NoArguments)                                                                  \
    X(IBPOSITION, u"IBPOSITION", ExecPosition, BracketList2)                                                 \
    X(IF, u"IF", ExecIf, Own)                                                                                \
    X(INCLUDE, u"INCLUDE", NoAction, Accepted)                                                               \
    X(INCLUDEOFF, u"INCLUDEOFF", NoAction, Unknown)                                                          \
    X(INPUT, u"INPUT", ExecInputStatement, Own)                                                              \
    X(INPUTFile, u"INPUT#", ExecInputFile, Own)                                                              \
    X(IS, u"IS", NoAction, Unknown)                                                                          \
    X(KILL, u"KILL", ExecKill, OneExpression)                                                                \
    X(LET, u"LET", ExecLet, Own)                                                                             \
    X(LINE, u"LINE", OnGraphForm<ExecLine>, Own)                                                             \
    X(LINEINPUT, u"LINEINPUT", ExecInputStatement, Own)                                                      \
    X(LINEINPUTFile, u"LINEINPUT#", ExecLineInputFile, Own)                                                  \
    X(LIST, u"LIST", ExecList, NoArguments)                                                                  \
    X(LLIST, u"LLIST", NoAction, NotSupported)                                                               \
    X(LOAD, u"LOAD", ExecLoad, OneExpression)                                                                \
    X(LOADPICTURE, u"LOADPICTURE", ExecLoadPictureStatement, NoArguments)                                    \
    X(LOCATE, u"LOCATE", NoAction, NotSupported)                                                             \
    X(LOOP, u"LOOP", NoAction, Own)                                                                          \
    X(LPRINT, u"LPRINT", NoAction, NotSupported)                                                             \
    X(MATHGRAPH, u"MATHGRAPH", ExecMathGraph, OnOff)                                                         \
    X(MEDIAPLAYER, u"MEDIAPLAYER", NoAction, Unknown)                                                        \
    X(MERGE, u"MERGE", NoAction, NotSupported)                                                               \
    X(MOUSE, u"MOUSE", ExecMouse, Own)                                                                       \
    X(NAME, u"NAME", ExecName, Own)                                                                          \
    X(NEW, u"NEW", ExecNew, NoArguments)                                                                     \
    X(NEXT, u"NEXT", NoAction, Own)                                                                          \
    X(OFF, u"OFF", NoAction, Unknown)                                                                        \
    X(ON, u"ON", NoAction, Unknown)                                                                          \
    X(OPEN, u"OPEN", ExecOpen, Own)                                                                          \
    X(OPENCSCREEN, u"OPENCSCREEN", ExecOpenCScreen, BracketList2)                                            \
    X(OPENGSCREEN, u"OPENGSCREEN", ExecGScreenStatement, BracketList2)                                       \
    X(OPTION, u"OPTION", NoAction, Unknown)                                                                  \
    X(OPTIONANGLE, u"OPTIONANGLE", NoAction, Unknown)                                                        \
    X(OPTIONEXPLICIT, u"OPTIONEXPLICIT", NoAction, Accepted)                                                 \
    X(OUTPUT, u"OUTPUT", NoAction, Unknown)                                                                  \
    X(PAINT, u"PAINT", OnGraphForm<ExecPaint>, Own)                                                          \
    X(PRECISION, u"PRECISION", ExecPrecision, AssignedExpression)                                            \
    X(PRESET, u"PRESET", ExecPSetStatement, Own)                                                             \
    X(PRINT, u"PRINT", ExecPrint, Own)                                                                       \
    X(PRINTFile, u"PRINT#", ExecPrintFile, Own)                                                              \
    X(PRINTCTITLE, u"PRINTCTITLE", ExecTitle, OneExpression)                                                 \
    X(PRINTGTITLE, u"PRINTGTITLE", ExecTitle, OneExpression)                                                 \
    X(PRINTITITLE, u"PRINTITITLE", ExecTitle, OneExpression)                                                 \
    X(PRINTTITLE, u"PRINTTITLE", ExecTitle, OneExpression)                                                   \
    X(PRINTUSING, u"PRINTUSING", ExecPrintUsing, Own)                                                        \
    X(PSET, u"PSET", ExecPSetStatement, Own)                                                                 \
    X(PUBLIC, u"PUBLIC", NoAction, Unknown)                                                                  \
    X(PUBLICCONST, u"PUBLICCONST", NoAction, Unknown)                                                        \
    X(RADIANS, u"RADIANS", ExecAngleUnit, NoArguments)                                                       \
    X(RANDOMIZE, u"RANDOMIZE", ExecRandomizeStatement, NoArguments)                                          \
    X(READ, u"READ", ExecRead, Own)                                                                          \
    X(REAL, u"REAL", NoAction, Unknown)                                                                      \
    X(REM, u"REM", NoAction, Accepted)                                                                       \
    X(RENUM, u"RENUM", NoAction, NotSupported)                                                               \
    X(RESTORE, u"RESTORE", ExecRestore, Own)                                                                 \
    X(RESUME, u"RESUME", NoAction, Unknown)                                                                  \
    X(RETURN, u"RETURN", ExecReturn, Own)                                                                    \
    X(RUN, u"RUN", ExecRun, NoArguments)                                                                     \
    X(SAVE, u"SAVE", NoAction, NotSupported)                                                                 \
    X(SAVEPICTURE, u"SAVEPICTURE", ExecSavePictureStatement, NoArguments)                                    \
    X(SEEK, u"SEEK", NoAction, NotSupported)                                                                 \
    X(SELECT, u"SELECT", NoAction, Unknown)                                                                  \
    X(SELECTCASE, u"SELECTCASE", NoAction, Own)                                                              \
    X(SETENCODING, u"SETENCODING", ExecSetEncoding, BracketList1)                                            \
    X(SETVERSION, u"SETVERSION", ExecSetVersion, BracketList1)                                               \
    X(SLEEP, u"SLEEP", ExecSleep, BracketList1)                                                              \
    X(STEP, u"STEP", NoAction, Unknown)                                                                      \
    X(STOP, u"STOP", SyncStop, NoArguments)                                                                  \
    X(STRING, u"STRING", NoAction, Unknown)                                                                  \
    X(STRTOFORM, u"STRTOFORM", ExecStrToForm, Own)                                                           \
    X(SUB, u"SUB", NoAction, Own)                                                                            \
    X(SWAP, u"SWAP", NoAction, Own)                                                                          \
    X(SYSCMD, u"SYSCMD", MemoryGuard<ExecSysCmd>, OneExpression)                                             \
    X(SYSTEM, u"SYSTEM", ExecSystem, NoArguments)                                                            \
    X(TBACKCOLOR, u"TBACKCOLOR", SyncSetColor, AssignedExpression)                                           \
    X(TFONTCHARSET, u"TFONTCHARSET", SyncSetFontSize, AssignedExpression)                                    \
    X(TFONTCOLOR, u"TFONTCOLOR", SyncSetColor, AssignedExpression)                                           \
    X(TFONTNAME, u"TFONTNAME", SyncSetFontName, AssignedExpression)                                          \
    X(TFONTSIZE, u"TFONTSIZE", SyncSetFontSize, AssignedExpression)                                          \
    X(TFONTSTYLE, u"TFONTSTYLE", SyncSetFontName, AssignedExpression)                                        \
    X(THEN, u"THEN", NoAction, Unknown)                                                                      \
    X(TO, u"TO", NoAction, Unknown)                                                                          \
    X(TSCREEN, u"TSCREEN", ExecTScreen, BracketList2)                                                        \
    X(TWINDOWSTATE, u"TWINDOWSTATE", SyncSetWindowState, AssignedExpression)                                 \
    X(TWPOSITION, u"TWPOSITION", ExecPosition, BracketList2)                                                 \
    X(UNTIL, u"UNTIL", NoAction, Unknown)                                                                    \
    X(USING, u"USING", NoAction, Unknown)                                                                    \
    X(VIEW, u"VIEW", NoAction, NotSupported)                                                                 \
    X(WEND, u"WEND", NoAction, Own)                                                                          \
    X(WHILE, u"WHILE", NoAction, Own)                                                                        \
    X(WINDOW, u"WINDOW", ExecWindow, Own)                                                                    \
    X(WRITEALLBYTES, u"WRITEALLBYTES", NoAction, Unknown)                                                    \
    X(WRITEALLLINES, u"WRITEALLLINES", MemoryGuard<ExecWriteAllLines>, Own)                                  \
    X(WRITEALLTEXT, u"WRITEALLTEXT", MemoryGuard<ExecWriteAllText>, BracketList2)

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
// internal codes the scan and the compiler emit (identifier in InSt or InFn, code, executor; a statement
// also its argument form).
#define LX_INTERNAL_STATEMENTS(X)                                                                            \
    X(AudioMixerMasterMute, 192, ExecSpeakerMute, AssignedExpression)                                        \
    X(AudioMixerMasterVolume, 193, ExecSpeakerVolume, AssignedExpression)                                    \
    X(CallStatement, 195, NoAction, Unknown)                                                                 \
    X(ClipboardClear, 221, ExecClipboardClear, NoArguments)                                                  \
    X(ClipboardSetText, 223, ExecClipboardSetText, BracketList1)                                             \
    X(ReturnFromFunction, 237, ReturnFromFunction, Unknown)                                                  \
    X(LoopPlain, 238, ReportStatementNotBuilt, Own)                                                          \
    X(DoUntil, 239, ReportStatementNotBuilt, Own)                                                            \
    X(DoWhile, 240, ReportStatementNotBuilt, Unknown)                                                        \
    X(EvalFormTrapOff, 241, ExecEvalFormTrapOff, Unknown)                                                    \
    X(FunctionEnd, 242, NoAction, Unknown)                                                                   \
    X(InputNumField, 243, ExecInputNumField, Unknown)                                                        \
    X(InputStrField, 244, ExecInputStrField, Unknown)                                                        \
    X(GlPop, 245, BindArgument, Unknown)                                                                     \
    X(GlPush, 246, PushVariableValue, Unknown)                                                               \
    X(DumpCrossReference, 247, DumpCrossReference, NoArguments)                                              \
    X(ListReservedWords, 248, ListReservedWords, NoArguments)                                                \
    X(DumpCodeListing, 249, DumpCodeListing, NoArguments)                                                    \
    X(DumpVariables, 250, DumpVariables, NoArguments)                                                        \
    X(CaseEqual, 251, ExecCaseCompare, Unknown)                                                              \
    X(SelectCaseNum, 252, ExecSelectCaseNum, Unknown)                                                        \
    X(CaseGreater, 253, ExecCaseCompare, Unknown)                                                            \
    X(CaseGreaterEqual, 254, ExecCaseCompare, Unknown)                                                       \
    X(CaseLess, 255, ExecCaseCompare, Unknown)                                                               \
    X(CaseLessEqual, 256, ExecCaseCompare, Unknown)                                                          \
    X(CaseBoolean, 257, ExecCaseBoolean, Unknown)                                                            \
    X(CaseNotEqual, 258, ExecCaseCompare, Unknown)                                                           \
    X(CaseRange, 259, ExecSelectCaseRange, Unknown)                                                          \
    X(ReadAllLinesStatement, 261, MemoryGuard<ExecReadAllLines>, Unknown)                                    \
    X(LoopUntil, 262, ReportStatementNotBuilt, Own)                                                          \
    X(LoopWhile, 263, ReportStatementNotBuilt, Own)                                                          \
    X(LoPop, 264, NoAction, Unknown)                                                                         \
    X(LoPopAll, 265, RestoreLocals, Unknown)                                                                 \
    X(LoPush, 266, NoAction, Unknown)                                                                        \
    X(LoPushAll, 267, SaveLocals, Unknown)                                                                   \
    X(MediaPlayerClose, 268, SyncCloseMediaPlayer, NoArguments)                                              \
    X(MediaPlayerMode, 269, ReportStatementNotBuilt, Unknown)                                                \
    X(MediaPlayerOpen, 270, ExecMediaPlayerOpen, OneExpression)                                              \
    X(MediaPlayerPause, 271, ExecMediaPlayerControl, NoArguments)                                            \
    X(MediaPlayerPlay, 272, ExecMediaPlayerControl, NoArguments)                                             \
    X(MediaPlayerStop, 273, ExecMediaPlayerControl, NoArguments)                                             \
    X(OptionExplicitOff, 275, ReportStatementNotBuilt, Accepted)                                             \
    X(OptionExplicitOn, 276, ReportStatementNotBuilt, Accepted)                                              \
    X(PrintFileLineEnd, 277, ExecPrintFileLineEnd, Unknown)                                                  \
    X(PrintUsingFile, 278, ExecPrintUsingFile, Own)                                                          \
    X(SubEnd, 280, NoAction, Unknown)                                                                        \
    X(SubJump, 281, JumpViaLabelVariable, Unknown)                                                           \
    X(SubStart, 282, NoAction, Unknown)
#define LX_INTERNAL_FUNCTIONS(X)                                                                             \
    X(Direct, 126, FnExact)                                                                                  \
    X(ClipboardGetText, 222, ExecClipboardGetText)

// Further argument forms of a statement or function: its code, the form k (the item carries code +
// k * ArgumentFormStep or code + k * FunctionFormStep) and the executor; a statement also the form in
// which its arguments are read.
#define LX_STATEMENT_FORMS(X)                                                                                \
    X(St::GSCREEN, 1, ExecGScreenStatement, BracketList4)                                                    \
    X(St::OPENGSCREEN, 1, ExecGScreenStatement, BracketList4)                                                \
    X(St::RANDOMIZE, 1, ExecRandomizeStatement, OneExpression)                                               \
    X(St::WRITEALLTEXT, 1, MemoryGuard<ExecWriteAllText>, BracketList3)                                      \
    X(St::WRITEALLLINES, 1, MemoryGuard<ExecWriteAllLines>, Own)                                             \
    X(InSt::ReadAllLinesStatement, 1, MemoryGuard<ExecReadAllLines>, Unknown)                                \
    X(St::LOADPICTURE, 1, ExecLoadPictureStatement, BracketList1)                                            \
    X(St::LOADPICTURE, 2, ExecLoadPictureStatement, BracketList2)                                            \
    X(St::LOADPICTURE, 3, ExecLoadPictureStatement, BracketList3)                                            \
    X(St::SAVEPICTURE, 1, ExecSavePictureStatement, BracketList1)                                            \
    X(St::SAVEPICTURE, 2, ExecSavePictureStatement, BracketList2)                                            \
    X(St::SAVEPICTURE, 3, ExecSavePictureStatement, BracketList3)                                            \
    X(St::EVALFORM, 2, ExecEvalFormEnd, Unknown)                                                             \
    X(St::EVALFORM, 3, ExecEvalFormLeave, Unknown)                                                           \
    X(St::RUN, 1, ReportStatementNotBuilt, Own)
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
