// Compiling program text afresh as the start of a run does: the interpreter reset, the text handed to
// the front end with its closing line end and end marks, then every compiler phase. Shared by the
// tests, the tools and the fuzz targets.
#pragma once

#include "core/sharedstate.h"
#include "frontend/compile.h"
#include "frontend/compilerstate.h"
#include "frontend/initall.h"
#include "frontend/parse.h"

#include <QString>

// The interpreter reset each test starts from: InitAll, and no error report left by the test before (the
// reset leaves the report alone).
inline void ResetInterpreter() {
    InitAll();
    Fe.ErrorNumber = 0;
    Fe.ErrorNameIndex = 0;
}

// False with ErrorNumber, ErrorNameIndex and ErrorPosition set when a phase fails.
inline bool CompileProgramText(const QString& text) {
    Rc.RunMode = RunKind::Program;
    InitAll();
    Fe.ProgramText = text;
    Fe.ProgramTextLength = static_cast<int>(text.size());
    Rd.CompileText = Fe.ProgramText + QStringLiteral("\r\n") + QChar(0) + QChar(0);
    Rd.CompileTextLength = static_cast<int>(Rd.CompileText.size());
    Fe.ErrorNumber = 0;
    return CompileProgram();
}

// The same, followed by the check that every block the program opens is closed; on that error
// ErrorPosition names the statement that opened the block, as the run window reports it.
inline bool CompileWholeProgramText(const QString& text) {
    if (!CompileProgramText(text)) return false;
    CheckOpenBlocks();
    if (Fe.ErrorNumber == 0) return true;
    Fe.ErrorPosition = Cs.Parse.OpenBlockPosition;
    return false;
}
