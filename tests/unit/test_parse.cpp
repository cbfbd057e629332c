// The statement compiler on pre-code written by hand: the shapes the statement scan never produces
// (blocks left open, nesting beyond the scan's limits, malformed procedure headers) and the limits of
// every fixed stack and buffer.
#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/vocabulary.h"
#include "frontend/compilerstate.h"
#include "frontend/declnames.h"
#include "frontend/initall.h"
#include "frontend/listing.h"
#include "frontend/parse.h"
#include "frontend/polish.h"
#include "frontend/tokenizer.h"
#include "tests/compiletext.h"

#include <gtest/gtest.h>

#include <QString>

#include <vector>

namespace {

// Pre-code as the scan would write it; item i gets the position 10 * i so tests can tell items apart.
class Pre {
public:
    Pre& Add(int kind, int value) {
        items_.push_back(CodeItemType{kind, value, 10 * static_cast<int>(items_.size() + 1)});
        return *this;
    }
    Pre& St(int code) { return Add(CodeKind::Statement, code); }
    Pre& Op(int slot) { return Add(CodeKind::Operator, slot); }
    Pre& Eol() { return Op(Op::LineEnd); }
    Pre& Num(const char* text) {
        CodeItemType item;
        AddNumCon(QString::fromLatin1(text), item);
        return Add(item.FirstCode, item.SecondCode);
    }
    Pre& Var(const char* name) { return Add(CodeKind::NumVar, NumVar(name)); }
    Pre& Raw(const CodeItemType& item) { return Add(item.FirstCode, item.SecondCode); }
    // A point as the graphics statements take one: (x, y).
    Pre& Point(const char* x, const char* y) {
        return Op(Op::OpenBracket).Num(x).Op(Op::Comma).Num(y).Op(Op::CloseBracket);
    }

    static int NumVar(const char* name) {
        const QString text = QString::fromLatin1(name);
        int index = FindVariable(text, VarType::Real);
        if (index == 0) {
            CodeItemType token;
            CreateVariable(text, VarType::Real, token);
            index = token.SecondCode;
        }
        return index;
    }

    // Writes the items from `start` on, followed by the end item and a line end, as the scan leaves
    // a program or a command.
    void Load(int start = ProgramCodeStart) const {
        std::vector<CodeItemType> all = items_;
        all.push_back(CodeItemType{CodeKind::End, 0, 0});
        all.push_back(CodeItemType{CodeKind::Operator, Op::LineEnd, 0});
        const int last = start + static_cast<int>(all.size()) - 1;
        if (static_cast<int>(Ib.PreCodeBuffer.size()) <= last)
            Ib.PreCodeBuffer.resize(static_cast<std::size_t>(last) + 1);
        for (std::size_t i = 0; i < all.size(); ++i)
            Ib.PreCodeBuffer[static_cast<std::size_t>(start) + i] = all[i];
        if (Ib.CurrentmaxPreCodeNum < last) Ib.CurrentmaxPreCodeNum = last;
        if (start == ProgramCodeStart) Ib.PreCodeLimit = last + 1;
    }

private:
    std::vector<CodeItemType> items_;
};

class ParseTest : public ::testing::Test {
protected:
    void SetUp() override {
        Rc.RunMode = RunKind::Program;
        ResetInterpreter();
    }
    void TearDown() override {
        Rc.RunMode = RunKind::Program;
        Fe.ErrorNumber = 0;
    }

    // Compiles the pre-code as a program; the error number (0 on success).
    static int Parse(const Pre& pre) {
        pre.Load();
        InitCode();
        Ib.PreCodeIndex = ProgramCodeStart;
        Ib.CodeIndex = ProgramCodeStart;
        Fe.ErrorNumber = 0;
        ParseProgram();
        return Fe.ErrorNumber;
    }

    // The items from `from` to the end item as their listing texts, a line end as "|".
    static QString Items(int from = ProgramCodeStart) {
        QString out;
        for (int i = from; i <= Ib.CurrentmaxCodeNum; ++i) {
            const CodeItemType& item = Ib.CodeBuffer[static_cast<std::size_t>(i)];
            QString text;
            CodeItemText(item, text);
            if (item.FirstCode == CodeKind::Operator && item.SecondCode == Op::LineEnd)
                text = QStringLiteral("|");
            if (!out.isEmpty()) out += QLatin1Char(' ');
            out += text;
            if (item.FirstCode == CodeKind::End) break;
        }
        return out;
    }
};

TEST_F(ParseTest, RunsOfSeparatorsGiveOneItem) {
    Pre pre;
    pre.Op(Op::Colon).Op(Op::Colon).Eol().Eol().St(St::BEEP).Eol().Eol().Op(Op::Colon).Op(Op::Colon);
    ASSERT_EQ(Parse(pre), 0);
    EXPECT_EQ(Items(), QStringLiteral(": | BEEP | : EOF"));
    // The end item carries the compile text's length and is the program's fetch limit.
    EXPECT_EQ(Ib.CodeLimit, Ib.CodeIndex - 1);
    EXPECT_EQ(Ib.CodeBuffer[static_cast<std::size_t>(Ib.CodeLimit)].FirstCode, CodeKind::End);
}

TEST_F(ParseTest, ImmediateCommandKeepsTheProgramAndItsLimit) {
    Pre program;
    program.St(St::BEEP).Eol();
    ASSERT_EQ(Parse(program), 0);
    const int programLimit = Ib.CodeLimit;

    Rc.RunMode = RunKind::Immediate;
    ResetPreCode();
    ResetCode();
    Pre command;
    command.Op(Op::Colon).St(St::STOP).Eol();
    command.Load(1);
    Ib.PreCodeIndex = 1;
    Ib.CodeIndex = 1;
    ParseProgram();
    ASSERT_EQ(Fe.ErrorNumber, 0);
    // No ":" in the first slot of the immediate area.
    EXPECT_EQ(Items(1), QStringLiteral("STOP | EOF"));
    EXPECT_EQ(Ib.CodeLimit, programLimit);
    EXPECT_EQ(Items(), QStringLiteral("BEEP | EOF"));
}

TEST_F(ParseTest, ImmediateCommandTooLongForItsAreaIsRefused) {
    Pre program;
    program.St(St::BEEP).Eol();
    ASSERT_EQ(Parse(program), 0);
    Rc.RunMode = RunKind::Immediate;
    ResetPreCode();
    ResetCode();
    Pre command;
    for (int i = 0; i < 60; ++i)
        command.St(St::BEEP).Eol();
    command.Load(1);
    Ib.PreCodeIndex = 1;
    Ib.CodeIndex = 1;
    ParseProgram();
    EXPECT_EQ(Fe.ErrorNumber, Err::ProgramTooLarge);
    EXPECT_EQ(Items(), QStringLiteral("BEEP | EOF")); // the program is untouched
}

TEST_F(ParseTest, OpenBlocksAreReportedAfterCompilationWithTheOpeningStatement) {
    Pre forOnly;
    forOnly.St(St::FOR).Var("I").Op(Op::Equal).Num("1").St(St::TO).Num("3").Eol().St(St::BEEP).Eol();
    ASSERT_EQ(Parse(forOnly), 0);
    CheckOpenBlocks();
    EXPECT_EQ(Fe.ErrorNumber, Err::ForWithoutNext);
    EXPECT_EQ(Cs.Parse.OpenBlockPosition, 10);

    // A FOR and an IF left open: the IF, tested last, stands.
    Pre forAndIf;
    forAndIf.St(St::FOR).Var("I").Op(Op::Equal).Num("1").St(St::TO).Num("3").Eol();
    forAndIf.St(St::IF).Var("I").St(St::THEN).Eol();
    Fe.ErrorNumber = 0;
    ASSERT_EQ(Parse(forAndIf), 0);
    CheckOpenBlocks();
    EXPECT_EQ(Fe.ErrorNumber, Err::IfBlockMismatch);
    EXPECT_EQ(Cs.Parse.OpenBlockPosition, 80);

    Pre whileOnly;
    whileOnly.St(St::WHILE).Var("I").Eol();
    Fe.ErrorNumber = 0;
    ASSERT_EQ(Parse(whileOnly), 0);
    CheckOpenBlocks();
    EXPECT_EQ(Fe.ErrorNumber, Err::WhileWithoutWend);

    Pre closed;
    closed.St(St::WHILE).Var("I").Eol().St(St::WEND).Eol();
    Fe.ErrorNumber = 0;
    ASSERT_EQ(Parse(closed), 0);
    CheckOpenBlocks();
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Cs.Parse.OpenBlockPosition, 0);
}

TEST_F(ParseTest, EveryBlockStackRefusesOverflow) {
    // Each open IF holds its slot and its count: 128 fit, the 129th is refused.
    Pre ifs;
    for (int i = 0; i < 129; ++i)
        ifs.St(St::IF).Var("A").St(St::THEN).Eol();
    EXPECT_EQ(Parse(ifs), Err::NestingTooDeep);

    Pre fors;
    for (int i = 0; i < 257; ++i)
        fors.St(St::FOR).Var("I").Op(Op::Equal).Num("1").St(St::TO).Num("2").Eol();
    EXPECT_EQ(Parse(fors), Err::NestingTooDeep);

    Pre exits; // one FOR level marker and 255 EXIT FOR jumps fill the list
    exits.St(St::FOR).Var("I").Op(Op::Equal).Num("1").St(St::TO).Num("2").Eol();
    for (int i = 0; i < 256; ++i)
        exits.St(St::EXITFOR).Eol();
    EXPECT_EQ(Parse(exits), Err::TooManyExits);

    Pre loops;
    for (int i = 0; i < 257; ++i)
        loops.St(St::DO).Eol();
    EXPECT_EQ(Parse(loops), Err::NestingTooDeep);

    Pre selects;
    for (int i = 0; i < 257; ++i)
        selects.St(St::SELECTCASE).Var("A").Eol().St(St::CASE).Num("1").Eol();
    EXPECT_EQ(Parse(selects), Err::NestingTooDeep);

    Pre call; // 257 arguments
    call.St(St::CALL).Var("S").Op(Op::OpenBracket);
    for (int i = 0; i < 257; ++i) {
        if (i > 0) call.Op(Op::Comma);
        call.Var("A");
    }
    call.Op(Op::CloseBracket).Eol();
    EXPECT_EQ(Parse(call), Err::NestingTooDeep);

    Pre usingValues; // 257 values of PRINT USING
    usingValues.St(St::PRINTUSING).Add(CodeKind::StrLiteral, 1).Op(Op::Semicolon);
    for (int i = 0; i < 257; ++i)
        usingValues.Var("A").Op(Op::Semicolon);
    usingValues.Eol();
    EXPECT_EQ(Parse(usingValues), Err::NestingTooDeep);
}

TEST_F(ParseTest, SwapStackRefusesASeventhIndex) {
    const int p = Pre::NumVar("P");
    Tb.NumVarTable[static_cast<std::size_t>(p)].Kind = NumVarKind::ArrayParameter;
    Pre pre;
    pre.St(St::SWAP).Var("X").Op(Op::Comma).Add(CodeKind::NumVar, p).Op(Op::OpenBracket);
    for (int i = 0; i < 7; ++i) {
        if (i > 0) pre.Op(Op::Comma);
        pre.Num("1");
    }
    pre.Op(Op::CloseBracket).Eol();
    EXPECT_EQ(Parse(pre), Err::InnerStackOverflow);
}

TEST_F(ParseTest, AnExpressionLongerThanTheConversionTakesIsRefused) {
    // 80 items convert; 81 do not, and nothing past the gathered items is read or written.
    Pre fits;
    fits.Var("X").Op(Op::Equal).Num("1");
    for (int i = 0; i < 39; ++i)
        fits.Op(Op::Plus).Num("1");
    fits.Eol();
    ASSERT_EQ(Parse(fits), 0);

    Pre tooLong;
    tooLong.Var("X").Op(Op::Equal).Num("1");
    for (int i = 0; i < 40; ++i)
        tooLong.Op(Op::Plus).Num("1");
    tooLong.Eol();
    EXPECT_EQ(Parse(tooLong), ExpressionTooLongError);

    Pre veryLong; // far beyond the 1024-item buffer
    veryLong.Var("X").Op(Op::Equal).Num("1");
    for (int i = 0; i < 1200; ++i)
        veryLong.Op(Op::Plus).Num("1");
    veryLong.Eol();
    EXPECT_EQ(Parse(veryLong), ExpressionTooLongError);
}

TEST_F(ParseTest, ControlStatementWithoutOnOrOffIsAnError) {
    Pre missing;
    missing.St(St::CBUTTON).Op(Op::OpenBracket).Num("1").Op(Op::CloseBracket).Eol();
    EXPECT_EQ(Parse(missing), Err::OnOffMissing);
    EXPECT_EQ(Fe.ErrorNameIndex, St::CBUTTON);

    Pre on;
    on.St(St::CTEXTBOX).Op(Op::OpenBracket).Num("2").Op(Op::CloseBracket).St(St::OFF).Eol();
    ASSERT_EQ(Parse(on), 0);
    EXPECT_EQ(Items(), QStringLiteral("$ 2 $ CTEXTBOX OFF | EOF"));
}

TEST_F(ParseTest, DefWithoutEqualsStopsAtTheStatementEnd) {
    const int f = Pre::NumVar("FNA");
    Pre pre;
    pre.St(St::DEF)
        .Add(CodeKind::NumVar, f)
        .Add(CodeKind::NumArgBind, 1)
        .Add(CodeKind::FrameCountN, 1)
        .Add(CodeKind::FrameCountS, 0)
        .Eol()
        .Var("X")
        .Op(Op::Equal)
        .Num("1")
        .Eol();
    EXPECT_EQ(Parse(pre), Err::DefSyntax);
    EXPECT_EQ(Cs.Parse.PreCodeItem.FirstCode, CodeKind::Operator); // stopped at the line end
    EXPECT_EQ(Cs.Parse.PreCodeItem.Position, 60);
}

TEST_F(ParseTest, ProcedureEndsWithoutTheirHeaderAreRefused) {
    Pre endSub;
    endSub.St(St::ENDSUB).Eol();
    EXPECT_EQ(Parse(endSub), Err::EndSubWithoutSub);

    Pre endFunction;
    endFunction.St(St::ENDFUNCTION).Eol();
    EXPECT_EQ(Parse(endFunction), Err::EndFunctionWithoutFunction);

    // A second END SUB must not patch the first SUB's jump again.
    const int s = Pre::NumVar("S");
    Pre twice;
    twice.St(St::SUB).Add(CodeKind::NumVar, s);
    for (int kind : {CodeKind::SubFrame, CodeKind::SubFrame, CodeKind::SubFrameN, CodeKind::SubFrameN,
                     CodeKind::SubFrameS, CodeKind::SubFrameS})
        twice.Add(kind, 0);
    twice.Eol().St(St::ENDSUB).Eol().St(St::BEEP).Eol().St(St::ENDSUB).Eol();
    EXPECT_EQ(Parse(twice), Err::EndSubWithoutSub);
    EXPECT_EQ(Ib.CodeBuffer[ProgramCodeStart + 1].SecondCode, ProgramCodeStart + 13);
}

TEST_F(ParseTest, MalformedFrameItemsAreNotCopied) {
    const int s = Pre::NumVar("S");
    Pre pre;
    pre.St(St::SUB).Add(CodeKind::NumVar, s).Add(CodeKind::SubFrame, 0).Eol().St(St::BEEP).Eol();
    EXPECT_EQ(Parse(pre), Err::SyntaxError);
}

TEST_F(ParseTest, OptionalArgumentsFillTheirPlaceholders) {
    Pre trailing; // PSET (1, 2), : the empty argument keeps its placeholder
    trailing.St(St::PSET).Point("1", "2").Op(Op::Comma).Eol();
    ASSERT_EQ(Parse(trailing), 0);
    EXPECT_EQ(Items(), QStringLiteral("$ 1 $ $ 2 $ PSET -1 | EOF"));

    Pre tooMany;
    tooMany.St(St::PSET).Point("1", "2").Op(Op::Comma).Num("3").Op(Op::Comma).Num("4").Eol();
    EXPECT_EQ(Parse(tooMany), Err::StatementNotEnded);

    Pre expression; // only single constants and variables
    expression.St(St::PAINT).Point("1", "2").Op(Op::Comma).Var("A").Op(Op::Plus).Num("1").Eol();
    EXPECT_EQ(Parse(expression), Err::ExpressionFormMismatch);

    Pre noComma;
    noComma.St(St::PSET).Point("1", "2").Num("3").Eol();
    EXPECT_EQ(Parse(noComma), Err::ExpressionFormMismatch);
}

TEST_F(ParseTest, LineNumbersMustBeWholeIncreasingAndInRange) {
    for (const char* bad : {"0", "2.5", "1E12", "-3"}) {
        Pre pre;
        pre.Num(bad).St(St::BEEP).Eol();
        EXPECT_EQ(Parse(pre), Err::BadLineNumber) << bad;
    }
    Pre good;
    good.Num("10").St(St::BEEP).Eol().Num("20").St(St::BEEP).Eol();
    ASSERT_EQ(Parse(good), 0);
    ASSERT_EQ(Tb.NumofRegisteredLabel, 2);
    EXPECT_EQ(Tb.LabelTable[2].Key, 20);
    EXPECT_EQ(Tb.LabelTable[2].CodeIndex, ProgramCodeStart + 3);
}

TEST_F(ParseTest, LabelsRefuseNamesInOtherUse) {
    const int a = Pre::NumVar("A");
    Tb.NumVarTable[static_cast<std::size_t>(a)].Kind = NumVarKind::Array;
    Pre array;
    array.Op(Op::Multiply).Add(CodeKind::NumVar, a).Eol();
    EXPECT_EQ(Parse(array), Err::LabelIsArrayName);

    const int f = Pre::NumVar("F");
    Tb.NumVarTable[static_cast<std::size_t>(f)].Kind = NumVarKind::FunctionName;
    Pre function;
    function.Op(Op::Multiply).Add(CodeKind::NumVar, f).Eol();
    EXPECT_EQ(Parse(function), Err::LabelIsProcedureName);

    Pre notName;
    notName.Op(Op::Multiply).Num("5").Eol();
    EXPECT_EQ(Parse(notName), Err::LabelSyntax);
}

TEST_F(ParseTest, DimRefusesBoundsAndNamesTheScanLetThrough) {
    Pre negative;
    negative.St(St::DIM).Var("A").Op(Op::OpenBracket).Num("-1").Op(Op::CloseBracket).Eol();
    EXPECT_EQ(Parse(negative), Err::DimSyntax);
    EXPECT_EQ(Tb.NumofRegisteredANumVar, 0);

    const int label = Pre::NumVar("L");
    Tb.NumVarTable[static_cast<std::size_t>(label)].Kind = NumVarKind::Label;
    Pre used;
    used.St(St::DIM).Add(CodeKind::NumVar, label).Op(Op::OpenBracket).Num("3").Op(Op::CloseBracket).Eol();
    EXPECT_EQ(Parse(used), Err::DeclaredVariableUsed);

    Pre notName;
    notName.St(St::DIM).Num("3").Eol();
    EXPECT_EQ(Parse(notName), Err::StatementNotEnded);
    EXPECT_EQ(Fe.ErrorNameIndex, St::DIM);

    // A formula name reads its bounds and declares nothing.
    CodeItemType formula;
    CreateVariable(QStringLiteral("G@"), VarType::Formula, formula);
    Pre formulaBounds;
    formulaBounds.St(St::DIM).Raw(formula).Op(Op::OpenBracket).Num("3").Op(Op::CloseBracket).Eol();
    EXPECT_EQ(Parse(formulaBounds), 0);
    EXPECT_EQ(Tb.NumofRegisteredANumVar, 0);
}

TEST_F(ParseTest, StatementStartsThatAreNoStatement) {
    Pre op;
    op.Op(Op::Plus).Eol();
    EXPECT_EQ(Parse(op), Err::SyntaxError);

    Pre literal;
    literal.Add(CodeKind::StrLiteral, 1).Eol();
    EXPECT_EQ(Parse(literal), Err::BadStatementStart);

    Pre keyword; // THEN has no generator of its own
    keyword.St(St::THEN).Eol();
    EXPECT_EQ(Parse(keyword), Err::UnknownStatement);

    Pre remark; // accepted, nothing written
    remark.St(St::REM).Eol().St(St::INCLUDE).Eol();
    ASSERT_EQ(Parse(remark), 0);
    EXPECT_EQ(Items(), QStringLiteral("| EOF"));
}

TEST_F(ParseTest, CaseAfterCaseElseIsReportedAsCaseOrder) {
    Pre pre;
    pre.St(St::SELECTCASE)
        .Var("A")
        .Eol()
        .St(St::CASE)
        .Num("1")
        .Eol()
        .St(St::CASEELSE)
        .Eol()
        .St(St::CASE)
        .Num("2")
        .Eol()
        .St(St::ENDSELECT)
        .Eol();
    EXPECT_EQ(Parse(pre), Err::CaseOrder);
}

TEST_F(ParseTest, GotoAndGosubTargets) {
    Pre gotoBad;
    gotoBad.St(St::GOTO).Add(CodeKind::StrLiteral, 1).Eol();
    EXPECT_EQ(Parse(gotoBad), Err::GotoBadTarget);

    Pre gosubNotName;
    gosubNotName.St(St::GOSUB).Op(Op::Multiply).Num("1").Eol();
    EXPECT_EQ(Parse(gosubNotName), Err::GosubBadLabel);

    Pre gosubOperator;
    gosubOperator.St(St::GOSUB).Op(Op::Plus).Eol();
    EXPECT_EQ(Parse(gosubOperator), Err::GosubBadOperator);

    Pre gosubOther;
    gosubOther.St(St::GOSUB).Add(CodeKind::StrLiteral, 1).Eol();
    EXPECT_EQ(Parse(gosubOther), Err::GosubBadTarget);
}

} // namespace
