// The interpreter thread. A run is started by StartRun alone (editor Run, command line, Cont, Rerun, a
// typed line, an event call), which sets the run-control variables for what it is asked to run and
// starts one thread; the thread compiles what the run kind asks for, runs the code, and reports the end
// of the run in the run window. A stop is asked for by RequestStop.
#pragma once

#include "core/errortext.h"

#include <QString>
#include <QThread>

#include <utility>

// What a starter asks the interpreter to run.
enum class RunStart {
    Program,  // the program text, compiled afresh: the editor's Run, the command line
    Command,  // a line typed into the run window; a program it finds stopped stays stopped
    Rerun,    // the run window's Rerun button: the command "Run"
    Continue, // Cont (the run window's button, the editor's Continue): the stopped program goes on
    Event,    // an event call ("Call CButton1_Click") against the last compiled program's variables
};

struct RunRequest {
    explicit RunRequest(RunStart kind, QString text = QString(), QString folder = QString())
        : Kind(kind), Text(std::move(text)), Folder(std::move(folder)) {}

    RunStart Kind;
    // The program text (Program) or the command (Command, Event); Rerun and Continue bring their own.
    QString Text;
    // The program's folder (Program): where its files are looked for.
    QString Folder;
};

// Starts a run: sets the run kind, the program-active and continue switches, clears the stop request
// (a typed line puts it aside instead, for the program it finds stopped), stores the text for the kind,
// marks the interpreter busy and starts the thread. A stop asked for from this call on is seen by the
// run. Refused (false) while a thread is busy, for Program while a program is active, for Continue
// while no stopped program waits, and while the application shuts the interpreter down.
bool StartRun(const RunRequest& request);

// Asks the run to stop after the item in hand (Stop, Exit, an end signal, the INPUT dialog's Cancel).
// Nothing else is touched: the run keeps its resume point itself, and a request raised while no run
// is in progress is cleared by the next start.
void RequestStop();

class TLXMTHread : public QThread {
    Q_OBJECT
public:
    explicit TLXMTHread(QObject* parent = nullptr);

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
