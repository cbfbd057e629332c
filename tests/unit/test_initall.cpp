// The interpreter reset brings every table, buffer and switch back to its start value.
#include "core/errornumbers.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "frontend/declnames.h"
#include "frontend/initall.h"
#include "platform/memorybudget.h"
#include "platform/settings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

namespace {

int ClosedByHook = 0;
void CountingCloser() {
    ++ClosedByHook;
}

TEST(InitAll, UndoesWhatARunLeftBehind) {
    InitAll();
    // Leave traces of a run everywhere.
    Tb.NumConTable.push_back(3.0L);
    Tb.NumofRegisteredNumCon = 5;
    Tb.NumVarTable.resize(10);
    Tb.NumofRegisteredNumVar = 9;
    Tb.StrVarTable.resize(4);
    Tb.BoolVarTable.resize(4);
    Tb.DcVarTable[5].Name = QStringLiteral("X");
    Tb.NumofRegisteredDcVar = 5;
    for (int i = 0; i < 300; ++i)
        AddCode(CodeItemType{CodeKind::NumVar, i, 0});
    GlPushNum(1);
    GlPushStr(QStringLiteral("s"));
    PushCallReturn(5);
    Rc.ControlButtonPressed[40] = 1;
    Rc.ControlTextMultiLine[1] = 1;
    Rc.MouseEvent = 3;
    Rc.KeyBuffer = u'a';
    Ps.PrintPrecision = 5;
    Ps.RadianMode = 0;
    Rc.EchoOn = 0;
    Rc.StopRequest = 1;
    Ps.FileMode[3] = FileModeKind::Output;
    Ps.FileName[3] = QStringLiteral("out.txt");
    Ps.GosubStackCount = 7;
    static_cast<WorldWindow&>(Ps) = WorldWindow{-1, -2, 3, 4, 2.5L, 0.5L};
    Rd.ScanToken = CodeItemType{CodeKind::NumVar, 3, 9};
    Rd.CompileText = QStringLiteral("X = 1");

    InitAll();

    EXPECT_EQ(Tb.NumofRegisteredNumCon, 0);
    EXPECT_EQ(Tb.NumConTable.size(), 1u);
    EXPECT_EQ(Tb.NumVarTable.size(), 1u);
    EXPECT_EQ(Tb.StrConTable.size(), 2u);
    EXPECT_EQ(Tb.NumofRegisteredDcVar, 0);
    EXPECT_TRUE(Tb.DcVarTable[5].Name.isEmpty());
    EXPECT_EQ(Ib.CodeIndex, ProgramCodeStart);
    EXPECT_EQ(Ib.CodeLimit, ImmediateAreaLast);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Vs.GlStrStack.Count, 0);
    EXPECT_EQ(Vs.CallReturnStack.Count, 0);
    for (int n = 1; n <= ControlCount; ++n) {
        EXPECT_EQ(Rc.ControlButtonPressed[n], 0);
        EXPECT_EQ(Rc.ControlTextMultiLine[n], 0);
    }
    EXPECT_EQ(Rc.MouseEvent, 0);
    EXPECT_EQ(Rc.KeyBuffer, 0);
    EXPECT_EQ(Ps.PrintPrecision, 18);
    EXPECT_EQ(Ps.RadianMode, 1);
    EXPECT_EQ(Rc.EchoOn, 1);
    EXPECT_EQ(Rc.StopRequest, 0);
    EXPECT_EQ(Ps.FileMode[3], FileModeKind::Closed);
    EXPECT_TRUE(Ps.FileName[3].isEmpty());
    EXPECT_EQ(Ps.GosubStackCount, 0);
    EXPECT_EQ(Ps.SubCallStackCount, 1);
    EXPECT_EQ(Ps.ProgramStart, 1);
    // The world window keeps its area, which WINDOW sets again, but maps it at scale 1 until then.
    EXPECT_EQ(Ps.WorldXMin, -1);
    EXPECT_EQ(Ps.WorldYMax, 4);
    EXPECT_EQ(Ps.WorldXScale, 1);
    EXPECT_EQ(Ps.WorldYScale, 1);
    // The reader starts afresh; the text to compile is the caller's.
    EXPECT_EQ(Rd.ScanToken.FirstCode, CodeKind::None);
    EXPECT_EQ(Rd.CompileText, QStringLiteral("X = 1"));
}

TEST(InitAll, ScreenPlacesFollowTheRunWindowHeight) {
    const int saved = Settings.TScreenHeight;
    Settings.TScreenHeight = 230;
    InitAll();
    EXPECT_EQ(Ps.GScreenTop, 289);
    EXPECT_EQ(Ps.CScreenTop, Ps.GScreenTop);
    Settings.TScreenHeight = 400;
    InitAll();
    EXPECT_EQ(Ps.GScreenTop, 459);
    Settings.TScreenHeight = saved;
}

TEST(InitAll, GraphicsFontAndExitCheckComeFromTheSettings) {
    Settings.EditorFontSize = 14;
    Settings.EditorFontName = QStringLiteral("IPAGothic");
    Settings.ExitMsgCheck = 0;
    InitAll();
    EXPECT_EQ(Ps.GFontSize, 14);
    EXPECT_EQ(Ps.GFontName, QStringLiteral("IPAGothic"));
    EXPECT_EQ(Rc.ExitMessageCheck, 0);
    Settings.EditorFontSize = 10;
    Settings.EditorFontName = QStringLiteral("ＭＳ ゴシック");
    Settings.ExitMsgCheck = 1;
}

TEST(InitAll, OpenChannelsAreClosedThroughTheEngine) {
    ClosedByHook = 0;
    Ps.CloseAllFileChannelsHook = &CountingCloser;
    InitAll();
    Ps.CloseAllFileChannelsHook = nullptr;
    EXPECT_EQ(ClosedByHook, 1) << "buffered output of a stopped run must reach its file";
}

TEST(Tables, LiteralValuesAndArrayOffsets) {
    InitAll();
    Tb.NumConTable.push_back(2.5L);
    EXPECT_EQ(NumConValue(CodeItemType{CodeKind::NumLiteral, 0, 0}), 2.5L) << "entry SecondCode + 1";
    EXPECT_EQ(NumConValue(CodeItemType{CodeKind::NumVar, 0, 0}), 0.0L);
    EXPECT_EQ(NumConValue(CodeItemType{CodeKind::NumLiteral, 99, 0}), 0.0L) << "outside the table";

    const std::int32_t bounds[MaxDimensions + 1] = {0, 1, 2};
    const long at12[] = {1, 2};
    EXPECT_EQ(ArrayElementOffset(bounds, 2, at12), 5);
    const long out[] = {2, 0};
    EXPECT_EQ(ArrayElementOffset(bounds, 2, out), -1);
    const long negative[] = {0, -1};
    EXPECT_EQ(ArrayElementOffset(bounds, 2, negative), -1);
}

// Appends to a table reallocate it a logarithmic number of times (geometric growth), not once per entry:
// counted by the moves of its storage, not timed.
TEST(Tables, AppendsReallocateLogarithmicallyOften) {
    InitAll();
    constexpr std::size_t Appends = 200000; // past the size where a table used to grow by one entry
    for (const std::size_t entrySize : {sizeof(Extended), sizeof(NumVarType)}) {
        int moves = 0;
        auto count = [&](auto& table) {
            const void* storage = table.data();
            for (std::size_t at = table.size(); at <= Appends; ++at) {
                ASSERT_TRUE(GrowTable(table, at));
                if (table.data() != storage) {
                    ++moves;
                    storage = table.data();
                }
            }
        };
        if (entrySize == sizeof(Extended))
            count(Tb.NumConTable);
        else
            count(Tb.NumVarTable);
        EXPECT_LE(moves, 40) << "entries of " << entrySize << " bytes";
    }
    EXPECT_EQ(Fe.ErrorNumber, 0);
    InitAll();
}

// A table the run's budget has no room for is not grown: 30101, the table as it was.
TEST(Tables, GrowthPastTheBudgetIsOutOfMemory) {
    InitAll();
    Fe.ErrorNumber = 0;
    ASSERT_EQ(setenv("LORVEX_MEMORY_BUDGET", "16M", 1), 0);
    std::atomic<int> stop{0};
    MemoryBudget::BeginRun(stop);
    EXPECT_TRUE(GrowTable(Tb.ANumVarTable, 1000)) << "a small table is not weighed";
    EXPECT_FALSE(GrowTable(Tb.ANumVarTable, std::size_t{4} << 20)) << "64 MiB of numbers";
    EXPECT_EQ(Fe.ErrorNumber, Err::OutOfMemory);
    EXPECT_EQ(Tb.ANumVarTable.size(), 1001U);
    MemoryBudget::EndRun();
    unsetenv("LORVEX_MEMORY_BUDGET");
    Fe.ErrorNumber = 0;
    EXPECT_TRUE(GrowTable(Tb.ANumVarTable, std::size_t{4} << 20)) << "no run, nothing weighed";
    InitAll();
}

// Variables are found by name through an index, which must forget the names of a table emptied by the
// reset: the same names entered again in another order have other indices.
TEST(Tables, VariablesFoundByNameAfterTheReset) {
    InitAll();
    CodeItemType token;
    for (const char* name : {"A", "B", "C"})
        CreateVariable(QString::fromLatin1(name), VarType::Real, token);
    EXPECT_EQ(FindVariable(QStringLiteral("C"), VarType::Real), 3);
    InitAll();
    CreateVariable(QStringLiteral("C"), VarType::Real, token);
    CreateVariable(QStringLiteral("A"), VarType::Real, token);
    EXPECT_EQ(FindVariable(QStringLiteral("A"), VarType::Real), 2);
    EXPECT_EQ(FindVariable(QStringLiteral("C"), VarType::Real), 1);
    EXPECT_EQ(FindVariable(QStringLiteral("B"), VarType::Real), 0);
    EXPECT_EQ(FindVariable(QStringLiteral("A"), VarType::String), 0) << "each type has its own table";
    InitAll();
}

} // namespace
