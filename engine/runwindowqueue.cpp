// The run-window queue: pushed under its mutex by the interpreter thread, taken whole by the run
// window, which is woken when work arrives.
#include "engine/runwindowqueue.h"

#include <chrono>

RunWindowQueue& RunWindowQueue::Instance() {
    static RunWindowQueue queue;
    return queue;
}

void RunWindowQueue::Push(RunWindowEvent event) {
    void (*wake)() = nullptr;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (events_.size() >= Capacity && wake_ != nullptr && !abandoned_) {
            wake = wake_;
            lock.unlock();
            wake();
            lock.lock();
            // The consumer drains on its own thread; wait for room, but never for ever.
            room_.wait_for(lock, std::chrono::seconds(2),
                           [this] { return events_.size() < Capacity || abandoned_ || wake_ == nullptr; });
        }
        events_.push_back(std::move(event));
    }
}

std::deque<RunWindowEvent> RunWindowQueue::TakeAll(const void* taker) {
    std::deque<RunWindowEvent> taken;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (consumer_ != nullptr && taker != consumer_) return taken;
        taken.swap(events_);
    }
    room_.notify_all();
    return taken;
}

void RunWindowQueue::SetWakeConsumer(void (*wake)(), const void* consumer) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wake_ = wake;
        consumer_ = consumer;
    }
    room_.notify_all();
}

void RunWindowQueue::ReleaseConsumer(const void* consumer) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (consumer_ != consumer) return;
        wake_ = nullptr;
        consumer_ = nullptr;
    }
    room_.notify_all();
}

void RunWindowQueue::Abandon() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        abandoned_ = true;
    }
    room_.notify_all();
}

void RunWindowQueue::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.clear();
    abandoned_ = false;
}

bool RunWindowQueue::Empty() {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_.empty();
}
