// Start-up: the application and its windows in their order. The main frame first: it refuses
// unsupported platforms, fixes the program folder, loads the settings, sets the help paths and resets
// the interpreter; then the run window (which prints its banner). The command line is handled once,
// when the event loop runs.
#include "engine/flowexec.h"
#include "engine/formulaexec.h"
#include "engine/lxthread.h"
#include "platform/osinfo.h"
#include "resources/texts.h"
#include "ui/mainframe.h"
#include "ui/assocform.h"
#include "controlwindow/properties.h"
#include "ui/graphform.h"
#include "ui/inputform.h"
#include "ui/mplayerform.h"
#include "ui/windowsettings.h"
#include "ui/preferences.h"
#include "ui/runform.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <cstdlib>

namespace {
constexpr int RefusedExitCode = 1;
}

int main(int argc, char** argv) {
    // The FFmpeg media backend of Qt 6.4 crashes without an audio device; GStreamer does not.
    setenv("QT_MEDIA_BACKEND", "gstreamer", 0);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf16(ApplicationTitle));
    // Closing the frame ends the application, whatever other windows are still shown.
    QApplication::setQuitOnLastWindowClosed(false);

    TLxFrameForm frame;
    if (!frame.StartUp(OSName())) return RefusedExitCode;
    TRunForm runForm(&frame);
    TMPlayerForm mplayerForm;
    InstallInputDialog();
    InstallGraphForm();
    InstallControlWindow();
    InstallWindowSettings();
    ShowPreferencesHook = [](QWidget* parent) { TLXOptionFrame::Execute(parent); };
    ShowAssociationHook = [](QWidget* parent) { TLXASForm::Execute(parent); };
    BeepHook = [] { QApplication::beep(); };
    ShowHelpHook = [] {
        if (LxFrameForm != nullptr) LxFrameForm->LXMMenuLXHelpClick();
    };
    CloseMainFormHook = [] {
        if (LxFrameForm != nullptr) LxFrameForm->close();
    };
    QObject::connect(&frame, &TLxFrameForm::Closed, &app, &QApplication::quit, Qt::QueuedConnection);

    frame.show();
    runForm.show();
    QStringList arguments = QApplication::arguments();
    if (!arguments.isEmpty()) arguments.removeFirst();
    QTimer::singleShot(0, &frame, [&frame, arguments] { frame.HandleCommandLine(arguments); });

    const int result = QApplication::exec();
    // Closing during a run: stop it, release its waits and join it before the windows go. A run that
    // does not stop keeps using the interpreter's state, so nothing may be torn down under it: the
    // user is told, and the process ends at once.
    if (!TLXMTHread::StopAndJoin()) {
        QMessageBox::warning(nullptr, QString::fromUtf16(ApplicationTitle), QString::fromUtf16(Txt::StopNotHonoured));
        std::_Exit(result);
    }
    return result;
}
