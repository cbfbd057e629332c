// The INPUT dialog and the input statements: captions and layouts, OK, Enter, Cancel and Escape, answers
// given in advance, the echo lines in the run window, INPUT and LINE INPUT asked from an interpreter
// thread through the hand-over (retry on a bad number, Cancel and CONT), the field rules of the typed
// line, READ and RESTORE over DATA, and RANDOMIZE.
#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/dispatch.h"
#include "engine/enginehooks.h"
#include "engine/enginestate.h"
#include "engine/fileexec.h"
#include "engine/flowexec.h"
#include "engine/handover.h"
#include "engine/inputexec.h"
#include "engine/numfunctions.h"
#include "engine/printline.h"
#include "engine/runwindowqueue.h"
#include "frontend/initall.h"
#include "tests/codeitems.h"
#include "tests/compiletext.h"
#include "tests/testsupport.h"
#include "ui/inputform.h"
#include "ui/runform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

namespace {

// ---- code items ------------------------------------------------------------------------------------

CodeItemType Oper(int slot) {
    return {CodeKind::Operator, slot, 0};
}
CodeItemType PubNum() {
    return {CodeKind::PublicNum, 1, 0};
}
CodeItemType DefaultPrompt() {
    return {CodeKind::SysStrConst, 2, 0};
}

Extended NumValue(int index) {
    return Tb.NumVarTable[static_cast<std::size_t>(index)].Value;
}
QString StrValue(int index) {
    return Tb.StrVarTable[static_cast<std::size_t>(index)].Value;
}

void ResetEngine() {
    ResetInterpreter();
    Rc.StopRequest = 0;
    Rc.RunMode = RunKind::Program;
    Eng.PrintLine.clear();
    Eng.InputPrompt.clear();
    RunWindowQueue::Instance().Reset();
}

const QString WaitingSuffix = QStringLiteral(": 入力中>");

// ---- the dialog on its own ---------------------------------------------------------------------------

class InputDialog : public ::testing::Test {
protected:
    void SetUp() override {
        Rc.StopRequest = 0;
        Win.ScriptedInputAnswers.clear();
    }
    void TearDown() override {
        Rc.StopRequest = 0;
        Win.ScriptedInputAnswers.clear();
    }

    // What a fresh dialog leaves when `typed` is typed into it and `close` closes it.
    struct Closing {
        bool Accepted;
        int Result;
        QString Answer;
        int StopRequest;
    };
    template <typename Close> static Closing TypeAndClose(const QString& typed, Close close) {
        TInputNumForm form(InputDialogRequest{});
        form.show();
        QTest::keyClicks(form.Edit1, typed);
        close(form);
        return {form.Accepted(), form.result(), form.Answer(), Rc.StopRequest};
    }
};

TEST_F(InputDialog, CaptionsAndLayoutOfInput) {
    InputDialogRequest request;
    request.Prompt = QStringLiteral("Name?");
    {
        TInputNumForm form(request);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Lorvex データ入力"));
        EXPECT_EQ(form.Label1->text(), QStringLiteral("Name?"));
        EXPECT_GT(form.Label1->x(), 0) << "the prompt keeps off the window's edge";
        EXPECT_TRUE(form.Edit1->text().isEmpty());
        EXPECT_EQ(form.Edit1->geometry(), QRect(0, 27, 160, 35));
        EXPECT_EQ(form.Button1->x(), 200);
        EXPECT_EQ(form.Button2->x(), 260);
        // Cancel keeps off the window's edge by the gap between the buttons.
        EXPECT_EQ(form.width(), 320);
        EXPECT_EQ(form.width() - form.Button2->geometry().right() - 1,
                  260 - form.Button1->geometry().right() - 1);
        EXPECT_EQ(form.Button1->text(), QStringLiteral("OK"));
        EXPECT_EQ(form.Button2->text(), QStringLiteral("Cancel"));
    }
    request.Retry = true;
    request.PreviousText = QStringLiteral("abc");
    {
        TInputNumForm form(request);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Lorvex データ入力: 再入力"));
        EXPECT_EQ(form.Edit1->text(), QStringLiteral("abc"));
    }
    request.Title = QStringLiteral("私の入力");
    {
        TInputNumForm form(request);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("私の入力: 再入力"));
    }
}

TEST_F(InputDialog, CaptionsAndLayoutOfLineInput) {
    InputDialogRequest request;
    request.LineInput = true;
    request.Prompt = QStringLiteral("?");
    request.PreviousText = QStringLiteral("old");
    {
        TInputNumForm form(request);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Lorvex 文字列行入力"));
        EXPECT_EQ(form.width(), 670);
        EXPECT_EQ(form.Edit1->width(), 510);
        EXPECT_EQ(form.Button1->x(), 550);
        EXPECT_EQ(form.Button2->x(), 610);
        EXPECT_TRUE(form.Edit1->text().isEmpty());
    }
    request.Title = QStringLiteral("Title");
    TInputNumForm form(request);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Title"));
}

TEST_F(InputDialog, PlacementAndAPromptWiderThanTheLayout) {
    InputDialogRequest request;
    request.Prompt = QString(200, QLatin1Char('W'));
    request.Positioned = true;
    request.Left = 40;
    request.Top = 50;
    TInputNumForm form(request);
    EXPECT_EQ(form.pos(), QPoint(40, 50));
    EXPECT_GT(form.width(), 320);
    // The same margin on both sides of a long prompt.
    EXPECT_GE(form.width(), 2 * form.Label1->x() + form.Label1->width());
}

TEST_F(InputDialog, AFrameWithoutButtonsThatStaysOnTheScreenAndNoAltCharacters) {
    TInputNumForm form(InputDialogRequest{});
    form.show();
    QTest::keyClicks(form.Edit1, QStringLiteral("ab"));
    QTest::keyClick(form.Edit1, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("ab"));

    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint) && flags.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint));
    // A window manager that minimises it all the same: it comes back at once.
    form.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(form.isMinimized());
    EXPECT_TRUE(PumpUntil([&form] { return !form.isMinimized(); }));
}

TEST_F(InputDialog, EnterAcceptsTheTypedText) {
    const Closing closing = TypeAndClose(
        QStringLiteral("12, 3"), [](TInputNumForm& form) { QTest::keyClick(form.Edit1, Qt::Key_Return); });
    EXPECT_TRUE(closing.Accepted);
    EXPECT_EQ(closing.Answer, QStringLiteral("12, 3"));
    EXPECT_EQ(closing.Result, QDialog::Accepted);
    EXPECT_EQ(closing.StopRequest, 0);
}

TEST_F(InputDialog, CancelAndEscapeRaiseTheStopRequest) {
    const Closing cancelled = TypeAndClose(QStringLiteral("typed"), [](TInputNumForm& form) {
        QTest::mouseClick(form.Button2, Qt::LeftButton);
    });
    EXPECT_FALSE(cancelled.Accepted);
    EXPECT_EQ(cancelled.Result, QDialog::Rejected);
    EXPECT_EQ(cancelled.StopRequest, 1);
    Rc.StopRequest = 0;
    const Closing escaped =
        TypeAndClose(QString(), [](TInputNumForm& form) { QTest::keyClick(form.Edit1, Qt::Key_Escape); });
    EXPECT_FALSE(escaped.Accepted);
    EXPECT_EQ(escaped.StopRequest, 1);
}

TEST_F(InputDialog, ModalDialogTakesWhatIsTypedAndOk) {
    QTimer::singleShot(0, [] {
        auto* form = dynamic_cast<TInputNumForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        QTest::keyClicks(form->Edit1, QStringLiteral("hello"));
        QTest::mouseClick(form->Button1, Qt::LeftButton);
    });
    QString answer;
    EXPECT_TRUE(ShowInputDialog(InputDialogRequest{}, answer));
    EXPECT_EQ(answer, QStringLiteral("hello"));
}

TEST_F(InputDialog, AStopRequestClosesAnOpenDialog) {
    QTimer::singleShot(50, [] { Rc.StopRequest = 1; });
    const auto start = std::chrono::steady_clock::now();
    QString answer = QStringLiteral("unchanged");
    EXPECT_FALSE(ShowInputDialog(InputDialogRequest{}, answer));
    EXPECT_TRUE(answer.isEmpty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(InputDialog, AnswersGivenInAdvanceAreTakenInOrder) {
    Win.ScriptedInputAnswers = {QStringLiteral("1"), QStringLiteral("two")};
    QString answer;
    EXPECT_TRUE(ShowInputDialog(InputDialogRequest{}, answer));
    EXPECT_EQ(answer, QStringLiteral("1"));
    EXPECT_TRUE(ShowInputDialog(InputDialogRequest{}, answer));
    EXPECT_EQ(answer, QStringLiteral("two"));
    EXPECT_TRUE(Win.ScriptedInputAnswers.isEmpty());
}

TEST_F(InputDialog, OkTakesTheInProgressEchoLineOutOfTheRunWindow) {
    TRunForm runForm;
    runForm.CLSBtnClick();
    FlushPrintLine(QStringLiteral("first"));
    FlushPrintLine(InputEchoInProgress(false, QStringLiteral("? ")));
    runForm.ApplyQueue();
    ASSERT_EQ(runForm.Text(), QStringLiteral("first\nInput ? ") + WaitingSuffix + QLatin1Char('\n'));
    const int lines = Rc.OutputLineCount;
    Win.ScriptedInputAnswers = {QStringLiteral("5")};
    QString answer;
    EXPECT_TRUE(ShowInputDialog(InputDialogRequest{}, answer));
    EXPECT_EQ(runForm.Text(), QStringLiteral("first\n"));
    EXPECT_EQ(Rc.OutputLineCount, lines - 1);
}

// ---- INPUT and LINE INPUT through the hand-over ---------------------------------------------------------

std::vector<InputDialogRequest> Requests; // what the dialogs were asked to show
bool CancelNext = false;                  // the next dialog is cancelled instead of answered

bool RecordingDialog(const InputDialogRequest& request, QString& answer) {
    Requests.push_back(request);
    if (CancelNext) {
        CancelNext = false;
        TInputNumForm form(request);
        form.Button2Click();
        return false;
    }
    return ShowInputDialog(request, answer);
}

class InputStatement : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngine();
        ReopenHandOver();
        runForm_ = std::make_unique<TRunForm>();
        runForm_->CLSBtnClick();
        InstallInputDialog();
        Hooks.ShowInputDialogHook = &RecordingDialog;
        Requests.clear();
        CancelNext = false;
        Win.ScriptedInputAnswers.clear();
    }
    void TearDown() override {
        InstallInputDialog();
        Win.ScriptedInputAnswers.clear();
        runForm_.reset();
        Rc.StopRequest = 0;
        Rc.RunMode = RunKind::Program;
    }
    // Runs the items on an interpreter thread while this thread serves the hand-over.
    void RunOnInterpreter() {
        std::atomic<bool> done{false};
        std::thread interpreter([&] {
            RunItems();
            done = true;
        });
        PumpUntil([&done] { return done.load(); });
        if (!done) CancelHandOver();
        interpreter.join();
        ASSERT_TRUE(done) << "the interpreter thread did not finish";
        runForm_->ApplyQueue();
    }
    QString Screen() const { return runForm_->Text(); }

    std::unique_ptr<TRunForm> runForm_;
};

// INPUT "Name"; A$
TEST_F(InputStatement, PromptWithSemicolonGetsAQuestionMarkAndTheAnswerIsEchoed) {
    const int a = NewStr();
    Program({Stmt(St::INPUT), Oper(Op::Semicolon), Str(QStringLiteral("Name")), Stmt(InSt::InputStrField),
             Colon(), PubStr(), Stmt(St::LET), StrVar(a), Colon(), LineEnd()});
    Win.ScriptedInputAnswers = {QStringLiteral("Taro")};
    RunOnInterpreter();
    ASSERT_EQ(Fe.ErrorNumber, 0);
    ASSERT_EQ(Requests.size(), 1u);
    EXPECT_EQ(Requests[0].Prompt, QStringLiteral("Name?"));
    EXPECT_FALSE(Requests[0].LineInput);
    EXPECT_EQ(StrValue(a), QStringLiteral("Taro"));
    EXPECT_EQ(Ps.InputResult, QStringLiteral("Taro"));
    EXPECT_EQ(Screen(), QStringLiteral("\nInput Name? Taro\n"));
}

// PRINT "Age: ";  then  INPUT A
TEST_F(InputStatement, TextPrintedJustBeforeStaysOnTheFinalEchoLine) {
    const int a = NewNum();
    AppendPrintText(QStringLiteral("Age: "));
    Program({Stmt(St::INPUT), Oper(Op::Comma), DefaultPrompt(), Stmt(InSt::InputNumField), Colon(), PubNum(),
             Stmt(St::LET), NumVar(a), Colon(), LineEnd()});
    Win.ScriptedInputAnswers = {QStringLiteral("12")};
    RunOnInterpreter();
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(NumValue(a), 12);
    EXPECT_EQ(Requests.at(0).Prompt, QStringLiteral("? "));
    EXPECT_EQ(Screen(), QStringLiteral("\nAge: Input ?  12\n"));
    EXPECT_TRUE(Eng.PrintLine.isEmpty());
}

// INPUT A, B  answered "1, x" and then "3, 4"
TEST_F(InputStatement, ABadNumberAsksAgainWithThePreviousText) {
    const int a = NewNum();
    const int b = NewNum();
    Program({Stmt(St::INPUT), Oper(Op::Comma), DefaultPrompt(), Stmt(InSt::InputNumField), Colon(), PubNum(),
             Stmt(St::LET), NumVar(a), Colon(), Stmt(InSt::InputNumField), Colon(), PubNum(), Stmt(St::LET),
             NumVar(b), Colon(), LineEnd()});
    Win.ScriptedInputAnswers = {QStringLiteral("1, x"), QStringLiteral("3, 4")};
    RunOnInterpreter();
    ASSERT_EQ(Fe.ErrorNumber, 0);
    ASSERT_EQ(Requests.size(), 2u);
    EXPECT_FALSE(Requests[0].Retry);
    EXPECT_TRUE(Requests[1].Retry);
    EXPECT_EQ(Requests[1].PreviousText, QStringLiteral("1, x"));
    EXPECT_EQ(NumValue(a), 3);
    EXPECT_EQ(NumValue(b), 4);
    EXPECT_EQ(Ps.InputRetry, 0);
    EXPECT_EQ(Screen(), QStringLiteral("\nInput ?  1, x\n\nInput ?  3, 4\n"));
}

// INPUT A, cancelled; CONT must ask again
TEST_F(InputStatement, CancelStopsWithTheInputAsTheResumePoint) {
    const int a = NewNum();
    Tb.NumVarTable[static_cast<std::size_t>(a)].Value = 7;
    Ps.InputLine = QStringLiteral("99"); // an earlier answer that must not be taken
    Program({Stmt(St::INPUT), Oper(Op::Comma), DefaultPrompt(), Stmt(InSt::InputNumField), Colon(), PubNum(),
             Stmt(St::LET), NumVar(a), Colon(), LineEnd()});
    CancelNext = true;
    RunOnInterpreter();
    EXPECT_EQ(Rc.StopRequest, 1);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(NumValue(a), 7);
    EXPECT_EQ(Ps.InputLine, QStringLiteral("99"));
    EXPECT_EQ(Ps.InputRestartPC, ProgramCodeStart);
    EXPECT_EQ(Rc.ResumePC, ProgramCodeStart);
    // The run loop's next fetch takes the INPUT item in hand, and a stopped run resumes at that item.
    EXPECT_EQ(Ib.CodeIndex, ProgramCodeStart);
    // The in-progress echo stays.
    EXPECT_EQ(Screen(), QStringLiteral("Input ? ") + WaitingSuffix + QLatin1Char('\n'));

    // CONT: the INPUT runs again and asks.
    Rc.StopRequest = 0;
    Ib.CodeIndex = Rc.ResumePC;
    Win.ScriptedInputAnswers = {QStringLiteral("8")};
    RunOnInterpreter();
    EXPECT_EQ(Requests.size(), 2u);
    EXPECT_EQ(NumValue(a), 8);
}

// LINE INPUT "Line"; L$
TEST_F(InputStatement, LineInputTakesTheWholeLine) {
    const int l = NewStr();
    Program({Stmt(St::LINEINPUT), Str(QStringLiteral("Line")), PubStr(), Colon(), PubStr(), Stmt(St::LET),
             StrVar(l), LineEnd(), Colon(), LineEnd()});
    Win.ScriptedInputAnswers = {QStringLiteral("a, b, \"c\"")};
    RunOnInterpreter();
    ASSERT_EQ(Fe.ErrorNumber, 0);
    ASSERT_EQ(Requests.size(), 1u);
    EXPECT_TRUE(Requests[0].LineInput);
    EXPECT_EQ(Requests[0].Prompt, QStringLiteral("Line"));
    EXPECT_EQ(StrValue(l), QStringLiteral("a, b, \"c\""));
    EXPECT_EQ(Screen(), QStringLiteral("\nLine Input Line a, b, \"c\"\n"));
}

// LINE INPUT L$ without a prompt
TEST_F(InputStatement, LineInputWithoutPromptShowsQuestionMark) {
    const int l = NewStr();
    Program({Stmt(St::LINEINPUT), PubStr(), Colon(), PubStr(), Stmt(St::LET), StrVar(l), LineEnd(), Colon()});
    Win.ScriptedInputAnswers = {QStringLiteral("x")};
    RunOnInterpreter();
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Requests.at(0).Prompt, QStringLiteral("?"));
    EXPECT_EQ(StrValue(l), QStringLiteral("x"));
}

TEST_F(InputStatement, LineInputIntoAWrongTargetFailsWithoutAsking) {
    const int l = NewStr();
    AppendPrintText(QStringLiteral("kept"));
    Program({Stmt(St::LINEINPUT), StrVar(l), LineEnd()});
    Win.ScriptedInputAnswers = {QStringLiteral("x")};
    RunOnInterpreter();
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementFailed);
    EXPECT_EQ(Fe.ErrorNameIndex, St::LINEINPUT);
    EXPECT_TRUE(Requests.empty());
    EXPECT_EQ(Win.ScriptedInputAnswers.size(), 1);
    EXPECT_TRUE(Screen().isEmpty());
    EXPECT_EQ(Eng.PrintLine, QStringLiteral("kept"));
}

TEST_F(InputStatement, WithoutADialogInputIsAnError) {
    Hooks.ShowInputDialogHook = nullptr;
    Program(
        {Stmt(St::INPUT), Oper(Op::Comma), DefaultPrompt(), Stmt(InSt::InputNumField), Colon(), LineEnd()});
    RunOnInterpreter();
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementFailed);
    EXPECT_EQ(Fe.ErrorNameIndex, St::INPUT);
}

// ---- fields of the typed line -----------------------------------------------------------------------------

class InputFields : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEngine();
        Ps.InputRestartPC = ProgramCodeStart;
        Ib.CodeIndex = ProgramCodeStart + 5;
    }
    // The next numeric field; nullopt-like NaN when the INPUT is to be asked again.
    Extended NumField() {
        Tb.PublicNumTable[1].Value = -99;
        ExecInputNumField();
        if (Ps.InputRetry != 0) return std::numeric_limits<Extended>::quiet_NaN();
        return Tb.PublicNumTable[1].Value;
    }
    QString StrField() {
        ExecInputStrField();
        return Tb.PublicStrTable[1].Value;
    }
};

TEST_F(InputFields, NumbersSeparatedByCommas) {
    Ps.InputLine = QStringLiteral("1, 2");
    EXPECT_EQ(NumField(), 1);
    EXPECT_EQ(NumField(), 2);
    Ps.InputLine = QStringLiteral("1");
    EXPECT_EQ(NumField(), 1);
    EXPECT_EQ(NumField(), 0); // nothing left: 0
    Ps.InputLine = QStringLiteral(" 12 ,3");
    EXPECT_EQ(NumField(), 12); // trimmed before a comma
    EXPECT_EQ(NumField(), 3);
    EXPECT_EQ(Ps.InputRetry, 0);
    EXPECT_EQ(Ib.CodeIndex, ProgramCodeStart + 5);
}

TEST_F(InputFields, ATrailingBlankOnTheLastFieldOrTextAsksAgain) {
    for (const char* typed : {"12 ", "abc", "1,2,x", "1e"}) {
        Ps.InputRetry = 0;
        Ib.CodeIndex = ProgramCodeStart + 5;
        Ps.InputLine = QString::fromLatin1(typed);
        Extended value = 0;
        for (int field = 0; field < 3 && Ps.InputRetry == 0; ++field)
            value = NumField();
        EXPECT_TRUE(std::isnan(value)) << typed;
        EXPECT_EQ(Ps.InputRetry, 1) << typed;
        EXPECT_EQ(Ib.CodeIndex, Ps.InputRestartPC) << typed;
    }
}

TEST_F(InputFields, QuotedStringFieldsKeepTheirQuotesAndCommas) {
    Ps.InputLine = QStringLiteral(" \"a,b\" , c ");
    EXPECT_EQ(StrField(), QStringLiteral("\"a,b\""));
    EXPECT_EQ(StrField(), QStringLiteral("c"));
    EXPECT_EQ(StrField(), QString());
    Ps.InputLine = QStringLiteral("\"a,b\"");
    EXPECT_EQ(StrField(), QStringLiteral("\"a,b\""));
    Ps.InputLine = QStringLiteral("x , y,z");
    EXPECT_EQ(StrField(), QStringLiteral("x"));
    EXPECT_EQ(StrField(), QStringLiteral("y"));
    EXPECT_EQ(StrField(), QStringLiteral("z"));
}

// ---- READ, RESTORE, RANDOMIZE -----------------------------------------------------------------------------

class ReadData : public ::testing::Test {
protected:
    // 101: DATA 1, "x"   105: DATA   107: DATA 2   then the READ statements from 110.
    void SetUp() override {
        ResetEngine();
        a_ = NewNum();
        b_ = NewStr();
        c_ = NewNum();
        Program({Stmt(St::DATA), Num(1), Str(QStringLiteral("x")), LineEnd(), Stmt(St::DATA), LineEnd(),
                 Stmt(St::DATA), Num(2), LineEnd()});
        Tb.DataPtrTable = {0, 101, 105, 107};
        Tb.NumofRegisteredDataPtr = 3;
        // Line 20 is after the first DATA statement, line 30 after all of them.
        Tb.LabelTable = {LabelType{}, LabelType{20, 105, 1}, LabelType{30, 110, 3}, LabelType{40, 111, 4}};
        Tb.NumofRegisteredLabel = 3;
    }
    // Runs `items` from slot 110.
    void RunRead(std::initializer_list<CodeItemType> items) {
        Program(items, ProgramCodeStart + 9);
        RunItems();
    }
    int a_ = 0, b_ = 0, c_ = 0;
};

TEST_F(ReadData, ReadTakesValuesInOrderOverEmptyDataAndThenRunsOut) {
    RunRead({Stmt(St::READ), NumVar(a_), Colon(), Stmt(St::READ), StrVar(b_), Colon(), Stmt(St::READ),
             NumVar(c_), Colon(), LineEnd()});
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(NumValue(a_), 1);
    EXPECT_EQ(StrValue(b_), QStringLiteral("x"));
    EXPECT_EQ(NumValue(c_), 2);
    RunRead({Stmt(St::READ), NumVar(a_), Colon()});
    EXPECT_EQ(Fe.ErrorNumber, Err::ReadPastData);
    EXPECT_EQ(NumValue(a_), 1);
}

TEST_F(ReadData, ReadOfTheWrongTypeIs1007) {
    RunRead({Stmt(St::READ), StrVar(b_), Colon()});
    EXPECT_EQ(Fe.ErrorNumber, Err::ReadTypeMismatch);
    Fe.ErrorNumber = 0;
    RunRead({Stmt(St::READ), NumVar(a_), Colon(), Stmt(St::READ), NumVar(a_), Colon()});
    EXPECT_EQ(Fe.ErrorNumber, Err::ReadTypeMismatch); // "x" into a number
}

TEST_F(ReadData, ReadThroughTheTransferSlot) {
    // READ A(1): {6,148} {61,1} ":" ...
    RunRead({Stmt(St::READ), PubNum(), Colon()});
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Tb.PublicNumTable[1].Value, 1);
    RunRead({Stmt(St::READ), PubStr(), Colon()});
    EXPECT_EQ(Tb.PublicStrTable[1].Value, QStringLiteral("x"));
}

TEST_F(ReadData, RestoreStartsAgainOrAfterALine) {
    RunRead({Stmt(St::READ), NumVar(a_), Colon(), Stmt(St::READ), StrVar(b_), Colon(), Stmt(St::RESTORE),
             LineEnd(), Stmt(St::READ), NumVar(c_), Colon()});
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(NumValue(c_), 1);
    RunRead({Stmt(St::RESTORE), Num(20), LineEnd(), Stmt(St::READ), NumVar(c_), Colon()});
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(NumValue(c_), 2); // the DATA after line 20 is empty: the next one gives 2
    RunRead({Stmt(St::RESTORE), Num(99), LineEnd(), Stmt(St::READ), NumVar(c_), Colon()});
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(NumValue(c_), 1); // a line that is not in the program: the first DATA
}

TEST_F(ReadData, RestoreAfterTheLastDataLeavesNothingAndBeyondIsAnError) {
    RunRead({Stmt(St::RESTORE), Num(30), LineEnd(), Stmt(St::READ), NumVar(c_), Colon()});
    EXPECT_EQ(Fe.ErrorNumber, Err::ReadPastData);
    Fe.ErrorNumber = 0;
    Tb.LabelTable[3].Extra = 4; // a count beyond the DATA table
    RunRead({Stmt(St::RESTORE), Num(40), LineEnd()});
    EXPECT_EQ(Fe.ErrorNumber, Err::RestoreLineNumber);
}

TEST_F(ReadData, RestoreToALabelName) {
    const int label = NewNum();
    Tb.NumVarTable[static_cast<std::size_t>(label)].Kind = NumVarKind::Label;
    Tb.NumVarTable[static_cast<std::size_t>(label)].Value = 2; // two DATA statements before it
    RunRead({Stmt(St::RESTORE), NumVar(label), LineEnd(), Stmt(St::READ), NumVar(c_), Colon()});
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(NumValue(c_), 2);
    RunRead({Stmt(St::RESTORE), NumVar(a_), LineEnd()});
    EXPECT_EQ(Fe.ErrorNumber, Err::RestoreNotLabel);
    EXPECT_EQ(Ib.CodeBuffer[static_cast<std::size_t>(Ib.CodeIndex)], NumVar(a_)); // the name is given back
}

TEST_F(ReadData, WithoutDataOrWithAPositionOutsideTheCodeReadRunsOut) {
    Ps.DataReadPos = 1000000;
    RunRead({Stmt(St::READ), NumVar(a_), Colon()});
    EXPECT_EQ(Fe.ErrorNumber, Err::ReadPastData);
    Fe.ErrorNumber = 0;
    Tb.NumofRegisteredDataPtr = 0;
    Tb.DataPtrTable = {0};
    RunRead({Stmt(St::RESTORE), LineEnd(), Stmt(St::READ), NumVar(a_), Colon()});
    EXPECT_EQ(Fe.ErrorNumber, Err::ReadPastData);
    // An entry pointing at a slot that no longer holds DATA is not read as one.
    Fe.ErrorNumber = 0;
    Tb.NumofRegisteredDataPtr = 1;
    Tb.DataPtrTable = {0, 112};
    RunRead({Stmt(St::RESTORE), LineEnd(), Stmt(St::READ), NumVar(a_), Colon()});
    EXPECT_EQ(Fe.ErrorNumber, Err::ReadPastData);
}

TEST(Randomize, SeedsWithinTheRangeAndRefusesOthers) {
    ResetEngine();
    GlPushNum(32767);
    ExecRandomize(true);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Eng.RandSeed, 32767u);
    GlPushNum(-32768.9L);
    ExecRandomize(true);
    EXPECT_EQ(Fe.ErrorNumber, Err::FunctionArgRange);
    Fe.ErrorNumber = 0;
    GlPushNum(-5.7L);
    ExecRandomize(true);
    EXPECT_EQ(Eng.RandSeed, static_cast<std::uint32_t>(-5));
    for (Extended bad : {Extended(32768), std::numeric_limits<Extended>::quiet_NaN()}) {
        Fe.ErrorNumber = 0;
        GlPushNum(bad);
        ExecRandomize(true);
        EXPECT_EQ(Fe.ErrorNumber, Err::FunctionArgRange);
        EXPECT_EQ(Fe.ErrorNameIndex, ArgumentFormStep + St::RANDOMIZE);
    }
    Fe.ErrorNumber = 0;
    GlPushStr(QStringLiteral("1"));
    ExecRandomize(true);
    EXPECT_EQ(Fe.ErrorNumber, Err::FunctionArgType);
    GlClear();
    Fe.ErrorNumber = 0;
    Eng.RandSeed = 1;
    ExecRandomize(false);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_NE(Eng.RandSeed, 1u);
}

} // namespace
