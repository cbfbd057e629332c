// The pre-scan: one pass over the whole compile text before the statement scan. It declares every
// SUB, FUNCTION, DEF, parameter, DIM and PUBLIC name (so they are known wherever they are used),
// inserts the text of every INCLUDE file after its statement, and takes OPTION EXPLICIT.
#pragma once

#include <QString>

// The marker line that closes an included text; the statement scan reads its word as INCLUDEOFF.
inline constexpr char16_t IncludeEndMarker[] = u":IncludeOff:";

// Success is ErrorNumber 0. On an error SourcePos is left at the error's position in the program text
// as written: an error inside an included file is reported at its INCLUDE statement (just after the
// file name), and positions after included text are moved back by the inserted length.
void PreScan();

// The file an INCLUDE statement names: "\" separates folders, and a relative name is taken relative to
// ProgramFolder (to the current folder when no program folder is known).
QString IncludeFilePath(const QString& name);
