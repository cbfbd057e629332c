// The blocking hand-over of window work: the interpreter thread asks the user-interface thread to run a
// piece of work and waits for it. Queued run-window work is applied first, so everything happens in the
// order the program asked for it. At shutdown the hand-over is cancelled: a call that has not started
// is dropped and the waiting interpreter thread is released.
#pragma once

#include <functional>

class QObject;

// The object whose thread runs the work (an object living on the user-interface thread).
void SetHandOverTarget(QObject* target);
// Called on the user-interface thread before every piece of work: applies the run-window queue.
void SetHandOverQueueApplier(void (*applier)());

// Runs `work` on the user-interface thread and waits for it. False when the hand-over was cancelled or
// no target exists (the work did not run), or when the work ran out of memory there: the calling
// (interpreter) thread then has the out-of-memory error in ErrorNumber, and the user-interface thread
// goes on. Never call it from the user-interface thread's own handlers
// with a modal wait in progress; on that thread it simply runs the work at once.
bool Synchronize(const std::function<void()>& work);

// An empty synchronised call: returns when all window work queued earlier has been done.
bool SyncBarrier();

// Shutdown: drop calls that have not started and refuse new ones. Reopen() undoes it (tests).
void CancelHandOver();
void ReopenHandOver();
bool HandOverCancelled();
