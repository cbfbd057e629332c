// The run window: the text screen that shows everything a program prints, and an immediate console
// (a line typed and ended with Enter runs as a command). Its button bar starts, stops and continues
// runs. The engine reaches it only through the run-window queue, which this window applies.
#pragma once

#include "engine/runwindowqueue.h"
#include "ui/windowsstate.h"

#include <QColor>
#include <QFont>
#include <QPlainTextEdit>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTextCursor>
#include <QWidget>

#include <array>
#include <deque>
#include <optional>

class QPushButton;
class QTextDocument;
class QTimer;

class TRunForm;

// Memo1: the output text, which also takes typed commands.
class TRunMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TRunMemo(TRunForm* form);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    TRunForm* form_;
};

class TRunForm : public QWidget {
    Q_OBJECT
public:
    explicit TRunForm(QWidget* parent = nullptr);
    ~TRunForm() override;

    void SetBtnPrepMode();
    void SetBtnRunMode();
    void SetBtnStopMode();
    void SetBtnEndMode();

    // Applies everything the engine has queued (user-interface thread).
    void ApplyQueue();
    // Applies what the engine has queued for a short while at most and leaves the rest for the next
    // turn of the event loop, so a program that prints without pause never holds up the interface.
    void ApplyQueueSlice();
    // A slice on the next turn of the event loop, after the input that waits (the queue is full).
    void ApplyQueueSoon();

    // The whole text of Memo1 (tests and tools).
    QString Text() const;
    // Memo1, made on first use: see memo_.
    TRunMemo* Memo();
    int MaxTextLength() const { return maxLength_; }
    // TSCREEN: the text area (the window below the button bar) becomes width x height.
    void SetTextAreaSize(int width, int height);
    // The window's frame to framePosition, its text area to textArea (the engine's placement).
    void Place(QPoint framePosition, QSize textArea);
    void SetMaxTextLength(int length) { maxLength_ = length; }

    // The typed-line history ring.
    void AddHistory(const QString& text);
    QString GetHistory() const;
    int HistoryCount() const { return historyCount_; }
    int HistoryCursor() const { return historyCursor_; }

    // Shows the window in front with the activation, brought back first when it is minimised (a
    // minimised window takes no focus); with focusMemo, Memo1 takes the keys. Every start that hands
    // the run window the focus goes through here.
    void ShowActive(bool focusMemo);

    // The button actions.
    void RunBtnClick();
    void StopBtnClick();
    void ContBtnClick();
    void CLSBtnClick();
    void EditBtnClick();

    // Enter in the memo while idle: run the line under the caret as an immediate command.
    void RunTypedLine();
    void HistoryUp();
    void HistoryDown();

    void setVisible(bool visible) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void SetButtons(bool edit, bool run, bool stop, bool cont);
    void AddLine(const QString& line, bool echo);
    // Applies the events taken from the queue, oldest first, until none is left or budgetMs (when
    // not negative) has passed.
    void ApplyPending(qint64 budgetMs);
    void ApplyEvent(const RunWindowEvent& event);
    int CaretColumn() const;
    // The last line of Memo1 becomes `text`, with the caret at its end.
    void ReplaceLastLine(const QString& text);
    // The document that holds the text: Memo1's, or the one that stands in for it until it is made.
    QTextDocument* Document() const;
    // The caret to the end of the text, `back` characters before it, and into view.
    void PlaceCaret(int back);
    void ClearText();
    void SetReadOnly(bool readOnly);
    void FocusMemo();

    // Memo1 is made when the window is first shown or something asks for it (its font or colours, a
    // typed line), not with the window: a text editor lays out its text as soon as it is made, and
    // that brings up the whole font system, which a window nobody sees never needs. Until then its
    // text, caret and state are kept here, and handed over when it is made.
    TRunMemo* memo_ = nullptr;
    QTextDocument* pendingText_ = nullptr;
    QTextCursor pendingCaret_;
    QFont pendingFont_;
    QColor pendingBackColor_;
    QColor pendingTextColor_;
    bool pendingReadOnly_ = false;
    bool pendingFocus_ = false;
    std::optional<QRect> pendingPlace_; // frame position and text area, for when it is restored

    QWidget* panel_ = nullptr;
    QPushButton* editBtn_ = nullptr;
    QPushButton* runBtn_ = nullptr;
    QPushButton* stopBtn_ = nullptr;
    QPushButton* contBtn_ = nullptr;
    QPushButton* clsBtn_ = nullptr;
    QTimer* applyTimer_ = nullptr;
    QTimer* sliceTimer_ = nullptr; // the next slice of a long batch, on the next turn of the loop
    // Events taken from the queue and not applied yet: they go before anything queued since.
    std::deque<RunWindowEvent> pending_;
    int maxLength_ = 0;
    qsizetype textLength_ = 0; // Memo1's text length, line ends counted as two characters

    static constexpr int HistorySize = 100;
    std::array<QString, HistorySize> history_;
    int historyCount_ = 0;
    int historyCursor_ = 0;
    int historyStart_ = 0;

    friend class TRunMemo;
};

// Starts `command` as an event call: a button's or the media player's SUB, run as an immediate command
// against the program's variables, shown in the run window. False while busy.
bool StartEventCall(const QString& command);

// The banner line the run window prints when it is created.
QString RunWindowBanner();
