// The control window: 40 numbered labels, 40 text boxes and 40 buttons that programs show, place and
// change. A text box is a one-line edit and a memo laid over each other, one of them active. A click
// marks a polled button as pressed, or runs the program's SUB CButton<n>_Click as an event; keys typed
// here feed the program's key state.
#pragma once

#include "core/sharedstate.h"
#include "engine/controlexec.h"
#include "ui/windowsstate.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>

class QLineEdit;
class QPushButton;

// The layout of the window and of its controls (client pixels).
namespace ControlLayout {
inline constexpr int ClientWidth = CScreenDefaultWidth;
inline constexpr int ClientHeight = CScreenDefaultHeight;
inline constexpr int ColumnStep = 200; // control n sits in column (n - 1) div 10 ...
inline constexpr int RowStep = 40;     // ... and row (n - 1) mod 10
inline constexpr int PerColumn = 10;
inline constexpr int FirstLabelLeft = 6; // Label1 alone stands a little to the right
inline constexpr int ButtonLeft = 20;
inline constexpr int ButtonWidth = 120;
inline constexpr int ButtonHeight = 30;
inline constexpr int EditLeft = 60;
inline constexpr int EditWidth = 120;
inline constexpr int EditHeight = 29;
inline constexpr int MemoHeight = 30;
inline constexpr int DefaultCharset = 1; // DEFAULT_CHARSET
} // namespace ControlLayout

// A label that keeps its size fitted to its text, as the layout's autosized labels do: a new caption
// or font refits it; a width or height set in between stands until then.
class TLXLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLXLabel(const QString& text, QWidget* parent);
    void SetCaption(const QString& text);

protected:
    void changeEvent(QEvent* event) override;
};

// The memo of a text box. Its Text joins the lines with CR LF; CR LF, CR or LF in a text set break it.
class TLXMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TLXMemo(QWidget* parent);
    QString Text() const;
    void SetText(const QString& text);
    // Line `index` counting from 0; empty when the memo has no such line.
    QString Line(int index) const;
};

class TLXControlForm : public QWidget {
    Q_OBJECT
public:
    explicit TLXControlForm(QWidget* parent = nullptr);

    // Controls 1 to ControlCount (40); nullptr for any other number.
    TLXLabel* Label(int n) const;
    QPushButton* Button(int n) const;
    QLineEdit* Edit(int n) const;
    TLXMemo* Memo(int n) const;

    // Button<n>Click: the click on button n.
    void ButtonClick(int n);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormKeyPress(const QKeyEvent* event);

    std::array<TLXLabel*, ControlCount + 1> labels_{};
    std::array<QPushButton*, ControlCount + 1> buttons_{};
    std::array<QLineEdit*, ControlCount + 1> edits_{};
    std::array<TLXMemo*, ControlCount + 1> memos_{};
};

// Starts `command` as an event call (an immediate run against the last compiled program). Only while
// no interpreter thread is busy; false when refused.
bool StartControlButtonEvent(const QString& command);

// ---- the properties of a control, alike for the four control classes -----------------------------
// Colours are words 0x00BBGGRR. The font character set has no meaning to the font system here; it is
// kept with the control so that programs read back what they set.
std::uint32_t ControlColor(const QWidget* control); // background (a button's brush)
void SetControlColor(QWidget* control, std::uint32_t color);
std::uint32_t ControlFontColor(const QWidget* control);
void SetControlFontColor(QWidget* control, std::uint32_t color);
int ControlFontCharset(const QWidget* control);
void SetControlFontCharset(QWidget* control, int charset); // the low eight bits count
int ControlFontSize(const QWidget* control);               // points, as last set
void SetControlFontSize(QWidget* control, int points);
QString ControlFontName(const QWidget* control);
void SetControlFontName(QWidget* control, const QString& name);
std::uint8_t ControlFontStyle(const QWidget* control); // FontStyleBit set
void SetControlFontStyle(QWidget* control, std::uint8_t style);
// Geometry; values far outside any screen are held to +-16777215 so no sum of them overflows.
void SetControlLeft(QWidget* control, int left);
void SetControlTop(QWidget* control, int top);
void SetControlWidth(QWidget* control, int width);
void SetControlHeight(QWidget* control, int height);

// The control window, made (hidden) by the first statement or window setting that reaches it: a program
// that never does pays nothing for its 160 controls. CSCREEN makes a new one each time it opens the
// window.
TLXControlForm* ControlForm();
