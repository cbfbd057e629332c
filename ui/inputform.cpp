// The INPUT dialog: its layout for INPUT and LINE INPUT, OK and Cancel, and the hook through which the
// engine shows it.
#include "ui/inputform.h"

#include "core/sharedstate.h"
#include "engine/enginehooks.h"
#include "engine/lxthread.h"
#include "resources/texts.h"
#include "ui/runform.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int PromptFontPixels = 22;
// Keeps the prompt off the window's left edge.
constexpr int PromptMargin = 6;
constexpr int EditTop = 27;
constexpr int EditHeight = 35;
constexpr int ButtonHeight = 27;
constexpr int ButtonWidth = 50;
// Between OK and Cancel, and between Cancel and the window's right edge.
constexpr int ButtonGap = 10;
constexpr int ClientHeight = EditTop + EditHeight;

// INPUT and LINE INPUT layouts: OK and Cancel left edges, answer box width, client width.
constexpr int NumOkLeft = 200;
constexpr int NumCancelLeft = NumOkLeft + ButtonWidth + ButtonGap;
constexpr int NumEditWidth = 160;
constexpr int NumClientWidth = NumCancelLeft + ButtonWidth + ButtonGap;
constexpr int LineOkLeft = 550;
constexpr int LineCancelLeft = LineOkLeft + ButtonWidth + ButtonGap;
constexpr int LineEditWidth = 510;
constexpr int LineClientWidth = LineCancelLeft + ButtonWidth + ButtonGap;

// How often an open dialog looks for a stop request raised elsewhere (shutdown, a test runner).
constexpr int StopWatchMs = 50;

[[maybe_unused]] const bool HooksInstalled = [] {
    InstallInputDialog();
    return true;
}();

} // namespace

// A dialog frame with a title and no buttons in it: the hints leave the window manager neither
// minimising, maximising nor closing to offer.
TInputNumForm::TInputNumForm(const InputDialogRequest& request, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      request_(request) {
    FormCreate();
    if (request_.LineInput)
        SetupLineInput();
    else
        SetupNumInput();
}

void TInputNumForm::FormCreate() {
    setModal(true);
    setWindowTitle(ResourceText(Res::InputCaption));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::HighlightedText));
    setPalette(palette);
    setAutoFillBackground(true);

    QFont font = this->font();
    font.setPixelSize(PromptFontPixels);
    Label1 = new QLabel(this);
    Label1->setFont(font);
    Label1->move(PromptMargin, 0);
    Edit1 = new QLineEdit(this);
    Edit1->setFont(font);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button1->setAutoDefault(false);
    Button2->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TInputNumForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TInputNumForm::Button2Click);
    connect(Edit1, &QLineEdit::returnPressed, this, &TInputNumForm::Button1Click);
    Edit1->installEventFilter(this);

    stopWatch_ = new QTimer(this);
    stopWatch_->setInterval(StopWatchMs);
    connect(stopWatch_, &QTimer::timeout, this, [this] {
        if (Rc.StopRequest != 0) Button2Click();
    });
}

void TInputNumForm::LayOut(int clientWidth, int okLeft, int cancelLeft, int editWidth) {
    Label1->setText(request_.Prompt);
    Label1->adjustSize();
    Edit1->setGeometry(0, EditTop, editWidth, EditHeight);
    Button1->setGeometry(okLeft, EditTop, ButtonWidth, ButtonHeight);
    Button2->setGeometry(cancelLeft, EditTop, ButtonWidth, ButtonHeight);
    // The window grows with a prompt wider than its layout.
    setFixedSize(std::max(clientWidth, PromptMargin + Label1->width() + PromptMargin), ClientHeight);
    Place();
}

void TInputNumForm::SetupNumInput() {
    QString caption = request_.Title.isEmpty() ? ResourceText(Res::InputCaption) : request_.Title;
    if (request_.Retry) {
        caption += ResourceText(Res::InputRetrySuffix);
        Edit1->setText(request_.PreviousText);
    } else {
        Edit1->clear();
    }
    setWindowTitle(caption);
    LayOut(NumClientWidth, NumOkLeft, NumCancelLeft, NumEditWidth);
}

void TInputNumForm::SetupLineInput() {
    setWindowTitle(request_.Title.isEmpty() ? ResourceText(Res::LineInputCaption) : request_.Title);
    Edit1->clear();
    LayOut(LineClientWidth, LineOkLeft, LineCancelLeft, LineEditWidth);
}

void TInputNumForm::Place() {
    if (request_.Positioned) {
        move(request_.Left, request_.Top);
        return;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void TInputNumForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    stopWatch_->start();
    activateWindow();
    Edit1->setFocus();
}

void TInputNumForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Some window managers offer to minimise every window whatever its hints say. A minimised INPUT
    // dialog would leave a program waiting with nothing on the screen to answer it: it comes back.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QTimer::singleShot(0, this, [this] { setWindowState(windowState() & ~Qt::WindowMinimized); });
}

bool TInputNumForm::eventFilter(QObject* watched, QEvent* event) {
    // A key held with Alt is a menu or button key, never a character of the answer (Alt+P, which
    // opens the Program menu elsewhere, typed "p" here).
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & Qt::AltModifier) && !key->text().isEmpty()) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TInputNumForm::Button1Click() {
    if (finished_) return;
    finished_ = true;
    accepted_ = true;
    answer_ = Edit1->text();
    RemoveLastRunLine();
    stopWatch_->stop();
    done(QDialog::Accepted);
}

void TInputNumForm::Button2Click() {
    if (finished_) return;
    finished_ = true;
    accepted_ = false;
    RequestStop();
    stopWatch_->stop();
    done(QDialog::Rejected);
}

void TInputNumForm::reject() {
    Button2Click();
}

bool ShowInputDialog(const InputDialogRequest& request, QString& answer) {
    TInputNumForm form(request);
    if (!Win.ScriptedInputAnswers.isEmpty()) {
        form.Edit1->setText(Win.ScriptedInputAnswers.takeFirst());
        form.Button1Click();
    } else if (Rc.StopRequest != 0) {
        form.Button2Click(); // a stop already asked for: nobody is to be asked any more
    } else {
        form.exec();
    }
    answer = form.Answer();
    return form.Accepted();
}

void ShowRunFormAfterInput() {
    if (Win.RunForm == nullptr) return;
    Win.RunForm->show();
    Win.RunForm->raise();
    Win.RunForm->activateWindow();
    Win.RunForm->Memo()->setFocus();
}

void InstallInputDialog() {
    Hooks.ShowInputDialogHook = &ShowInputDialog;
    Hooks.ShowRunFormHook = &ShowRunFormAfterInput;
}

void RemoveLastRunLine() {
    if (Win.RunForm == nullptr) return;
    Win.RunForm->ApplyQueue(); // the echo line may still wait in the queue
    QTextDocument* document = Win.RunForm->Memo()->document();
    if (document->isEmpty()) return;
    // Every line ends with a line break, so the text ends with an empty block after the last line.
    QTextBlock line = document->lastBlock();
    if (line.text().isEmpty() && line.previous().isValid()) line = line.previous();
    QTextCursor cursor(document);
    cursor.setPosition(line.position());
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    if (Rc.OutputLineCount > 0) Rc.OutputLineCount = Rc.OutputLineCount - 1;
}
