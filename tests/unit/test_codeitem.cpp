// Item buffers: growth, the immediate area in front of the program, and reads past the end.
#include "core/errornumbers.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/vocabulary.h"
#include "frontend/initall.h"

#include <gtest/gtest.h>

namespace {

class ItemBuffers : public ::testing::Test {
protected:
    void SetUp() override {
        InitAll();
        Fe.ErrorNumber = 0;
        Rc.RunMode = RunKind::Program;
    }
    void TearDown() override { Rc.RunMode = RunKind::Program; }
};

CodeItemType Item(int kind, int code, int pos = 0) {
    return CodeItemType{kind, code, pos};
}

// A program of `count` copies of `item` and its end item, added from the program's first slot.
void AddProgram(int count, const CodeItemType& item) {
    for (int i = 0; i < count; ++i)
        AddCode(item);
    AddCode(Item(CodeKind::End, 0));
    Ib.CodeLimit = Ib.CodeIndex - 1;
}

TEST_F(ItemBuffers, FreshCodeBufferFetchesNothingPastItsLimit) {
    ASSERT_EQ(Ib.CodeIndex, ProgramCodeStart);
    CodeItemType item{CodeKind::Statement, 5, 77};
    GetCode(item);
    EXPECT_EQ(item.FirstCode, CodeKind::None);
    EXPECT_EQ(item.SecondCode, 5) << "only the kind is cleared";
    EXPECT_EQ(item.Position, 77);
    EXPECT_EQ(Ib.CodeIndex, ProgramCodeStart) << "a failed fetch does not advance";
}

TEST_F(ItemBuffers, ProgramGrowsPastTheInitialSlotsAndReadsBackInOrder) {
    const int count = 5000;
    for (int i = 0; i < count; ++i)
        AddCode(Item(CodeKind::NumVar, i, i + 1));
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Ib.CurrentmaxCodeNum, ProgramCodeStart + count - 1);
    Ib.CodeLimit = Ib.CodeIndex - 1;
    Ib.CodeIndex = ProgramCodeStart;
    for (int i = 0; i < count; ++i) {
        GetCurrentItem();
        ASSERT_EQ(Ib.CurrentItem, Item(CodeKind::NumVar, i, i + 1)) << i;
    }
    GetCurrentItem();
    EXPECT_EQ(Ib.CurrentItem.FirstCode, CodeKind::None);
    EXPECT_EQ(Ib.CodeIndex, Ib.CodeLimit + 1);
}

TEST_F(ItemBuffers, ImmediateCommandEndsAtItsOwnEndItemOrAtSlot100) {
    AddProgram(10, Item(CodeKind::NumVar, 1));
    ResetCode();
    EXPECT_EQ(Ib.CodeIndex, 0);
    EXPECT_EQ(Ib.CodeBuffer[ImmediateAreaLast].FirstCode, CodeKind::End) << "slot 100 stops a command";
    EXPECT_EQ(Ib.CodeBuffer[0].FirstCode, CodeKind::None);
    EXPECT_EQ(Ib.CodeBuffer[ProgramCodeStart], Item(CodeKind::NumVar, 1)) << "the program stays";
}

TEST_F(ItemBuffers, OverlongImmediateCommandIsRefusedAndTheProgramKept) {
    AddProgram(3, Item(CodeKind::NumVar, 42));

    ResetCode();
    Ib.CodeIndex = 1;
    Rc.RunMode = RunKind::Immediate;
    for (int i = 1; i <= ImmediateAreaLast; ++i)
        AddCode(Item(CodeKind::StrVar, i));
    EXPECT_EQ(Fe.ErrorNumber, 0) << "slots 1 to 100 are the command's";
    AddCode(Item(CodeKind::End, 0));
    EXPECT_EQ(Fe.ErrorNumber, Err::ProgramTooLarge);
    EXPECT_EQ(Ib.CodeIndex, ProgramCodeStart);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Ib.CodeBuffer[ProgramCodeStart + i], Item(CodeKind::NumVar, 42));
    EXPECT_EQ(Ib.CodeBuffer[ProgramCodeStart + 3].FirstCode, CodeKind::End);
}

TEST_F(ItemBuffers, OverlongImmediatePreCodeIsRefused) {
    ResetPreCode();
    Ib.PreCodeIndex = 1;
    Rc.RunMode = RunKind::Immediate;
    for (int i = 1; i <= ImmediateAreaLast; ++i)
        AddPreCode(Item(CodeKind::NumVar, i));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    AddPreCode(Item(CodeKind::NumVar, 0));
    EXPECT_EQ(Fe.ErrorNumber, Err::ProgramTooLarge);
    EXPECT_EQ(Ib.PreCodeIndex, ImmediateAreaLast + 1);
}

TEST_F(ItemBuffers, PreCodeTakesTheTokenStartAndIgnoresEmptyItems) {
    Ib.PreCodeIndex = ProgramCodeStart;
    Rd.TokenStart = 17;
    AddPreCode(Item(CodeKind::None, 3, 99));
    EXPECT_EQ(Ib.PreCodeIndex, ProgramCodeStart) << "kind 0 is not stored";
    AddPreCode(Item(CodeKind::Statement, 3, 99));
    EXPECT_EQ(Ib.PreCodeBuffer[ProgramCodeStart], Item(CodeKind::Statement, 3, 17));
    Rd.IncludeMode = 2; // any other mode keeps the item's own position
    AddPreCode(Item(CodeKind::Statement, 4, 99));
    EXPECT_EQ(Ib.PreCodeBuffer[ProgramCodeStart + 1].Position, 99);
    Rd.IncludeMode = 0;
}

TEST_F(ItemBuffers, PreCodeReadersStayInsideTheBuffer) {
    Ib.PreCodeIndex = ProgramCodeStart;
    Rd.TokenStart = 1;
    AddPreCode(Item(CodeKind::NumVar, 7));
    AddPreCode(Item(CodeKind::StrVar, 8));
    Ib.PreCodeIndex = ProgramCodeStart;
    CodeItemType item;
    PeekPreCodeBack(0, item);
    EXPECT_EQ(item.SecondCode, 7) << "a look back by 0 is the item at the cursor";
    PeekPreCodeAhead(1, item);
    EXPECT_EQ(item.SecondCode, 8);
    PeekPreCodeAhead(1000, item);
    EXPECT_EQ(item.FirstCode, CodeKind::None);
    PeekPreCodeBack(Ib.PreCodeIndex + 1, item);
    EXPECT_EQ(item.FirstCode, CodeKind::None);
    GetPreCode(item);
    GetPreCode(item);
    GetPreCode(item);
    EXPECT_EQ(item.FirstCode, CodeKind::None) << "past the highest index";
    EXPECT_EQ(Ib.PreCodeIndex, ProgramCodeStart + 3) << "the cursor advances anyway";
}

TEST_F(ItemBuffers, LookBackAndPeekGuardTheirBounds) {
    CodeItemType item{CodeKind::Statement, 9, 9};
    Ib.CodeIndex = 3;
    LookBackCode(4, item);
    EXPECT_EQ(Fe.ErrorNumber, Err::LookBackBeforeStart);
    EXPECT_EQ(item.SecondCode, 9) << "the item is not written";
    Fe.ErrorNumber = 0;
    Ib.CodeIndex = Ib.CurrentmaxCodeNum + 10;
    PeekCode(item);
    EXPECT_EQ(item.FirstCode, CodeKind::None);
}

TEST_F(ItemBuffers, InitialPreCodeMarksTheImmediateAreaWithColons) {
    EXPECT_EQ(Ib.PreCodeBuffer[0], Item(CodeKind::Operator, Op::Colon));
    EXPECT_EQ(Ib.PreCodeBuffer[ImmediateAreaLast], Item(CodeKind::Operator, Op::Colon));
    EXPECT_EQ(Ib.PreCodeLimit, ImmediateAreaLast);
    ResetPreCode();
    EXPECT_EQ(Ib.PreCodeBuffer[50].FirstCode, CodeKind::End);
    EXPECT_EQ(Ib.PreCodeBuffer[ImmediateAreaLast].FirstCode, CodeKind::None);
}

} // namespace
