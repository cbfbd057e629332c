// Shared by the tests that run compiled programs: compiling program text as a run of it would.
#pragma once

#include "core/errortext.h"
#include "tests/compiletext.h"

#include <gtest/gtest.h>

#include <QStringList>

// Compiles the program made of `lines` (joined by CR LF) afresh, as the start of a run does. The caller
// asserts the result (ASSERT_TRUE), so that a compile error stops its test before anything runs.
[[nodiscard]] inline ::testing::AssertionResult CompileProgramLines(const QStringList& lines) {
    if (CompileProgramText(lines.join(QStringLiteral("\r\n")))) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "compile error " << Fe.ErrorNumber << ": " << ErrorMessage(Fe.ErrorNumber).toStdString() << " ("
           << LineColumnText(Fe.ErrorPosition - 1).toStdString() << ")";
}
