// The interpreter thread. The user interface sets the run-control variables and starts one thread per
// run (editor Run, command line, Cont, Rerun, a typed line, an event call); the thread compiles what the
// run kind asks for, runs the code, and reports the end of the run in the run window.
#pragma once

#include "core/errortext.h"

#include <QThread>

class TLXMTHread : public QThread {
    Q_OBJECT
public:
    explicit TLXMTHread(QObject* parent = nullptr);

    // Starts a run with the run-control variables as set. A stop asked for from this call on is seen
    // by the run. Refused (false) while the application is shutting the interpreter down.
    static bool StartRun();
    // Shutdown: raise the stop request, release every wait, and join the running thread. False when
    // the run did not honour the stop within StopWaitLimitMs: the thread is then left running, and
    // the caller must end the process without tearing down what the thread still uses.
    static bool StopAndJoin();
    static constexpr int StopWaitLimitMs = 5000;
    // Waits until the running thread (if any) has finished (tests and tools).
    static void WaitForIdle();

protected:
    // The run; out of memory even at its end still lets the next run start.
    void run() override;

private:
    void Execute();
};

// True while a stopped program can be continued (Cont, Shift+F9, CONT): false when no program ran,
// when it ended or failed, when it was stopped before its code ran, and when its memory was given back.
bool ProgramCanContinue();

// The error of the last run, published when the run ends (for the editor).
struct PublishedError {
    int Number = 0;
    int Position = 0;
};
PublishedError LastRunError();
