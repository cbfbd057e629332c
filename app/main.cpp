// Start-up: the interpreter's tables first, then the application and its windows.
#include "frontend/initall.h"
#include "resources/texts.h"
#include "ui/mainframe.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv) {
    // The FFmpeg media backend of Qt 6.4 crashes without an audio device; GStreamer does not.
    setenv("QT_MEDIA_BACKEND", "gstreamer", 0);
    InitAll();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf16(ApplicationTitle));

    TLxFrameForm frame;
    frame.show();
    return QApplication::exec();
}
