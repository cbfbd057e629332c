// The functions and statements that reach outside the interpreter, called as the run loop calls them:
// the clock through a fixed injected time, the key functions through the shared key state, the file
// functions in a private temporary folder, the whole-file statements with their array item after the
// statement, and the errors each leaves.
#include "engine/dispatch.h"
#include "engine/enginestate.h"
#include "engine/sysfunctions.h"

#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/filechannels.h"
#include "engine/printline.h"
#include "engine/runwindowqueue.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <future>
#include <thread>
#include <variant>

#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using namespace Qt::Literals::StringLiterals;
using Arg = std::variant<Extended, QString>;

QDateTime FixedNow;
QDateTime FixedClock() {
    return FixedNow;
}

constexpr int InputKeysCount = FunctionFormStep + Fn::INPUTStr;
constexpr int InputFromChannel = 2 * FunctionFormStep + Fn::INPUTStr;
constexpr int ReadAllTextWithCodePage = FunctionFormStep + Fn::READALLTEXT;
constexpr int ReadAllLines = InSt::ReadAllLinesStatement;
constexpr int ReadAllLinesWithCodePage = ArgumentFormStep + InSt::ReadAllLinesStatement;
constexpr int WriteAllTextWithCodePage = ArgumentFormStep + St::WRITEALLTEXT;

class SysFunctions : public ::testing::Test {
protected:
    void SetUp() override {
        InitGlStack();
        ResetNumTbl();
        ResetStrTbl();
        ResetBoolTbl();
        InitCode();
        CloseAllFileChannels();
        CloseFileSearch();
        RunWindowQueue::Instance().Reset();
        Eng.PrintLine.clear();
        Fe.ErrorNumber = 0;
        Fe.ErrorNameIndex = 0;
        Ps.FileEncoding = 0;
        Rc.StopRequest = 0;
        Rc.KeyBuffer = 0;
        Rc.LastKeyCode = 0;
        FixedNow = QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9, 45));
        SystemClockNow = &FixedClock;
    }
    void TearDown() override {
        CloseAllFileChannels();
        SystemClockNow = &CurrentLocalTime;
        Rc.StopRequest = 0;
    }

    static void Push(const Arg& a) {
        if (const auto* x = std::get_if<Extended>(&a))
            GlPushNum(*x);
        else
            GlPushStr(std::get<QString>(a));
    }
    static void Call(int code, std::initializer_list<Arg> args = {}) {
        for (const Arg& a : args)
            Push(a);
        ExecuteFunction(code);
    }
    // Runs a statement whose next code item is `next` (the array of the whole-file statements).
    static void Statement(int code, std::initializer_list<Arg> args, CodeItemType next = {}) {
        for (const Arg& a : args)
            Push(a);
        SetCodeItem(ProgramCodeStart, next);
        SetCodeItem(ProgramCodeStart + 1, {CodeKind::End, 0, 0});
        Ib.CodeLimit = ProgramCodeStart + 1;
        Ib.CodeIndex = ProgramCodeStart;
        ExecuteStatement(code);
    }

    static QString PopS() {
        EXPECT_EQ(GlTopType(), GlValueType::String);
        QString s;
        GlPopStr(s);
        return s;
    }
    static Extended PopN() {
        EXPECT_EQ(GlTopType(), GlValueType::Number);
        return GlPopNum();
    }
    static bool PopB() {
        EXPECT_EQ(GlTopType(), GlValueType::Boolean);
        return GlPopBool();
    }
    // The call succeeds and leaves exactly one result.
    void CallForOneResult(int code, std::initializer_list<Arg> args) {
        Call(code, args);
        EXPECT_EQ(Fe.ErrorNumber, 0);
        EXPECT_EQ(ValueStackCount, 1);
    }
    QString StrCall(int code, std::initializer_list<Arg> args = {}) {
        CallForOneResult(code, args);
        return PopS();
    }
    Extended NumCall(int code, std::initializer_list<Arg> args = {}) {
        CallForOneResult(code, args);
        return PopN();
    }
    bool BoolCall(int code, std::initializer_list<Arg> args = {}) {
        CallForOneResult(code, args);
        return PopB();
    }
    // The call fails with `error` naming `name`, pushing nothing.
    void ExpectError(int code, std::initializer_list<Arg> args, int error, int name = 0) {
        const int before = ValueStackCount;
        Call(code, args);
        EXPECT_EQ(Fe.ErrorNumber, error) << code;
        if (name != 0) {
            EXPECT_EQ(Fe.ErrorNameIndex, name) << code;
        }
        EXPECT_LE(ValueStackCount, before + static_cast<int>(args.size())) << "nothing pushed";
        Fe.ErrorNumber = 0;
        Fe.ErrorNameIndex = 0;
        GlClear();
    }

    // A string array of one dimension with elements 0 to `bound` (or a second dimension of 2).
    static int NewStrArray(int bound, int dims = 1) {
        StrVarType record;
        record.Kind = StrVarKind::Array;
        record.DimCount = static_cast<std::uint8_t>(dims);
        record.Bounds[1] = bound;
        if (dims == 2) record.Bounds[2] = 1;
        record.Base = static_cast<std::int32_t>(Tb.AStrVarTable.size());
        Tb.AStrVarTable.resize(Tb.AStrVarTable.size() + static_cast<std::size_t>((bound + 1) * dims));
        Tb.StrVarTable.push_back(record);
        return static_cast<int>(Tb.StrVarTable.size()) - 1;
    }
    static QString& Element(int array, int i) {
        return Tb
            .AStrVarTable[static_cast<std::size_t>(Tb.StrVarTable[static_cast<std::size_t>(array)].Base + i)];
    }
    static CodeItemType ArrayItem(int array) { return {CodeKind::StrArray, array, 0}; }

    QString Path(const QString& name) const { return folder_.FilePath(name); }

    TemporaryCurrentFolder folder_;
};

// ---- clock and calendar -------------------------------------------------------------------------

TEST_F(SysFunctions, DateAndTimeTextsUsePlainDigitsWhateverTheLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt)); // a locale with digits of its own
    EXPECT_EQ(StrCall(Fn::DATEStr), u"2024/03/05");
    EXPECT_EQ(StrCall(Fn::TIMEStr), u"07:08:09");
    FixedNow = QDateTime(QDate(987, 12, 31), QTime(23, 59, 59, 999));
    EXPECT_EQ(StrCall(Fn::DATEStr), u"0987/12/31");
    EXPECT_EQ(StrCall(Fn::TIMEStr), u"23:59:59");
    QLocale::setDefault(saved);
}

TEST_F(SysFunctions, ClockPartsAndTimer) {
    EXPECT_EQ(NumCall(Fn::GETHOUR), 7);
    EXPECT_EQ(NumCall(Fn::GETMINUTE), 8);
    EXPECT_EQ(NumCall(Fn::GETSECOND), 9);
    EXPECT_EQ(NumCall(Fn::GETMSECOND), 45);
    EXPECT_NEAR(static_cast<double>(NumCall(Fn::TIMER)), 7 * 3600 + 8 * 60 + 9.045, 1e-9);
    FixedNow = QDateTime(QDate(2024, 3, 5), QTime(0, 0));
    EXPECT_EQ(NumCall(Fn::TIMER), 0);
}

TEST_F(SysFunctions, YearTimerCountsFromTheStartOfTheCurrentYear) {
    // 5 March of a leap year: 31 + 29 + 4 whole days have passed.
    const Extended timer = 7 * 3600 + 8 * 60 + 9.045L;
    EXPECT_NEAR(static_cast<double>(NumCall(Fn::YEARTIMER)), 64 * 86400 + static_cast<double>(timer), 1e-6);
    FixedNow = QDateTime(QDate(2023, 3, 5), QTime(7, 8, 9, 45));
    EXPECT_NEAR(static_cast<double>(NumCall(Fn::YEARTIMER)), 63 * 86400 + static_cast<double>(timer), 1e-6);
    FixedNow = QDateTime(QDate(2023, 1, 1), QTime(0, 0, 1));
    EXPECT_EQ(NumCall(Fn::YEARTIMER), 1);
    FixedNow = QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59, 999));
    EXPECT_NEAR(static_cast<double>(NumCall(Fn::YEARTIMER)), 365 * 86400 - 0.001, 1e-6);
}

TEST_F(SysFunctions, DayOfWeekReadsYearMonthDay) {
    EXPECT_EQ(NumCall(Fn::DAYOFWEEK, {u"2024/03/05"_s}), 3); // Tuesday
    EXPECT_EQ(NumCall(Fn::DAYOFWEEK, {u"2024/3/3"_s}), 1);   // Sunday
    EXPECT_EQ(NumCall(Fn::DAYOFWEEK, {u"2024/03/09"_s}), 7); // Saturday
    EXPECT_EQ(NumCall(Fn::DAYOFWEEK, {u" 2024 / 3 / 5 "_s}), 3);
    EXPECT_EQ(NumCall(Fn::DAYOFWEEK, {u"3/5"_s}), 3);      // month and day of this year (2024)
    EXPECT_EQ(NumCall(Fn::DAYOFWEEK, {u"24/3/5"_s}), 3);   // two-digit year near today
    EXPECT_EQ(NumCall(Fn::DAYOFWEEK, {u"99/12/31"_s}), 6); // 1999, not 2099
    EXPECT_EQ(NumCall(Fn::DAYOFWEEK, {u"1900/1/1"_s}), 2);
}

TEST_F(SysFunctions, DayOfWeekRefusesWhatIsNoDate) {
    for (const char16_t* text : {u"2023/02/29", u"2024/13/01", u"2024/00/10", u"abc", u"",
                                 u"2024/03/05 10:00", u"2024-03-05", u"5", u"2024/3/5/1", u"12345/1/1"})
        ExpectError(Fn::DAYOFWEEK, {QString::fromUtf16(text)}, Err::FunctionFailed, Fn::DAYOFWEEK);
    ExpectError(Fn::DAYOFWEEK, {Extended(20240305)}, Err::FunctionArgType, Fn::DAYOFWEEK);
}

TEST_F(SysFunctions, IsLeapYear) {
    EXPECT_TRUE(BoolCall(Fn::ISLEAPYEAR, {Extended(2000)}));
    EXPECT_FALSE(BoolCall(Fn::ISLEAPYEAR, {Extended(1900)}));
    EXPECT_TRUE(BoolCall(Fn::ISLEAPYEAR, {Extended(2024)}));
    EXPECT_FALSE(BoolCall(Fn::ISLEAPYEAR, {Extended(2023)}));
    EXPECT_TRUE(BoolCall(Fn::ISLEAPYEAR, {-2024.7L})); // trunc(abs(y))
    EXPECT_TRUE(BoolCall(Fn::ISLEAPYEAR, {Extended(4000000)}));
    EXPECT_FALSE(BoolCall(Fn::ISLEAPYEAR, {Extended(4000100)}));
    ExpectError(Fn::ISLEAPYEAR, {1e30L}, Err::FunctionFailed, Fn::ISLEAPYEAR);
    ExpectError(Fn::ISLEAPYEAR, {Extended(NAN)}, Err::FunctionFailed, Fn::ISLEAPYEAR);
    ExpectError(Fn::ISLEAPYEAR, {u"2000"_s}, Err::FunctionArgType, Fn::ISLEAPYEAR);
}

// ---- keys ---------------------------------------------------------------------------------------

TEST_F(SysFunctions, InkeyTakesTheLastKeyOnce) {
    Rc.LastKeyCode = 65;
    EXPECT_EQ(StrCall(Fn::INKEYStr), u"A");
    EXPECT_EQ(StrCall(Fn::INKEYStr), u"");
    EXPECT_EQ(Rc.LastKeyCode.load(), 0);
}

TEST_F(SysFunctions, InkeyMapsKeyCodes) {
    EXPECT_EQ(InkeyText(8), QString(QChar(7))); // Backspace: not 8
    EXPECT_EQ(InkeyText(9), QString(QChar(8))); // Tab: not 9
    EXPECT_EQ(InkeyText(13), u"\r");
    EXPECT_EQ(InkeyText(27), QString(QChar(27)));
    EXPECT_EQ(InkeyText(32), u" ");
    EXPECT_EQ(InkeyText(37), QString(QChar(0x1D)));
    EXPECT_EQ(InkeyText(38), QString(QChar(0x1E)));
    EXPECT_EQ(InkeyText(39), QString(QChar(0x1C)));
    EXPECT_EQ(InkeyText(40), QString(QChar(0x1F)));
    EXPECT_EQ(InkeyText(48), u"0");
    EXPECT_EQ(InkeyText(57), u"9");
    EXPECT_EQ(InkeyText(90), u"Z");
    EXPECT_EQ(InkeyText(96), u"0");
    EXPECT_EQ(InkeyText(105), u"9");
    EXPECT_EQ(InkeyText(106), u"*");
    EXPECT_EQ(InkeyText(107), u"+");
    EXPECT_EQ(InkeyText(109), u"-");
    EXPECT_EQ(InkeyText(110), u".");
    EXPECT_EQ(InkeyText(111), u"/");
    for (const int none : {0, 1, 16, 47, 58, 64, 91, 97 + 11, 112, 186, 65535})
        EXPECT_EQ(InkeyText(none), u"") << none;
}

TEST_F(SysFunctions, InputKeyTakesTheTypedCharacterAfterShowingThePendingLine) {
    Eng.PrintLine = u"Press a key"_s;
    Rc.KeyBuffer = u'x';
    EXPECT_EQ(StrCall(Fn::INPUTStr), u"x");
    EXPECT_EQ(Rc.KeyBuffer.load(), 0);
    EXPECT_TRUE(Eng.PrintLine.isEmpty());
    const std::deque<RunWindowEvent> events = RunWindowQueue::Instance().TakeAll();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].Op, RunWindowOp::AppendEchoLine);
    EXPECT_EQ(events[0].Text, u"Press a key");
}

TEST_F(SysFunctions, InputKeysWaitsForEachCharacter) {
    std::atomic<bool> done = false;
    std::thread typist([&] {
        for (const char16_t c : {u'a', u'b', u'c'}) {
            // Each key waits until the previous one has been taken, as a person types slower than the poll.
            while (Rc.KeyBuffer.load() != 0 && !done)
                std::this_thread::sleep_for(1ms);
            Rc.KeyBuffer = c;
        }
    });
    EXPECT_EQ(StrCall(InputKeysCount, {3.9L}), u"abc"); // trunc(3.9) characters
    done = true;
    typist.join();
    EXPECT_EQ(StrCall(InputKeysCount, {Extended(0)}), u"");
    EXPECT_EQ(StrCall(InputKeysCount, {Extended(-5)}), u"");
    ExpectError(InputKeysCount, {u"3"_s}, Err::FunctionArgType, Fn::INPUTStr);
    ExpectError(InputKeysCount, {Extended(NAN)}, Err::FunctionFailed, Fn::INPUTStr);
}

TEST_F(SysFunctions, InputKeyWaitEndsOnAStopRequest) {
    Rc.KeyBuffer = u'q';
    auto waiting = std::async(std::launch::async, [] {
        GlPushNum(3);
        ExecuteFunction(InputKeysCount);
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(waiting.wait_for(0ms), std::future_status::timeout) << "still waiting for two more keys";
    Rc.StopRequest = 1;
    if (waiting.wait_for(5s) != std::future_status::ready) {
        // Release the wait with keys, so that a failure is reported instead of a hang.
        while (waiting.wait_for(10ms) != std::future_status::ready)
            Rc.KeyBuffer = u'k';
        FAIL() << "the key wait did not end on the stop request";
    }
    // What was typed is pushed, so the stack keeps its shape for the stopped run.
    EXPECT_EQ(ValueStackCount, 1);
    EXPECT_EQ(PopS(), u"q");
}

// ---- INPUT$ of a channel and EOF ----------------------------------------------------------------

TEST_F(SysFunctions, InputFromChannelReadsCharactersAcrossLines) {
    ASSERT_TRUE(WriteBytes(Path("data.txt"), "hello\r\nworld"));
    OpenFileChannel(u"data.txt"_s, FileModeKind::Input, 6);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(StrCall(InputFromChannel, {Extended(5), Extended(6)}), u"hello");
    EXPECT_EQ(StrCall(InputFromChannel, {Extended(4), 6.7L}), u"\r\nwo");
    EXPECT_EQ(StrCall(InputFromChannel, {Extended(100), Extended(6)}), u"rld"); // stops at the end
    ExpectError(InputFromChannel, {Extended(1), Extended(6)}, Err::InputFileAtEnd);
}

TEST_F(SysFunctions, InputFromChannelTakesTheCharacterReadAhead) {
    ASSERT_TRUE(WriteBytes(Path("data.txt"), "bcdef"));
    OpenFileChannel(u"data.txt"_s, FileModeKind::Input, 2);
    FileChannels[2].Pushback = u'a';
    FileChannels[2].PushbackPending = true;
    EXPECT_EQ(StrCall(InputFromChannel, {Extended(3), Extended(2)}), u"abc");
    EXPECT_FALSE(FileChannels[2].PushbackPending);
    // At the end of the stream a pending character is still there to read.
    EXPECT_EQ(StrCall(InputFromChannel, {Extended(3), Extended(2)}), u"def");
    FileChannels[2].Pushback = u'z';
    FileChannels[2].PushbackPending = true;
    EXPECT_EQ(StrCall(InputFromChannel, {Extended(3), Extended(2)}), u"z");
}

TEST_F(SysFunctions, InputFromChannelErrors) {
    ASSERT_TRUE(WriteBytes(Path("data.txt"), "abc"));
    OpenFileChannel(u"out.txt"_s, FileModeKind::Output, 1);
    OpenFileChannel(u"data.txt"_s, FileModeKind::Append, 3);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    ExpectError(InputFromChannel, {Extended(5), Extended(1)}, Err::InputFileForOutput);
    ExpectError(InputFromChannel, {Extended(5), Extended(3)}, Err::InputFileForAppend);
    ExpectError(InputFromChannel, {Extended(5), Extended(4)}, Err::InputFileNotOpen);
    ExpectError(InputFromChannel, {Extended(5), Extended(9)}, Err::InputFileChannel);
    ExpectError(InputFromChannel, {Extended(5), Extended(0)}, Err::InputFileChannel);
    ExpectError(InputFromChannel, {Extended(5), 1e300L}, Err::InputFileChannel);
    ExpectError(InputFromChannel, {u"5"_s, Extended(1)}, Err::FunctionArgType, Fn::INPUTStr);
}

TEST_F(SysFunctions, EofOfAnInputChannel) {
    ASSERT_TRUE(WriteBytes(Path("data.txt"), "ab"));
    OpenFileChannel(u"data.txt"_s, FileModeKind::Input, 8);
    EXPECT_FALSE(BoolCall(Fn::Eof, {Extended(8)}));
    EXPECT_EQ(StrCall(InputFromChannel, {Extended(2), Extended(8)}), u"ab");
    EXPECT_TRUE(BoolCall(Fn::Eof, {8.9L}));
    // A character INPUT# read ahead has not been given to the program yet.
    FileChannels[8].Pushback = u'b';
    FileChannels[8].PushbackPending = true;
    EXPECT_FALSE(BoolCall(Fn::Eof, {Extended(8)}));
}

TEST_F(SysFunctions, EofErrors) {
    OpenFileChannel(u"out.txt"_s, FileModeKind::Output, 1);
    ExpectError(Fn::Eof, {Extended(9)}, Err::EofSyntax);
    ExpectError(Fn::Eof, {Extended(-1)}, Err::EofSyntax);
    ExpectError(Fn::Eof, {Extended(NAN)}, Err::EofSyntax);
    ExpectError(Fn::Eof, {Extended(1)}, Err::EofNotInput);
    ExpectError(Fn::Eof, {Extended(2)}, Err::EofNotInput);
    ExpectError(Fn::Eof, {u"1"_s}, Err::FunctionArgType, Fn::Eof);
}

// ---- files and folders --------------------------------------------------------------------------

TEST_F(SysFunctions, ExistenceTests) {
    ASSERT_TRUE(WriteBytes(Path("file.txt"), "x"));
    ASSERT_TRUE(QDir(folder_.Path()).mkdir("sub"));
    ASSERT_TRUE(WriteBytes(Path("sub/inner.txt"), "y"));
    EXPECT_TRUE(BoolCall(Fn::FILEEXISTS, {u"file.txt"_s}));
    EXPECT_TRUE(BoolCall(Fn::FILEEXISTS, {u"sub\\inner.txt"_s})); // "\" separates folders
    EXPECT_TRUE(BoolCall(Fn::FILEEXISTS, {Path("file.txt")}));
    EXPECT_FALSE(BoolCall(Fn::FILEEXISTS, {u"sub"_s})); // a folder is no file
    EXPECT_FALSE(BoolCall(Fn::FILEEXISTS, {u"missing.txt"_s}));
    EXPECT_FALSE(BoolCall(Fn::FILEEXISTS, {u""_s}));
    EXPECT_TRUE(BoolCall(Fn::DIRECTORYEXISTS, {u"sub"_s}));
    EXPECT_FALSE(BoolCall(Fn::DIRECTORYEXISTS, {u"file.txt"_s}));
    EXPECT_FALSE(BoolCall(Fn::DIRECTORYEXISTS, {u"nothing"_s}));
    ExpectError(Fn::FILEEXISTS, {Extended(1)}, Err::FunctionArgType, Fn::FILEEXISTS);
    ExpectError(Fn::DIRECTORYEXISTS, {Extended(1)}, Err::FunctionArgType, Fn::DIRECTORYEXISTS);
}

TEST_F(SysFunctions, CreateAndRemoveFolders) {
    EXPECT_TRUE(BoolCall(Fn::CREATEDIR, {u"new"_s}));
    EXPECT_TRUE(QFileInfo(Path("new")).isDir());
    EXPECT_FALSE(BoolCall(Fn::CREATEDIR, {u"new"_s}));     // exists already
    EXPECT_FALSE(BoolCall(Fn::CREATEDIR, {u"a\\b\\c"_s})); // one level at a time
    EXPECT_TRUE(BoolCall(Fn::CREATEDIR, {u"new\\inner"_s}));
    EXPECT_FALSE(BoolCall(Fn::REMOVEDIR, {u"new"_s})); // not empty
    EXPECT_TRUE(QFileInfo(Path("new/inner")).isDir());
    EXPECT_TRUE(BoolCall(Fn::REMOVEDIR, {u"new/inner"_s}));
    EXPECT_TRUE(BoolCall(Fn::REMOVEDIR, {u"new"_s}));
    EXPECT_FALSE(QFileInfo(Path("new")).exists());
    ASSERT_TRUE(WriteBytes(Path("file.txt"), "x"));
    EXPECT_FALSE(BoolCall(Fn::REMOVEDIR, {u"file.txt"_s})); // a file is no folder
    EXPECT_TRUE(QFileInfo(Path("file.txt")).exists());
    ExpectError(Fn::CREATEDIR, {Extended(1)}, Err::FunctionArgType, Fn::CREATEDIR);
    ExpectError(Fn::REMOVEDIR, {Extended(1)}, Err::FunctionArgType, Fn::REMOVEDIR);
}

TEST_F(SysFunctions, DeleteFileDeletesFilesOnly) {
    ASSERT_TRUE(WriteBytes(Path("file.txt"), "x"));
    ASSERT_TRUE(QDir(folder_.Path()).mkdir("empty"));
    EXPECT_FALSE(BoolCall(Fn::DELETEFILE, {u"empty"_s}));
    EXPECT_TRUE(QFileInfo(Path("empty")).isDir());
    EXPECT_TRUE(BoolCall(Fn::DELETEFILE, {u"file.txt"_s}));
    EXPECT_FALSE(QFileInfo(Path("file.txt")).exists());
    EXPECT_FALSE(BoolCall(Fn::DELETEFILE, {u"file.txt"_s}));
    ExpectError(Fn::DELETEFILE, {Extended(1)}, Err::FunctionArgType, Fn::DELETEFILE);
}

TEST_F(SysFunctions, RenameFileNeverReplacesATarget) {
    ASSERT_TRUE(WriteBytes(Path("a.txt"), "A"));
    ASSERT_TRUE(WriteBytes(Path("b.txt"), "B"));
    ASSERT_TRUE(QDir(folder_.Path()).mkdir("sub"));
    EXPECT_FALSE(BoolCall(Fn::RENAMEFILE, {u"a.txt"_s, u"b.txt"_s}));
    EXPECT_EQ(ReadBytes(Path("a.txt")), "A");
    EXPECT_EQ(ReadBytes(Path("b.txt")), "B");
    EXPECT_TRUE(BoolCall(Fn::RENAMEFILE, {u"a.txt"_s, u"sub\\c.txt"_s})); // moves between folders
    EXPECT_FALSE(QFileInfo(Path("a.txt")).exists());
    EXPECT_EQ(ReadBytes(Path("sub/c.txt")), "A");
    EXPECT_TRUE(BoolCall(Fn::RENAMEFILE, {u"sub"_s, u"folder"_s})); // folders too
    EXPECT_TRUE(QFileInfo(Path("folder/c.txt")).exists());
    EXPECT_FALSE(BoolCall(Fn::RENAMEFILE, {u"missing"_s, u"x"_s}));
    ExpectError(Fn::RENAMEFILE, {u"a"_s, Extended(1)}, Err::FunctionArgType, Fn::RENAMEFILE);
    ExpectError(Fn::RENAMEFILE, {Extended(1), u"a"_s}, Err::FunctionArgType, Fn::RENAMEFILE);
}

TEST_F(SysFunctions, CurrentAndProgramFolder) {
    ASSERT_TRUE(QDir(folder_.Path()).mkdir("sub"));
    EXPECT_EQ(QFileInfo(StrCall(Fn::GETCURRENTDIR)).canonicalFilePath(),
              QFileInfo(folder_.Path()).canonicalFilePath());
    EXPECT_TRUE(BoolCall(Fn::SETCURRENTDIR, {u"sub"_s}));
    EXPECT_EQ(QFileInfo(StrCall(Fn::GETCURRENTDIR)).canonicalFilePath(),
              QFileInfo(Path("sub")).canonicalFilePath());
    EXPECT_FALSE(BoolCall(Fn::SETCURRENTDIR, {u"nowhere"_s}));
    EXPECT_FALSE(BoolCall(Fn::SETCURRENTDIR, {u""_s}));
    EXPECT_EQ(QFileInfo(QDir::currentPath()).canonicalFilePath(), QFileInfo(Path("sub")).canonicalFilePath());
    ExpectError(Fn::SETCURRENTDIR, {Extended(1)}, Err::FunctionArgType, Fn::SETCURRENTDIR);
    Fe.ProgramFolder = u"/some/where"_s;
    EXPECT_EQ(StrCall(Fn::GETPROGRAMDIR), u"/some/where");
}

TEST_F(SysFunctions, FileLength) {
    ASSERT_TRUE(WriteBytes(Path("five.bin"), "12345"));
    ASSERT_TRUE(WriteBytes(Path("empty.bin"), ""));
    EXPECT_EQ(NumCall(Fn::FILELEN, {u"five.bin"_s}), 5);
    EXPECT_EQ(NumCall(Fn::FILELEN, {u"empty.bin"_s}), 0);
    ExpectError(Fn::FILELEN, {u"missing.bin"_s}, Err::TargetFileNotFound);
    ExpectError(Fn::FILELEN, {u"."_s}, Err::TargetFileNotFound);
    ExpectError(Fn::FILELEN, {Extended(1)}, Err::FunctionArgType, Fn::FILELEN);
    if (geteuid() != 0) { // root reads anything
        QFile::setPermissions(Path("five.bin"), QFileDevice::WriteOwner);
        ExpectError(Fn::FILELEN, {u"five.bin"_s}, Err::FunctionFailed, Fn::FILELEN);
    }
}

TEST_F(SysFunctions, FileDateTimeOfTheLastWrite) {
    ASSERT_TRUE(WriteBytes(Path("f.txt"), "x"));
    {
        QFile file(Path("f.txt"));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2023, 12, 31), QTime(13, 4, 5)),
                                     QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(StrCall(Fn::GETFILEDATETIME, {u"f.txt"_s}), u"2023/12/31 13:04:05");
    {
        QFile file(Path("f.txt"));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            file.setFileTime(QDateTime(QDate(2024, 1, 2), QTime(0, 0)), QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(StrCall(Fn::GETFILEDATETIME, {u"f.txt"_s}), u"2024/01/02"); // midnight: the date alone
    ExpectError(Fn::GETFILEDATETIME, {u"missing.txt"_s}, Err::TargetFileNotFound);
    ExpectError(Fn::GETFILEDATETIME, {Extended(1)}, Err::FunctionArgType, Fn::GETFILEDATETIME);
}

TEST_F(SysFunctions, FindFilesOneAfterAnother) {
    ASSERT_TRUE(WriteBytes(Path("b.txt"), ""));
    ASSERT_TRUE(WriteBytes(Path("a.TXT"), ""));
    ASSERT_TRUE(WriteBytes(Path("c.dat"), ""));
    ASSERT_TRUE(WriteBytes(Path(".hidden.txt"), ""));
    EXPECT_EQ(StrCall(Fn::FINDFIRSTFILE, {u"*.txt"_s}), u".hidden.txt");
    EXPECT_EQ(StrCall(Fn::FINDNEXTFILE), u"a.TXT"); // matched without regard to case
    EXPECT_EQ(StrCall(Fn::FINDNEXTFILE), u"b.txt");
    EXPECT_EQ(StrCall(Fn::FINDNEXTFILE), u"");
    EXPECT_EQ(StrCall(Fn::FINDNEXTFILE), u"");
    // A new search replaces the old one.
    EXPECT_EQ(StrCall(Fn::FINDFIRSTFILE, {u"*.dat"_s}), u"c.dat");
    EXPECT_EQ(StrCall(Fn::FINDFIRSTFILE, {u"?.txt"_s}), u"a.TXT");
    EXPECT_EQ(StrCall(Fn::FINDNEXTFILE), u"b.txt");
    ExecuteStatement(St::FINDFILECLOSE);
    EXPECT_EQ(StrCall(Fn::FINDNEXTFILE), u"");
    EXPECT_EQ(StrCall(Fn::FINDFIRSTFILE, {u"*.none"_s}), u"");
    EXPECT_EQ(StrCall(Fn::FINDFIRSTFILE, {u"nowhere\\*.*"_s}), u"");
    ExpectError(Fn::FINDFIRSTFILE, {Extended(1)}, Err::FunctionArgType, Fn::FINDFIRSTFILE);
}

TEST_F(SysFunctions, FindFilesEverythingInAFolder) {
    ASSERT_TRUE(QDir(folder_.Path()).mkdir("sub"));
    ASSERT_TRUE(WriteBytes(Path("sub/x"), ""));
    ASSERT_TRUE(WriteBytes(Path("top.txt"), ""));
    QStringList found{StrCall(Fn::FINDFIRSTFILE, {u""_s})}; // the current folder, every entry
    for (QString next = StrCall(Fn::FINDNEXTFILE); !next.isEmpty(); next = StrCall(Fn::FINDNEXTFILE))
        found << next;
    EXPECT_EQ(found, (QStringList{u"."_s, u".."_s, u"sub"_s, u"top.txt"_s}));
    EXPECT_EQ(StrCall(Fn::FINDFIRSTFILE, {u"sub\\*.*"_s}), u".");
    EXPECT_EQ(StrCall(Fn::FINDNEXTFILE), u"..");
    EXPECT_EQ(StrCall(Fn::FINDNEXTFILE), u"x"); // "*.*" also matches a name without a dot
    EXPECT_EQ(StrCall(Fn::FINDFIRSTFILE, {Path("top.txt")}), u"top.txt"); // a full path gives the bare name
}

TEST_F(SysFunctions, DiskFreeAndSize) {
    const QStorageInfo here(QDir::currentPath());
    const Extended free = NumCall(Fn::DISKFREE, {u""_s});
    const Extended size = NumCall(Fn::DISKSIZE, {u""_s});
    EXPECT_GT(size, 0);
    EXPECT_GE(free, 0);
    EXPECT_LE(free, size);
    EXPECT_EQ(size, here.bytesTotal());
    EXPECT_EQ(NumCall(Fn::DISKSIZE, {u"C"_s}), QStorageInfo::root().bytesTotal());
    EXPECT_EQ(NumCall(Fn::DISKFREE, {u"c"_s}), -1); // lower case is no drive letter
    EXPECT_EQ(NumCall(Fn::DISKSIZE, {u"Q"_s}), -1);
    EXPECT_EQ(NumCall(Fn::DISKFREE, {u"1"_s}), -1);
    ExpectError(Fn::DISKFREE, {Extended(3)}, Err::FunctionArgType, Fn::DISKFREE);
    ExpectError(Fn::DISKSIZE, {Extended(3)}, Err::FunctionArgType, Fn::DISKSIZE);
}

// ---- whole files --------------------------------------------------------------------------------

TEST_F(SysFunctions, ReadAllTextKeepsLineEnds) {
    ASSERT_TRUE(WriteBytes(Path("u8.txt"), "\xEF\xBB\xBF"
                                           "caf\xC3\xA9\r\nline\n"));
    EXPECT_EQ(StrCall(Fn::READALLTEXT, {u"u8.txt"_s}), u"café\r\nline\n");
    ASSERT_TRUE(
        WriteBytes(Path("sjis.txt"), "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\r\n")); // あいうえお, detected
    EXPECT_EQ(StrCall(Fn::READALLTEXT, {u"sjis.txt"_s}), u"あいうえお\r\n");
    EXPECT_EQ(StrCall(ReadAllTextWithCodePage, {u"sjis.txt"_s, Extended(932)}), u"あいうえお\r\n");
    Ps.FileEncoding = 932;
    EXPECT_EQ(StrCall(Fn::READALLTEXT, {u"sjis.txt"_s}), u"あいうえお\r\n");
    ASSERT_TRUE(WriteBytes(Path("u16.txt"), QByteArray("\xFF\xFE"
                                                       "A\0B\0",
                                                       6)));
    // The byte-order mark wins over the code page given.
    EXPECT_EQ(StrCall(ReadAllTextWithCodePage, {u"u16.txt"_s, Extended(932)}), u"AB");
    ASSERT_TRUE(WriteBytes(Path("empty.txt"), ""));
    Ps.FileEncoding = 0;
    EXPECT_EQ(StrCall(Fn::READALLTEXT, {u"empty.txt"_s}), u"");
}

TEST_F(SysFunctions, ReadAllTextErrors) {
    ExpectError(Fn::READALLTEXT, {u"missing.txt"_s}, Err::FileNotFound);
    ExpectError(ReadAllTextWithCodePage, {u"missing.txt"_s, Extended(932)}, Err::FileNotFound);
    ASSERT_TRUE(WriteBytes(Path("a.txt"), "a"));
    ExpectError(ReadAllTextWithCodePage, {u"a.txt"_s, Extended(123456789)}, Err::FunctionFailed,
                Fn::READALLTEXT);
    Ps.FileEncoding = 99999999;
    ExpectError(Fn::READALLTEXT, {u"a.txt"_s}, Err::FunctionFailed, Fn::READALLTEXT);
    ExpectError(Fn::READALLTEXT, {Extended(1)}, Err::FunctionArgType, Fn::READALLTEXT);
    ExpectError(ReadAllTextWithCodePage, {u"a.txt"_s, u"932"_s}, Err::FunctionArgType, Fn::READALLTEXT);
}

TEST_F(SysFunctions, ReadAllLinesCountsWhatFits) {
    ASSERT_TRUE(WriteBytes(Path("three.txt"), "one\r\ntwo\nthree\r\n"));
    const int big = NewStrArray(10);
    Element(big, 4) = u"kept"_s;
    Statement(ReadAllLines, {u"three.txt"_s}, ArrayItem(big));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Ib.CodeIndex, ProgramCodeStart + 1) << "the array item is taken";
    EXPECT_EQ(Element(big, 0), u"3");
    EXPECT_EQ(Element(big, 1), u"one");
    EXPECT_EQ(Element(big, 2), u"two");
    EXPECT_EQ(Element(big, 3), u"three");
    EXPECT_EQ(Element(big, 4), u"kept");

    const int small = NewStrArray(2);
    Statement(ReadAllLines, {u"three.txt"_s}, ArrayItem(small));
    EXPECT_EQ(Element(small, 0), u"-1"); // full before the file ended
    EXPECT_EQ(Element(small, 1), u"one");
    EXPECT_EQ(Element(small, 2), u"two");

    const int exact = NewStrArray(3);
    Statement(ReadAllLines, {u"three.txt"_s}, ArrayItem(exact));
    EXPECT_EQ(Element(exact, 0), u"3");
    EXPECT_EQ(Element(exact, 3), u"three");

    ASSERT_TRUE(WriteBytes(Path("gaps.txt"), "a\r\rb")); // a lone CR ends a line; no line end at the end
    Statement(ReadAllLines, {u"gaps.txt"_s}, ArrayItem(big));
    EXPECT_EQ(Element(big, 0), u"3");
    EXPECT_EQ(Element(big, 2), u"");
    EXPECT_EQ(Element(big, 3), u"b");

    ASSERT_TRUE(WriteBytes(Path("u16.txt"), QByteArray("x\0\r\0\n\0y\0", 8)));
    Statement(ReadAllLinesWithCodePage, {u"u16.txt"_s, Extended(1200)}, ArrayItem(small));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Element(small, 0), u"2");
    EXPECT_EQ(Element(small, 1), u"x");
    EXPECT_EQ(Element(small, 2), u"y");
}

TEST_F(SysFunctions, ReadAllLinesErrors) {
    ASSERT_TRUE(WriteBytes(Path("a.txt"), "a"));
    const int twoDims = NewStrArray(3, 2);
    Statement(ReadAllLines, {u"a.txt"_s}, ArrayItem(twoDims));
    EXPECT_EQ(Fe.ErrorNumber, Err::FunctionArgType);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::READALLLINES);
    EXPECT_EQ(Ib.CodeIndex, ProgramCodeStart + 1);
    Fe.ErrorNumber = 0;
    GlClear();
    Statement(ReadAllLines, {u"a.txt"_s}, {CodeKind::StrVar, 0, 0});
    EXPECT_EQ(Fe.ErrorNumber, Err::FunctionArgType);
    Fe.ErrorNumber = 0;
    GlClear();
    const int array = NewStrArray(3);
    Statement(ReadAllLines, {Extended(1)}, ArrayItem(array));
    EXPECT_EQ(Fe.ErrorNumber, Err::FunctionArgType);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::READALLLINES);
    Fe.ErrorNumber = 0;
    GlClear();
    Statement(ReadAllLines, {u"missing.txt"_s}, ArrayItem(array));
    EXPECT_EQ(Fe.ErrorNumber, Err::FileNotFound);
    EXPECT_EQ(Element(array, 0), u"");
    Fe.ErrorNumber = 0;
    Statement(ReadAllLinesWithCodePage, {u"a.txt"_s, Extended(-7)}, ArrayItem(array));
    EXPECT_EQ(Fe.ErrorNumber, Err::FunctionFailed);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::READALLLINES);
}

TEST_F(SysFunctions, WriteAllTextWritesTheTextUnchanged) {
    Statement(St::WRITEALLTEXT, {u"out.txt"_s, u"a\r\nb"_s});
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(ReadBytes(Path("out.txt")), "a\r\nb");
    Statement(St::WRITEALLTEXT, {u"out.txt"_s, u"new"_s}); // replaces the old content
    EXPECT_EQ(ReadBytes(Path("out.txt")), "new");
    Statement(WriteAllTextWithCodePage, {u"u16.txt"_s, u"AB"_s, Extended(1200)});
    EXPECT_EQ(ReadBytes(Path("u16.txt")), QByteArray("\xFF\xFE"
                                                     "A\0B\0",
                                                     6));
    Ps.FileEncoding = 932;
    Statement(St::WRITEALLTEXT, {u"sjis.txt"_s, u"あ"_s});
    EXPECT_EQ(ReadBytes(Path("sjis.txt")), "\x82\xA0");
    // And read back in the same encoding.
    EXPECT_EQ(StrCall(Fn::READALLTEXT, {u"sjis.txt"_s}), u"あ");
}

TEST_F(SysFunctions, WriteAllTextErrors) {
    Statement(St::WRITEALLTEXT, {u"out.txt"_s, Extended(1)});
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::WRITEALLTEXT);
    EXPECT_FALSE(QFileInfo(Path("out.txt")).exists());
    Fe.ErrorNumber = 0;
    GlClear();
    Statement(WriteAllTextWithCodePage, {u"out.txt"_s, u"x"_s, u"1200"_s});
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::WRITEALLTEXT);
    Fe.ErrorNumber = 0;
    GlClear();
    Statement(WriteAllTextWithCodePage, {u"out.txt"_s, u"x"_s, Extended(123456789)});
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementFailed);
    EXPECT_EQ(Fe.ErrorNameIndex, St::WRITEALLTEXT);
    Fe.ErrorNumber = 0;
    Statement(St::WRITEALLTEXT, {u"nowhere\\out.txt"_s, u"x"_s});
    EXPECT_EQ(Fe.ErrorNumber, Err::FileCreateFailed);
}

TEST_F(SysFunctions, WriteAllLinesUpToTheCountInElementZero) {
    const int array = NewStrArray(3);
    Element(array, 1) = u"one"_s;
    Element(array, 2) = u"two"_s;
    Element(array, 3) = u"three"_s;
    Statement(St::WRITEALLLINES, {u"all.txt"_s}, ArrayItem(array));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Ib.CodeIndex, ProgramCodeStart + 1);
    EXPECT_EQ(ReadBytes(Path("all.txt")), "one\r\ntwo\r\nthree\r\n");
    Element(array, 0) = u"2"_s;
    Statement(St::WRITEALLLINES, {u"two.txt"_s}, ArrayItem(array));
    EXPECT_EQ(ReadBytes(Path("two.txt")), "one\r\ntwo\r\n");
    for (const char16_t* ignored : {u"9", u"0", u"-1", u"1.5", u"x", u"3"}) {
        Element(array, 0) = QString::fromUtf16(ignored);
        Statement(St::WRITEALLLINES, {u"n.txt"_s}, ArrayItem(array));
        EXPECT_EQ(ReadBytes(Path("n.txt")), "one\r\ntwo\r\nthree\r\n")
            << QString::fromUtf16(ignored).toStdString();
    }
    Element(array, 0) = u"1"_s;
    Statement(ArgumentFormStep + St::WRITEALLLINES, {u"u16.txt"_s, Extended(1201)}, ArrayItem(array));
    EXPECT_EQ(ReadBytes(Path("u16.txt")), QByteArray("\xFE\xFF\0o\0n\0e\0\r\0\n", 12));
    // A round trip through READALLLINES.
    const int back = NewStrArray(5);
    Statement(ReadAllLines, {u"two.txt"_s}, ArrayItem(back));
    EXPECT_EQ(Element(back, 0), u"2");
    EXPECT_EQ(Element(back, 2), u"two");
}

TEST_F(SysFunctions, WriteAllLinesErrors) {
    const int twoDims = NewStrArray(2, 2);
    Statement(St::WRITEALLLINES, {u"x.txt"_s}, ArrayItem(twoDims));
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::WRITEALLLINES);
    EXPECT_FALSE(QFileInfo(Path("x.txt")).exists());
    Fe.ErrorNumber = 0;
    GlClear();
    const int array = NewStrArray(2);
    Statement(St::WRITEALLLINES, {Extended(5)}, ArrayItem(array));
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::WRITEALLLINES);
    Fe.ErrorNumber = 0;
    GlClear();
    Statement(ArgumentFormStep + St::WRITEALLLINES, {u"x.txt"_s, Extended(-3)}, ArrayItem(array));
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementFailed);
    EXPECT_EQ(Fe.ErrorNameIndex, St::WRITEALLLINES);
}

// ---- processes ----------------------------------------------------------------------------------

// Waits (at most a few seconds) for a file a started command writes.
QByteArray AwaitFile(const QString& path, const QByteArray& expected) {
    for (int i = 0; i < 500; ++i) {
        const QByteArray bytes = ReadBytes(path);
        if (bytes == expected) return bytes;
        std::this_thread::sleep_for(10ms);
    }
    return ReadBytes(path);
}

TEST_F(SysFunctions, ShellStartsTheCommandInTheCurrentFolderWithoutWaiting) {
    ASSERT_TRUE(QDir(folder_.Path()).mkdir("work"));
    ASSERT_TRUE(QDir::setCurrent(Path("work")));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(BoolCall(Fn::SHELL, {u"sleep 1; printf '%s|%s' \"a  b\" 'it''s' > out.txt"_s}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 900ms) << "the engine does not wait";
    EXPECT_EQ(AwaitFile(Path("work/out.txt"), "a  b|its"), "a  b|its");
}

TEST_F(SysFunctions, SysCmdStartsTheCommand) {
    Statement(St::SYSCMD, {u"echo done > syscmd.txt"_s});
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(AwaitFile(Path("syscmd.txt"), "done\n"), "done\n");
    Statement(St::SYSCMD, {Extended(1)});
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::SYSCMD);
    Fe.ErrorNumber = 0;
    GlClear();
    ExpectError(Fn::SHELL, {Extended(1)}, Err::FunctionArgType, Fn::SHELL);
}

// ---- arrays and TAB -----------------------------------------------------------------------------

TEST_F(SysFunctions, GetDimTypeGivesDimensionsAndBounds) {
    NumVarType numeric;
    numeric.Kind = NumVarKind::Array;
    numeric.DimCount = 2;
    numeric.Bounds[1] = 3;
    numeric.Bounds[2] = 7;
    Tb.NumVarTable.push_back(numeric);
    const int n = static_cast<int>(Tb.NumVarTable.size()) - 1;
    const auto dim = [&](int tagPush, int index, Extended k) {
        if (tagPush == GlValueType::NumArrayRef)
            GlPushNumArray(index);
        else if (tagPush == GlValueType::StrArrayRef)
            GlPushStrArray(index);
        else
            GlPushBoolArray(index);
        return NumCall(Fn::GETDIMTYPE, {k});
    };
    EXPECT_EQ(dim(GlValueType::NumArrayRef, n, 0), 2);
    EXPECT_EQ(dim(GlValueType::NumArrayRef, n, 1), 3);
    EXPECT_EQ(dim(GlValueType::NumArrayRef, n, 2.9L), 7);
    EXPECT_EQ(dim(GlValueType::NumArrayRef, n, 3), 0);
    EXPECT_EQ(dim(GlValueType::NumArrayRef, n, 1e20L), 0);
    EXPECT_EQ(dim(GlValueType::NumArrayRef, n, -0.5L), 2); // trunc(-0.5) is 0
    const int s = NewStrArray(4);
    EXPECT_EQ(dim(GlValueType::StrArrayRef, s, 0), 1);
    EXPECT_EQ(dim(GlValueType::StrArrayRef, s, 1), 4);
    BoolVarType flags;
    flags.Kind = BoolVarKind::Array;
    flags.DimCount = 1;
    flags.Bounds[1] = 9;
    Tb.BoolVarTable.push_back(flags);
    EXPECT_EQ(dim(GlValueType::BoolArrayRef, static_cast<int>(Tb.BoolVarTable.size()) - 1, 1), 9);

    GlPushNumArray(n);
    ExpectError(Fn::GETDIMTYPE, {Extended(-1)}, Err::FunctionArgType, Fn::GETDIMTYPE);
    GlPushNumArray(n);
    ExpectError(Fn::GETDIMTYPE, {Extended(NAN)}, Err::FunctionArgType, Fn::GETDIMTYPE);
    ExpectError(Fn::GETDIMTYPE, {Extended(1), Extended(1)}, Err::FunctionArgType, Fn::GETDIMTYPE);
    GlPushNumArray(n);
    ExpectError(Fn::GETDIMTYPE, {u"1"_s}, Err::FunctionArgType, Fn::GETDIMTYPE);
}

TEST_F(SysFunctions, TabMarksTheColumnForPrint) {
    Call(Fn::TAB, {Extended(12)});
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 1);
    EXPECT_EQ(GlTopType(), GlValueType::NumberAlt);
    Eng.PrintLine = u"ab"_s;
    ExecPrint();
    EXPECT_EQ(Eng.PrintLine, u"ab          "); // padded to column 12
    EXPECT_EQ(ValueStackCount, 0);
    ExpectError(Fn::TAB, {u"5"_s}, Err::FunctionArgType, Fn::TAB);
    ExpectError(Fn::TAB, {}, Err::FunctionArgType, Fn::TAB);
}

TEST_F(SysFunctions, OtherCodesAreLeftToTheirOwnRoutines) {
    // Slots without a routine of their own do nothing.
    for (const int code : {Fn::DATE, Fn::READALLLINES})
        ExecuteFunction(code);
    for (const int code : {St::APPENDALLTEXT, St::WRITEALLBYTES})
        ExecuteStatement(code);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

} // namespace
