// Start-up: the application and its windows in their order. The main frame first: it refuses
// unsupported platforms, fixes the program folder, loads the settings, sets the help paths and resets
// the interpreter; then the run window (which prints its banner). The command line is handled once,
// when the frame and the run window are on the screen.
#include "controlwindow/installhooks.h"
#include "engine/enginehooks.h"
#include "engine/filechannels.h"
#include "engine/flowexec.h"
#include "engine/formulaexec.h"
#include "engine/lxthread.h"
#include "platform/desktopconventions.h"
#include "platform/endsignals.h"
#include "platform/osinfo.h"
#include "resources/texts.h"
#include "ui/assocform.h"
#include "ui/mainframe.h"
#include "ui/mplayerform.h"
#include "ui/preferences.h"
#include "ui/runform.h"
#include "ui/statedump.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QMessageBox>
#include <QStringList>
#include <QThread>
#include <QTimer>

#include <cstdlib>

namespace {
constexpr int RefusedExitCode = 1;
// After an end signal, how often the end looks whether a dialog's loop still stands in its way.
constexpr int EndSignalCheckMs = 20;
constexpr int IconSizes[] = {16, 32, 48, 128, 256};

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : IconSizes)
        icon.addFile(QStringLiteral(":/icons/lorvex-%1.png").arg(size), QSize(size, size));
    return icon;
}

// The command line's file, named from the folder the program was started in: start-up makes the
// Working Path the current folder before the command line is handled.
QStringList WithAbsoluteFile(QStringList arguments) {
    const qsizetype file = ParseCommandLine(arguments).Mode.isEmpty() ? 0 : 1;
    if (file < arguments.size() && !arguments.at(file).isEmpty())
        arguments[file] = QFileInfo(arguments.at(file)).absoluteFilePath();
    return arguments;
}
} // namespace

int main(int argc, char** argv) {
    // The FFmpeg media backend of Qt 6.4 crashes without an audio device; GStreamer does not.
    setenv("QT_MEDIA_BACKEND", "gstreamer", 0);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf16(ApplicationTitle));
    QApplication::setWindowIcon(ApplicationIcon());
    // Qt's own buttons and dialogs speak the same language as the rest of the user interface.
    LoadQtTranslations(app);
    InstallFontSubstitutions();
    QStringList arguments = QApplication::arguments();
    if (!arguments.isEmpty()) arguments.removeFirst();
    arguments = WithAbsoluteFile(arguments);
    // Closing the frame ends the application, whatever other windows are still shown.
    QApplication::setQuitOnLastWindowClosed(false);

    // The engine's part of the interpreter reset, before the frame's start-up resets the interpreter.
    InstallEngineReset();
    TLxFrameForm frame;
    if (!frame.StartUp(OSName())) return RefusedExitCode;
    // Only when a test watching the desktop asks for it (LORVEX_STATE_FILE).
    StartStateDump();
    TRunForm runForm(&frame);
    TMPlayerForm mplayerForm;
    InstallWindowHooks();
    WinHooks.ShowPreferencesHook = [](QWidget* parent) { TLXOptionFrame::Execute(parent); };
    // The chooser lists installed faces: it opens at the face that stands in for a Windows name.
    WinHooks.PreferencesFontDialogHook = [choose = WinHooks.PreferencesFontDialogHook](QWidget* parent,
                                                                                       const QFont& initial) {
        return choose(parent, WithInstalledFace(initial));
    };
    WinHooks.ShowAssociationHook = [](QWidget* parent) { TLXASForm::Execute(parent); };
    Hooks.BeepHook = [] { QApplication::beep(); };
    Hooks.ShowHelpHook = [] {
        if (Win.LxFrameForm != nullptr) Win.LxFrameForm->LXMMenuLXHelpClick();
    };
    Hooks.CloseMainFormHook = [] {
        if (Win.LxFrameForm != nullptr) Win.LxFrameForm->close();
    };
    // Queued: the frame may be closed from inside a hand-over the running program waits for (SYSTEM).
    bool stopped = true;
    QObject::connect(
        &frame, &TLxFrameForm::Closed, &app, [&stopped] { stopped = EndApplication(); },
        Qt::QueuedConnection);
    // A logout's SIGTERM or SIGHUP ends the application as Exit does: the run stopped, what it wrote
    // in its files, the windows closed. Nobody is there to answer a question: "end Lorvex?" is not
    // asked, and any dialog, the program's or an editor's "save?", is cancelled (an unsaved editor's
    // text is lost, as the signal's default would lose it). The end itself waits until the loop of
    // a program's dialog has been left, since the run waiting for the dialog can end only then.
    CallOnEndSignals(&app, [&stopped] {
        RequestStop();
        Rc.ExitMessageCheck = 0;
        auto* check = new QTimer(qApp);
        check->setInterval(EndSignalCheckMs);
        QObject::connect(check, &QTimer::timeout, check, [&stopped, ending = false]() mutable {
            if (QThread::currentThread()->loopLevel() > 1) {
                if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                    dialog->reject();
                return;
            }
            if (ending) return;
            ending = true;
            // Not from inside this timer's own call, which would keep it from firing at the question.
            QMetaObject::invokeMethod(
                qApp, [&stopped] { stopped = EndApplication(); }, Qt::QueuedConnection);
        });
        check->start();
    });

    frame.show();
    runForm.show();
    CallWhenShown({&frame, &runForm}, [&frame, arguments] { frame.HandleCommandLine(arguments); });

    const int result = QApplication::exec();
    // A run that did not stop keeps using the interpreter's state, so nothing may be torn down under
    // it: the user is told, and the process ends at once.
    if (!stopped || !TLXMTHread::StopAndJoin()) {
        QMessageBox::warning(nullptr, QString::fromUtf16(ApplicationTitle),
                             QString::fromUtf16(Txt::StopNotHonoured));
        std::_Exit(result);
    }
    // A stopped run kept its files open for CONT: they are closed now, while everything they report
    // to still stands, and not by the teardown of the process's objects in an order of its own.
    CloseAllFileChannels();
    return result;
}
