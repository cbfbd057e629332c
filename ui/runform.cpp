// The run window: its text screen and immediate console, the button bar, and the run-window queue
// applied in batches into the text.
#include "ui/runform.h"

#include "core/itembuffers.h"
#include "core/sharedstate.h"
#include "engine/handover.h"
#include "engine/lxthread.h"
#include "engine/printline.h"
#include "engine/runwindowqueue.h"
#include "platform/osinfo.h"
#include "platform/settings.h"
#include "platform/virtualkeys.h"
#include "resources/texts.h"
#include "ui/colorfont.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <chrono>
#include <iterator>
#include <thread>
#include <vector>

namespace {

constexpr int MaxLengthNormal = 0x100000;
constexpr int MaxLengthLarge = 0x500000;
constexpr int MaxOutputLines = 1000000;
constexpr int TrimSpare = 3; // deletion leaves room for the new line and 3 characters more
constexpr int ApplyIntervalMs = 25;
// How long one turn of the event loop applies queued output at most, and how many lines go into the
// memo at once within it.
constexpr qint64 SliceBudgetMs = 20;
constexpr int ChunkLines = 512;
constexpr int PanelHeight = 21;
constexpr int ButtonWidth = 50;
constexpr int ButtonHeight = 20;
constexpr int InputStateSleepMs = 5; // the engine polls the key state every 5 ms
constexpr int EchoCaretBack = 2;     // a key echo leaves the caret before its line end

void WakeApply() {
    if (Win.RunForm != nullptr)
        QMetaObject::invokeMethod(
            Win.RunForm,
            [] {
                if (Win.RunForm) Win.RunForm->ApplyQueueSoon();
            },
            Qt::QueuedConnection);
}

void ApplyRunFormQueue() {
    if (Win.RunForm != nullptr) Win.RunForm->ApplyQueue();
}

void SleepForEngine() {
    std::this_thread::sleep_for(std::chrono::milliseconds(InputStateSleepMs));
}

// Shows a top-level window in front with the activation: a minimised one comes back first (as it was
// before, maximised or not), as a window that stays minimised takes no focus.
void BringToFront(QWidget* window) {
    if (window->isMinimized()) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

// True when the document turns no character of `line` into a block break, so that the line adds
// exactly one block of its own length.
bool IsPlainLine(const QString& line) {
    for (const QChar c : line) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\r' || u == 0 || u == QChar::ParagraphSeparator || u == 0xFDD0 ||
            u == 0xFDD1)
            return false;
    }
    return true;
}

// Appends a run of plain lines to a text that ends with a line end (its last block is empty), with
// exactly the counting and trimming of one AddLine per line (see TRunForm::AddLine), but in one
// deletion and one insertion: the trimming is worked out on the line lengths first. Lines that an
// earlier line of the same run would already have pushed out are never inserted.
void AddPlainLines(QTextDocument* document, qsizetype maxLength,
                   std::deque<RunWindowEvent>::const_iterator first,
                   std::deque<RunWindowEvent>::const_iterator last) {
    // Windows-style length: every line end counts as two characters.
    qsizetype length = static_cast<qsizetype>(document->characterCount() - 1) + (document->blockCount() - 1);
    int count = Rc.OutputLineCount;
    const int oldLines = document->blockCount() - 1; // the full lines before the empty last block
    int removedOld = 0;
    QTextBlock front = document->firstBlock(); // the oldest old line still kept
    std::vector<const QString*> added;
    std::size_t removedNew = 0;
    added.reserve(static_cast<std::size_t>(last - first));
    for (auto it = first; it != last; ++it) {
        const QString& line = it->Text;
        const qsizetype size = line.size();
        if (count >= MaxOutputLines || size + length >= maxLength) {
            do {
                if (removedOld < oldLines) {
                    length -= front.length() + 1; // its text and a two-character line end
                    front = front.next();
                    ++removedOld;
                } else if (removedNew < added.size()) {
                    length -= added[removedNew]->size() + 2;
                    ++removedNew;
                } else {
                    break; // the memo is empty
                }
                --count;
            } while (size + length + TrimSpare >= maxLength);
        } else {
            ++count;
        }
        added.push_back(&line);
        length += size + 2;
    }

    if (removedOld > 0) {
        QTextCursor cursor(document);
        cursor.setPosition(front.position(), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    qsizetype textSize = 0;
    for (std::size_t i = removedNew; i < added.size(); ++i)
        textSize += added[i]->size() + 1;
    QString text;
    text.reserve(textSize);
    for (std::size_t i = removedNew; i < added.size(); ++i) {
        text += *added[i];
        text += QLatin1Char('\n');
    }
    if (!text.isEmpty()) {
        QTextCursor cursor(document);
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
    }
    Rc.OutputLineCount = count;
}

// True when the memo's text ends with a line end (or is empty): the state every AddLine leaves.
bool EndsWithLineEnd(const QTextDocument* document) {
    return document->isEmpty() || document->lastBlock().text().isEmpty();
}

} // namespace

QString RunWindowBanner() {
    return QStringLiteral("Lorvex for Windows Ver. ") + QString::fromUtf16(ApplicationVersion) +
           QStringLiteral(" (") + QString::fromUtf16(ReleaseDate) + QStringLiteral(") On Windows ") +
           OSName();
}

// ---- TRunMemo ----------------------------------------------------------------------------------------

TRunMemo::TRunMemo(TRunForm* form) : QPlainTextEdit(form), form_(form) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(false);
    // Files are dropped on the frame, which opens them. Here a dropped file's name would become a
    // typed line, which Enter runs as a command.
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
}

void TRunMemo::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    Rc.LastKeyCode = VirtualKeyFromQtKey(key, event->modifiers());
    if (!event->text().isEmpty()) Rc.KeyBuffer = event->text().at(0).unicode();
    SleepForEngine();

    const bool shiftOnly = event->modifiers() == Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Rc.KeyBuffer = u'\r';
        if (Rc.ThreadBusy == 0) form_->RunTypedLine();
        return; // Enter never breaks the line: the memo takes no returns
    case Qt::Key_Left:
        if (!shiftOnly && form_->CaretColumn() == 1) return;
        break;
    case Qt::Key_Right:
        if (!shiftOnly && textCursor().atBlockEnd()) return;
        break;
    case Qt::Key_Up: form_->HistoryUp(); return;
    case Qt::Key_Down: form_->HistoryDown(); return;
    default: break;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TRunMemo::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    const bool selected = textCursor().hasSelection();
    QAction* cut = menu.addAction(QStringLiteral("切り取り(&T)"), this, &QPlainTextEdit::cut);
    QAction* copyAction = menu.addAction(QStringLiteral("コピー(&C)"), this, [this] {
        QTextCursor cursor = textCursor();
        QPlainTextEdit::copy();
        cursor.setPosition(cursor.selectionEnd());
        setTextCursor(cursor);
    });
    QAction* paste = menu.addAction(QStringLiteral("貼り付け(&P)"), this, &QPlainTextEdit::paste);
    QAction* remove =
        menu.addAction(QStringLiteral("削除(&D)"), this, [this] { textCursor().removeSelectedText(); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("すべて選択(&A)"), this, &QPlainTextEdit::selectAll);
    cut->setEnabled(selected && !isReadOnly());
    copyAction->setEnabled(selected);
    remove->setEnabled(selected && !isReadOnly());
    paste->setEnabled(!QApplication::clipboard()->text().isEmpty() && !isReadOnly());
    menu.exec(event->globalPos());
}

// ---- TRunForm ----------------------------------------------------------------------------------------

// Minimise and maximise boxes only: without a close box the immediate console cannot be lost.
constexpr Qt::WindowFlags RunFormFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;

TRunForm::TRunForm(QWidget* parent) : QWidget(parent, RunFormFlags) {
    Win.RunForm = this;
    maxLength_ = HasLargeTextLimits() ? MaxLengthLarge : MaxLengthNormal;

    panel_ = new QWidget(this);
    panel_->setFixedHeight(PanelHeight);
    auto makeButton = [this](const QString& caption, const QString& hint) {
        auto* button = new QPushButton(caption, panel_);
        button->setToolTip(hint);
        button->setFixedSize(ButtonWidth, ButtonHeight);
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    };
    editBtn_ = makeButton(QStringLiteral("編集"), QStringLiteral("編集画面を前面にします。"));
    runBtn_ =
        makeButton(QStringLiteral("再実行"), QStringLiteral("直前に実行したプログラムを再実行します。"));
    stopBtn_ = makeButton(QStringLiteral("中断"), QStringLiteral("実行中のプログラムを中断します。"));
    contBtn_ = makeButton(QStringLiteral("再開"), QStringLiteral("中断したプログラムを再開します。"));
    clsBtn_ = makeButton(QStringLiteral("CLS"), QStringLiteral("実行画面を初期化します。"));
    stopBtn_->setEnabled(false);
    contBtn_->setEnabled(false);
    connect(editBtn_, &QPushButton::clicked, this, &TRunForm::EditBtnClick);
    connect(runBtn_, &QPushButton::clicked, this, &TRunForm::RunBtnClick);
    connect(stopBtn_, &QPushButton::clicked, this, &TRunForm::StopBtnClick);
    connect(contBtn_, &QPushButton::clicked, this, &TRunForm::ContBtnClick);
    connect(clsBtn_, &QPushButton::clicked, this, &TRunForm::CLSBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel_);
    pendingText_ = new QTextDocument(this);
    pendingText_->setUndoRedoEnabled(false);
    pendingCaret_ = QTextCursor(pendingText_);

    setWindowTitle(ResourceText(Res::CaptionEnded));
    {
        std::lock_guard<std::mutex> lock(SettingsMutex());
        // Placed before the window is made, the position is that of its frame.
        Place(QPoint(0, 0), QSize(UsableSize(Settings.TScreenWidth, DefaultTScreenWidth),
                                  UsableSize(Settings.TScreenHeight, DefaultTScreenHeight)));
        pendingFont_ = QFont(Settings.TScreenFontName);
        pendingFont_.setPointSize(Settings.TScreenFontSize);
        SetFontStyle(pendingFont_, Settings.TScreenFontStyle);
        pendingFont_.setStyleHint(QFont::TypeWriter);
        pendingBackColor_ = FromColorRef(Settings.TScreenBackColor);
        pendingTextColor_ = FromColorRef(Settings.TScreenFontColor);
    }

    // A window of its own beside the frame, not one that belongs to it: the desktop would minimise it
    // with the frame (a start with -R minimises the frame and shows the program's output here).
    create();
    if (QWindow* handle = windowHandle()) handle->setTransientParent(nullptr);

    applyTimer_ = new QTimer(this);
    applyTimer_->setInterval(ApplyIntervalMs);
    connect(applyTimer_, &QTimer::timeout, this, &TRunForm::ApplyQueueSlice);
    applyTimer_->start();
    sliceTimer_ = new QTimer(this);
    sliceTimer_->setSingleShot(true);
    sliceTimer_->setInterval(0);
    connect(sliceTimer_, &QTimer::timeout, this, &TRunForm::ApplyQueueSlice);

    SetHandOverTarget(this);
    SetHandOverQueueApplier(&ApplyRunFormQueue);
    RunWindowQueue::Instance().SetWakeConsumer(&WakeApply, this);

    FlushPrintLine(RunWindowBanner());
    FlushPrintLine(QStringLiteral("OK"));
    ApplyQueue();
}

TRunMemo* TRunForm::Memo() {
    if (memo_ != nullptr) return memo_;
    memo_ = new TRunMemo(this);
    memo_->setFont(pendingFont_);
    QPalette palette = memo_->palette();
    palette.setColor(QPalette::Base, pendingBackColor_);
    palette.setColor(QPalette::Text, pendingTextColor_);
    memo_->setPalette(palette);
    if (pendingReadOnly_) memo_->setReadOnly(true);
    static_cast<QVBoxLayout*>(layout())->addWidget(memo_);
    // The raw text keeps every character and block break as it was inserted.
    QTextCursor(memo_->document()).insertText(pendingText_->toRawText());
    QTextCursor caret = memo_->textCursor();
    caret.setPosition(pendingCaret_.anchor());
    caret.setPosition(pendingCaret_.position(), QTextCursor::KeepAnchor);
    memo_->setTextCursor(caret);
    memo_->ensureCursorVisible();
    if (pendingFocus_) memo_->setFocus();
    pendingCaret_ = QTextCursor();
    delete pendingText_;
    pendingText_ = nullptr;
    return memo_;
}

void TRunForm::setVisible(bool visible) {
    if (visible) Memo(); // before the window's layout places it
    QWidget::setVisible(visible);
}

QTextDocument* TRunForm::Document() const {
    return memo_ != nullptr ? memo_->document() : pendingText_;
}

void TRunForm::PlaceCaret(int back) {
    if (memo_ == nullptr) {
        pendingCaret_.movePosition(QTextCursor::End);
        if (back > 0) pendingCaret_.setPosition(std::max(0, pendingCaret_.position() - back));
        return;
    }
    memo_->moveCursor(QTextCursor::End);
    if (back > 0) {
        QTextCursor caret = memo_->textCursor();
        caret.setPosition(std::max(0, caret.position() - back));
        memo_->setTextCursor(caret);
    }
    memo_->ensureCursorVisible();
}

void TRunForm::ClearText() {
    if (memo_ != nullptr) {
        memo_->clear();
    } else {
        pendingText_->clear();
        pendingCaret_ = QTextCursor(pendingText_);
    }
}

void TRunForm::SetReadOnly(bool readOnly) {
    if (memo_ != nullptr)
        memo_->setReadOnly(readOnly);
    else
        pendingReadOnly_ = readOnly;
}

void TRunForm::FocusMemo() {
    if (memo_ != nullptr)
        memo_->setFocus();
    else
        pendingFocus_ = true;
}

TRunForm::~TRunForm() {
    RunWindowQueue::Instance().ReleaseConsumer(this);
    SetHandOverQueueApplier(nullptr);
    if (Win.RunForm == this) Win.RunForm = nullptr;
}

void TRunForm::SetButtons(bool edit, bool run, bool stop, bool cont) {
    editBtn_->setEnabled(edit);
    runBtn_->setEnabled(run);
    stopBtn_->setEnabled(stop);
    contBtn_->setEnabled(cont);
}

void TRunForm::SetBtnPrepMode() {
    SetButtons(true, false, false, false);
    if (Rc.EchoOn) setWindowTitle(ResourceText(Res::CaptionPreparing));
}

void TRunForm::SetBtnRunMode() {
    SetButtons(false, false, true, false);
    if (Rc.EchoOn) setWindowTitle(ResourceText(Res::CaptionRunning));
}

void TRunForm::SetBtnStopMode() {
    // Cont only while a stopped program waits: not after a stop in the compile, nor once the program's
    // memory was given back.
    SetButtons(true, true, false, ProgramCanContinue());
    SetReadOnly(false);
    if (Rc.EchoOn) setWindowTitle(ResourceText(Res::CaptionStopMode));
}

void TRunForm::SetBtnEndMode() {
    SetButtons(true, true, false, false);
    SetReadOnly(false);
    if (Rc.EchoOn) setWindowTitle(ResourceText(Res::CaptionEnded));
}

void TRunForm::AddLine(const QString& line, bool echo) {
    QTextDocument* document = Document();
    // Windows-style length: every line end counts as two characters.
    auto length = [document] {
        return static_cast<qsizetype>(document->characterCount() - 1) + (document->blockCount() - 1);
    };
    const bool over =
        Rc.OutputLineCount >= MaxOutputLines || line.size() + length() >= static_cast<qsizetype>(maxLength_);
    if (over) {
        if (memo_ != nullptr) memo_->setUpdatesEnabled(false);
        do {
            if (document->isEmpty()) break;
            QTextCursor first(document->firstBlock());
            first.select(QTextCursor::BlockUnderCursor);
            if (document->blockCount() > 1) {
                first.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
                first.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
            }
            first.removeSelectedText();
            Rc.OutputLineCount = Rc.OutputLineCount - 1;
            if (echo) break; // the key echo deletes exactly one line
        } while (line.size() + length() + TrimSpare >= static_cast<qsizetype>(maxLength_));
        if (memo_ != nullptr) memo_->setUpdatesEnabled(true);
    } else {
        Rc.OutputLineCount = Rc.OutputLineCount + 1;
    }
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    // A typed command stays on its own line: the new line starts after a line break.
    if (!document->isEmpty() && !document->lastBlock().text().isEmpty())
        cursor.insertText(QStringLiteral("\n"));
    cursor.insertText(line + QLatin1Char('\n'));
    PlaceCaret(echo ? EchoCaretBack : 0);
}

void TRunForm::ApplyQueue() {
    std::deque<RunWindowEvent> taken = RunWindowQueue::Instance().TakeAll(this);
    std::move(taken.begin(), taken.end(), std::back_inserter(pending_));
    ApplyPending(-1);
}

void TRunForm::ApplyQueueSlice() {
    // New events are taken only once the older ones are applied: until then the queue stays full
    // and holds the program back, so the backlog never grows beyond the queue's capacity.
    QElapsedTimer clock;
    clock.start();
    for (qint64 spent = 0; spent < SliceBudgetMs; spent = clock.elapsed()) {
        if (pending_.empty()) pending_ = RunWindowQueue::Instance().TakeAll(this);
        if (pending_.empty()) return;
        ApplyPending(SliceBudgetMs - spent);
    }
    if (!pending_.empty()) sliceTimer_->start();
}

void TRunForm::ApplyQueueSoon() {
    // Not at once: posted calls that keep coming would be applied one after another without the
    // event loop seeing the keys and clicks in between.
    if (!sliceTimer_->isActive()) sliceTimer_->start();
}

void TRunForm::ApplyPending(qint64 budgetMs) {
    QElapsedTimer clock;
    clock.start();
    bool placeCaret = false; // lines were added: the caret goes after them before anything else
    while (!pending_.empty() && (budgetMs < 0 || clock.elapsed() < budgetMs)) {
        const RunWindowEvent& event = pending_.front();
        if (event.Op == RunWindowOp::AppendLine && EndsWithLineEnd(Document()) && IsPlainLine(event.Text)) {
            // A program that prints queues its lines by the thousand: plain lines that follow one another
            // go into the memo together (same text, count and trimming as one AddLine each), a chunk at
            // a time, so that a slice ends soon after its time is up.
            auto end = pending_.begin();
            for (int n = 0; n < ChunkLines && end != pending_.end() && end->Op == RunWindowOp::AppendLine &&
                            IsPlainLine(end->Text);
                 ++n)
                ++end;
            if (memo_ != nullptr) memo_->setUpdatesEnabled(false);
            AddPlainLines(Document(), maxLength_, pending_.begin(), end);
            if (memo_ != nullptr) memo_->setUpdatesEnabled(true);
            pending_.erase(pending_.begin(), end);
            placeCaret = true;
            continue;
        }
        if (placeCaret) {
            PlaceCaret(0);
            placeCaret = false;
        }
        const RunWindowEvent next = std::move(pending_.front());
        pending_.pop_front();
        ApplyEvent(next);
    }
    if (placeCaret) PlaceCaret(0);
}

void TRunForm::ApplyEvent(const RunWindowEvent& event) {
    switch (event.Op) {
    case RunWindowOp::AppendLine: AddLine(event.Text, false); break;
    case RunWindowOp::AppendEchoLine: AddLine(event.Text, true); break;
    case RunWindowOp::ClearText:
        ClearText();
        Rc.OutputLineCount = 0;
        break;
    case RunWindowOp::SetCaption: setWindowTitle(event.Text); break;
    case RunWindowOp::ButtonMode:
        switch (event.Value) {
        case RunButtonMode::Prepare: SetBtnPrepMode(); break;
        case RunButtonMode::Run: SetBtnRunMode(); break;
        case RunButtonMode::Stop: SetBtnStopMode(); break;
        case RunButtonMode::End: SetBtnEndMode(); break;
        case RunButtonMode::ImmediateRun: SetButtons(false, false, true, false); break;
        default: break;
        }
        break;
    case RunWindowOp::ReadOnly: SetReadOnly(event.Value != 0); break;
    case RunWindowOp::Place: Place(QPoint(event.Left, event.Top), QSize(event.Width, event.Height)); break;
    case RunWindowOp::AppendText: {
        QTextCursor cursor(Document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(event.Text);
        break;
    }
    }
}

QString TRunForm::Text() const {
    return Document()->toPlainText();
}

void TRunForm::Place(QPoint framePosition, QSize textArea) {
    // A minimised window takes its place when it is restored: placing it now would bring it back on
    // the screen (a start with -H minimises it before the run places it).
    if (isMinimized()) {
        pendingPlace_ = QRect(framePosition, textArea);
        return;
    }
    pendingPlace_.reset();
    // By the frame, as every window is placed: the title bar, which shows the run state, stays on the
    // screen at 0, 0.
    move(framePosition);
    resize(textArea.width(), textArea.height() + panel_->height());
}

void TRunForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized() && pendingPlace_) {
        const QRect place = *pendingPlace_;
        Place(place.topLeft(), place.size());
    }
}

void TRunForm::SetTextAreaSize(int width, int height) {
    resize(width, height + panel_->height());
}

void TRunForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int w = width();
    editBtn_->move(10, 0);
    clsBtn_->move(w - 70, 0);
    contBtn_->move(w - 130, 0);
    stopBtn_->move(w - 190, 0);
    runBtn_->move(w - 250, 0);
}

int TRunForm::CaretColumn() const {
    return (memo_ != nullptr ? memo_->textCursor() : pendingCaret_).positionInBlock() + 1;
}

void TRunForm::AddHistory(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return;
    if (historyCount_ < HistorySize)
        ++historyCount_;
    else
        historyStart_ = (historyStart_ + 1) % HistorySize;
    history_[static_cast<std::size_t>((historyCount_ + historyStart_) % HistorySize)] = trimmed;
}

QString TRunForm::GetHistory() const {
    if (historyCursor_ < 1 || historyCursor_ > historyCount_) return QString();
    return history_[static_cast<std::size_t>((historyCursor_ + historyStart_) % HistorySize)];
}

void TRunForm::RunTypedLine() {
    Rc.OutputLineCount = Rc.OutputLineCount + 1;
    const QString line = Memo()->textCursor().block().text();
    AddHistory(line);
    historyCursor_ = historyCount_ + 1;
    StartRun(RunRequest{RunStart::Command, line});
}

void TRunForm::HistoryUp() {
    Memo()->moveCursor(QTextCursor::End);
    if (historyCursor_ > 1 && Rc.ThreadBusy == 0) {
        --historyCursor_;
        ReplaceLastLine(GetHistory());
    }
}

void TRunForm::HistoryDown() {
    Memo()->moveCursor(QTextCursor::End);
    if (historyCursor_ < historyCount_ && Rc.ThreadBusy == 0) {
        ++historyCursor_;
        ReplaceLastLine(GetHistory());
    }
}

void TRunForm::ReplaceLastLine(const QString& text) {
    // The line the caret is on, the last one, whether it holds a recalled entry or is still empty.
    QTextCursor cursor = Memo()->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    memo_->setTextCursor(cursor);
}

void TRunForm::RunBtnClick() {
    if (!StartRun(RunRequest{RunStart::Rerun})) return;
    SetBtnRunMode();
    FocusMemo();
}

void TRunForm::StopBtnClick() {
    SetBtnStopMode();
    RequestStop();
    FocusMemo();
}

void TRunForm::ContBtnClick() {
    if (!StartRun(RunRequest{RunStart::Continue})) return;
    SetBtnRunMode();
    FocusMemo();
}

void TRunForm::CLSBtnClick() {
    ClearText();
    FocusMemo();
    Rc.OutputLineCount = 0;
}

void TRunForm::EditBtnClick() {
    // The frame comes back also from the minimised state a start with -R or -H leaves it in.
    if (QWidget* main = parentWidget()) BringToFront(main);
}

void TRunForm::ShowActive(bool focusMemo) {
    BringToFront(this);
    if (focusMemo) Memo()->setFocus();
}

void TRunForm::closeEvent(QCloseEvent* event) {
    // The window lives as long as the application: a close request (the window manager's menu, a
    // taskbar) minimises it instead.
    event->ignore();
    setWindowState(windowState() | Qt::WindowMinimized);
}

bool StartEventCall(const QString& command) {
    if (!StartRun(RunRequest{RunStart::Event, command})) return false;
    if (Win.RunForm != nullptr) {
        Win.RunForm->SetBtnRunMode();
        Win.RunForm->ShowActive(true);
    }
    return true;
}
