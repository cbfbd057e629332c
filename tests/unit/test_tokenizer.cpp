// The source reader and tokenizer: token kinds and positions, literals and their errors, names and
// keywords, comments, line continuation and the differences between the three modes.
#include "core/errornumbers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/vocabulary.h"
#include "frontend/declnames.h"
#include "frontend/initall.h"
#include "frontend/tokenizer.h"
#include "tests/compiletext.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The engine hands the front end the text followed by CR LF and two NULs.
void SetText(const QString& program) {
    Rd.CompileText = program + QStringLiteral("\r\n") + QChar(0) + QChar(0);
    Rd.CompileTextLength = static_cast<int>(Rd.CompileText.size());
    ResetSourcePos();
}

CodeItemType T(int kind, int code) {
    return CodeItemType{kind, code, 0};
}

// Kind and code only: positions are checked where they matter.
::testing::AssertionResult SameToken(const CodeItemType& got, const CodeItemType& want) {
    if (got.FirstCode == want.FirstCode && got.SecondCode == want.SecondCode)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << got.FirstCode << ", " << got.SecondCode << "), want ("
                                         << want.FirstCode << ", " << want.SecondCode << ")";
}

// Every token up to the end of the text or the first error.
std::vector<CodeItemType> Tokens(const QString& program, int mode = TokenMode::Scan) {
    SetText(program);
    std::vector<CodeItemType> out;
    for (int guard = 0; guard < 1000; ++guard) {
        GetToken(Rd.ScanToken, mode);
        if (Fe.ErrorNumber != 0 || Rd.ScanToken.FirstCode == CodeKind::None) break;
        out.push_back(Rd.ScanToken);
    }
    return out;
}

CodeItemType First(const QString& program, int mode = TokenMode::Scan) {
    SetText(program);
    GetToken(Rd.ScanToken, mode);
    return Rd.ScanToken;
}

// The error that reading the first token of `program`, or all of it, raises (0 for none).
int FirstError(const QString& program) {
    Fe.ErrorNumber = 0;
    First(program);
    return Fe.ErrorNumber;
}
int TokensError(const QString& program) {
    Fe.ErrorNumber = 0;
    Tokens(program);
    return Fe.ErrorNumber;
}

// Where the first token of the text starts when it is scanned again from the beginning.
int FirstTokenStartAgain() {
    ResetSourcePos();
    GetToken(Rd.ScanToken, TokenMode::Scan);
    return Rd.TokenStart;
}

// Each of `programs`, read whole, raises `error`.
void ExpectTokensError(std::initializer_list<const char16_t*> programs, int error) {
    for (const char16_t* text : programs)
        EXPECT_EQ(TokensError(QString::fromUtf16(text)), error) << QString::fromUtf16(text).toStdString();
}

const CodeItemType LineEnd = T(CodeKind::Operator, Op::LineEnd);

class TokenizerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetInterpreter();
        ResetLocalNumTbl();
        ResetLocalStrTbl();
    }
};

// ---- realistic lines ---------------------------------------------------------------------------------

TEST_F(TokenizerTest, ForLineGivesKeywordsVariablesAndLiteralsWithPositions) {
    SetText(QStringLiteral("FOR I = 1 TO 10 STEP 2"));
    struct Expect {
        CodeItemType token;
        int start; // TokenStart: first character
        int after; // Position: first character not consumed
    };
    const Expect expected[] = {
        {T(6, St::FOR), 1, 4},    {T(12, 1), 5, 6},       {T(1, Op::Equal), 7, 8},
        {T(11, 0), 9, 10},        {T(6, St::TO), 11, 13}, {T(11, 1), 14, 16},
        {T(6, St::STEP), 17, 21}, {T(11, 2), 22, 23},     {LineEnd, 23, 25},
    };
    for (const Expect& e : expected) {
        GetToken(Rd.ScanToken, TokenMode::Scan);
        ASSERT_EQ(Fe.ErrorNumber, 0);
        EXPECT_TRUE(SameToken(Rd.ScanToken, e.token));
        EXPECT_EQ(Rd.TokenStart, e.start);
        EXPECT_EQ(Rd.ScanToken.Position, e.after);
    }
    EXPECT_EQ(Tb.NumVarTable[1].Name, QStringLiteral("I"));
    EXPECT_EQ(NumConValue(T(11, 0)), 1.0L);
    EXPECT_EQ(NumConValue(T(11, 1)), 10.0L);
    EXPECT_EQ(NumConValue(T(11, 2)), 2.0L);
    // The first NUL after the text is the end.
    GetToken(Rd.ScanToken, TokenMode::Scan);
    EXPECT_EQ(Rd.ScanToken.FirstCode, CodeKind::None);
}

TEST_F(TokenizerTest, PrintLineWithStringsFunctionsAndSeparators) {
    const auto tokens = Tokens(QStringLiteral("Print \"Sum: \"; Left$(a$, 3) , x * -2 : ? b"));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    const CodeItemType want[] = {
        T(6, St::PRINT),
        T(21, 1),
        T(1, Op::Semicolon),
        T(2, Fn::LEFTStr),
        T(1, Op::OpenBracket),
        T(22, 1),
        T(1, Op::Comma),
        T(11, 0),
        T(1, Op::CloseBracket),
        T(1, Op::Comma),
        T(12, 1),
        T(1, Op::Multiply),
        T(1, Op::Minus),
        T(11, 1),
        T(1, Op::Colon),
        T(6, St::PRINT),
        T(12, 2),
        LineEnd,
    };
    ASSERT_EQ(tokens.size(), std::size(want));
    for (std::size_t i = 0; i < tokens.size(); ++i)
        EXPECT_TRUE(SameToken(tokens[i], want[i])) << "token " << i;
    EXPECT_EQ(Tb.StrConTable[1], QStringLiteral("Sum: "));
    EXPECT_EQ(Tb.StrVarTable[1].Name, QStringLiteral("A$"));
    EXPECT_EQ(Tb.NumVarTable[2].Name, QStringLiteral("B"));
}

TEST_F(TokenizerTest, ComparisonOperatorsInBothOrders) {
    struct Case {
        const char16_t* text;
        int slot;
    };
    const Case cases[] = {
        {u"A<=B", Op::LessEqual},    {u"A=<B", Op::LessEqual}, {u"A>=B", Op::GreaterEqual},
        {u"A=>B", Op::GreaterEqual}, {u"A<>B", Op::NotEqual},  {u"A><B", Op::NotEqual},
        {u"A<B", Op::Less},          {u"A>B", Op::Greater},    {u"A=B", Op::Equal},
    };
    for (const Case& c : cases) {
        const auto tokens = Tokens(QString::fromUtf16(c.text));
        ASSERT_EQ(tokens.size(), 4u) << QString::fromUtf16(c.text).toStdString();
        EXPECT_TRUE(SameToken(tokens[1], T(CodeKind::Operator, c.slot)))
            << QString::fromUtf16(c.text).toStdString();
        EXPECT_TRUE(SameToken(tokens[2], T(CodeKind::NumVar, 2)));
    }
}

// ---- numeric literals ----------------------------------------------------------------------------------

TEST_F(TokenizerTest, DecimalAndExponentFormsConvertExactly) {
    struct Case {
        const char* text;
        long double value;
    };
    const Case cases[] = {
        {"1.5E+3", 1500.0L}, {".5", 0.5L},  {"1E5", 100000.0L}, {"2.5e-3", 2.5e-3L},
        {"7.", 7.0L},        {"0.1", 0.1L}, {"1E-5000", 0.0L},  {"123456789012345678", 123456789012345678.0L},
        {"1e4932", 1e4932L}, {"3E0", 3.0L},
    };
    for (const Case& c : cases) {
        const CodeItemType token = First(QString::fromLatin1(c.text));
        ASSERT_EQ(Fe.ErrorNumber, 0) << c.text;
        ASSERT_EQ(token.FirstCode, CodeKind::NumLiteral) << c.text;
        EXPECT_EQ(NumConValue(token), c.value) << c.text;
    }
    EXPECT_EQ(Tb.NumofRegisteredNumCon, static_cast<int>(std::size(cases)));
}

TEST_F(TokenizerTest, MalformedNumbersAreRefusedNotCut) {
    const char* const bad[] = {"1.2.3", "1E+ ", "1E- 5", "1E", "1E ", "1EX", "1E5E3", "1e5000", "2.5E+"};
    for (const char* text : bad) {
        Fe.ErrorNumber = 0;
        const CodeItemType token = First(QString::fromLatin1(text));
        EXPECT_EQ(Fe.ErrorNumber, Err::BadNumericLiteral) << text;
        EXPECT_EQ(token.FirstCode, CodeKind::None) << text;
    }
    // Nothing was stored for them.
    EXPECT_EQ(Tb.NumofRegisteredNumCon, 0);
}

TEST_F(TokenizerTest, ExponentWithoutSignOrDigitFailsBeforeConversion) {
    // "E" followed by a blank stops the literal at once, even in the declaring mode that converts nothing.
    First(QStringLiteral("1E 5"), TokenMode::Declare);
    EXPECT_EQ(Fe.ErrorNumber, Err::BadNumericLiteral);
    Fe.ErrorNumber = 0;
    // Two points pass the declaring mode (nothing is converted there) and fail on conversion.
    const CodeItemType token = First(QStringLiteral("1.2.3"), TokenMode::Declare);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_TRUE(SameToken(token, T(11, 0)));
}

TEST_F(TokenizerTest, NumberFollowedByLetterIsNumberThenName) {
    const auto tokens = Tokens(QStringLiteral("2X"));
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(NumConValue(tokens[0]), 2.0L);
    EXPECT_TRUE(SameToken(tokens[1], T(CodeKind::NumVar, 1)));
    EXPECT_EQ(Tb.NumVarTable[1].Name, QStringLiteral("X"));
}

TEST_F(TokenizerTest, AddNumConTakesSignsAndRefusesForeignForms) {
    CodeItemType item;
    AddNumCon(QStringLiteral("-12.5"), item);
    EXPECT_EQ(NumConValue(item), -12.5L);
    for (const char* text : {"inf", "nan", "0x10", " 1", "1 ", "", ".", "+", "1,5"}) {
        Fe.ErrorNumber = 0;
        AddNumCon(QString::fromLatin1(text), item);
        EXPECT_EQ(Fe.ErrorNumber, Err::BadNumericLiteral) << '"' << text << '"';
        EXPECT_EQ(item.FirstCode, CodeKind::None);
    }
    EXPECT_EQ(Tb.NumofRegisteredNumCon, 1);
}

TEST_F(TokenizerTest, HexadecimalLiterals) {
    struct Case {
        const char* text;
        long double value;
    };
    const Case cases[] = {
        {"&Hff", 255.0L},
        {"&h1A", 26.0L},
        {"&H7FFFFFFF", 2147483647.0L},
        {"&HFFFFFFFF", -1.0L},
        {"&H80000000", -2147483648.0L},
        {"&H0000000000FF", 255.0L},
    };
    for (const Case& c : cases) {
        Fe.ErrorNumber = 0;
        const CodeItemType token = First(QString::fromLatin1(c.text));
        ASSERT_EQ(Fe.ErrorNumber, 0) << c.text;
        EXPECT_EQ(NumConValue(token), c.value) << c.text;
    }
    for (const char* text : {"&H", "&H100000000", "&H G"})
        EXPECT_EQ(FirstError(QString::fromLatin1(text)), Err::BadHexLiteral) << text;
}

TEST_F(TokenizerTest, HexEndsAtFirstOtherCharacterAndAmpersandAloneIsOperator) {
    auto tokens = Tokens(QStringLiteral("&HFFG"));
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(NumConValue(tokens[0]), 255.0L);
    EXPECT_TRUE(SameToken(tokens[1], T(CodeKind::NumVar, 1)));
    EXPECT_EQ(Tb.NumVarTable[1].Name, QStringLiteral("G"));

    tokens = Tokens(QStringLiteral("&X"));
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_TRUE(SameToken(tokens[0], T(CodeKind::Operator, Op::Ampersand)));
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(tokens[1].SecondCode)].Name, QStringLiteral("X"));

    // In the declaring mode a hexadecimal literal is not even converted.
    EXPECT_TRUE(SameToken(First(QStringLiteral("&H"), TokenMode::Declare), T(11, 0)));
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

// ---- string literals -----------------------------------------------------------------------------------

TEST_F(TokenizerTest, StringsHoldAnyCharacterButNoQuote) {
    // Two quotes in a row close the literal and open a new one.
    const auto tokens = Tokens(QStringLiteral("\"a\"\"b\" \"日本 ~%\""));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_TRUE(SameToken(tokens[0], T(21, 1)));
    EXPECT_TRUE(SameToken(tokens[1], T(21, 2)));
    EXPECT_EQ(Tb.StrConTable[1], QStringLiteral("a"));
    EXPECT_EQ(Tb.StrConTable[2], QStringLiteral("b"));
    EXPECT_EQ(Tb.StrConTable[3], QStringLiteral("日本 ~%"));
    EXPECT_EQ(First(QStringLiteral("\"\"")).SecondCode, 4);
    EXPECT_TRUE(Tb.StrConTable[4].isEmpty());
}

TEST_F(TokenizerTest, UnclosedStringStopsAtTheLineEnd) {
    SetText(QStringLiteral("PRINT \"abc\r\nX = 1"));
    GetToken(Rd.ScanToken, TokenMode::Scan);
    GetToken(Rd.ScanToken, TokenMode::Scan);
    EXPECT_EQ(Fe.ErrorNumber, Err::StringNotClosed);
    EXPECT_EQ(Rd.SourcePos, 11); // at the CR
    EXPECT_EQ(Tb.NumofRegisteredStrCon, 0);
}

TEST_F(TokenizerTest, UnclosedStringAtTheEndOfTextEndsWithoutHanging) {
    // A text handed over without its CR LF: the literal runs into the end.
    Rd.CompileText = QStringLiteral("\"abc");
    Rd.CompileTextLength = 4;
    ResetSourcePos();
    GetToken(Rd.ScanToken, TokenMode::Scan);
    EXPECT_EQ(Fe.ErrorNumber, Err::StringNotClosed);
}

TEST_F(TokenizerTest, DeclaringModeKeepsOnlyTheLastStringInSlotOne) {
    const auto tokens = Tokens(QStringLiteral("\"first\" \"second\""), TokenMode::Declare);
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_TRUE(SameToken(tokens[0], T(21, 1)));
    EXPECT_TRUE(SameToken(tokens[1], T(21, 1)));
    EXPECT_EQ(Tb.StrConTable[1], QStringLiteral("second"));
    EXPECT_EQ(Tb.NumofRegisteredStrCon, 0);
}

// ---- names and keywords ---------------------------------------------------------------------------------

TEST_F(TokenizerTest, NamesWithTypeMarksAndLetterCase) {
    const auto tokens = Tokens(QStringLiteral("total Total$ f@ A_1 x2 TOTAL"));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    ASSERT_EQ(tokens.size(), 7u);
    EXPECT_TRUE(SameToken(tokens[0], T(CodeKind::NumVar, 1)));
    EXPECT_TRUE(SameToken(tokens[1], T(CodeKind::StrVar, 1)));
    EXPECT_TRUE(SameToken(tokens[2], T(CodeKind::FormulaVar, 1)));
    EXPECT_TRUE(SameToken(tokens[3], T(CodeKind::NumVar, 2)));
    EXPECT_TRUE(SameToken(tokens[4], T(CodeKind::NumVar, 3)));
    EXPECT_TRUE(SameToken(tokens[5], T(CodeKind::NumVar, 1))); // same variable whatever the case
    EXPECT_EQ(Tb.NumVarTable[1].Name, QStringLiteral("TOTAL"));
    EXPECT_EQ(Tb.StrVarTable[1].Name, QStringLiteral("TOTAL$"));
    EXPECT_EQ(Tb.FormVarTable[1].Name, QStringLiteral("F@"));
    EXPECT_EQ(Tb.NumVarTable[2].Name, QStringLiteral("A_1"));
}

TEST_F(TokenizerTest, KeywordsInAnyCase) {
    EXPECT_TRUE(SameToken(First(QStringLiteral("print")), T(6, St::PRINT)));
    EXPECT_TRUE(SameToken(First(QStringLiteral("Mod")), T(1, Op::Mod)));
    EXPECT_TRUE(SameToken(First(QStringLiteral("xor")), T(1, Op::Xor)));
    EXPECT_TRUE(SameToken(First(QStringLiteral("True")), T(31, BoolConstTrue)));
    EXPECT_TRUE(SameToken(First(QStringLiteral("FALSE")), T(31, BoolConstFalse)));
    EXPECT_TRUE(SameToken(First(QStringLiteral("sin(")), T(2, Fn::SIN)));
    EXPECT_TRUE(SameToken(First(QStringLiteral("inkey$")), T(2, Fn::INKEYStr)));
    EXPECT_TRUE(SameToken(First(QStringLiteral("left$(")), T(2, Fn::LEFTStr)));
    EXPECT_TRUE(SameToken(First(QStringLiteral("LOCATE(")), T(6, St::LOCATE)));
    EXPECT_EQ(Tb.NumofRegisteredNumVar, 0);
}

TEST_F(TokenizerTest, SeekIsReadAsTheStatement) {
    // The function slot holds "SEEK " with a blank, so the word always finds the statement.
    EXPECT_TRUE(SameToken(First(QStringLiteral("SEEK #1, 5")), T(6, St::SEEK)));
    EXPECT_TRUE(SameToken(First(QStringLiteral("SEEK(1)")), T(6, St::SEEK)));
    EXPECT_TRUE(SameToken(First(QStringLiteral("seek")), T(6, St::SEEK)));
}

TEST_F(TokenizerTest, WordOperatorDirectlyBeforeBracketIsAName) {
    auto tokens = Tokens(QStringLiteral("NOT(A)"));
    ASSERT_GE(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].FirstCode, CodeKind::NumVar);
    EXPECT_EQ(Tb.NumVarTable[1].Name, QStringLiteral("NOT"));
    tokens = Tokens(QStringLiteral("NOT (A)"));
    EXPECT_TRUE(SameToken(tokens[0], T(1, Op::Not)));
}

TEST_F(TokenizerTest, StringNameFollowedByBracketLooksForStatementsToo) {
    // A$( is an array name: no function of that name, so it is a variable.
    const auto tokens = Tokens(QStringLiteral("A$(1)"));
    ASSERT_GE(tokens.size(), 2u);
    EXPECT_TRUE(SameToken(tokens[0], T(CodeKind::StrVar, 1)));
    EXPECT_TRUE(SameToken(tokens[1], T(1, Op::OpenBracket))); // the bracket stays for the next token
}

// ---- comments, dots, continuation --------------------------------------------------------------------

TEST_F(TokenizerTest, CommentMarkAndRem) {
    const auto tokens = Tokens(QStringLiteral("X = 1 ' note"), TokenMode::LookAhead);
    ASSERT_GE(tokens.size(), 4u);
    EXPECT_TRUE(SameToken(tokens[3], T(1, Op::Apostrophe)));
    EXPECT_TRUE(SameToken(First(QStringLiteral("REM note")), T(6, St::REM)));

    // IsStmtEnd steps back before a comment mark so whoever skips the comment reads it again.
    SetText(QStringLiteral("' x"));
    GetToken(Rd.ScanToken, TokenMode::Scan);
    EXPECT_EQ(Rd.SourcePos, 2);
    EXPECT_TRUE(IsStmtEnd(Rd.ScanToken));
    EXPECT_EQ(Rd.SourcePos, 1);
    EXPECT_TRUE(IsStmtEnd(T(1, Op::Colon)));
    EXPECT_TRUE(IsStmtEnd(LineEnd));
    EXPECT_TRUE(IsStmtEnd(T(0, 0)));
    EXPECT_FALSE(IsStmtEnd(T(1, Op::Comma)));
    EXPECT_EQ(Rd.SourcePos, 1);
}

TEST_F(TokenizerTest, PointIsMemberOperatorAfterBracketOrOnRequest) {
    auto tokens = Tokens(QStringLiteral("CBUTTON(1).CAPTION"));
    ASSERT_GE(tokens.size(), 5u);
    EXPECT_TRUE(SameToken(tokens[4], T(1, Op::Period)));
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(tokens[5].SecondCode)].Name, QStringLiteral("CAPTION"));

    tokens = Tokens(QStringLiteral("X = .5"));
    EXPECT_EQ(NumConValue(tokens[2]), 0.5L);

    Rd.MemberDotMode = 1;
    EXPECT_TRUE(SameToken(First(QStringLiteral(".5")), T(1, Op::Period)));
}

TEST_F(TokenizerTest, LineContinuationJoinsLines) {
    auto tokens = Tokens(QStringLiteral("A = 1 _   \r\n  + 2"));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    const CodeItemType want[] = {T(12, 1), T(1, Op::Equal), T(11, 0), T(1, Op::Plus), T(11, 1), LineEnd};
    ASSERT_EQ(tokens.size(), std::size(want));
    for (std::size_t i = 0; i < tokens.size(); ++i)
        EXPECT_TRUE(SameToken(tokens[i], want[i])) << "token " << i;

    // A number ends at "_", which then starts a call and so counts as after a blank.
    tokens = Tokens(QStringLiteral("A = 5_\r\n+ 1"));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    ASSERT_EQ(tokens.size(), 6u);
    EXPECT_TRUE(SameToken(tokens[3], T(1, Op::Plus)));

    // A name keeps its "_".
    tokens = Tokens(QStringLiteral("A_\r\nB"));
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(tokens[0].SecondCode)].Name, QStringLiteral("A_"));
    EXPECT_TRUE(SameToken(tokens[1], LineEnd));
}

TEST_F(TokenizerTest, MisplacedContinuation) {
    ExpectTokensError({u"A =\t_\r\nB", u"A = _ B", u"A = 1 _ ' note\r\nB", u"A = 1 _X"},
                      Err::UnderscoreMisplaced);
}

// ---- characters that start no token ------------------------------------------------------------------

TEST_F(TokenizerTest, BadAndWideCharacters) {
    CodeItemType token = First(QStringLiteral("~"));
    EXPECT_EQ(Fe.ErrorNumber, Err::BadCharacter);
    EXPECT_EQ(Rd.BadCharText, QStringLiteral("~"));
    EXPECT_TRUE(SameToken(token, T(1, Op::Question2)));

    EXPECT_EQ(TokensError(QStringLiteral("A = B % 2")), Err::BadCharacter);
    EXPECT_EQ(Rd.BadCharText, QStringLiteral("%"));
    EXPECT_EQ(FirstError(QStringLiteral("\x7F")), Err::BadCharacter);
    ExpectTokensError({u"Ａ", u"é", u"ｱ", u"X = 1 ＋ 2"}, Err::WideCharacter);
}

TEST_F(TokenizerTest, LineEndsOtherThanCrLf) {
    CodeItemType token = First(QStringLiteral("\nX"));
    EXPECT_EQ(Fe.ErrorNumber, Err::BadLineEnd);
    EXPECT_TRUE(SameToken(token, T(1, Op::Empty40)));

    EXPECT_EQ(FirstError(QStringLiteral("\rX")), Err::LoneCr);
    EXPECT_EQ(FirstError(QStringLiteral("12\rX")), Err::BadLineEnd);
    EXPECT_EQ(FirstError(QStringLiteral("&H1F\rX")), Err::BadLineEnd);
    EXPECT_EQ(FirstError(QStringLiteral("ABC\rX")), Err::LoneCr);
}

// ---- modes
// -------------------------------------------------------------------------------------------------

TEST_F(TokenizerTest, ModesDifferInWhatANameAndALiteralLeaveBehind) {
    // Look-ahead: names are only classified, literals are stored.
    auto tokens = Tokens(QStringLiteral("ALPHA BETA$ 5 \"s\""), TokenMode::LookAhead);
    ASSERT_EQ(tokens.size(), 5u);
    EXPECT_TRUE(SameToken(tokens[0], T(12, 1)));
    EXPECT_TRUE(SameToken(tokens[1], T(22, 1)));
    EXPECT_EQ(Tb.NumofRegisteredNumVar, 0);
    EXPECT_EQ(Tb.NumofRegisteredStrVar, 0);
    EXPECT_EQ(Tb.NumofRegisteredNumCon, 1);
    EXPECT_EQ(Tb.NumofRegisteredStrCon, 1);

    // Declaring: names of the main program enter nothing, literals are not kept.
    tokens = Tokens(QStringLiteral("ALPHA BETA$ 5 \"s\""), TokenMode::Declare);
    ASSERT_EQ(tokens.size(), 5u);
    EXPECT_EQ(tokens[0].FirstCode, CodeKind::NumVar);
    EXPECT_EQ(tokens[1].FirstCode, CodeKind::StrVar);
    EXPECT_TRUE(SameToken(tokens[2], T(11, 0)));
    EXPECT_EQ(Tb.NumofRegisteredDcVar, 0);
    EXPECT_EQ(Tb.NumofRegisteredNumVar, 0);
    EXPECT_EQ(Tb.NumofRegisteredNumCon, 1);
    EXPECT_EQ(Tb.NumofRegisteredStrCon, 1);

    // In a declaring context the name is entered.
    Rd.DeclContext = DeclCtx::DimList;
    tokens = Tokens(QStringLiteral("GAMMA"), TokenMode::Declare);
    EXPECT_EQ(Tb.NumofRegisteredDcVar, 1);
    EXPECT_EQ(Tb.DcVarTable[1].Name, QStringLiteral("GAMMA"));

    // Scanning: variables are created.
    Rd.DeclContext = DeclCtx::Main;
    tokens = Tokens(QStringLiteral("ALPHA BETA$"), TokenMode::Scan);
    EXPECT_EQ(Tb.NumofRegisteredNumVar, 1);
    EXPECT_EQ(Tb.NumofRegisteredStrVar, 1);
}

TEST_F(TokenizerTest, TokenStartOnlyMovesInScanModeAndFollowsIncludeMapping) {
    SetText(QStringLiteral("   X"));
    Rd.TokenStart = 99;
    GetToken(Rd.ScanToken, TokenMode::LookAhead);
    EXPECT_EQ(Rd.TokenStart, 99);
    EXPECT_EQ(FirstTokenStartAgain(), 4);

    Rd.IncludeOffset = 2;
    EXPECT_EQ(FirstTokenStartAgain(), 2);

    Rd.IncludeMode = 1;
    Rd.IncludePosition = 40;
    EXPECT_EQ(FirstTokenStartAgain(), 40);
}

TEST_F(TokenizerTest, PeekReadsTheSameTokenAgainAndKeepsItsSideEffects) {
    SetText(QStringLiteral("COUNT = 1"));
    CodeItemType peeked;
    PeekToken(peeked);
    EXPECT_EQ(Rd.SourcePos, 1);
    EXPECT_EQ(Rd.SourceLinePos, 1);
    EXPECT_EQ(Tb.NumofRegisteredNumVar, 1); // the peek created the variable
    GetToken(Rd.ScanToken, TokenMode::Scan);
    EXPECT_EQ(Rd.ScanToken, peeked);
    EXPECT_EQ(Tb.NumofRegisteredNumVar, 1);

    CodeItemType second;
    PeekToken2(second);
    EXPECT_TRUE(SameToken(second, T(1, Op::Equal)));
    GetToken(Rd.ScanToken, TokenMode::Scan);
    EXPECT_TRUE(SameToken(Rd.ScanToken, T(1, Op::Equal)));
}

TEST_F(TokenizerTest, PreviousTokensAreKept) {
    SetText(QStringLiteral("A + B"));
    GetToken(Rd.ScanToken, TokenMode::Scan);
    GetToken(Rd.ScanToken, TokenMode::Scan);
    GetToken(Rd.ScanToken, TokenMode::Scan);
    EXPECT_TRUE(SameToken(Rd.ScanPrevToken, T(1, Op::Plus)));
    EXPECT_TRUE(SameToken(Rd.PreviousToken, T(1, Op::Plus)));
    EXPECT_TRUE(SameToken(Rd.LastToken, T(12, 2)));
}

// ---- the character reader -----------------------------------------------------------------------------

TEST_F(TokenizerTest, CharacterReader) {
    SetText(QStringLiteral("aB"));
    EXPECT_EQ(ReadUpper(), u'A');
    EXPECT_EQ(ReadChar(), u'B');
    UnreadChar();
    EXPECT_EQ(ReadUpper(), u'B');
    EXPECT_EQ(ReadChar(), u'\r');
    EXPECT_EQ(ReadChar(), u'\n');
    EXPECT_EQ(ReadChar(), 0);
    EXPECT_EQ(ReadChar(), 0);
    EXPECT_EQ(ReadChar(), 0); // past the end: still NUL, still advancing
    EXPECT_EQ(Rd.SourcePos, Rd.CompileTextLength + 2);
    EXPECT_EQ(Fe.ErrorNumber, 0);

    Rd.SourcePos = 0;
    EXPECT_EQ(ReadChar(), 0);
    EXPECT_EQ(Fe.ErrorNumber, Err::UnexpectedLexError);
    EXPECT_EQ(Rd.SourcePos, 0);
}

TEST_F(TokenizerTest, ReadWordTakesLettersAndConsumesTheEnd) {
    SetText(QStringLiteral("lorvexc+1"));
    QString word;
    ReadWord(word);
    EXPECT_EQ(word, QStringLiteral("LORVEXC"));
    EXPECT_EQ(ReadChar(), u'1');

    SetText(QStringLiteral("abé"));
    word.clear();
    ReadWord(word);
    EXPECT_EQ(word, QStringLiteral("AB"));
    EXPECT_EQ(Fe.ErrorNumber, Err::WideCharInWord);
}

TEST_F(TokenizerTest, RawCharacters) {
    SetText(QStringLiteral("{x}:'\r\n\nA\rB"));
    const CodeItemType want[] = {T(1, Op::OpenBrace),
                                 T(1, Op::Question2),
                                 T(1, Op::CloseBrace),
                                 T(1, Op::Question2),
                                 T(1, Op::Question2),
                                 LineEnd,
                                 T(1, Op::Empty40),
                                 T(1, Op::Question2),
                                 T(0, 0), /* CR B */
                                 LineEnd,
                                 T(0, 0)};
    for (const CodeItemType& w : want) {
        CodeItemType item;
        ScanRawChar(item);
        EXPECT_TRUE(SameToken(item, w));
        EXPECT_EQ(item.Position, Rd.SourcePos);
        EXPECT_EQ(Rd.LastToken, item);
    }
    SetText(QStringLiteral(":'"));
    CodeItemType item;
    ScanRawStmtChar(item);
    EXPECT_TRUE(SameToken(item, T(1, Op::Colon)));
    EXPECT_EQ(Rd.SourceLinePos, 1);
    ScanRawStmtChar(item);
    EXPECT_TRUE(SameToken(item, T(1, Op::Apostrophe)));
}

// ---- DEF parameters and local lookups --------------------------------------------------------------------

TEST_F(TokenizerTest, DefParametersAreLocalsAndMayNotRepeat) {
    SetText(QStringLiteral("  x, n$, x"));
    CodeItemType item;
    GetDefToken(item);
    EXPECT_TRUE(SameToken(item, T(CodeKind::LocalNumVar, 1)));
    EXPECT_EQ(item.Position, 4); // after the first character
    EXPECT_EQ(Tb.LocalNumVarTable[1].Name, QStringLiteral("X"));
    GetToken(Rd.ScanToken, TokenMode::Scan);
    GetDefToken(item);
    EXPECT_TRUE(SameToken(item, T(CodeKind::LocalStrVar, 1)));
    GetToken(Rd.ScanToken, TokenMode::Scan);
    GetDefToken(item);
    EXPECT_EQ(Fe.ErrorNumber, Err::DefParameterTwice);

    Fe.ErrorNumber = 0;
    SetText(QStringLiteral("1"));
    GetDefToken(item);
    EXPECT_EQ(Fe.ErrorNumber, Err::BadCharacter);
    EXPECT_TRUE(SameToken(item, T(1, Op::Question2)));

    Fe.ErrorNumber = 0;
    SetText(QStringLiteral("Ｘ"));
    GetDefToken(item);
    EXPECT_EQ(Fe.ErrorNumber, Err::WideCharInWord);
}

TEST_F(TokenizerTest, LocalNameModeFindsDefParametersFirst) {
    CodeItemType item;
    AddLocalVar(QStringLiteral("X"), item, 1);
    AddLocalVar(QStringLiteral("S$"), item, 1);
    Rd.LocalNameMode = 1;
    auto tokens = Tokens(QStringLiteral("X + S$ + Y"));
    ASSERT_EQ(tokens.size(), 6u);
    EXPECT_TRUE(SameToken(tokens[0], T(CodeKind::LocalNumVar, 1)));
    EXPECT_TRUE(SameToken(tokens[2], T(CodeKind::LocalStrVar, 1)));
    EXPECT_TRUE(SameToken(tokens[4], T(CodeKind::NumVar, 1)));
    // Only the scanning mode looks among the parameters.
    tokens = Tokens(QStringLiteral("X"), TokenMode::LookAhead);
    EXPECT_TRUE(SameToken(tokens[0], T(CodeKind::NumVar, 1)));
}

} // namespace
