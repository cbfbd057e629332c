// The hand-over between the interpreter thread and the user-interface thread: order, blocking and
// cancellation at shutdown.
#include "engine/handover.h"
#include "engine/runwindowqueue.h"
#include "tests/testsupport.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

std::vector<QString> Applied;  // user-interface thread only

void ApplyIntoVector() {
    for (RunWindowEvent& event : RunWindowQueue::Instance().TakeAll()) Applied.push_back(event.Text);
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
        result = Synchronize([&] { workRan = true; });  // the user-interface thread never gets to it
        finished = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(finished);
    CancelHandOver();
    interpreter.join();
    EXPECT_TRUE(finished);
    EXPECT_FALSE(result);
    QCoreApplication::processEvents();  // the dropped call must not run late
    EXPECT_FALSE(workRan);
    EXPECT_FALSE(Synchronize([] {})) << "refused after shutdown";
}

TEST_F(HandOver, AFullQueueWakesTheConsumerInsteadOfGrowing) {
    static std::atomic<int> wakes{0};
    wakes = 0;
    RunWindowQueue::Instance().SetWakeConsumer([] {
        ++wakes;
        RunWindowQueue::Instance().TakeAll();  // a consumer that drains at once
    });
    for (std::size_t i = 0; i < RunWindowQueue::Capacity * 2 + 1; ++i) PushLine(QStringLiteral("x"));
    RunWindowQueue::Instance().SetWakeConsumer(nullptr);
    EXPECT_GE(wakes, 2);
}

} // namespace
