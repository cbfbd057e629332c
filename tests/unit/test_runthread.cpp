// Runs through the real interpreter thread and run window: stopping, continuing, immediate commands,
// the end-of-run lines, and closing down during a run.
#include "core/errornumbers.h"
#include "core/errortext.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "engine/enginehooks.h"
#include "engine/enginestate.h"
#include "engine/handover.h"
#include "engine/lxthread.h"
#include "engine/printline.h"
#include "engine/runwindowqueue.h"
#include "engine/services.h"
#include "engine/strfunctions.h"
#include "frontend/initall.h"
#include "platform/memorybudget.h"
#include "tests/runsupport.h"
#include "ui/graphform.h"
#include "ui/inputform.h"
#include "ui/runform.h"
#include "ui/windowsstate.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// What PRINT USING "#"; 1, 2 leaves in the run window: the 1, then the report of the unused 2.
const QString OneAndLeftOverValues =
    QStringLiteral("1\n処理できないデータが残りました。\n"
                   "演算子や配列，関数の引数などの使い方の誤りが考えられます。\nOK\n\n");

class RunThread : public ::testing::Test {
protected:
    void SetUp() override {
        InstallEngineReset();
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
        Rc.StopRequest = 0;
    }

    void Immediate(const char* command) {
        StartRun(RunRequest{RunStart::Command, QString::fromUtf8(command)});
    }
    bool WaitIdle(int ms = TestWaitMs) { return WaitForRunEnd(form_.get(), ms); }
    // Starts `program` and lets it run for `ms` milliseconds: true when it is still running then.
    bool StillRunningAfter(const char* program, int ms = 50) {
        StartProgramRun(program);
        PumpFor(ms);
        return Rc.ThreadBusy != 0;
    }
    // Starts `program` and waits until it has printed `marker`, however slowly it starts, then lets it
    // run a little more: true when it is still running then. A program that must be stopped past some
    // statement prints the marker after it.
    bool StillRunningAfterItPrints(const char* program, const QString& marker) {
        StartProgramRun(program);
        if (!PumpUntil([this, &marker] {
                form_->ApplyQueue();
                return Text().contains(marker);
            }))
            return false;
        PumpFor(20);
        return Rc.ThreadBusy != 0;
    }
    // How many milliseconds `stop` takes to return.
    template <typename Stop> static qint64 MillisecondsOf(Stop stop) {
        QElapsedTimer clock;
        clock.start();
        stop();
        return clock.elapsed();
    }
    QString Text() const { return form_->Text(); }

    std::unique_ptr<TRunForm> form_;
};

TEST_F(RunThread, AProgramRunsToItsEndLines) {
    StartProgramRun("PRINT \"A\";\r\nPRINT 2\r\n");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("A 2\nOK\n\n"));
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Lorvex 実行画面（入力可）"));
}

TEST_F(RunThread, AnEmptyProgramPrintsOkAndAnEmptyLine) {
    StartProgramRun("");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("OK\n\n"));
}

// The compile text (the program, CR LF and two NULs) plus 2 must stay below 262,144 characters.
TEST_F(RunThread, AProgramPastTheSizeLimitIsRefusedAsTooLarge) {
    std::string program = "PRINT \"never\"\r\n";
    program.resize(300000, 'x');
    StartProgramRun(program.c_str());
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("エラー:プログラムの大きさが許容量を越えました。(1行,　1 桁)\nOK\n\n"));

    // The largest program that passes.
    form_->CLSBtnClick();
    program = "PRINT \"run\"\r\n'";
    program.resize(262137, 'x');
    StartProgramRun(program.c_str());
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("run\nOK\n\n"));
}

TEST_F(RunThread, ValuesLeftOnTheStackAreReported) {
    StartProgramRun("PRINT USING \"#\"; 1, 2\r\n");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), OneAndLeftOverValues);
    // The stack was emptied: the next run starts clean.
    form_->CLSBtnClick();
    StartProgramRun("PRINT 1\r\n");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral(" 1\nOK\n\n"));

    // A run that ends with an error leaves the 100 waiting for its "+" behind too, without a word.
    form_->CLSBtnClick();
    StartProgramRun("PRINT 100 + 1 / 0\r\n");
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Text().startsWith(QStringLiteral("エラー:"))) << Text().toStdString();
    EXPECT_FALSE(Text().contains(QStringLiteral("処理できないデータ"))) << Text().toStdString();
    EXPECT_EQ(ValueStackCount, 0);
}

TEST_F(RunThread, StopDuringATightLoopThenContContinuesWhereItStopped) {
    // Far more steps than the loop can make before the stop; an immediate command then lowers the
    // limit, and the resumed loop must see it. (A stop may come between two items of a statement, with
    // the old value of a variable already taken: the limit is read afresh by the next pass.)
    ASSERT_TRUE(StillRunningAfterItPrints("L = 1000000000\r\nI = 0\r\nPRINT \"set\"\r\nDO\r\nI = I + 1\r\n"
                                          "IF I > L THEN EXIT DO\r\nLOOP\r\n"
                                          "PRINT \"done\"; I > 1000\r\n",
                                          QStringLiteral("set")))
        << "the loop should still be running";
    form_->StopBtnClick();
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Text().contains(QStringLiteral("実行中断しました\nOK\n")));
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Lorvex 実行画面（中断）"));

    form_->CLSBtnClick();
    Immediate("L = 0");
    ASSERT_TRUE(WaitIdle());
    form_->CLSBtnClick();
    form_->ContBtnClick();
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("実行再開しました。\ndoneTrue\nOK\n\n"));
}

TEST_F(RunThread, AStoppedRunHasWhatItsChannelsWroteInTheirFilesAndKeepsThemOpen) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("stopped.txt"));
    const QByteArray program = "OPEN \"" + path.toUtf8() +
                               "\" FOR OUTPUT AS #1\r\nPRINT #1, \"written\"\r\n"
                               "DO\r\nLOOP\r\n";
    ASSERT_TRUE(StillRunningAfter(program.constData())) << "the loop should still be running";
    form_->StopBtnClick();
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Ps.FileMode[1], FileModeKind::Output);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("written\r\n"));
}

TEST_F(RunThread, LinesThatCannotBeWrittenAtTheEndOfARunAreItsError) {
    if (!QFileInfo(QStringLiteral("/dev/full")).exists()) GTEST_SKIP() << "no /dev/full";
    StartProgramRun("OPEN \"/dev/full\" FOR OUTPUT AS #1\r\nPRINT #1, \"x\"\r\nPRINT \"end\"\r\n");
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Text().startsWith(QStringLiteral("end\nエラー:"))) << Text().toStdString();
    EXPECT_TRUE(Text().contains(QStringLiteral("PRINT#"))) << Text().toStdString();
}

TEST_F(RunThread, AStoppedForLoopLeavesItsVariablesAsItsLastStatementLeftThem) {
    // The loop keeps its counter and its sum in registers between statements: stopped anywhere, both
    // are in place, the sum either with or without the counter's own term (at the body or at NEXT).
    ASSERT_TRUE(StillRunningAfterItPrints("PRINT \"set\"\r\nFOR K = 1 TO 1E9\r\nACC = ACC + K\r\nNEXT K\r\n",
                                          QStringLiteral("set")))
        << "the loop should still be running";
    form_->StopBtnClick();
    ASSERT_TRUE(WaitIdle());
    form_->CLSBtnClick();
    Immediate("PRINT K > 1000; ACC = (K - 1) * K / 2 OR ACC = K * (K + 1) / 2");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("TrueTrue\nOK\n\n"));
}

TEST_F(RunThread, ATypedContResumesAndEndsNormally) {
    StartProgramRun("PRINT 1\r\nSTOP\r\nPRINT 2\r\n");
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Text().contains(QStringLiteral("実行中断しました")));
    form_->CLSBtnClick();
    Immediate("CONT");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("実行再開しました。\n 2\nOK\n\n"))
        << "the resumed run must not end as stopped";
}

TEST_F(RunThread, ImmediateCommandsSeeTheProgramsVariables) {
    StartProgramRun("A = 41\r\n");
    ASSERT_TRUE(WaitIdle());
    form_->CLSBtnClick();
    Immediate("PRINT A + 1");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral(" 42\nOK\n\n"));
}

TEST_F(RunThread, ATypedRunCompilesTheProgramAfreshWithFreshVariables) {
    StartProgramRun("A = A + 1\r\nPRINT A\r\n");
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

// A stop asked for while nothing runs (Exit answered No, a Stop pressed after the end) is no part of the
// next run: every start clears it but a typed line, which leaves it to the program it finds stopped.
TEST_F(RunThread, AStopLeftFromBeforeStopsNoStartButStaysWithAStoppedProgram) {
    const auto runAfterAStaleStop = [this](const auto& start) {
        form_->CLSBtnClick();
        RequestStop();
        start();
        EXPECT_TRUE(WaitIdle());
        return Text();
    };
    const QString one = QStringLiteral(" 1\nOK\n\n");
    EXPECT_EQ(runAfterAStaleStop([] { StartProgramRun("PRINT 1\r\n"); }), one);
    EXPECT_EQ(runAfterAStaleStop([this] { form_->RunBtnClick(); }), one);
    EXPECT_EQ(runAfterAStaleStop([] {
                  StartProgramRun("SUB Tick\r\nPRINT \"tick\"\r\nEND SUB\r\nPRINT 1\r\nSTOP\r\nPRINT 2\r\n");
              }),
              QStringLiteral(" 1\n実行中断しました\nOK\n\n"));
    EXPECT_EQ(runAfterAStaleStop([] { ASSERT_TRUE(StartEventCall(QStringLiteral("Call Tick"))); }),
              QStringLiteral("tick\nOK\n\n"));
    EXPECT_EQ(Rc.StopRequest, 0) << "the event call ended as it ran, not stopped";
    // Typed while the program waits at its STOP: the command runs, and the program stays stopped.
    EXPECT_EQ(runAfterAStaleStop([this] { Immediate("PRINT 3"); }), QStringLiteral(" 3\nOK\n\n"));
    EXPECT_EQ(Rc.StopRequest, 1);
    EXPECT_EQ(runAfterAStaleStop([this] { form_->ContBtnClick(); }),
              QStringLiteral("実行再開しました。\n 2\nOK\n\n"));
}

TEST_F(RunThread, SleepWakesOnAStopRequest) {
    ASSERT_TRUE(StillRunningAfter("SLEEP(60000)\r\nPRINT \"late\"\r\n"));
    const qint64 stopping = MillisecondsOf([this] {
        form_->StopBtnClick();
        ASSERT_TRUE(WaitIdle(5000));
    });
    EXPECT_LT(stopping, 2000);
    EXPECT_FALSE(Text().contains(QStringLiteral("late")));
}

TEST_F(RunThread, AnErrorInAnImmediateCommandHasNoPosition) {
    Immediate("PRINT 1 / 0");
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Text().startsWith(QStringLiteral("エラー:")));
    EXPECT_FALSE(Text().contains(QStringLiteral("行,")));
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

TEST_F(RunThread, EchoOffSuppressesTheEndLines) {
    StartProgramRun("ECHO OFF\r\nPRINT \"x\"\r\n");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("x\n\n"));
}

TEST_F(RunThread, ValuesOfAStoppedLoopOutliveAnImmediateCommandAndAnEventCall) {
    // Stopped inside the function's loop, the 100 of the expression waits on the value stack; neither
    // a typed command nor a click's event call may report it as left over or take it away.
    // The stop must come after the limit is set, however slowly the run starts: the program says when.
    ASSERT_TRUE(StillRunningAfterItPrints(
        "PUBLIC Limit\r\nSUB CButton1_Click\r\nPRINT \"click\"\r\nEND SUB\r\n"
        "FUNCTION Work(N)\r\nDO\r\nN = N + 1\r\nLOOP UNTIL N > Limit\r\nWork = N\r\nEND FUNCTION\r\n"
        "Limit = 2000000000\r\nPRINT \"set\"\r\nPRINT 100 + Work(0) * 0\r\n",
        QStringLiteral("set")))
        << "the loop should still be running";
    form_->StopBtnClick();
    ASSERT_TRUE(WaitIdle());
    form_->CLSBtnClick();
    Immediate("Limit = 0");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("OK\n\n"));
    form_->CLSBtnClick();
    // A button's event shows its output in the run window, brought back when it was minimised.
    form_->showMinimized();
    ASSERT_TRUE(StartEventCall(QStringLiteral("Call CButton1_Click")));
    EXPECT_FALSE(form_->isMinimized());
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("click\nOK\n\n"));
    // What a command itself leaves is its own: reported and taken, the program's value stays under it.
    form_->CLSBtnClick();
    ASSERT_TRUE(StartEventCall(QStringLiteral("PRINT USING \"#\"; 1, 2")));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), OneAndLeftOverValues);
    form_->CLSBtnClick();
    Immediate("CONT");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("実行再開しました。\n 100\nOK\n\n"));
}

TEST_F(RunThread, ShuttingDownDuringARunNeitherHangsNorCrashes) {
    ASSERT_TRUE(StillRunningAfter("DO\r\nLOOP\r\n", 30));
    EXPECT_LT(MillisecondsOf(TLXMTHread::StopAndJoin), 5000);
    EXPECT_EQ(Rc.ThreadBusy, 0);
}

TEST_F(RunThread, AStopOrAnExitAskedForWhileTheRunStartsEndsIt) {
    // The start of the run waits for the user-interface thread (the media player is closed first), so
    // the stop below is raised before the run has reset the interpreter.
    StartProgramRun("DO\r\nLOOP\r\n");
    form_->StopBtnClick();
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Text().contains(QStringLiteral("実行中断しました\nOK\n"))) << Text().toStdString();

    // Closing the application at once.
    StartProgramRun("DO\r\nLOOP\r\n");
    EXPECT_TRUE(TLXMTHread::StopAndJoin());
    EXPECT_EQ(Rc.ThreadBusy, 0);
}

TEST_F(RunThread, WholeFileReadsOfAFifoOrADeviceAreFileNotFound) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString fifo = folder.filePath(QStringLiteral("pipe.txt"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString notFound = QStringLiteral("エラー:") + ErrorMessage(Err::FileNotFound);
    const QString programs[] = {
        QStringLiteral("A$ = READALLTEXT(\"%1\")").arg(fifo),
        QStringLiteral("A$ = READALLTEXT(\"/dev/zero\")"),
        QStringLiteral("DIM L$(1) : L$() = READALLLINES(\"%1\")").arg(fifo),
        QStringLiteral("LOAD \"%1\"").arg(fifo),
        QStringLiteral("PRINT GETIMAGESIZE$(\"%1\")").arg(folder.filePath(QStringLiteral("pipe.png"))),
        QStringLiteral("FILECOPY \"%1\", \"%2\"").arg(fifo, folder.filePath(QStringLiteral("copy.txt"))),
    };
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("pipe.png"))).constData(), 0600), 0);
    for (const QString& program : programs) {
        SCOPED_TRACE(program.toStdString());
        form_->CLSBtnClick();
        StartProgramRun((program + QStringLiteral("\r\n")).toUtf8().constData());
        ASSERT_TRUE(WaitIdle());
        EXPECT_TRUE(Text().startsWith(notFound)) << Text().toStdString();
    }
}

TEST_F(RunThread, OutOfMemoryEndsTheRunWithItsErrorAndNotTheApplication) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // Strings, a join and the PRINT line, each grown until the limit of the process is reached.
    const char* programs[] = {
        "A$ = \"x\" : FOR I = 1 TO 40 : A$ = A$ + A$ : NEXT\r\n",
        "A$ = \"x\" : FOR I = 1 TO 40 : A$ = A$ & A$ : NEXT\r\n",
        "A$ = STRING$(1000000, \"x\")\r\nDO\r\nPRINT A$;\r\nLOOP\r\n",
    };
    const QString outOfMemory = QStringLiteral("エラー:") + ErrorMessage(Err::OutOfMemory);
    for (const char* program : programs) {
        SCOPED_TRACE(program);
        const QString file = folder.filePath(QStringLiteral("oom.lxt"));
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(program);
        out.close();
        QProcess run;
        run.setProcessChannelMode(QProcess::MergedChannels);
        // About a gigabyte of address space: the program meets its limit within a few doublings.
        run.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("ulimit -v 1000000 && exec \"$0\" \"$1\""),
                   QCoreApplication::applicationDirPath() + QStringLiteral("/lxrun"), file});
        ASSERT_TRUE(run.waitForFinished(60000));
        const QString output = QString::fromUtf8(run.readAll());
        EXPECT_EQ(run.exitStatus(), QProcess::NormalExit) << output.toStdString();
        EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains(outOfMemory)) << output.toStdString();
    }
}

// The functions that build a long result step by step, each with its arguments as pushed.
struct LongBuilder {
    const char* Name;
    std::function<void()> Push;
    std::function<void()> Call;
    int Arguments;
};

std::vector<LongBuilder> LongBuilders(const QString& text, const QString& replacement) {
    const QString form = QStringLiteral("nfkd");
    return {
        {"NORMALIZE", [=] { GlPushStr(text), GlPushStr(form); }, [] { FnNormalize(NormalizeWithForm); }, 2},
        {"UCASE$", [=] { GlPushStr(text); }, [] { FnCase(Fn::UCASEStr); }, 1},
        {"STRCONV", [=] { GlPushStr(text), GlPushNum(3); }, [] { FnStrConv(); }, 2},
        {"REPLACE$", [=] { GlPushStr(text), GlPushStr(text.left(1)), GlPushStr(replacement); },
         [] { FnReplace(); }, 3},
    };
}

TEST_F(RunThread, ALongBuilderThatMeetsAStopPutsItsArgumentsBackForContToRunItAgain) {
    // Long enough for several steps of each builder.
    const QString text(300000, QChar(0xFDFA));
    for (const LongBuilder& builder : LongBuilders(text, QStringLiteral("ab"))) {
        SCOPED_TRACE(builder.Name);
        GlClear();
        builder.Push();
        Fe.ErrorNumber = 0;
        Eng.ResumeAtItem = 0;
        Eng.CurrentItemIndex = 4321;
        Rc.StopRequest = 1;
        builder.Call();
        Rc.StopRequest = 0;
        EXPECT_EQ(Fe.ErrorNumber, 0);
        EXPECT_EQ(ValueStackCount, builder.Arguments) << "no result, the arguments as they were";
        QString first;
        for (int k = 1; k < builder.Arguments; ++k)
            DiscardGlTop();
        ASSERT_TRUE(GlPopStr(first));
        EXPECT_EQ(first, text);
        EXPECT_EQ(Eng.ResumeAtItem, 4321) << "CONT must run the function again";
    }
    GlClear();
    Eng.ResumeAtItem = 0;
}

TEST_F(RunThread, ContAfterAStopInsideNormalizeGivesItsFullResult) {
    // Most of the run is spent inside NORMALIZE, so the stop most likely ends one of them half done;
    // wherever it comes, the resumed run gives the whole result.
    ASSERT_TRUE(
        StillRunningAfter("A$ = STRING$(250, CHRU(&HFDFA))\r\nFOR I = 1 TO 13 : A$ = A$ + A$ : NEXT\r\n"
                          "FOR K = 1 TO 3\r\nB$ = NORMALIZE(A$, \"NFKD\")\r\nNEXT K\r\nPRINT LEN(B$)\r\n",
                          200))
        << "the run should still be running";
    form_->StopBtnClick();
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(Text().contains(QStringLiteral("実行中断しました"))) << Text().toStdString();
    form_->CLSBtnClick();
    form_->ContBtnClick();
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), QStringLiteral("実行再開しました。\n 36864000\nOK\n\n"));
}

TEST_F(RunThread, ALongBuilderStaysWithinTheBudgetAsItsResultGrows) {
    // The results of NORMALIZE and REPLACE$ are far larger than the budget; the source text is made
    // before the run is weighed.
    const QString text(4000000, QChar(0xFDFA)); // NFKD makes 18 characters of each
    ASSERT_EQ(setenv("LORVEX_MEMORY_BUDGET", "16M", 1), 0);
    for (const LongBuilder& builder : LongBuilders(text, QString(8, u'x'))) {
        if (builder.Name != std::string("NORMALIZE") && builder.Name != std::string("REPLACE$")) continue;
        SCOPED_TRACE(builder.Name);
        GlClear();
        builder.Push();
        Fe.ErrorNumber = 0;
        Rc.StopRequest = 0;
        MemoryBudget::BeginRun(Rc.StopRequest);
        builder.Call();
        MemoryBudget::EndRun();
        // Either the function found its growth past the budget, or the budget's watcher stopped it.
        const bool exceeded = MemoryBudget::TakeExceeded();
        EXPECT_TRUE(Fe.ErrorNumber == Err::OutOfMemory || (Rc.StopRequest != 0 && exceeded))
            << Fe.ErrorNumber;
        EXPECT_NE(ValueStackCount, 1) << "no result was made";
        Rc.StopRequest = 0;
        Fe.ErrorNumber = 0;
    }
    unsetenv("LORVEX_MEMORY_BUDGET");
    GlClear();
    Eng.ResumeAtItem = 0;
}

// Runs `program` by lxrun in a child process, under an address-space limit of `limitKiB` when it is
// not 0; the run window's text.
QString RunInChild(const QString& folder, const char* program, qint64 limitKiB = 0) {
    const QString file = folder + QStringLiteral("/child.lxt");
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return QStringLiteral("(no file)");
    out.write(program);
    out.close();
    QProcess run;
    run.setProcessChannelMode(QProcess::SeparateChannels);
    const QString limit = limitKiB > 0 ? QStringLiteral("ulimit -v %1 && ").arg(limitKiB) : QString();
    run.start(QStringLiteral("/bin/sh"),
              {QStringLiteral("-c"), limit + QStringLiteral("exec \"$0\" \"$1\""),
               QCoreApplication::applicationDirPath() + QStringLiteral("/lxrun"), file});
    if (!run.waitForFinished(60000)) return QStringLiteral("(no end)");
    return QString::fromUtf8(run.readAllStandardOutput());
}

TEST_F(RunThread, UnderATightAddressLimitAProgramThatAsksForNothingRuns) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // The address space an idle run holds, and a limit that leaves it far less than the interface's
    // usual reserve above that.
    const QString statm = RunInChild(folder.path(), "PRINT READALLTEXT(\"/proc/self/statm\")\r\n");
    bool read = false;
    const qint64 pages = statm.section(u' ', 0, 0).toLongLong(&read);
    ASSERT_TRUE(read) << statm.toStdString();
    constexpr qint64 RoomKiB = 160 * 1024;
    const qint64 limitKiB = pages * (sysconf(_SC_PAGESIZE) / 1024) + RoomKiB;
    EXPECT_EQ(RunInChild(folder.path(), "FOR I = 1 TO 3000000 : X = X + 1 : NEXT\r\nPRINT X\r\n", limitKiB),
              QStringLiteral(" 3000000\nOK\n\n"));
}

const QString NothingToContinueLine = QStringLiteral("再開できる中断したプログラムがありません。\nOK\n\n");

// Sets a small memory budget for the runs of one test.
class SmallBudget {
public:
    SmallBudget() { setenv("LORVEX_MEMORY_BUDGET", "16M", 1); }
    ~SmallBudget() { unsetenv("LORVEX_MEMORY_BUDGET"); }
    SmallBudget(const SmallBudget&) = delete;
    SmallBudget& operator=(const SmallBudget&) = delete;
};
// Doubles a text far past that budget.
constexpr const char* FillsTheBudget = "A$ = SPACE$(1024) : FOR I = 1 TO 16 : A$ = A$ + A$ : NEXT";

TEST_F(RunThread, AProgramStoppedInItsCompileHasNothingToContinue) {
    // The stop comes while the run waits for this thread to close the media player, before the
    // program is compiled; the compile looks for it within its first few thousand lines.
    std::string program;
    for (int line = 0; line < 5000; ++line)
        program += "X = X + 1\r\n";
    StartProgramRun(program.c_str());
    form_->StopBtnClick();
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(Text().contains(QStringLiteral("実行中断しました"))) << Text().toStdString();
    EXPECT_FALSE(ProgramCanContinue());
    form_->CLSBtnClick();
    form_->ContBtnClick();
    EXPECT_EQ(Rc.ThreadBusy, 0) << "Cont starts nothing";
    ASSERT_TRUE(WaitIdle());
    Immediate("CONT");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), NothingToContinueLine);
}

TEST_F(RunThread, AfterAStopACommandThatRunsOutOfMemoryLeavesNothingToContinue) {
    SmallBudget budget;
    StartProgramRun("A$ = \"kept\"\r\nSTOP\r\nPRINT A$\r\n");
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(ProgramCanContinue());
    form_->CLSBtnClick();
    Immediate(FillsTheBudget);
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(Text().startsWith(QStringLiteral("エラー:") + ErrorMessage(Err::OutOfMemory)))
        << Text().toStdString();
    EXPECT_FALSE(ProgramCanContinue()) << "the program's data was given back";
    form_->CLSBtnClick();
    Immediate("CONT");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), NothingToContinueLine);
}

// The user-interface thread's turn at the end of a run that has run out of memory: a stop asked for
// then, as a click of 中断 or lxrun's timeout may come.
void StopWhenOutOfMemory() {
    if (Fe.ErrorNumber == Err::OutOfMemory) Rc.StopRequest = 1;
    if (Win.RunForm != nullptr) Win.RunForm->ApplyQueue();
}

TEST_F(RunThread, AStopThatMeetsAnOutOfMemoryEndingLeavesThatErrorAlone) {
    SmallBudget budget;
    SetHandOverQueueApplier(&StopWhenOutOfMemory);
    const QString program = QString::fromUtf8(FillsTheBudget) + QStringLiteral("\r\nPRINT \"never\"\r\n");
    StartProgramRun(program.toUtf8().constData());
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Text().startsWith(QStringLiteral("エラー:") + ErrorMessage(Err::OutOfMemory) +
                                  QStringLiteral("(1行,")))
        << Text().toStdString();
    EXPECT_FALSE(Text().contains(QStringLiteral("実行中断しました"))) << Text().toStdString();
    EXPECT_FALSE(ProgramCanContinue());
    form_->CLSBtnClick();
    Immediate("CONT");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text(), NothingToContinueLine);
}

TEST_F(RunThread, OnlyTheNewestRunWindowTakesTheQueuedOutput) {
    TRunForm other;
    FlushPrintLine(QStringLiteral("for the newest window"));
    form_->ApplyQueue();
    EXPECT_FALSE(Text().contains(QStringLiteral("for the newest window")));
    other.ApplyQueue();
    EXPECT_TRUE(other.Text().contains(QStringLiteral("for the newest window")));
}

TEST_F(RunThread, StopAndExitAtAnyMomentEndTheRunStoppedAndContGoesOn) {
    InstallInputDialog();
    InstallGraphForm();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString points = folder.filePath(QStringLiteral("points.txt"));
    {
        QFile file(points);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int k = 0; k < 200000; ++k)
            file.write("3 3 12\n");
    }
    // Endless programs, each waiting or working in its own way when the stop comes.
    const QString programs[] = {
        QStringLiteral("DO\r\nLOOP"),
        QStringLiteral("DO\r\nPRINT \"line\"\r\nLOOP"),
        QStringLiteral("DO\r\nINPUT A\r\nLOOP"),
        QStringLiteral("DO\r\nSLEEP(1000)\r\nLOOP"),
        QStringLiteral("DO\r\nA$ = INPUT$(1)\r\nLOOP"),
        QStringLiteral("GSCREEN (50, 50)\r\nDO\r\nFILEPSET \"%1\"\r\nLOOP").arg(points),
        QStringLiteral("GSCREEN (50, 50)\r\nDO\r\nPSET (3, 3)\r\nLINE (0, 0)-(40, 40)\r\nLOOP"),
        QStringLiteral("DO\r\nA$ = READALLTEXT(\"%1\")\r\nLOOP").arg(points),
    };
    std::mt19937 random(17);
    std::uniform_int_distribution<int> moment(0, 40);
    int resumed = 0;
    for (const QString& program : programs) {
        SCOPED_TRACE(program.toStdString());
        const QByteArray text = (program + QStringLiteral("\r\n")).toUtf8();
        for (int pass = 0; pass < 3; ++pass) {
            // The stop comes from the event loop, as a click does: an INPUT dialog may be open in it.
            TRunForm* form = form_.get();
            form->CLSBtnClick();
            StartProgramRun(text.constData());
            QTimer::singleShot(moment(random), form, [form] { form->StopBtnClick(); });
            ASSERT_TRUE(WaitIdle());
            EXPECT_TRUE(Text().contains(QStringLiteral("実行中断しました\nOK\n"))) << Text().toStdString();

            form->CLSBtnClick();
            form->ContBtnClick();
            QTimer::singleShot(moment(random), form, [form] { form->StopBtnClick(); });
            ASSERT_TRUE(WaitIdle());
            // A stop before the "Cont" command has run stops the command itself (no stop line for
            // it); otherwise the program resumed and stopped again.
            if (Text() != QStringLiteral("OK\n\n")) {
                ++resumed;
                EXPECT_TRUE(Text().startsWith(QStringLiteral("実行再開しました。\n")))
                    << Text().toStdString();
                EXPECT_TRUE(Text().contains(QStringLiteral("実行中断しました\nOK\n")))
                    << Text().toStdString();
            }

            // The application closes during the run: the Exit command raises the stop, and once the
            // event loops have ended the interpreter is joined (whichever comes first).
            StartProgramRun(text.constData());
            QTimer::singleShot(moment(random), form, [] { Rc.StopRequest = 1; });
            PumpFor(moment(random));
            EXPECT_TRUE(TLXMTHread::StopAndJoin());
            EXPECT_EQ(Rc.ThreadBusy, 0);
            ReopenHandOver();
            RunWindowQueue::Instance().Reset();
            PumpFor(5); // the exit's stop, when it comes after the join
            form->ApplyQueue();
        }
    }
    EXPECT_GT(resumed, 0);
}

} // namespace
