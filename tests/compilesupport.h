// Shared by the tests that run compiled programs: compiling program text as a run of it would.
#pragma once

#include "tests/compiletext.h"

#include <gtest/gtest.h>

#include <QStringList>

// Compiles the program made of `lines` (joined by CR LF) afresh, as the start of a run does; a
// compile error fails the test.
inline void CompileProgramLines(const QStringList& lines) {
    ASSERT_TRUE(CompileProgramText(lines.join(QStringLiteral("\r\n")))) << Fe.ErrorNumber;
}
