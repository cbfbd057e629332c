// The blocking hand-over: each call waits, under one mutex and condition, for the user-interface
// thread to run its work, and a cancel at shutdown releases every waiter.
#include "engine/handover.h"

#include "core/errornumbers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>

namespace {

QPointer<QObject> Target;
std::atomic<void (*)()> QueueApplier{nullptr};
std::atomic<bool> Cancelled{false};

// Every waiting call shares this so CancelHandOver can wake it.
std::mutex WaitMutex;
std::condition_variable WaitCondition;

enum class CallState { Pending, Running, Done, Dropped };

struct PendingCall {
    CallState State = CallState::Pending;
    bool OutOfMemory = false;
};

void ApplyQueue() {
    if (void (*apply)() = QueueApplier.load()) apply();
}

} // namespace

void SetHandOverTarget(QObject* target) {
    Target = target;
}
void SetHandOverQueueApplier(void (*applier)()) {
    QueueApplier = applier;
}

bool Synchronize(const std::function<void()>& work) {
    if (Cancelled) return false;
    QObject* target = Target.data();
    if (target == nullptr) return false;
    if (QThread::currentThread() == target->thread()) {
        ApplyQueue();
        work();
        return true;
    }

    auto call = std::make_shared<PendingCall>();
    const bool posted = QMetaObject::invokeMethod(
        target,
        [call, &work] {
            {
                std::lock_guard<std::mutex> lock(WaitMutex);
                if (call->State != CallState::Pending) return; // dropped at shutdown
                call->State = CallState::Running;
            }
            // Window work can run out of memory with program data (a huge caption or text, a picture
            // copied); nothing may escape into the event loop, and the waiting run must be released.
            bool outOfMemory = false;
            try {
                ApplyQueue();
                work();
            } catch (const std::bad_alloc&) {
                outOfMemory = true;
            } catch (const std::length_error&) {
                outOfMemory = true;
            }
            {
                std::lock_guard<std::mutex> lock(WaitMutex);
                call->OutOfMemory = outOfMemory;
                call->State = CallState::Done;
            }
            WaitCondition.notify_all();
        },
        Qt::QueuedConnection);
    if (!posted) return false;

    std::unique_lock<std::mutex> lock(WaitMutex);
    // A call that has started is always waited for: its work may refer to this thread's data.
    WaitCondition.wait(lock, [&] {
        return call->State == CallState::Done || (Cancelled && call->State == CallState::Pending);
    });
    if (call->State == CallState::Pending) {
        call->State = CallState::Dropped;
        return false;
    }
    if (call->OutOfMemory) {
        // The statement that asked for the work fails with it; an error it already had stands.
        RaiseError(Err::OutOfMemory);
        return false;
    }
    return true;
}

bool SyncBarrier() {
    return Synchronize([] {});
}

void CancelHandOver() {
    {
        std::lock_guard<std::mutex> lock(WaitMutex);
        Cancelled = true;
    }
    WaitCondition.notify_all();
}

void ReopenHandOver() {
    Cancelled = false;
}
bool HandOverCancelled() {
    return Cancelled;
}
