// The built-in functions and statements that reach outside the interpreter: clock and calendar, the
// keyboard (INKEY$ and the INPUT$ waits), file and folder queries and changes, the folder search,
// whole-file reading and writing, EOF, starting a command line, the dimensions of an array, and TAB.
// Arguments come from the Gl stack (the last one on top); failures set ErrorNumber.
#pragma once

#include <QDateTime>

// The clock the date and time functions read, as local time. Tests install a fixed one.
extern QDateTime (*SystemClockNow)();
QDateTime CurrentLocalTime();

// Runs the function of `code` (a FunctionNames slot or a further argument form) when it is one of
// this unit's; false for any other code (nothing done).
bool RouteSystemFunction(int code);
// Runs the statement of `code` (FINDFILECLOSE, READALLLINES, WRITEALLTEXT, WRITEALLLINES, SYSCMD and
// their forms with a code page) when it is one of this unit's; false for any other code.
bool RouteSystemStatement(int code);

// The text INKEY$ gives for a virtual key code; empty for a key that has none.
QString InkeyText(int keyCode);
// Ends the folder search of FINDFIRSTFILE / FINDNEXTFILE.
void CloseFileSearch();
