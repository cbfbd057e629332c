// lxrun: runs a program through the real engine and the real run window (offscreen) and prints the run
// window's text when the run has ended. Used by the golden-program tests and the benchmarks.
//
//   lxrun [--time] [--general] [--timeout SECONDS] [--expect FILE] [--input TEXT]... PROGRAM.lxt
//
// --expect compares the run window's text with FILE and exits 1 (printing both) when they differ.
// --input answers the program's INPUT and LINE INPUT dialogs in order, as a person typing TEXT would.
// --time prints the compile-and-run time to stderr. A run that has not ended after --timeout seconds
// (default 60) is stopped and reported with exit code 2. --general runs every item by the general
// path, without the decoded statements, so that the tests can hold both ways to the same text.
#include "engine/decodedrun.h"
#include "engine/lxthread.h"
#include "frontend/initall.h"
#include "frontend/sharedstate.h"
#include "controlwindow/properties.h"
#include "ui/graphform.h"
#include "ui/inputform.h"
#include "ui/mplayerform.h"
#include "ui/windowsettings.h"
#include "ui/runform.h"
#include "frontend/programfile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: lxrun [--time] [--general] [--timeout SECONDS] [--expect FILE] [--input TEXT]... PROGRAM.lxt\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_MEDIA_BACKEND", "gstreamer", 0);
    QString programPath, expectPath;
    bool timing = false;
    double timeoutSeconds = 60.0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--time") == 0) {
            timing = true;
        } else if (std::strcmp(argv[i], "--general") == 0) {
            DecodedRunEnabled = false;
        } else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
            timeoutSeconds = std::atof(argv[++i]);
            if (!(timeoutSeconds > 0)) return Usage();
        } else if (std::strcmp(argv[i], "--expect") == 0 && i + 1 < argc) {
            expectPath = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(argv[i], "--input") == 0 && i + 1 < argc) {
            ScriptedInputAnswers.append(QString::fromLocal8Bit(argv[++i]));
        } else if (argv[i][0] == '-' && argv[i][1] == '-') {
            return Usage();
        } else {
            programPath = QString::fromLocal8Bit(argv[i]);
        }
    }
    if (programPath.isEmpty()) return Usage();

    InitAll();
    QApplication app(argc, argv);
    TRunForm runForm;
    TMPlayerForm mplayerForm;
    InstallInputDialog();
    InstallGraphForm();
    InstallControlWindow();
    InstallWindowSettings();
    runForm.CLSBtnClick();

    QString text;
    QString error;
    if (!ReadProgramFile(programPath, text, error)) {
        std::fprintf(stderr, "lxrun: %s\n", error.toLocal8Bit().constData());
        return 2;
    }
    ProgramText = text;
    ProgramTextLength = static_cast<int>(text.size());
    ProgramFolder = QFileInfo(programPath).absolutePath();

    QElapsedTimer clock;
    clock.start();
    RunMode = RunKind::Program;
    ProgramRunning = 1;
    StopRequest = 0;
    TLXMTHread::StartRun();
    bool timedOut = false;
    while (ThreadBusy != 0) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
        if (!timedOut && clock.elapsed() > static_cast<qint64>(timeoutSeconds * 1000)) {
            timedOut = true;
            StopRequest = 1;  // the loop sees it after the item in hand; waits wake on it
        }
    }
    TLXMTHread::WaitForIdle();
    const qint64 elapsed = clock.nsecsElapsed();
    runForm.ApplyQueue();
    if (timing) std::fprintf(stderr, "run %.6f s\n", static_cast<double>(elapsed) / 1e9);

    const QString output = runForm.Text();
    if (timedOut) {
        std::fprintf(stderr, "lxrun: the run did not end within %g s\n", timeoutSeconds);
        std::fwrite(output.toUtf8().constData(), 1, static_cast<std::size_t>(output.toUtf8().size()), stdout);
        return 2;
    }
    if (!expectPath.isEmpty()) {
        QFile file(expectPath);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "lxrun: cannot read %s\n", expectPath.toLocal8Bit().constData());
            return 2;
        }
        const QString expected = QString::fromUtf8(file.readAll());
        if (expected != output) {
            std::fprintf(stdout, "--- expected\n%s--- got\n%s", expected.toUtf8().constData(),
                         output.toUtf8().constData());
            return 1;
        }
        return 0;
    }
    std::fwrite(output.toUtf8().constData(), 1, static_cast<std::size_t>(output.toUtf8().size()), stdout);
    return 0;
}
