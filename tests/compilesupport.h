// Shared by the tests that run compiled programs: compiling program text as a run of it would.
#pragma once

#include "frontend/compile.h"
#include "frontend/initall.h"
#include "frontend/sharedstate.h"

#include <gtest/gtest.h>

#include <QStringList>

// Compiles the program made of `lines` (joined by CR LF) afresh, as the start of a run does; a
// compile error fails the test.
inline void CompileProgramLines(const QStringList& lines) {
    RunMode = RunKind::Program;
    InitAll();
    ProgramText = lines.join(QStringLiteral("\r\n"));
    ProgramTextLength = static_cast<int>(ProgramText.size());
    CompileText = ProgramText + QStringLiteral("\r\n") + QChar(0) + QChar(0);
    CompileTextLength = static_cast<int>(CompileText.size());
    ErrorNumber = 0;
    ASSERT_TRUE(CompileProgram()) << ErrorNumber;
}
