// The hand-over between the interpreter thread and the user-interface thread: order, blocking and
// cancellation at shutdown.
#include "core/errornumbers.h"
#include "core/errortext.h"
#include "core/sharedstate.h"
#include "engine/enginehooks.h"
#include "engine/flowexec.h"
#include "engine/handover.h"
#include "engine/lxthread.h"
#include "engine/runwindowqueue.h"
#include "frontend/initall.h"
#include "tests/testsupport.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

std::vector<QString> Applied; // user-interface thread only

void ApplyIntoVector() {
    for (RunWindowEvent& event : RunWindowQueue::Instance().TakeAll())
        if (event.Op == RunWindowOp::AppendLine) Applied.push_back(event.Text);
}

void PushLine(const QString& text) {
    RunWindowEvent event;
    event.Op = RunWindowOp::AppendLine;
    event.Text = text;
    RunWindowQueue::Instance().Push(std::move(event));
}

class HandOver : public ::testing::Test {
protected:
    void SetUp() override {
        Applied.clear();
        RunWindowQueue::Instance().Reset();
        ReopenHandOver();
        SetHandOverTarget(&target_);
        SetHandOverQueueApplier(&ApplyIntoVector);
    }
    void TearDown() override {
        SetHandOverTarget(nullptr);
        SetHandOverQueueApplier(nullptr);
        ReopenHandOver();
    }
    QObject target_;
};

TEST_F(HandOver, QueuedLinesAreAppliedBeforeTheBlockingWork) {
    std::atomic<bool> done{false};
    std::vector<QString> seenByWork;
    bool ran = false;
    std::thread interpreter([&] {
        PushLine(QStringLiteral("one"));
        PushLine(QStringLiteral("two"));
        ran = Synchronize([&] { seenByWork = Applied; });
        PushLine(QStringLiteral("three"));
        done = true;
    });
    PumpUntil([&done] { return done.load(); });
    interpreter.join();
    ApplyIntoVector();
    EXPECT_TRUE(ran);
    EXPECT_EQ(seenByWork, (std::vector<QString>{QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_EQ(Applied.size(), 3u);
    EXPECT_EQ(Applied.back(), QStringLiteral("three"));
}

TEST_F(HandOver, TheInterpreterWaitsForTheWork) {
    std::atomic<bool> done{false};
    std::atomic<int> value{0};
    int seenAfter = -1;
    std::thread interpreter([&] {
        Synchronize([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            value = 42;
        });
        seenAfter = value;
        done = true;
    });
    PumpUntil([&done] { return done.load(); });
    interpreter.join();
    EXPECT_EQ(seenAfter, 42);
}

TEST_F(HandOver, CancellingReleasesAWaitingInterpreter) {
    std::atomic<bool> finished{false};
    std::atomic<bool> result{true};
    bool workRan = false;
    std::thread interpreter([&] {
        result = Synchronize([&] { workRan = true; }); // the user-interface thread never gets to it
        finished = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(finished);
    CancelHandOver();
    interpreter.join();
    EXPECT_TRUE(finished);
    EXPECT_FALSE(result);
    QCoreApplication::processEvents(); // the dropped call must not run late
    EXPECT_FALSE(workRan);
    EXPECT_FALSE(Synchronize([] {})) << "refused after shutdown";
}

TEST_F(HandOver, WorkOutOfMemoryFailsTheCallerAndTheUserInterfaceGoesOn) {
    std::atomic<bool> done{false};
    bool first = true;
    bool second = true;
    bool afterwards = false;
    int firstError = 0;
    int secondError = 0;
    int keptError = 0;
    bool laterRan = false;
    std::thread interpreter([&] {
        Fe.ErrorNumber = 0;
        first = Synchronize([] { throw std::bad_alloc(); });
        firstError = Fe.ErrorNumber;
        Fe.ErrorNumber = 0;
        second = Synchronize([] { throw std::length_error("QString"); });
        secondError = Fe.ErrorNumber;
        Fe.ErrorNumber = Err::FileNotFound; // an error the statement already has stands
        Synchronize([] { throw std::bad_alloc(); });
        keptError = Fe.ErrorNumber;
        Fe.ErrorNumber = 0;
        afterwards = Synchronize([&] { laterRan = true; });
        done = true;
    });
    PumpUntil([&done] { return done.load(); });
    interpreter.join();
    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
    EXPECT_EQ(firstError, Err::OutOfMemory);
    EXPECT_EQ(secondError, Err::OutOfMemory);
    EXPECT_EQ(keptError, Err::FileNotFound);
    EXPECT_TRUE(afterwards);
    EXPECT_TRUE(laterRan);
    Fe.ErrorNumber = 0;
}

TEST_F(HandOver, ARunWhoseWindowWorkRunsOutOfMemoryEndsWithTheErrorAtThatStatement) {
    InitAll();
    static std::atomic<int> beeps{0};
    beeps = 0;
    Hooks.BeepHook = [] {
        ++beeps;
        throw std::bad_alloc();
    };
    InstallEngineReset();
    const auto run = [&](const char* text) {
        ASSERT_TRUE(StartRun(RunRequest{RunStart::Program, QString::fromUtf8(text)}));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (Rc.ThreadBusy != 0 && std::chrono::steady_clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ASSERT_EQ(Rc.ThreadBusy, 0) << "the run must not hang on the failed window work";
        TLXMTHread::WaitForIdle();
        ApplyIntoVector();
    };
    run("PRINT 1\r\nBEEP\r\nPRINT 2\r\n");
    Hooks.BeepHook = nullptr;
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(LastRunError().Number, Err::OutOfMemory);
    std::vector<QString> expected{QStringLiteral(" 1"),
                                  QStringLiteral("エラー:") + ErrorMessage(Err::OutOfMemory) +
                                      QStringLiteral("(2行,　3 桁)"),
                                  QStringLiteral("OK"), QString()};
    EXPECT_EQ(Applied, expected);

    // The user-interface side still serves the next run.
    Applied.clear();
    run("PRINT 3\r\n");
    EXPECT_EQ(LastRunError().Number, 0);
    EXPECT_EQ(Applied, (std::vector<QString>{QStringLiteral(" 3"), QStringLiteral("OK"), QString()}));
}

TEST_F(HandOver, AFullQueueWakesTheConsumerInsteadOfGrowing) {
    static std::atomic<int> wakes{0};
    wakes = 0;
    RunWindowQueue::Instance().SetWakeConsumer([] {
        ++wakes;
        RunWindowQueue::Instance().TakeAll(); // a consumer that drains at once
    });
    for (std::size_t i = 0; i < RunWindowQueue::Capacity * 2 + 1; ++i)
        PushLine(QStringLiteral("x"));
    RunWindowQueue::Instance().SetWakeConsumer(nullptr);
    EXPECT_GE(wakes, 2);
}

} // namespace
