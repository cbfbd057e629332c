// The interpreter thread's life: starting a run, compiling what the run kind asks for, running the
// code, and reporting the end or error of the run to the run window; also its stop and join.
#include "engine/lxthread.h"

#include "core/errornumbers.h"
#include "core/errortext.h"
#include "core/itembuffers.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/deviceexec.h"
#include "engine/enginehooks.h"
#include "engine/enginestate.h"
#include "engine/filechannels.h"
#include "engine/handover.h"
#include "engine/numfunctions.h"
#include "engine/printline.h"
#include "engine/runloop.h"
#include "engine/runwindowqueue.h"
#include "frontend/compile.h"
#include "frontend/compilerstate.h"
#include "frontend/initall.h"
#include "frontend/parse.h"
#include "platform/memorybudget.h"
#include "platform/osinfo.h"
#include "platform/settings.h"
#include "resources/texts.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMutex>
#include <QPointer>

#include <atomic>
#include <mutex>
#include <new>
#include <stdexcept>

namespace {

constexpr int CompileTextLimit = 0x40000;
constexpr int CompileTextLimitLarge = 0x100000;
constexpr int JoinSliceMs = 20;

std::mutex ThreadMutex;
TLXMTHread* RunningThread = nullptr;
// Set while the shutdown waits for the thread (user-interface thread only).
bool Joining = false;

std::mutex PublishedMutex;
PublishedError Published;

// True while a stopped program waits to be continued: its code and data are there and ResumePC names
// the item it goes on with. A stop during the compile leaves nothing to continue, and neither does a
// program that ended, failed, or gave its memory back.
std::atomic<bool> Resumable{false};

void Publish(int number, int position) {
    std::lock_guard<std::mutex> lock(PublishedMutex);
    Published = PublishedError{number, position};
}

void Post(RunWindowEvent event) {
    RunWindowQueue::Instance().Push(std::move(event));
}

void PostButtons(int mode) {
    RunWindowEvent event;
    event.Op = RunWindowOp::ButtonMode;
    event.Value = mode;
    Post(std::move(event));
}

void PostReadOnly(bool readOnly) {
    RunWindowEvent event;
    event.Op = RunWindowOp::ReadOnly;
    event.Value = readOnly ? 1 : 0;
    Post(std::move(event));
}

void PostCaption(const QString& caption) {
    RunWindowEvent event;
    event.Op = RunWindowOp::SetCaption;
    event.Text = caption;
    Post(std::move(event));
}

// The text area takes the size settings, as at start-up: the window keeps its size from run to run,
// and the size the preferences store from it comes back unchanged.
void PlaceRunForm() {
    RunWindowEvent event;
    event.Op = RunWindowOp::Place;
    event.Left = Ps.TScreenLeft;
    event.Top = Ps.TScreenTop;
    std::lock_guard<std::mutex> lock(SettingsMutex());
    event.Width = Settings.TScreenWidth;
    event.Height = Settings.TScreenHeight;
    Post(std::move(event));
}

void CloseAllChannels() {
    if (Ps.CloseAllFileChannelsHook != nullptr) Ps.CloseAllFileChannelsHook();
}

// A pending run-time error ends with: "エラー:" + message [+ "(" line/column ")"].
void ReportError() {
    // A failed run leaves no values behind for the next one, not even those under an immediate command.
    GlClear();
    QString line = ResourceText(Res::ErrorWord) + QLatin1Char(':') + ErrorMessage(Fe.ErrorNumber);
    if (Rc.RunMode == RunKind::Program) {
        line += QLatin1Char('(') + LineColumnText(Fe.ErrorPosition - 1) + QLatin1Char(')');
    } else {
        Fe.ErrorNumber = 0;
    }
    if (Rc.EchoOn) FlushPrintLine(line);
}

// Pops the Gl stack down to `depth` entries.
void DropValuesAbove(int depth) {
    if (depth <= 0) {
        GlClear();
        return;
    }
    const int error = Fe.ErrorNumber;
    while (ValueStackCount > depth) {
        const int before = ValueStackCount;
        switch (GlTopType()) {
        case GlValueType::String: {
            QString text;
            GlPopStr(text);
            break;
        }
        case GlValueType::Boolean: GlPopBool(); break;
        default: GlPopNum(); break;
        }
        if (ValueStackCount == before) { // an entry no pop takes: nothing under it is sound either
            GlClear();
            break;
        }
    }
    Fe.ErrorNumber = error;
}

} // namespace

bool ProgramCanContinue() {
    return Resumable.load();
}

PublishedError LastRunError() {
    std::lock_guard<std::mutex> lock(PublishedMutex);
    return Published;
}

TLXMTHread::TLXMTHread(QObject* parent) : QThread(parent) {}

namespace {

// The commands the run window's Rerun button and Cont run.
constexpr char16_t RerunCommand[] = u"Run";
constexpr char16_t ContinueCommand[] = u"Cont";

// The run-control variables for `request`, set before the thread starts and read by it.
void SetRunControl(const RunRequest& request) {
    switch (request.Kind) {
    case RunStart::Program:
        Rc.RunMode = RunKind::Program;
        Rc.ProgramRunning = 1;
        Rc.ContinueFlag = 0;
        Rc.StopRequest = 0;
        Fe.ProgramText = request.Text;
        Fe.ProgramTextLength = static_cast<int>(request.Text.size());
        Fe.ProgramFolder = request.Folder;
        break;
    case RunStart::Command:
        // The stop request stays as it is: it is put aside for the program the command finds stopped.
        Rc.RunMode = RunKind::Immediate;
        Fe.CommandText = request.Text;
        break;
    case RunStart::Rerun:
        // The RUN statement marks the program active as it begins it again.
        Rc.RunMode = RunKind::Immediate;
        Rc.StopRequest = 0;
        Fe.CommandText = QString::fromUtf16(RerunCommand);
        break;
    case RunStart::Continue:
    case RunStart::Event:
        Rc.RunMode = RunKind::Immediate;
        Rc.ProgramRunning = 1;
        Rc.ContinueFlag = 1;
        Rc.StopRequest = 0;
        Fe.CommandText =
            request.Kind == RunStart::Continue ? QString::fromUtf16(ContinueCommand) : request.Text;
        break;
    }
}

} // namespace

bool StartRun(const RunRequest& request) {
    // A start from an event handled while the shutdown waits for the thread would replace the thread
    // being waited for.
    if (Joining || Rc.ThreadBusy != 0) return false;
    if (request.Kind == RunStart::Program && Rc.ProgramRunning != 0) return false;
    // Nothing stopped to go on with: a program that never ran, ended, or gave its memory back.
    if (request.Kind == RunStart::Continue && !ProgramCanContinue()) return false;
    std::lock_guard<std::mutex> lock(ThreadMutex);
    if (RunningThread != nullptr) {
        // The previous run has said it is done (ThreadBusy clear) but may still be leaving run().
        RunningThread->wait();
        delete RunningThread;
        RunningThread = nullptr;
    }
    SetRunControl(request);
    // The stop request pending when an immediate command begins belongs to the stopped program; it is
    // put aside here, while the run is requested, and not by the thread as it starts: a stop or an
    // exit asked for in between would be lost with it.
    if (Rc.RunMode == RunKind::Immediate) Rc.SavedStopRequest = Rc.StopRequest.exchange(0);
    Rc.ThreadBusy = 1;
    RunningThread = new TLXMTHread;
    RunningThread->start();
    return true;
}

void RequestStop() {
    Rc.StopRequest = 1;
}

void TLXMTHread::WaitForIdle() {
    TLXMTHread* thread = nullptr;
    {
        std::lock_guard<std::mutex> lock(ThreadMutex);
        thread = RunningThread;
    }
    if (thread != nullptr) thread->wait();
}

bool TLXMTHread::StopAndJoin() {
    RequestStop();
    CancelHandOver();
    RunWindowQueue::Instance().Abandon();
    TLXMTHread* thread = nullptr;
    {
        std::lock_guard<std::mutex> lock(ThreadMutex);
        thread = RunningThread;
    }
    if (thread == nullptr) return true;
    Joining = true;
    QDeadlineTimer deadline(StopWaitLimitMs);
    // A dialog the run is waiting for (INPUT) closes itself on the stop request, but only while this
    // thread keeps handling events.
    bool ended = thread->wait(0);
    while (!ended && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, JoinSliceMs);
        ended = thread->wait(JoinSliceMs);
    }
    Joining = false;
    if (!ended) {
        qWarning("%s", qUtf8Printable(QString::fromUtf16(Txt::StopNotHonoured)));
        return false;
    }
    std::lock_guard<std::mutex> lock(ThreadMutex);
    delete RunningThread;
    RunningThread = nullptr;
    return true;
}

void TLXMTHread::run() {
    try {
        Execute();
    } catch (const std::bad_alloc&) {
        // Even the end of the run found no memory: the run window is left as it is, but the run is
        // over and the next one may start.
        Rc.ProgramRunning = 0;
        Rc.ThreadBusy = 0;
    }
}

namespace {

// `stoppedWithinBudget` tells whether the last pass's loop was stopped while the budget still held
// (the user's stop, STOP), so that the budget's finding the process past it afterwards does not turn
// that stop into an error.
void RunPassesUnguarded(bool& running, bool& stoppedWithinBudget) {
    LoopExit exit = LoopExit::End;
    bool restart = true;
    // A CONT statement in the program's own code goes on at the resume position with the data the
    // program holds now, as it always has; only a CONT typed as a command needs a stopped program.
    bool contInProgram = false;
    while (restart) {
        restart = false;
        running = false;
        // RUN compiles afresh, and an INCLUDE file may be one the program has been writing.
        FlushFileOutput();
        PostReadOnly(true);
        Fe.ErrorNumber = 0;
        Eng.HeldErrorPosition = 0;
        Eng.EvalFormTrap = 0;
        Eng.ResumeAtItem = 0;
        Rd.SourcePos = 1;
        Rd.SourceLinePos = 1;

        bool compiled = true;
        bool resume = false;
        const int kind = Rc.RunMode;
        if (kind == RunKind::Program || kind == RunKind::Rerun) {
            Resumable = false;
            Rd.CompileText = Fe.ProgramText + QStringLiteral("\r\n") + QChar(0) + QChar(0);
            Rd.CompileTextLength = static_cast<int>(Rd.CompileText.size());
            const int limit = HasLargeTextLimits() ? CompileTextLimitLarge : CompileTextLimit;
            if (Rd.CompileTextLength + 2 >= limit) {
                // The error that says the program is too large, not one without a text.
                RaiseError(Err::ProgramTooLarge);
                Fe.ErrorPosition = Rd.SourcePos;
                compiled = false;
            } else {
                SyncCloseMediaPlayer();
                InitAll(StopRequestReset::Keep);
                PlaceRunForm();
                compiled = CompileProgram();
                if (compiled) {
                    Ib.CodeIndex = ProgramCodeStart;
                    Rc.ResumePC = ProgramCodeStart;
                    PostButtons(RunButtonMode::Run);
                    CloseAllChannels();
                }
            }
        } else if (kind == RunKind::Immediate) {
            Rd.CompileText = Fe.CommandText + QStringLiteral("\r\n") + QChar(0) + QChar(0);
            Rd.CompileTextLength = static_cast<int>(Rd.CompileText.size());
            compiled = CompileImmediate();
            if (compiled) {
                Ib.CodeIndex = 1;
                PostButtons(RunButtonMode::ImmediateRun);
                GetCurrentItem();
                Ib.CodeIndex = 1;
                if (!(Ib.CurrentItem.FirstCode == CodeKind::Statement &&
                      Ib.CurrentItem.SecondCode == St::CONT))
                    CloseAllChannels();
            }
        } else if (kind == RunKind::Resume && !Resumable && !contInProgram) {
            // CONT with no stopped program: said once, and nothing runs (least of all code whose
            // data was given back).
            if (Rc.EchoOn) FlushPrintLine(T(NothingToContinue));
            compiled = false;
        } else if (kind == RunKind::Resume) {
            resume = true;
            if (Rc.EchoOn) {
                PostCaption(QStringLiteral("Lorvex 実行画面（再開）"));
                FlushPrintLine(QStringLiteral("実行再開しました。"));
            }
            Ib.CodeIndex = Rc.ResumePC;
            Rc.ResumePC = ImmediateAreaLast;
        } else {
            CloseAllChannels();
        }

        if (compiled) {
            if (!resume) {
                Eng.PrintLine.clear();
                SeedRandom();
                CheckOpenBlocks();
                if (Fe.ErrorNumber != 0) {
                    // The statement that opened the block, not an item left from an earlier run.
                    Fe.ErrorPosition = Cs.Parse.OpenBlockPosition;
                    compiled = false;
                }
            }
        }
        if (compiled) {
            FetchCurrentItem();
            running = true;
            exit = RunLoop();
            stoppedWithinBudget = exit == LoopExit::Stop && !MemoryBudget::IsExceeded();
            if (exit == LoopExit::Cont || exit == LoopExit::Run) {
                contInProgram = exit == LoopExit::Cont && kind != RunKind::Immediate;
                restart = true;
                continue;
            }
        }
    }
}

// Out of memory in a run (a string, a join, the PRINT line, an array, a file read whole, a picture)
// ends it with the out-of-memory error, at the item that was running, as when a table cannot grow.
void TakeOutOfMemory(bool running) {
    // The failed allocation cut the run short wherever it was, an error raised just before included:
    // what the user must hear about is the memory.
    Fe.ErrorNumber = 0;
    RaiseError(Err::OutOfMemory);
    Fe.ErrorPosition = running ? Ib.CurrentItem.Position : Rd.SourcePos;
    // The line being built may be what could not grow, and the end-of-run lines are added to it.
    Eng.PrintLine = QString();
}

// The passes of one run: each compiles what its kind asks for and runs the code; RUN and CONT make
// another pass on the same thread. True when the last pass ran its code (it was not refused, nor
// stopped or failed in its compile).
bool RunPasses() {
    bool running = false;
    bool stoppedWithinBudget = false;
    MemoryBudget::BeginRun(Rc.StopRequest);
    try {
        RunPassesUnguarded(running, stoppedWithinBudget);
    } catch (const std::bad_alloc&) {
        TakeOutOfMemory(running);
    } catch (const std::length_error&) {
        TakeOutOfMemory(running);
    }
    MemoryBudget::EndRun();
    // A stop the budget asked for is the program's running out of memory, not the user's stop; a stop
    // that came first stays the run's ending. An executor that found no room first has already named
    // the statement that asked.
    const bool exceeded = MemoryBudget::TakeExceeded() && !stoppedWithinBudget;
    if (exceeded && Fe.ErrorNumber != Err::OutOfMemory) TakeOutOfMemory(running);
    if (Fe.ErrorNumber == Err::OutOfMemory) {
        // What a program that ran out of memory holds goes back, so that the interface has room
        // again; the run ends with that error alone, and nothing is left to continue.
        Rc.StopRequest = 0;
        Resumable = false;
        ReleaseProgramData();
    }
    return running;
}

} // namespace

void TLXMTHread::Execute() {
    // The values under an immediate command (an event call too) belong to the program it found
    // stopped: CONT goes on with them. Only what the command itself leaves above them is left over.
    const int immediateBase = Rc.RunMode == RunKind::Immediate ? ValueStackCount : 0;
    const bool ran = RunPasses();

    // End of the run. A stopped run keeps its channels open for CONT, but what it wrote is in its
    // files, for the user to look at and for whatever runs next. Lines that cannot be written are the
    // failure of the PRINT# that held them back, reported at that statement.
    const bool failedBefore = Fe.ErrorNumber != 0;
    if (!FlushFileOutput() && !failedBefore)
        Fe.ErrorPosition = Eng.HeldErrorPosition > 0 ? Eng.HeldErrorPosition : Ib.CurrentItem.Position;
    Eng.HeldErrorPosition = 0;
    SyncBarrier();
    const bool outOfMemory = Fe.ErrorNumber == Err::OutOfMemory;
    if (Rc.SavedStopRequest && !outOfMemory) Rc.StopRequest = 1;
    Rc.SavedStopRequest = 0;
    // A run that ran out of memory has one ending, that error: a stop asked for meanwhile (while the
    // interface finished the run's window work, say) has no program left to stop.
    if (outOfMemory) Rc.StopRequest = 0;
    const bool stopped = Rc.StopRequest != 0;
    // What is left to continue: a stopped program that was running; a command typed while it waits
    // leaves it waiting, unless it gave the program's memory back.
    if (Rc.RunMode != RunKind::Immediate) Resumable = stopped && ran;
    if (!stopped) {
        CloseAllChannels();
        PostButtons(RunButtonMode::End);
        Ps.GScreenUsed = 0;
    } else {
        if (Rc.EchoOn && Rc.RunMode != RunKind::Immediate) FlushPrintLine(ResourceText(Res::RunStopped));
        Rc.ProgramRunning = 0;
        Rc.ContinueFlag = 0;
        PostButtons(RunButtonMode::Stop);
        // Resume with the item in hand: the stop was seen before it ran. A function that the stop
        // ended before its result runs again.
        if (Rc.RunMode != RunKind::Immediate)
            Rc.ResumePC = Eng.ResumeAtItem > 0 ? Eng.ResumeAtItem : Eng.CurrentItemIndex;
        if (Rc.EchoOn) PostCaption(ResourceText(Res::CaptionStopped));
    }
    // A command's own values never stay on top of the stopped program's; CONT and RUN have turned the
    // run into the program's own, whose values are all its.
    const bool immediate = Rc.RunMode == RunKind::Immediate;
    const int kept = immediate ? immediateBase : 0;
    if (Fe.ErrorNumber >= 1) {
        ReportError();
    } else if (!stopped && ValueStackCount > kept) {
        FlushPrintLine(ResourceText(Res::LeftoverValues));
        DropValuesAbove(kept);
    }
    if (immediate) DropValuesAbove(kept);
    if (Rc.EchoOn) FlushPrintLine(QStringLiteral("OK"));
    FlushPrintLine(QString());
    PostReadOnly(false);
    Publish(Fe.ErrorNumber, Fe.ErrorPosition);
    SyncBarrier(); // the run window shows the end of the run before it is reported idle
    const bool closeApplication = Rc.SystemExitRequest == 1;
    if (closeApplication) Rc.SystemExitRequest = 0;
    Rc.ProgramRunning = 0;
    Rc.ThreadBusy = 0;
    if (closeApplication && Hooks.CloseMainFormHook != nullptr)
        Synchronize([] { Hooks.CloseMainFormHook(); });
}
