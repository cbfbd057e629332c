// The graphics windows. TLXGraphForm shows the drawing surface that programs draw into (the engine
// draws on its own thread under the surface's lock; the window repaints from it at display rate),
// scrolls or stretches it on request, and feeds the mouse and key state that the engine polls.
// TLXGraphForm2 keeps a snapshot of the picture a new GSCREEN replaced.
#pragma once

#include "engine/drawexec.h"
#include "ui/windowsstate.h"

#include <QImage>
#include <QWidget>

#include <memory>

class QScrollArea;
class QTimer;
class TLXGraphForm;

// One layer of the graphics window: paints the surface's drawing surface at full size, or stretched
// over its own area, and reports the mouse.
class TGraphLayer : public QWidget {
    Q_OBJECT
public:
    TGraphLayer(TLXGraphForm* form, QWidget* parent);

    bool Stretched() const { return stretched_; }
    void SetStretched(bool stretched) { stretched_ = stretched; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    TLXGraphForm* form_;
    bool stretched_ = false;
};

class TLXGraphForm : public QWidget {
    Q_OBJECT
public:
    explicit TLXGraphForm(std::shared_ptr<GraphSurface> surface, QWidget* parent = nullptr);
    ~TLXGraphForm() override;

    // The window's place and size from the screen state (first == 0: also border, client size and
    // position); every layer takes the bitmap size; the normal display is shown.
    void SizeGraphForm(int first);

    // GSCROLL and GSTRETCH.
    void SetScroll(bool on);
    void SetStretch(bool on);

    const std::shared_ptr<GraphSurface>& Surface() const { return surface_; }
    int BitmapWidth() const { return bitmapWidth_; }
    int BitmapHeight() const { return bitmapHeight_; }
    bool Image1Stretched() const { return Image1->Stretched() && !Image1->isHidden(); }

    QScrollArea* ScrollBox1 = nullptr;
    TGraphLayer* PaintBox1 = nullptr; // the normal display
    TGraphLayer* Image1 = nullptr;    // the drawing surface shown itself (scrolled or stretched)

    // The handlers (public for the tests).
    void PaintBox1MouseDown(QMouseEvent* event, bool doubleClick);
    void PaintBox1MouseMove(QMouseEvent* event);
    void FormKeyDown(QKeyEvent* event);
    void FormKeyPress(QKeyEvent* event);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RepaintIfDrawn();
    void PublishShownSize();
    void LayOutLayers();

    std::shared_ptr<GraphSurface> surface_;
    int bitmapWidth_ = 0;
    int bitmapHeight_ = 0;
    QWidget* layers_ = nullptr;
    QTimer* repaintTimer_ = nullptr;
};

// The second graphics window: the picture of a replaced graphics window.
class TLXGraphForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TLXGraphForm2(QWidget* parent = nullptr);
    ~TLXGraphForm2() override;

    // Shows `picture` at full size or stretched over the window.
    void SetPicture(const QImage& picture, bool stretched);
    const QImage& Picture() const { return picture_; }

    QScrollArea* ScrollBox1 = nullptr;
    QWidget* Image2 = nullptr;

private:
    QImage picture_;
    bool stretched_ = false;
};

// The engine's hooks (user-interface thread).
bool OpenGraphForm(const std::shared_ptr<GraphSurface>& surface);
void CloseGraphForm();
// Installs the hooks (also done when this unit is linked in; calling it again is harmless).
void InstallGraphForm();
