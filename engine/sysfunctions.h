// The built-in functions and statements that reach outside the interpreter: clock and calendar, the
// keyboard (INKEY$ and the INPUT$ waits), file and folder queries and changes, the folder search,
// whole-file reading and writing, EOF, starting a command line, the dimensions of an array, and TAB.
// Arguments come from the Gl stack (the last one on top); failures set ErrorNumber.
#pragma once

#include <QDateTime>

// The clock the date and time functions read, as local time. Tests install a fixed one.
extern QDateTime (*SystemClockNow)();
QDateTime CurrentLocalTime();

// The executors. Those taking `code` serve several functions or argument forms (a code page given
// or not, INPUT$ with a count, the clock's fields, the path tests).
void FnDateText();  // DATE$
void FnTimeText();  // TIME$
void FnTimer();     // TIMER
void FnYearTimer(); // YEARTIMER
void FnClockField(int code);
void ExecDayOfWeek();
void ExecIsLeapYear();
void ExecInkey();
void ExecInputKeys(int code);
void ExecInputFromChannel(); // INPUT$(n, #channel)
void ExecEof();
void ExecPathTest(int code);
void ExecRenameFile();
void ExecDiskBytes(int code);
void ExecFileLen();
void ExecFileDateTime();
void ExecFindFirstFile();
void FnFindNextFile();
void FnCurrentDir(); // GETCURRENTDIR
void FnProgramDir(); // GETPROGRAMDIR
void ExecReadAllText(int code);
void ExecReadAllLines(int code);
void ExecWriteAllText(int code);
void ExecWriteAllLines(int code);
void ExecShell();
void ExecSysCmd();
void ExecGetDimType();
void ExecTab();

// The text INKEY$ gives for a virtual key code; empty for a key that has none.
QString InkeyText(int keyCode);
// Ends the folder search of FINDFIRSTFILE / FINDNEXTFILE.
void CloseFileSearch();
