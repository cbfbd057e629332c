// The pre-scan and the declared-name table: what gets declared where, the limits on declared names,
// how names resolve afterwards (locals, publics, OPTION EXPLICIT), and INCLUDE files.
#include "core/errornumbers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/vocabulary.h"
#include "frontend/declnames.h"
#include "frontend/initall.h"
#include "frontend/prescan.h"
#include "frontend/tokenizer.h"
#include "tests/compiletext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString CrLf = QStringLiteral("\r\n");

void SetText(const QString& program) {
    Rd.CompileText = program + CrLf + QChar(0) + QChar(0);
    Rd.CompileTextLength = static_cast<int>(Rd.CompileText.size());
    ResetSourcePos();
}

// As the engine runs it: the reset (which clears the reader) and then the pre-scan.
void PreScanProgram(const QString& program) {
    SetText(program);
    InitAll();
    Fe.ErrorNumber = 0;
    PreScan();
}

// The entry of a declared name, or null.
const DcVarType* Entry(const QString& name) {
    const int i = FindDcVar(name);
    return i == 0 ? nullptr : &Tb.DcVarTable[static_cast<std::size_t>(i)];
}

int KindOf(const QString& name) {
    const DcVarType* e = Entry(name);
    return e == nullptr ? -1 : e->Kind;
}

// The token the statement scan would get for a name in a context.
CodeItemType Resolve(const QString& name, std::uint8_t context, const QString& prefix = QString()) {
    Rd.DeclContext = context;
    Rd.LocalNamePrefix = prefix;
    CodeItemType token;
    LookUpVariable(name, token);
    return token;
}

class PreScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetInterpreter();
        Fe.ProgramFolder.clear();
        ASSERT_TRUE(dir_.isValid());
    }

    QString WriteFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir dir_;
};

// ---- declarations ---------------------------------------------------------------------------------------

TEST_F(PreScanTest, DeclaresProceduresParametersAndArraysWhereverTheyStand) {
    PreScanProgram(QStringLiteral("CALL Draw\r\n"
                                  "DIM Grid(10, 20), Names$(5) AS STRING, Flag AS BOOLEAN\r\n"
                                  "PUBLIC Total, Label$\r\n"
                                  "SUB Draw(X, Y$, Z AS BOOLEAN, F@, Arr())\r\n"
                                  "  DIM Tmp\r\n"
                                  "END SUB\r\n"
                                  "FUNCTION Twice$(S$)\r\n"
                                  "  DIM Tmp\r\n"
                                  "ENDFUNCTION\r\n"
                                  "DEF FNSq(A) = A * A\r\n"
                                  "DIM After\r\n"));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    // A SUB called before its declaration is already known.
    EXPECT_TRUE(IsSubName(QStringLiteral("DRAW")));
    EXPECT_EQ(KindOf(QStringLiteral("GRID")), DcVarKind::NumberVariable);
    EXPECT_EQ(KindOf(QStringLiteral("NAMES$")), DcVarKind::StringVariable);
    EXPECT_EQ(KindOf(QStringLiteral("FLAG")), DcVarKind::BooleanVariable);
    EXPECT_EQ(KindOf(QStringLiteral("TOTAL")), DcVarKind::NumberPublicVariable);
    EXPECT_EQ(KindOf(QStringLiteral("LABEL$")), DcVarKind::StringPublicVariable);
    // Parameters and locals carry the header's prefix; each header has its own number.
    EXPECT_EQ(KindOf(QStringLiteral("0001X")), DcVarKind::NumberLocalVariable);
    EXPECT_EQ(KindOf(QStringLiteral("0001Y$")), DcVarKind::StringLocalVariable);
    EXPECT_EQ(KindOf(QStringLiteral("0001Z")), DcVarKind::BooleanLocalVariable);
    EXPECT_EQ(KindOf(QStringLiteral("0001F@")), DcVarKind::FormulaLocalVariable);
    EXPECT_EQ(KindOf(QStringLiteral("0001ARR")), DcVarKind::NumberLocalVariable);
    EXPECT_EQ(KindOf(QStringLiteral("0001TMP")), DcVarKind::NumberLocalVariable);
    EXPECT_EQ(KindOf(QStringLiteral("TWICE$")), DcVarKind::StringFunction);
    EXPECT_EQ(KindOf(QStringLiteral("0002S$")), DcVarKind::StringLocalVariable);
    EXPECT_EQ(KindOf(QStringLiteral("0002TMP")), DcVarKind::NumberLocalVariable);
    EXPECT_EQ(KindOf(QStringLiteral("FNSQ")), DcVarKind::NumberFunction);
    // DEF parameters are left to the statement scan; names in DIM bounds are not declared.
    EXPECT_EQ(Entry(QStringLiteral("A")), nullptr);
    EXPECT_EQ(Entry(QStringLiteral("0003A")), nullptr);
    // After the DEF, the main program again.
    EXPECT_EQ(KindOf(QStringLiteral("AFTER")), DcVarKind::NumberVariable);
    EXPECT_EQ(Rd.DeclContext, DeclCtx::Main);
    EXPECT_EQ(Rd.DefCounter, 3);
    EXPECT_EQ(Tb.NumofRegisteredDcVar, 17);
}

TEST_F(PreScanTest, BothFormsOfEndCloseTheProcedure) {
    for (const QString& end :
         {QStringLiteral("END SUB"), QStringLiteral("ENDSUB"), QStringLiteral("end sub")}) {
        PreScanProgram(QStringLiteral("SUB S\r\n") + end + QStringLiteral("\r\nDIM Q\r\n"));
        ASSERT_EQ(Fe.ErrorNumber, 0);
        EXPECT_EQ(KindOf(QStringLiteral("Q")), DcVarKind::NumberVariable) << end.toStdString();
    }
    // Without an end the DIM stays local to the SUB.
    PreScanProgram(QStringLiteral("SUB S\r\nDIM Q\r\n"));
    EXPECT_EQ(KindOf(QStringLiteral("0001Q")), DcVarKind::NumberLocalVariable);
    EXPECT_EQ(Rd.DeclContext, DeclCtx::SubBody);
}

TEST_F(PreScanTest, ExitProcedureIsNoHeader) {
    PreScanProgram(QStringLiteral("FUNCTION F(N)\r\nIF N THEN EXIT FUNCTION\r\nEND FUNCTION\r\nDIM Q"));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Rd.DefCounter, 1);
    EXPECT_EQ(KindOf(QStringLiteral("Q")), DcVarKind::NumberVariable);

    PreScanProgram(QStringLiteral("EXIT\r\n"));
    EXPECT_EQ(Fe.ErrorNumber, Err::ExitSyntax);
    PreScanProgram(QStringLiteral("EXIT WHILE\r\n"));
    EXPECT_EQ(Fe.ErrorNumber, Err::ExitSyntax);
}

TEST_F(PreScanTest, CommentsAndBraceBlocksDeclareNothing) {
    PreScanProgram(
        QStringLiteral("' DIM A\r\nREM SUB B\r\nX = 1 ' PUBLIC C\r\n{ DIM D\r\n SUB E }\r\nDIM F"));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Tb.NumofRegisteredDcVar, 1);
    EXPECT_EQ(KindOf(QStringLiteral("F")), DcVarKind::NumberVariable);
    // A brace block left open runs to the end of the text.
    PreScanProgram(QStringLiteral("{ DIM A\r\nDIM B"));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Tb.NumofRegisteredDcVar, 0);
}

TEST_F(PreScanTest, ConstantsAreLeftToTheStatementScan) {
    PreScanProgram(QStringLiteral("CONST A = 1\r\nPUBLIC CONST B = 2, C$ = \"x\"\r\nDIM D"));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Entry(QStringLiteral("A")), nullptr);
    EXPECT_EQ(Entry(QStringLiteral("B")), nullptr);
    EXPECT_EQ(Tb.NumofRegisteredDcVar, 1);
}

TEST_F(PreScanTest, ErrorsInHeadersAndListsNameTheirStatement) {
    struct Case {
        const char* program;
        int error;
        int named;
    };
    const Case cases[] = {
        {"SUB S$\r\n", Err::SubBadName, St::SUB},
        {"SUB S AS REAL, T\r\n", 0, 0},
        {"SUB S AS STRING\r\n", Err::SubBadName, St::SUB},
        {"SUB PRINT\r\n", Err::BadDeclaredName, St::SUB},
        {"FUNCTION LEN(X)\r\n", Err::BadDeclaredName, St::FUNCTION},
        {"SUB S(A, PRINT)\r\n", Err::StatementSyntax, St::SUB},
        {"SUB S\r\nPUBLIC P\r\n", Err::StatementSyntax, St::PUBLIC},
        {"DIM A(N + 1)\r\n", Err::StatementSyntax, St::DIM},
        {"DIM A(-1)\r\n", Err::StatementSyntax, St::DIM},
        {"DIM A(10\r\n", Err::StatementSyntax, St::DIM},
        {"DIM LEN\r\n", Err::BadDeclaredName, St::DIM},
        {"DIM A PRINT\r\n", Err::BadDeclaredName, St::DIM},
        {"DIM A = 1\r\n", Err::StatementSyntax, St::DIM},
        {"DIM A, A\r\n", Err::NameDeclaredTwice, St::DIM},
        {"DIM A$ AS REAL\r\n", Err::TypeSuffixConflict, St::DIM},
        {"DIM F@ AS REAL\r\n", Err::TypeSuffixConflict, St::DIM},
        {"PUBLIC X, CONST\r\n", Err::BadDeclaredName, St::PUBLIC},
    };
    for (const Case& c : cases) {
        Fe.ErrorNameIndex = 0;
        PreScanProgram(QString::fromLatin1(c.program));
        EXPECT_EQ(Fe.ErrorNumber, c.error) << c.program;
        if (c.error != 0) {
            EXPECT_EQ(Fe.ErrorNameIndex, c.named) << c.program;
        }
    }
}

TEST_F(PreScanTest, DeclaredTypesComeFromAsClauses) {
    PreScanProgram(QStringLiteral("DIM A AS STRING, B as real, C(3) AS Boolean, D AS STRINGX, E$ AS STRING"));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(KindOf(QStringLiteral("A")), DcVarKind::StringVariable);
    EXPECT_EQ(KindOf(QStringLiteral("B")), DcVarKind::NumberVariable);
    EXPECT_EQ(KindOf(QStringLiteral("C")), DcVarKind::BooleanVariable);
    EXPECT_EQ(KindOf(QStringLiteral("D")), DcVarKind::NumberVariable); // no such type word: no clause
    EXPECT_EQ(KindOf(QStringLiteral("E$")), DcVarKind::StringVariable);

    // The statement scan then makes A a string variable although it has no "$".
    const CodeItemType declared = Resolve(QStringLiteral("A"), DeclCtx::Main);
    EXPECT_EQ(declared.FirstCode, CodeKind::StrVar);
    EXPECT_EQ(Tb.StrVarTable[static_cast<std::size_t>(declared.SecondCode)].Name, QStringLiteral("A"));
}

// ---- limits
// --------------------------------------------------------------------------------------------------

QString DimList(int from, int to) {
    QString text = QStringLiteral("DIM ");
    for (int i = from; i <= to; ++i) {
        if (i > from) text += u',';
        text += QStringLiteral("V%1").arg(i);
    }
    return text;
}

TEST_F(PreScanTest, AtMost1024DeclaredNames) {
    PreScanProgram(DimList(1, 1000) + CrLf + DimList(1001, 1024));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Tb.NumofRegisteredDcVar, DcVarCapacity);

    PreScanProgram(DimList(1, 1000) + CrLf + DimList(1001, 1025));
    EXPECT_EQ(Fe.ErrorNumber, Err::TooManyDeclaredNames);
    EXPECT_EQ(Tb.NumofRegisteredDcVar, DcVarCapacity);
}

TEST_F(PreScanTest, NamesOfAtMostThirtyCharacters) {
    const QString thirty(30, u'N');
    PreScanProgram(QStringLiteral("DIM ") + thirty);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(KindOf(thirty), DcVarKind::NumberVariable);

    PreScanProgram(QStringLiteral("DIM ") + thirty + u'N');
    EXPECT_EQ(Fe.ErrorNumber, Err::NameTooLong);
    // Every name the pre-scan reads is held to the limit.
    PreScanProgram(thirty + QStringLiteral("NN = 1"));
    EXPECT_EQ(Fe.ErrorNumber, Err::NameTooLong);
}

TEST_F(PreScanTest, LocalPrefixesWrapAfterFourDigits) {
    EXPECT_EQ(LocalPrefixFor(1), QStringLiteral("0001"));
    EXPECT_EQ(LocalPrefixFor(42), QStringLiteral("0042"));
    EXPECT_EQ(LocalPrefixFor(9999), QStringLiteral("9999"));
    EXPECT_EQ(LocalPrefixFor(10000), QStringLiteral("0000"));
    EXPECT_EQ(LocalPrefixFor(12345), QStringLiteral("2345"));
}

// ---- resolving names after the pre-scan -------------------------------------------------------------------

TEST_F(PreScanTest, NamesInsideProceduresAreLocalUnlessPublic) {
    PreScanProgram(QStringLiteral("DIM Main\r\nPUBLIC Shared\r\nSUB A\r\nEND SUB\r\nSUB B\r\nEND SUB"));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    ResetNumTbl();

    const CodeItemType inA = Resolve(QStringLiteral("X"), DeclCtx::SubBody, QStringLiteral("0001"));
    const CodeItemType inB = Resolve(QStringLiteral("X"), DeclCtx::SubBody, QStringLiteral("0002"));
    const CodeItemType inMain = Resolve(QStringLiteral("X"), DeclCtx::Main);
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(inA.SecondCode)].Name, QStringLiteral("0001X"));
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(inB.SecondCode)].Name, QStringLiteral("0002X"));
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(inMain.SecondCode)].Name, QStringLiteral("X"));
    EXPECT_NE(inA.SecondCode, inB.SecondCode);
    EXPECT_EQ(Resolve(QStringLiteral("X"), DeclCtx::SubBody, QStringLiteral("0001")), inA);

    // A PUBLIC name is the global one, a DIM of the main program is not visible inside a SUB.
    const CodeItemType sharedMain = Resolve(QStringLiteral("SHARED"), DeclCtx::Main);
    EXPECT_EQ(Resolve(QStringLiteral("SHARED"), DeclCtx::SubBody, QStringLiteral("0001")), sharedMain);
    const CodeItemType mainDim = Resolve(QStringLiteral("MAIN"), DeclCtx::Main);
    const CodeItemType localDim = Resolve(QStringLiteral("MAIN"), DeclCtx::SubBody, QStringLiteral("0001"));
    EXPECT_NE(mainDim, localDim);
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(localDim.SecondCode)].Name, QStringLiteral("0001MAIN"));
    // SUB names are global inside procedures too.
    EXPECT_EQ(Resolve(QStringLiteral("B"), DeclCtx::SubBody, QStringLiteral("0001")),
              Resolve(QStringLiteral("B"), DeclCtx::Main));
}

TEST_F(PreScanTest, DeclaringTwiceAndBindingTheEntry) {
    PreScanProgram(QStringLiteral("DIM A AS STRING\r\nSUB S(P)\r\nEND SUB"));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    // The reader stands just after the name, before its AS clause.
    SetText(QStringLiteral(" AS STRING"));
    Rd.DeclContext = DeclCtx::DimList;
    CodeItemType token;
    LookUpVariable(QStringLiteral("A"), token);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(token.FirstCode, CodeKind::StrVar);
    EXPECT_EQ(Entry(QStringLiteral("A"))->Index, token.SecondCode);
    // Declaring it again is refused.
    LookUpVariable(QStringLiteral("A"), token);
    EXPECT_EQ(Fe.ErrorNumber, Err::VariableDeclaredTwice);
    // A parameter resolves to its prefixed variable and binds its entry.
    Fe.ErrorNumber = 0;
    SetText(QString());
    const CodeItemType param = Resolve(QStringLiteral("P"), DeclCtx::SubParams, QStringLiteral("0001"));
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(param.SecondCode)].Name, QStringLiteral("0001P"));
    EXPECT_EQ(Entry(QStringLiteral("0001P"))->Index, param.SecondCode);
    // A name never declared cannot be bound.
    Resolve(QStringLiteral("NEVER"), DeclCtx::DimList);
    EXPECT_EQ(Fe.ErrorNumber, Err::UnexpectedLexError);
}

TEST_F(PreScanTest, ProcedureNamesGetTheirRecordKinds) {
    CodeItemType token;
    Rd.DeclContext = DeclCtx::SubName;
    CreateVariable(QStringLiteral("S"), VarType::Real, token);
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(token.SecondCode)].Kind, NumVarKind::SubName);
    Rd.DeclContext = DeclCtx::FunctionName;
    CreateVariable(QStringLiteral("F"), VarType::Real, token);
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(token.SecondCode)].Kind, NumVarKind::FunctionName);
    CreateVariable(QStringLiteral("G$"), VarType::String, token);
    EXPECT_EQ(Tb.StrVarTable[static_cast<std::size_t>(token.SecondCode)].Kind, StrVarKind::FunctionName);
    Rd.DeclContext = DeclCtx::Main;
    CreateVariable(QStringLiteral("H"), VarType::Real, token);
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(token.SecondCode)].Kind, NumVarKind::Variable);
}

TEST_F(PreScanTest, ConstantsResolveToTheirLiterals) {
    InitAll();
    Fe.ErrorNumber = 0;
    // As the statement scan declares them: CONST in the main program and in a SUB, PUBLIC CONST.
    SetText(QStringLiteral("N"));
    CodeItemType token;
    Rd.DeclContext = DeclCtx::Const;
    RegisterDcVar(QStringLiteral("N"), token);
    EXPECT_EQ(token.FirstCode, 15);
    Tb.DcVarTable[static_cast<std::size_t>(token.SecondCode)].Index = 3;
    Rd.DeclContext = DeclCtx::PublicConst;
    RegisterDcVar(QStringLiteral("P$"), token);
    EXPECT_EQ(token.FirstCode, 25);
    Tb.DcVarTable[static_cast<std::size_t>(token.SecondCode)].Index = 2;
    SetText(QStringLiteral(" AS BOOLEAN"));
    Rd.DeclContext = DeclCtx::SubConst;
    Rd.LocalNamePrefix = QStringLiteral("0001");
    RegisterDcVar(QStringLiteral("OK"), token);
    EXPECT_EQ(token.FirstCode, 35);
    EXPECT_EQ(KindOf(QStringLiteral("0001OK")), DcVarKind::BooleanConstant);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    Tb.DcVarTable[static_cast<std::size_t>(token.SecondCode)].Index = BoolConstFalse;
    // The CONST scanner's type clause: the reader moves past it.
    SetText(QStringLiteral(" AS BOOLEAN = TRUE"));
    Rd.DeclContext = DeclCtx::Const;
    RegisterDcVar(QStringLiteral("Q"), token);
    EXPECT_EQ(token.FirstCode, 35);
    EXPECT_EQ(Rd.SourcePos, 12);

    EXPECT_EQ(Resolve(QStringLiteral("N"), DeclCtx::Main), (CodeItemType{CodeKind::NumLiteral, 2, 0}));
    EXPECT_EQ(Resolve(QStringLiteral("P$"), DeclCtx::Main), (CodeItemType{CodeKind::StrLiteral, 2, 0}));
    EXPECT_EQ(Resolve(QStringLiteral("P$"), DeclCtx::SubBody, QStringLiteral("0001")),
              (CodeItemType{CodeKind::StrLiteral, 2, 0}));
    EXPECT_EQ(Resolve(QStringLiteral("OK"), DeclCtx::SubBody, QStringLiteral("0001")),
              (CodeItemType{CodeKind::BoolConst, BoolConstFalse, 0}));
    // The main program's CONST is not seen inside a SUB: there N is a new local variable.
    const CodeItemType local = Resolve(QStringLiteral("N"), DeclCtx::SubBody, QStringLiteral("0001"));
    EXPECT_EQ(local.FirstCode, CodeKind::NumVar);
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(local.SecondCode)].Name, QStringLiteral("0001N"));
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

TEST_F(PreScanTest, PublicConstFormulaIsNoConstant) {
    SetText(QStringLiteral("F@"));
    CodeItemType token;
    Rd.DeclContext = DeclCtx::PublicConst;
    RegisterDcVar(QStringLiteral("F@"), token);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(KindOf(QStringLiteral("F@")), DcVarKind::Skip);
    EXPECT_EQ(token.FirstCode, CodeKind::FormulaVar); // not 72: the CONST scanner refuses it
    Resolve(QStringLiteral("F@"), DeclCtx::Main);
    EXPECT_EQ(Fe.ErrorNumber, Err::UnexpectedLexError);
}

TEST_F(PreScanTest, IsSubNameAnswersForTheFirstEntryOnly) {
    Tb.DcVarTable[1] = DcVarType{QStringLiteral("EVT"), DcVarKind::NumberVariable, 0};
    Tb.DcVarTable[2] = DcVarType{QStringLiteral("EVT"), DcVarKind::Sub, 0};
    Tb.DcVarTable[3] = DcVarType{QStringLiteral("CLICK"), DcVarKind::Sub | 0x80, 0}; // only 7 bits count
    Tb.NumofRegisteredDcVar = 3;
    EXPECT_FALSE(IsSubName(QStringLiteral("EVT")));
    EXPECT_TRUE(IsSubName(QStringLiteral("CLICK")));
    EXPECT_FALSE(IsSubName(QStringLiteral("NONE")));
    EXPECT_EQ(FindGlobalDcVar(QStringLiteral("EVT")), 2);
}

// ---- OPTION EXPLICIT
// --------------------------------------------------------------------------------------------

TEST_F(PreScanTest, OptionExplicitMustComeFirst) {
    PreScanProgram(QStringLiteral("REM checked\r\n' comment\r\nX = 1\r\nOPTION EXPLICIT\r\nDIM Y"));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Ps.OptionExplicit, 1);
    EXPECT_EQ(KindOf(QStringLiteral("Y")), DcVarKind::NumberVariable);

    PreScanProgram(QStringLiteral("PRINT 1\r\nOPTION EXPLICIT"));
    EXPECT_EQ(Fe.ErrorNumber, Err::OptionNotFirst);

    PreScanProgram(QStringLiteral("OPTION EXPLICIT OFF"));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Ps.OptionExplicit, 0);
    PreScanProgram(QStringLiteral("option explicit on"));
    EXPECT_EQ(Ps.OptionExplicit, 1);
    // OPTION ANGLE is left to the statement scan.
    PreScanProgram(QStringLiteral("OPTION ANGLE DEGREES"));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Ps.OptionExplicit, 0);
    // The token after EXPLICIT is read again: here a comment.
    PreScanProgram(QStringLiteral("OPTION EXPLICIT ' DIM Z\r\nDIM W"));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Ps.OptionExplicit, 1);
    EXPECT_EQ(Entry(QStringLiteral("Z")), nullptr);
    EXPECT_NE(Entry(QStringLiteral("W")), nullptr);
}

TEST_F(PreScanTest, OptionExplicitRefusesUndeclaredNames) {
    PreScanProgram(QStringLiteral("OPTION EXPLICIT\r\nDIM Known\r\nSUB S(P)\r\nEND SUB"));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    Resolve(QStringLiteral("KNOWN"), DeclCtx::Main);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    Resolve(QStringLiteral("P"), DeclCtx::SubBody, QStringLiteral("0001"));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    Resolve(QStringLiteral("UNKNOWN"), DeclCtx::Main);
    EXPECT_EQ(Fe.ErrorNumber, Err::UndeclaredVariable);
    Fe.ErrorNumber = 0;
    Resolve(QStringLiteral("UNKNOWN"), DeclCtx::SubBody, QStringLiteral("0001"));
    EXPECT_EQ(Fe.ErrorNumber, Err::UndeclaredVariable);
    EXPECT_EQ(Tb.NumofRegisteredNumVar, 2);
}

// ---- INCLUDE
// ----------------------------------------------------------------------------------------------------

TEST_F(PreScanTest, IncludeInsertsTheFileAfterTheStatement) {
    // LF and lone CR line ends in the file become CR LF; a last line without a line end is kept.
    WriteFile(QStringLiteral("lib.lxt"), QByteArray("SUB Helper\nPRINT 1\rEND SUB"));
    Fe.ProgramFolder = dir_.path();
    const QString program = QStringLiteral("INCLUDE \"lib.lxt\" ' tools\r\nCALL Helper");
    PreScanProgram(program);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    const QString inserted = QStringLiteral("\r\nSUB Helper\r\nPRINT 1\r\nEND SUB\r\n:IncludeOff:\r\n");
    const QString expected = QStringLiteral("INCLUDE \"lib.lxt\"") + inserted +
                             QStringLiteral(" ' tools\r\nCALL Helper\r\n") + QChar(0) + QChar(0);
    EXPECT_EQ(Rd.CompileText, expected);
    EXPECT_EQ(Rd.CompileTextLength, expected.size());
    EXPECT_EQ(Rd.IncludeOffset, inserted.size());
    // The included file's declarations are entered.
    EXPECT_TRUE(IsSubName(QStringLiteral("HELPER")));
}

TEST_F(PreScanTest, IncludeNamesUseBackslashesAndTheProgramFolder) {
    WriteFile(QStringLiteral("sub/inc.lxt"), QByteArray("DIM FromSub\r\n"));
    Fe.ProgramFolder = dir_.path();
    PreScanProgram(QStringLiteral("INCLUDE \"sub\\inc.lxt\""));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_NE(Entry(QStringLiteral("FROMSUB")), nullptr);

    const QString absolute = QDir::toNativeSeparators(dir_.filePath(QStringLiteral("sub/inc.lxt")));
    Fe.ProgramFolder = QStringLiteral("/nonexistent");
    PreScanProgram(QStringLiteral("INCLUDE \"") + absolute + u'"');
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(IncludeFilePath(QStringLiteral("a\\b.lxt")), QStringLiteral("/nonexistent/a/b.lxt"));
}

TEST_F(PreScanTest, IncludeReadsUnicodeFilesByTheirByteOrderMark) {
    WriteFile(QStringLiteral("u8.lxt"), QByteArray("\xEF\xBB\xBF"
                                                   "DIM U8\r\n"));
    QByteArray utf16("\xFF\xFE", 2);
    for (char c : QByteArray("DIM U16\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    WriteFile(QStringLiteral("u16.lxt"), utf16);
    Fe.ProgramFolder = dir_.path();
    PreScanProgram(QStringLiteral("INCLUDE \"u8.lxt\"\r\nINCLUDE \"u16.lxt\""));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_NE(Entry(QStringLiteral("U8")), nullptr);
    EXPECT_NE(Entry(QStringLiteral("U16")), nullptr);
    EXPECT_FALSE(Rd.CompileText.contains(QChar(0xFEFF)));
}

TEST_F(PreScanTest, IncludeErrors) {
    Fe.ProgramFolder = dir_.path();
    // Error positions are those of the program text as written.
    PreScanProgram(QStringLiteral("X = 1\r\nINCLUDE \"missing.lxt\"\r\n"));
    EXPECT_EQ(Fe.ErrorNumber, Err::IncludeFileNotFound);
    EXPECT_EQ(Rd.SourcePos, 29); // just after the file name

    PreScanProgram(QStringLiteral("INCLUDE 5"));
    EXPECT_EQ(Fe.ErrorNumber, Err::IncludeNoString);

    QDir(dir_.path()).mkdir(QStringLiteral("folder.lxt"));
    PreScanProgram(QStringLiteral("INCLUDE \"folder.lxt\""));
    EXPECT_EQ(Fe.ErrorNumber, Err::IncludeFileNotFound);
}

TEST_F(PreScanTest, ErrorsInIncludedTextPointAtTheIncludeStatement) {
    WriteFile(QStringLiteral("bad.lxt"), QByteArray("REM fine\r\nDIM A(N + 1)\r\n"));
    Fe.ProgramFolder = dir_.path();
    const QString program = QStringLiteral("PRINT 1\r\nINCLUDE \"bad.lxt\"\r\nPRINT 2");
    PreScanProgram(program);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementSyntax);
    EXPECT_EQ(Rd.SourcePos, program.indexOf(u'"', 18) + 2); // after the closing quote
}

TEST_F(PreScanTest, ErrorsAfterIncludedTextKeepTheirOwnPositions) {
    WriteFile(QStringLiteral("ok.lxt"), QByteArray("DIM A\r\nDIM B\r\n"));
    Fe.ProgramFolder = dir_.path();
    const QString program = QStringLiteral("INCLUDE \"ok.lxt\"\r\nDIM C(1+2)");
    PreScanProgram(program);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementSyntax);
    // The reader stopped after "+" (1-based position of the next character).
    EXPECT_EQ(Rd.SourcePos, program.indexOf(u'+') + 2);
}

TEST_F(PreScanTest, IncludedTextMayNotIncludeAgain) {
    Fe.ProgramFolder = dir_.path();
    // A file including itself must neither hang nor grow the text for ever.
    WriteFile(QStringLiteral("self.lxt"), QByteArray("DIM S\r\nINCLUDE \"self.lxt\"\r\n"));
    WriteFile(QStringLiteral("outer.lxt"), QByteArray("INCLUDE \"lib.lxt\"\r\n"));
    WriteFile(QStringLiteral("lib.lxt"), QByteArray("DIM L\r\n"));
    const QString program = QStringLiteral("REM\r\nINCLUDE \"self.lxt\"");
    PreScanProgram(program);
    EXPECT_EQ(Fe.ErrorNumber, Err::NestedInclude);
    EXPECT_EQ(Rd.SourcePos, program.size() + 1);

    PreScanProgram(QStringLiteral("INCLUDE \"outer.lxt\""));
    EXPECT_EQ(Fe.ErrorNumber, Err::NestedInclude);

    // Two INCLUDE statements one after the other are fine.
    PreScanProgram(QStringLiteral("INCLUDE \"lib.lxt\"\r\nINCLUDE \"lib.lxt\""));
    EXPECT_EQ(Fe.ErrorNumber, Err::NameDeclaredTwice); // the same DIM twice, which is the file's fault
    EXPECT_EQ(Rd.SourcePos, 37);                       // at the second INCLUDE
}

TEST_F(PreScanTest, EndMarkerInsideAnIncludedFileIsRefused) {
    WriteFile(QStringLiteral("marker.lxt"), QByteArray("PRINT 1\r\n:IncludeOff:\r\nPRINT 2\r\n"));
    Fe.ProgramFolder = dir_.path();
    PreScanProgram(QStringLiteral("INCLUDE \"marker.lxt\"\r\nX = 1"));
    EXPECT_EQ(Fe.ErrorNumber, Err::IncludeOffInProgram);
    EXPECT_EQ(Rd.SourcePos, 21);
    // The marker this pre-scan writes itself passes.
    WriteFile(QStringLiteral("plain.lxt"), QByteArray("PRINT 1\r\n"));
    PreScanProgram(QStringLiteral("INCLUDE \"plain.lxt\"\r\nX = 1"));
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

TEST_F(PreScanTest, LexicalErrorsStopThePreScanAtTheirPosition) {
    PreScanProgram(QStringLiteral("X = 1\r\nY = \"open\r\nZ = 2"));
    EXPECT_EQ(Fe.ErrorNumber, Err::StringNotClosed);
    EXPECT_EQ(Rd.SourcePos, 17); // at the CR
    PreScanProgram(QStringLiteral("A = 1\r\nB = Ａ"));
    EXPECT_EQ(Fe.ErrorNumber, Err::WideCharacter);
    // Literals are not converted by the pre-scan: a bad number waits for the statement scan.
    PreScanProgram(QStringLiteral("A = 1.2.3\r\nB = &H"));
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

} // namespace
