// The statement scan and the pre-code listing: small programs go through the reset, the pre-scan and
// the scan as a run does, and their pre-code listings are compared with the expected text. Block
// structure, single-line IF, declarations, keyword forms, member and control property forms,
// comments, sign folding, INCLUDE positions and the errors with their positions.
#include "core/errornumbers.h"
#include "core/errortext.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/vocabulary.h"
#include "frontend/compile.h"
#include "frontend/compilerstate.h"
#include "frontend/declnames.h"
#include "frontend/initall.h"
#include "frontend/listing.h"
#include "frontend/prescan.h"
#include "frontend/scan.h"
#include "frontend/tokenizer.h"
#include "tests/compiletext.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString CrLf = QStringLiteral("\r\n");

// The program's lines are given with "\n"; the compile text has CR LF and the two closing NULs.
void SetText(const QString& program) {
    QString text = program;
    text.replace(u'\n', CrLf);
    Rd.CompileText = text + CrLf + QChar(0) + QChar(0);
    Rd.CompileTextLength = static_cast<int>(Rd.CompileText.size());
    ResetSourcePos();
}

// Reset, pre-scan and scan as the interpreter thread does for a program run. With prescan false
// only the scan runs (for errors the pre-scan would report first).
void ScanText(const QString& program, bool prescan = true) {
    ResetInterpreter();
    SetText(program);
    if (prescan) {
        Ib.PreCodeIndex = ProgramCodeStart;
        PreScan();
        ASSERT_EQ(Fe.ErrorNumber, 0) << "pre-scan of: " << program.toStdString();
    }
    Ib.PreCodeIndex = ProgramCodeStart;
    ScanProgram();
}

QString Listing() {
    QString text;
    PreCodeListing(text);
    return text;
}

// Every program's pre-code ends with the end-of-text item and the end item.
const QString Tail = QStringLiteral(" FirstCode=0,SecondCode=0 EOF/");

// The listing without indices and positions, line ends shown as "/", the common tail cut off: the
// items of the program alone, e.g. "PRINT 1 /".
QString Body(const QString& program, bool prescan = true) {
    ScanText(program, prescan);
    EXPECT_EQ(Fe.ErrorNumber, 0) << "scan of: " << program.toStdString() << " error " << Fe.ErrorNumber;
    QString text = Listing();
    text.replace(QRegularExpression(QStringLiteral("\\[\\d+:\\d+\\]")), QStringLiteral(" "));
    text.replace(CrLf, QStringLiteral("/"));
    text = text.simplified();
    if (!(QStringLiteral(" ") + text).endsWith(Tail)) {
        ADD_FAILURE() << "no end items in: " << text.toStdString();
        return text;
    }
    return text.left(text.size() - Tail.size() + 1).trimmed();
}

struct ScanError {
    int Number;
    int Name;
    int Position;
};

ScanError ErrorOf(const QString& program, bool prescan = true) {
    ScanText(program, prescan);
    return ScanError{Fe.ErrorNumber, Fe.ErrorNameIndex, Cs.Scan.PreCodeItem.Position};
}

// The listing shows a further argument form of a statement or function, and a window setting's value,
// by its number: made here from the word's code, which a new word may move (the internal codes, written
// out as numbers below, never move).
std::string StForm(int code, int k) {
    return "InnerSt" + std::to_string(code + k * ArgumentFormStep);
}
std::string FnForm(int code, int k) {
    return "InnerFn" + std::to_string(code + k * FunctionFormStep);
}
std::string Setting(int statement) {
    return "InnerFn" + std::to_string(SettingValueBase + statement);
}

std::string Str(const QString& s) {
    return s.toStdString();
}

// ---- the listing format ------------------------------------------------------------------------------

TEST(PreCodeListing, OneLineProgramWithIndicesAndPositions) {
    ScanText(QStringLiteral("PRINT 1"));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Str(Listing()),
              "[101:1]PRINT[102:7]1[103:8]\r\n[104:10]FirstCode=0,SecondCode=0[105:11]EOF\r\n");
    // The listing uses PreCodeIndex as its cursor and leaves it after the last item read.
    EXPECT_EQ(Ib.PreCodeIndex, Ib.CurrentmaxPreCodeNum + 1);
}

TEST(PreCodeListing, SingleLineIfWithIndicesAndPositions) {
    ScanText(QStringLiteral("IF A THEN PRINT 1"));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Str(Listing()), "[101:1]IF[102:4]#A[103:6]THEN[104:6]\r\n[105:11]PRINT[106:17]1[107:18]:"
                              "[108:18]ENDIF[109:18]\r\n[110:20]FirstCode=0,SecondCode=0[111:21]EOF\r\n");
}

// ---- block structure ------------------------------------------------------------------------------

TEST(ScanBlocks, SingleLineIfClosesAtTheLineEnd) {
    EXPECT_EQ(Str(Body(QStringLiteral("IF A THEN PRINT 1 ELSE PRINT 2"))),
              "IF #A THEN / PRINT 1 / ELSE / PRINT 2 : ENDIF /");
    EXPECT_EQ(Str(Body(QStringLiteral("IF A THEN 100"))), "IF #A THEN / GOTO 100 : ENDIF /");
    EXPECT_EQ(Str(Body(QStringLiteral("IF A THEN PRINT 1 ELSE 200"))),
              "IF #A THEN / PRINT 1 / ELSE / GOTO 200 : ENDIF /");
    // A comment after THEN leaves a block IF; a comment after the statement still closes the IF.
    EXPECT_EQ(Str(Body(QStringLiteral("IF A THEN ' c\nPRINT 1\nEND IF"))),
              "IF #A THEN / / / PRINT 1 / ENDIF /");
    EXPECT_EQ(Str(Body(QStringLiteral("IF A THEN PRINT 1 ' c\nPRINT 2"))),
              "IF #A THEN / PRINT 1 / : ENDIF / PRINT 2 /");
}

TEST(ScanBlocks, BlockIfWithElseIfAndElse) {
    EXPECT_EQ(Str(Body(QStringLiteral(
                  "IF A > 1 THEN\nPRINT 1\nELSEIF A < 0 THEN\nPRINT 2\nELSE\nPRINT 3\nEND IF"))),
              "IF #A > 1 THEN / / PRINT 1 / / ELSEIF #A < 0 THEN / / PRINT 2 / / ELSE / / PRINT 3 / ENDIF /");
    EXPECT_EQ(Str(Body(QStringLiteral("IF A THEN\nENDIF"))), "IF #A THEN / / ENDIF /");
}

TEST(ScanBlocks, SelectCaseFoldsItsWords) {
    EXPECT_EQ(Str(Body(QStringLiteral("SELECT CASE X\nCASE 1\nPRINT 1\nCASE ELSE\nPRINT 2\nEND SELECT"))),
              "SELECTCASE #X / CASE 1 / PRINT 1 / CASEELSE / PRINT 2 / ENDSELECT /");
}

TEST(ScanBlocks, LoopFormsBecomeTheirCompiledCodes) {
    EXPECT_EQ(Str(Body(QStringLiteral("DO WHILE X < 3\nX = X + 1\nLOOP"))),
              "WHILE #X < 3 / #X = #X + 1 / WEND /");
    EXPECT_EQ(Str(Body(QStringLiteral("DO UNTIL X\nLOOP"))), "InnerSt239 #X / LOOP /");
    EXPECT_EQ(Str(Body(QStringLiteral("DO\nLOOP WHILE X"))), "DO / InnerSt263 #X /");
    EXPECT_EQ(Str(Body(QStringLiteral("DO\nLOOP UNTIL X"))), "DO / InnerSt262 #X /");
    EXPECT_EQ(Str(Body(QStringLiteral("DO\nEXIT DO\nLOOP"))), "DO / EXITDO / InnerSt238 /");
    EXPECT_EQ(Str(Body(QStringLiteral("WHILE X\nWEND\nWHILE X\nEND WHILE"))),
              "WHILE #X / WEND / WHILE #X / WEND /");
}

TEST(ScanBlocks, ForAndNext) {
    EXPECT_EQ(Str(Body(QStringLiteral("FOR I = 1 TO 3 STEP 2\nEXIT FOR\nNEXT I"))),
              "FOR #I = 1 TO 3 STEP 2 / EXITFOR / NEXT /");
    EXPECT_EQ(Str(Body(QStringLiteral("FOR I = 1 TO 2\nFOR J = 1 TO 2 : NEXT : NEXT"))),
              "FOR #I = 1 TO 2 / FOR #J = 1 TO 2 : NEXT : NEXT /");
    EXPECT_EQ(Str(Body(QStringLiteral("FOR I = 1 TO 2\nNEXT ' done"))), "FOR #I = 1 TO 2 / NEXT / /");
    // The FOR of OPEN opens no loop.
    EXPECT_EQ(Str(Body(QStringLiteral("OPEN \"f\" FOR INPUT AS #1"))), "OPEN f FOR INPUT AS # 1 /");
}

TEST(ScanBlocks, NextAtTheLineEndOfASingleLineIfClosesTheIf) {
    // The line after it must not become part of the THEN branch.
    EXPECT_EQ(Str(Body(QStringLiteral("IF A THEN FOR I = 1 TO 2 : PRINT I : NEXT\nPRINT 9"))),
              "IF #A THEN / FOR #I = 1 TO 2 : PRINT #I : NEXT : ENDIF / PRINT 9 /");
}

TEST(ScanBlocks, MismatchedBlocksNameTheBlockFound) {
    struct Case {
        const char* Program;
        int Number;
        int Name;
    };
    const Case cases[] = {
        {"IF A THEN\nPRINT 1", Err::BlockNotClosed, St::THEN},
        {"DO\nPRINT 1", Err::BlockNotClosed, St::DO},
        {"FOR I = 1 TO 2\nIF A THEN\nNEXT", Err::NextMismatch, St::THEN},
        {"NEXT", Err::NextMismatch, St::NEXT},
        {"FOR I = 1 TO 2\nNEXT J", Err::NextVariableNotFor, St::NEXT},
        {"FOR I = 1 TO 2\nNEXT 5", Err::NextNotNumericVariable, St::NEXT},
        {"FOR 5 = 1 TO 2", Err::ForNotNumericVariable, St::FOR},
        {"DO WHILE X\nWEND", Err::WendMismatch, InSt::DoWhile},
        {"WEND", Err::WendMismatch, St::WEND},
        {"END WHILE", Err::WendMismatch, St::WEND},
        {"ELSE", Err::ElseMismatch, St::ELSE},
        {"ELSEIF A THEN", Err::ElseMismatch, St::ELSEIF},
        {"END IF", Err::EndIfMismatch, St::ENDIF},
        {"SELECT CASE X\nCASE 1\nEND IF", Err::EndIfMismatch, St::CASE},
        {"THEN", Err::ThenMismatch, St::THEN},
        {"LOOP", Err::LoopMismatch, St::LOOP},
        {"WHILE X\nLOOP", Err::LoopMismatch, St::WHILE},
        {"WHILE X\nLOOP UNTIL X", Err::LoopMismatch, St::WHILE},
        {"UNTIL X", Err::UntilMismatch, St::UNTIL},
        {"CASE 1", Err::StatementSyntax, St::CASE},
        {"IF A THEN\nEND SELECT", Err::StatementSyntax, St::THEN},
    };
    for (const Case& c : cases) {
        const ScanError e = ErrorOf(QString::fromLatin1(c.Program));
        EXPECT_EQ(e.Number, c.Number) << c.Program;
        EXPECT_EQ(e.Name, c.Name) << c.Program;
    }
    // The pre-scan refuses EXIT without its word, so this one is the scan's alone.
    EXPECT_EQ(ErrorOf(QStringLiteral("EXIT WHILE"), false).Number, Err::ExitMismatch);
}

TEST(ScanBlocks, ErrorsArePositionedAtTheTokenThatFailed) {
    // A token's position is the one after it. "NEXT J" on the second line: J is character 22 of the
    // text, and the error's position 23.
    ScanError e = ErrorOf(QStringLiteral("FOR I = 1 TO 2\nNEXT J"));
    EXPECT_EQ(e.Number, Err::NextVariableNotFor);
    EXPECT_EQ(e.Position, 23);
    e = ErrorOf(QStringLiteral("PRINT 1\n  WEND"));
    EXPECT_EQ(e.Number, Err::WendMismatch);
    EXPECT_EQ(e.Position, 16);
    // The scan stops at its first error; the pre-code then ends with a line end.
    EXPECT_EQ(Ib.PreCodeLimit, Ib.PreCodeIndex);
    CodeItemType last;
    PeekPreCodeBack(1, last);
    EXPECT_EQ(last.FirstCode, CodeKind::Operator);
    EXPECT_EQ(last.SecondCode, Op::LineEnd);
}

TEST(ScanBlocks, ErrorTextsNameTheLastCharacterOfTheTokenInHand) {
    // As the run window shows a scan error: the line and column of the error's position less one.
    struct Case {
        const char* Program;
        int Number;
        const char* Place;
    };
    const Case cases[] = {
        {"WEND", Err::WendMismatch, "1行,　4 桁"},
        {"FOR I = 1 TO 2\nWEND\nNEXT", Err::WendMismatch, "2行,　4 桁"},
        {"X = 1\nY = 2\nZ = 3\nW = 4\n  END WHILE", Err::WendMismatch, "5行,　11 桁"},
        {"OPTION EXPLICIT\nDIM A\nPRINT A + BB", Err::UndeclaredVariable, "3行,　12 桁"},
        {"IF A THEN\nSUB S\nEND SUB\nEND IF", Err::SubInsideBlock, "2行,　3 桁"},
        {"X = 1\nCALL X", Err::CallNotSub, "2行,　6 桁"},
        {"PRINT 1\nEND IF", Err::EndIfMismatch, "2行,　6 桁"},
        {"X = 1\n ELSE", Err::ElseMismatch, "2行,　5 桁"},
        {"DO\nNEXT\nLOOP", Err::NextMismatch, "2行,　4 桁"},
        {"NEXT I", Err::NextMismatch, "1行,　4 桁"},
        {"LOOP", Err::LoopMismatch, "1行,　4 桁"},
        {"WHILE 1\nLOOP UNTIL X", Err::LoopMismatch, "2行,　10 桁"},
    };
    for (const Case& c : cases) {
        const ScanError e = ErrorOf(QString::fromUtf8(c.Program));
        EXPECT_EQ(e.Number, c.Number) << c.Program;
        Fe.CompiledProgramText =
            Rd.CompileText.left(Rd.CompileText.size() - 4); // without the closing CR LF and NULs
        EXPECT_EQ(Str(LineColumnText(e.Position - 1)), c.Place) << c.Program;
    }
}

TEST(ScanBlocks, SixtyFourNestedBlocksAreTheLimit) {
    QString program;
    for (int i = 0; i < LXScan::BlockChkStackSize; ++i)
        program += QStringLiteral("DO\n");
    for (int i = 0; i < LXScan::BlockChkStackSize; ++i)
        program += QStringLiteral("LOOP\n");
    ScanText(program);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    ScanText(QStringLiteral("DO\n") + program);
    EXPECT_EQ(Fe.ErrorNumber, Err::BlockNestingTooDeep);
}

// ---- comments, braces ---------------------------------------------------------------------------------

TEST(ScanComments, CommentsAndBracesLeaveNoItems) {
    EXPECT_EQ(Str(Body(QStringLiteral("PRINT 1 ' hello X\nPRINT 2"))), "PRINT 1 / / PRINT 2 /");
    EXPECT_EQ(Str(Body(QStringLiteral("REM X = 1\nPRINT 2"))), "/ / PRINT 2 /");
    EXPECT_EQ(Tb.NumofRegisteredNumVar, 0); // nothing in the comment was read as a name
    EXPECT_EQ(Str(Body(QStringLiteral("{ PRINT 1\nPRINT 2 } PRINT 3"))), "PRINT 3 /");
    // A brace block that never closes runs to the end of the text.
    ScanText(QStringLiteral("PRINT 1\n{ PRINT 2"));
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

// ---- sign folding
// ------------------------------------------------------------------------------------------

TEST(ScanSigns, SignsAfterEqualCommaAndDataFoldIntoTheLiteral) {
    EXPECT_EQ(Str(Body(QStringLiteral("X = -5"))), "#X = -5 /");
    EXPECT_EQ(Str(Body(QStringLiteral("DATA 1, -2, +3"))), "DATA 1 , -2 , 3 /");
    EXPECT_EQ(Str(Body(QStringLiteral("PRINT -5"))), "PRINT - 5 /");
    EXPECT_EQ(Str(Body(QStringLiteral("PRINT A(-1)"))), "PRINT #A ( - 1 ) /");
    EXPECT_EQ(Str(Body(QStringLiteral("X = 3 * -1"))), "#X = 3 * - 1 /");
}

TEST(ScanSigns, NegatingAConstantLeavesTheConstantAlone) {
    EXPECT_EQ(Str(Body(QStringLiteral("CONST N = 5\nX = -N\nY = N\nZ = -N"))),
              "#X = -5 / #Y = 5 / #Z = -5 /");
    const int entry = FindDcVar(QStringLiteral("N"));
    ASSERT_NE(entry, 0);
    const int index = Tb.DcVarTable[static_cast<std::size_t>(entry)].Index;
    EXPECT_EQ(Tb.NumConTable[static_cast<std::size_t>(index)], 5.0L);
}

// ---- CONST
// -------------------------------------------------------------------------------------------------

TEST(ScanConst, ConstantsStandForTheirLiterals) {
    EXPECT_EQ(Str(Body(QStringLiteral("CONST A = 1, B$ = \"x\", C AS BOOLEAN = TRUE\nPRINT A; B$; C"))),
              "PRINT 1 ; x ; BCTrue /");
    EXPECT_EQ(Str(Body(QStringLiteral("PUBLIC CONST P = 7 ' seven\nPRINT P"))), "/ / PRINT 7 /");
}

TEST(ScanConst, ConstantsOfASubAreItsOwn) {
    EXPECT_EQ(Str(Body(QStringLiteral("SUB S\nCONST K = 2\nPRINT K\nEND SUB\nPRINT K"))),
              "SUB %S LBVP0 LBVP0 LNVP1 LNVP1 LSVP0 LSVP0 / PRINT 2 / ENDSUB / / PRINT #K /");
}

TEST(ScanConst, BadConstantsAreRefused) {
    struct Case {
        const char* Program;
        int Number;
    };
    const Case cases[] = {
        {"CONST A = -1", Err::StatementSyntax},      {"CONST A = B", Err::StatementSyntax},
        {"CONST A = 1 + 2", Err::StatementSyntax},   {"CONST A 1", Err::StatementSyntax},
        {"CONST A = 1 B = 2", Err::StatementSyntax}, {"CONST A = \"s\"", Err::StatementType},
        {"CONST A$ = 1", Err::StatementType},        {"CONST 5 = 1", Err::BadDeclaredName},
    };
    for (const Case& c : cases) {
        const ScanError e = ErrorOf(QString::fromLatin1(c.Program));
        EXPECT_EQ(e.Number, c.Number) << c.Program;
        EXPECT_EQ(e.Name, St::CONST) << c.Program;
    }
    // Names and separators are read in the declaring mode; their errors are placed all the same.
    EXPECT_EQ(ErrorOf(QStringLiteral("CONST A = 1  B = 2")).Position, 15);
    EXPECT_EQ(ErrorOf(QStringLiteral("CONST   5 = 1")).Position, 10);
    const ScanError e = ErrorOf(QStringLiteral("SUB S\nPUBLIC CONST P = 1\nEND SUB"), false);
    EXPECT_EQ(e.Number, Err::StatementSyntax);
    EXPECT_EQ(e.Name, St::PUBLICCONST);
}

// ---- DIM and PUBLIC --------------------------------------------------------------------------------------

TEST(ScanDim, DeclarationsKeepTheirBoundsAndDropTheirTypes) {
    EXPECT_EQ(Str(Body(QStringLiteral("N = 3\nDIM A(N), B$ AS STRING\nA(1) = 2"))),
              "#N = 3 / DIM #A ( #N ) , B$$ / #A ( 1 ) = 2 /");
    EXPECT_EQ(Str(Body(QStringLiteral("PUBLIC P, Q AS BOOLEAN : PRINT P"))), "DIM #P , @Q : PRINT #P /");
    // DIM inside a SUB declares the SUB's own variable.
    EXPECT_EQ(
        Str(Body(QStringLiteral("SUB S\nDIM A(2)\nA(1) = 1\nEND SUB"))),
        "SUB %S LBVP0 LBVP0 LNVP1 LNVP2 LSVP0 LSVP0 / DIM #0001A ( 2 ) / #0001A ( 1 ) = 1 / ENDSUB / /");
}

TEST(ScanDim, PublicOnlyInTheMainProgram) {
    const ScanError e = ErrorOf(QStringLiteral("SUB S\nPUBLIC P\nEND SUB"), false);
    EXPECT_EQ(e.Number, Err::StatementSyntax);
    EXPECT_EQ(e.Name, St::PUBLIC);
}

// ---- SUB, FUNCTION, CALL, DEF ------------------------------------------------------------------------

TEST(ScanProcedures, SubHeaderFrameAndCall) {
    EXPECT_EQ(
        Str(Body(QStringLiteral("SUB Hello(A, B$)\nPRINT A\nEND SUB\nCALL Hello(1, \"x\")"))),
        "SUB %HELLO LBVP0 LBVP0 LNVP1 LNVP2 LSVP0 LSVP1 ( #0001A , 0001B$$ ) / PRINT #0001A / ENDSUB / / "
        "CALL %HELLO ( 1 , x ) /");
    EXPECT_EQ(Tb.NumVarTable[1].Kind, NumVarKind::SubName);
}

TEST(ScanProcedures, FunctionHeaderAndOneWordEnd) {
    EXPECT_EQ(Str(Body(QStringLiteral("FUNCTION F$(X) ' tail\nF$ = \"a\"\nENDFUNCTION\nPRINT F$(1)"))),
              "FUNCTION F$$ LBVP0 LBVP0 LNVP0 LNVP1 LSVP1 LSVP1 ( #0001X ) / / / F$$ = a / ENDFUNCTION / "
              "PRINT F$$ ( 1 ) /");
    EXPECT_EQ(Tb.StrVarTable[1].Kind, StrVarKind::FunctionName);
    // The local names and the context end with the FUNCTION: X after it is the program's own.
    EXPECT_EQ(Str(Body(QStringLiteral("FUNCTION F(X)\nEND FUNCTION\nX = 1"))),
              "FUNCTION F LBVP0 LBVP0 LNVP1 LNVP2 LSVP0 LSVP0 ( #0001X ) / ENDFUNCTION / / #X = 1 /");
}

TEST(ScanProcedures, ArrayParametersAndArrayArguments) {
    EXPECT_EQ(Str(Body(QStringLiteral("SUB Fill(A(), N)\nEND SUB\nDIM Z(5)\nCALL Fill(Z(), 5)"))),
              "SUB %FILL LBVP0 LBVP0 LNVP1 LNVP3 LSVP0 LSVP0 ( NumArrVar(0001A) , #0001N ) / ENDSUB / / "
              "DIM #Z ( 5 ) / CALL %FILL ( NumArrVar(Z) , 5 ) /");
    EXPECT_EQ(Tb.NumVarTable[2].Kind, NumVarKind::ArrayParameter);
    EXPECT_EQ(Tb.NumVarTable[2].ArrayParam, 1);
    EXPECT_EQ(Tb.NumVarTable[4].ArrayParam, 1); // Z, passed whole
    EXPECT_EQ(Tb.NumVarTable[4].Kind, NumVarKind::Variable);
}

TEST(ScanProcedures, HeaderErrors) {
    ScanError e = ErrorOf(QStringLiteral("IF A THEN\nSUB S\nEND SUB\nEND IF"));
    EXPECT_EQ(e.Number, Err::SubInsideBlock);
    EXPECT_EQ(e.Name, St::SUB);
    e = ErrorOf(QStringLiteral("SUB S\nFUNCTION F\nEND FUNCTION\nEND SUB"));
    EXPECT_EQ(e.Number, Err::FunctionInsideBlock);
    e = ErrorOf(QStringLiteral("END SUB"));
    EXPECT_EQ(e.Number, Err::EndSubWithoutSub);
    e = ErrorOf(QStringLiteral("ENDFUNCTION"));
    EXPECT_EQ(e.Number, Err::EndFunctionWithoutFunction);
    e = ErrorOf(QStringLiteral("SUB S\nEND FUNCTION"));
    EXPECT_EQ(e.Number, Err::EndFunctionWithoutFunction);
    EXPECT_EQ(e.Name, St::SUB);
    e = ErrorOf(QStringLiteral("SUB S$"), false);
    EXPECT_EQ(e.Number, Err::SubBadName);
    e = ErrorOf(QStringLiteral("FUNCTION 5"), false);
    EXPECT_EQ(e.Number, Err::FunctionBadName);
    e = ErrorOf(QStringLiteral("SUB S(PRINT)"), false);
    EXPECT_EQ(e.Number, Err::StatementSyntax);
    EXPECT_EQ(e.Name, St::SUB);
}

TEST(ScanProcedures, CallNeedsADeclaredSub) {
    ScanError e = ErrorOf(QStringLiteral("CALL X"));
    EXPECT_EQ(e.Number, Err::CallNotSub);
    EXPECT_EQ(e.Name, St::CALL);
    e = ErrorOf(QStringLiteral("CALL 5"));
    EXPECT_EQ(e.Number, Err::SubBadName);
    // Inside a SUB the SUB name is found without the local prefix.
    EXPECT_EQ(Str(Body(QStringLiteral("SUB A\nCALL B\nEND SUB\nSUB B\nEND SUB"))),
              "SUB %A LBVP0 LBVP0 LNVP1 LNVP2 LSVP0 LSVP0 / CALL %B / ENDSUB / / "
              "SUB %B LBVP0 LBVP0 LNVP2 LNVP2 LSVP0 LSVP0 / ENDSUB / /");
}

TEST(ScanProcedures, DefBindsItsParameters) {
    EXPECT_EQ(Str(Body(QStringLiteral("DEF FNA(X, Y$) = X * LEN(Y$) ' comment\nPRINT FNA(3, \"a\")"))),
              "DEF &FNA PoPL1$ PoPL1 NLNV1 NLSV1 = L1 * LEN ( L1$ ) / / PRINT &FNA ( 3 , a ) /");
    ScanError e = ErrorOf(QStringLiteral("DEF F(X, X) = 1"));
    EXPECT_EQ(e.Number, Err::DefParameterTwice);
    e = ErrorOf(QStringLiteral("DEF F X = 1"));
    EXPECT_EQ(e.Number, Err::DefNoOpenBracket);
    e = ErrorOf(QStringLiteral("DEF F(X) X"));
    EXPECT_EQ(e.Number, Err::DefSyntax);
    e = ErrorOf(QStringLiteral("DEF F(X Y) = 1"));
    EXPECT_EQ(e.Number, Err::DefSyntax);
}

TEST(ScanProcedures, TooManyDefParametersFillTheTokenStack) {
    QString parameters;
    for (int i = 0; i <= LXScan::TokenStackSize; ++i)
        parameters += (i == 0 ? QString() : QStringLiteral(",")) + QStringLiteral("P") + QString::number(i);
    ScanError e = ErrorOf(QStringLiteral("DEF F(") + parameters + QStringLiteral(") = 1"));
    EXPECT_EQ(e.Number, Err::NestingTooDeep);
}

// ---- merged keywords and argument forms ------------------------------------------------------------------

TEST(ScanKeywords, MergedKeywords) {
    EXPECT_EQ(Str(Body(QStringLiteral("LINE INPUT A$\nLINEINPUT A$"))), "LINEINPUT A$$ / LINEINPUT A$$ /");
    EXPECT_EQ(Str(Body(QStringLiteral("PRINT #1, X\nINPUT #1, X\nLINE INPUT #2, A$\nCLOSE #1, #2"))),
              "PRINT# 1 , #X / INPUT# 1 , #X / LINEINPUT# 2 , A$$ / CLOSE # 1 , # 2 /");
    EXPECT_EQ(Str(Body(QStringLiteral("PRINT USING \"#\"; 1\nPRINT # 1, USING \"##\"; X"))),
              "PRINTUSING # ; 1 / InnerSt278 1 ## ; #X /");
    EXPECT_EQ(Str(Body(QStringLiteral("OPTION ANGLE DEGREES"))), "DEGREES /");
    EXPECT_EQ(Str(Body(QStringLiteral("OPTION ANGLE RADIANS\nANGLE"))), "RADIANS / OPTIONANGLE /");
    EXPECT_EQ(Str(Body(QStringLiteral("OPTION EXPLICIT OFF"))), "InnerSt275 /");
    EXPECT_EQ(Str(Body(QStringLiteral("OPTION EXPLICIT ON"))), "InnerSt276 /");
    EXPECT_EQ(Str(Body(QStringLiteral("OPTION EXPLICIT"))), "OPTIONEXPLICIT /");
    EXPECT_EQ(Str(Body(QStringLiteral("CLOSE CSCREEN\nCLOSE GSCREEN\nOPEN CSCREEN(1, 2)"))),
              "CLOSECSCREEN / CLOSEGSCREEN / CSCREEN ( 1 , 2 ) /");
    EXPECT_EQ(Str(Body(QStringLiteral("GSCREEN(1, 2)\nGSCREEN(1, 2, 3, 4)"))),
              "GSCREEN ( 1 , 2 ) / " + StForm(St::GSCREEN, 1) + " ( 1 , 2 , 3 , 4 ) /");
    EXPECT_EQ(Str(Body(QStringLiteral("HELP\nHELP -RW\nHELP -uv\nHELP -CR\nHELP -LORVEXC\nHELP -XY"))),
              "HELP / InnerSt248 / InnerSt250 / InnerSt247 / InnerSt249 / HELP /");
}

TEST(ScanKeywords, MisplacedKeywords) {
    ScanError e = ErrorOf(QStringLiteral("X = #1"));
    EXPECT_EQ(e.Number, Err::HashMisplaced);
    e = ErrorOf(QStringLiteral("X = 1 USING"));
    EXPECT_EQ(e.Number, Err::UsingWithoutPrint);
    e = ErrorOf(QStringLiteral("CSCREEN(1)"));
    EXPECT_EQ(e.Number, Err::StatementSyntax);
    EXPECT_EQ(e.Name, St::CSCREEN);
    e = ErrorOf(QStringLiteral("GSCREEN(1, 2, 3)"));
    EXPECT_EQ(e.Number, Err::StatementSyntax);
    EXPECT_EQ(e.Name, St::GSCREEN);
}

TEST(ScanKeywords, ArgumentFormsFollowTheArgumentCount) {
    EXPECT_EQ(Str(Body(QStringLiteral("RANDOMIZE\nRANDOMIZE 5\nRUN ' again"))),
              "RANDOMIZE / " + StForm(St::RANDOMIZE, 1) + " 5 / RUN / /");
    EXPECT_EQ(Str(Body(QStringLiteral("X = ROUND(A) + ROUND(A, 2)"))),
              "#X = ROUND ( #A ) + " + FnForm(Fn::ROUND, 1) + " ( #A , 2 ) /");
    EXPECT_EQ(Str(Body(QStringLiteral("X = MSGBOX(\"a\", 1, \"t\")"))),
              "#X = " + FnForm(Fn::MSGBOX, 2) + " ( a , 1 , t ) /");
    EXPECT_EQ(
        Str(Body(QStringLiteral("LOADPICTURE\nLOADPICTURE()\nLOADPICTURE(\"a\")\nSAVEPICTURE(\"a\", 1)\n"
                                "LOADPICTURE(\"a\", 1, 2)"))),
        "LOADPICTURE / LOADPICTURE / " + StForm(St::LOADPICTURE, 1) + " ( a ) / " +
            StForm(St::SAVEPICTURE, 2) + " ( a , 1 ) / " + StForm(St::LOADPICTURE, 3) +
            " ( a , 1 , 2 ) "
            "/");
    EXPECT_EQ(Str(Body(QStringLiteral("A$ = INPUT$ + INPUT$() + INPUT$(1) + INPUT$(1, 2)"))),
              "A$$ = INPUT$ + INPUT$ + " + FnForm(Fn::INPUTStr, 1) + " ( 1 ) + " + FnForm(Fn::INPUTStr, 2) +
                  " ( 1 , 2 ) /");
    EXPECT_EQ(Str(Body(QStringLiteral("WRITEALLTEXT(\"f\", \"t\")\nWRITEALLTEXT(\"f\", \"t\", 1)"))),
              "WRITEALLTEXT ( f , t ) / " + StForm(St::WRITEALLTEXT, 1) + " ( f , t , 1 ) /");
    EXPECT_EQ(Str(Body(QStringLiteral("OPENGSCREEN(1, 2)\nOPENGSCREEN(1, 2, 3, 4)"))),
              "OPENGSCREEN ( 1 , 2 ) / " + StForm(St::OPENGSCREEN, 1) + " ( 1 , 2 , 3 , 4 ) /");
    EXPECT_EQ(Str(Body(QStringLiteral("OPENCSCREEN(300, 200)"))), "OPENCSCREEN ( 300 , 200 ) /");
    EXPECT_EQ(Str(Body(QStringLiteral("X = RND + RND(1)"))), "#X = RND + " + FnForm(Fn::RND, 1) + " ( 1 ) /");
    EXPECT_EQ(Str(Body(QStringLiteral("X = GETHOUR() + GETHOUR + GETMINUTE(1)"))),
              "#X = GETHOUR + GETHOUR + GETMINUTE ( 1 ) /");
    // A group that does not close on its line leaves the keyword as it is for the compiler to refuse.
    EXPECT_EQ(Str(Body(QStringLiteral("X = ROUND(1"))), "#X = ROUND ( 1 /");
}

TEST(ScanKeywords, WrongArgumentCountsNameTheKeyword) {
    ScanError e = ErrorOf(QStringLiteral("X = ROUND(1, 2, 3)"));
    EXPECT_EQ(e.Number, Err::FunctionArgType);
    EXPECT_EQ(e.Name, Fn::ROUND);
    e = ErrorOf(QStringLiteral("LOADPICTURE(1, 2, 3, 4)"));
    EXPECT_EQ(e.Number, Err::StatementSyntax);
    EXPECT_EQ(e.Name, St::LOADPICTURE);
    e = ErrorOf(QStringLiteral("WRITEALLTEXT \"f\""));
    EXPECT_EQ(e.Number, Err::StatementSyntax);
    EXPECT_EQ(e.Name, St::WRITEALLTEXT);
    e = ErrorOf(QStringLiteral("OPENGSCREEN(1, 2, 3)"));
    EXPECT_EQ(e.Number, Err::StatementSyntax);
    e = ErrorOf(QStringLiteral("OPENCSCREEN(1, 2, 3, 4)"));
    EXPECT_EQ(e.Number, Err::StatementSyntax);
    EXPECT_EQ(e.Name, St::OPENCSCREEN);
}

TEST(ScanKeywords, MemberWordsInsideCountedArgumentsAreNoNumbersAndNoNames) {
    // The count reads a member's "." as the member operator and passes over the word after it, also
    // where an undeclared name would be an error.
    EXPECT_EQ(Str(Body(QStringLiteral("OPTION EXPLICIT\nPRINT ROUND(AUDIOMIXER.MASTERVOLUME), "
                                      "ROUND(AUDIOMIXER . MASTERMUTE, 2)"))),
              "OPTIONEXPLICIT / PRINT ROUND ( InnerFn1193 ) , " + FnForm(Fn::ROUND, 1) +
                  " ( InnerFn1192 , 2 ) /");
    EXPECT_EQ(Str(Body(QStringLiteral("OPTION EXPLICIT\nWRITEALLTEXT(\"f\", MEDIAPLAYER.MODE)\n"
                                      "PRINT INPUT$(AUDIOMIXER.MASTERVOLUME + 2, 1); "
                                      "NORMALIZE(CLIPBOARD.GETTEXT, CBUTTON(1).CAPTION)"))),
              "OPTIONEXPLICIT / WRITEALLTEXT ( f , InnerFn1269 ) / PRINT " + FnForm(Fn::INPUTStr, 2) +
                  " ( InnerFn1193 + 2 , 1 ) "
                  "; " +
                  FnForm(Fn::NORMALIZE, 1) + " ( InnerFn222 , InnerFn2196 ( 1 ) ) /");
    EXPECT_EQ(Str(Body(QStringLiteral("GSCREEN (100, AUDIOMIXER.MASTERVOLUME + 100)"))),
              "GSCREEN ( 100 , InnerFn1193 + 100 ) /");
    EXPECT_EQ(Tb.NumofRegisteredNumVar, 0);
}

TEST(ScanKeywords, SplitAndReadAllLines) {
    EXPECT_EQ(Str(Body(QStringLiteral("A$ = \"x\"\nN = SPLIT$(A$, \"-\")"))),
              "A$$ = x / #N = SPLIT$ ( 1 , A$$ , - ) /");
    EXPECT_EQ(Str(Body(QStringLiteral("N = SPLIT$(\"a-b\", \"-\")"))), "#N = SPLIT$ ( 0 , a-b , - ) /");
    EXPECT_EQ(
        Str(Body(QStringLiteral("DIM L$(9)\nL$() = READALLLINES(\"f\")\nLET L$() = READALLLINES(\"f\", 1)"))),
        "DIM L$$ ( 9 ) / READALLLINES StrArrVar(L$) ( f ) / " + FnForm(Fn::READALLLINES, 1) +
            " StrArrVar(L$) ( f , 1 ) /");
    ScanError e = ErrorOf(QStringLiteral("X = READALLLINES(\"f\")"));
    EXPECT_EQ(e.Number, Err::FunctionArgType);
    EXPECT_EQ(e.Name, Fn::READALLLINES);
}

TEST(ScanKeywords, SeekBeforeABracketIsTheFunction) {
    EXPECT_EQ(Str(Body(QStringLiteral("SEEK #1, 5\nX = SEEK(1)"))), "SEEK # 1 , 5 / #X = SEEK ( 1 ) /");
    // The function's slot holds "SEEK " with a blank, which no word read from a program matches.
    EXPECT_EQ(Ib.PreCodeBuffer[109],
              (CodeItemType{CodeKind::Function, Fn::SEEK, Ib.PreCodeBuffer[109].Position}));
}

TEST(ScanKeywords, SettingWordsAreStatementsOnlyAtTheStart) {
    EXPECT_EQ(
        Str(Body(QStringLiteral("FORECOLOR = 3\nX = FORECOLOR\n10 PRECISION = 5\nIF A THEN FORECOLOR = 1"))),
        "FORECOLOR = 3 / #X = " + Setting(St::FORECOLOR) +
            " / 10 PRECISION = 5 / IF #A THEN / FORECOLOR = 1 : ENDIF /");
}

// ---- member forms ----------------------------------------------------------------------------------------

TEST(ScanMembers, DeviceMembers) {
    EXPECT_EQ(Str(Body(QStringLiteral(
                  "AUDIOMIXER.MASTERVOLUME = 50\nV = AUDIOMIXER.MASTERVOLUME + AUDIOMIXER.MASTERMUTE"))),
              "InnerSt193 = 50 / #V = InnerFn1193 + InnerFn1192 /");
    EXPECT_EQ(Str(Body(QStringLiteral("CLIPBOARD.SETTEXT(\"a\")\nA$ = CLIPBOARD.GETTEXT\nCLIPBOARD.CLEAR"))),
              "InnerSt223 ( a ) / A$$ = InnerFn222 / InnerSt221 /");
    EXPECT_EQ(Str(Body(QStringLiteral("MEDIAPLAYER.OPEN \"f\"\nMEDIAPLAYER.Play\nM = MEDIAPLAYER.MODE\n"
                                      "MEDIAPLAYER.PAUSE : MEDIAPLAYER.STOP : MEDIAPLAYER.CLOSE"))),
              "InnerSt270 f / InnerSt272 / #M = InnerFn1269 / InnerSt271 : InnerSt273 : InnerSt268 /");
    EXPECT_EQ(Tb.NumofRegisteredNumVar, 1); // M alone: member words create no variables
}

TEST(ScanMembers, MemberWordsInsideASubAndUnderOptionExplicit) {
    EXPECT_EQ(Str(Body(QStringLiteral(
                  "OPTION EXPLICIT\nSUB S\nMEDIAPLAYER.STOP\nAUDIOMIXER.MASTERMUTE = 1\nEND SUB"))),
              "OPTIONEXPLICIT / SUB %S LBVP0 LBVP0 LNVP1 LNVP1 LSVP0 LSVP0 / InnerSt273 / InnerSt192 = 1 / "
              "ENDSUB / /");
    const ScanError e = ErrorOf(QStringLiteral("MEDIAPLAYER.JUMP"));
    EXPECT_EQ(e.Number, Err::StatementType);
    EXPECT_EQ(e.Name, St::MEDIAPLAYER);
    EXPECT_EQ(e.Position, 17); // after the member word, as after a token
}

TEST(ScanMembers, ControlProperties) {
    EXPECT_EQ(Str(Body(QStringLiteral("CBUTTON(1).CAPTION = \"OK\"\nA$ = CBUTTON(1).Caption"))),
              "InnerFn1196 ( 1 ) OK / A$$ = InnerFn2196 ( 1 ) /");
    EXPECT_EQ(Str(Body(QStringLiteral(
                  "CLABEL(K).COLOR = 5\nCTEXTBOX(2).MULTILINE = TRUE\nCTEXTBOX(2).TEXT = CLABEL(1).TEXT"))),
              "InnerFn1210 ( #K ) 5 / InnerFn1232 ( 2 ) BCTrue / InnerFn1233 ( 2 ) InnerFn2209 ( 1 ) /");
    EXPECT_EQ(Str(Body(QStringLiteral("IF CBUTTON(3).CLICK THEN CBUTTON(3).VISIBLE = FALSE"))),
              "IF InnerFn1197 ( 3 ) THEN / InnerFn1207 ( 3 ) BCFalse : ENDIF /");
    EXPECT_EQ(Str(Body(QStringLiteral("CBUTTON(MAX(1, 2)).LEFT = 5"))), "InnerFn1205 ( MAX ( 1 , 2 ) ) 5 /");
    // Without a property the keyword stays the show statement.
    EXPECT_EQ(Str(Body(QStringLiteral("CBUTTON(2) ON\nCLABEL(1) OFF"))),
              "CBUTTON ( 2 ) ON / CLABEL ( 1 ) OFF /");
}

TEST(ScanMembers, PropertyWordsOutsideTheirKind) {
    struct Case {
        const char* Program;
        int Name;
        int Position;
    };
    const Case cases[] = {
        {"CBUTTON(1, 2).CAPTION = 1", St::CBUTTON, 11},
        {"CTEXTBOX(1).CAPTION = \"x\"", St::CTEXTBOX, 20},
        {"CLABEL(1).CLICK", St::CLABEL, 16},
        {"CBUTTON(1).CLICK = 1", St::CBUTTON, 17},
        {"CBUTTON(1).MULTILINE = TRUE", St::CBUTTON, 21},
        {"X = CBUTTON(1).NOPE", St::CBUTTON, 20},
    };
    for (const Case& c : cases) {
        const ScanError e = ErrorOf(QString::fromLatin1(c.Program));
        EXPECT_EQ(e.Number, Err::StatementType) << c.Program;
        EXPECT_EQ(e.Name, c.Name) << c.Program;
        EXPECT_EQ(e.Position, c.Position) << c.Program;
    }
}

// ---- INCLUDE
// ---------------------------------------------------------------------------------------------------

class ScanInclude : public ::testing::Test {
protected:
    QString FileWith(const QString& name, const QString& text) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toLatin1());
        return path;
    }
    QTemporaryDir dir_;
};

TEST_F(ScanInclude, IncludedItemsArePositionedAtTheIncludeLine) {
    const QString path = FileWith(QStringLiteral("inc.lxt"), QStringLiteral("PRINT 3\r\nPRINT 4\r\n"));
    const QString program = QStringLiteral("PRINT 1\nINCLUDE \"") + path + QStringLiteral("\"\nPRINT 2");
    EXPECT_EQ(Str(Body(program)), "PRINT 1 / INCLUDE / / PRINT 3 / PRINT 4 / : : / / PRINT 2 /");
    // The closing quote of the file name, in the program text as written.
    const int quote = 19 + static_cast<int>(path.size());
    int print2 = 0;
    for (int i = ProgramCodeStart; i < Ib.PreCodeIndex; ++i) {
        const CodeItemType& item = Ib.PreCodeBuffer[static_cast<std::size_t>(i)];
        if (item.FirstCode == CodeKind::NumLiteral && NumConValue(item) == 3.0L) {
            EXPECT_EQ(item.Position, quote + 1);
        }
        if (item.FirstCode == CodeKind::NumLiteral && NumConValue(item) == 2.0L) print2 = item.Position;
    }
    // After the included text positions are the program's own again: "2" on the third line.
    EXPECT_EQ(print2, quote + 3 + 6);
}

TEST_F(ScanInclude, ErrorsInIncludedTextPointAtTheIncludeLine) {
    const QString path = FileWith(QStringLiteral("bad.lxt"), QStringLiteral("PRINT 3\r\nNEXT\r\n"));
    const QString program = QStringLiteral("PRINT 1\nINCLUDE \"") + path + QStringLiteral("\"\nPRINT 2");
    const ScanError e = ErrorOf(program);
    EXPECT_EQ(e.Number, Err::NextMismatch);
    EXPECT_EQ(e.Position, 19 + static_cast<int>(path.size()) + 1);
}

TEST_F(ScanInclude, NestedIncludeAndAWrittenMarkerAreRefused) {
    // The pre-scan refuses an INCLUDE in an included file already; the scan refuses it too, in text
    // expanded as the pre-scan expands it.
    EXPECT_EQ(ErrorOf(QStringLiteral("INCLUDE \"a\"\nINCLUDE \"b\"\n:IncludeOff:"), false).Number,
              Err::NestedInclude);
    EXPECT_EQ(ErrorOf(QStringLiteral("PRINT 1 :IncludeOff:")).Number, Err::IncludeOffInProgram);
}

// ---- immediate commands and formulas --------------------------------------------------------------------

// Scans text as an immediate command into slots 1 and up; gives its items' texts.
QString ScanImmediate(const QString& command) {
    Rc.RunMode = RunKind::Immediate;
    Fe.ErrorNumber = 0;
    SetText(command);
    ResetPreCode();
    Ib.PreCodeIndex = 1;
    ScanProgram();
    Rc.RunMode = RunKind::Program;
    QString text;
    for (int i = 1; i < Ib.PreCodeIndex; ++i) {
        QString item;
        CodeItemText(Ib.PreCodeBuffer[static_cast<std::size_t>(i)], item);
        text += item.replace(CrLf, QStringLiteral("/")) + u' ';
    }
    return text.trimmed();
}

TEST(ScanImmediate, CommandKeepsTheProgramsLimitAndStartsAStatement) {
    ScanText(QStringLiteral("PRINT 1\nPRINT 2"));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    const int limit = Ib.PreCodeLimit;
    EXPECT_EQ(Str(ScanImmediate(QStringLiteral("FORECOLOR = 3 : CBUTTON(1).TEXT = \"a\""))),
              "FORECOLOR = 3 : InnerFn1196 ( 1 ) a / FirstCode=0,SecondCode=0 EOF /");
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Ib.PreCodeLimit, limit);
    // The program's pre-code is still there behind the immediate area.
    EXPECT_EQ(Str(Body(QStringLiteral("PRINT 1\nPRINT 2"))), "PRINT 1 / PRINT 2 /");
}

TEST(ScanFormula, FormulaScanLeavesTheProgramsLimitAndReadsValues) {
    ScanText(QStringLiteral("PRINT 1\nPRINT 2"));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    const int limit = Ib.PreCodeLimit;
    Rd.CompileText = QStringLiteral("CBUTTON(1).LEFT + FORECOLOR * -2:");
    Rd.CompileTextLength = static_cast<int>(Rd.CompileText.size());
    ResetPreCode();
    Ib.PreCodeIndex = 1;
    ScanFormula();
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Ib.PreCodeLimit, limit);
    QString text;
    for (int i = 1; i < Ib.PreCodeIndex; ++i) {
        QString item;
        CodeItemText(Ib.PreCodeBuffer[static_cast<std::size_t>(i)], item);
        text += item.replace(CrLf, QStringLiteral("/")) + u' ';
    }
    EXPECT_EQ(Str(text.trimmed()), "InnerFn2205 ( 1 ) + " + Setting(St::FORECOLOR) + " * - 2 EOF /");
}

// ---- CountArgs
// ---------------------------------------------------------------------------------------------

TEST(CountArgs, CountsCommasOfTheFirstBracketLevelAndPutsTheReaderBack) {
    struct Case {
        const char* Text;
        int Count;
    };
    const Case cases[] = {
        {"(1)", 0}, {"(1, 2, 3)", 2}, {"(MAX(1, 2), 3)", 1}, {"X", 0},
        {"()", 0},  {"(1, 2", -1},    {"(1, 2 : 3)", -1},    {"(CBUTTON(1).TEXT, 2)", 1},
    };
    for (const Case& c : cases) {
        InitAll();
        Fe.ErrorNumber = 0;
        SetText(QString::fromLatin1(c.Text));
        EXPECT_EQ(CountArgs(), c.Count) << c.Text;
        EXPECT_EQ(Fe.ErrorNumber, 0) << c.Text;
        EXPECT_EQ(Rd.SourcePos, 1) << c.Text;
    }
}

// ---- a new scan after a failed one ------------------------------------------------------------------------

TEST(ScanRestart, NothingOfAScanThatFailedLeaksIntoTheNext) {
    // Stopped inside a DEF body (its parameters are the names there) and inside a single-line IF.
    ScanText(QStringLiteral("DEF F(X) = X ~"), false);
    EXPECT_EQ(Fe.ErrorNumber, Err::BadCharacter);
    EXPECT_EQ(Str(Body(QStringLiteral("X = 1"))), "#X = 1 /");
    ScanText(QStringLiteral("IF A THEN PRINT ~"), false);
    EXPECT_EQ(Fe.ErrorNumber, Err::BadCharacter);
    EXPECT_EQ(Str(Body(QStringLiteral("PRINT 1"))), "PRINT 1 /");
}

// ---- the statement compiler takes the scan's pre-code --------------------------------------------------

TEST(ScanAndCompile, TheCompilerAcceptsThePreCodeOfEachForm) {
    const char* programs[] = {
        "IF A THEN PRINT 1 ELSE PRINT 2",
        "IF A > 1 THEN\nPRINT 1\nELSEIF A < 0 THEN\nPRINT 2\nELSE\nPRINT 3\nEND IF",
        "SELECT CASE X\nCASE 1\nPRINT 1\nCASE ELSE\nPRINT 2\nEND SELECT",
        "DO WHILE X < 3\nX = X + 1\nLOOP\nDO UNTIL X\nLOOP\nDO\nEXIT DO\nLOOP WHILE X",
        "IF A THEN FOR I = 1 TO 2 : PRINT I : NEXT\nPRINT 9",
        "SUB Fill(A(), N, B$)\nEND SUB\nDIM Z(5)\nCALL Fill(Z(), 5, \"x\")",
        "FUNCTION F$(X)\nF$ = \"a\"\nEND FUNCTION\nPRINT F$(1)",
        "DEF FNA(X, Y$) = X * LEN(Y$)\nPRINT FNA(3, \"a\")",
        "CONST N = 5\nX = -N\nDATA 1, -2\nREAD A, B",
        "OPEN \"f\" FOR OUTPUT AS #1\nPRINT #1, 5\nCLOSE #1",
        "FORECOLOR = 3\nX = FORECOLOR",
        "CBUTTON(1).CAPTION = \"OK\"\nA$ = CBUTTON(1).CAPTION\nCBUTTON(1) ON",
        "AUDIOMIXER.MASTERVOLUME = 50\nV = AUDIOMIXER.MASTERVOLUME\nMEDIAPLAYER.PLAY",
        "RANDOMIZE 5\nX = ROUND(A, 2) + RND(1) + RND",
        "DIM L$(9)\nL$() = READALLLINES(\"f\")",
    };
    for (const char* p : programs) {
        InitAll();
        Fe.ErrorNumber = 0;
        SetText(QString::fromLatin1(p));
        EXPECT_TRUE(CompileProgram()) << p << "\nerror " << Fe.ErrorNumber << " at " << Fe.ErrorPosition;
    }
}

// ---- item texts and the code listing --------------------------------------------------------------------

QString TextOf(int kind, int code) {
    QString text;
    CodeItemText(CodeItemType{kind, code, 0}, text);
    return text;
}

TEST(CodeItemText, LiteralsListRoundedHalvesToEven) {
    InitAll();
    const Extended values[] = {0.5L, 1.5L, 2.5L, -2.5L, -0.4L, 1180591620717411303424.0L};
    const char* expected[] = {"0", "2", "2", "-2", "0", "1180591620717411303424"};
    for (std::size_t i = 0; i < std::size(values); ++i) {
        const CodeItemType item = LXScan::AppendNumLiteral(values[i]);
        QString text;
        CodeItemText(item, text);
        EXPECT_EQ(Str(text), expected[i]);
    }
    EXPECT_EQ(Str(TextOf(CodeKind::SysNumConst, 6)), "0"); // 0.5
    EXPECT_EQ(Str(TextOf(CodeKind::SysNumConst, 3)), "-1");
}

TEST(CodeItemText, KindsAndInternalCodes) {
    InitAll();
    EXPECT_EQ(Str(TextOf(CodeKind::End, 0)), "EOF");
    EXPECT_EQ(Str(TextOf(CodeKind::End, Op::LineEnd)), "EOF\r\n");
    EXPECT_EQ(Str(TextOf(CodeKind::Operator, Op::LineEnd)), "\r\n");
    EXPECT_EQ(Str(TextOf(CodeKind::Operator, Op::ChgSgn)), "ChgSgn");
    EXPECT_EQ(Str(TextOf(CodeKind::Function, Fn::YEARTIMER)), "YEARTIMER");
    EXPECT_EQ(Str(TextOf(CodeKind::Function, 126)), "InnerFn126");
    EXPECT_EQ(Str(TextOf(CodeKind::Statement, St::WRITEALLTEXT)), "WRITEALLTEXT");
    EXPECT_EQ(Str(TextOf(CodeKind::Statement, 192)), "InnerSt192");
    EXPECT_EQ(Str(TextOf(CodeKind::Statement, InSt::SubJump)), "SubJump");
    EXPECT_EQ(Str(TextOf(CodeKind::Statement, InSt::FunctionEnd)), "FunctionEnd");
    EXPECT_EQ(Str(TextOf(CodeKind::Statement, St::LOADPICTURE + ArgumentFormStep)),
              StForm(St::LOADPICTURE, 1));
    EXPECT_EQ(Str(TextOf(CodeKind::LocalNumVar, 3)), "L3");
    EXPECT_EQ(Str(TextOf(CodeKind::LocalStrVar, 2)), "L2$");
    EXPECT_EQ(
        Str(TextOf(CodeKind::BoolConst, 1) + TextOf(CodeKind::BoolConst, 2) + TextOf(CodeKind::BoolConst, 3)),
        "BCTrueBCFalse");
    EXPECT_EQ(Str(TextOf(CodeKind::ExprOpen, 0) + TextOf(CodeKind::ExprClose, 0)), "$$");
    EXPECT_EQ(Str(TextOf(CodeKind::JumpTarget, 345)), "345");
    EXPECT_EQ(Str(TextOf(CodeKind::PrintSep, PrintSepEnd) + TextOf(CodeKind::PrintSep, 22)), "^PrintCR^22");
    EXPECT_EQ(Str(TextOf(CodeKind::PrintFileSep, 21) + TextOf(CodeKind::PrintFileSep, 136) +
                  TextOf(CodeKind::PrintFileSep, 22)),
              "^Print#,^Print#CR");
    EXPECT_EQ(Str(TextOf(CodeKind::PublicNum, 1) + TextOf(CodeKind::PublicStr, 2)), "ANV1ASV2");
    EXPECT_EQ(Str(TextOf(CodeKind::NumArgBind, 1) + TextOf(CodeKind::StrArgBind, 2)), "PoPL1PoPL2$");
    EXPECT_EQ(Str(TextOf(CodeKind::FrameCountB, 1) + TextOf(CodeKind::FrameCountN, 2) +
                  TextOf(CodeKind::FrameCountS, 3)),
              "NLBV1NLNV2NLSV3");
    EXPECT_EQ(
        Str(TextOf(CodeKind::SubBegin, 0) + TextOf(CodeKind::SubEndMark, 0) + TextOf(CodeKind::DummyCode, 1)),
        "SubBeginSubEndDummyCode");
    EXPECT_EQ(Str(TextOf(CodeKind::BoolArray, 5)), "FirstCode=34,SecondCode=5");
    EXPECT_EQ(Str(TextOf(CodeKind::None, 0)), "FirstCode=0,SecondCode=0");
}

TEST(CodeItemText, NamesByRecordKindAndIndicesOutsideTheTables) {
    InitAll();
    const struct {
        std::uint8_t Kind;
        const char* Text;
    } numbers[] = {{NumVarKind::Variable, "#N"},
                   {NumVarKind::Label, "*N"},
                   {NumVarKind::SubName, "%N"},
                   {NumVarKind::DefFunction, "&N"},
                   {NumVarKind::Array, "N"}};
    Tb.NumVarTable.resize(2);
    Tb.NumofRegisteredNumVar = 1;
    Tb.NumVarTable[1].Name = QStringLiteral("N");
    for (const auto& n : numbers) {
        Tb.NumVarTable[1].Kind = n.Kind;
        EXPECT_EQ(Str(TextOf(CodeKind::NumVar, 1)), n.Text);
    }
    EXPECT_EQ(Str(TextOf(CodeKind::NumArray, 1)), "NumArrVar(N)");
    Tb.BoolVarTable.resize(2);
    Tb.NumofRegisteredBoolVar = 1;
    Tb.BoolVarTable[1].Name = QStringLiteral("B");
    Tb.BoolVarTable[1].Kind = BoolVarKind::UserFunction;
    EXPECT_EQ(Str(TextOf(CodeKind::BoolVar, 1)), "&B");
    // Indices that name no record list as raw items instead of reading past a table.
    EXPECT_EQ(Str(TextOf(CodeKind::NumVar, 7)), "FirstCode=12,SecondCode=7");
    EXPECT_EQ(Str(TextOf(CodeKind::StrVar, -1)), "FirstCode=22,SecondCode=-1");
    EXPECT_EQ(Str(TextOf(CodeKind::NumLiteral, 99)), "FirstCode=11,SecondCode=99");
    EXPECT_EQ(Str(TextOf(CodeKind::Statement, 0)), "FirstCode=6,SecondCode=0");
    EXPECT_EQ(Str(TextOf(CodeKind::Operator, 45)), "FirstCode=1,SecondCode=45");
    EXPECT_EQ(Str(TextOf(CodeKind::FormulaVar, 1)), "FirstCode=71,SecondCode=1");
}

TEST(CodeListing, ListsFromSlot101ToTheEndItem) {
    InitAll();
    Ib.CodeIndex = ProgramCodeStart;
    AddCode(CodeItemType{CodeKind::Statement, St::PRINT, 1});
    AddCode(CodeItemType{CodeKind::JumpTarget, 7, 3});
    AddCode(CodeItemType{CodeKind::End, 0, 9});
    AddCode(CodeItemType{CodeKind::Statement, St::BEEP, 9}); // beyond the end item: not listed
    Ib.CodeLimit = Ib.CodeIndex - 1;
    QString text;
    CodeListing(text);
    EXPECT_EQ(Str(text), "[101:1]PRINT[102:3]7[103:9]EOF\r\n");
    EXPECT_EQ(Ib.CodeIndex, 104);
}

TEST(CodeListing, EndsWhenTheFetchStopsAtTheCodeLimit) {
    InitAll();
    Ib.CodeIndex = ProgramCodeStart;
    AddCode(CodeItemType{CodeKind::Statement, St::PRINT, 1});
    AddCode(CodeItemType{CodeKind::Statement, St::BEEP, 2});
    Ib.CodeLimit = ProgramCodeStart; // no end item within the limit
    QString text;
    CodeListing(text);
    EXPECT_EQ(Str(text), "[101:1]PRINT\r\n");
}

} // namespace
