#include "ui/mainframe.h"

#include "resources/texts.h"

#include <QMdiArea>
#include <QStatusBar>

TLxFrameForm* LxFrameForm = nullptr;

TLxFrameForm::TLxFrameForm(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString::fromUtf16(ApplicationTitle));
    MdiArea_ = new QMdiArea(this);
    setCentralWidget(MdiArea_);
    statusBar();
    LxFrameForm = this;
}
