// The decoded statements: which shapes run in one pass, where they hand over to the item-by-item path,
// and that nothing decoded outlives the code it was decoded from. Programs are compiled with the real
// front end; the decoded run and the run loop run on the compiled code buffer.
#include "engine/decodedrun.h"
#include "engine/predecode.h"
#include "engine/runloop.h"
#include "engine/runwindowqueue.h"
#include "frontend/compile.h"
#include "frontend/declnames.h"
#include "frontend/initall.h"
#include "frontend/itembuffers.h"
#include "frontend/sharedstate.h"
#include "frontend/tables.h"
#include "frontend/vocabulary.h"
#include "tests/compilesupport.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

class Decoded : public ::testing::Test {
protected:
    void SetUp() override {
        RunWindowQueue::Instance().Reset();
        StopRequest = 0;
        DecodedRunEnabled = true;
    }
    void TearDown() override {
        StopRequest = 0;
        DecodedRunEnabled = true;
        RunWindowQueue::Instance().Reset();
    }

    static void Compile(const QStringList& lines) {
        CompileProgramLines(lines);
        FitDecodedCode();
    }

    static Extended& Num(const char* name) {
        const int index = FindVariable(QString::fromLatin1(name), VarType::Real);
        EXPECT_GT(index, 0) << name;
        return NumVarTable[static_cast<std::size_t>(index > 0 ? index : 0)].Value;
    }

    // The index of the `n`-th statement item `code` of the program.
    static int StatementAt(int code, int n = 1) {
        for (int at = ProgramCodeStart; at <= CodeLimit; ++at) {
            const CodeItemType& item = CodeBuffer[static_cast<std::size_t>(at)];
            if (item.FirstCode == CodeKind::Statement && item.SecondCode == code && --n == 0) return at;
        }
        return -1;
    }

    static int Run(int from, bool& stoppedShort) { return RunDecoded(from, CodeLimit, stoppedShort); }

    static LoopExit RunLoopFrom(int index) {
        CodeIndex = index;
        FetchCurrentItem();
        return RunLoop();
    }
};

TEST_F(Decoded, NumericStatementsRunInOnePassUpToTheFirstOtherItem) {
    Compile({"A = 6 : B = 4", "X = A * 2 + B / 4 - (A MOD 4)", "IF X > A AND NOT B = 0 THEN Y = -X", "PRINT Y"});
    bool stoppedShort = true;
    const int at = Run(ProgramCodeStart, stoppedShort);
    EXPECT_FALSE(stoppedShort);
    EXPECT_EQ(Num("X"), 11);
    EXPECT_EQ(Num("Y"), -11);
    // The PRINT's operand is the first item that is not part of a numeric statement: Y is pushed by the
    // general path (a single push gains nothing in one pass).
    EXPECT_EQ(CodeBuffer[static_cast<std::size_t>(at)].FirstCode, CodeKind::NumVar);
    EXPECT_EQ(at + 2, StatementAt(St::PRINT));
}

TEST_F(Decoded, ConditionsTakeTheirBranchesAndTheCompiledJumpsAreFollowed) {
    Compile({"A = 1", "IF A = 2 THEN A = 100 ELSE A = A + 10", "IF A = 11 THEN", "A = A * 2", "ELSE", "A = 0",
             "END IF", "FOR I = 1 TO 3 : A = A + 1 : NEXT I", "PRINT A"});
    bool stoppedShort = true;
    const int at = Run(ProgramCodeStart, stoppedShort);
    EXPECT_FALSE(stoppedShort);
    EXPECT_EQ(Num("A"), 25);
    EXPECT_EQ(Num("I"), 4);
    EXPECT_EQ(at + 2, StatementAt(St::PRINT));
}

TEST_F(Decoded, ACaseForTheGeneralPathStopsShortBeforeAnyEffect) {
    Compile({"Z = 0 : X = 5", "X = 1 / Z", "PRINT X"});
    bool stoppedShort = false;
    const int at = Run(ProgramCodeStart, stoppedShort);
    EXPECT_TRUE(stoppedShort);
    EXPECT_EQ(Num("X"), 5);  // the quotient is the general path's to fail
    const int letAt = StatementAt(St::LET, 3);
    EXPECT_LT(at, letAt);
    // The run loop then runs it item by item and fails at the division.
    EXPECT_EQ(RunLoopFrom(at), LoopExit::Error);
    EXPECT_EQ(ErrorNumber, Err::DivisionByZero);
    EXPECT_EQ(Num("X"), 5);
}

TEST_F(Decoded, AnEntryThatKeepsStoppingShortIsLeftToTheGeneralPath) {
    Compile({"DIM V(3)", "I = 0.5", "V(I) = 7", "PRINT V(0)"});
    const int start = StatementAt(St::LET, 1) + 2;  // after I = 0.5
    Num("I") = 0.5;  // rounds to 0 as a subscript: the general path's case
    for (int k = 0; k < DecodedRetries; ++k) {
        bool stoppedShort = false;
        EXPECT_EQ(Run(start, stoppedShort), start);
        EXPECT_TRUE(stoppedShort) << k;
    }
    bool stoppedShort = true;
    EXPECT_EQ(Run(start, stoppedShort), start);
    EXPECT_FALSE(stoppedShort);  // decoded as general from now on: nothing is tried
    EXPECT_EQ(DecodedCode[static_cast<std::size_t>(start)].Op, DecodedOp::Generic);
}

TEST_F(Decoded, AStopRequestEndsTheRunAfterTheStatementInHand) {
    Compile({"X = 1 : Y = 2 : Z = 3"});
    StopRequest = 1;
    bool stoppedShort = true;
    const int at = Run(ProgramCodeStart, stoppedShort);
    EXPECT_FALSE(stoppedShort);
    EXPECT_EQ(Num("X"), 1);
    EXPECT_EQ(Num("Y"), 0);
    // The index returned is the next statement's, where CONT goes on.
    StopRequest = 0;
    Run(at, stoppedShort);
    EXPECT_EQ(Num("Y"), 2);
    EXPECT_EQ(Num("Z"), 3);
}

TEST_F(Decoded, CodeWrittenAfterDecodingIsDecodedAfresh) {
    Compile({"X = 2 + 3"});
    bool stoppedShort = false;
    Run(ProgramCodeStart, stoppedShort);
    EXPECT_EQ(Num("X"), 5);
    // Another program in the same slots: the entries decoded from the first must not run.
    Compile({"X = 2 * 3"});
    Run(ProgramCodeStart, stoppedShort);
    EXPECT_EQ(Num("X"), 6);
}

TEST_F(Decoded, ValuesForTheItemsAfterThemKeepTheirKinds) {
    Compile({"A = 3", "PRINT A * 2; A > 2; -A"});
    ASSERT_EQ(RunLoopFrom(ProgramCodeStart), LoopExit::End);
    QStringList lines;
    for (RunWindowEvent& event : RunWindowQueue::Instance().TakeAll())
        if (event.Op == RunWindowOp::AppendLine) lines.append(event.Text);
    EXPECT_EQ(lines, QStringList{QStringLiteral(" 6True-3")});
}

TEST_F(Decoded, TheNextOfAForLoopAndItsTestAreOneEntry) {
    Compile({"S = 0", "FOR I = 1 TO 4 : S = S + I : NEXT I", "FOR J = 9 TO 1 STEP -4 : S = S + J : NEXT J", "PRINT S"});
    bool stoppedShort = true;
    const int at = Run(ProgramCodeStart, stoppedShort);
    EXPECT_FALSE(stoppedShort);
    EXPECT_EQ(Num("S"), 10 + 9 + 5 + 1);
    EXPECT_EQ(Num("I"), 5);
    EXPECT_EQ(Num("J"), -3);
    EXPECT_EQ(at + 2, StatementAt(St::PRINT));
    // Each NEXT (the LET of v = step + v) was decoded as the loop step with its test.
    int loops = 0;
    for (int k = ProgramCodeStart; k < at; ++k)
        if (DecodedCode[static_cast<std::size_t>(k)].Generation == CodeGeneration &&
            DecodedCode[static_cast<std::size_t>(k)].Op == DecodedOp::ForNext)
            ++loops;
    EXPECT_EQ(loops, 2);
}

} // namespace
