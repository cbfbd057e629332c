// The file channels and the file statements: field reading of INPUT# with quotes, commas and line ends
// in several encodings, opening, appending, closing and what reaches the file, PRINT# zones and line
// ends, LINE INPUT#, SETENCODING and the FILES listing. Statements run as code items laid out the way
// the compiler writes them, through a small dispatcher that does what the run loop does with them.
#include "core/encodedetect.h"
#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/dispatch.h"
#include "engine/filechannels.h"
#include "engine/fileexec.h"
#include "engine/flowexec.h"
#include "engine/inputexec.h"
#include "engine/runwindowqueue.h"
#include "frontend/initall.h"
#include "tests/codeitems.h"
#include "tests/compiletext.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <ostream>

namespace {

// ---- code items ------------------------------------------------------------------------------------

CodeItemType FileSep(int value) {
    return {CodeKind::PrintFileSep, value, 0};
}
CodeItemType PrintSep(int value) {
    return {CodeKind::PrintSep, value, 0};
}

class Channels : public ::testing::Test {
protected:
    void SetUp() override {
        ResetInterpreter();
        RunWindowQueue::Instance().Reset();
    }
    void TearDown() override {
        CloseAllFileChannels();
        Ps.FileEncoding = 0;
        Fe.ErrorNumber = 0;
        GlClear();
    }
    // Opens `name` holding `bytes` for input on channel 1.
    void OpenWith(const QByteArray& bytes, const QString& name = QStringLiteral("in.txt")) {
        ASSERT_TRUE(WriteBytes(name, bytes));
        OpenFileChannel(name, FileModeKind::Input, 1);
        ASSERT_EQ(Fe.ErrorNumber, 0);
        ASSERT_EQ(Ps.FileMode[1], FileModeKind::Input);
    }
    QString Field(int mode) { return ReadFileItem(1, mode); }

    TemporaryCurrentFolder folder_;
};

// ---- the field rules of INPUT# ------------------------------------------------------------------------

TEST_F(Channels, NumberFieldStopsAtCommaAndStringFieldTakesTheRest) {
    ASSERT_NO_FATAL_FAILURE(OpenWith("12 , abc\r\nnext\r\n"));
    EXPECT_EQ(Field(ReadItemMode::Number), QStringLiteral("12"));
    EXPECT_EQ(Field(ReadItemMode::String), QStringLiteral("abc"));
    EXPECT_EQ(Field(ReadItemMode::String), QStringLiteral("next"));
    EXPECT_TRUE(FileChannelAtEnd(1));
    EXPECT_EQ(Field(ReadItemMode::String), QString());
}

TEST_F(Channels, QuotedFieldKeepsItsCommaAndHoldsBackTheLetterAfterIt) {
    ASSERT_NO_FATAL_FAILURE(OpenWith("\"a,b\" x\r\nlast\r\n"));
    EXPECT_EQ(Field(ReadItemMode::String), QStringLiteral("a,b"));
    EXPECT_TRUE(FileChannels[1].PushbackPending);
    EXPECT_EQ(FileChannels[1].Pushback, u'x');
    EXPECT_EQ(Field(ReadItemMode::String), QStringLiteral("x"));
    EXPECT_FALSE(FileChannels[1].PushbackPending);
    EXPECT_EQ(Field(ReadItemMode::String), QStringLiteral("last"));
}

TEST_F(Channels, QuotedFieldsSeparatedByCommasAndBlanks) {
    ASSERT_NO_FATAL_FAILURE(OpenWith("  \"a\" , \"b c\",d,\"\"\r\n"));
    EXPECT_EQ(Field(ReadItemMode::String), QStringLiteral("a"));
    EXPECT_EQ(Field(ReadItemMode::String), QStringLiteral("b c"));
    EXPECT_EQ(Field(ReadItemMode::String), QStringLiteral("d"));
    EXPECT_EQ(Field(ReadItemMode::String), QString());
    EXPECT_TRUE(FileChannelAtEnd(1));
}

TEST_F(Channels, QuoteInsideUnquotedTextIsText) {
    ASSERT_NO_FATAL_FAILURE(OpenWith("ab\"c,d\r\n"));
    EXPECT_EQ(Field(ReadItemMode::String), QStringLiteral("ab\"c"));
    EXPECT_EQ(Field(ReadItemMode::String), QStringLiteral("d"));
}

TEST_F(Channels, FieldAtLineEndIsEmptyAndMovesToTheNextLine) {
    ASSERT_NO_FATAL_FAILURE(OpenWith("\r\n5\r\n"));
    EXPECT_EQ(Field(ReadItemMode::Number), QString());
    EXPECT_EQ(Field(ReadItemMode::Number), QStringLiteral("5"));
    EXPECT_TRUE(FileChannelAtEnd(1));
}

TEST_F(Channels, LfAndLoneCrEndLinesToo) {
    ASSERT_NO_FATAL_FAILURE(OpenWith("1\n2\r3"));
    EXPECT_EQ(ReadFileNumber(1), 1);
    EXPECT_EQ(ReadFileNumber(1), 2);
    EXPECT_EQ(ReadFileNumber(1), 3);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_TRUE(FileChannelAtEnd(1));
}

TEST_F(Channels, NumberFieldEndsAtABlankAfterText) {
    ASSERT_NO_FATAL_FAILURE(OpenWith("1 2\r\n"));
    EXPECT_EQ(Field(ReadItemMode::Number), QStringLiteral("1"));
    EXPECT_TRUE(FileChannels[1].PushbackPending);
    EXPECT_EQ(Field(ReadItemMode::Number), QStringLiteral("2"));
}

TEST_F(Channels, FieldsAreTrimmedOfControlCharacters) {
    ASSERT_NO_FATAL_FAILURE(OpenWith("\t x \t,y\r\n"));
    EXPECT_EQ(Field(ReadItemMode::String), QStringLiteral("x"));
    EXPECT_EQ(Field(ReadItemMode::String), QStringLiteral("y"));
}

TEST_F(Channels, ReadFileNumberConvertsOrReports3041) {
    ASSERT_NO_FATAL_FAILURE(OpenWith("1e3, -.5,,abc\r\n"));
    EXPECT_EQ(ReadFileNumber(1), 1000);
    EXPECT_EQ(ReadFileNumber(1), -0.5L);
    EXPECT_EQ(ReadFileNumber(1), 0); // an empty field counts as 0
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ReadFileNumber(1), 0);
    EXPECT_EQ(Fe.ErrorNumber, Err::InputFileBadNumber);
}

// ---- encodings ------------------------------------------------------------------------------------------

struct EncodedCase {
    const char* Name;
    int CodePage; // how the bytes are made; also what SETENCODING names when `Chosen`
    bool Bom;
    bool Chosen; // read with SETENCODING's code page instead of detection
};

// Failures and test lists name the case rather than dump its bytes.
void PrintTo(const EncodedCase& c, std::ostream* out) {
    *out << c.Name;
}

class FileEncodings : public Channels, public ::testing::WithParamInterface<EncodedCase> {};

QByteArray Encode(const EncodedCase& c, const QString& text) {
    std::unique_ptr<TEncoding> encoding;
    if (c.CodePage == CodePage::Utf16LE || c.CodePage == CodePage::Utf16BE)
        encoding = NewUtf16Encoding(c.CodePage == CodePage::Utf16BE, c.Bom);
    else if (c.CodePage == CodePage::Utf8)
        encoding = NewUtf8Encoding(c.Bom);
    else
        encoding = EncodingFromCodePage(c.CodePage);
    return (c.Bom ? encoding->GetPreamble() : QByteArray()) + encoding->GetBytes(text);
}

TEST_P(FileEncodings, FieldsReadTheSameInEveryEncoding) {
    const EncodedCase& c = GetParam();
    const QString text = QStringLiteral("\"日本語の,テキスト\" 漢字, 12\r\nひらがなとカタカナの行です\r\n");
    if (c.Chosen) Ps.FileEncoding = c.CodePage;
    ASSERT_NO_FATAL_FAILURE(OpenWith(Encode(c, text)));
    EXPECT_EQ(Field(ReadItemMode::String), QStringLiteral("日本語の,テキスト"));
    EXPECT_EQ(Field(ReadItemMode::String), QStringLiteral("漢字"));
    EXPECT_EQ(ReadFileNumber(1), 12);
    QString line;
    ASSERT_TRUE(FileChannels[1].Reader->ReadLine(line));
    EXPECT_EQ(line, QStringLiteral("ひらがなとカタカナの行です"));
    EXPECT_TRUE(FileChannelAtEnd(1));
}

INSTANTIATE_TEST_SUITE_P(Encodings, FileEncodings,
                         ::testing::Values(EncodedCase{"Utf16LeBom", CodePage::Utf16LE, true, false},
                                           EncodedCase{"Utf16BeBom", CodePage::Utf16BE, true, false},
                                           EncodedCase{"Utf8Bom", CodePage::Utf8, true, false},
                                           EncodedCase{"Utf8", CodePage::Utf8, false, false},
                                           EncodedCase{"ShiftJisDetected", CodePage::ShiftJis, false, false},
                                           EncodedCase{"EucJpDetected", CodePage::EucJp, false, false},
                                           EncodedCase{"ShiftJisChosen", CodePage::ShiftJis, false, true},
                                           EncodedCase{"Utf8BomChosen", CodePage::Utf8, true, true},
                                           EncodedCase{"Utf16LeChosen", CodePage::Utf16LE, true, true}),
                         [](const ::testing::TestParamInfo<EncodedCase>& info) {
                             return std::string(info.param.Name);
                         });

TEST_F(Channels, Utf16FilesAreWrittenWithOneMarkAndAppendedWithout) {
    Ps.FileEncoding = CodePage::Utf16LE;
    OpenFileChannel(QStringLiteral("u.txt"), FileModeKind::Output, 1);
    FileChannels[1].Writer->WriteLine(u"a");
    CloseFileChannel(1);
    OpenFileChannel(QStringLiteral("u.txt"), FileModeKind::Append, 2);
    FileChannels[2].Writer->WriteLine(u"b");
    CloseFileChannel(2);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ReadBytes(QStringLiteral("u.txt")), QByteArray("\xFF\xFE"
                                                             "a\0\r\0\n\0"
                                                             "b\0\r\0\n\0",
                                                             14));
}

TEST_F(Channels, AppendKeepsTheDetectedEncodingOfTheFile) {
    const QByteArray sjis = EncodingFromCodePage(CodePage::ShiftJis)->GetBytes(u"日本語の文章です\r\n");
    ASSERT_TRUE(WriteBytes(QStringLiteral("s.txt"), sjis));
    OpenFileChannel(QStringLiteral("s.txt"), FileModeKind::Append, 1);
    FileChannels[1].Writer->WriteLine(u"続き");
    CloseFileChannel(1);
    EXPECT_EQ(ReadBytes(QStringLiteral("s.txt")),
              sjis + EncodingFromCodePage(CodePage::ShiftJis)->GetBytes(u"続き\r\n"));
}

TEST_F(Channels, CloseEndsAShiftedEncodingProperly) {
    Ps.FileEncoding = CodePage::Iso2022Jp;
    OpenFileChannel(QStringLiteral("j.txt"), FileModeKind::Output, 1);
    FileChannels[1].Writer->Write(u"日本");
    CloseFileChannel(1);
    const QByteArray bytes = ReadBytes(QStringLiteral("j.txt"));
    EXPECT_TRUE(bytes.startsWith("\x1B$B")) << bytes.toHex().constData();
    EXPECT_TRUE(bytes.endsWith("\x1B(B")) << bytes.toHex().constData();
}

// ---- open, close, what reaches the file -------------------------------------------------------------------

TEST_F(Channels, PrintZonesNumbersAndCrLf) {
    // OPEN "out.txt" FOR OUTPUT AS #1
    // PRINT #1, "A", "B"
    // PRINT #1, 1; 2
    // PRINT #1, "C";
    // PRINT #1, TRUE
    // PRINT #1
    const CodeItemType one = Num(1);
    Program({Stmt(St::OPEN),
             Str(QStringLiteral("out.txt")),
             Stmt(St::OUTPUT),
             one,
             LineEnd(),
             Str(QStringLiteral("A")),
             one,
             Stmt(St::PRINTFile),
             one,
             FileSep(Op::Comma),
             Str(QStringLiteral("B")),
             one,
             Stmt(InSt::PrintFileLineEnd),
             LineEnd(),
             one,
             one,
             Stmt(St::PRINTFile),
             Num(2),
             one,
             Stmt(InSt::PrintFileLineEnd),
             LineEnd(),
             Str(QStringLiteral("C")),
             one,
             Stmt(St::PRINTFile),
             LineEnd()});
    RunItems();
    ASSERT_EQ(Fe.ErrorNumber, 0);
    GlPushBool(true); // the dispatcher has no boolean constants: PRINT #1, TRUE by hand
    GlPushNum(1);
    ExecPrintFileLineEnd();
    GlPushNum(1);
    ExecPrintFileSeparator(PrintSepEnd);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    // Everything is in the file before CLOSE for whatever looks at it through a program's file name.
    const QByteArray expected = "A" + QByteArray(22, ' ') + "B\r\n 1 2\r\nCTrue\r\n\r\n";
    EXPECT_EQ(ReadBytes(ProgramFilePath(QStringLiteral("out.txt"))), expected);
    EXPECT_EQ(FileChannels[1].Column, 0);
}

TEST_F(Channels, TabMovesTheChannelColumnAndNeverBacks) {
    OpenFileChannel(QStringLiteral("t.txt"), FileModeKind::Output, 1);
    GlPushStr(QStringLiteral("ab"));
    GlPushNum(1);
    ExecPrintFile();
    detail::GlPushValue(Vs.GlNumStack, GlValueType::NumberAlt, Extended(5)); // TAB(5)
    GlPushNum(1);
    ExecPrintFile();
    EXPECT_EQ(FileChannels[1].Column, 5);
    detail::GlPushValue(Vs.GlNumStack, GlValueType::NumberAlt, Extended(2)); // TAB(2): already past it
    GlPushNum(1);
    ExecPrintFile();
    GlPushStr(QStringLiteral("c"));
    GlPushNum(1);
    ExecPrintFileLineEnd();
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ReadBytes(ProgramFilePath(QStringLiteral("t.txt"))), QByteArray("ab   c\r\n"));

    // A TAB as the value that ends the line is refused.
    detail::GlPushValue(Vs.GlNumStack, GlValueType::NumberAlt, Extended(3));
    GlPushNum(1);
    ExecPrintFileLineEnd();
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::PRINTFile);
}

TEST_F(Channels, PrintUsingWithTrailingSemicolonLeavesTheLineOpen) {
    // PRINT #1, USING "##"; 5;   then   PRINT #1, "x"   then   PRINT #1, USING "!"; "yes"
    const CodeItemType one = Num(1);
    OpenFileChannel(QStringLiteral("u.txt"), FileModeKind::Output, 1);
    Program({Num(5), Str(QStringLiteral("##")), one, Stmt(InSt::PrintUsingFile), Colon(), LineEnd(),
             Str(QStringLiteral("x")), one, Stmt(InSt::PrintFileLineEnd), LineEnd(),
             Str(QStringLiteral("yes")), Str(QStringLiteral("!")), one, Stmt(InSt::PrintUsingFile),
             PrintSep(PrintSepEnd), Colon(), LineEnd()});
    RunItems();
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ReadBytes(ProgramFilePath(QStringLiteral("u.txt"))), QByteArray(" 5x\r\ny\r\n"));
    EXPECT_EQ(Vs.GlTypeStack.Count, 0);
}

TEST_F(Channels, PrintUsingWithTrailingCommaMovesToTheNextZone) {
    OpenFileChannel(QStringLiteral("z.txt"), FileModeKind::Output, 1);
    const CodeItemType one = Num(1);
    Program({Str(QStringLiteral("ab")), Str(QStringLiteral("&")), one, Stmt(InSt::PrintUsingFile),
             PrintSep(Op::Comma), Colon(), LineEnd()});
    RunItems();
    ASSERT_EQ(Fe.ErrorNumber, 0);
    // PRINT# USING does not move the column, so the zone is a whole one from column 0.
    EXPECT_EQ(ReadBytes(ProgramFilePath(QStringLiteral("z.txt"))), "a" + QByteArray(23, ' '));
}

TEST_F(Channels, PrintChecksTheChannelBeforeWriting) {
    struct Case {
        int Mode;
        int Error;
    };
    ASSERT_TRUE(WriteBytes(QStringLiteral("in.txt"), "x\r\n"));
    OpenFileChannel(QStringLiteral("in.txt"), FileModeKind::Input, 2);
    for (const Case& c : {Case{0, Err::PrintFileNotOpen}, Case{1, Err::PrintFileOpenForInput}}) {
        const int channel = c.Mode == 0 ? 1 : 2;
        Fe.ErrorNumber = 0;
        GlPushStr(QStringLiteral("v"));
        GlPushNum(channel);
        ExecPrintFile();
        EXPECT_EQ(Fe.ErrorNumber, c.Error);
        EXPECT_EQ(Vs.GlTypeStack.Count, 0); // the value is not left behind
        Fe.ErrorNumber = 0;
        GlPushNum(channel);
        ExecPrintFileSeparator(PrintSepEnd);
        EXPECT_EQ(Fe.ErrorNumber, c.Error);
        Fe.ErrorNumber = 0;
        GlPushNum(5);
        GlPushStr(QStringLiteral("#"));
        GlPushNum(channel);
        ExecPrintUsingFile();
        EXPECT_EQ(Fe.ErrorNumber, c.Error);
        GlClear();
    }
    Fe.ErrorNumber = 0;
    GlPushStr(QStringLiteral("v"));
    GlPushNum(9);
    ExecPrintFile();
    EXPECT_EQ(Fe.ErrorNumber, Err::FileNumberInvalid);
    EXPECT_EQ(Ps.FileMode[1], FileModeKind::Closed);
}

TEST_F(Channels, OpenReportsItsFailuresAndChangesNothing) {
    OpenFileChannel(QStringLiteral("missing.txt"), FileModeKind::Input, 1);
    EXPECT_EQ(Fe.ErrorNumber, Err::FileNotFound);
    EXPECT_EQ(Ps.FileMode[1], FileModeKind::Closed);
    Fe.ErrorNumber = 0;
    OpenFileChannel(QStringLiteral("missing.txt"), FileModeKind::Append, 1);
    EXPECT_EQ(Fe.ErrorNumber, Err::FileNotFound);
    EXPECT_FALSE(QFile::exists(QStringLiteral("missing.txt")));
    Fe.ErrorNumber = 0;
    OpenFileChannel(QString(), FileModeKind::Output, 1);
    EXPECT_EQ(Fe.ErrorNumber, Err::EmptyFileName);
    Fe.ErrorNumber = 0;
    OpenFileChannel(QStringLiteral("nofolder\\x.txt"), FileModeKind::Output, 1);
    EXPECT_EQ(Fe.ErrorNumber, Err::PathNotFound);
    EXPECT_EQ(Ps.FileMode[1], FileModeKind::Closed);
    Fe.ErrorNumber = 0;
    Ps.FileEncoding = 12345; // no such code page
    OpenFileChannel(QStringLiteral("x.txt"), FileModeKind::Output, 1);
    EXPECT_EQ(Fe.ErrorNumber, Err::OpenFailed);
    Ps.FileEncoding = 0;
    Fe.ErrorNumber = 0;
    OpenFileChannel(QStringLiteral("x.txt"), 0, 1); // a mode word other than the three
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Ps.FileMode[1], FileModeKind::Closed);
}

TEST_F(Channels, OpenStatementChecksTheChannel) {
    // OPEN "a.txt" FOR OUTPUT AS #1 twice
    const CodeItemType name = Str(QStringLiteral("a.txt"));
    Program({Stmt(St::OPEN), name, Stmt(St::OUTPUT), Num(1), LineEnd(), Stmt(St::OPEN), name,
             Stmt(St::OUTPUT), Num(1), LineEnd()});
    RunItems();
    EXPECT_EQ(Fe.ErrorNumber, Err::ChannelAlreadyOpen);
    EXPECT_EQ(Ps.FileMode[1], FileModeKind::Output);
    Fe.ErrorNumber = 0;
    Program({Stmt(St::OPEN), name, Stmt(St::OUTPUT), Num(9), LineEnd()});
    RunItems();
    EXPECT_EQ(Fe.ErrorNumber, Err::FileNumberInvalid);
    Fe.ErrorNumber = 0;
    Program({Stmt(St::OPEN), Num(3), Stmt(St::OUTPUT), Num(2), LineEnd()});
    RunItems();
    EXPECT_EQ(Fe.ErrorNumber, Err::UnexpectedParseError);
    EXPECT_EQ(Ps.FileMode[2], FileModeKind::Closed);
}

TEST_F(Channels, CloseReportsTheLinesPrintHeldBackThatCouldNotBeWritten) {
    if (!QFileInfo(QStringLiteral("/dev/full")).exists()) GTEST_SKIP() << "no /dev/full";
    // OPEN "/dev/full" FOR OUTPUT AS #1: PRINT #1, "x": CLOSE #1 (every write to it fails)
    Program({Stmt(St::OPEN), Str(QStringLiteral("/dev/full")), Stmt(St::OUTPUT), Num(1), LineEnd(),
             Str(QStringLiteral("x")), Num(1), Stmt(InSt::PrintFileLineEnd), LineEnd(), Stmt(St::CLOSE),
             Num(1), LineEnd()});
    RunItems();
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementFailed);
    EXPECT_EQ(Fe.ErrorNameIndex, St::PRINTFile);
    EXPECT_EQ(Ps.FileMode[1], FileModeKind::Closed);
}

TEST_F(Channels, BackslashSeparatesFoldersInFileNames) {
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("sub")));
    const int name = NewStr();
    Tb.StrVarTable[static_cast<std::size_t>(name)].Value = QStringLiteral("sub\\f.txt");
    Program({Stmt(St::OPEN),
             StrVar(name),
             Stmt(St::OUTPUT),
             Num(3),
             LineEnd(),
             Str(QStringLiteral("hi")),
             Num(3),
             Stmt(InSt::PrintFileLineEnd),
             LineEnd(),
             Stmt(St::CLOSE),
             {CodeKind::SysNumConst, 1, 0},
             LineEnd()});
    RunItems();
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ReadBytes(QStringLiteral("sub/f.txt")), QByteArray("hi\r\n"));
    EXPECT_EQ(Ps.FileName[3], QStringLiteral("sub\\f.txt"));
    EXPECT_EQ(Ps.FileMode[3], FileModeKind::Closed);
}

TEST_F(Channels, CloseZeroClosesEveryChannelAndTheResetClosesThemToo) {
    OpenFileChannel(QStringLiteral("a.txt"), FileModeKind::Output, 1);
    OpenFileChannel(QStringLiteral("b.txt"), FileModeKind::Output, 8);
    CloseFileChannel(0);
    EXPECT_EQ(Ps.FileMode[1], FileModeKind::Closed);
    EXPECT_EQ(Ps.FileMode[8], FileModeKind::Closed);
    EXPECT_EQ(FileChannels[8].Writer, nullptr);
    CloseFileChannel(5); // not open: only the mode
    EXPECT_EQ(Ps.FileMode[5], FileModeKind::Closed);

    Ps.FileEncoding = CodePage::Iso2022Jp;
    OpenFileChannel(QStringLiteral("c.txt"), FileModeKind::Output, 2);
    FileChannels[2].Writer->Write(u"日");
    InitAll(); // through the hook: the writer is finished, not dropped
    EXPECT_EQ(FileChannels[2].Writer, nullptr);
    EXPECT_EQ(Ps.FileMode[2], FileModeKind::Closed);
    EXPECT_TRUE(ReadBytes(QStringLiteral("c.txt")).endsWith("\x1B(B"));

    Program({Stmt(St::CLOSE), Num(9), LineEnd()});
    RunItems();
    EXPECT_EQ(Fe.ErrorNumber, Err::FileNumberInvalid);
}

// ---- INPUT# and LINE INPUT# ------------------------------------------------------------------------------

TEST_F(Channels, InputFileStoresFieldsInTargets) {
    // INPUT #1, N, S$   LINE INPUT #1, L$
    ASSERT_NO_FATAL_FAILURE(OpenWith("  42 ,\"hello, world\"\r\nthe whole line, with commas\r\n"));
    const int n = NewNum();
    const int s = NewStr();
    const int l = NewStr();
    const CodeItemType one = Num(1);
    Program({Stmt(St::INPUTFile), one, NumVar(n), Colon(), Stmt(St::INPUTFile), one, StrVar(s), Colon(),
             LineEnd(), Stmt(St::LINEINPUTFile), one, PubStr(), Colon(), PubStr(), Stmt(St::LET), StrVar(l),
             LineEnd(), Colon()});
    RunItems();
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(n)].Value, 42);
    EXPECT_EQ(Tb.StrVarTable[static_cast<std::size_t>(s)].Value, QStringLiteral("hello, world"));
    EXPECT_EQ(Tb.StrVarTable[static_cast<std::size_t>(l)].Value,
              QStringLiteral("the whole line, with commas"));
}

TEST_F(Channels, LineInputAfterAPushbackStartsWithThatCharacter) {
    ASSERT_NO_FATAL_FAILURE(OpenWith("12 xyz\r\nend"));
    const int n = NewNum();
    const int l = NewStr();
    const CodeItemType one = Num(1);
    Program({Stmt(St::INPUTFile), one, NumVar(n), Colon(), LineEnd(), Stmt(St::LINEINPUTFile), one, StrVar(l),
             LineEnd()});
    RunItems();
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Tb.NumVarTable[static_cast<std::size_t>(n)].Value, 12);
    EXPECT_EQ(Tb.StrVarTable[static_cast<std::size_t>(l)].Value, QStringLiteral("xyz"));
}

TEST_F(Channels, AtTheEndOfTheFileAPendingCharacterIsStillDataToEveryReader) {
    ASSERT_NO_FATAL_FAILURE(
        OpenWith("\"a\"b")); // the b after the closing quote is held back, and the reader is at its end
    const int s = NewStr();
    const int t = NewStr();
    const CodeItemType one = Num(1);
    Program({Stmt(St::INPUTFile), one, StrVar(s), Colon(), Stmt(St::INPUTFile), one, StrVar(t), Colon(),
             Stmt(St::INPUTFile), one, StrVar(s), Colon()});
    RunItems();
    EXPECT_EQ(Tb.StrVarTable[static_cast<std::size_t>(s)].Value, QStringLiteral("a"));
    EXPECT_EQ(Tb.StrVarTable[static_cast<std::size_t>(t)].Value, QStringLiteral("b"));
    EXPECT_EQ(Fe.ErrorNumber, Err::InputFileAtEnd);
    Fe.ErrorNumber = 0;
    CloseFileChannel(1);
    ASSERT_NO_FATAL_FAILURE(OpenWith("\"a\"b"));
    Program({Stmt(St::INPUTFile), one, StrVar(s), Colon(), Stmt(St::LINEINPUTFile), one, StrVar(t), LineEnd(),
             Stmt(St::LINEINPUTFile), one, StrVar(s)});
    RunItems();
    EXPECT_EQ(Tb.StrVarTable[static_cast<std::size_t>(t)].Value, QStringLiteral("b"));
    EXPECT_EQ(Fe.ErrorNumber, Err::LineInputFileAtEnd);
}

TEST_F(Channels, AStopEndsTheReadingOfAHugeLineFieldOrCountOfCharacters) {
    // Each is far longer than one piece of reading; with a stop requested, none reads on to its end.
    const QByteArray huge(4 * ReadCheckChars, 'x');
    const auto reads = {
        +[] {
            QString line;
            FileChannels[1].Reader->ReadLine(line);
            return line.size();
        },
        +[] { return ReadFileItem(1, ReadItemMode::String).size(); },
        +[] {
            QString text;
            FileChannels[1].Reader->AppendChars(text, 3 * ReadCheckChars);
            return text.size();
        },
    };
    for (qsizetype (*read)() : reads) {
        ASSERT_NO_FATAL_FAILURE(OpenWith(huge + "\r\n"));
        Rc.StopRequest = 1;
        EXPECT_LT(read(), 2 * ReadCheckChars);
        Rc.StopRequest = 0;
        EXPECT_EQ(Fe.ErrorNumber, 0); // a stop is no error
        CloseFileChannel(1);
    }
}

TEST_F(Channels, ReadingStatementsCheckTheChannelMode) {
    struct Case {
        int Mode;
        int InputError;
        int LineInputError;
    };
    const int s = NewStr();
    const CodeItemType one = Num(1);
    for (const Case& c : {Case{FileModeKind::Closed, Err::InputFileNotOpen, Err::LineInputFileNotOpen},
                          Case{FileModeKind::Output, Err::InputFileForOutput, Err::LineInputFileForOutput},
                          Case{FileModeKind::Append, Err::InputFileForAppend, Err::LineInputFileForAppend}}) {
        CloseFileChannel(1);
        Fe.ErrorNumber = 0;
        ASSERT_TRUE(WriteBytes(QStringLiteral("m.txt"), "x\r\n"));
        if (c.Mode != FileModeKind::Closed) OpenFileChannel(QStringLiteral("m.txt"), c.Mode, 1);
        Fe.ErrorNumber = 0;
        Program({Stmt(St::INPUTFile), one, StrVar(s), Colon()});
        RunItems();
        EXPECT_EQ(Fe.ErrorNumber, c.InputError);
        Fe.ErrorNumber = 0;
        Program({Stmt(St::LINEINPUTFile), one, StrVar(s), LineEnd()});
        RunItems();
        EXPECT_EQ(Fe.ErrorNumber, c.LineInputError);
    }
    Fe.ErrorNumber = 0;
    Program({Stmt(St::INPUTFile), Num(0), StrVar(s), Colon()});
    RunItems();
    EXPECT_EQ(Fe.ErrorNumber, Err::InputFileChannel);
}

// ---- SETENCODING, FILES, number texts ---------------------------------------------------------------------

TEST_F(Channels, SetEncodingTakesNumbersAndNames) {
    GlPushNum(932.4L);
    ExecSetEncoding();
    EXPECT_EQ(Ps.FileEncoding, 932);
    struct Case {
        const char16_t* Name;
        int CodePage;
    };
    for (const Case& c :
         {Case{u"utf-8", 65001}, Case{u"Shift_JIS", 932}, Case{u"UnicodeFFFE", 1201}, Case{u"utf-16", 1200},
          Case{u"euc-jp", 20932}, Case{u"ISO-2022-JP", 50220}, Case{u"auto", -1}, Case{u"latin1", 0}}) {
        GlPushStr(QString::fromUtf16(c.Name));
        ExecSetEncoding();
        EXPECT_EQ(Ps.FileEncoding, c.CodePage) << QString::fromUtf16(c.Name).toStdString();
    }
    EXPECT_EQ(Fe.ErrorNumber, 0);
    GlPushBool(true);
    ExecSetEncoding();
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::SETENCODING);
}

TEST_F(Channels, ChosenEncodingIsUsedForWriting) {
    GlPushStr(QStringLiteral("EUC-JP"));
    ExecSetEncoding();
    OpenFileChannel(QStringLiteral("e.txt"), FileModeKind::Output, 1);
    FileChannels[1].Writer->WriteLine(u"漢字");
    CloseFileChannel(1);
    EXPECT_EQ(ReadBytes(QStringLiteral("e.txt")), QByteArray("\xB4\xC1\xBB\xFA\r\n"));
}

TEST_F(Channels, FilesLinesAndPatterns) {
    EXPECT_EQ(FilesEntryLine(QStringLiteral("a.txt"), false, 1234), QStringLiteral("          1234 a.txt"));
    EXPECT_EQ(FilesEntryLine(QStringLiteral("d"), true, 0), QStringLiteral("<DIR>          d"));
    EXPECT_TRUE(MatchFilePattern(QStringLiteral("*.*"), QStringLiteral("noextension")));
    EXPECT_TRUE(MatchFilePattern(QStringLiteral("*.TXT"), QStringLiteral("a.txt")));
    EXPECT_TRUE(MatchFilePattern(QStringLiteral("a?c.*"), QStringLiteral("abc.bas")));
    EXPECT_FALSE(MatchFilePattern(QStringLiteral("*.txt"), QStringLiteral("a.txt.bak")));
    EXPECT_FALSE(MatchFilePattern(QStringLiteral("a?c"), QStringLiteral("ac")));
}

TEST_F(Channels, FilesListsTheFolderThroughTheLineWriter) {
    ASSERT_TRUE(WriteBytes(QStringLiteral("data.txt"), QByteArray(1234, 'x')));
    ASSERT_TRUE(WriteBytes(QStringLiteral("other.bas"), "1"));
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("dir")));
    Program({Stmt(St::FILES),
             Str(QStringLiteral("*.txt")),
             LineEnd(),
             Stmt(St::FILES),
             {CodeKind::SysStrConst, 1, 0},
             LineEnd()});
    RunItems();
    ASSERT_EQ(Fe.ErrorNumber, 0);
    QStringList lines;
    for (RunWindowEvent& event : RunWindowQueue::Instance().TakeAll())
        lines << event.Text;
    const QString heading = QStringLiteral("現在のパスは ") + QDir::currentPath();
    EXPECT_EQ(lines,
              (QStringList{heading, QStringLiteral("          1234 data.txt"), heading,
                           QStringLiteral("<DIR>          ."), QStringLiteral("<DIR>          .."),
                           QStringLiteral("          1234 data.txt"), QStringLiteral("<DIR>          dir"),
                           QStringLiteral("             1 other.bas")}));
}

TEST(TextToReal, AcceptsNumbersAndRefusesEverythingElse) {
    struct Case {
        const char16_t* Text;
        bool Ok;
        Extended Value;
    };
    for (const Case& c :
         {Case{u"12", true, 12}, Case{u" 12", true, 12}, Case{u"-1.5e3", true, -1500},
          Case{u".5", true, 0.5L}, Case{u"5.", true, 5}, Case{u"+3", true, 3}, Case{u"1E+2", true, 100},
          Case{u"12 ", false, 0}, Case{u"1e", false, 0}, Case{u"abc", false, 0}, Case{u"", false, 0},
          Case{u"1,2", false, 0}, Case{u".", false, 0}, Case{u"1e99999", false, 0}, Case{u"--1", false, 0}}) {
        Extended value = -7;
        EXPECT_EQ(TextToReal(QStringView(c.Text), value), c.Ok) << QString::fromUtf16(c.Text).toStdString();
        if (c.Ok) {
            EXPECT_EQ(value, c.Value) << QString::fromUtf16(c.Text).toStdString();
        }
    }
}

} // namespace
