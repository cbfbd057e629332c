// The graphics windows: the layer that paints the drawing surface, the scroll and stretch modes, and
// the mouse and key state passed to the engine.
#include "ui/graphform.h"

#include "core/sharedstate.h"
#include "engine/coords.h"
#include "platform/virtualkeys.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollArea>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <mutex>
#include <utility>

namespace {

constexpr char16_t GraphCaption[] = u"Lorvex Graph 画面";
// The window looks for new drawing this often: about the display's rate.
constexpr int RepaintIntervalMs = 16;
// After a click or a key the user-interface thread pauses, so that the interpreter polling the input
// state sees one event before the next replaces it. Moves do not pause: they come in streams, only the
// latest position matters, and a pause on each would make the window lag behind the mouse.
constexpr unsigned long InputSettleMs = 5;

constexpr int MouseMoveEvent = 1;
constexpr int MouseLeftEvent = 2;
constexpr int MouseRightEvent = 3;
constexpr int MouseMiddleEvent = 4;
constexpr int MouseDoubleClickEvent = 5;

const QColor ScrollBoxColor = Qt::white;

Qt::WindowFlags ToolWindowFlags() {
    return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint;
}

[[maybe_unused]] const bool HooksInstalled = [] {
    InstallGraphForm();
    return true;
}();

void FlatWhite(QScrollArea* area) {
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus);
    area->viewport()->setFocusPolicy(Qt::NoFocus);
    QPalette palette = area->palette();
    palette.setColor(QPalette::Window, ScrollBoxColor);
    area->setPalette(palette);
    area->setBackgroundRole(QPalette::Window);
    area->setAutoFillBackground(true);
}

// The widget inside the scroll box that holds the layers; a stretched layer follows its size.
class TGraphLayers : public QWidget {
public:
    explicit TGraphLayers(QWidget* parent) : QWidget(parent) {}
    QWidget* StretchedLayer = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (StretchedLayer != nullptr) StretchedLayer->setGeometry(rect());
    }
};

// The snapshot inside the second window.
class TPictureView : public QWidget {
public:
    TPictureView(const TLXGraphForm2* form, QWidget* parent) : QWidget(parent), form_(form) {}
    bool Stretched = false;

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        const QImage& picture = form_->Picture();
        if (Stretched)
            painter.drawImage(rect(), picture);
        else
            painter.drawImage(event->rect(), picture, event->rect());
    }

private:
    const TLXGraphForm2* form_;
};

} // namespace

// ---- layers -------------------------------------------------------------------------------------------

TGraphLayer::TGraphLayer(TLXGraphForm* form, QWidget* parent) : QWidget(parent), form_(form) {
    setMouseTracking(true); // moves are reported without a button held, too
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TGraphLayer::paintEvent(QPaintEvent* event) {
    const std::shared_ptr<GraphSurface>& surface = form_->Surface();
    QPainter painter(this);
    if (!surface) {
        painter.fillRect(event->rect(), ScrollBoxColor);
        return;
    }
    std::lock_guard<std::mutex> lock(surface->Lock);
    const QImage& picture = surface->Image1.Image();
    if (stretched_) {
        painter.drawImage(rect(), picture);
        return;
    }
    painter.drawImage(event->rect(), picture, event->rect()); // the layer is the bitmap's size
}

void TGraphLayer::mousePressEvent(QMouseEvent* event) {
    form_->PaintBox1MouseDown(event, false);
}
void TGraphLayer::mouseDoubleClickEvent(QMouseEvent* event) {
    form_->PaintBox1MouseDown(event, true);
}
void TGraphLayer::mouseMoveEvent(QMouseEvent* event) {
    form_->PaintBox1MouseMove(event);
}

// ---- the graphics window --------------------------------------------------------------------------------

TLXGraphForm::TLXGraphForm(std::shared_ptr<GraphSurface> surface, QWidget* parent)
    : QWidget(parent, ToolWindowFlags()), surface_(std::move(surface)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus); // key preview: the window itself takes every key
    if (surface_) {
        bitmapWidth_ = surface_->Image1.Width();
        bitmapHeight_ = surface_->Image1.Height();
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    ScrollBox1 = new QScrollArea(this);
    FlatWhite(ScrollBox1);
    layout->addWidget(ScrollBox1);
    layers_ = new TGraphLayers(ScrollBox1);
    ScrollBox1->setWidget(layers_);
    PaintBox1 = new TGraphLayer(this, layers_);
    Image1 = new TGraphLayer(this, layers_);
    Image1->hide();

    repaintTimer_ = new QTimer(this);
    repaintTimer_->setInterval(RepaintIntervalMs);
    connect(repaintTimer_, &QTimer::timeout, this, &TLXGraphForm::RepaintIfDrawn);
    repaintTimer_->start();
}

TLXGraphForm::~TLXGraphForm() {
    if (Win.LXGraphForm == this) {
        Win.LXGraphForm = nullptr;
        Rc.GScreenOpen = 0;
    }
}

void TLXGraphForm::SizeGraphForm(int first) {
    if (first == 0) {
        const bool clientSize = Rc.GScreenSizeMode.load() != 0;
        resize(clientSize ? Gs.GScreenClientWidth : Gs.GScreenWidth,
               clientSize ? Gs.GScreenClientHeight : Gs.GScreenHeight);
        move(Ps.GScreenLeft, Ps.GScreenTop);
    }
    static_cast<TGraphLayers*>(layers_)->StretchedLayer = nullptr;
    ScrollBox1->setWidgetResizable(false);
    layers_->resize(bitmapWidth_, bitmapHeight_);
    Image1->SetStretched(false);
    Image1->setGeometry(0, 0, bitmapWidth_, bitmapHeight_);
    Image1->hide();
    PaintBox1->setGeometry(0, 0, bitmapWidth_, bitmapHeight_);
    PaintBox1->show();
    PublishShownSize();
    update();
    show();
    raise();
    activateWindow();
    setFocus();
}

void TLXGraphForm::SetScroll(bool on) {
    static_cast<TGraphLayers*>(layers_)->StretchedLayer = nullptr;
    ScrollBox1->setWidgetResizable(false);
    layers_->resize(bitmapWidth_, bitmapHeight_);
    Image1->SetStretched(false);
    Image1->setGeometry(0, 0, bitmapWidth_, bitmapHeight_);
    if (on) {
        Image1->show();
        Image1->update();
        PaintBox1->hide();
    } else {
        Image1->hide();
        PaintBox1->show();
        PaintBox1->update();
    }
    PublishShownSize();
}

void TLXGraphForm::SetStretch(bool on) {
    if (on) {
        PaintBox1->hide();
        Image1->show();
        // The shown picture keeps the bitmap's proportions.
        if (bitmapWidth_ > 0)
            resize(width(), static_cast<int>(
                                std::lround(static_cast<double>(bitmapHeight_) * width() / bitmapWidth_)));
        Image1->SetStretched(true);
        static_cast<TGraphLayers*>(layers_)->StretchedLayer = Image1;
        ScrollBox1->setWidgetResizable(true);
        layers_->resize(ScrollBox1->viewport()->size());
        Image1->setGeometry(layers_->rect());
        Image1->update();
    } else {
        static_cast<TGraphLayers*>(layers_)->StretchedLayer = nullptr;
        ScrollBox1->setWidgetResizable(false);
        layers_->resize(bitmapWidth_, bitmapHeight_);
        Image1->hide();
        Image1->SetStretched(false);
        Image1->setGeometry(0, 0, bitmapWidth_, bitmapHeight_);
        PaintBox1->show();
        PaintBox1->update();
    }
    PublishShownSize();
}

void TLXGraphForm::PublishShownSize() {
    if (!surface_) return;
    const bool stretched = Image1->Stretched() && !Image1->isHidden();
    const QWidget* shown = stretched ? static_cast<QWidget*>(Image1) : static_cast<QWidget*>(PaintBox1);
    surface_->ShownWidth = shown->width();
    surface_->ShownHeight = shown->height();
    surface_->Stretched = stretched;
}

void TLXGraphForm::RepaintIfDrawn() {
    if (!surface_) return;
    // A change anywhere repaints all; texts alone repaint their parts, so that the copy of a large
    // picture does not hold the drawing up at every frame.
    QRect part;
    if (surface_->Dirty.exchange(false, std::memory_order_acq_rel)) {
        surface_->PartDirty.store(false, std::memory_order_relaxed); // the parts are in the whole
    } else {
        if (!surface_->PartDirty.exchange(false, std::memory_order_acq_rel)) return;
        std::lock_guard<std::mutex> lock(surface_->Lock);
        part = std::exchange(surface_->ChangedArea, QRect());
        if (part.isEmpty()) return;
    }
    for (TGraphLayer* layer : {PaintBox1, Image1}) {
        if (layer->isHidden()) continue;
        if (part.isNull() || layer->Stretched())
            layer->update();
        else
            layer->update(part); // the layer shows the bitmap at its own size
    }
}

void TLXGraphForm::PaintBox1MouseDown(QMouseEvent* event, bool doubleClick) {
    // Tested in this order; the last that holds wins.
    int kind = 0;
    const Qt::MouseButtons buttons = event->buttons();
    if (buttons & Qt::LeftButton) kind = MouseLeftEvent;
    if (buttons & Qt::RightButton) kind = MouseRightEvent;
    if (buttons & Qt::MiddleButton) kind = MouseMiddleEvent;
    if (doubleClick) kind = MouseDoubleClickEvent;
    const QPoint at = event->position().toPoint();
    Rc.MouseX = at.x();
    Rc.MouseY = at.y();
    if (kind != 0) Rc.MouseEvent = kind;
    QThread::msleep(InputSettleMs);
}

void TLXGraphForm::PaintBox1MouseMove(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Rc.MouseX = at.x();
    Rc.MouseY = at.y();
    Rc.MouseEvent = MouseMoveEvent;
}

void TLXGraphForm::FormKeyDown(QKeyEvent* event) {
    const int code = VirtualKeyFromQtKey(event->key(), event->modifiers());
    if (code == 0) return;
    Rc.LastKeyCode = code;
    QThread::msleep(InputSettleMs);
}

void TLXGraphForm::FormKeyPress(QKeyEvent* event) {
    const QString typed = event->text();
    if (typed.isEmpty()) return;
    Rc.KeyBuffer = typed.front().unicode();
    QThread::msleep(InputSettleMs);
}

bool TLXGraphForm::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        FormKeyDown(key);
        FormKeyPress(key);
        return true;
    }
    case QEvent::WindowActivate: update(); break;
    default: break;
    }
    return QWidget::event(event);
}

void TLXGraphForm::closeEvent(QCloseEvent* event) {
    if (Win.LXGraphForm == this) Rc.GScreenOpen = 0;
    QWidget::closeEvent(event);
}

void TLXGraphForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (Image1->Stretched() && !Image1->isHidden() && bitmapWidth_ > 0) {
        const int height =
            static_cast<int>(std::lround(static_cast<double>(width()) * bitmapHeight_ / bitmapWidth_));
        if (height != this->height()) resize(width(), height);
    }
    PublishShownSize();
}

// ---- the second window
// -------------------------------------------------------------------------------------

TLXGraphForm2::TLXGraphForm2(QWidget* parent) : QWidget(parent, ToolWindowFlags()) {
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    ScrollBox1 = new QScrollArea(this);
    FlatWhite(ScrollBox1);
    layout->addWidget(ScrollBox1);
    Image2 = new TPictureView(this, ScrollBox1);
    ScrollBox1->setWidget(Image2);
    Image2->hide();
}

TLXGraphForm2::~TLXGraphForm2() {
    if (Win.LXGraphForm2 == this) Win.LXGraphForm2 = nullptr;
}

void TLXGraphForm2::SetPicture(const QImage& picture, bool stretched) {
    picture_ = picture;
    stretched_ = stretched;
    auto* view = static_cast<TPictureView*>(Image2);
    view->Stretched = stretched;
    ScrollBox1->setWidgetResizable(stretched);
    if (!stretched) view->resize(picture_.size());
    view->show();
    view->update();
}

// ---- the engine's hooks
// --------------------------------------------------------------------------------------

bool OpenGraphForm(const std::shared_ptr<GraphSurface>& surface) {
    if (!surface) return false;
    if (TLXGraphForm* old = Win.LXGraphForm; old != nullptr && Rc.GScreenOpen.load() != 0) {
        // The old picture stays in a second window at the old place and size.
        const bool stretched = old->Image1Stretched();
        QImage snapshot;
        if (const std::shared_ptr<GraphSurface>& oldSurface = old->Surface()) {
            std::lock_guard<std::mutex> lock(oldSurface->Lock);
            const QRect previous(0, 0, Ps.GScreenPrevWidth, Ps.GScreenPrevHeight);
            snapshot =
                oldSurface->Image1.Image().copy(previous.intersected(oldSurface->Image1.Image().rect()));
        }
        // Only the picture just replaced is kept: a program that opens screens in a loop must not
        // pile up one full-size snapshot per screen.
        delete Win.LXGraphForm2;
        auto* second = new TLXGraphForm2;
        second->setWindowTitle(old->windowTitle());
        second->resize(old->size());
        second->move(old->pos());
        second->SetPicture(snapshot, stretched);
        second->show();
        Win.LXGraphForm2 = second;
        Win.LXGraphForm = nullptr;
        old->hide();
        old->deleteLater();
    } else if (old != nullptr) {
        Win.LXGraphForm = nullptr;
        old->deleteLater();
    }
    auto* form = new TLXGraphForm(surface);
    Win.LXGraphForm = form;
    Rc.GScreenOpen = 1;
    form->setWindowTitle(QString::fromUtf16(GraphCaption));
    form->SizeGraphForm(0);
    return true;
}

void CloseGraphForm() {
    if (Win.LXGraphForm != nullptr) Win.LXGraphForm->close();
}

void InstallGraphForm() {
    GraphFormHook.Open = &OpenGraphForm;
    GraphFormHook.Close = &CloseGraphForm;
    GraphFormHook.Scroll = [](bool on) {
        if (Win.LXGraphForm != nullptr) Win.LXGraphForm->SetScroll(on);
    };
    GraphFormHook.Stretch = [](bool on) {
        if (Win.LXGraphForm != nullptr) Win.LXGraphForm->SetStretch(on);
    };
}
