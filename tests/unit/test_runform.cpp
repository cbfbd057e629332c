// The run window: line trimming at its limits, the command history, and the button modes.
#include "core/sharedstate.h"
#include "engine/lxthread.h"
#include "engine/printline.h"
#include "engine/runwindowqueue.h"
#include "platform/settings.h"
#include "tests/runsupport.h"
#include "ui/runform.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class RunWindow : public ::testing::Test {
protected:
    void SetUp() override {
        RunWindowQueue::Instance().Reset();
        form_ = std::make_unique<TRunForm>();
        form_->CLSBtnClick();
        Rc.EchoOn = 1;
    }
    void TearDown() override {
        TLXMTHread::StopAndJoin();
        form_.reset();
        RunWindowQueue::Instance().Reset();
        Rc.EchoOn = 1;
    }
    void Line(const QString& text) {
        FlushPrintLine(text);
        form_->ApplyQueue();
    }
    std::unique_ptr<TRunForm> form_;
};

TEST(RunWindowFrame, ACloseRequestMinimisesAndTheEditButtonBringsBackTheMinimisedFrame) {
    QWidget frame;
    TRunForm form(&frame);
    // Minimise and maximise boxes, no close box.
    EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    form.show();
    QCloseEvent request;
    QCoreApplication::sendEvent(&form, &request);
    EXPECT_FALSE(request.isAccepted());
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.isMinimized());
    EXPECT_FALSE(form.close());

    frame.showMaximized();
    frame.setWindowState(frame.windowState() | Qt::WindowMinimized);
    ASSERT_TRUE(frame.isMinimized());
    form.EditBtnClick();
    EXPECT_FALSE(frame.isMinimized());
    EXPECT_TRUE(frame.isMaximized());
    EXPECT_TRUE(frame.isVisible());
}

TEST(RunWindowFrame, UnusableSizeSettingsGiveTheDefaultSize) {
    const int savedWidth = Settings.TScreenWidth, savedHeight = Settings.TScreenHeight;
    Settings.TScreenWidth = 0;
    Settings.TScreenHeight = -5;
    TRunForm form;
    Settings.TScreenWidth = 300;
    Settings.TScreenHeight = 120;
    TRunForm sized;
    Settings.TScreenWidth = savedWidth;
    Settings.TScreenHeight = savedHeight;
    EXPECT_EQ(form.Memo()->parentWidget()->width(), 620);
    EXPECT_EQ(sized.width(), 300);
    EXPECT_EQ(form.height() - sized.height(), 230 - 120);
}

TEST(RunWindowFrame, APlacementWhileMinimisedWaitsForTheRestore) {
    TRunForm form;
    form.show();
    const QSize shown = form.size();
    form.setWindowState(form.windowState() | Qt::WindowMinimized);
    form.Place(QPoint(0, 0), QSize(shown.width() + 30, 100));
    EXPECT_TRUE(form.isMinimized());
    EXPECT_EQ(form.size(), shown);
    form.setWindowState(form.windowState() & ~Qt::WindowMinimized);
    EXPECT_EQ(form.width(), shown.width() + 30);
    EXPECT_EQ(form.Memo()->height(), 100);
}

TEST_F(RunWindow, ARunKeepsTheWindowsSize) {
    const QSize before = form_->size();
    StartProgramRun("PRINT 1\r\n");
    ASSERT_TRUE(WaitForRunEnd(form_.get()));
    StartProgramRun("PRINT 2\r\n");
    ASSERT_TRUE(WaitForRunEnd(form_.get()));
    EXPECT_EQ(form_->size(), before);
}

TEST_F(RunWindow, LinesAreCountedUntilTheLengthLimitThenTheOldestGo) {
    // Every line below costs 10 characters with its line end (counted as two).
    form_->SetMaxTextLength(38);
    for (int i = 0; i < 3; ++i)
        Line(QStringLiteral("line%1abc").arg(i));
    EXPECT_EQ(Rc.OutputLineCount, 3);
    EXPECT_EQ(form_->Text(), QStringLiteral("line0abc\nline1abc\nline2abc\n"));
    // 8 + 30 reaches the limit: the oldest lines go until the new one fits with 3 to spare, and the
    // count drops by the lines deleted without counting the new one.
    Line(QStringLiteral("line3abc"));
    EXPECT_EQ(form_->Text(), QStringLiteral("line1abc\nline2abc\nline3abc\n"));
    EXPECT_EQ(Rc.OutputLineCount, 2);
}

TEST_F(RunWindow, ALineLongerThanTheLimitEmptiesTheWindowAndStops) {
    form_->SetMaxTextLength(20);
    Line(QStringLiteral("short"));
    Line(QString(100, QLatin1Char('x'))); // must not loop for ever
    EXPECT_EQ(form_->Text(), QString(100, QLatin1Char('x')) + QLatin1Char('\n'));
}

TEST_F(RunWindow, PrintedTextAndTheNextMessageShareALine) {
    AppendPrintText(QStringLiteral("A"));
    Line(QStringLiteral("OK"));
    EXPECT_EQ(form_->Text(), QStringLiteral("AOK\n"));
}

TEST_F(RunWindow, HistoryKeepsTheNewestHundredLines) {
    for (int i = 1; i <= 101; ++i)
        form_->AddHistory(QStringLiteral(" cmd%1 ").arg(i));
    form_->AddHistory(QStringLiteral("   ")); // blank lines are not stored
    EXPECT_EQ(form_->HistoryCount(), 100);
    form_->Memo()->setFocus();
    // After Enter the cursor stands past the newest entry; Up walks back, Down forward.
    form_->RunTypedLine(); // an empty command line runs too, and stores nothing
    ASSERT_TRUE(WaitForRunEnd(form_.get()));
    EXPECT_EQ(form_->HistoryCount(), 100);
    // The entry takes the place of the empty line the caret stands on, the first time as every time.
    const QString ended = form_->Text();
    ASSERT_TRUE(ended.endsWith(QStringLiteral("OK\n\n")));
    form_->HistoryUp();
    EXPECT_EQ(form_->GetHistory(), QStringLiteral("cmd101"));
    EXPECT_EQ(form_->Text(), ended + QStringLiteral("cmd101"));
    for (int i = 0; i < 200; ++i)
        form_->HistoryUp();
    EXPECT_EQ(form_->GetHistory(), QStringLiteral("cmd2")) << "the oldest kept entry; cmd1 was dropped";
    EXPECT_EQ(form_->Text(), ended + QStringLiteral("cmd2"));
    for (int i = 0; i < 200; ++i)
        form_->HistoryDown();
    EXPECT_EQ(form_->GetHistory(), QStringLiteral("cmd101"));
    EXPECT_EQ(form_->Text(), ended + QStringLiteral("cmd101"));
}

TEST_F(RunWindow, ButtonModesSetButtonsAndCaption) {
    form_->SetBtnRunMode();
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Lorvex 実行画面（実行中）"));
    form_->SetBtnStopMode();
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Lorvex 実行画面（中断）"));
    Rc.EchoOn = 0;
    form_->SetBtnEndMode();
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Lorvex 実行画面（中断）"))
        << "ECHO OFF keeps the caption";
    Rc.EchoOn = 1;
    form_->SetBtnPrepMode();
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Lorvex 実行画面（準備中）"));
}

TEST_F(RunWindow, WhatCameBeforeTheWindowFirstShowsIsThereOnceItShows) {
    // The text editor is made when the window first shows: the text (every character as it went in),
    // the caret a key echo leaves two before the end, the read-only state and the focus asked for
    // until then all reach it.
    Line(QStringLiteral("first"));
    Line(QStringLiteral("tab\tnbsp\u00a0line sep\u2028end"));
    FlushInputEchoLine(QStringLiteral("typed"));
    RunWindowEvent readOnly;
    readOnly.Op = RunWindowOp::ReadOnly;
    readOnly.Value = 1;
    RunWindowQueue::Instance().Push(std::move(readOnly));
    form_->ApplyQueue();
    const QString text = form_->Text();
    ASSERT_EQ(form_->findChild<QPlainTextEdit*>(), nullptr);

    form_->show();
    const auto* memo = form_->findChild<QPlainTextEdit*>();
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo, form_->Memo());
    EXPECT_EQ(form_->Text(), text);
    EXPECT_EQ(memo->document()->toRawText(),
              QStringLiteral("first\u2029tab\tnbsp\u00a0line sep\u2028end\u2029typed\u2029"));
    EXPECT_EQ(memo->textCursor().position(), memo->document()->characterCount() - 1 - 2);
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(form_->focusWidget(), memo);
}

TEST_F(RunWindow, TheBannerNamesTheVersion) {
    EXPECT_TRUE(RunWindowBanner().startsWith(QStringLiteral("Lorvex for Windows Ver. ")));
}

} // namespace
