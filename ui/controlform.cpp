// The control window: its 40 labels, 40 buttons and 40 text boxes, their geometry and texts, and the
// clicks and keys it passes to the program.
#include "ui/controlform.h"

#include "core/sharedstate.h"
#include "engine/lxthread.h"
#include "frontend/declnames.h"
#include "platform/settings.h"
#include "platform/virtualkeys.h"
#include "ui/colorfont.h"
#include "ui/runform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColor>
#include <QFont>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace {

const QString Caption = QStringLiteral("LXコントロール");

// Qt keeps geometry in int and adds positions to sizes; holding both to its own size limit keeps every
// sum in range.
constexpr int GeometryLimit = QWIDGETSIZE_MAX;
// Font sizes reach the font system within this range; the control keeps the size as set.
constexpr int MaxRenderedPointSize = 1000;
constexpr int KeyDownPauseMs = 5; // gives a program polling the key code time to see it

// Dynamic properties that carry what the widgets cannot hold themselves.
constexpr char CharsetProperty[] = "lxFontCharset";
constexpr char FontSizeProperty[] = "lxFontSize";

int Column(int n) {
    return (n - 1) / ControlLayout::PerColumn;
}
int Row(int n) {
    return (n - 1) % ControlLayout::PerColumn;
}

// The palette role that holds a control's background and its text colour.
QPalette::ColorRole BackgroundRole(const QWidget* control) {
    if (qobject_cast<const QPushButton*>(control) != nullptr) return QPalette::Button;
    if (qobject_cast<const QLabel*>(control) != nullptr) return QPalette::Window;
    return QPalette::Base; // edits and memos
}

QPalette::ColorRole TextRole(const QWidget* control) {
    if (qobject_cast<const QPushButton*>(control) != nullptr) return QPalette::ButtonText;
    if (qobject_cast<const QLabel*>(control) != nullptr) return QPalette::WindowText;
    return QPalette::Text;
}

void SetPaletteColor(QWidget* control, QPalette::ColorRole role, std::uint32_t color) {
    QPalette palette = control->palette();
    palette.setColor(role, FromColorRef(color));
    control->setPalette(palette);
}

int Clamp(int value, int low, int high) {
    return std::clamp(value, low, high);
}

// The size in points of a font as the font reports it; a font given in pixels counts at 96 dpi.
int PointSizeOf(const QFont& font) {
    constexpr double PointsPerPixel = 72.0 / 96.0;
    if (font.pointSizeF() > 0) return static_cast<int>(std::lround(font.pointSizeF()));
    if (font.pixelSize() > 0) return static_cast<int>(std::lround(font.pixelSize() * PointsPerPixel));
    return 0;
}

} // namespace

// ---- TLXLabel ----------------------------------------------------------------------------------------

TLXLabel::TLXLabel(const QString& text, QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText); // a caption is shown as it stands, never as markup
    SetCaption(text);
}

void TLXLabel::SetCaption(const QString& text) {
    setText(text);
    adjustSize();
}

void TLXLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) adjustSize();
}

// ---- TLXMemo -----------------------------------------------------------------------------------------

TLXMemo::TLXMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

QString TLXMemo::Text() const {
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void TLXMemo::SetText(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setPlainText(lines);
}

QString TLXMemo::Line(int index) const {
    if (index < 0 || index >= document()->blockCount()) return QString();
    return document()->findBlockByNumber(index).text();
}

// ---- TLXControlForm ----------------------------------------------------------------------------------

TLXControlForm::TLXControlForm(QWidget* parent)
    // A dialog border with the system menu only: a close button, no minimise or maximise button.
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    using namespace ControlLayout;
    setWindowTitle(Caption);
    setAttribute(Qt::WA_QuitOnClose, false); // the main frame's closing ends the application
    setProperty(CharsetProperty, DefaultCharset);
    setFixedSize(ClientWidth, ClientHeight);

    for (int n = 1; n <= ControlCount; ++n) {
        const int left = ColumnStep * Column(n);
        const int top = RowStep * Row(n);
        const auto at = static_cast<std::size_t>(n);

        TLXLabel* label = new TLXLabel(QStringLiteral("Label%1").arg(n), this);
        label->move(n == 1 ? FirstLabelLeft : left, top);
        label->hide();
        labels_[at] = label;

        QPushButton* button = new QPushButton(QStringLiteral("Button%1").arg(n), this);
        button->setGeometry(ButtonLeft + left, top, ButtonWidth, ButtonHeight);
        button->setAutoDefault(false);
        button->hide();
        connect(button, &QPushButton::clicked, this, [this, n] { ButtonClick(n); });
        buttons_[at] = button;

        QLineEdit* edit = new QLineEdit(QStringLiteral("TextBox%1").arg(n), this);
        edit->setGeometry(EditLeft + left, top, EditWidth, EditHeight);
        edit->hide();
        edits_[at] = edit;

        TLXMemo* memo = new TLXMemo(this);
        memo->SetText(QStringLiteral("TextBox%1").arg(n));
        memo->setGeometry(EditLeft + left, top, EditWidth, MemoHeight);
        memo->hide();
        memos_[at] = memo;

        // The window sees every key first, whichever control has the focus.
        for (QWidget* control : std::initializer_list<QWidget*>{label, button, edit, memo}) {
            control->setProperty(CharsetProperty, DefaultCharset);
            control->installEventFilter(this);
        }
    }
}

TLXLabel* TLXControlForm::Label(int n) const {
    return n >= 1 && n <= ControlCount ? labels_[static_cast<std::size_t>(n)] : nullptr;
}
QPushButton* TLXControlForm::Button(int n) const {
    return n >= 1 && n <= ControlCount ? buttons_[static_cast<std::size_t>(n)] : nullptr;
}
QLineEdit* TLXControlForm::Edit(int n) const {
    return n >= 1 && n <= ControlCount ? edits_[static_cast<std::size_t>(n)] : nullptr;
}
TLXMemo* TLXControlForm::Memo(int n) const {
    return n >= 1 && n <= ControlCount ? memos_[static_cast<std::size_t>(n)] : nullptr;
}

void TLXControlForm::ButtonClick(int n) {
    if (n < 1 || n > ControlCount) return;
    const auto at = static_cast<std::size_t>(n);
    if (Rc.ControlButtonWatched[at] != 0) Rc.ControlButtonPressed[at] = 1;
    // The declared names belong to the interpreter thread while one runs: ask only when none does.
    if (Rc.ThreadBusy != 0) return;
    if (!IsSubName(QStringLiteral("CBUTTON%1_CLICK").arg(n))) return;
    StartControlButtonEvent(QStringLiteral("Call CButton%1_Click").arg(n));
}

void TLXControlForm::closeEvent(QCloseEvent* event) {
    Rc.CScreenOpen = 0;
    event->accept(); // hidden, not freed: the next CSCREEN makes a new window
}

bool TLXControlForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) FormKeyPress(static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event); // the control still gets the key
}

void TLXControlForm::keyPressEvent(QKeyEvent* event) {
    // A key that the focused control left unused comes on to the window: the filter saw it already.
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus == this || !isAncestorOf(focus)) FormKeyPress(event);
    QWidget::keyPressEvent(event);
}

// FormKeyDown, then FormKeyPress: the key code, a short pause, then the typed character.
void TLXControlForm::FormKeyPress(const QKeyEvent* event) {
    Rc.LastKeyCode = VirtualKeyFromQtKey(event->key(), event->modifiers());
    QThread::msleep(KeyDownPauseMs);
    if (!event->text().isEmpty()) Rc.KeyBuffer = event->text().at(0).unicode();
}

bool StartControlButtonEvent(const QString& command) {
    return StartEventCall(command);
}

// ---- properties ----------------------------------------------------------------------------------------

std::uint32_t ControlColor(const QWidget* control) {
    return ToColorRef(control->palette().color(BackgroundRole(control)));
}

void SetControlColor(QWidget* control, std::uint32_t color) {
    SetPaletteColor(control, BackgroundRole(control), color);
    if (qobject_cast<QLabel*>(control) != nullptr) control->setAutoFillBackground(true);
}

std::uint32_t ControlFontColor(const QWidget* control) {
    return ToColorRef(control->palette().color(TextRole(control)));
}

void SetControlFontColor(QWidget* control, std::uint32_t color) {
    SetPaletteColor(control, TextRole(control), color);
}

int ControlFontCharset(const QWidget* control) {
    const QVariant value = control->property(CharsetProperty);
    return value.isValid() ? value.toInt() : ControlLayout::DefaultCharset;
}

void SetControlFontCharset(QWidget* control, int charset) {
    control->setProperty(CharsetProperty, charset & 0xFF);
}

int ControlFontSize(const QWidget* control) {
    const QVariant value = control->property(FontSizeProperty);
    return value.isValid() ? value.toInt() : PointSizeOf(control->font());
}

void SetControlFontSize(QWidget* control, int points) {
    control->setProperty(FontSizeProperty, points);
    // Zero asks for the default size and a negative size counts by its amount; the font system gets
    // a size it can draw, while the control reports the size as it was set.
    long rendered = points == 0 ? PointSizeOf(QApplication::font()) : std::labs(static_cast<long>(points));
    rendered = std::clamp<long>(rendered, 1, MaxRenderedPointSize);
    QFont font = control->font();
    font.setPointSize(static_cast<int>(rendered));
    control->setFont(font);
}

QString ControlFontName(const QWidget* control) {
    return control->font().family();
}

void SetControlFontName(QWidget* control, const QString& name) {
    QFont font = control->font();
    font.setFamily(name);
    control->setFont(font);
}

std::uint8_t ControlFontStyle(const QWidget* control) {
    return StyleOfFont(control->font());
}

void SetControlFontStyle(QWidget* control, std::uint8_t style) {
    QFont font = control->font();
    SetFontStyle(font, style);
    control->setFont(font);
}

void SetControlLeft(QWidget* control, int left) {
    control->move(Clamp(left, -GeometryLimit, GeometryLimit), control->y());
}

void SetControlTop(QWidget* control, int top) {
    control->move(control->x(), Clamp(top, -GeometryLimit, GeometryLimit));
}

void SetControlWidth(QWidget* control, int width) {
    control->resize(Clamp(width, 0, GeometryLimit), control->height());
}

void SetControlHeight(QWidget* control, int height) {
    control->resize(control->width(), Clamp(height, 0, GeometryLimit));
}

TLXControlForm* ControlForm() {
    if (Win.LXControlForm == nullptr) Win.LXControlForm = new TLXControlForm;
    return Win.LXControlForm;
}
