// Run-time formulas, MOUSE, SETVERSION, HELP and the debugging listings. Programs are compiled with the
// real front end; the executors run either directly (with the program counter placed after their
// statement item) or through the real run loop.
#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/coords.h"
#include "engine/dispatch.h"
#include "engine/drawexec.h"
#include "engine/enginehooks.h"
#include "engine/enginestate.h"
#include "engine/formulaexec.h"
#include "engine/handover.h"
#include "engine/runloop.h"
#include "engine/runwindowqueue.h"
#include "frontend/compile.h"
#include "frontend/declnames.h"
#include "frontend/initall.h"
#include "frontend/listing.h"
#include "frontend/parse.h"
#include "tests/compilesupport.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QStringList>

#include <climits>
#include <memory>
#include <vector>

namespace {

std::vector<int> Kinds(const FormVarType& formula) {
    std::vector<int> kinds;
    for (int at = 1; at <= FormulaCodeSize && formula.Code[static_cast<std::size_t>(at)].FirstCode != 0; ++at)
        kinds.push_back(formula.Code[static_cast<std::size_t>(at)].FirstCode);
    return kinds;
}

std::vector<CodeItemType> ImmediateAreaNow() {
    return std::vector<CodeItemType>(Ib.CodeBuffer.begin() + 1,
                                     Ib.CodeBuffer.begin() + ImmediateAreaLast + 1);
}

class Formula : public ::testing::Test {
protected:
    void SetUp() override {
        InstallEngineReset();
        Rc.RunMode = RunKind::Program;
        InitAll();
        RunWindowQueue::Instance().Reset();
        Rc.StopRequest = 0;
        Fe.ErrorNumber = 0;
        Fe.ErrorNameIndex = 0;
        Eng.EvalFormTrap = 0;
        Eng.EvalFormVarIndex = 0;
        Rc.MouseEvent = 0;
        Rc.GScreenOpen = 0;
    }
    void TearDown() override {
        Rc.RunMode = RunKind::Program;
        Rc.GScreenOpen = 0;
        SetCurrentGraphSurface(nullptr);
        Hooks.ShowHelpHook = nullptr;
        RunWindowQueue::Instance().Reset();
    }

    // Compiles `program` (lines joined by CR LF) as a run of the program would.
    [[nodiscard]] static ::testing::AssertionResult Compile(const QStringList& lines) {
        return CompileProgramLines(lines);
    }

    // Compiles an immediate command into slots 1 to 100, keeping the program.
    [[nodiscard]] static ::testing::AssertionResult CompileCommand(const QString& command) {
        Rc.RunMode = RunKind::Immediate;
        Rd.CompileText = command + QStringLiteral("\r\n") + QChar(0) + QChar(0);
        Rd.CompileTextLength = static_cast<int>(Rd.CompileText.size());
        Fe.ErrorNumber = 0;
        if (CompileImmediate()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "compile error " << Fe.ErrorNumber;
    }

    static LoopExit RunFrom(int index) {
        Ib.CodeIndex = index;
        FetchCurrentItem();
        return RunLoop();
    }

    // Places the program counter as the run loop has it while the `n`-th statement item of `code`
    // (counted from `from`) runs; false when there is none.
    static bool PlaceAt(int code, int n = 1, int from = ProgramCodeStart) {
        for (int at = from; at <= Ib.CurrentmaxCodeNum; ++at) {
            const CodeItemType& item = Ib.CodeBuffer[static_cast<std::size_t>(at)];
            if (item.FirstCode == CodeKind::End) break;
            if (item.FirstCode == CodeKind::Statement && item.SecondCode == code && --n == 0) {
                Ib.CurrentItem = item;
                Eng.CurrentItemIndex = at;
                Ib.CodeIndex = at + 1;
                return true;
            }
        }
        return false;
    }

    static int NumIndex(const char* name) { return FindVariable(QString::fromLatin1(name), VarType::Real); }
    static Extended& Num(const char* name) {
        const int index = NumIndex(name);
        EXPECT_GT(index, 0) << name;
        return Tb.NumVarTable[static_cast<std::size_t>(index > 0 ? index : 0)].Value;
    }
    static FormVarType& Form(const char* name) {
        const int index = FindVariable(QString::fromLatin1(name), VarType::Formula);
        EXPECT_GT(index, 0) << name;
        return Tb.FormVarTable[static_cast<std::size_t>(index > 0 ? index : 0)];
    }

    static QStringList Output() {
        QStringList lines;
        for (RunWindowEvent& event : RunWindowQueue::Instance().TakeAll())
            if (event.Op == RunWindowOp::AppendLine) lines.append(event.Text);
        return lines;
    }

    // The run loop reaches this unit only once it routes statements here; until then the tests that
    // need the whole evaluation are skipped, not passed.
    static bool LoopRoutesHere() {
        const ::testing::AssertionResult compiled = Compile({QStringLiteral("SETVERSION(3)")});
        EXPECT_TRUE(compiled);
        if (!compiled) return false;
        const LoopExit exit = RunFrom(ProgramCodeStart);
        const bool routed = exit == LoopExit::End && Ps.LanguageVersion == 30;
        InitAll();
        Fe.ErrorNumber = 0;
        return routed;
    }
};

#define REQUIRE_ROUTING()                                                                                    \
    if (!LoopRoutesHere()) GTEST_SKIP() << "the run loop does not route to the formula statements yet"

// ---- STRTOFORM ----------------------------------------------------------------------------------------

TEST_F(Formula, StrToFormStoresTheConvertedExpressionBetweenBrackets) {
    ASSERT_TRUE(Compile({QStringLiteral("X = 3"), QStringLiteral("STRTOFORM(\"X * 2 + 1\", F@, E)"),
                         QStringLiteral("PRINT E")}));
    Num("E") = 99;
    ASSERT_TRUE(PlaceAt(St::STRTOFORM));
    const int after = Ib.CodeIndex + 3;
    ExecStrToForm();

    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Num("E"), 0);
    EXPECT_EQ(Ib.CodeIndex, after); // on with the item after the three operands
    const FormVarType& f = Form("F@");
    EXPECT_EQ(Kinds(f), (std::vector<int>{CodeKind::ExprOpen, CodeKind::NumVar, CodeKind::NumLiteral,
                                          CodeKind::Operator, CodeKind::NumLiteral, CodeKind::Operator,
                                          CodeKind::ExprClose}));
    EXPECT_EQ(f.Code[1], (CodeItemType{CodeKind::ExprOpen, 0, 1}));
    EXPECT_EQ(f.Code[2].SecondCode, NumIndex("X"));
    EXPECT_EQ(f.Code[4].SecondCode, Op::Multiply);
    EXPECT_EQ(f.Code[6].SecondCode, Op::Plus);
}

TEST_F(Formula, StrToFormOfABadTextKeepsTheFormulaAndOnlySetsTheErrorVariable) {
    ASSERT_TRUE(Compile({QStringLiteral("T$ = \"1 +* 2\""), QStringLiteral("STRTOFORM(\"5\", F@, E)"),
                         QStringLiteral("STRTOFORM(T$, F@, E)")}));
    ASSERT_TRUE(PlaceAt(St::STRTOFORM, 1));
    ExecStrToForm();
    ASSERT_EQ(Num("E"), 0);
    const FormVarType before = Form("F@");

    Tb.StrVarTable[static_cast<std::size_t>(FindVariable(QStringLiteral("T$"), VarType::String))].Value =
        QStringLiteral("1 +* 2");
    ASSERT_TRUE(PlaceAt(St::STRTOFORM, 2));
    ExecStrToForm();
    EXPECT_EQ(Fe.ErrorNumber, 0); // not a run error
    EXPECT_NE(Num("E"), 0);
    EXPECT_EQ(Form("F@").Code, before.Code);
}

TEST_F(Formula, StrToFormRefusesTextsThatAreNotExactlyOneExpression) {
    const QStringList texts = {QString(), QStringLiteral("1, 2"), QStringLiteral("(1 + 2)) * 3"),
                               QStringLiteral("1: PRINT 2"), QStringLiteral("PRINT 2")};
    for (const QString& text : texts) {
        ASSERT_TRUE(Compile({QStringLiteral("T$ = \"\""), QStringLiteral("STRTOFORM(T$, F@, E)")}));
        Tb.StrVarTable[static_cast<std::size_t>(FindVariable(QStringLiteral("T$"), VarType::String))].Value =
            text;
        ASSERT_TRUE(PlaceAt(St::STRTOFORM));
        ExecStrToForm();
        EXPECT_EQ(Num("E"), Err::ExpressionFormMismatch) << text.toStdString();
        EXPECT_EQ(Form("F@").Code[1].FirstCode, CodeKind::None) << text.toStdString();
    }
}

TEST_F(Formula, AFormulaThatFillsItsRecordRunsAndALongerOneIsRefused) {
    REQUIRE_ROUTING();
    // Each FUNCTION call grows into its argument and five call items after the conversion: 13 calls
    // and four more terms are 2 + 13 * 6 + 12 + 4 * 2 = 100 items, the whole record.
    QString text = QStringLiteral("SQ(1)");
    for (int i = 1; i < 13; ++i)
        text += QStringLiteral("+SQ(1)");
    text += QStringLiteral("+X+X+X+X");
    ASSERT_TRUE(Compile({QStringLiteral("FUNCTION SQ(A)"), QStringLiteral("SQ = A * A"),
                         QStringLiteral("END FUNCTION"), QStringLiteral("X = 2"),
                         QStringLiteral("STRTOFORM(T$, F@, E)"), QStringLiteral("EVALFORM(F@, R, E2)"),
                         QStringLiteral("STRTOFORM(U$, F@, E3)"), QStringLiteral("EVALFORM(F@, S, E4)"),
                         QStringLiteral("DONE = 1")}));
    Tb.StrVarTable[static_cast<std::size_t>(FindVariable(QStringLiteral("T$"), VarType::String))].Value =
        text;
    Tb.StrVarTable[static_cast<std::size_t>(FindVariable(QStringLiteral("U$"), VarType::String))].Value =
        text + QStringLiteral("+X");
    const std::vector<CodeItemType> program(Ib.CodeBuffer.begin() + ProgramCodeStart, Ib.CodeBuffer.end());
    EXPECT_EQ(RunFrom(ProgramCodeStart), LoopExit::End);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Num("E"), 0);
    EXPECT_EQ(Kinds(Form("F@")).size(), static_cast<std::size_t>(FormulaCodeSize));
    EXPECT_EQ(Num("E2"), 0);
    EXPECT_EQ(Num("R"), 13 + 4 * 2);
    // Two items more do not fit: refused, the formula kept, and it still runs.
    EXPECT_EQ(Num("E3"), Err::ProgramTooLarge);
    EXPECT_EQ(Num("S"), 21);
    EXPECT_EQ(Num("E4"), 0);
    EXPECT_EQ(Num("DONE"), 1);
    EXPECT_EQ(ValueStackCount, 0);
    // Nothing was written over the program's items.
    EXPECT_EQ(std::vector<CodeItemType>(Ib.CodeBuffer.begin() + ProgramCodeStart, Ib.CodeBuffer.end()),
              program);
}

TEST_F(Formula, StrToFormLeavesTheProgramsPreCodeAndReaderAsTheyWere) {
    ASSERT_TRUE(Compile(
        {QStringLiteral("A = 1"), QStringLiteral("STRTOFORM(\"A + B + C + D + 1 + 2 + 3\", F@, E)")}));
    const std::vector<CodeItemType> preCode = Ib.PreCodeBuffer;
    const int maxPreCode = Ib.CurrentmaxPreCodeNum, limit = Ib.PreCodeLimit, cursor = Ib.PreCodeIndex;
    const QString compileText = Rd.CompileText;
    const int sourcePos = Rd.SourcePos;
    const std::vector<CodeItemType> code = Ib.CodeBuffer.Items();
    ASSERT_TRUE(PlaceAt(St::STRTOFORM));
    ExecStrToForm();
    ASSERT_EQ(Num("E"), 0);
    EXPECT_EQ(Ib.PreCodeBuffer, preCode);
    EXPECT_EQ(Ib.CurrentmaxPreCodeNum, maxPreCode);
    EXPECT_EQ(Ib.PreCodeLimit, limit);
    EXPECT_EQ(Ib.PreCodeIndex, cursor);
    EXPECT_EQ(Rd.CompileText, compileText);
    EXPECT_EQ(Rd.SourcePos, sourcePos);
    EXPECT_EQ(Ib.CodeBuffer.Items(), code); // the immediate area is not touched either
    // Names first met in the formula are variables of the program now.
    EXPECT_GT(NumIndex("D"), 0);
}

TEST_F(Formula, StrToFormDropsNamesDeclaredByARefusedText) {
    ASSERT_TRUE(Compile({QStringLiteral("T$ = \"CONST K = 1\""), QStringLiteral("STRTOFORM(T$, F@, E)")}));
    const int declared = Tb.NumofRegisteredDcVar;
    ASSERT_TRUE(PlaceAt(St::STRTOFORM));
    ExecStrToForm();
    EXPECT_NE(Num("E"), 0);
    EXPECT_EQ(Tb.NumofRegisteredDcVar, declared);
}

TEST_F(Formula, StrToFormInsideAnImmediateCommandKeepsTheCommandsItems) {
    ASSERT_TRUE(Compile({QStringLiteral("X = 1")}));
    ASSERT_TRUE(CompileCommand(QStringLiteral("STRTOFORM(\"X * 5\", F@, E): PRINT E")));
    const std::vector<CodeItemType> area = ImmediateAreaNow();
    ASSERT_TRUE(PlaceAt(St::STRTOFORM, 1, 1));
    ExecStrToForm();
    EXPECT_EQ(Num("E"), 0);
    EXPECT_EQ(ImmediateAreaNow(), area);
    EXPECT_EQ(Kinds(Form("F@")).size(), 5u);
}

TEST_F(Formula, MisshapenOperandsAreTheStatementsSyntaxErrors) {
    ASSERT_TRUE(Compile({QStringLiteral("STRTOFORM(\"1\", F@, E)"), QStringLiteral("EVALFORM(F@, R, E)"),
                         QStringLiteral("MOUSE(A, B, C)")}));
    // The compiler writes only the right shapes; a damaged operand is refused, not read.
    auto damage = [](int code, int operand) {
        ASSERT_TRUE(PlaceAt(code));
        CodeItemType damaged = Ib.CodeBuffer[static_cast<std::size_t>(Ib.CodeIndex + operand)];
        damaged.FirstCode = CodeKind::BoolVar;
        SetCodeItem(Ib.CodeIndex + operand, damaged);
    };
    damage(St::STRTOFORM, 1);
    ExecStrToForm();
    EXPECT_EQ(Fe.ErrorNumber, Err::StrToFormSyntax);
    Fe.ErrorNumber = 0;
    damage(St::EVALFORM, 2);
    ExecEvalForm();
    EXPECT_EQ(Fe.ErrorNumber, Err::EvalFormSyntax);
    EXPECT_EQ(Eng.EvalFormTrap, 0);
    EXPECT_EQ(EvalFormDepth(), 0);
    Fe.ErrorNumber = 0;
    damage(St::MOUSE, 0);
    ExecMouse();
    EXPECT_EQ(Fe.ErrorNumber, Err::MouseSyntax);
}

// ---- EVALFORM: the parts ---------------------------------------------------------------------------

TEST_F(Formula, EvalFormRunsTheFormulaFromSlotOneWithTheTrapArmed) {
    ASSERT_TRUE(Compile({QStringLiteral("STRTOFORM(\"X + 1\", F@, E)"), QStringLiteral("E = 5"),
                         QStringLiteral("EVALFORM(F@, R, E)"), QStringLiteral("PRINT R")}));
    ASSERT_TRUE(PlaceAt(St::STRTOFORM));
    ExecStrToForm();
    ASSERT_TRUE(PlaceAt(St::EVALFORM));
    const int position = Ib.CurrentItem.Position;
    const int after = Ib.CodeIndex + 3;
    Num("E") = 5;
    ExecEvalForm();

    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Ib.CodeIndex, 1);
    EXPECT_EQ(Eng.EvalFormTrap, 1);
    EXPECT_EQ(Eng.EvalFormVarIndex, NumIndex("E"));
    EXPECT_EQ(Num("E"), 0);
    EXPECT_EQ(EvalFormDepth(), 1);
    // Every item carries the statement's position, so that an error inside points at EVALFORM. The
    // formula's items without its opening bracket, then the end item in the room that bracket took.
    auto item = [position](int kind, int value) { return CodeItemType{kind, value, position}; };
    const std::vector<CodeItemType> expected = {item(CodeKind::NumVar, NumIndex("X")),
                                                item(CodeKind::NumLiteral, Form("F@").Code[3].SecondCode),
                                                item(CodeKind::Operator, Op::Plus),
                                                item(CodeKind::ExprClose, 0),
                                                item(CodeKind::Statement, EvalFormCode::End),
                                                item(CodeKind::End, 0)};
    const std::vector<CodeItemType> area = ImmediateAreaNow();
    EXPECT_EQ(std::vector<CodeItemType>(area.begin(), area.begin() + 6), expected);

    // Without an error the end stores the value, gives everything back and goes on after the
    // statement.
    GlPushNum(8);
    Ib.CodeIndex = 6;
    ExecEvalFormEnd();
    EXPECT_EQ(Num("R"), 8);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Ib.CodeIndex, after);
    EXPECT_EQ(Eng.EvalFormTrap, 0);
    EXPECT_EQ(EvalFormDepth(), 0);
}

TEST_F(Formula, AfterATrappedErrorTheFormulaIsLeftAndItsValuesDiscarded) {
    ASSERT_TRUE(
        Compile({QStringLiteral("FUNCTION SQ(A)"), QStringLiteral("SQ = A * A"),
                 QStringLiteral("END FUNCTION"), QStringLiteral("STRTOFORM(\"1 / X + SQ(2)\", F@, E)"),
                 QStringLiteral("R = 7"), QStringLiteral("EVALFORM(F@, R, E)")}));
    ASSERT_TRUE(PlaceAt(St::STRTOFORM));
    ExecStrToForm();
    ASSERT_EQ(Num("E"), 0);
    Num("R") = 7;
    GlPushNum(42); // a value of the program's own, below the formula's
    ASSERT_TRUE(PlaceAt(St::EVALFORM));
    ExecEvalForm();
    const int end = static_cast<int>(Kinds(Form("F@")).size());
    ASSERT_EQ(Ib.CodeBuffer[static_cast<std::size_t>(end)].SecondCode, EvalFormCode::End);

    // As the run loop has it when its trap took the error of "/": the next item (1 is "1", 2 "X",
    // 3 "/") in hand. Every item not run gives way, but for the restoring end of the call, which a
    // call returning into the formula must still meet.
    GlPushNum(1);
    GlPushStr(QStringLiteral("left over"));
    Num("E") = Err::DivisionByZero;
    Ib.CodeIndex = 4;
    FetchCurrentItem();
    LeaveFormulaAtTrappedError();
    int restoring = 0;
    for (int at = 1; at < end; ++at) {
        const CodeItemType& item = Ib.CodeBuffer[static_cast<std::size_t>(at)];
        ASSERT_EQ(item.FirstCode, CodeKind::Statement) << at;
        if (item.SecondCode == InSt::LoPopAll)
            ++restoring;
        else
            EXPECT_EQ(item.SecondCode, EvalFormCode::Leave) << at;
    }
    EXPECT_EQ(restoring, 1);
    EXPECT_EQ(Ib.CurrentItem.SecondCode, EvalFormCode::Leave);
    EXPECT_EQ(Ib.CodeIndex, 5);
    ExecEvalFormLeave();
    EXPECT_EQ(Ib.CodeIndex, end);
    ExecEvalFormEnd();
    EXPECT_EQ(Num("R"), 7);
    EXPECT_EQ(Num("E"), Err::DivisionByZero);
    EXPECT_EQ(ValueStackCount, 1);
    EXPECT_EQ(GlPopNum(), 42);
    EXPECT_EQ(EvalFormDepth(), 0);
}

TEST_F(Formula, AFormulaNeverCompiledIsAnErrorOfTheFormula) {
    ASSERT_TRUE(
        Compile({QStringLiteral("R = 7"), QStringLiteral("EVALFORM(F@, R, E)"), QStringLiteral("PRINT R")}));
    ASSERT_TRUE(PlaceAt(St::EVALFORM));
    const int after = Ib.CodeIndex + 3;
    const std::vector<CodeItemType> area = ImmediateAreaNow();
    ExecEvalForm();
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Num("E"), Err::ExpressionFormMismatch);
    EXPECT_EQ(Ib.CodeIndex, after);
    EXPECT_EQ(Eng.EvalFormTrap, 0);
    EXPECT_EQ(ImmediateAreaNow(), area);
}

TEST_F(Formula, FramesOfAnEvaluationThatNeverEndedAreDroppedByTheNextOne) {
    ASSERT_TRUE(Compile({QStringLiteral("STRTOFORM(\"1\", F@, E)"), QStringLiteral("EVALFORM(F@, R, E)")}));
    ASSERT_TRUE(PlaceAt(St::STRTOFORM));
    ExecStrToForm();
    ASSERT_TRUE(PlaceAt(St::EVALFORM));
    ExecEvalForm();
    ASSERT_EQ(EvalFormDepth(), 1);
    Eng.EvalFormTrap = 0; // a new run starts with the trap clear
    ASSERT_TRUE(PlaceAt(St::EVALFORM));
    ExecEvalForm();
    EXPECT_EQ(EvalFormDepth(), 1);
    // While an evaluation is in progress, a second one nests.
    ASSERT_TRUE(PlaceAt(St::EVALFORM));
    ExecEvalForm();
    EXPECT_EQ(EvalFormDepth(), 2);
    ExecEvalFormEnd();
    ExecEvalFormEnd();
    EXPECT_EQ(EvalFormDepth(), 0);
    ExecEvalFormEnd();
    EXPECT_EQ(Fe.ErrorNumber, Err::UnexpectedRunError);
}

// ---- EVALFORM through the run loop --------------------------------------------------------------------

TEST_F(Formula, EvaluationsStoreResultsAndTrappedErrorsAndTheProgramGoesOn) {
    REQUIRE_ROUTING();
    ASSERT_TRUE(
        Compile({QStringLiteral("X = 3"), QStringLiteral("STRTOFORM(\"X * 2 + 1\", F@, E)"),
                 QStringLiteral("EVALFORM(F@, R1, E1)"), QStringLiteral("X = 10"),
                 QStringLiteral("EVALFORM(F@, R2, E2)"), QStringLiteral("STRTOFORM(\"1 / 0 + X\", G@, E)"),
                 QStringLiteral("R3 = 77"), QStringLiteral("EVALFORM(G@, R3, E3)"),
                 QStringLiteral("STRTOFORM(\"SQR(X - 20) * 2\", H@, E)"),
                 QStringLiteral("EVALFORM(H@, R4, E4)"), QStringLiteral("DONE = 1")}));
    EXPECT_EQ(RunFrom(ProgramCodeStart), LoopExit::End);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Num("R1"), 7);
    EXPECT_EQ(Num("E1"), 0);
    EXPECT_EQ(Num("R2"), 21);
    EXPECT_EQ(Num("R3"), 77);
    EXPECT_EQ(Num("E3"), Err::DivisionByZero);
    EXPECT_EQ(Num("R4"), 0);
    EXPECT_EQ(Num("E4"), Err::SqrNegative);
    EXPECT_EQ(Num("DONE"), 1);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Eng.EvalFormTrap, 0);
    EXPECT_EQ(EvalFormDepth(), 0);
}

TEST_F(Formula, AFormulaCompiledAgainIntoItsVariableTakesItsOldLiteralsRoom) {
    REQUIRE_ROUTING();
    // Each pass stores a formula of two numbers and a string, then one of a single number, into the
    // same variable, and a text that does not compile into another: the literal tables keep the
    // room of the largest formula, however often the loop runs, and every value is the new one.
    ASSERT_TRUE(
        Compile({QStringLiteral("FOR I = 1 TO 50"),
                 QStringLiteral("T$ = \"LEN(\" + CHR$(34) + STRING$(I MOD 3, \"x\") + CHR$(34) + \") + \" + "
                                "STR$(I) + \" * 2\""),
                 QStringLiteral("STRTOFORM(T$, F@, E1)"), QStringLiteral("EVALFORM(F@, R, E2)"),
                 QStringLiteral("BAD = BAD + ABS(R - (I MOD 3) - I * 2) + E1 + E2"),
                 QStringLiteral("STRTOFORM(\"7\", F@, E3)"), QStringLiteral("EVALFORM(F@, R7, E4)"),
                 QStringLiteral("BAD = BAD + ABS(R7 - 7) + E3 + E4"),
                 QStringLiteral("STRTOFORM(\"1 + 2 +* 3\", G@, E5)"), QStringLiteral("NEXT I")}));
    const int numbers = Tb.NumofRegisteredNumCon;
    const int strings = Tb.NumofRegisteredStrCon;
    EXPECT_EQ(RunFrom(ProgramCodeStart), LoopExit::End);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Num("BAD"), 0);
    EXPECT_NE(Num("E5"), 0);
    EXPECT_LE(Tb.NumofRegisteredNumCon, numbers + 2);
    EXPECT_LE(Tb.NumofRegisteredStrCon, strings + 1);
}

TEST_F(Formula, AFormulaCallingAFunctionThatEvaluatesAFormulaReturnsToItsOwnItems) {
    REQUIRE_ROUTING();
    ASSERT_TRUE(
        Compile({QStringLiteral("PUBLIC CALLS, LAST"), QStringLiteral("FUNCTION INNER(A)"),
                 QStringLiteral("  STRTOFORM(\"1 / 0\", H@, E2)"), QStringLiteral("  EVALFORM(H@, R2, E2)"),
                 QStringLiteral("  INNER = A + 100"), QStringLiteral("  CALLS = CALLS + 1"),
                 QStringLiteral("  LAST = E2"), QStringLiteral("END FUNCTION"),
                 QStringLiteral("STRTOFORM(\"INNER(5) * 2 + Y / 0 + INNER(6)\", G@, E)"),
                 QStringLiteral("EVALFORM(G@, R, E)"), QStringLiteral("STRTOFORM(\"INNER(5) * 2\", G@, E8)"),
                 QStringLiteral("EVALFORM(G@, S, E9)"), QStringLiteral("DONE = 1")}));
    EXPECT_EQ(RunFrom(ProgramCodeStart), LoopExit::End);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    // The inner trap took its own error; the outer one was armed again after it, and its error ended
    // the outer formula before the second call.
    EXPECT_EQ(Num("LAST"), Err::DivisionByZero);
    EXPECT_EQ(Num("CALLS"), 2);
    EXPECT_EQ(Num("E"), Err::DivisionByZero);
    EXPECT_EQ(Num("R"), 0);
    EXPECT_EQ(Num("S"), 210);
    EXPECT_EQ(Num("E9"), 0);
    EXPECT_EQ(Num("DONE"), 1);
    EXPECT_EQ(ValueStackCount, 0);
}

TEST_F(Formula, EvalFormInAnImmediateCommandGoesOnWithTheCommand) {
    REQUIRE_ROUTING();
    ASSERT_TRUE(Compile({QStringLiteral("X = 4"), QStringLiteral("STRTOFORM(\"X * X\", F@, E)")}));
    ASSERT_EQ(RunFrom(ProgramCodeStart), LoopExit::End);
    ASSERT_TRUE(
        CompileCommand(QStringLiteral("EVALFORM(F@, R, E): PRINT R + 1: EVALFORM(F@, S, E): PRINT S")));
    Output();
    EXPECT_EQ(RunFrom(1), LoopExit::End);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Output(), (QStringList{QStringLiteral(" 17"), QStringLiteral(" 16")}));
}

TEST_F(Formula, AnErrorOutsideAnEvaluationStillEndsTheRun) {
    REQUIRE_ROUTING();
    ASSERT_TRUE(Compile({QStringLiteral("STRTOFORM(\"1 / 0\", F@, E)"), QStringLiteral("EVALFORM(F@, R, E)"),
                         QStringLiteral("Z = 1 / 0"), QStringLiteral("DONE = 1")}));
    EXPECT_EQ(RunFrom(ProgramCodeStart), LoopExit::Error);
    EXPECT_EQ(Fe.ErrorNumber, Err::DivisionByZero);
    EXPECT_EQ(Num("DONE"), 0);
}

// ---- MOUSE, SETVERSION, HELP ----------------------------------------------------------------------------

TEST_F(Formula, MouseTakesTheEventAndLeavesThePositionWhileTheWindowIsClosed) {
    ASSERT_TRUE(Compile({QStringLiteral("X = 5: Y = 6"), QStringLiteral("MOUSE(EV, X, Y)")}));
    Rc.MouseEvent = 2;
    Rc.MouseX = 10;
    Rc.MouseY = 20;
    ASSERT_TRUE(PlaceAt(St::MOUSE));
    const int after = Ib.CodeIndex + 3;
    ExecMouse();
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Ib.CodeIndex, after);
    EXPECT_EQ(Num("EV"), 2);
    EXPECT_EQ(Rc.MouseEvent.load(), 0);
    EXPECT_EQ(Num("X"), 0); // never assigned: the LET of line 1 did not run
    EXPECT_EQ(Num("Y"), 0);
    ASSERT_TRUE(PlaceAt(St::MOUSE));
    ExecMouse();
    EXPECT_EQ(Num("EV"), 0); // no event since the last MOUSE
}

TEST_F(Formula, MouseGivesWorldCoordinatesOfTheBitmapPoint) {
    ASSERT_TRUE(Compile({QStringLiteral("MOUSE(EV, X, Y)")}));
    const int width = Gs.GScreenWidth, height = Gs.GScreenHeight;
    Gs.GScreenWidth = 200;
    Gs.GScreenHeight = 100;
    auto surface = std::make_shared<GraphSurface>(Gs.GScreenWidth, Gs.GScreenHeight);
    SetCurrentGraphSurface(surface);
    Rc.GScreenOpen = 1;
    Ps.WorldXMin = -10;
    Ps.WorldYMin = 0;
    Ps.WorldYMax = 50;
    Ps.WorldXScale = 10; // pixels per world unit
    Ps.WorldYScale = 2;
    Ps.MathGraph = 0;
    Rc.MouseEvent = 5;
    Rc.MouseX = 50;
    Rc.MouseY = 40;
    ASSERT_TRUE(PlaceAt(St::MOUSE));
    ExecMouse();
    EXPECT_EQ(Num("EV"), 5);
    EXPECT_EQ(Num("X"), -5); // 50 / 10 - 10
    EXPECT_EQ(Num("Y"), 20);

    // Shown stretched to twice the bitmap's size: the point is halved first; MATHGRAPH turns y round.
    surface->Stretched = true;
    surface->ShownWidth = 400;
    surface->ShownHeight = 200;
    Ps.MathGraph = 1;
    ASSERT_TRUE(PlaceAt(St::MOUSE));
    ExecMouse();
    EXPECT_EQ(Num("X"), -7.5L); // 25 / 10 - 10
    EXPECT_EQ(Num("Y"), 40);    // 0 + 50 - 20 / 2
    Ps.MathGraph = 0;
    Gs.GScreenWidth = width;
    Gs.GScreenHeight = height;
}

TEST_F(Formula, ScaleToBitmapTruncatesAndSurvivesAnEmptyWindow) {
    EXPECT_EQ(ScaleToBitmap(101, 640, 1280), 50);
    EXPECT_EQ(ScaleToBitmap(1279, 640, 1280), 639);
    EXPECT_EQ(ScaleToBitmap(30, 640, 0), 30);
    EXPECT_EQ(ScaleToBitmap(2000000000, 3000, 50), INT32_MAX); // held, not wrapped round
}

TEST_F(Formula, SetVersionTakesTenTimesTheMagnitudeUpToAThousand) {
    const struct {
        Extended value;
        int version;
    } cases[] = {{-0.9L, 9}, {1.25L, 12}, {12, 120}, {99.99L, 999}, {250, 1000}, {0, 0}};
    for (const auto& c : cases) {
        GlPushNum(c.value);
        ExecSetVersion();
        EXPECT_EQ(Fe.ErrorNumber, 0);
        EXPECT_EQ(Ps.LanguageVersion, c.version) << static_cast<double>(c.value);
    }
    EXPECT_EQ(ValueStackCount, 0);
    GlPushStr(QStringLiteral("9"));
    ExecSetVersion();
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::SETVERSION);
    EXPECT_EQ(Ps.LanguageVersion, 0);
}

int HelpCalls = 0;

TEST_F(Formula, HelpShowsTheHelpOnTheUserInterfaceThread) {
    QObject target;
    SetHandOverTarget(&target);
    HelpCalls = 0;
    ExecHelp(); // no viewer installed: nothing happens, and that is no error
    EXPECT_EQ(Fe.ErrorNumber, 0);
    Hooks.ShowHelpHook = [] { ++HelpCalls; };
    ExecHelp();
    EXPECT_EQ(HelpCalls, 1);
    SetHandOverTarget(nullptr);
}

// ---- listings --------------------------------------------------------------------------------------------

TEST_F(Formula, ReservedWordsLeaveOutEntriesWithSmallLetters) {
    ListReservedWords();
    const QStringList lines = Output();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("予約語"));
    // ChgSgn, SJis and ^Cr are the three entries written with small letters.
    EXPECT_EQ(lines.size(), 1 + OperatorCount - 3 + StatementCount + FunctionCount);
    EXPECT_FALSE(lines.contains(QStringLiteral("ChgSgn")));
    EXPECT_FALSE(lines.contains(QStringLiteral("SJis")));
    EXPECT_FALSE(lines.contains(QStringLiteral("^Cr")));
    EXPECT_EQ(lines.at(Op::Mod), QStringLiteral("MOD"));
    EXPECT_EQ(lines.at(Op::Empty26), QString()); // an empty slot is an empty line
    EXPECT_EQ(lines.at(1 + OperatorCount - 3), QStringLiteral("ANGLE"));
    EXPECT_EQ(lines.last(), QStringLiteral("YEARTIMER"));
    EXPECT_TRUE(lines.contains(QStringLiteral("SEEK ")));
}

TEST_F(Formula, VariableListingShowsValuesNamesAndDeclarations) {
    ASSERT_TRUE(Compile({QStringLiteral("CONST K = 3"), QStringLiteral("DIM V(2)"), QStringLiteral("A = 1.5"),
                         QStringLiteral("C = 1 / 3"), QStringLiteral("B$ = \"hi\""),
                         QStringLiteral("DIM T AS BOOLEAN"), QStringLiteral("SUB S(P)"),
                         QStringLiteral("  Q = P"), QStringLiteral("END SUB")}));
    const int t = FindVariable(QStringLiteral("T"), VarType::Boolean);
    ASSERT_GT(t, 0);
    Tb.BoolVarTable[static_cast<std::size_t>(t)].Value = 1;
    Num("A") = 1.5L;
    Num("C") = 1.0L / 3;
    Tb.StrVarTable[static_cast<std::size_t>(FindVariable(QStringLiteral("B$"), VarType::String))].Value =
        QStringLiteral("hi");
    DumpVariables();
    const QStringList lines = Output();
    const int numbers = static_cast<int>(lines.indexOf(QStringLiteral("数値変数・数値配列変数")));
    const int strings = static_cast<int>(lines.indexOf(QStringLiteral("文字列変数・文字列配列変数")));
    const int declared = static_cast<int>(lines.indexOf(QStringLiteral("宣言定数・変数・配列変数")));
    ASSERT_EQ(lines.indexOf(QStringLiteral("Boole変数・Boole配列変数")), 0);
    ASSERT_TRUE(0 < numbers && numbers < strings && strings < declared) << lines.join(u'|').toStdString();
    const QStringList booleans = lines.mid(1, numbers - 1);
    EXPECT_TRUE(booleans.contains(QStringLiteral("TRUE : T  "))) << booleans.join(u'|').toStdString();
    const QStringList numeric = lines.mid(numbers + 1, strings - numbers - 1);
    EXPECT_TRUE(numeric.contains(QStringLiteral("1.5 : A  ")));
    EXPECT_TRUE(numeric.contains(QStringLiteral("0.333333333333333333 : C  ")));
    EXPECT_TRUE(numeric.contains(QStringLiteral("0 : V  ")));  // an array: its record's value
    EXPECT_TRUE(numeric.contains(QStringLiteral("0 : Q  ")));  // local: the prefix is not shown
    EXPECT_FALSE(numeric.contains(QStringLiteral("0 : S  "))); // a SUB name is no variable
    EXPECT_TRUE(lines.mid(strings + 1, declared - strings - 1).contains(QStringLiteral("hi : B$  ")));
    const QStringList names = lines.mid(declared + 1);
    EXPECT_TRUE(names.contains(QStringLiteral("NumberConstant : K  "))) << names.join(u'|').toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("Sub : S  ")));
    EXPECT_TRUE(names.contains(QStringLiteral("NumberVariable : V  ")));
    EXPECT_TRUE(names.contains(QStringLiteral("NumberLocalVariable : P  ")));
}

TEST_F(Formula, VariableListingMarksAStoredBooleanThatIsNeitherTrueNorFalse) {
    ASSERT_TRUE(Compile({QStringLiteral("DIM T AS BOOLEAN, U AS BOOLEAN"), QStringLiteral("T = 1 < 2"),
                         QStringLiteral("U = 1 > 2")}));
    Tb.BoolVarTable[static_cast<std::size_t>(FindVariable(QStringLiteral("T"), VarType::Boolean))].Value = 7;
    Tb.DcVarTable[1] = DcVarType{QStringLiteral("ODD"), 0x80 | DcVarKind::StringConstant, 0};
    Tb.DcVarTable[2] = DcVarType{QStringLiteral("NEW"), 99, 0};
    Tb.NumofRegisteredDcVar = 2;
    DumpVariables();
    const QStringList lines = Output();
    EXPECT_TRUE(lines.contains(QStringLiteral("ERROR : T  ")));
    EXPECT_TRUE(lines.contains(QStringLiteral("FALSE : U  ")));
    EXPECT_TRUE(lines.contains(QStringLiteral("StringConstant : ODD  "))); // the low seven bits
    EXPECT_TRUE(lines.contains(QStringLiteral("Skip : NEW  ")));
}

TEST_F(Formula, CrossReferenceListsEachLineOnceAndLeavesTheProgramCounter) {
    ASSERT_TRUE(
        Compile({QStringLiteral("A = 1"), QStringLiteral("FOR I = 1 TO 2"), QStringLiteral("  A = A + I"),
                 QStringLiteral("NEXT"), QStringLiteral("S$ = \"x\": PRINT S$")}));
    Ib.CodeIndex = 123;
    DumpCrossReference();
    EXPECT_EQ(Ib.CodeIndex, 123);
    const QStringList expected = {
        QStringLiteral("数値変数クロスリファレンス"),
        QString(),
        QStringLiteral("A"),
        QStringLiteral("1:1   "),
        QStringLiteral("3:7   "),
        QStringLiteral("3:3   "),
        QString(),
        QStringLiteral("I"),
        QStringLiteral("2:5   "),
        QStringLiteral("3:11   "),
        QStringLiteral("2:5   "),
        QString(),
        QStringLiteral("文字列変数クロスリファレンス"),
        QString(),
        QStringLiteral("S$"),
        QStringLiteral("5:1   "),
        QStringLiteral("5:17   "),
    };
    EXPECT_EQ(Output(), expected);
}

TEST_F(Formula, CodeListingPrintsBothListingsAndTheCounters) {
    ASSERT_TRUE(Compile({QStringLiteral("PRINT 1"), QStringLiteral("HELP -LORVEXC")}));
    QString preCode, code;
    PreCodeListing(preCode);
    CodeListing(code);
    Ib.PreCodeIndex = 7;
    Ib.CodeIndex = 105;
    DumpCodeListing();
    EXPECT_EQ(Ib.PreCodeIndex, 7);
    EXPECT_EQ(Ib.CodeIndex, 105);
    const QStringList lines = Output();
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[0], preCode);
    EXPECT_EQ(lines[1], code);
    EXPECT_EQ(lines[2], QString::number(Ib.CurrentmaxPreCodeNum) + QStringLiteral(" : CurrentmaxPreCodeNum"));
    EXPECT_EQ(lines[3], QString::number(Ib.CurrentmaxCodeNum) + QStringLiteral(" : CurrentmaxCodeNum"));
    EXPECT_EQ(lines[6], QStringLiteral("0 : NumofRegisteredNumVar"));
    EXPECT_EQ(lines[10], QStringLiteral("0 : NumofRegisteredAStrVar"));
}

TEST_F(Formula, NumberAndNameTextsOfTheListing) {
    EXPECT_EQ(ShortestNumberText(0.1L), QStringLiteral("0.1"));
    EXPECT_EQ(ShortestNumberText(-2.5L), QStringLiteral("-2.5"));
    EXPECT_EQ(ShortestNumberText(0), QStringLiteral("0"));
    EXPECT_EQ(ShortestNumberText(1e20L), QStringLiteral("1E20"));
    EXPECT_EQ(ShortestNumberText(123456789012345678.0L), QStringLiteral("123456789012345678"));
    EXPECT_EQ(ShortestNumberText(2.0L / 3), QStringLiteral("0.666666666666666667"));
    EXPECT_EQ(ListedName(QStringLiteral("0001X")), QStringLiteral("X"));
    EXPECT_EQ(ListedName(QStringLiteral("12 AB$")), QStringLiteral("AB$"));
    EXPECT_EQ(ListedName(QStringLiteral("X1")), QStringLiteral("X1"));
}

TEST_F(Formula, ListingsRunInsideAProgramAndTheStatementsAfterThemRun) {
    REQUIRE_ROUTING();
    ASSERT_TRUE(
        Compile({QStringLiteral("A = 1"), QStringLiteral("HELP -CR"), QStringLiteral("HELP -LORVEXC"),
                 QStringLiteral("HELP -UV"), QStringLiteral("HELP -RW"), QStringLiteral("DONE = 1")}));
    EXPECT_EQ(RunFrom(ProgramCodeStart), LoopExit::End);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Num("DONE"), 1);
    Output();
}

TEST_F(Formula, RouterTakesItsOwnCodesOnly) {
    GlPushNum(2);
    ExecuteStatement(St::SETVERSION);
    EXPECT_EQ(Ps.LanguageVersion, 20);
}

} // namespace
