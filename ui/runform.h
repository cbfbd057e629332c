// The run window: the text screen that shows everything a program prints, and an immediate console
// (a line typed and ended with Enter runs as a command). Its button bar starts, stops and continues
// runs. The engine reaches it only through the run-window queue, which this window applies.
#pragma once

#include "ui/windowsstate.h"

#include <QPlainTextEdit>
#include <QString>
#include <QWidget>

#include <array>

class QPushButton;
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

    // The whole text of Memo1 (tests and tools).
    QString Text() const;
    TRunMemo* Memo() const { return memo_; }
    int MaxTextLength() const { return maxLength_; }
    // TSCREEN: the text area (the window below the button bar) becomes width x height.
    void SetTextAreaSize(int width, int height);
    void SetMaxTextLength(int length) { maxLength_ = length; }

    // The typed-line history ring.
    void AddHistory(const QString& text);
    QString GetHistory() const;
    int HistoryCount() const { return historyCount_; }
    int HistoryCursor() const { return historyCursor_; }

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

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void SetButtons(bool edit, bool run, bool stop, bool cont);
    void AddLine(const QString& line, bool echo);
    int CaretColumn() const;

    TRunMemo* memo_ = nullptr;
    QWidget* panel_ = nullptr;
    QPushButton* editBtn_ = nullptr;
    QPushButton* runBtn_ = nullptr;
    QPushButton* stopBtn_ = nullptr;
    QPushButton* contBtn_ = nullptr;
    QPushButton* clsBtn_ = nullptr;
    QTimer* applyTimer_ = nullptr;
    int maxLength_ = 0;
    qsizetype textLength_ = 0; // Memo1's text length, line ends counted as two characters

    static constexpr int HistorySize = 100;
    std::array<QString, HistorySize> history_;
    int historyCount_ = 0;
    int historyCursor_ = 0;
    int historyStart_ = 0;

    friend class TRunMemo;
};

// Starts CommandText (already set) as an event call: a button's or the media player's SUB, run as an
// immediate command against the program's variables, shown in the run window. False while busy.
bool StartEventCall();

// The banner line the run window prints when it is created.
QString RunWindowBanner();
