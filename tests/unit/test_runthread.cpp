// Runs through the real interpreter thread and run window: stopping, continuing, immediate commands,
// the end-of-run lines, and closing down during a run.
#include "engine/lxthread.h"
#include "engine/handover.h"
#include "engine/runwindowqueue.h"
#include "frontend/initall.h"
#include "frontend/sharedstate.h"
#include "ui/runform.h"
#include "tests/testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

namespace {

class RunThread : public ::testing::Test {
protected:
    void SetUp() override {
        ReopenHandOver();
        RunWindowQueue::Instance().Reset();
        InitAll();
        form_ = std::make_unique<TRunForm>();
        form_->CLSBtnClick();
    }
    void TearDown() override {
        TLXMTHread::StopAndJoin();
        form_.reset();
        ReopenHandOver();
        RunWindowQueue::Instance().Reset();
        StopRequest = 0;
    }

    void StartProgram(const char* text) {
        ProgramText = QString::fromUtf8(text);
        ProgramTextLength = static_cast<int>(ProgramText.size());
        RunMode = RunKind::Program;
        ProgramRunning = 1;
        StopRequest = 0;
        TLXMTHread::StartRun();
    }
    void Immediate(const char* command) {
        CommandText = QString::fromUtf8(command);
        RunMode = RunKind::Immediate;
        TLXMTHread::StartRun();
    }
    // Pumps the user-interface thread until the run has ended; false on a time-out.
    bool WaitIdle(int ms = 10000) {
        QElapsedTimer clock;
        clock.start();
        while (ThreadBusy != 0) {
            if (clock.elapsed() > ms) return false;
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        TLXMTHread::WaitForIdle();
        form_->ApplyQueue();
        return true;
    }
    void Pump(int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    QString Text() const { return form_->Text(); }

    std::unique_ptr<TRunForm> form_;
};

TEST_F(RunThread, AProgramRunsToItsEndLines) {
    StartProgram("PRINT \"A\";\r\nPRINT 2\r\n");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("A 2\nOK\n\n"));
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Lorvex 実行画面（入力可）"));
}

TEST_F(RunThread, AnEmptyProgramPrintsOkAndAnEmptyLine) {
    StartProgram("");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("OK\n\n"));
}

TEST_F(RunThread, ValuesLeftOnTheStackAreReported) {
    StartProgram("PRINT USING \"#\"; 1, 2\r\n");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("1\n処理できないデータが残りました。\n"
                                     "演算子や配列，関数の引数などの使い方の誤りが考えられます。\nOK\n\n"));
    // The stack was emptied: the next run starts clean.
    form_->CLSBtnClick();
    StartProgram("PRINT 1\r\n");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral(" 1\nOK\n\n"));
}

TEST_F(RunThread, StopDuringATightLoopThenContContinuesWhereItStopped) {
    // Far more steps than the loop can make before the stop; an immediate command then brings the
    // counter near the end, and the resumed loop must see it.
    StartProgram("I = 0\r\nDO\r\nI = I + 1\r\nIF I > 1000000000 THEN EXIT DO\r\nLOOP\r\nPRINT \"done\"; I > 1000000000\r\n");
    Pump(50);
    ASSERT_NE(ThreadBusy, 0) << "the loop should still be running";
    form_->StopBtnClick();
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Text().contains(QStringLiteral("実行中断しました\nOK\n")));
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Lorvex 実行画面（中断）"));

    form_->CLSBtnClick();
    Immediate("I = 999999000");
    ASSERT_TRUE(WaitIdle());
    form_->CLSBtnClick();
    form_->ContBtnClick();
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("実行再開しました。\ndoneTrue\nOK\n\n"));
}

TEST_F(RunThread, ATypedContResumesAndEndsNormally) {
    StartProgram("PRINT 1\r\nSTOP\r\nPRINT 2\r\n");
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Text().contains(QStringLiteral("実行中断しました")));
    form_->CLSBtnClick();
    Immediate("CONT");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("実行再開しました。\n 2\nOK\n\n"))
        << "the resumed run must not end as stopped";
}

TEST_F(RunThread, ImmediateCommandsSeeTheProgramsVariables) {
    StartProgram("A = 41\r\n");
    ASSERT_TRUE(WaitIdle());
    form_->CLSBtnClick();
    Immediate("PRINT A + 1");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral(" 42\nOK\n\n"));
}

TEST_F(RunThread, ATypedRunCompilesTheProgramAfreshWithFreshVariables) {
    StartProgram("A = A + 1\r\nPRINT A\r\n");
    ASSERT_TRUE(WaitIdle());
    form_->CLSBtnClick();
    Immediate("RUN");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral(" 1\nOK\n\n"));
    form_->CLSBtnClick();
    form_->RunBtnClick();
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral(" 1\nOK\n\n"));
}

TEST_F(RunThread, SleepWakesOnAStopRequest) {
    StartProgram("SLEEP(60000)\r\nPRINT \"late\"\r\n");
    Pump(50);
    ASSERT_NE(ThreadBusy, 0);
    QElapsedTimer clock;
    clock.start();
    form_->StopBtnClick();
    ASSERT_TRUE(WaitIdle(5000));
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(Text().contains(QStringLiteral("late")));
}

TEST_F(RunThread, AnErrorInAnImmediateCommandHasNoPosition) {
    Immediate("PRINT 1 / 0");
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Text().startsWith(QStringLiteral("エラー:")));
    EXPECT_FALSE(Text().contains(QStringLiteral("行,")));
    EXPECT_EQ(ErrorNumber, 0);
}

TEST_F(RunThread, EchoOffSuppressesTheEndLines) {
    StartProgram("ECHO OFF\r\nPRINT \"x\"\r\n");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("x\n\n"));
}

TEST_F(RunThread, ValuesOfAStoppedLoopOutliveAnImmediateCommandAndAnEventCall) {
    // Stopped inside the function's loop, the 100 of the expression waits on the value stack; neither
    // a typed command nor a click's event call may report it as left over or take it away.
    StartProgram("PUBLIC Limit\r\nSUB CButton1_Click\r\nPRINT \"click\"\r\nEND SUB\r\n"
                 "FUNCTION Work(N)\r\nDO\r\nN = N + 1\r\nLOOP UNTIL N > Limit\r\nWork = N\r\nEND FUNCTION\r\n"
                 "Limit = 2000000000\r\nPRINT 100 + Work(0) * 0\r\n");
    Pump(50);
    ASSERT_NE(ThreadBusy, 0) << "the loop should still be running";
    form_->StopBtnClick();
    ASSERT_TRUE(WaitIdle());
    form_->CLSBtnClick();
    Immediate("Limit = 0");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("OK\n\n"));
    form_->CLSBtnClick();
    CommandText = QStringLiteral("Call CButton1_Click");
    ASSERT_TRUE(StartEventCall());
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("click\nOK\n\n"));
    // What a command itself leaves is its own: reported and taken, the program's value stays under it.
    form_->CLSBtnClick();
    CommandText = QStringLiteral("PRINT USING \"#\"; 1, 2");
    ASSERT_TRUE(StartEventCall());
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("1\n処理できないデータが残りました。\n"
                                     "演算子や配列，関数の引数などの使い方の誤りが考えられます。\nOK\n\n"));
    form_->CLSBtnClick();
    Immediate("CONT");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("実行再開しました。\n 100\nOK\n\n"));
}

TEST_F(RunThread, ShuttingDownDuringARunNeitherHangsNorCrashes) {
    StartProgram("DO\r\nLOOP\r\n");
    Pump(30);
    ASSERT_NE(ThreadBusy, 0);
    QElapsedTimer clock;
    clock.start();
    TLXMTHread::StopAndJoin();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(ThreadBusy, 0);
}

} // namespace
