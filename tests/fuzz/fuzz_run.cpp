// Compile and run: the input is program text; a program that compiles runs through the real run loop
// for a short budget of time, after which it is stopped the way the Stop button stops it. Programs
// that touch files, start processes or reach devices (printer, sound, clipboard, dialogs) are refused
// after compiling, by their statement and function codes. There are no windows: the hand-over runs its
// work at once on this thread, the graphics window is a drawing surface that nobody shows, and the
// run window's queue is emptied as it fills.
#include "core/codeitem.h"
#include "core/internalcodes.h"
#include "core/itembuffers.h"
#include "core/programfile.h"
#include "core/sharedstate.h"
#include "core/vocabulary.h"
#include "engine/drawexec.h"
#include "engine/enginehooks.h"
#include "engine/handover.h"
#include "engine/runloop.h"
#include "engine/runwindowqueue.h"
#include "tests/compiletext.h"

#include <QGuiApplication>
#include <QImage>
#include <QObject>
#include <QPainter>
#include <QString>

#include <sanitizer/lsan_interface.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

constexpr auto RunBudget = std::chrono::milliseconds(20);
constexpr int CompileTextLimit = 0x40000;
constexpr int FontWarmUpSize = 16;

constexpr std::array RefusedStatements = {St::APPEND,
                                          St::APPENDALLTEXT,
                                          St::AUDIOMIXER,
                                          St::BEEP,
                                          St::BINARY,
                                          St::CHDIR,
                                          St::CLIPBOARD,
                                          St::CLOSE,
                                          St::EDIT,
                                          St::EVALFORM,
                                          St::FILECOPY,
                                          St::FILEPSET,
                                          St::FILES,
                                          St::FINDFILECLOSE,
                                          St::HELP,
                                          St::INPUT,
                                          St::INPUTFile,
                                          St::KILL,
                                          St::LINEINPUT,
                                          St::LINEINPUTFile,
                                          St::LLIST,
                                          St::LOAD,
                                          St::LOADPICTURE,
                                          St::LPRINT,
                                          St::MEDIAPLAYER,
                                          St::MERGE,
                                          St::NAME,
                                          St::NEW,
                                          St::OPEN,
                                          St::OUTPUT,
                                          St::PRINTFile,
                                          St::SAVE,
                                          St::SAVEPICTURE,
                                          St::SEEK,
                                          St::STRTOFORM,
                                          St::SYSCMD,
                                          St::WRITEALLBYTES,
                                          St::WRITEALLLINES,
                                          St::WRITEALLTEXT,
                                          InSt::AudioMixerMasterMute,
                                          InSt::AudioMixerMasterVolume,
                                          InSt::ClipboardClear,
                                          InSt::ClipboardSetText,
                                          InSt::ReadAllLinesStatement,
                                          InSt::MediaPlayerClose,
                                          InSt::MediaPlayerMode,
                                          InSt::MediaPlayerOpen,
                                          InSt::MediaPlayerPause,
                                          InSt::MediaPlayerPlay,
                                          InSt::MediaPlayerStop,
                                          InSt::PrintFileLineEnd,
                                          InSt::PrintUsingFile};

constexpr std::array RefusedFunctions = {Fn::CREATEDIR,
                                         Fn::DELETEFILE,
                                         Fn::DIRECTORYEXISTS,
                                         Fn::DISKFREE,
                                         Fn::DISKSIZE,
                                         Fn::Eof,
                                         Fn::FILEEXISTS,
                                         Fn::FILELEN,
                                         Fn::FINDFIRSTFILE,
                                         Fn::FINDNEXTFILE,
                                         Fn::GETCURRENTDIR,
                                         Fn::GETFILEDATETIME,
                                         Fn::GETIMAGESIZEStr,
                                         Fn::GETPROGRAMDIR,
                                         Fn::INPUTBOX,
                                         Fn::INPUTStr,
                                         Fn::LOC,
                                         Fn::LOF,
                                         Fn::MSGBOX,
                                         Fn::READALLBYTES,
                                         Fn::READALLLINES,
                                         Fn::READALLTEXT,
                                         Fn::REMOVEDIR,
                                         Fn::RENAMEFILE,
                                         Fn::SEEK,
                                         Fn::SELECTOPENFILE,
                                         Fn::SELECTSAVEFILE,
                                         Fn::SETCURRENTDIR,
                                         Fn::SHELL,
                                         InFn::ClipboardGetText};

template <std::size_t N> bool Listed(const std::array<int, N>& codes, int code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

// Whether the compiled program may run here. Statements carry their argument form in thousands and
// functions in ten thousands; property and setting codes (a thousand and up) reach only windows.
bool MayRun() {
    for (int at = ProgramCodeStart; at <= Ib.CurrentmaxCodeNum; ++at) {
        const CodeItemType& item = Ib.CodeBuffer[static_cast<std::size_t>(at)];
        if (item.FirstCode == CodeKind::End) break;
        if (item.FirstCode == CodeKind::Statement &&
            Listed(RefusedStatements, item.SecondCode % ArgumentFormStep))
            return false;
        if (item.FirstCode == CodeKind::Function &&
            Listed(RefusedFunctions, item.SecondCode % FunctionFormStep))
            return false;
    }
    return true;
}

// The graphics window: its surface is drawn on and never shown.
bool OpenGraphics(const std::shared_ptr<GraphSurface>&) {
    Rc.GScreenOpen = 1;
    return true;
}
void CloseGraphics() {
    Rc.GScreenOpen = 0;
}

void DrainRunWindow() {
    RunWindowQueue::Instance().TakeAll();
}

// Stops the run when its budget is spent, as the Stop button does.
class Budget {
public:
    Budget()
        : watch_([this] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!done_.wait_for(lock, RunBudget, [this] { return finished_; })) Rc.StopRequest = 1;
          }) {}
    ~Budget() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
        }
        done_.notify_all();
        watch_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread watch_;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz_run";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    // The font configuration is loaded once, at the first text drawn. Its parser loses two small
    // blocks (288 bytes, with or without Qt), which the leak check would pin on whatever input came
    // next: load it here, with only this loading exempt from the leak check.
    __lsan_disable();
    QImage image(FontWarmUpSize, FontWarmUpSize, QImage::Format_RGB32);
    QPainter(&image).drawText(0, FontWarmUpSize, QStringLiteral("0"));
    __lsan_enable();
    InstallEngineReset();
    static QObject handOverTarget;
    SetHandOverTarget(&handOverTarget);
    GraphFormHook.Open = OpenGraphics;
    GraphFormHook.Close = CloseGraphics;
    RunWindowQueue::Instance().SetWakeConsumer(DrainRunWindow);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        ToCrLf(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (text.size() + 4 >= CompileTextLimit) return 0;

    if (CompileProgramText(text) && MayRun()) {
        Rc.StopRequest = 0;
        Ib.CodeIndex = ProgramCodeStart;
        Rc.ResumePC = ProgramCodeStart;
        {
            Budget budget;
            FetchCurrentItem();
            RunLoop();
        }
    }
    Rc.StopRequest = 0;
    Fe.ErrorNumber = 0;
    Rc.GScreenOpen = 0;
    SetCurrentGraphSurface(nullptr);
    RunWindowQueue::Instance().Reset();
    return 0;
}
