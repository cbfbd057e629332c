// The decoded statements: which shapes run in one pass, where they hand over to the item-by-item path,
// and that nothing decoded outlives the code it was decoded from. Programs are compiled with the real
// front end; the decoded run and the run loop run on the compiled code buffer.
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/decoded/decode.h"
#include "engine/decoded/run.h"
#include "engine/enginehooks.h"
#include "engine/enginestate.h"
#include "engine/runloop.h"
#include "engine/runwindowqueue.h"
#include "frontend/compile.h"
#include "frontend/declnames.h"
#include "frontend/initall.h"
#include "tests/compilesupport.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <array>
#include <cstring>
#include <random>

namespace {

struct Outcome;

class Decoded : public ::testing::Test {
protected:
    void SetUp() override {
        InstallEngineReset();
        RunWindowQueue::Instance().Reset();
        Rc.StopRequest = 0;
        Eng.FastPathsEnabled = true;
    }
    void TearDown() override {
        Rc.StopRequest = 0;
        Eng.FastPathsEnabled = true;
        RunWindowQueue::Instance().Reset();
    }

    [[nodiscard]] static ::testing::AssertionResult Compile(const QStringList& lines) {
        ::testing::AssertionResult compiled = CompileProgramLines(lines);
        if (!compiled) return compiled;
        if (!FitDecodedCode(Ib.CodeLimit))
            return ::testing::AssertionFailure() << "no room for the decoded code";
        return compiled;
    }

    static Extended& Num(const char* name) {
        const int index = FindVariable(QString::fromLatin1(name), VarType::Real);
        EXPECT_GT(index, 0) << name;
        return Tb.NumVarTable[static_cast<std::size_t>(index > 0 ? index : 0)].Value;
    }

    // The index of the `n`-th statement item `code` of the program.
    static int StatementAt(int code, int n = 1) {
        for (int at = ProgramCodeStart; at <= Ib.CodeLimit; ++at) {
            const CodeItemType& item = Ib.CodeBuffer[static_cast<std::size_t>(at)];
            if (item.FirstCode == CodeKind::Statement && item.SecondCode == code && --n == 0) return at;
        }
        return -1;
    }

    static int Run(int from, bool& stoppedShort) { return RunDecoded(from, Ib.CodeLimit, stoppedShort); }

    static LoopExit RunLoopFrom(int index) {
        Ib.CodeIndex = index;
        FetchCurrentItem();
        return RunLoop();
    }

    // Runs a program item by item (outcome[0]) and decoded (outcome[1]); false when it did not compile.
    static bool RunBothWays(const QStringList& lines, Outcome* outcome);
    // Both runs ended alike: the same exit, error and position, texts, stacks and values to the bit.
    static void ExpectSameOutcomes(const QStringList& lines, const Outcome* outcome);
};

TEST_F(Decoded, NumericStatementsRunInOnePassUpToTheFirstOtherItem) {
    ASSERT_TRUE(Compile(
        {"A = 6 : B = 4", "X = A * 2 + B / 4 - (A MOD 4)", "IF X > A AND NOT B = 0 THEN Y = -X", "PRINT Y"}));
    bool stoppedShort = true;
    const int at = Run(ProgramCodeStart, stoppedShort);
    EXPECT_FALSE(stoppedShort);
    EXPECT_EQ(Num("X"), 11);
    EXPECT_EQ(Num("Y"), -11);
    // The PRINT's operand is the first item that is not part of a numeric statement: Y is pushed by the
    // general path (a single push gains nothing in one pass).
    EXPECT_EQ(Ib.CodeBuffer[static_cast<std::size_t>(at)].FirstCode, CodeKind::NumVar);
    EXPECT_EQ(at + 2, StatementAt(St::PRINT));
}

TEST_F(Decoded, ConditionsTakeTheirBranchesAndTheCompiledJumpsAreFollowed) {
    ASSERT_TRUE(Compile({"A = 1", "IF A = 2 THEN A = 100 ELSE A = A + 10", "IF A = 11 THEN", "A = A * 2",
                         "ELSE", "A = 0", "END IF", "FOR I = 1 TO 3 : A = A + 1 : NEXT I", "PRINT A"}));
    bool stoppedShort = true;
    const int at = Run(ProgramCodeStart, stoppedShort);
    EXPECT_FALSE(stoppedShort);
    EXPECT_EQ(Num("A"), 25);
    EXPECT_EQ(Num("I"), 4);
    EXPECT_EQ(at + 2, StatementAt(St::PRINT));
}

TEST_F(Decoded, ACaseForTheGeneralPathStopsShortBeforeAnyEffect) {
    ASSERT_TRUE(Compile({"Z = 0 : X = 5", "X = 1 / Z", "PRINT X"}));
    bool stoppedShort = false;
    const int at = Run(ProgramCodeStart, stoppedShort);
    EXPECT_TRUE(stoppedShort);
    EXPECT_EQ(Num("X"), 5); // the quotient is the general path's to fail
    const int letAt = StatementAt(St::LET, 3);
    EXPECT_LT(at, letAt);
    // The run loop then runs it item by item and fails at the division.
    EXPECT_EQ(RunLoopFrom(at), LoopExit::Error);
    EXPECT_EQ(Fe.ErrorNumber, Err::DivisionByZero);
    EXPECT_EQ(Num("X"), 5);
}

TEST_F(Decoded, AnEntryThatKeepsStoppingShortIsLeftToTheGeneralPath) {
    ASSERT_TRUE(Compile({"DIM V(3)", "I = 0.5", "V(I) = 7", "PRINT V(0)"}));
    const int start = StatementAt(St::LET, 1) + 2; // after I = 0.5
    Num("I") = 0.5;                                // rounds to 0 as a subscript: the general path's case
    for (int k = 0; k < DecodedRetries; ++k) {
        bool stoppedShort = false;
        EXPECT_EQ(Run(start, stoppedShort), start);
        EXPECT_TRUE(stoppedShort) << k;
    }
    bool stoppedShort = true;
    EXPECT_EQ(Run(start, stoppedShort), start);
    EXPECT_FALSE(stoppedShort); // decoded as general from now on: nothing is tried
    ASSERT_NE(DecodedEntry(start), nullptr);
    EXPECT_EQ(DecodedEntry(start)->Op, DecodedOp::Generic);
}

TEST_F(Decoded, AStopRequestEndsTheRunAfterTheStatementInHand) {
    ASSERT_TRUE(Compile({"X = 1 : Y = 2 : Z = 3"}));
    Rc.StopRequest = 1;
    bool stoppedShort = true;
    const int at = Run(ProgramCodeStart, stoppedShort);
    EXPECT_FALSE(stoppedShort);
    EXPECT_EQ(Num("X"), 1);
    EXPECT_EQ(Num("Y"), 0);
    // The index returned is the next statement's, where CONT goes on.
    Rc.StopRequest = 0;
    Run(at, stoppedShort);
    EXPECT_EQ(Num("Y"), 2);
    EXPECT_EQ(Num("Z"), 3);
}

TEST_F(Decoded, CodeWrittenAfterDecodingIsDecodedAfresh) {
    ASSERT_TRUE(Compile({"X = 2 + 3"}));
    bool stoppedShort = false;
    Run(ProgramCodeStart, stoppedShort);
    EXPECT_EQ(Num("X"), 5);
    // Another program in the same slots: the entries decoded from the first must not run.
    ASSERT_TRUE(Compile({"X = 2 * 3"}));
    Run(ProgramCodeStart, stoppedShort);
    EXPECT_EQ(Num("X"), 6);
}

TEST_F(Decoded, ValuesForTheItemsAfterThemKeepTheirKinds) {
    ASSERT_TRUE(Compile({"A = 3", "PRINT A * 2; A > 2; -A"}));
    ASSERT_EQ(RunLoopFrom(ProgramCodeStart), LoopExit::End);
    QStringList lines;
    for (RunWindowEvent& event : RunWindowQueue::Instance().TakeAll())
        if (event.Op == RunWindowOp::AppendLine) lines.append(event.Text);
    EXPECT_EQ(lines, QStringList{QStringLiteral(" 6True-3")});
}

TEST_F(Decoded, TheNextOfAForLoopAndItsTestAreOneEntry) {
    ASSERT_TRUE(Compile({"S = 0", "FOR I = 1 TO 4 : S = S + I : NEXT I",
                         "FOR J = 9 TO 1 STEP -4 : S = S + J : NEXT J", "PRINT S"}));
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
        if (DecodedEntry(k) && DecodedEntry(k)->Op == DecodedOp::ForNext) ++loops;
    EXPECT_EQ(loops, 2);
}

// A call is four entries, and a stop request is seen after each as after any statement: the run then
// stands where the general path would stand at that item, with the same stacks, and goes on from there.
TEST_F(Decoded, AStopRequestInACallLeavesTheStacksAsAtThatItem) {
    ASSERT_TRUE(Compile(
        {"FUNCTION TWICE(N)", "  L = N", "  TWICE = L * 2", "END FUNCTION", "Y = TWICE(3) + 1", "PRINT Y"}));
    const int callAt = StatementAt(InSt::LoPushAll) - 2; // at the argument
    ASSERT_EQ(DecodeItem(callAt, Ib.CodeLimit)->Op, DecodedOp::Call);
    Rc.StopRequest = 1;
    bool stoppedShort = true;
    // The call: its argument on the Gl stack and the return index pushed, at the callee's first item.
    int at = Run(callAt, stoppedShort);
    EXPECT_FALSE(stoppedShort);
    EXPECT_EQ(Vs.GlTypeStack.Count, 1);
    EXPECT_EQ(Vs.GlNumStack.Items[1], 3);
    EXPECT_EQ(Vs.CallReturnStack.Count, 1);
    EXPECT_EQ(Vs.CallFrameStack.Count, 0);
    EXPECT_EQ(DecodeItem(at, Ib.CodeLimit)->Op, DecodedOp::Enter);
    // The callee's frame and bind.
    at = Run(at, stoppedShort);
    EXPECT_EQ(Vs.GlTypeStack.Count, 0);
    EXPECT_EQ(Vs.CallFrameStack.Count, 1);
    EXPECT_EQ(Num("0001N"), 3);
    at = Run(Run(at, stoppedShort), stoppedShort); // L = N, TWICE = L * 2
    // The return: the value on the Gl stack, the frame and the return index dropped, at the return index.
    at = Run(at, stoppedShort);
    EXPECT_EQ(Vs.GlTypeStack.Count, 1);
    EXPECT_EQ(Vs.GlNumStack.Items[1], 6);
    EXPECT_EQ(Vs.CallFrameStack.Count, 0);
    EXPECT_EQ(Vs.CallReturnStack.Count, 0);
    EXPECT_EQ(DecodeItem(at, Ib.CodeLimit)->Op, DecodedOp::ReturnSite);
    // Continued: the caller's side of the return and the rest of the statement.
    Rc.StopRequest = 0;
    EXPECT_EQ(RunLoopFrom(at), LoopExit::End);
    EXPECT_EQ(Num("Y"), 7);
    EXPECT_EQ(Vs.GlTypeStack.Count, 0);
}

// The decoded form is the program's memory: about as large as the code it stands for (one entry for
// each statement run, not for every item), and given back, all of it, at the reset and after a run
// that ran out of memory (both empty the program's stores the same way).
TEST_F(Decoded, TheDecodedFormCostsAboutTwiceItsCodeAndTheResetGivesItBack) {
    constexpr int Lines = 15000;
    ASSERT_TRUE(Compile(QStringList(Lines, QStringLiteral("X = X + 1"))));
    EXPECT_EQ(RunLoopFrom(ProgramCodeStart), LoopExit::End);
    EXPECT_EQ(Num("X"), Lines);
    const std::size_t code = static_cast<std::size_t>(Ib.CodeLimit + 1) * sizeof(CodeItemType);
    EXPECT_GE(DecodedEntries.size(), static_cast<std::size_t>(Lines)); // every statement ran decoded
    EXPECT_LE(DecodedBytes(), 2 * code) << DecodedBytes() << " bytes decoded for " << code << " of code";
    InitAll();
    EXPECT_EQ(DecodedBytes(), 0u);
    ASSERT_TRUE(Compile({"X = 1", "X = X + 1"}));
    EXPECT_EQ(RunLoopFrom(ProgramCodeStart), LoopExit::End);
    EXPECT_GT(DecodedBytes(), 0u);
    ReleaseProgramData();
    EXPECT_EQ(DecodedBytes(), 0u);
}

// A long run of statements each shaped like a FOR loop's step (v = x + v) is decoded one statement at a
// time: none takes the next for its loop's test and decodes that in turn, down the whole run.
TEST_F(Decoded, ALongRunOfStatementsShapedLikeALoopStepIsDecodedOneByOne) {
    constexpr int Lines = 20000;
    ASSERT_TRUE(Compile(QStringList(Lines, QStringLiteral("X = 1 + X"))));
    EXPECT_EQ(RunLoopFrom(ProgramCodeStart), LoopExit::End);
    EXPECT_EQ(Num("X"), Lines);
}

// The decoded side of a long program is made in steps, and a stop request between them ends the
// making: counted by the slots made, which stay short of the code's length.
TEST_F(Decoded, AStopEndsTheMakingOfALongProgramsDecodedSide) {
    constexpr int Limit = 3 << 20;
    ReleaseDecodedCode();
    Rc.StopRequest = 1;
    EXPECT_FALSE(FitDecodedCode(Limit));
    EXPECT_LT(DecodedSlots.size(), static_cast<std::size_t>(Limit));
    Rc.StopRequest = 0;
    EXPECT_TRUE(FitDecodedCode(Limit));
    EXPECT_EQ(DecodedSlots.size(), static_cast<std::size_t>(Limit) + 1);
    ReleaseDecodedCode();
}

// Random programs of numeric and string statements, each run item by item and decoded: the same
// values, the same branches, the same error at the same place. The statements cover the shapes the
// loop fuses and the decoder runs in one pass: every operator of two numbers, ABS, FIX, INT, SGN and
// the sign change, array elements read and assigned (literals among the values), variables updated
// from their own value, FOR loops with and without STEP (literal and variable steps; literal,
// variable and variable-and-literal limits), joins appended in place, CHR$ appended, LEN, MID$ of a
// text compared with a literal, texts copied, pieces of texts appended, values handed to a general function
// and a FUNCTION's binds, and SUB and FUNCTION calls, recursion among them with values waiting on the stack
// (shallow, deep, and without end).
class RandomProgram {
public:
    explicit RandomProgram(unsigned seed) : random_(seed) {}

    QStringList Lines() {
        QStringList lines{QStringLiteral("DIM V(20)"), QStringLiteral("FUNCTION F(P, Q)"),
                          QStringLiteral("  F = P * Q - ABS(P)"), QStringLiteral("END FUNCTION")};
        lines.append(Procedures());
        const char* names[] = {"A", "B", "C", "D"};
        for (const char* name : names)
            lines.append(QStringLiteral("%1 = %2").arg(QLatin1String(name), Literal()));
        lines.append(QStringLiteral("FOR I = 0 TO 10 : V(I) = I * %1 : NEXT I").arg(Literal()));
        for (int k = 0; k < 7; ++k) {
            switch (Pick(20)) {
            case 0: lines.append(QStringLiteral("X = %1").arg(Expression(3))); break;
            case 1:
                lines.append(QStringLiteral("IF %1 THEN Y = Y + 1 ELSE Y = Y - 1").arg(Condition(2)));
                break;
            case 2: lines.append(QStringLiteral("V(%1) = %2").arg(Subscript(), Expression(2))); break;
            case 3:
                lines.append(QStringLiteral("FOR J = %1 TO %2 STEP %3 : Z = Z + J * %4 : NEXT J")
                                 .arg(Small(), Small(), Step(), Expression(1)));
                break;
            case 4:
                lines.append(QStringLiteral("FOR J = %1 TO %2 : S$ = S$ + CHR$(65 + (%3 MOD 26)) : NEXT J")
                                 .arg(Small(), Small(), Expression(1)));
                break;
            case 5: lines.append(QStringLiteral("S$ = S$ + CHR$(%1)").arg(Expression(2))); break;
            case 6: lines.append(Join()); break;
            case 7:
                lines.append(
                    QStringLiteral("X = MAX(%1, %2) + F(%3, Y)").arg(Expression(1), Expression(1), Leaf()));
                break;
            case 8: lines.append(QStringLiteral("IF LEN(S$) > %1 THEN S$ = \"\"").arg(Expression(1))); break;
            case 9: lines.append(Update()); break;
            case 10: lines.append(QStringLiteral("V(%1) = %2").arg(Subscript(), Literal())); break;
            case 11: lines.append(Call()); break;
            case 12: lines.append(FunctionCall()); break;
            case 13: lines.append(PendingRecursion()); break;
            case 15: lines.append(AppendPiece()); break;
            case 14:
                lines.append(Pick(2) == 0 ? QStringLiteral("T$ = S$") : QStringLiteral("S$ = T$"));
                break;
            default: lines.append(Loop()); break;
            }
        }
        return lines;
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    QString Literal() {
        static const char* const literals[] = {"0",  "1",  "2",     "3",      "7",   "0.5", "2.5",   "-1",
                                               "-4", "10", "1E300", "1E-300", "0.1", "5",   "-2.25", "4"};
        return QString::fromLatin1(literals[Pick(16)]);
    }

    // Loop bounds and steps that keep every loop short (and its step not 0).
    QString Small() {
        static const char* const bounds[] = {"-3", "0", "1", "2.5", "4", "7"};
        return QString::fromLatin1(bounds[Pick(6)]);
    }
    QString Step() {
        static const char* const steps[] = {"1", "-1", "0.5", "-2", "2.5"};
        return QString::fromLatin1(steps[Pick(5)]);
    }

    // Whole and fractional subscripts (a fraction is the general path's case), one of them out of range.
    QString Subscript() {
        static const char* const subscripts[] = {"I - 1", "3", "I / 2", "INT(2.5)", "I + 10", "2 * 4"};
        return QString::fromLatin1(subscripts[Pick(6)]);
    }

    QString Leaf() {
        static const char* const leaves[] = {"A", "B",    "C",    "D",        "X",      "Y",
                                             "Z", "V(I)", "V(2)", "V(I - 3)", "LEN(S$)"};
        return Pick(3) == 0 ? Literal() : QString::fromLatin1(leaves[Pick(11)]);
    }

    QString Expression(int depth) {
        if (depth == 0 || Pick(4) == 0) return Leaf();
        static const char* const operators[] = {" + ", " - ", " * ",  " / ",  " + ",
                                                " - ", " * ", " \\ ", " MOD "};
        static const char* const functions[] = {"SGN", "ABS", "INT", "FIX"};
        switch (Pick(7)) {
        case 0:
        case 1: return QStringLiteral("%1(%2)").arg(QLatin1String(functions[Pick(4)]), Expression(depth - 1));
        case 2: return QStringLiteral("-(%1)").arg(Expression(depth - 1));
        default: break;
        }
        const int op = Pick(9);
        if (op < 7 || Pick(3) == 0)
            return QStringLiteral("(%1%2%3)")
                .arg(Expression(depth - 1), QString::fromLatin1(operators[op]), Expression(depth - 1));
        // \ and MOD mostly of a whole dividend by a positive whole divisor, so that most programs run on
        // (or of a leaf, which may be a fraction or out of range: the operator's errors)
        static const char* const divisors[] = {"1", "2", "3", "7", "26"};
        const QString dividend = Pick(2) == 0 ? QStringLiteral("INT(%1)").arg(Expression(depth - 1)) : Leaf();
        return QStringLiteral("(%1%2%3)")
            .arg(dividend, QString::fromLatin1(operators[op]), QString::fromLatin1(divisors[Pick(5)]));
    }

    // A piece of T$ or of a literal appended to S$, its arguments at times out of the function's range.
    QString AppendPiece() {
        const QString source = Pick(2) == 0 ? QStringLiteral("T$") : QStringLiteral("\"ABCDEFG\"");
        switch (Pick(3)) {
        case 0: return QStringLiteral("S$ = S$ + MID$(%1, %2, %3)").arg(source, Expression(1), Expression(1));
        case 1: return QStringLiteral("S$ = S$ + LEFT$(%1, %2)").arg(source, Expression(1));
        default: return QStringLiteral("S$ = S$ & RIGHT$(%1, %2)").arg(source, Expression(1));
        }
    }

    QString Condition(int depth) {
        static const char* const comparisons[] = {" = ", " <> ", " < ", " > ", " <= ", " >= "};
        const QString comparison = Expression(1) + QString::fromLatin1(comparisons[Pick(6)]) + Expression(1);
        if (depth == 0) return comparison;
        // A general function's result meets the comparison on the stack, so the decoder leaves the
        // condition to the loop, which fuses the comparison with the IF or keeps its boolean.
        const QString maximum = QStringLiteral("MAX(%1, %2)").arg(Expression(1), Expression(1));
        static const char* const texts[] = {"", "A", "AB", "Z"};
        switch (Pick(9)) {
        case 6:
        case 7:
            // a piece of S$ against a literal, its start and count at times out of MID$'s range
            return QStringLiteral("MID$(S$, %1, %2) %3 \"%4\"")
                .arg(Expression(1), Expression(1), QString::fromLatin1(comparisons[Pick(6)]).trimmed(),
                     QLatin1String(texts[Pick(4)]));
        case 4: return maximum + QString::fromLatin1(comparisons[Pick(6)]) + Expression(1);
        case 5:
            return QStringLiteral("(%1%2MIN(%3, %4)) OR (%5)")
                .arg(maximum, QString::fromLatin1(comparisons[Pick(6)]), Expression(1), Leaf(), comparison);
        case 0: return QStringLiteral("(%1) AND (%2)").arg(comparison, Condition(depth - 1));
        case 1: return QStringLiteral("(%1) OR (%2)").arg(comparison, Condition(depth - 1));
        case 2: return QStringLiteral("NOT (%1)").arg(comparison);
        case 3: return QStringLiteral("S$ %1 T$").arg(QString::fromLatin1(comparisons[Pick(6)]).trimmed());
        default: return comparison;
        }
    }

    // SUBs and FUNCTIONs with by-reference parameters and locals: recursive (twice per level, the
    // results combined as the call's own entries do it; with one number of its own, saved alone, or
    // several; with calls of itself for arguments, its value assigned as it is), calling one another from
    // inside (the caller's frame saved), and frames with a string local or an array of their own (saved the
    // general way; STRS's recursion is bounded by its text too, since a large negative P would save ever
    // longer copies of it); recursions that leave values on the stack below each deeper call.
    static QStringList Procedures() {
        return {QStringLiteral("SUB ADDTO(P, Q)"),
                QStringLiteral("  W = P * 2 + Q"),
                QStringLiteral("  P = W - Q : Q = Q + 1"),
                QStringLiteral("END SUB"),
                QStringLiteral("FUNCTION REC(N, M)"),
                QStringLiteral("  L = N * M"),
                QStringLiteral(
                    "  IF N <= 0 OR N > 8 THEN REC = M ELSE REC = REC(N - 1, M + L) + REC(N - 2, L) - L"),
                QStringLiteral("END FUNCTION"),
                QStringLiteral("FUNCTION ONE(N)"),
                QStringLiteral("  IF N <= 0 OR N > 7 THEN ONE = N ELSE ONE = ONE(N - 1) + N * ONE(N - 2)"),
                QStringLiteral("END FUNCTION"),
                QStringLiteral("SUB OUTER(P)"),
                QStringLiteral("  K = P + 1"),
                QStringLiteral("  CALL ADDTO(K, P)"),
                QStringLiteral("  P = K + REC(2, P) - ONE(5)"),
                QStringLiteral("END SUB"),
                QStringLiteral("SUB STRS(P)"),
                QStringLiteral("  U$ = U$ + \"x\" : P = P + LEN(U$)"),
                QStringLiteral("  IF P < 3 AND LEN(U$) < 40 THEN CALL STRS(P)"),
                QStringLiteral("  P = P + REC(1, P)"),
                QStringLiteral("END SUB"),
                QStringLiteral("FUNCTION PEND(N)"),
                QStringLiteral("  IF N = 0 THEN PEND = 1 ELSE PEND = PEND(0) + PEND(N - 1)"),
                QStringLiteral("END FUNCTION"),
                QStringLiteral("FUNCTION PMUL(N, M)"),
                QStringLiteral("  IF N = 0 THEN PMUL = M ELSE PMUL = ONE(1) * PMUL(N - 1, M) - PEND(0) + 1"),
                QStringLiteral("END FUNCTION"),
                QStringLiteral("FUNCTION PA(N)"),
                QStringLiteral("  IF N = 0 THEN PA = 0 ELSE PA = PEND(0) + PB(N - 1)"),
                QStringLiteral("END FUNCTION"),
                QStringLiteral("FUNCTION PB(N)"),
                QStringLiteral("  IF N = 0 THEN PB = 0 ELSE PB = 2 * PA(N - 1) - ONE(1)"),
                QStringLiteral("END FUNCTION"),
                QStringLiteral("FUNCTION TK(N, M, K)"),
                QStringLiteral("  IF M < N AND N < 5 AND M > -2 AND K > -2 THEN TK = TK(TK(N - 1, M, K), "
                               "TK(M - 1, K, N), TK(K - 1, N, M)) ELSE TK = K"),
                QStringLiteral("END FUNCTION"),
                QStringLiteral("SUB ARR(P)"),
                QStringLiteral("  DIM LA(3)"),
                QStringLiteral("  LA(1) = P"),
                QStringLiteral("  IF P < 3 THEN CALL ARR(P + 1)"),
                QStringLiteral("  P = LA(1) + P"),
                QStringLiteral("END SUB")};
    }

    // A variable passed by reference, or a value (an element, an expression) passed by value.
    QString Argument() {
        static const char* const variables[] = {"A", "B", "C", "D", "X", "Y", "Z"};
        return Pick(3) == 0 ? Expression(1) : QString::fromLatin1(variables[Pick(7)]);
    }

    QString Call() {
        switch (Pick(4)) {
        case 0: return QStringLiteral("CALL ADDTO(%1, %2)").arg(Argument(), Argument());
        case 1: return QStringLiteral("CALL OUTER(%1)").arg(Argument());
        case 2: return QStringLiteral("CALL STRS(%1)").arg(Argument());
        default: return QStringLiteral("CALL ARR(%1)").arg(Argument());
        }
    }

    QString FunctionCall() {
        switch (Pick(4)) {
        case 0: return QStringLiteral("X = %1 + REC(%2, %3)").arg(Leaf(), Leaf(), Expression(1));
        case 1: return QStringLiteral("Y = REC(%1, %2) * REC(%3, Y)").arg(Leaf(), Leaf(), Leaf());
        case 2: return QStringLiteral("X = TK(INT(%1), INT(%2), INT(%3))").arg(Leaf(), Leaf(), Leaf());
        default: return QStringLiteral("Z = REC(REC(%1, 1), %2) / 3").arg(Leaf(), Leaf());
        }
    }

    // A recursion whose every level leaves a value on the stack below the call that goes deeper (a
    // function's result, a literal, two arguments, two functions calling each other): shallow, past the
    // stacks' first room, deep, and without end (a negative depth never meets the end test), which the
    // nesting limit ends.
    QString PendingRecursion() {
        static const char* const depths[] = {"0", "3", "100", "101", "150", "2500", "-1"};
        const QString depth = QString::fromLatin1(depths[Pick(7)]);
        switch (Pick(3)) {
        case 0: return QStringLiteral("X = %1 + PEND(%2)").arg(Leaf(), depth);
        case 1: return QStringLiteral("Y = PMUL(%1, %2)").arg(depth, Leaf());
        default: return QStringLiteral("Z = PA(%1) / 3").arg(depth);
        }
    }

    // A variable updated by an operation on its own value.
    QString Update() {
        static const char* const names[] = {"X", "Y", "Z"};
        static const char* const operators[] = {" + ", " - ", " * "};
        const QString name = QString::fromLatin1(names[Pick(3)]);
        return QStringLiteral("%1 = %1%2%3")
            .arg(name, QString::fromLatin1(operators[Pick(3)]), Expression(1));
    }

    // A FOR loop whose limit is a variable, with or without a literal added or taken away, or a
    // literal, and whose step (if any) is a variable.
    // The body is one statement (which the run may take with the step in one go, carrying the loop
    // variable, an updated variable, the step and the limit from round to round, and storing them when
    // it leaves unless the body reads the updated one; some bodies write the limit's or the step's
    // variable), or a block IF.
    QStringList Loop() {
        static const char* const limits[] = {"L", "L - 1", "L + 2", "3", "0.1 + L", "L - 0.1"};
        static const char* const bodies[] = {"Z = Z * 0.5 + J", "Z = Z + J", "Z = Z - J * 2",
                                             "Z = Z * %1",      "V(J) = %1", "V(INT(ABS(J)) MOD 20) = %1",
                                             "L = L - 0.5",     "W = W * 2", "Z = Z - Z * 0.5"};
        const QString limit = QString::fromLatin1(limits[Pick(6)]);
        if (Pick(2) == 0) {
            // an IF on an element the loop variable names (which the run reads with the loop's value)
            // or on another comparison; the loop starts where the subscripts are valid
            static const char* const starts[] = {"0", "1", "2.5"};
            const QString head = QStringLiteral("L = %1 : W = %2 : FOR J = %3 TO %4")
                                     .arg(Small(), Step(), QString::fromLatin1(starts[Pick(3)]),
                                          limit + (Pick(2) == 0 ? " STEP W" : ""));
            QString condition;
            switch (Pick(4)) {
            case 0: condition = QStringLiteral("V(J) = 0"); break;
            case 1: condition = QStringLiteral("V(J) > %1").arg(Leaf()); break;
            case 2: condition = QStringLiteral("%1 <= V(J)").arg(Leaf()); break;
            default: condition = Condition(0); break;
            }
            return {head, QStringLiteral("IF %1 THEN").arg(condition), QStringLiteral("Z = Z + J"),
                    QStringLiteral("END IF"), QStringLiteral("NEXT J")};
        }
        // a step of the loop variable itself, which doubles it (from a positive start)
        if (Pick(8) == 0)
            return {QStringLiteral("L = %1 : FOR J = %2 TO %3 STEP J : Z = Z + J : NEXT J")
                        .arg(Small(), Pick(2) == 0 ? QStringLiteral("1") : QStringLiteral("2.5"), limit)};
        const QString head = QStringLiteral("L = %1 : W = %2 : FOR J = %3 TO %4")
                                 .arg(Small(), Step(), Small(), limit + (Pick(2) == 0 ? " STEP W" : ""));
        QString body = QString::fromLatin1(bodies[Pick(9)]);
        if (body.contains(QStringLiteral("%1"))) body = body.arg(Literal());
        // or two statements, which the run may take with the step in one go as well
        if (Pick(3) == 0) body += QStringLiteral(" : X = %1").arg(Expression(1));
        return {head + QStringLiteral(" : ") + body + QStringLiteral(" : NEXT J")};
    }

    // A string join: appended to the variable itself (done in place) or a new text.
    QString Join() {
        switch (Pick(4)) {
        case 0: return QStringLiteral("T$ = T$ + S$");
        case 1: return QStringLiteral("T$ = T$ & \"ab\"");
        case 2: return QStringLiteral("T$ = S$ + T$");
        default: return QStringLiteral("S$ = S$ & T$ : T$ = \"\"");
        }
    }

    std::mt19937 random_;
};

// The decoded shapes the random programs reached (entries of the current generation, after the decoded
// run), so that the test shows it compared each of them with the item-by-item run.
enum Shape : std::size_t {
    Copy,
    Update,
    ElementLiteral,
    Comparison,
    VariableWithLiteral,
    SmallStep,
    PointerStep,
    VariableLimit,
    SumLimit,
    SmallLimit,
    StepLimit,
    MidPiece,
    TextCopy,
    Piece,
    ShapeCount
};

void NoteDecodedShapes(std::array<int, ShapeCount>& shapes) {
    for (int at = 0; static_cast<std::size_t>(at) < DecodedSlots.size(); ++at) {
        if (!DecodedEntry(at)) continue;
        const DecodedItem& entry = *DecodedEntry(at);
        if (entry.Op == DecodedOp::LetNumber &&
            DecodedNodes[static_cast<std::size_t>(entry.Root)].Code <= NodeCode::Variable)
            ++shapes[Copy];
        if (entry.Op == DecodedOp::LetUpdate) ++shapes[Update];
        if (entry.Op == DecodedOp::LetElementLiteral) ++shapes[ElementLiteral];
        if (entry.Op == DecodedOp::Branch && entry.Operation != NumberOp::Count) ++shapes[Comparison];
        if (entry.Op == DecodedOp::Branch && entry.Outcomes != 0) ++shapes[VariableWithLiteral];
        if (entry.Op == DecodedOp::MidBranch) ++shapes[MidPiece];
        if (entry.Op == DecodedOp::LetText) ++shapes[TextCopy];
        if (entry.Op == DecodedOp::AppendPiece) ++shapes[Piece];
        if (entry.Op != DecodedOp::ForNext || !(entry.LoopForm & LoopForm::Leaves)) continue;
        ++shapes[(entry.LoopForm & LoopForm::SmallStep) ? SmallStep : PointerStep];
        if (entry.LoopForm & LoopForm::WithStep) ++shapes[StepLimit];
        if (entry.LoopForm & LoopForm::LimitSum)
            ++shapes[SumLimit];
        else if (entry.LoopForm & LoopForm::SmallLimit)
            ++shapes[SmallLimit];
        else
            ++shapes[VariableLimit];
    }
}

struct Outcome {
    LoopExit Exit = LoopExit::End;
    int Error = 0;
    int Position = 0;
    std::vector<Extended> Values;
    QStringList Texts;
    std::vector<int> StackCounts; // what the run left on the value, save, frame and return stacks
};

bool Decoded::RunBothWays(const QStringList& lines, Outcome* outcome) {
    for (int way = 0; way < 2; ++way) {
        Eng.FastPathsEnabled = way == 1;
        if (!Compile(lines)) return false;
        Outcome& o = outcome[way];
        o.Exit = RunLoopFrom(ProgramCodeStart);
        o.Error = Fe.ErrorNumber;
        o.Position = Fe.ErrorPosition;
        for (const char* name : {"A", "B", "C", "D", "X", "Y", "Z", "I", "J", "L", "W"}) {
            const int index = FindVariable(QString::fromLatin1(name), VarType::Real);
            o.Values.push_back(index > 0 ? Tb.NumVarTable[static_cast<std::size_t>(index)].Value : 0);
        }
        for (int at = 0; at <= Tb.NumofRegisteredANumVar; ++at)
            o.Values.push_back(Tb.ANumVarTable[static_cast<std::size_t>(at)]);
        for (const NumVarType& record : Tb.NumVarTable) // the procedures' locals and parameters too
            o.Values.push_back(record.Value);
        for (int at = 1; at <= Vs.LoNumStack.Count; ++at)
            o.Values.push_back(Vs.LoNumStack.Items[static_cast<std::size_t>(at)]);
        o.StackCounts = {Vs.GlTypeStack.Count,    Vs.GlNumStack.Count, Vs.LoTypeStack.Count,
                         Vs.LoNumStack.Count,     Vs.LoStrStack.Count, Vs.CallFrameStack.Count,
                         Vs.CallReturnStack.Count};
        for (const char* name : {"S$", "T$"}) {
            const int index = FindVariable(QString::fromLatin1(name), VarType::String);
            o.Texts.push_back(index > 0 ? Tb.StrVarTable[static_cast<std::size_t>(index)].Value : QString());
        }
        Fe.ErrorNumber = 0;
    }
    Eng.FastPathsEnabled = true;
    return true;
}

void Decoded::ExpectSameOutcomes(const QStringList& lines, const Outcome* outcome) {
    const QString program = lines.join(u'\n');
    EXPECT_EQ(outcome[0].Exit, outcome[1].Exit) << program.toStdString();
    EXPECT_EQ(outcome[0].Error, outcome[1].Error) << program.toStdString();
    EXPECT_EQ(outcome[0].Position, outcome[1].Position) << program.toStdString();
    EXPECT_EQ(outcome[0].Texts, outcome[1].Texts) << program.toStdString();
    EXPECT_EQ(outcome[0].StackCounts, outcome[1].StackCounts) << program.toStdString();
    ASSERT_EQ(outcome[0].Values.size(), outcome[1].Values.size());
    for (std::size_t k = 0; k < outcome[0].Values.size(); ++k) {
        // the same bits: -0 and 0 differ, and NaN (never expected) would fail
        EXPECT_EQ(std::memcmp(&outcome[0].Values[k], &outcome[1].Values[k], 10), 0)
            << program.toStdString() << "\nvalue " << k;
    }
}

TEST_F(Decoded, ShortcutsOfTheDecodedArithmeticMatchTheGeneralPathAtTheirEdges) {
    struct Case {
        QStringList Lines;
        int Error;
    };
    const Case cases[] = {
        // remainders and quotients of whole numbers: a zero result is +0 whatever the dividend's sign
        {{"A = -5 : B = 0 * -1 : C = -7 : D = 999999999999999999", "X = A MOD 5 : Y = B MOD 5 : Z = C MOD 3",
          "I = C \\ 2 : J = B \\ 4 : L = D MOD 7 : W = -D \\ 3"},
         0},
        // divisors the literal form does not take: 0.5, 1E18 (past the exact range), 0
        {{"A = 10", "X = A MOD 1E18 : Y = A \\ 1E18"}, 0},
        {{"A = 10", "X = A MOD 0.5"}, Err::IntModDivisor},
        {{"A = 10", "X = A MOD 0"}, Err::IntModRange},
        // dividends that are not whole or beyond 64 bits; -0 and 1E18 at the edge of the exact range
        {{"A = 7.5", "X = A MOD 3"}, Err::IntModDividend},
        {{"A = 1E300", "X = A \\ 3"}, Err::IntDivRange},
        {{"A = 1E18 : B = -1E18", "X = A MOD 7 : Y = B \\ 7"}, 0},
        // AND and OR decide both comparisons: one whose operand fails fails the whole, whichever side
        {{"A = 7.5 : X = 0", "IF X = 0 OR A MOD 3 = 0 THEN Y = 1"}, Err::IntModDividend},
        {{"A = 7.5 : X = 0", "IF A MOD 3 = 0 OR X = 0 THEN Y = 1"}, Err::IntModDividend},
        {{"A = 7.5 : X = 0", "IF X = 1 AND A \\ 3 = 0 THEN Y = 1"}, Err::IntDivDividend},
        {{"Z = 0 : X = 0", "IF X = 0 OR 1 / Z > 0 THEN Y = 1"}, Err::DivisionByZero},
        // a FOR body of two LETs run with the step: to the end, and failing in either LET or the step
        {{"A = 1 : B = 2", "FOR I = 1 TO 100 : A = A + I * 2 : B = A - I : NEXT I"}, 0},
        {{"A = 1 : B = 2", "FOR I = 1 TO 100 : A = A * 1E300 : B = A - I : NEXT I"},
         Err::OperatorResultRange},
        {{"A = 1 : B = 2", "FOR I = 1 TO 100 : A = A + 1 : B = B * -1E300 : NEXT I"},
         Err::OperatorResultRange},
        {{"A = 1 : B = 0", "FOR I = 1 TO 20 STEP 1E307 : B = B - 0 : A = B * -1 : NEXT I"}, 0},
        // comparisons of two variables taken on the outcome (-0 equals 0)
        {{"A = 0 : B = 0 * -1", "IF A = B THEN X = 1", "IF A < B THEN Y = 1", "IF B >= A THEN Z = B"}, 0},
        {{"I = 0 : C = 0 : N = 100", "DO WHILE I < N", "I = I + 1",
          "IF I MOD 3 = 0 OR I MOD 5 = 0 THEN C = C + 1", "IF I MOD 2 = 0 AND I MOD 7 <> 0 THEN D = D + 1",
          "IF (I < 50) = (I MOD 2 = 1) THEN B = B + 1", "LOOP"},
         0},
    };
    for (const Case& c : cases) {
        Outcome outcome[2];
        ASSERT_TRUE(RunBothWays(c.Lines, outcome));
        EXPECT_EQ(outcome[0].Error, c.Error) << c.Lines.join(u'\n').toStdString();
        ExpectSameOutcomes(c.Lines, outcome);
    }
    EXPECT_EQ(Num("C"), 47);
    EXPECT_EQ(Num("D"), 43);
}

TEST_F(Decoded, RandomProgramsGiveTheSameResultsBothWays) {
    constexpr int Programs = 600;
    // Longer searches run other seeds: LORVEX_RANDOM_SEED_BASE=n takes seeds n + 1 to n + 600.
    const unsigned seedBase = static_cast<unsigned>(qEnvironmentVariableIntValue("LORVEX_RANDOM_SEED_BASE"));
    int decodedRuns = 0;
    int textRuns = 0;
    int uncompiled = 0;
    std::array<int, ShapeCount> shapes{};
    for (int seed = 1; seed <= Programs; ++seed) {
        const QStringList lines = RandomProgram(seedBase + static_cast<unsigned>(seed)).Lines();
        // A rare program has an expression past the compiler's limit of items: nothing to compare.
        if (!CompileProgramText(lines.join(QStringLiteral("\r\n")))) {
            ++uncompiled;
            continue;
        }
        Outcome outcome[2];
        ASSERT_TRUE(RunBothWays(lines, outcome));
        NoteDecodedShapes(shapes);
        if (outcome[1].Exit == LoopExit::End) ++decodedRuns;
        if (!outcome[1].Texts.join(QString()).isEmpty()) ++textRuns;
        ExpectSameOutcomes(lines, outcome);
    }
    EXPECT_LT(uncompiled, Programs / 50);
    // Most programs end normally, so the comparison covers the decoded statements and not only errors.
    EXPECT_GT(decodedRuns, Programs / 4);
    EXPECT_GT(textRuns, Programs / 4);
    for (std::size_t shape = 0; shape < ShapeCount; ++shape)
        EXPECT_GT(shapes[shape], Programs / 50) << "decoded shape " << shape;
}

} // namespace
