// Control flow, assignment and procedure calls run through the real run loop: code items are assembled
// by hand from slot 101 the way the compiler lays them out, and the tests look at variables, the
// program counter, the stacks and the error numbers afterwards.
#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/parsecodes.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/calls.h"
#include "engine/enginehooks.h"
#include "engine/enginestate.h"
#include "engine/flowexec.h"
#include "engine/handover.h"
#include "engine/runloop.h"
#include "engine/runwindowqueue.h"
#include "engine/services.h"
#include "frontend/initall.h"

#include <gtest/gtest.h>

#include <QObject>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// ---- building the program's tables and code by hand ---------------------------------------------------

int NewNum(const char* name, Extended value = 0) {
    NumVarType record;
    record.Name = QString::fromLatin1(name);
    record.Value = value;
    Tb.NumVarTable.push_back(record);
    return static_cast<int>(Tb.NumVarTable.size()) - 1;
}

int NewStr(const char* name, const QString& value = QString()) {
    StrVarType record;
    record.Name = QString::fromLatin1(name);
    record.Value = value;
    Tb.StrVarTable.push_back(record);
    return static_cast<int>(Tb.StrVarTable.size()) - 1;
}

int NewBool(const char* name, bool value = false) {
    BoolVarType record;
    record.Name = QString::fromLatin1(name);
    record.Value = value ? 1 : 0;
    Tb.BoolVarTable.push_back(record);
    return static_cast<int>(Tb.BoolVarTable.size()) - 1;
}

// DIM name(b1, b2, ...): the elements are appended to the element table.
template <typename Record, typename Elements>
void Dimension(Record& record, std::uint8_t kind, Elements& elements, std::initializer_list<int> bounds) {
    record.Kind = kind;
    record.DimCount = static_cast<std::uint8_t>(bounds.size());
    record.Base = static_cast<std::int32_t>(elements.size());
    std::size_t count = 1;
    int d = 1;
    for (int bound : bounds) {
        record.Bounds[static_cast<std::size_t>(d++)] = bound;
        count *= static_cast<std::size_t>(bound + 1);
    }
    elements.resize(elements.size() + count);
}

int NewNumArray(const char* name, std::initializer_list<int> bounds) {
    const int index = NewNum(name);
    Dimension(Tb.NumVarTable[static_cast<std::size_t>(index)], NumVarKind::Array, Tb.ANumVarTable, bounds);
    return index;
}

int NewStrArray(const char* name, std::initializer_list<int> bounds) {
    const int index = NewStr(name);
    Dimension(Tb.StrVarTable[static_cast<std::size_t>(index)], StrVarKind::Array, Tb.AStrVarTable, bounds);
    return index;
}

int NewBoolArray(const char* name, std::initializer_list<int> bounds) {
    const int index = NewBool(name);
    Dimension(Tb.BoolVarTable[static_cast<std::size_t>(index)], BoolVarKind::Array, Tb.ABoolVarTable, bounds);
    return index;
}

NumVarType& Num(int index) {
    return Tb.NumVarTable[static_cast<std::size_t>(index)];
}
StrVarType& Str(int index) {
    return Tb.StrVarTable[static_cast<std::size_t>(index)];
}
BoolVarType& Bool(int index) {
    return Tb.BoolVarTable[static_cast<std::size_t>(index)];
}
Extended& NumElement(int array, int offset) {
    return Tb.ANumVarTable[static_cast<std::size_t>(Num(array).Base + offset)];
}

// The code of one test program, from slot 101; Run places it with its end item and runs it.
class Program {
public:
    int Next() const { return ProgramCodeStart + static_cast<int>(items_.size()); }

    int Item(int kind, int value) {
        const int at = Next();
        items_.push_back(CodeItemType{kind, value, at});
        return at;
    }
    int Stmt(int code) { return Item(CodeKind::Statement, code); }
    int Operator(int slot) { return Item(CodeKind::Operator, slot); }
    int Eol() { return Operator(Op::LineEnd); }
    int Colon() { return Operator(Op::Colon); }
    int Var(int index) { return Item(CodeKind::NumVar, index); }
    int SVar(int index) { return Item(CodeKind::StrVar, index); }
    int BVar(int index) { return Item(CodeKind::BoolVar, index); }
    int Target(int index) { return Item(CodeKind::JumpTarget, index); }
    int Lit(Extended value) {
        Tb.NumConTable.push_back(value); // a literal item names entry SecondCode + 1
        return Item(CodeKind::NumLiteral, static_cast<int>(Tb.NumConTable.size()) - 2);
    }
    int SLit(const QString& text) {
        Tb.StrConTable.push_back(text);
        return Item(CodeKind::StrLiteral, static_cast<int>(Tb.StrConTable.size()) - 1);
    }
    int True() { return Item(CodeKind::BoolConst, BoolConstTrue); }
    int False() { return Item(CodeKind::BoolConst, BoolConstFalse); }
    // LET target = (whatever was pushed before)
    void Let(int kind, int index) {
        Stmt(St::LET);
        Item(kind, index);
        Eol();
    }
    void LetNum(int index) { Let(CodeKind::NumVar, index); }
    void Patch(int at, int value) {
        items_[static_cast<std::size_t>(at - ProgramCodeStart)].SecondCode = value;
    }

    // A SUB or FUNCTION header: the skip over the body, the entry, the frame items over the table
    // entries first..last of each table (0, 0 for none), and the parameter bindings, last first.
    // Returns the entry; `skipSlot` receives the jump to patch at the end of the body.
    struct Frame {
        int BoolFirst = 1, BoolLast = 0, NumFirst = 1, NumLast = 0, StrFirst = 1, StrLast = 0;
    };
    int Header(int startCode, const Frame& frame, std::initializer_list<CodeItemType> parameters,
               int& skipSlot) {
        Stmt(St::GOTO);
        skipSlot = Target(0);
        Eol();
        Stmt(startCode);
        const int entry = Next();
        Item(CodeKind::SubFrame, frame.BoolFirst - 1);
        Item(CodeKind::SubFrame, frame.BoolLast);
        Item(CodeKind::SubFrameN, frame.NumFirst - 1);
        Item(CodeKind::SubFrameN, frame.NumLast);
        Item(CodeKind::SubFrameS, frame.StrFirst - 1);
        Item(CodeKind::SubFrameS, frame.StrLast);
        std::vector<CodeItemType> list(parameters);
        for (auto it = list.rbegin(); it != list.rend(); ++it) {
            Stmt(InSt::GlPop);
            Item(it->FirstCode, it->SecondCode);
        }
        Eol();
        return entry;
    }
    // END SUB: push the parameters' values back (last first), then return.
    void EndSub(std::initializer_list<CodeItemType> parameters, int skipSlot) {
        Stmt(InSt::SubEnd);
        std::vector<CodeItemType> list(parameters);
        for (auto it = list.rbegin(); it != list.rend(); ++it) {
            Stmt(InSt::GlPush);
            Item(it->FirstCode, it->SecondCode);
        }
        Stmt(St::ENDSUB);
        Patch(skipSlot, Next());
    }
    // CALL name(arguments): `pushArguments` writes the argument values; `bindBack` lists the items the
    // values come back into, first argument first ({94, 1} for one passed by value).
    void Call(int subIndex, const std::function<void()>& pushArguments,
              std::initializer_list<CodeItemType> bindBack) {
        Stmt(ParseCode::CallStatement);
        pushArguments();
        Eol();
        Stmt(InSt::LoPushAll);
        Stmt(InSt::SubJump);
        Var(subIndex);
        Eol();
        Stmt(InSt::LoPopAll);
        for (const CodeItemType& item : bindBack) {
            Stmt(InSt::GlPop);
            Item(item.FirstCode, item.SecondCode);
        }
        Eol();
    }

    // Places the code and its end item and runs it with the real run loop.
    LoopExit Run() {
        const int end = Next();
        InitCode();
        for (std::size_t i = 0; i < items_.size(); ++i)
            SetCodeItem(ProgramCodeStart + static_cast<int>(i), items_[i]);
        SetCodeItem(end, CodeItemType{CodeKind::End, 0, end});
        Ib.CodeLimit = end;
        Ib.CodeIndex = ProgramCodeStart;
        FetchCurrentItem();
        return RunLoop();
    }

    // Runs the program, which must reach its end without an error.
    ::testing::AssertionResult RunsToTheEnd() {
        const LoopExit exit = Run();
        if (exit == LoopExit::End && Fe.ErrorNumber == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "the run ended with exit " << static_cast<int>(exit) << " and error " << Fe.ErrorNumber;
    }

private:
    std::vector<CodeItemType> items_;
};

CodeItemType NumParam(int index) {
    return CodeItemType{CodeKind::NumVar, index, 0};
}
CodeItemType ByValue() {
    return CodeItemType{CodeKind::DummyCode, ParseCode::ByValueArgument, 0};
}

class Flow : public ::testing::Test {
protected:
    void SetUp() override {
        InitAll();
        ResetLocalNumTbl();
        ResetLocalStrTbl();
        RunWindowQueue::Instance().Reset();
        Rc.RunMode = RunKind::Program;
        Rc.StopRequest = 0;
        Fe.ErrorNumber = 0;
        Fe.ErrorNameIndex = 0;
        Eng.EvalFormTrap = 0;
    }
    void TearDown() override {
        Rc.StopRequest = 0;
        Rc.RunMode = RunKind::Program;
        Hooks.BeepHook = nullptr;
    }

    // Runs `exec` with a jump-target item to JumpedTo under the cursor: true when it jumped, false when
    // it skipped the target.
    static constexpr int JumpedTo = 200;
    static bool Jumps(const std::function<void()>& exec) {
        InitCode();
        SetCodeItem(299, CodeItemType{});
        SetCodeItem(ProgramCodeStart, CodeItemType{CodeKind::JumpTarget, JumpedTo, 0});
        Ib.CodeLimit = 299;
        Ib.CodeIndex = ProgramCodeStart;
        exec();
        EXPECT_TRUE(Ib.CodeIndex == JumpedTo || Ib.CodeIndex == ProgramCodeStart + 1) << Ib.CodeIndex;
        return Ib.CodeIndex == JumpedTo;
    }
};

// ---- LET ----------------------------------------------------------------------------------------------

TEST_F(Flow, LetStoresScalarsOfEachTypeAndRefusesAValueOfAnotherType) {
    const int x = NewNum("X");
    const int s = NewStr("S");
    const int b = NewBool("B");
    Program p;
    p.Lit(2.5);
    p.LetNum(x);
    p.SLit(QStringLiteral("あいう"));
    p.Let(CodeKind::StrVar, s);
    p.True();
    p.Let(CodeKind::BoolVar, b);
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(Num(x).Value, 2.5L);
    EXPECT_EQ(Str(s).Value, QStringLiteral("あいう"));
    EXPECT_EQ(Bool(b).Value, 1);
    EXPECT_EQ(ValueStackCount, 0);

    Program wrong;
    wrong.SLit(QStringLiteral("1"));
    wrong.LetNum(x);
    EXPECT_EQ(wrong.Run(), LoopExit::Error);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::LET);
    EXPECT_EQ(Num(x).Value, 2.5L);
}

TEST_F(Flow, LetPairsTheFirstPoppedSubscriptWithTheFirstBound) {
    const int a = NewNumArray("A", {5, 5});
    Program p;
    // A(2, 3) = 9: the value, then the subscripts last first.
    p.Lit(9);
    p.Lit(3);
    p.Lit(2);
    p.LetNum(a);
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(NumElement(a, 2 + 3 * 6), 9.0L);
    EXPECT_EQ(NumElement(a, 3 + 2 * 6), 0.0L);
}

TEST_F(Flow, LetAndReadRoundAFractionalSubscriptTheSameWay) {
    const int a = NewNumArray("A", {4});
    const int x = NewNum("X");
    const int y = NewNum("Y");
    Program p;
    p.Lit(7); // A(1.5) = 7
    p.Lit(1.5);
    p.LetNum(a);
    p.Lit(1.5); // X = A(1.5)
    p.Var(a);
    p.LetNum(x);
    p.Lit(8); // A(2.5) = 8: halves go to the even neighbour, the same element
    p.Lit(2.5);
    p.LetNum(a);
    p.Lit(2); // Y = A(2)
    p.Var(a);
    p.LetNum(y);
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(Num(x).Value, 7.0L);
    EXPECT_EQ(Num(y).Value, 8.0L);
    EXPECT_EQ(NumElement(a, 1), 0.0L);
}

TEST_F(Flow, LetRefusesBadSubscriptsAndLeavesTheElementsAlone) {
    struct Case {
        std::function<void(Program&)> subscript;
        int error;
    };
    const std::vector<Case> cases = {
        {[](Program& p) { p.Lit(6); }, Err::SubscriptTooLarge},
        {[](Program& p) { p.Lit(5.5); }, Err::SubscriptTooLarge}, // rounds to 6
        {[](Program& p) { p.Lit(-0.25); }, Err::SubscriptNegative},
        {[](Program& p) { p.SLit(QStringLiteral("1")); }, Err::SubscriptInvalid},
        {[](Program& p) { p.Lit(1e30); }, Err::SubscriptTooLarge},
    };
    for (const Case& c : cases) {
        SetUp();
        const int a = NewNumArray("A", {5});
        Program p;
        p.Lit(1);
        c.subscript(p);
        p.LetNum(a);
        EXPECT_EQ(p.Run(), LoopExit::Error);
        EXPECT_EQ(Fe.ErrorNumber, c.error);
        for (int i = 0; i <= 5; ++i)
            EXPECT_EQ(NumElement(a, i), 0.0L);
    }
}

TEST_F(Flow, LetStoresStringAndBooleanElements) {
    const int s = NewStrArray("S", {2, 1});
    const int b = NewBoolArray("B", {3});
    Program p;
    p.SLit(QStringLiteral("x"));
    p.Lit(1); // S(2, 1)
    p.Lit(2);
    p.Let(CodeKind::StrVar, s);
    p.True();
    p.Lit(3);
    p.Let(CodeKind::BoolVar, b);
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(Tb.AStrVarTable[static_cast<std::size_t>(Str(s).Base + 2 + 1 * 3)], QStringLiteral("x"));
    EXPECT_EQ(Tb.ABoolVarTable[static_cast<std::size_t>(Bool(b).Base + 3)], -1);
}

TEST_F(Flow, LetIntoTheTransferSlots) {
    Program p;
    p.Lit(4);
    p.Let(CodeKind::PublicNum, 1);
    p.SLit(QStringLiteral("t"));
    p.Let(CodeKind::PublicStr, 1);
    p.True();
    p.Let(CodeKind::PublicBool, 1);
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(Tb.PublicNumTable[1].Value, 4.0L);
    EXPECT_EQ(Tb.PublicStrTable[1].Value, QStringLiteral("t"));
    EXPECT_EQ(Tb.PublicBoolTable[1].Value, 1);

    Program wrong; // the pop reports a value of another type and stores nothing
    wrong.SLit(QStringLiteral("u"));
    wrong.Let(CodeKind::PublicNum, 1);
    EXPECT_EQ(wrong.Run(), LoopExit::Error);
    EXPECT_NE(Fe.ErrorNumber, 0);
    EXPECT_EQ(Tb.PublicNumTable[1].Value, 4.0L);
}

TEST_F(Flow, SwapThroughTheTransferSlot) {
    // SWAP X, Y as the compiler writes it: X -> slot, Y -> X, slot -> Y.
    const int x = NewNum("X", 1);
    const int y = NewNum("Y", 2);
    Program p;
    p.Var(x);
    p.Stmt(St::LET);
    p.Item(CodeKind::PublicNum, 1);
    p.Colon();
    p.Var(y);
    p.Stmt(St::LET);
    p.Var(x);
    p.Colon();
    p.Item(CodeKind::PublicNum, 1);
    p.LetNum(y);
    EXPECT_EQ(p.Run(), LoopExit::End);
    EXPECT_EQ(Num(x).Value, 2.0L);
    EXPECT_EQ(Num(y).Value, 1.0L);
}

// ---- IF, GOTO, GOSUB, RETURN --------------------------------------------------------------------------

TEST_F(Flow, AnIfLoopRunsItsBodyTheRightNumberOfTimes) {
    const int i = NewNum("I", 1);
    const int s = NewNum("S");
    Program p;
    const int top = p.Var(i); // WHILE I <= 10
    p.Lit(10);
    p.Operator(Op::LessEqual);
    p.Stmt(St::IF);
    const int exit = p.Target(0);
    p.Colon();
    p.Var(s); // S = S + I
    p.Var(i);
    p.Operator(Op::Plus);
    p.LetNum(s);
    p.Var(i); // I = I + 1
    p.Lit(1);
    p.Operator(Op::Plus);
    p.LetNum(i);
    p.Stmt(St::GOTO);
    p.Target(top);
    p.Patch(exit, p.Colon());
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(Num(s).Value, 55.0L);
    EXPECT_EQ(Num(i).Value, 11.0L);
}

TEST_F(Flow, IfAndItsOppositeTestTakeOrSkipTheTarget) {
    EXPECT_TRUE(Jumps([] {
        GlPushBool(false);
        ExecIf();
    }));
    EXPECT_FALSE(Jumps([] {
        GlPushBool(true);
        ExecIf();
    }));
    EXPECT_TRUE(Jumps([] {
        GlPushBool(true);
        ExecCaseBoolean();
    }));
    EXPECT_FALSE(Jumps([] {
        GlPushBool(false);
        ExecCaseBoolean();
    }));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 0);

    GlPushNum(1);
    ExecIf();
    EXPECT_EQ(Fe.ErrorNumber, Err::ConditionType);
    Fe.ErrorNumber = 0;
    ExecCaseBoolean();
    EXPECT_EQ(Fe.ErrorNumber, Err::ConditionType);
}

TEST_F(Flow, AJumpTargetOutsideTheCodeIsRefused) {
    for (const int bad : {0, -5, 100000}) {
        SetUp();
        const int x = NewNum("X");
        Program p;
        p.False();
        p.Stmt(St::IF);
        p.Target(bad);
        p.Colon();
        p.Lit(1);
        p.LetNum(x);
        EXPECT_EQ(p.Run(), LoopExit::Error) << bad;
        EXPECT_EQ(Fe.ErrorNumber, Err::JumpTargetInvalid) << bad;

        SetUp();
        Program g;
        g.Stmt(St::GOTO);
        g.Target(bad);
        EXPECT_EQ(g.Run(), LoopExit::Error) << bad;
        EXPECT_EQ(Fe.ErrorNumber, Err::JumpTargetInvalid) << bad;
    }
}

TEST_F(Flow, GotoFindsLineNumbersAndLabels) {
    const int x = NewNum("X");
    const int label = NewNum("L");
    Program p;
    p.Stmt(St::GOTO);
    p.Lit(100.75); // a line number is truncated
    p.Eol();
    p.Lit(1); // skipped
    p.LetNum(x);
    const int line100 = p.Colon();
    p.Var(x);
    p.Lit(10);
    p.Operator(Op::Plus);
    p.LetNum(x);
    p.Stmt(St::GOTO);
    p.Var(label);
    p.Eol();
    p.Lit(100); // skipped
    p.LetNum(x);
    const int labelled = p.Colon();
    p.Var(x);
    p.Lit(5);
    p.Operator(Op::Plus);
    p.LetNum(x);
    Tb.LabelTable.push_back(LabelType{50, 9999, 0});
    Tb.LabelTable.push_back(LabelType{100, line100, 0});
    Tb.NumofRegisteredLabel = 2;
    Num(label).Kind = NumVarKind::Label;
    Num(label).Base = labelled;
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(Num(x).Value, 15.0L);
    EXPECT_EQ(FindLabel(100), line100);
    EXPECT_EQ(FindLabel(50), 9999);
    EXPECT_EQ(FindLabel(70), 0);
}

TEST_F(Flow, GotoToAMissingLineOrANonLabelFails) {
    Tb.LabelTable.push_back(LabelType{10, 99999, 0}); // beyond the code
    Tb.NumofRegisteredLabel = 1;
    Program missing;
    missing.Stmt(St::GOTO);
    missing.Lit(20);
    EXPECT_EQ(missing.Run(), LoopExit::Error);
    EXPECT_EQ(Fe.ErrorNumber, Err::GotoLineNumber);

    SetUp();
    Tb.LabelTable.push_back(LabelType{10, 99999, 0});
    Tb.NumofRegisteredLabel = 1;
    Program beyond;
    beyond.Stmt(St::GOTO);
    beyond.Lit(10);
    EXPECT_EQ(beyond.Run(), LoopExit::Error);
    EXPECT_EQ(Fe.ErrorNumber, Err::GotoLineNumber);

    SetUp();
    const int plain = NewNum("V");
    Program notLabel;
    notLabel.Stmt(St::GOTO);
    notLabel.Var(plain);
    EXPECT_EQ(notLabel.Run(), LoopExit::Error);
    EXPECT_EQ(Fe.ErrorNumber, Err::NoSuchLabel);

    SetUp();
    const int far = NewNum("F");
    Num(far).Kind = NumVarKind::Label;
    Num(far).Base = 99999;
    Program farLabel;
    farLabel.Stmt(St::GOSUB);
    farLabel.Var(far);
    EXPECT_EQ(farLabel.Run(), LoopExit::Error);
    EXPECT_EQ(Fe.ErrorNumber, Err::NoSuchLabel);
    EXPECT_EQ(Ps.GosubStackCount, 1); // a failed GOSUB leaves its return address
}

// GOSUB nested `limit` deep: the subroutine counts and calls itself until C reaches the limit.
LoopExit NestedGosubs(int limit, int& counter) {
    counter = NewNum("C");
    const int lim = NewNum("LIM", limit);
    const int after = NewNum("AFTER");
    Program p;
    p.Stmt(St::GOSUB);
    const int call = p.Target(0);
    p.Colon();
    p.Lit(1); // after the outermost RETURN
    p.LetNum(after);
    p.Stmt(St::END);
    p.Eol();
    const int sub = p.Var(counter);
    p.Patch(call, sub);
    p.Lit(1);
    p.Operator(Op::Plus);
    p.LetNum(counter);
    p.Var(counter);
    p.Var(lim);
    p.Operator(Op::Less);
    p.Stmt(St::IF);
    const int skip = p.Target(0);
    p.Colon();
    p.Stmt(St::GOSUB);
    p.Target(sub);
    p.Colon();
    p.Patch(skip, p.Stmt(St::RETURN));
    p.Eol();
    const LoopExit exit = p.Run();
    if (Fe.ErrorNumber == 0) {
        EXPECT_EQ(Num(after).Value, 1.0L);
    }
    return exit;
}

TEST_F(Flow, GosubNestsAHundredDeepAndRefusesTheNext) {
    int counter = 0;
    EXPECT_EQ(NestedGosubs(100, counter), LoopExit::End);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Num(counter).Value, 100.0L);
    EXPECT_EQ(Ps.GosubStackCount, 0);

    SetUp();
    EXPECT_EQ(NestedGosubs(101, counter), LoopExit::Error);
    EXPECT_EQ(Fe.ErrorNumber, Err::ReturnStackFull);
    EXPECT_EQ(Num(counter).Value, 100.0L);
}

TEST_F(Flow, ReturnWithoutGosubFails) {
    Program p;
    p.Stmt(St::RETURN);
    EXPECT_EQ(p.Run(), LoopExit::Error);
    EXPECT_EQ(Fe.ErrorNumber, Err::ReturnStackEmpty);
}

TEST_F(Flow, EndStopsTheRunAtOnce) {
    const int x = NewNum("X");
    Program p;
    p.Stmt(St::END);
    p.Eol();
    p.Lit(1);
    p.LetNum(x);
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(Num(x).Value, 0.0L);
}

TEST_F(Flow, DeclarationsAreSteppedOverAtRunTime) {
    const int x = NewNum("X");
    Program p;
    p.Stmt(St::DATA);
    p.Lit(1);
    p.SLit(QStringLiteral("a"));
    p.Eol();
    p.Stmt(St::DEF);
    p.Item(CodeKind::NumArgBind, 1);
    p.Item(CodeKind::FrameCountN, 1);
    p.Item(CodeKind::FrameCountS, 0);
    p.Item(CodeKind::LocalNumVar, 1);
    p.Stmt(InSt::ReturnFromFunction);
    p.Colon();
    p.Stmt(St::DIM);
    p.Var(x);
    p.Eol();
    p.Lit(3);
    p.LetNum(x);
    p.Stmt(St::DATA); // the last statement: the skip stops at the end item
    p.Lit(2);
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(Num(x).Value, 3.0L);
    EXPECT_EQ(ValueStackCount, 0);
}

// ---- SELECT CASE tests --------------------------------------------------------------------------------

TEST_F(Flow, RelationalCaseTestsCompareTheSelectorWithTheValue) {
    struct Case {
        int code;
        Extended x, selector;
        bool match;
    };
    const Case cases[] = {
        {ParseCode::CaseEqual, 3, 3, true},        {ParseCode::CaseEqual, 3, 4, false},
        {ParseCode::CaseNotEqual, 3, 4, true},     {ParseCode::CaseNotEqual, 3, 3, false},
        {ParseCode::CaseLess, 5, 4, true},         {ParseCode::CaseLess, 5, 5, false},
        {ParseCode::CaseLessEqual, 5, 5, true},    {ParseCode::CaseLessEqual, 5, 6, false},
        {ParseCode::CaseGreater, 5, 6, true},      {ParseCode::CaseGreater, 5, 5, false},
        {ParseCode::CaseGreaterEqual, 5, 5, true}, {ParseCode::CaseGreaterEqual, 5, 4, false},
    };
    for (const Case& c : cases) {
        const bool jumped = Jumps([&] {
            GlPushNum(c.x);
            GlPushNum(c.selector);
            ExecCaseCompare(c.code);
        });
        EXPECT_EQ(!jumped, c.match) << c.code << " " << c.x << " " << c.selector;
        EXPECT_EQ(ValueStackCount, 0);
    }
    // Strings compare by UTF-16 code units: a surrogate pair sorts before U+FF01.
    EXPECT_FALSE(Jumps([] {
        GlPushStr(QStringLiteral("\uFF01"));
        GlPushStr(QString::fromUtf8("\xF0\x9F\x98\x80"));
        ExecCaseCompare(ParseCode::CaseLess);
    }));
    EXPECT_FALSE(Jumps([] {
        GlPushStr(QStringLiteral("B"));
        GlPushStr(QStringLiteral("a"));
        ExecCaseCompare(ParseCode::CaseGreater);
    }));
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

TEST_F(Flow, RelationalCaseTestsRefuseMixedAndBooleanValues) {
    GlPushStr(QStringLiteral("1"));
    GlPushNum(1);
    ExecCaseCompare(ParseCode::CaseEqual);
    EXPECT_EQ(Fe.ErrorNumber, Err::CaseTypeMismatch);

    SetUp();
    GlPushBool(true);
    GlPushBool(true);
    ExecCaseCompare(ParseCode::CaseEqual);
    EXPECT_EQ(Fe.ErrorNumber, Err::CaseTypeMismatch);

    SetUp(); // a value of no comparable type on top: nothing popped, no match
    EXPECT_TRUE(Jumps([] {
        GlPushNum(1);
        GlPushNumArray(1);
        ExecCaseCompare(ParseCode::CaseEqual);
    }));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 2);
}

TEST_F(Flow, CaseListPopsEveryValueEvenAfterAMatch) {
    EXPECT_FALSE(Jumps([] {
        GlPushNum(99); // below the CASE: must survive
        GlPushNum(1);
        GlPushNum(3);
        GlPushNum(3);
        GlPushNum(3); // selector
        GlPushNum(3); // count
        ExecSelectCaseNum();
    }));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    ASSERT_EQ(ValueStackCount, 1);
    EXPECT_EQ(GlPopNum(), 99.0L);

    EXPECT_TRUE(Jumps([] {
        GlPushStr(QStringLiteral("a"));
        GlPushStr(QStringLiteral("b"));
        GlPushStr(QStringLiteral("A"));
        GlPushNum(2);
        ExecSelectCaseNum();
    }));
    EXPECT_FALSE(Jumps([] {
        GlPushBool(false);
        GlPushBool(false);
        GlPushNum(1);
        ExecSelectCaseNum();
    }));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 0);
}

TEST_F(Flow, CaseListFailures) {
    GlPushNum(1);
    GlPushStr(QStringLiteral("1"));
    GlPushNum(1);
    ExecSelectCaseNum();
    EXPECT_EQ(Fe.ErrorNumber, Err::CaseTypeMismatch);

    SetUp();
    GlPushNum(1);
    GlPushNum(1);
    GlPushStr(QStringLiteral("1")); // the count must be a number
    ExecSelectCaseNum();
    EXPECT_EQ(Fe.ErrorNumber, Err::UnexpectedParseError);

    SetUp(); // a selector of no comparable type comes off alone and does not match
    EXPECT_TRUE(Jumps([] {
        GlPushNum(5);
        GlPushStrArray(2);
        GlPushNum(1);
        ExecSelectCaseNum();
    }));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 1);
}

TEST_F(Flow, CaseRangeIncludesBothBounds) {
    auto range = [](Extended low, Extended high, Extended x) {
        return !Jumps([&] {
            GlPushNum(low);
            GlPushNum(high);
            GlPushNum(x);
            ExecSelectCaseRange();
        });
    };
    EXPECT_TRUE(range(1, 5, 1));
    EXPECT_TRUE(range(1, 5, 5));
    EXPECT_FALSE(range(1, 5, 5.5));
    EXPECT_FALSE(range(1, 5, 0));
    auto strRange = [](const char* low, const char* high, const char* x) {
        return !Jumps([&] {
            GlPushStr(QString::fromLatin1(low));
            GlPushStr(QString::fromLatin1(high));
            GlPushStr(QString::fromLatin1(x));
            ExecSelectCaseRange();
        });
    };
    EXPECT_TRUE(strRange("apple", "cherry", "banana"));
    EXPECT_FALSE(strRange("apple", "cherry", "Banana"));
    // A lower bound that sorts after the upper one never matches.
    EXPECT_FALSE(strRange("m", "c", "m"));
    EXPECT_FALSE(strRange("m", "c", "c"));
    EXPECT_FALSE(strRange("m", "c", "f"));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 0);

    GlPushBool(false);
    GlPushBool(true);
    GlPushBool(true);
    ExecSelectCaseRange();
    EXPECT_EQ(Fe.ErrorNumber, Err::CaseTypeMismatch);
    SetUp();
    GlPushNum(1);
    GlPushStr(QStringLiteral("5"));
    GlPushNum(3);
    ExecSelectCaseRange();
    EXPECT_EQ(Fe.ErrorNumber, Err::CaseTypeMismatch);
}

// ---- STOP, RUN, ECHO, CHKMSG, BEEP, SLEEP -------------------------------------------------------------

TEST_F(Flow, StopEndsTheRunResumableAfterTheStatement) {
    const int x = NewNum("X");
    Program p;
    const int stop = p.Stmt(St::STOP);
    p.Eol();
    p.Lit(1);
    p.LetNum(x);
    EXPECT_EQ(p.Run(), LoopExit::Stop);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Num(x).Value, 0.0L);
    EXPECT_EQ(Rc.ResumePC, stop + 2);
    EXPECT_EQ(Ib.CodeIndex, stop + 2); // what the end of the run stores as the resume point

    // A STOP typed as an immediate command keeps the stopped program's resume point.
    SetUp();
    Rc.ResumePC = 500;
    Rc.RunMode = RunKind::Immediate;
    Program typed;
    typed.Stmt(St::STOP);
    typed.Eol();
    EXPECT_EQ(typed.Run(), LoopExit::Stop);
    EXPECT_EQ(Rc.ResumePC, 500);
}

TEST_F(Flow, RunLeavesTheLoopToCompileAfresh) {
    Program p;
    p.Stmt(St::RUN);
    EXPECT_EQ(p.Run(), LoopExit::Run);
    EXPECT_EQ(Rc.RunMode, RunKind::Rerun);
    EXPECT_EQ(Rc.ProgramRunning, 1);
    EXPECT_EQ(Rc.ContinueFlag, 0);
}

TEST_F(Flow, EchoAndChkmsgTakeOnOrOffAndIgnoreAnythingElse) {
    Program p;
    p.Stmt(St::ECHO);
    p.Stmt(St::OFF);
    p.Stmt(St::CHKMSG);
    p.Stmt(St::ON);
    Rc.EchoOn = 1;
    Rc.ExitMessageCheck = 0;
    EXPECT_EQ(p.Run(), LoopExit::End);
    EXPECT_EQ(Rc.EchoOn, 0);
    EXPECT_EQ(Rc.ExitMessageCheck, 1);

    Program other;
    other.Stmt(St::ECHO);
    other.Lit(1); // consumed, and changes nothing
    other.Stmt(St::CHKMSG);
    other.Stmt(St::PRINT);
    EXPECT_TRUE(other.RunsToTheEnd());
    EXPECT_EQ(Rc.EchoOn, 0);
    EXPECT_EQ(Rc.ExitMessageCheck, 1);
    EXPECT_EQ(ValueStackCount, 0);
    Rc.EchoOn = 1;
}

TEST_F(Flow, BeepGoesThroughTheUserInterfaceHook) {
    static int beeps = 0;
    beeps = 0;
    ExecBeep(); // no hook: silent, no error
    EXPECT_EQ(Fe.ErrorNumber, 0);
    QObject target;
    SetHandOverTarget(&target);
    Hooks.BeepHook = [] { ++beeps; };
    ExecBeep();
    SetHandOverTarget(nullptr);
    EXPECT_EQ(beeps, 1);
}

double SleepSeconds(Extended ms) {
    GlPushNum(ms);
    const auto start = Clock::now();
    ExecSleep();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST_F(Flow, SleepWaitsWholeMillisecondsAndNeverForNegativeTimes) {
    EXPECT_LT(SleepSeconds(0.9), 0.05);
    EXPECT_LT(SleepSeconds(-1000), 0.05);
    EXPECT_GE(SleepSeconds(60), 0.059);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 0);

    GlPushStr(QStringLiteral("10"));
    ExecSleep();
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::SLEEP);
}

TEST_F(Flow, SleepWakesOnAStopRequest) {
    std::thread stopper([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        Rc.StopRequest = 1;
    });
    const double waited = SleepSeconds(1e300); // capped, and cut short by the stop
    stopper.join();
    EXPECT_LT(waited, 1.0);
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

// ---- SUB and FUNCTION ---------------------------------------------------------------------------------

TEST_F(Flow, SubArgumentsByReferenceComeBackAndByValueAreDropped) {
    // SUB S(X, Y): X = X + Y: END SUB / A = 1: CALL S(A, 5): B = 7
    const int subName = NewNum("S");
    const int x = NewNum("X");
    const int y = NewNum("Y");
    const int a = NewNum("A", 1);
    const int b = NewNum("B");
    Num(subName).Kind = NumVarKind::SubName;
    Program p;
    int skip = 0;
    Program::Frame frame;
    frame.NumFirst = x;
    frame.NumLast = y;
    Num(subName).Base = p.Header(InSt::SubStart, frame, {NumParam(x), NumParam(y)}, skip);
    p.Var(x);
    p.Var(y);
    p.Operator(Op::Plus);
    p.LetNum(x);
    p.EndSub({NumParam(x), NumParam(y)}, skip);
    p.Call(subName,
           [&] {
               p.Var(a);
               p.Lit(5);
           },
           {NumParam(a), ByValue()});
    p.Lit(7);
    p.LetNum(b);
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(Num(a).Value, 6.0L);
    EXPECT_EQ(Num(b).Value, 7.0L);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Vs.CallFrameStack.Count, 0);
    EXPECT_EQ(Vs.CallReturnStack.Count, 0);
    EXPECT_EQ(Vs.LoTypeStack.Count, 0);
}

TEST_F(Flow, ARecursiveSubSeesItsOwnVariablesAfterTheInnerCall) {
    // SUB R(N): K = N * 10: L(0) = N: IF N > 0 THEN CALL R(N - 1): T = T + K + L(0): END SUB
    // CALL R(3) gives T = 11 * (3 + 2 + 1 + 0) only if K and L(0) are restored after each call.
    const int t = NewNum("T");
    const int subName = NewNum("R");
    const int n = NewNum("N");
    const int k = NewNum("K");
    const int l = NewNumArray("L", {2});
    Num(subName).Kind = NumVarKind::SubName;
    Program p;
    int skip = 0;
    Program::Frame frame;
    frame.NumFirst = n;
    frame.NumLast = l;
    Num(subName).Base = p.Header(InSt::SubStart, frame, {NumParam(n)}, skip);
    p.Var(n);
    p.Lit(10);
    p.Operator(Op::Multiply);
    p.LetNum(k);
    p.Var(n);
    p.Lit(0);
    p.LetNum(l);
    p.Var(n);
    p.Lit(0);
    p.Operator(Op::Greater);
    p.Stmt(St::IF);
    const int noCall = p.Target(0);
    p.Colon();
    p.Call(subName,
           [&] {
               p.Var(n);
               p.Lit(1);
               p.Operator(Op::Minus);
           },
           {ByValue()});
    p.Patch(noCall, p.Var(t));
    p.Var(k);
    p.Operator(Op::Plus);
    p.Lit(0);
    p.Var(l);
    p.Operator(Op::Plus);
    p.LetNum(t);
    p.EndSub({NumParam(n)}, skip);
    p.Call(subName, [&] { p.Lit(3); }, {ByValue()});
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(Num(t).Value, 66.0L);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Vs.LoTypeStack.Count, 0);
    EXPECT_EQ(Vs.CallFrameStack.Count, 0);
}

TEST_F(Flow, SaveAndRestoreLeaveTheCallersArrayAlone) {
    const int flag = NewBool("F", true);
    const int flags = NewBoolArray("FA", {1});
    const int x = NewNum("X", 4);
    const int own = NewNumArray("O", {2});
    const int param = NewNum("P");
    const int s = NewStr("S", QStringLiteral("s"));
    const int caller = NewNumArray("C", {1}); // outside the frame
    Tb.ABoolVarTable[static_cast<std::size_t>(Bool(flags).Base + 1)] = -1;
    NumElement(own, 2) = 8;
    NumElement(caller, 0) = 1;
    // P is an array parameter naming C.
    Num(param).ArrayParam = 1;
    Num(param).Kind = NumVarKind::Array;
    Num(param).DimCount = 1;
    Num(param).Bounds = Num(caller).Bounds;
    Num(param).Base = Num(caller).Base;
    Num(param).Value = 3;
    CallFrameType frame;
    frame.W1 = flag - 1;
    frame.W2 = flags;
    frame.W3 = x - 1;
    frame.W4 = param;
    frame.W5 = s - 1;
    frame.W6 = s;
    PushCallFrame(frame);

    SaveLocals();
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Vs.LoTypeStack.Count, 1 + 2 + 1 + 3 + 1 + 1);
    Bool(flag).Value = 0;
    Tb.ABoolVarTable[static_cast<std::size_t>(Bool(flags).Base + 1)] = 0;
    Num(x).Value = 0;
    NumElement(own, 2) = 0;
    Num(param).Value = 0;
    NumElement(caller, 0) = 2;
    Str(s).Value = QStringLiteral("changed");
    RestoreLocals();
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Vs.LoTypeStack.Count, 0);
    EXPECT_EQ(Bool(flag).Value, 1);
    EXPECT_EQ(Tb.ABoolVarTable[static_cast<std::size_t>(Bool(flags).Base + 1)], -1);
    EXPECT_EQ(Num(x).Value, 4.0L);
    EXPECT_EQ(NumElement(own, 2), 8.0L);
    EXPECT_EQ(Num(param).Value, 3.0L);
    EXPECT_EQ(NumElement(caller, 0), 2.0L); // the caller's element keeps its new value
    EXPECT_EQ(Str(s).Value, QStringLiteral("s"));
}

TEST_F(Flow, SaveAndRestoreDoNothingWithoutAFrame) {
    LoPushNum(42);
    SaveLocals();
    RestoreLocals();
    EXPECT_EQ(Fe.ErrorNumber, 0);
    ASSERT_EQ(Vs.LoTypeStack.Count, 1);
    EXPECT_EQ(LoPopNum(), 42.0L);
}

TEST_F(Flow, AnArrayParameterWorksOnTheCallersArray) {
    // SUB Z(A()): A(1) = 5: END SUB / CALL Z(B())
    const int subName = NewNum("Z");
    const int a = NewNum("A");
    const int b = NewNumArray("B", {3});
    Num(subName).Kind = NumVarKind::SubName;
    Num(a).Kind = NumVarKind::ArrayParameter;
    Num(a).ArrayParam = 1;
    const CodeItemType arrayParam{CodeKind::NumArray, a, 0};
    Program p;
    int skip = 0;
    Program::Frame frame;
    frame.NumFirst = a;
    frame.NumLast = a;
    Num(subName).Base = p.Header(InSt::SubStart, frame, {arrayParam}, skip);
    p.Lit(5);
    p.Lit(1);
    p.LetNum(a);
    p.EndSub({arrayParam}, skip);
    p.Call(subName, [&] { p.Item(CodeKind::NumArray, b); }, {ByValue()});
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(NumElement(b, 1), 5.0L);
    EXPECT_EQ(ValueStackCount, 0);
}

TEST_F(Flow, ARecursiveFunctionReturnsItsValue) {
    // FUNCTION F(N): IF N <= 1 THEN F = 1 ELSE F = N * F(N - 1): END FUNCTION / R = F(6)
    const int f = NewNum("F");
    const int n = NewNum("N");
    const int r = NewNum("R");
    Num(f).Kind = NumVarKind::FunctionName;
    Program p;
    int skip = 0;
    Program::Frame frame;
    frame.NumFirst = n;
    frame.NumLast = n;
    Num(f).Base = p.Header(St::FUNCTION, frame, {NumParam(n)}, skip);
    auto callF = [&](const std::function<void()>& argument) {
        argument();
        p.Stmt(InSt::LoPushAll);
        p.Stmt(InSt::SubJump);
        p.Var(f);
        p.Eol();
        p.Stmt(InSt::LoPopAll);
    };
    p.Var(n);
    p.Lit(1);
    p.Operator(Op::LessEqual);
    p.Stmt(St::IF);
    const int elsePart = p.Target(0);
    p.Colon();
    p.Lit(1);
    p.LetNum(f);
    p.Stmt(St::GOTO);
    const int endIf = p.Target(0);
    p.Patch(elsePart, p.Colon());
    p.Var(n);
    callF([&] {
        p.Var(n);
        p.Lit(1);
        p.Operator(Op::Minus);
    });
    p.Operator(Op::Multiply);
    p.LetNum(f);
    p.Patch(endIf, p.Colon());
    p.Stmt(InSt::FunctionEnd);
    p.Stmt(InSt::GlPush);
    p.Var(f);
    p.Stmt(St::ENDFUNCTION);
    p.Patch(skip, p.Next());
    callF([&] { p.Lit(6); });
    p.LetNum(r);
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(Num(r).Value, 720.0L);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Vs.LoTypeStack.Count, 0);
}

TEST_F(Flow, EndInsideASubEndsTheWholeRun) {
    const int subName = NewNum("S");
    const int x = NewNum("X");
    Num(subName).Kind = NumVarKind::SubName;
    Program p;
    int skip = 0;
    Num(subName).Base = p.Header(InSt::SubStart, Program::Frame{}, {}, skip);
    p.Stmt(St::END);
    p.Eol();
    p.EndSub({}, skip);
    p.Call(subName, [] {}, {});
    p.Lit(1);
    p.LetNum(x);
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(Num(x).Value, 0.0L);
}

TEST_F(Flow, CallingSomethingThatIsNoSubFails) {
    const int plain = NewNum("V");
    Program p;
    p.Call(plain, [] {}, {});
    EXPECT_EQ(p.Run(), LoopExit::Error);
    EXPECT_EQ(Fe.ErrorNumber, Err::SubCallFailed);

    SetUp();
    const int far = NewNum("S");
    Num(far).Kind = NumVarKind::SubName;
    Num(far).Base = 99999;
    Program beyond;
    beyond.Call(far, [] {}, {});
    EXPECT_EQ(beyond.Run(), LoopExit::Error);
    EXPECT_EQ(Fe.ErrorNumber, Err::SubCallFailed);
}

TEST_F(Flow, AnArgumentOfTheWrongTypeIsRefusedAndLeftOnTheStack) {
    const int x = NewNum("X");
    InitCode();
    SetCodeItem(199, CodeItemType{});
    SetCodeItem(ProgramCodeStart, CodeItemType{CodeKind::NumVar, x, 0});
    Ib.CodeLimit = 199;
    Ib.CodeIndex = ProgramCodeStart;
    GlPushStr(QStringLiteral("1"));
    BindArgument();
    EXPECT_EQ(Fe.ErrorNumber, Err::CallArgumentType);
    EXPECT_EQ(ValueStackCount, 1);
}

TEST_F(Flow, EndlessSubRecursionStopsWithACallStackError) {
    // SUB Q: CALL Q: END SUB / CALL Q
    const int subName = NewNum("Q");
    Num(subName).Kind = NumVarKind::SubName;
    Program p;
    int skip = 0;
    Num(subName).Base = p.Header(InSt::SubStart, Program::Frame{}, {}, skip);
    p.Call(subName, [] {}, {});
    p.EndSub({}, skip);
    p.Call(subName, [] {}, {});
    EXPECT_EQ(p.Run(), LoopExit::Error);
    EXPECT_TRUE(Fe.ErrorNumber == Err::CallReturnOverflow || Fe.ErrorNumber == Err::CallFrameOverflow)
        << Fe.ErrorNumber;
}

TEST_F(Flow, SavingHugeLocalsAtDepthIsRefusedBeforeMemoryRunsOut) {
    const int big = NewNumArray("BIG", {MaxSavedLocals / 2});
    CallFrameType frame;
    frame.W3 = big - 1;
    frame.W4 = big;
    PushCallFrame(frame);
    SaveLocals();
    EXPECT_EQ(Fe.ErrorNumber, 0);
    SaveLocals();
    EXPECT_EQ(Fe.ErrorNumber, Err::StackOutOfMemory);
    EXPECT_EQ(Vs.LoTypeStack.Count, MaxSavedLocals / 2 + 1); // the refused save pushed nothing
}

// ---- DEF functions ------------------------------------------------------------------------------------

// DEF name(X) = body, where `body` writes the expression over the local slot 1.
int DefNumFunction(Program& p, int numLocals, int strLocals, const std::function<void()>& body) {
    p.Stmt(St::DEF);
    const int entry = p.Next();
    for (int slot = numLocals; slot >= 1; --slot)
        p.Item(CodeKind::NumArgBind, slot);
    for (int slot = strLocals; slot >= 1; --slot)
        p.Item(CodeKind::StrArgBind, slot);
    p.Item(CodeKind::FrameCountN, numLocals);
    p.Item(CodeKind::FrameCountS, strLocals);
    body();
    p.Stmt(InSt::ReturnFromFunction);
    p.Colon();
    return entry;
}

TEST_F(Flow, NestedDefCallsKeepEachFrameApart) {
    // DEF F(X) = X * 2 / DEF G(X) = F(X + 1) + X / R = G(3) + G(10)
    const int f = NewNum("F");
    const int g = NewNum("G");
    const int r = NewNum("R");
    Num(f).Kind = NumVarKind::DefFunction;
    Num(g).Kind = NumVarKind::DefFunction;
    Program p;
    Num(f).Base = DefNumFunction(p, 1, 0, [&] {
        p.Item(CodeKind::LocalNumVar, 1);
        p.Lit(2);
        p.Operator(Op::Multiply);
    });
    Num(g).Base = DefNumFunction(p, 1, 0, [&] {
        p.Item(CodeKind::LocalNumVar, 1);
        p.Lit(1);
        p.Operator(Op::Plus);
        p.Var(f);
        p.Item(CodeKind::LocalNumVar, 1);
        p.Operator(Op::Plus);
    });
    p.Lit(3);
    p.Var(g);
    p.Lit(10);
    p.Var(g);
    p.Operator(Op::Plus);
    p.LetNum(r);
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(Num(r).Value, 11.0L + 32.0L);
    EXPECT_EQ(Ps.NumFrameBase, 0);
    EXPECT_EQ(Ps.StrFrameBase, 0);
    EXPECT_EQ(Ps.SubCallStackCount, 1);
    EXPECT_EQ(Ps.SubReturnStackCount, 0);
    EXPECT_EQ(ValueStackCount, 0);
}

TEST_F(Flow, StringDefFunctionsWithTwoParameters) {
    // DEF J$(A$, N) = A$ + STR-free join: A$ + A$ when N > 0 is not needed; J$(A$, N) = A$ + "!"
    const int j = NewStr("J");
    const int out = NewStr("OUT");
    Str(j).Kind = StrVarKind::DefFunction;
    Program p;
    p.Stmt(St::DEF);
    Str(j).Base = p.Next();
    p.Item(CodeKind::NumArgBind, 1);
    p.Item(CodeKind::StrArgBind, 1);
    p.Item(CodeKind::FrameCountN, 1);
    p.Item(CodeKind::FrameCountS, 1);
    p.Item(CodeKind::LocalStrVar, 1);
    p.SLit(QStringLiteral("!"));
    p.Operator(Op::Plus);
    p.Stmt(InSt::ReturnFromFunction);
    p.Colon();
    p.SLit(QStringLiteral("hi"));
    p.Lit(1);
    p.SVar(j);
    p.Let(CodeKind::StrVar, out);
    EXPECT_TRUE(p.RunsToTheEnd());
    EXPECT_EQ(Str(out).Value, QStringLiteral("hi!"));
    EXPECT_EQ(ValueStackCount, 0);
}

TEST_F(Flow, EndlessDefRecursionStopsWithReturnStackFull) {
    // DEF H(X) = H(X + 1): every level needs a new local slot, far past the table the compiler made.
    const int h = NewNum("H");
    Num(h).Kind = NumVarKind::DefFunction;
    Program p;
    Num(h).Base = DefNumFunction(p, 1, 0, [&] {
        p.Item(CodeKind::LocalNumVar, 1);
        p.Lit(1);
        p.Operator(Op::Plus);
        p.Var(h);
    });
    p.Lit(1);
    p.Var(h);
    p.Stmt(St::PRINT);
    EXPECT_EQ(p.Run(), LoopExit::Error);
    EXPECT_EQ(Fe.ErrorNumber, Err::ReturnStackFull);
    EXPECT_GE(Tb.LocalNumVarTable.size(), static_cast<std::size_t>(SubCallStackSize));
}

TEST_F(Flow, DefArgumentsAndFrameSizesAreChecked) {
    InitCode();
    SetCodeItem(199, CodeItemType{});
    Ib.CodeLimit = 199;
    GlPushStr(QStringLiteral("x"));
    StoreNumArgument(1);
    EXPECT_EQ(Fe.ErrorNumber, Err::TypeMismatch);
    Fe.ErrorNumber = 0;
    GlClear();
    GlPushNum(1);
    StoreStrArgument(1);
    EXPECT_EQ(Fe.ErrorNumber, Err::TypeMismatch);

    SetUp();
    InitCode();
    SetCodeItem(399, CodeItemType{});
    Ib.CodeLimit = 399;
    Ib.CodeIndex = ProgramCodeStart;
    for (int i = 2; i <= SubCallStackSize; ++i)
        PushFrameSizes(1);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Ps.SubCallStackCount, SubCallStackSize);
    PushFrameSizes(1);
    EXPECT_EQ(Fe.ErrorNumber, Err::ReturnStackFull);

    SetUp();
    ReturnFromFunction();
    EXPECT_EQ(Fe.ErrorNumber, Err::ReturnStackEmpty);
}

TEST_F(Flow, ABooleanFunctionNameInAnExpressionIsRefused) {
    const int b = NewBool("B");
    Bool(b).Kind = BoolVarKind::UserFunction;
    Program p;
    p.BVar(b);
    EXPECT_EQ(p.Run(), LoopExit::Error);
    EXPECT_EQ(Fe.ErrorNumber, Err::TypeMismatch);
}

// ---- services -----------------------------------------------------------------------------------------

TEST_F(Flow, ReturnStacksHaveTheirLimits) {
    for (int i = 1; i <= GosubStackSize; ++i)
        PushGosubReturn(i);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    PushGosubReturn(0);
    EXPECT_EQ(Fe.ErrorNumber, Err::ReturnStackFull);
    EXPECT_EQ(PopGosubReturn(), GosubStackSize);
    Fe.ErrorNumber = 0;
    while (Ps.GosubStackCount > 0)
        PopGosubReturn();
    EXPECT_EQ(PopGosubReturn(), 0);
    EXPECT_EQ(Fe.ErrorNumber, Err::ReturnStackEmpty);

    SetUp();
    for (int i = 1; i <= SubReturnStackSize; ++i)
        PushSubReturn(i);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    PushSubReturn(0);
    EXPECT_EQ(Fe.ErrorNumber, Err::ReturnStackFull);
    EXPECT_EQ(Ps.SubReturnStackCount, SubReturnStackSize);
}

TEST_F(Flow, BooleanNumbers) {
    EXPECT_TRUE(NumberToBoolean(-1));
    EXPECT_FALSE(NumberToBoolean(0));
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_FALSE(NumberToBoolean(1));
    EXPECT_EQ(Fe.ErrorNumber, Err::NotABoolean);
    EXPECT_EQ(BooleanToNumber(true), -1);
    EXPECT_EQ(BooleanToNumber(false), 0);
}

TEST_F(Flow, OffsetsBecomeLinesAndColumnsByLineFeeds) {
    Fe.CompiledProgramText = QStringLiteral("AB\r\nCD\r\nEF");
    int line = 0, column = 0;
    OffsetToLineCol(1, line, column);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(column, 1);
    OffsetToLineCol(0, line, column);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(column, 0);
    OffsetToLineCol(5, line, column); // "C"
    EXPECT_EQ(line, 2);
    EXPECT_EQ(column, 1);
    OffsetToLineCol(100, line, column); // lowered to the last character, "F"
    EXPECT_EQ(line, 3);
    EXPECT_EQ(column, 2);
    Fe.CompiledProgramText.clear();
}

TEST_F(Flow, SkipToStatementEndStopsAtTheEndAndLeavesIt) {
    Program p;
    p.Lit(1);
    const int last = p.SLit(QStringLiteral("x"));
    const int colon = p.Colon();
    p.Lit(2);
    p.Run(); // places the code (and runs it: two values stay on the stack)
    Ib.CodeIndex = ProgramCodeStart;
    CodeItemType item;
    SkipToStatementEnd(item);
    EXPECT_EQ(Ib.CodeIndex, colon);
    EXPECT_EQ(item.FirstCode, CodeKind::StrLiteral);
    EXPECT_EQ(item.Position, last);
    Ib.CodeIndex = colon + 1;
    SkipToStatementEnd(item);
    EXPECT_EQ(Ib.CodeIndex, colon + 2); // the end item
    EXPECT_EQ(item.FirstCode, CodeKind::NumLiteral);
    Ib.CodeIndex = colon;
    SkipToStatementEnd(item);
    EXPECT_EQ(Ib.CodeIndex, colon);
    EXPECT_EQ(item, (CodeItemType{CodeKind::Operator, Op::Colon, 0}));
    EXPECT_TRUE(IsStatementEnd(CodeItemType{}));
    EXPECT_TRUE(IsStatementEnd(CodeItemType{CodeKind::Operator, Op::LineEnd, 0}));
    EXPECT_FALSE(IsStatementEnd(CodeItemType{CodeKind::Operator, Op::Comma, 0}));
}

} // namespace
