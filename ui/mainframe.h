// The main frame: the application's MDI window that holds the editors and carries the menus and the
// status bar. Start-up creates it first; closing it ends the application.
#pragma once

#include <QMainWindow>

class QMdiArea;

class TLxFrameForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TLxFrameForm(QWidget* parent = nullptr);

    QMdiArea* MdiArea() const { return MdiArea_; }

private:
    QMdiArea* MdiArea_ = nullptr;
};

// The one main frame of the application (set while it exists).
extern TLxFrameForm* LxFrameForm;
