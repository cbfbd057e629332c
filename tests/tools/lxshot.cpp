// lxshot: starts the application's windows on a real (virtual) display, opens a program in an editor,
// runs it, and saves a screenshot of the whole screen, so a person can look at the windows together.
//
//   xvfb-run -a lxshot PROGRAM.lxt OUT.png
//
// Exits 1 when the picture is blank (a single colour), 2 on a usage or file error.
#include "controlwindow/installhooks.h"
#include "core/sharedstate.h"
#include "engine/enginehooks.h"
#include "engine/lxthread.h"
#include "frontend/initall.h"
#include "ui/editform.h"
#include "ui/mainframe.h"
#include "ui/mplayerform.h"
#include "ui/runform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSet>

#include <cstdio>

namespace {

void Pump(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: lxshot PROGRAM.lxt OUT.png\n");
        return 2;
    }
    InstallEngineReset();
    InitAll();
    QApplication app(argc, argv);
    // Nobody is there to answer a message box: print it and go on.
    WinHooks.MessageBoxHook = [](QWidget*, const MessageRequest& request) {
        std::fprintf(stderr, "lxshot: message: %s\n", request.Text.toLocal8Bit().constData());
        return QMessageBox::Ok;
    };
    TLxFrameForm frame;
    if (!frame.StartUp(QString())) return 2;
    TRunForm runForm(&frame);
    TMPlayerForm mplayerForm;
    InstallWindowHooks();
    frame.resize(900, 600);
    frame.show();
    runForm.show();
    runForm.move(420, 300);
    TLXEditForm* editor = frame.OpenFileInEditor(QString::fromLocal8Bit(argv[1]), QStringLiteral("Auto"));
    if (editor == nullptr) return 2;
    Pump(300);

    const auto* source = editor->findChild<QPlainTextEdit*>();
    QString text = source != nullptr ? source->toPlainText() : QString();
    StartRun(RunRequest{RunStart::Program, text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"))});
    QElapsedTimer clock;
    clock.start();
    while (Rc.ThreadBusy != 0 && clock.elapsed() < 10000)
        Pump(20);
    Pump(500);

    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    if (!shot.save(QString::fromLocal8Bit(argv[2]))) return 2;
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height() && colours.size() < 3; y += 7)
        for (int x = 0; x < shot.width() && colours.size() < 3; x += 7)
            colours.insert(shot.pixel(x, y));
    TLXMTHread::StopAndJoin();
    return colours.size() >= 3 ? 0 : 1;
}
