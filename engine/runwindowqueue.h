// The ordered hand-over of run-window work from the interpreter thread: output lines, CLS of the text,
// caption, button modes, read-only state and placement. The engine only enqueues; the run window
// applies the queue on the user-interface thread in batches (on a short timer, at once when the queue
// fills, and before every blocking call), so the order of everything the program does is kept and the
// interpreter never touches a widget.
#pragma once

#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>

enum class RunWindowOp {
    AppendLine,     // the line writer: trim to the limits, then add Text as the last line
    AppendEchoLine, // the INPUT$ key echo's twin of AppendLine
    ClearText,      // empty the text and OutputLineCount := 0
    SetCaption,     // Text
    ButtonMode,     // Value: RunButtonMode
    ReadOnly,       // Value: 1 read-only, 0 writable
    Place,          // Left, Top, Width, Height: client size of the text area
    AppendText,     // Text appended to the memo as it stands (LIST)
};

namespace RunButtonMode {
inline constexpr int Prepare = 0;
inline constexpr int Run = 1;
inline constexpr int Stop = 2;
inline constexpr int End = 3;
inline constexpr int ImmediateRun = 4; // Edit, Rerun and Cont off, Stop on; the caption unchanged
} // namespace RunButtonMode

struct RunWindowEvent {
    RunWindowOp Op = RunWindowOp::AppendLine;
    QString Text;
    int Value = 0;
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

class RunWindowQueue {
public:
    // Bounded: a producer that finds it full asks the consumer to apply it now and waits for room,
    // so a program that prints without pause cannot grow memory without end.
    static constexpr std::size_t Capacity = 4096;

    static RunWindowQueue& Instance();

    void Push(RunWindowEvent event);
    // Takes everything queued so far (user-interface thread). The queue has one consumer: while one is
    // registered, anyone else takes nothing, so two run windows never share out one program's output.
    std::deque<RunWindowEvent> TakeAll(const void* taker = nullptr);
    // The consumer registers with a function that schedules an apply on its thread; called when the
    // queue fills. A newer consumer replaces the one before.
    void SetWakeConsumer(void (*wake)(), const void* consumer = nullptr);
    // A consumer that goes away; nothing happens when another one has replaced it.
    void ReleaseConsumer(const void* consumer);
    // Releases producers waiting for room (at shutdown, or when no consumer exists any more).
    void Abandon();
    void Reset();
    bool Empty();

private:
    std::mutex mutex_;
    std::condition_variable room_;
    std::deque<RunWindowEvent> events_;
    void (*wake_)() = nullptr;
    const void* consumer_ = nullptr;
    bool abandoned_ = false;
};
