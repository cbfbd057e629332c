// The typed value stacks: tags, growth, pops of the wrong type and the other stacks' errors.
#include "core/errornumbers.h"
#include "core/valuestack.h"

#include <gtest/gtest.h>

namespace {

class ValueStacks : public ::testing::Test {
protected:
    void SetUp() override {
        InitGlStack();
        Fe.ErrorNumber = 0;
    }
};

TEST_F(ValueStacks, TagsDescribeTheTopEntriesWithoutPopping) {
    EXPECT_EQ(GlTopType(), GlValueType::None);
    GlPushNum(1.5L);
    EXPECT_EQ(GlSecondType(), GlValueType::None);
    GlPushStr(QStringLiteral("a"));
    GlPushBool(true);
    EXPECT_EQ(GlTopType(), GlValueType::Boolean);
    EXPECT_EQ(GlSecondType(), GlValueType::String);
    EXPECT_EQ(GlThirdType(), GlValueType::Number);
    EXPECT_EQ(ValueStackCount, 3);
    EXPECT_TRUE(GlPopBool());
    QString s;
    EXPECT_TRUE(GlPopStr(s));
    EXPECT_EQ(s, QStringLiteral("a"));
    EXPECT_EQ(GlPopNum(), 1.5L);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

TEST_F(ValueStacks, InterleavedTypesComeBackInStackOrder) {
    for (int i = 0; i < 500; ++i) {
        GlPushNum(i);
        GlPushStr(QString::number(i));
        GlPushBool(i % 2 == 0);
    }
    ASSERT_EQ(Fe.ErrorNumber, 0);
    for (int i = 499; i >= 0; --i) {
        ASSERT_EQ(GlPopBool(), i % 2 == 0);
        QString s;
        ASSERT_TRUE(GlPopStr(s));
        ASSERT_EQ(s, QString::number(i));
        ASSERT_EQ(GlPopNum(), static_cast<Extended>(i));
    }
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(GlTopType(), GlValueType::None);
}

TEST_F(ValueStacks, ArrayReferencesPopAsNumbers) {
    GlPushNumArray(7);
    GlPushStrArray(8);
    GlPushBoolArray(9);
    EXPECT_EQ(GlTopType(), GlValueType::BoolArrayRef);
    EXPECT_EQ(GlPopNum(), 9.0L);
    EXPECT_EQ(GlPopNum(), 8.0L);
    EXPECT_EQ(GlTopType(), GlValueType::NumArrayRef);
    EXPECT_EQ(GlPopNum(), 7.0L);
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

TEST_F(ValueStacks, WrongTypePopsLeaveTheStackAlone) {
    GlPushStr(QStringLiteral("keep"));
    EXPECT_EQ(GlPopNum(), 0.0L);
    EXPECT_EQ(Fe.ErrorNumber, Err::StackError);
    EXPECT_EQ(GlTopType(), GlValueType::String);

    Fe.ErrorNumber = 0;
    EXPECT_FALSE(GlPopBool());
    EXPECT_EQ(Fe.ErrorNumber, Err::StackEmpty);
    EXPECT_EQ(ValueStackCount, 1);

    Fe.ErrorNumber = 0;
    GlPushNum(3);
    QString out = QStringLiteral("untouched");
    EXPECT_FALSE(GlPopStr(out));
    EXPECT_EQ(Fe.ErrorNumber, Err::StackEmpty);
    EXPECT_EQ(out, QStringLiteral("untouched"));
    EXPECT_EQ(GlPopNum(), 3.0L);
}

TEST_F(ValueStacks, PopsFromAnEmptyStackReportStackEmpty) {
    EXPECT_EQ(GlPopNum(), 0.0L);
    EXPECT_EQ(Fe.ErrorNumber, Err::StackEmpty);
    Fe.ErrorNumber = 0;
    QString out;
    EXPECT_FALSE(GlPopStr(out));
    EXPECT_EQ(Fe.ErrorNumber, Err::StackEmpty);
}

TEST_F(ValueStacks, ClearingEmptiesEveryPartTogether) {
    GlPushNum(1);
    GlPushStr(QStringLiteral("x"));
    GlPushBool(false);
    GlClear();
    EXPECT_EQ(GlTopType(), GlValueType::None);
    // A later push and pop must not pick up anything left behind in a value stack.
    GlPushStr(QStringLiteral("y"));
    QString s;
    ASSERT_TRUE(GlPopStr(s));
    EXPECT_EQ(s, QStringLiteral("y"));
    EXPECT_EQ(Vs.GlStrStack.Count, 0);
    EXPECT_EQ(Vs.GlNumStack.Count, 0);
}

TEST_F(ValueStacks, GrowthKeepsEveryValue) {
    for (int i = 1; i <= 101; ++i)
        GlPushNum(i);
    EXPECT_GE(Vs.GlTypeStack.Items.size(), 102u);
    GlPushNum(102);
    for (int i = 102; i >= 1; --i)
        ASSERT_EQ(GlPopNum(), static_cast<Extended>(i));
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

TEST_F(ValueStacks, LoStackChecksItsOwnTags) {
    LoPushNum(2.5L);
    LoPushStr(QStringLiteral("s"));
    EXPECT_EQ(LoPopNum(), 0.0L);
    EXPECT_EQ(Fe.ErrorNumber, Err::LocalStackError);
    Fe.ErrorNumber = 0;
    QString s;
    EXPECT_TRUE(LoPopStr(s));
    EXPECT_EQ(s, QStringLiteral("s"));
    EXPECT_EQ(LoPopNum(), 2.5L);
    EXPECT_FALSE(LoPopBool());
    EXPECT_EQ(Fe.ErrorNumber, Err::LocalStackError);
}

TEST_F(ValueStacks, CallFramesAndReturnsReportUnderflow) {
    CallFrameType frame{1, 2, 3, 4, 5, 6};
    CallFrameType out{};
    EXPECT_FALSE(TopCallFrame(out));
    EXPECT_EQ(Fe.ErrorNumber, Err::CallFrameEmpty);
    Fe.ErrorNumber = 0;
    PushCallFrame(frame);
    ASSERT_TRUE(TopCallFrame(out));
    EXPECT_EQ(out.W6, 6);
    ASSERT_TRUE(PopCallFrame(out));
    EXPECT_FALSE(PopCallFrame(out));
    EXPECT_EQ(Fe.ErrorNumber, Err::CallFrameEmpty);

    Fe.ErrorNumber = 0;
    PushCallReturn(123);
    EXPECT_EQ(PopCallReturn(), 123);
    EXPECT_EQ(PopCallReturn(), 0);
    EXPECT_EQ(Fe.ErrorNumber, Err::CallReturnEmpty);
}

} // namespace
