// The editor window: its text control, loading and saving in an encoding with a ".BAK", printing, the
// status bar, the run of its program and the showing of a run's error.
#include "ui/editform.h"

#include "core/encodedetect.h"
#include "core/programfile.h"
#include "core/sharedstate.h"
#include "engine/lxthread.h"
#include "platform/osinfo.h"
#include "platform/settings.h"
#include "resources/texts.h"
#include "ui/colorfont.h"
#include "ui/findreplace.h"
#include "ui/runform.h"
#include "ui/syntaxcolor.h"
#include "ui/textload.h"
#include "ui/undobuffer.h"
#include "ui/windowhooks.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPrinter>
#include <QResizeEvent>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QVBoxLayout>

#include <filesystem>
#include <memory>
#include <new>
#include <system_error>
#include <utility>

namespace {

constexpr int MaxLengthNormal = 0x40000;
constexpr int MaxLengthLarge = 0x100000;
constexpr int CaretFieldWidth = 4; // " %4d 行， %4d 桁"
// Texts of more lines than this are not laid out again when the editor's width changes.
constexpr int RelayoutLineLimit = 10000;
// Files longer than this (about 17,000 program lines) load in the background with the wait window.
constexpr qint64 BackgroundLoadBytes = 256 * 1024;

constexpr char16_t UntitledPrefix[] = u"Untitled";
constexpr char16_t BackupSuffix[] = u".BAK";

constexpr int PanelFileName = 0;
constexpr int PanelCaret = 1;
constexpr int PanelModified = 2;
constexpr int PanelInsertMode = 3;
constexpr int PanelCursorMode = 4;
constexpr int PanelEncoding = 5;

std::filesystem::path FsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// The name with its extension replaced by ".BAK" (the extension is what follows the last "." of the
// file name part; a name without one gets ".BAK" added).
QString BackupName(const QString& fileName) {
    const QFileInfo info(fileName);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot >= 0 ? name.left(dot) : name;
    return info.dir().filePath(base + T(BackupSuffix));
}

// Whether two names lead to the same file (an existing file named like its own backup).
bool SameFile(const QString& a, const QString& b) {
    if (QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath()) return true;
    std::error_code error;
    return std::filesystem::equivalent(FsPath(a), FsPath(b), error) && !error;
}

// Whether every character of a key's text can be typed into the program (tabs included).
bool IsTypedText(const QString& text) {
    if (text.isEmpty()) return false;
    for (const char32_t code : text.toUcs4())
        if (code != U'\t' && !QChar::isPrint(code)) return false;
    return true;
}

void ShowRunForm(bool focusMemo) {
    if (Win.RunForm != nullptr) Win.RunForm->ShowActive(focusMemo);
}

} // namespace

// ---- helpers ----------------------------------------------------------------------------------------

LineEndKind DetectLineEnds(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r')
            return i + 1 < text.size() && text.at(i + 1) == u'\n' ? LineEndKind::CrLf : LineEndKind::Cr;
        if (c == u'\n') return LineEndKind::Lf;
    }
    return LineEndKind::CrLf;
}

QString WithLineEnds(QString text, LineEndKind kind) {
    // One pass over the text: a long program loads and saves without copies of copies.
    const qsizetype size = text.size();
    if (kind == LineEndKind::CrLf) {
        qsizetype lineEnds = 0;
        for (const QChar c : std::as_const(text))
            if (c == u'\n' || c == u'\r') ++lineEnds;
        if (lineEnds == 0) return text;
        QString result(size + lineEnds, Qt::Uninitialized);
        QChar* out = result.data();
        const QChar* in = text.constData();
        qsizetype w = 0;
        for (qsizetype r = 0; r < size; ++r) {
            const QChar c = in[r];
            if (c == u'\r' || c == u'\n') {
                out[w++] = u'\r';
                out[w++] = u'\n';
                if (c == u'\r' && r + 1 < size && in[r + 1] == u'\n') ++r;
            } else {
                out[w++] = c;
            }
        }
        result.truncate(w);
        return result;
    }
    // A single character for each line end never lengthens the text: it is written over in place.
    const QChar lineEnd = kind == LineEndKind::Lf ? u'\n' : u'\r';
    qsizetype start = text.indexOf(kind == LineEndKind::Lf ? u'\r' : u'\n');
    if (start < 0) return text;
    if (start > 0 && text.at(start - 1) == u'\r') --start; // the CR of a CR LF
    QChar* data = text.data();
    qsizetype w = start;
    for (qsizetype r = start; r < size; ++r) {
        const QChar c = data[r];
        if (c == u'\r' || c == u'\n') {
            data[w++] = lineEnd;
            if (c == u'\r' && r + 1 < size && data[r + 1] == u'\n') ++r;
        } else {
            data[w++] = c;
        }
    }
    text.truncate(w);
    return text;
}

QStringList OpenEncodingNames() {
    return {T(EncodingAuto),         QStringLiteral("Unicode"), QStringLiteral("Big Endian Unicode"),
            QStringLiteral("SJIS"),  QStringLiteral("EUC"),     QStringLiteral("JIS"),
            QStringLiteral("UTF-8"), QStringLiteral("UTF-8BOM")};
}

QStringList SaveEncodingNames() {
    return {T(EncodingDefault),        QStringLiteral("ASCII"),
            QStringLiteral("Unicode"), QStringLiteral("Big Endian Unicode"),
            QStringLiteral("SJIS"),    QStringLiteral("EUC"),
            QStringLiteral("JIS"),     QStringLiteral("UTF-8"),
            QStringLiteral("UTF-8BOM")};
}

TextPlace ErrorPlaceInText(const QString& compiledText, int errorPosition) {
    // The error line names the character at offset errorPosition - 1 (1-based) of the compiled text;
    // the same character is found here by its line and its place in that line.
    const qsizetype length = compiledText.size();
    if (length == 0) return {};
    qsizetype p = static_cast<qsizetype>(errorPosition) - 1;
    p = std::clamp<qsizetype>(p, 1, length);
    const qsizetype index = p - 1; // 0-based
    TextPlace place;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < index; ++i) {
        const QChar c = compiledText.at(i);
        if (c == u'\r' && i + 1 < length && compiledText.at(i + 1) == u'\n') {
            // The LF of a CR LF is the line end itself: it stands at the end of its line.
            if (i + 1 == index) {
                place.Column = static_cast<int>(i - lineStart);
                return place;
            }
            ++i;
        } else if (c != u'\r' && c != u'\n') {
            continue;
        }
        ++place.Line;
        lineStart = i + 1;
    }
    place.Column = static_cast<int>(index - lineStart);
    return place;
}

bool StartProgramRun(const QString& programText, const QString& folder, RunStarter starter) {
    if (!StartRun(RunRequest{RunStart::Program, programText, folder})) return false;
    if (Win.RunForm != nullptr) {
        if (starter == RunStarter::CommandLine)
            Win.RunForm->SetBtnRunMode();
        else
            Win.RunForm->SetBtnPrepMode();
    }
    // A run window that the command line minimised (-H) stays so: activating it would restore it.
    if (starter != RunStarter::CommandLine || Win.RunForm == nullptr || !Win.RunForm->isMinimized())
        ShowRunForm(false);
    Win.RunErrorPending = true;
    return true;
}

// ---- TMyRichEdit ------------------------------------------------------------------------------------

TMyRichEdit::TMyRichEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTabChangesFocus(false);
    // Every change goes through the editor's undo ring; the keys and menus of the control's own undo
    // are taken by the editor window. (The document keeps its undo stack all the same: without it,
    // every recolouring would mark the text modified.) Dropped files go on to the frame, which opens
    // them.
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
}

void TMyRichEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    emit FocusEntered();
}

void TMyRichEdit::keyPressEvent(QKeyEvent* event) {
    if (KeyDownHook && KeyDownHook(event)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TMyRichEdit::paintEvent(QPaintEvent* event) {
    // The lines about to be painted take their colours now: the others never need them.
    if (SyntaxColor) {
        const QTextBlock first = firstVisibleBlock();
        const QPointF offset = contentOffset();
        const qreal bottom = viewport()->rect().height();
        QTextBlock last = first;
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            if (blockBoundingGeometry(block).translated(offset).top() > bottom) break;
            last = block;
        }
        SyntaxColor->ShowLines(first, last);
    }
    QPlainTextEdit::paintEvent(event);
}

void TMyRichEdit::resizeEvent(QResizeEvent* event) {
    // The control lays out every line again when its width changes (a scroll bar coming or going
    // is enough), and gives each line a layout of its own for it: a long program's memory several
    // times over, and a pause. Lines never wrap here, so the width changes no line: a long text
    // keeps its layouts and only the scroll bars follow.
    if (lineWrapMode() == QPlainTextEdit::NoWrap && document()->blockCount() > RelayoutLineLimit &&
        event->oldSize().width() != event->size().width()) {
        QResizeEvent sameWidth(event->size(), QSize(event->size().width(), event->oldSize().height()));
        QPlainTextEdit::resizeEvent(&sameWidth);
        return;
    }
    QPlainTextEdit::resizeEvent(event);
}

void TMyRichEdit::mousePressEvent(QMouseEvent* event) {
    // The middle button would paste the primary selection past the undo ring.
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

void TMyRichEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(event);
}

void TMyRichEdit::inputMethodEvent(QInputMethodEvent* event) {
    QTextCursor cursor = textCursor();
    const bool composing = !cursor.block().layout()->preeditAreaText().isEmpty();
    // As with typed characters in insert mode, a selection is not replaced: composed text goes in
    // at its start and the selected text stays.
    if (cursor.hasSelection() && (!event->commitString().isEmpty() || event->replacementLength() > 0 ||
                                  (!composing && !event->preeditString().isEmpty()))) {
        cursor.setPosition(cursor.selectionStart());
        setTextCursor(cursor);
    }

    // The finished text is put in here, so that it goes in once, within the length limit, and the
    // editor window learns exactly what it replaced.
    QString text = event->commitString();
    QString replaced;
    bool committed = false;
    if (!text.isEmpty() || event->replacementLength() > 0) {
        const QTextBlock block = cursor.block();
        const int blockEnd = block.position() + block.length() - 1;
        const int from =
            std::clamp(cursor.position() + event->replacementStart(), block.position(), blockEnd);
        const int to = std::clamp(from + event->replacementLength(), from, blockEnd);
        QTextCursor range(document());
        range.setPosition(from);
        range.setPosition(to, QTextCursor::KeepAnchor);
        replaced = range.selectedText();
        if (MaxLength > 0) {
            const int room = MaxLength - (EditorTextLength(*this) - (to - from));
            qsizetype fits = std::clamp<qsizetype>(room, 0, text.size());
            if (fits > 0 && fits < text.size() && text.at(fits - 1).isHighSurrogate()) --fits;
            if (fits < text.size()) {
                QApplication::beep();
                text.truncate(fits);
            }
        }
        range.insertText(text);
        setTextCursor(range);
        committed = !text.isEmpty() || !replaced.isEmpty();
    }

    // The composition still under way goes to the control, in the look of where it is typed.
    QList<QInputMethodEvent::Attribute> attributes;
    const QTextCharFormat look = CompositionFormatHook && !event->preeditString().isEmpty()
                                     ? CompositionFormatHook()
                                     : QTextCharFormat();
    for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::TextFormat && look.isValid()) continue;
        attributes.append(attribute);
    }
    if (look.isValid())
        attributes.append(QInputMethodEvent::Attribute(
            QInputMethodEvent::TextFormat, 0, static_cast<int>(event->preeditString().size()), look));
    QInputMethodEvent rest(event->preeditString(), attributes);
    QPlainTextEdit::inputMethodEvent(&rest);
    // The control puts the composition's look in place of the line's colours; they come back.
    if (SyntaxColor) SyntaxColor->ShowLines(textCursor().block(), textCursor().block());
    event->accept();

    if (committed) DoWMImeComposition(text, replaced);
}

void TMyRichEdit::DoWMImeComposition(const QString& text, const QString& replaced) {
    emit OnWMImeComposition(this, text, replaced);
}

// ---- TLXEditForm ------------------------------------------------------------------------------------

TLXEditForm::TLXEditForm(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    EncodingName = T(EncodingUnsaved);
    SaveDialogFolder_ = Settings.DefaultDir;
    ++Win.UntitledCounter;
    FileName = T(UntitledPrefix) + QString::number(Win.UntitledCounter);
    SetCaption(FileName);

    Editor = new TMyRichEdit(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Editor);
    // Each window keeps its own history: Undo in one window never touches another's text, and a new
    // window leaves the others' histories alone.
    UndoBuffer_ = std::make_unique<my_UndoClass>();
    UndoBuffer_->Initialize(my_UndoClass::EditorCapacity);
    MaxLength_ = HasLargeTextLimits() ? MaxLengthLarge : MaxLengthNormal;
    Editor->MaxLength = MaxLength_;
    InsertMode = 1;
    TypingContext = TypingContextKind::Code;

    ApplyEditorLook();
    SyntaxColor = new TLXSyntaxColor(Editor->document());
    Editor->SyntaxColor = SyntaxColor;
    Editor->KeyDownHook = [this](QKeyEvent* event) { return EditorKeyDown(event); };
    Editor->CompositionFormatHook = [this] {
        UpdateTypingContext();
        return CompositionFormat();
    };
    connect(Editor, &TMyRichEdit::OnWMImeComposition, this, &TLXEditForm::EditorImeComposition);
    connect(Editor, &QPlainTextEdit::textChanged, this, &TLXEditForm::EditorChange);

    FindDialog1 = new TFindReplaceDialog(TFindReplaceDialog::Mode::Find, this);
    ReplaceDialog1 = new TFindReplaceDialog(TFindReplaceDialog::Mode::Replace, this);
    connect(FindDialog1, &TFindReplaceDialog::FindRequested, this, &TLXEditForm::FindDialog1Find);
    connect(ReplaceDialog1, &TFindReplaceDialog::FindRequested, this, &TLXEditForm::ReplaceDialog1Find);
    connect(ReplaceDialog1, &TFindReplaceDialog::ReplaceRequested, this,
            [this] { ReplaceDialog1Replace(false); });
    connect(ReplaceDialog1, &TFindReplaceDialog::ReplaceAllRequested, this,
            [this] { ReplaceDialog1Replace(true); });

    ApplyClientSize();
    CreateMenus();

    Editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Editor, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        EnableEditItems();
        PopupMenu1->exec(Editor->viewport()->mapToGlobal(at));
    });
    connect(Editor, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (LineScanning == 0) RefreshPanels();
    });
    connect(Editor, &QPlainTextEdit::selectionChanged, this, [this] {
        if (LineScanning == 0) RefreshPanels();
    });
    connect(Editor, &TMyRichEdit::FocusEntered, this, &TLXEditForm::RefreshPanels);
    connect(Editor->document(), &QTextDocument::modificationChanged, this, [this] {
        if (Load_ == nullptr) RefreshPanel(PanelModified);
    });
}

TLXEditForm::~TLXEditForm() {
    CancelLoad();
}

void TLXEditForm::CancelLoad() {
    if (Load_ == nullptr) return;
    delete Load_;
    Load_ = nullptr;
    LXLoadWaitForm()->EndBackground();
    SyntaxColor->SetSuspended(false);
    Editor->setEnabled(true);
}

void TLXEditForm::ApplyEditorLook() {
    std::lock_guard<std::mutex> lock(SettingsMutex());
    QFont font(Settings.EditorFontName);
    if (Settings.EditorFontSize > 0) font.setPointSize(Settings.EditorFontSize);
    font.setStyleHint(QFont::TypeWriter);
    SetFontStyle(font, Settings.EditorFontStyle);
    Editor->setFont(font);
    QPalette palette = Editor->palette();
    palette.setColor(QPalette::Base, FromColorRef(Settings.EditorBackColor));
    palette.setColor(QPalette::Text, FromColorRef(Settings.EditorFontColor));
    Editor->setPalette(palette);
}

void TLXEditForm::ApplyClientSize() {
    resize(UsableSavedSize(&SettingsState::EditorWidth, &SettingsState::EditorHeight,
                           {DefaultEditorWidth, DefaultEditorHeight}));
}

void TLXEditForm::SetCaption(const QString& caption) {
    setWindowTitle(caption);
    if (auto* window = qobject_cast<QMdiSubWindow*>(parentWidget())) window->setWindowTitle(caption);
}

void TLXEditForm::CreateMenus() {
    auto add = [this](QMenu* menu, const char16_t* caption, const char16_t* hint, const QKeySequence& key,
                      auto slot) {
        QAction* action = new QAction(T(caption), this);
        if (hint != nullptr) {
            action->setStatusTip(T(hint));
            action->setToolTip(T(hint));
        }
        if (!key.isEmpty()) action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        if (menu != nullptr) menu->addAction(action);
        return action;
    };

    LXEMenuProgram = new QMenu(T(Txt::MenuProgram), this);
    LXEMenuNew = add(LXEMenuProgram, Txt::MenuNew, Txt::HintNew, QKeySequence(Qt::CTRL | Qt::Key_N),
                     &TLXEditForm::NewRequested);
    LXEMenuOpen = add(LXEMenuProgram, Txt::MenuOpen, Txt::HintOpen, QKeySequence(Qt::CTRL | Qt::Key_O),
                      &TLXEditForm::OpenRequested);
    LXEMenuClose =
        add(LXEMenuProgram, Txt::MenuClose, Txt::HintClose, QKeySequence(), [this] { LXEMenuCloseClick(); });
    LXEMenuProgram->addSeparator();
    LXEMenuSave = add(LXEMenuProgram, Txt::MenuSave, Txt::HintSave, QKeySequence(Qt::CTRL | Qt::Key_S),
                      [this] { LXEMenuSaveClick(); });
    LXEMenuSaveAs = add(LXEMenuProgram, Txt::MenuSaveAs, Txt::HintSaveAs, QKeySequence(),
                        [this] { LXEMenuSaveAsClick(); });
    LXEMenuProgram->addSeparator();
    LXEMenuPrint = add(LXEMenuProgram, Txt::MenuPrint, Txt::HintPrint, QKeySequence(Qt::CTRL | Qt::Key_P),
                       [this] { LXEMenuPrintClick(); });
    LXEMenuProgram->addSeparator();
    LXEMenuExit =
        add(LXEMenuProgram, Txt::MenuExit, Txt::HintExit, QKeySequence(), &TLXEditForm::ExitRequested);

    LXEMenuEdit = new QMenu(T(Txt::MenuEdit), this);
    LXEMenuCut = add(LXEMenuEdit, Txt::MenuCut, nullptr, QKeySequence(Qt::CTRL | Qt::Key_X),
                     [this] { LXEMenuCutClick(); });
    LXEMenuCopy = add(LXEMenuEdit, Txt::MenuCopy, nullptr, QKeySequence(Qt::CTRL | Qt::Key_C),
                      [this] { LXEMenuCopyClick(); });
    LXEMenuPaste = add(LXEMenuEdit, Txt::MenuPaste, nullptr, QKeySequence(Qt::CTRL | Qt::Key_V),
                       [this] { LXEMenuPasteClick(); });
    LXEMenuDelete =
        add(LXEMenuEdit, Txt::MenuDelete, nullptr, QKeySequence(), [this] { LXEMenuDeleteClick(); });
    LXEMenuEdit->addSeparator();
    LXEMenuSelectAll =
        add(LXEMenuEdit, Txt::MenuSelectAll, nullptr, QKeySequence(), [this] { LXEMenuSelectAllClick(); });
    LXEMenuEdit->addSeparator();
    LXEMenuUndo = add(LXEMenuEdit, Txt::MenuUndo, nullptr, QKeySequence(Qt::CTRL | Qt::Key_Z),
                      [this] { LXEMenuUndoClick(); });
    LXEMenuRedo = add(LXEMenuEdit, Txt::MenuRedo, nullptr, QKeySequence(Qt::CTRL | Qt::Key_Y),
                      [this] { LXEMenuRedoClick(); });
    connect(LXEMenuEdit, &QMenu::aboutToShow, this, &TLXEditForm::EnableEditItems);

    LXEMenuSearch = new QMenu(T(Txt::MenuSearch), this);
    LXEMenuFind = add(LXEMenuSearch, Txt::MenuFind, nullptr, QKeySequence(Qt::CTRL | Qt::Key_F),
                      [this] { LXEMenuFindClick(); });
    LXEMenuFindNext = add(LXEMenuSearch, Txt::MenuFindNext, nullptr, QKeySequence(Qt::Key_F3),
                          [this] { LXEMenuFindNextClick(); });
    LXEMenuReplace = add(LXEMenuSearch, Txt::MenuReplace, nullptr, QKeySequence(Qt::CTRL | Qt::Key_R),
                         [this] { LXEMenuReplaceClick(); });

    LXEMenuRun = new QMenu(T(Txt::MenuRun), this);
    LXEMenuRunLX =
        add(LXEMenuRun, Txt::MenuRunLX, nullptr, QKeySequence(Qt::Key_F9), [this] { LXEMenuRunLXClick(); });
    LXEMenuStopLX = add(LXEMenuRun, Txt::MenuStopLX, nullptr, QKeySequence(Qt::Key_F10),
                        [this] { LXEMenuStopLXClick(); });
    LXEMenuContLX = add(LXEMenuRun, Txt::MenuContLX, nullptr, QKeySequence(Qt::SHIFT | Qt::Key_F9),
                        [this] { LXEMenuContLXClick(); });
    LXEMenuPrgFormat =
        add(LXEMenuRun, Txt::MenuPrgFormat, nullptr, QKeySequence(), [this] { TextFormatCheckClick(); });
    connect(LXEMenuRun, &QMenu::aboutToShow, this, &TLXEditForm::EnableEditItems);
    // The open menu shows whether there is a stopped program to continue; closed, the item stays
    // enabled so that its shortcut is always heard (the command itself then decides).
    connect(LXEMenuRun, &QMenu::aboutToShow, this,
            [this] { LXEMenuContLX->setEnabled(ProgramCanContinue()); });
    connect(LXEMenuRun, &QMenu::aboutToHide, this, [this] { LXEMenuContLX->setEnabled(true); });

    // A top-level item of the menu bar: one click runs.
    LXEMenuRunNow = add(nullptr, Txt::MenuRunNow, nullptr, QKeySequence(), [this] { LXEMenuRunLXClick(); });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(LXEMenuCut);
    PopupMenu1->addAction(LXEMenuCopy);
    PopupMenu1->addAction(LXEMenuPaste);
    PopupMenu1->addAction(LXEMenuDelete);
    PopupMenu1->addAction(LXEMenuSelectAll);
    PopupMenu1->addAction(LXEMenuUndo);
    PopupMenu1->addAction(LXEMenuRedo);
}

std::vector<QMenu*> TLXEditForm::MergedMenus() const {
    return {LXEMenuProgram, LXEMenuEdit, LXEMenuSearch, LXEMenuRun};
}

void TLXEditForm::EnableEditItems() {
    const bool selected = Editor->textCursor().hasSelection();
    const QClipboard* clipboard = QApplication::clipboard();
    const bool pasteable = clipboard != nullptr && !clipboard->text().isEmpty();
    LXEMenuPaste->setEnabled(pasteable);
    LXEMenuCut->setEnabled(selected);
    LXEMenuCopy->setEnabled(selected);
    LXEMenuDelete->setEnabled(selected);
}

// ---- text -------------------------------------------------------------------------------------------

QString TLXEditForm::EditorText() const {
    // The raw text keeps every character (the plain-text form would turn no-break spaces into blanks);
    // only the paragraph separators between lines become line ends.
    QString text = Editor->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

QString TLXEditForm::ProgramSource() const {
    return ToCrLf(EditorText());
}

QString TLXEditForm::ProgramFolderName() const {
    return QFileInfo(FileName).absolutePath();
}

bool TLXEditForm::IsModified() const {
    return Editor->document()->isModified();
}

// ---- files ------------------------------------------------------------------------------------------

bool TLXEditForm::Open(const QString& fileName, const QString& encodingName) {
    CancelLoad();
    Editor->setEnabled(false);
    ProgramFileText file = ReadProgramFile(fileName, encodingName);
    Editor->setEnabled(true);
    if (file.Read) {
        const int updating = Win.EditorUpdating;
        Win.EditorUpdating = 1;
        // Straight into the document: the control's own setPlainText would give every character of
        // the text the caret's format afterwards, which a new text has already (a tenth of a long load).
        Editor->document()->setPlainText(std::exchange(file.Text, QString()));
        Win.EditorUpdating = updating;
    }
    return FinishLoad(fileName, file);
}

void TLXEditForm::OpenInBackground(const QString& fileName, const QString& encodingName,
                                   std::function<void(bool loaded)> done) {
    // A short file is read at once: the windows wait no longer than for any other command.
    if (QFileInfo(fileName).size() <= BackgroundLoadBytes) {
        const bool loaded = Open(fileName, encodingName);
        if (done) done(loaded);
        return;
    }
    CancelLoad();
    const bool focused = window()->focusWidget() == Editor;
    Editor->setEnabled(false);
    SyntaxColor->SetSuspended(true);
    Load_ = new TTextLoad(fileName, encodingName, Editor->document(), this);
    TLXLoadWaitForm* wait = LXLoadWaitForm();
    wait->BeginBackground(LoadProgressMaximum);
    connect(Load_, &TTextLoad::ProgressChanged, wait, &TLXLoadWaitForm::Step);
    connect(Load_, &TTextLoad::Finished, this, [this, fileName, focused, done = std::move(done)] {
        const ProgramFileText file = Load_->File();
        Load_->deleteLater();
        Load_ = nullptr;
        SyntaxColor->SetSuspended(false);
        Editor->setEnabled(true);
        if (focused) Editor->setFocus();
        const bool loaded = FinishLoad(fileName, file);
        // The wait window stays up for what follows the load (the colouring shows it again): hidden
        // and shown at once, the desktop may leave the activation with neither it nor the frame.
        if (done) done(loaded);
        LXLoadWaitForm()->EndBackground();
    });
    Load_->Start();
}

bool TLXEditForm::IsLoading() const {
    return Load_ != nullptr;
}

bool TLXEditForm::FinishLoad(const QString& fileName, const ProgramFileText& file) {
    if (!file.Read) {
        // The window keeps its own name, so a later Save cannot replace the file with this text.
        ShowMessage(this, Notice(T(Txt::FileOpenFailed).arg(QDir::toNativeSeparators(fileName))));
        return false;
    }
    QTextCursor caret = Editor->textCursor();
    caret.setPosition(0);
    Editor->setTextCursor(caret);
    Editor->document()->setModified(false);

    LineEnds_ = file.LineEnds;
    FileName = QFileInfo(fileName).absoluteFilePath();
    EncodingName = file.EncodingName;
    SetCaption(QFileInfo(fileName).fileName());
    if (Win.UntitledCounter > 0) --Win.UntitledCounter; // the number taken at creation is given back
    RefreshPanels();
    return true;
}

bool TLXEditForm::WriteToFile(const QString& fileName, const QString& encodingName) {
    // A new window's "UnSaved" writes in the system code page, as "Default".
    const QString name = encodingName == QStringView(EncodingUnsaved) ? T(EncodingDefault) : encodingName;
    const std::unique_ptr<TEncoding> encoding = EncodingFromName(name);
    const QString text = WithLineEnds(EditorText(), LineEnds_);
    const QString shownName = QDir::toNativeSeparators(fileName);

    QByteArray bytes;
    try {
        bytes = encoding->GetBytes(text);
        if (encoding->GetString(bytes) != text) {
            MessageRequest request;
            request.Text = T(Txt::LossyEncodingQuestion).arg(shownName, name);
            request.Caption = T(ApplicationTitle);
            request.Icon = QMessageBox::Question;
            request.Buttons = QMessageBox::Yes | QMessageBox::No;
            request.DefaultButton = QMessageBox::No;
            if (ShowMessage(this, request) != QMessageBox::Yes) return false;
        }
    } catch (const std::bad_alloc&) {
        ShowMessage(this, Notice(T(Txt::FileSaveFailed).arg(shownName)));
        return false;
    }

    // A link is followed: the file it names is saved and backed up, the link stays.
    QString target = fileName;
    const QFileInfo info(fileName);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty()) target = info.canonicalFilePath();

    // The new text goes to a temporary file first; the old file becomes the backup only once that
    // has been written completely, and comes back if the last step fails.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(encoding->GetPreamble()) != encoding->GetPreamble().size() ||
        file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        ShowMessage(this, Notice(T(Txt::FileSaveFailed).arg(shownName) + u'\n' + reason));
        return false;
    }

    namespace fs = std::filesystem;
    const QString backup = BackupName(target);
    bool movedToBackup = false;
    std::error_code error;
    if (QFileInfo::exists(target) && !SameFile(target, backup)) {
        // Only one backup is kept: an older one goes first.
        const fs::path backupPath = FsPath(backup);
        const fs::file_status backupStatus = fs::symlink_status(backupPath, error);
        error.clear();
        if (fs::exists(backupStatus)) fs::remove(backupPath, error);
        if (!error) fs::rename(FsPath(target), backupPath, error);
        if (error) {
            file.cancelWriting();
            ShowMessage(this, Notice(T(Txt::BackupFailed).arg(shownName) + u'\n' +
                                     QString::fromLocal8Bit(error.message().c_str())));
            return false;
        }
        movedToBackup = true;
    }
    if (!file.commit()) {
        const QString reason = file.errorString();
        if (movedToBackup) fs::rename(FsPath(backup), FsPath(target), error);
        ShowMessage(this, Notice(T(Txt::FileSaveFailed).arg(shownName) + u'\n' + reason));
        return false;
    }

    FileName = QFileInfo(fileName).absoluteFilePath();
    // The encoding chosen stays the file's encoding, also when the text would read as another one
    // (plain ASCII saved as Shift-JIS is still a Shift-JIS file).
    EncodingName = name;
    Editor->document()->setModified(false);
    RefreshPanel(PanelModified);
    RefreshPanel(PanelEncoding);
    return true;
}

bool TLXEditForm::LXEMenuSaveClick() {
    return WriteToFile(FileName, EncodingName);
}

bool TLXEditForm::LXEMenuSaveAsClick() {
    const QStringList encodings = SaveEncodingNames();
    TextFileDialogRequest request;
    request.Save = true;
    request.Folder = SaveDialogFolder_;
    request.FileName = FileName;
    for (const char16_t* filter : Txt::SaveFilters)
        request.Filters << T(filter);
    request.DefaultSuffix = T(Txt::DefaultExtension);
    request.Encodings = encodings;
    request.EncodingIndex = std::max<qsizetype>(0, encodings.indexOf(EncodingName));
    if (!WinHooks.TextFileDialogHook) return false;
    const std::optional<TextFileChoice> choice = WinHooks.TextFileDialogHook(this, request);
    if (!choice || choice->FileName.isEmpty()) return false;
    const QString encoding = choice->EncodingIndex >= 0 && choice->EncodingIndex < encodings.size()
                                 ? encodings.at(choice->EncodingIndex)
                                 : T(EncodingDefault);
    if (!WriteToFile(choice->FileName, encoding)) return false;
    SetCaption(QFileInfo(choice->FileName).fileName());
    RefreshPanel(PanelFileName);
    SaveDialogFolder_ = QFileInfo(choice->FileName).absolutePath();
    return true;
}

void TLXEditForm::LXEMenuPrintClick() {
    QPrinter printer;
    const bool selected = Editor->textCursor().hasSelection();
    if (!WinHooks.PrintDialogHook || !WinHooks.PrintDialogHook(this, printer, selected)) return;
    printer.setDocName(FileName);
    Editor->print(&printer);
}

// ---- closing ----------------------------------------------------------------------------------------

bool TLXEditForm::CloseQuery() {
    if (CloseConfirmed_ || !IsModified()) return true;
    MessageRequest request;
    request.Text = T(Txt::SaveChangesQuestion).arg(FileName);
    request.Caption = T(ApplicationTitle);
    request.Icon = QMessageBox::Question;
    request.Buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    request.DefaultButton = QMessageBox::Yes;
    switch (ShowMessage(this, request)) {
    case QMessageBox::Yes: return LXEMenuSaveClick(); // a failed save keeps the window open
    case QMessageBox::No: return true;
    default: return false;
    }
}

void TLXEditForm::closeEvent(QCloseEvent* event) {
    if (!CloseQuery()) {
        event->ignore();
        return;
    }
    CloseConfirmed_ = true;
    emit PanelsCleared();
    event->accept();
}

void TLXEditForm::LXEMenuCloseClick() {
    if (auto* window = qobject_cast<QMdiSubWindow*>(parentWidget()))
        window->close();
    else
        close();
}

void TLXEditForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Settings.CurrentEditorHeight = height();
    Settings.CurrentEditorWidth = width();
}

// ---- status bar and activation ------------------------------------------------------------------------

void TLXEditForm::RefreshPanel(int index) {
    QString text;
    switch (index) {
    case PanelFileName: text = QFileInfo(FileName).fileName(); break;
    case PanelCaret: {
        const QTextCursor cursor = Editor->textCursor();
        const QTextBlock block = Editor->document()->findBlock(cursor.selectionStart());
        const int line = block.blockNumber() + 1;
        const int column = cursor.selectionStart() - block.position() + 1;
        text = T(Txt::PanelCaret).arg(line, CaretFieldWidth).arg(column, CaretFieldWidth);
        break;
    }
    case PanelModified: text = IsModified() ? T(Txt::PanelModified) : QString(); break;
    case PanelInsertMode: text = InsertMode != 0 ? T(Txt::PanelInsert) : T(Txt::PanelOverwrite); break;
    case PanelCursorMode: text = Settings.CursorMode != 0 ? T(Txt::PanelCursorMode) : QString(); break;
    case PanelEncoding: text = EncodingName; break;
    default: return;
    }
    emit PanelTextChanged(index, text);
}

void TLXEditForm::RefreshPanels() {
    for (int index :
         {PanelFileName, PanelCursorMode, PanelCaret, PanelInsertMode, PanelEncoding, PanelModified})
        RefreshPanel(index);
}

void TLXEditForm::FormActivate() {
    RefreshPanels();
    Settings.CurrentEditorHeight = height();
    Settings.CurrentEditorWidth = width();
    // The engine's state belongs to the interpreter while a thread is busy; only the error it
    // published at the end of the run is read, and only once the run has ended.
    if (Win.RunErrorPending && Rc.ThreadBusy == 0) {
        Win.RunErrorPending = false;
        const PublishedError error = LastRunError();
        if (error.Number > 0) SelectErrorPosition(error.Position);
    }
}

void TLXEditForm::SelectErrorPosition(int errorPosition) {
    const TextPlace place = ErrorPlaceInText(Fe.CompiledProgramText, errorPosition);
    QTextDocument* document = Editor->document();
    QTextBlock block = document->findBlockByNumber(place.Line);
    if (!block.isValid()) block = document->lastBlock();
    const int column = std::clamp(place.Column, 0, std::max(0, block.length() - 1));
    QTextCursor cursor(document);
    cursor.setPosition(block.position() + column);
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    Editor->setTextCursor(cursor);
    Editor->ensureCursorVisible();
    RefreshPanel(PanelCaret);
    RefreshPanel(PanelInsertMode);
    RefreshPanel(PanelModified);
}

// ---- run commands ---------------------------------------------------------------------------------------

void TLXEditForm::LXEMenuRunLXClick() {
    StartProgramRun(ProgramSource(), ProgramFolderName(), RunStarter::Editor);
}

void TLXEditForm::LXEMenuStopLXClick() {
    // Always: the interpreter tests the request after every item and keeps its resume point itself.
    RequestStop();
    if (Win.RunForm != nullptr) Win.RunForm->SetBtnStopMode();
}

void TLXEditForm::LXEMenuContLXClick() {
    if (!StartRun(RunRequest{RunStart::Continue})) return;
    if (Win.RunForm != nullptr) Win.RunForm->SetBtnRunMode();
    ShowRunForm(true);
}

// ---- edit commands (recorded in the undo ring) ---------------------------------------------------------

void TLXEditForm::LXEMenuCutClick() {
    RecordCut(*UndoBuffer_, *Editor);
}

void TLXEditForm::LXEMenuCopyClick() {
    RecordCopy(*UndoBuffer_, *Editor);
}

void TLXEditForm::LXEMenuPasteClick() {
    RecordPaste(*UndoBuffer_, *Editor, MaxLength_);
}

void TLXEditForm::LXEMenuDeleteClick() {
    RecordDelete(*UndoBuffer_, *Editor);
}

void TLXEditForm::LXEMenuSelectAllClick() {
    Editor->selectAll();
}

void TLXEditForm::LXEMenuUndoClick() {
    ApplyUndo(*UndoBuffer_);
}

void TLXEditForm::LXEMenuRedoClick() {
    ApplyRedo(*UndoBuffer_);
}

// ---- editing keys -----------------------------------------------------------------------------------

QColor TLXEditForm::ColourBeforePosition(int position) const {
    // The look at the caret is the look of the character before it; a line start has the plain look.
    const QColor plain = FromColorRef(Settings.EditorFontColor);
    if (position <= 0) return plain;
    const QTextBlock block = Editor->document()->findBlock(position - 1);
    if (!block.isValid()) return plain;
    SyntaxColor->ShowLines(block, block);
    const int index = position - 1 - block.position();
    if (index >= block.length() - 1) return plain; // the line break
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        if (index >= range.start && index < range.start + range.length &&
            range.format.hasProperty(QTextFormat::ForegroundBrush))
            return range.format.foreground().color();
    }
    return plain;
}

void TLXEditForm::UpdateTypingContext() {
    const QTextCursor cursor = Editor->textCursor();
    const QColor colour = ColourBeforePosition(cursor.position());
    if (colour == FromColorRef(Settings.EditorFontColor) ||
        colour == FromColorRef(Settings.EditorKeywordColor))
        TypingContext = TypingContextKind::Code;
    // Right after an opening double quote the caret is inside a string not coloured yet.
    const int start = cursor.selectionStart();
    if (TypingContext == TypingContextKind::Code && start >= 1 &&
        Editor->document()->characterAt(start - 1) == u'"')
        TypingContext = TypingContextKind::String;
    if (colour == FromColorRef(Settings.EditorStringColor)) TypingContext = TypingContextKind::String;
    if (colour == FromColorRef(Settings.EditorCommentColor)) TypingContext = TypingContextKind::Comment;
}

QTextCharFormat TLXEditForm::CompositionFormat() const {
    switch (TypingContext) {
    case TypingContextKind::String: return TLXSyntaxColor::FormatFor(TextClass::String);
    case TypingContextKind::Comment: return TLXSyntaxColor::FormatFor(TextClass::Comment);
    default: return TLXSyntaxColor::FormatFor(TextClass::Marked); // red and underlined in code
    }
}

bool TLXEditForm::EditorKeyDown(QKeyEvent* event) {
    UpdateTypingContext();
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool shiftAlone = modifiers == Qt::ShiftModifier;
    QTextCursor cursor = Editor->textCursor();

    switch (event->key()) {
    case Qt::Key_Right:
        // With the cursor mode on, the caret does not pass a line end (Shift alone still selects on).
        return !shiftAlone && Settings.CursorMode != 0 && cursor.atBlockEnd();
    case Qt::Key_Left: return !shiftAlone && Settings.CursorMode != 0 && cursor.atBlockStart();
    case Qt::Key_Backspace:
        if (!cursor.hasSelection()) {
            if (cursor.position() == 0) return true; // nothing before the caret
            cursor.setPosition(PreviousCharacterStart(*Editor, cursor.position()), QTextCursor::KeepAnchor);
            Editor->setTextCursor(cursor);
        }
        RecordDelete(*UndoBuffer_, *Editor);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Overwrite mode makes no new lines.
        if (InsertMode != 0) RecordNewLine(*UndoBuffer_, *Editor, MaxLength_);
        return true;
    case Qt::Key_Insert:
        if (modifiers == Qt::ControlModifier)
            RecordCopy(*UndoBuffer_, *Editor);
        else if (shiftAlone)
            RecordPaste(*UndoBuffer_, *Editor, MaxLength_);
        else if (modifiers != Qt::AltModifier) {
            InsertMode = InsertMode != 0 ? 0 : 1;
            Editor->setOverwriteMode(InsertMode == 0);
            RefreshPanel(PanelInsertMode);
        }
        return true;
    case Qt::Key_Delete:
        if (shiftAlone) {
            RecordCut(*UndoBuffer_, *Editor);
            return true;
        }
        if (!cursor.hasSelection()) {
            cursor.setPosition(NextCharacterEnd(*Editor, cursor.position()), QTextCursor::KeepAnchor);
            Editor->setTextCursor(cursor);
        }
        RecordDelete(*UndoBuffer_, *Editor);
        return true;
    default: break;
    }

    if (event->matches(QKeySequence::Undo) ||
        (event->key() == Qt::Key_Z && modifiers == Qt::ControlModifier)) {
        LXEMenuUndoClick();
        return true;
    }
    if (event->matches(QKeySequence::Redo) ||
        (event->key() == Qt::Key_Y && modifiers == Qt::ControlModifier)) {
        LXEMenuRedoClick();
        return true;
    }
    if (event->matches(QKeySequence::Cut)) {
        LXEMenuCutClick();
        return true;
    }
    if (event->matches(QKeySequence::Copy)) {
        LXEMenuCopyClick();
        return true;
    }
    if (event->matches(QKeySequence::Paste)) {
        LXEMenuPasteClick();
        return true;
    }
    // The control's own word and line deletions would change the text behind the undo ring.
    if (event->matches(QKeySequence::DeleteEndOfWord) || event->matches(QKeySequence::DeleteStartOfWord) ||
        event->matches(QKeySequence::DeleteEndOfLine) || event->matches(QKeySequence::DeleteCompleteLine))
        return true;

    // Ctrl, Alt and Meta combinations are commands, not text (Ctrl+Alt stands for AltGr on some
    // keyboards and types).
    const Qt::KeyboardModifiers commandKeys =
        modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool command = commandKeys != 0 && commandKeys != (Qt::ControlModifier | Qt::AltModifier);
    const QString text = event->text();
    if (IsTypedText(text)) {
        // The control would insert a command key's text itself: it is swallowed.
        if (!command) RecordTyping(*UndoBuffer_, *Editor, text, InsertMode != 0, MaxLength_);
        return true;
    }
    return false; // caret movement and selection: the control's own
}

void TLXEditForm::EditorImeComposition(TMyRichEdit* sender, const QString& text, const QString& replaced) {
    if (sender != Editor) return;
    const int end = Editor->textCursor().position();
    UndoBuffer_->Add(end - static_cast<int>(text.size()), static_cast<int>(replaced.size()), UndoKind::Typing,
                     text, replaced, Editor);
}

// ---- colouring ----------------------------------------------------------------------------------------

void TLXEditForm::EditorChange() {
    // (A load's lines are not edits.)
    if (LineScanning != 0 || Win.EditorUpdating != 0 || Load_ != nullptr) return;
    RefreshPanel(PanelModified);
    if (Settings.FormatCheck == 0) return;
    LineScanning = 1;
    SyntaxColor->ColourLine(Editor->textCursor().block());
    LineScanning = 0;
}

void TLXEditForm::EditorScan() {
    ApplyEditorLook();
    // Disabling the control passes its window's focus on to the next widget, another editor perhaps,
    // also while a dialog has the activation: the focus comes back to it afterwards.
    const bool focused = window()->focusWidget() == Editor;
    Editor->setEnabled(false);
    const int length = EditorTextLength(*Editor);
    TLXLoadWaitForm* wait = length > LongTextLength ? LXLoadWaitForm() : nullptr;
    const int updating = Win.EditorUpdating;
    Win.EditorUpdating = 1;
    if (wait != nullptr) {
        wait->Begin(length);
        SyntaxColor->ColourWholeText([wait](int position) { wait->Step(position); });
        wait->End();
    } else {
        SyntaxColor->ColourWholeText();
    }
    Win.EditorUpdating = updating;
    Editor->setEnabled(true);
    Editor->viewport()->update();
    if (focused) Editor->setFocus();
    QTextCursor caret = Editor->textCursor();
    caret.setPosition(0);
    Editor->setTextCursor(caret);
}

void TLXEditForm::TextFormatCheckClick() {
    if (EditorTextLength(*Editor) > LongTextLength) {
        MessageRequest request;
        request.Text = T(Txt::FormatQuestion);
        request.Caption = T(ApplicationTitle);
        request.Icon = QMessageBox::Question;
        request.Buttons = QMessageBox::Yes | QMessageBox::No;
        request.DefaultButton = QMessageBox::Yes;
        if (ShowMessage(this, request) != QMessageBox::Yes) return;
    }
    // The colouring runs in one go and cannot be stopped; a program run is left as it is.
    LXLoadWaitForm()->setWindowTitle(T(Txt::FormatWaitCaption));
    const int updating = Win.EditorUpdating;
    Win.EditorUpdating = 1;
    const bool savedModified = IsModified();
    EditorScan();
    Win.EditorUpdating = updating;
    Editor->document()->setModified(savedModified);
    LXLoadWaitForm()->setWindowTitle(T(Txt::LoadWaitCaption));
    RefreshPanel(PanelModified);
    // The question and the wait window took the activation; this window is the one to come back to.
    emit ActivationWanted(this);
}

// ---- find and replace ---------------------------------------------------------------------------------

void TLXEditForm::NotFoundMessage() {
    MessageRequest request;
    request.Text = T(Txt::StringNotFound);
    request.Caption = T(ApplicationTitle);
    request.Icon = QMessageBox::Information;
    ShowMessage(this, request);
}

bool TLXEditForm::FindStep(const QString& findText) {
    if (FindForward(*Editor, findText) < 0) {
        NotFoundMessage();
        return false;
    }
    Editor->setFocus();
    return true;
}

void TLXEditForm::LXEMenuFindClick() {
    ShowFindDialog(FindDialog1);
}

void TLXEditForm::LXEMenuFindNextClick() {
    FindDialog1Find();
}

void TLXEditForm::LXEMenuReplaceClick() {
    ShowFindDialog(ReplaceDialog1);
}

void TLXEditForm::FindDialog1Find() {
    FindStep(FindDialog1->FindText());
    FindDialog1->hide();
}

void TLXEditForm::ReplaceDialog1Find() {
    ReplaceFound = FindStep(ReplaceDialog1->FindText());
}

int TLXEditForm::ReplaceDialog1Replace(bool replaceAll) {
    const QString findText = ReplaceDialog1->FindText();
    const QString replaceText = ReplaceDialog1->ReplaceText();
    if (replaceAll) {
        const int count = ReplaceAllForward(*UndoBuffer_, *Editor, findText, replaceText);
        ReplaceFound = false;
        NotFoundMessage(); // the search has run to the end of the text
        return count;
    }
    // Only the found text is replaced: a selection made since the search is left alone.
    if (!(ReplaceFound && SelectionMatches(*Editor, findText))) {
        ReplaceFound = FindStep(findText);
        if (!ReplaceFound) return 0;
    }
    ReplaceSelection(*UndoBuffer_, *Editor, replaceText);
    ReplaceFound = FindStep(findText);
    return 1;
}
