#include "ui/editform.h"

#include "engine/lxthread.h"
#include "frontend/encodedetect.h"
#include "frontend/programfile.h"
#include "frontend/sharedstate.h"
#include "platform/osinfo.h"
#include "platform/settings.h"
#include "resources/texts.h"
#include "ui/mainframe.h"
#include "ui/runform.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <filesystem>
#include <memory>
#include <new>
#include <system_error>

QPointer<TLXEditForm> LXEditForm;
int UntitledCounter = 0;
int EditorUpdating = 0;
bool RunErrorPending = false;

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

constexpr int MaxLengthNormal = 0x40000;
constexpr int MaxLengthLarge = 0x100000;
constexpr int DefaultEditorWidth = 400;
constexpr int DefaultEditorHeight = 250;
constexpr int CaretFieldWidth = 4; // " %4d 行， %4d 桁"

constexpr char16_t UntitledPrefix[] = u"Untitled";
constexpr char16_t BackupSuffix[] = u".BAK";
constexpr char16_t ContCommand[] = u"Cont";

constexpr int PanelFileName = 0;
constexpr int PanelCaret = 1;
constexpr int PanelModified = 2;
constexpr int PanelInsertMode = 3;
constexpr int PanelCursorMode = 4;
constexpr int PanelEncoding = 5;

QColor FromColorRef(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

MessageRequest Notice(const QString& text) {
    MessageRequest request;
    request.Text = text;
    request.Caption = T(ApplicationTitle);
    request.Icon = QMessageBox::Warning;
    return request;
}

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

void ShowRunForm(bool focusMemo) {
    if (RunForm == nullptr) return;
    if (RunForm->isHidden()) RunForm->show();
    RunForm->raise();
    RunForm->activateWindow();
    if (focusMemo) RunForm->Memo()->setFocus();
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

QString WithLineEnds(const QString& text, LineEndKind kind) {
    const QString lf = ToCrLf(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    switch (kind) {
    case LineEndKind::CrLf: return ToCrLf(lf);
    case LineEndKind::Lf: return lf;
    case LineEndKind::Cr: return QString(lf).replace(u'\n', u'\r');
    }
    return lf;
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
    if (ThreadBusy != 0 || ProgramRunning != 0) return false;
    RunMode = RunKind::Program;
    ProgramRunning = 1;
    StopRequest = 0;
    ContinueFlag = 0;
    if (RunForm != nullptr) {
        if (starter == RunStarter::CommandLine)
            RunForm->SetBtnRunMode();
        else
            RunForm->SetBtnPrepMode();
    }
    ProgramText = programText;
    ProgramTextLength = static_cast<int>(programText.size());
    ProgramFolder = folder;
    ShowRunForm(false);
    RunErrorPending = true;
    TLXMTHread::StartRun();
    return true;
}

// ---- TMyRichEdit ------------------------------------------------------------------------------------

TMyRichEdit::TMyRichEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTabChangesFocus(false);
}

void TMyRichEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    emit FocusEntered();
}

// ---- TLXEditForm ------------------------------------------------------------------------------------

TLXEditForm::TLXEditForm(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    EncodingName = T(EncodingUnsaved);
    SaveDialogFolder_ = DefaultDir;
    ++UntitledCounter;
    FileName = T(UntitledPrefix) + QString::number(UntitledCounter);
    SetCaption(FileName);

    Editor = new TMyRichEdit(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Editor);
    MaxLength_ = HasLargeTextLimits() ? MaxLengthLarge : MaxLengthNormal;
    InsertMode = 1;

    {
        std::lock_guard<std::mutex> lock(SettingsMutex());
        QFont font(EditorFontName);
        if (EditorFontSize > 0) font.setPointSize(EditorFontSize);
        font.setStyleHint(QFont::TypeWriter);
        font.setBold(EditorFontStyle & FontStyleBit::Bold);
        font.setItalic(EditorFontStyle & FontStyleBit::Italic);
        font.setUnderline(EditorFontStyle & FontStyleBit::Underline);
        font.setStrikeOut(EditorFontStyle & FontStyleBit::StrikeOut);
        Editor->setFont(font);
        QPalette palette = Editor->palette();
        palette.setColor(QPalette::Base, FromColorRef(EditorBackColor));
        palette.setColor(QPalette::Text, FromColorRef(EditorFontColor));
        Editor->setPalette(palette);
    }
    ApplyClientSize();
    CreateMenus();

    Editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Editor, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        EnableEditItems();
        PopupMenu1->exec(Editor->viewport()->mapToGlobal(at));
    });
    connect(Editor, &QPlainTextEdit::cursorPositionChanged, this, &TLXEditForm::RefreshPanels);
    connect(Editor, &QPlainTextEdit::selectionChanged, this, &TLXEditForm::RefreshPanels);
    connect(Editor, &TMyRichEdit::FocusEntered, this, &TLXEditForm::RefreshPanels);
    connect(Editor->document(), &QTextDocument::modificationChanged, this,
            [this] { RefreshPanel(PanelModified); });
}

TLXEditForm::~TLXEditForm() = default;

void TLXEditForm::ApplyClientSize() {
    int width = DefaultEditorWidth;
    int height = DefaultEditorHeight;
    {
        std::lock_guard<std::mutex> lock(SettingsMutex());
        width = UsableSize(EditorWidth, DefaultEditorWidth);
        height = UsableSize(EditorHeight, DefaultEditorHeight);
    }
    resize(width, height);
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
    auto frame = [](void (TLxFrameForm::*command)()) {
        return [command] {
            if (LxFrameForm != nullptr) (LxFrameForm->*command)();
        };
    };

    LXEMenuProgram = new QMenu(T(Txt::MenuProgram), this);
    LXEMenuNew = add(LXEMenuProgram, Txt::MenuNew, Txt::HintNew, QKeySequence(Qt::CTRL | Qt::Key_N),
                     frame(&TLxFrameForm::LXMMenuNewClick));
    LXEMenuOpen = add(LXEMenuProgram, Txt::MenuOpen, Txt::HintOpen, QKeySequence(Qt::CTRL | Qt::Key_O),
                      frame(&TLxFrameForm::LXMMenuOpenClick));
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
    LXEMenuExit = add(LXEMenuProgram, Txt::MenuExit, Txt::HintExit, QKeySequence(),
                      frame(&TLxFrameForm::LXMMenuExitClick));

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

    // Find, Find Next, Replace and Format belong to the colouring and search commands; they stay
    // disabled until those are connected.
    auto unconnected = [this](QMenu* menu, const char16_t* caption, const QKeySequence& key) {
        QAction* action = new QAction(T(caption), this);
        if (!key.isEmpty()) action->setShortcut(key);
        action->setEnabled(false);
        menu->addAction(action);
        return action;
    };
    LXEMenuSearch = new QMenu(T(Txt::MenuSearch), this);
    LXEMenuFind = unconnected(LXEMenuSearch, Txt::MenuFind, QKeySequence(Qt::CTRL | Qt::Key_F));
    LXEMenuFindNext = unconnected(LXEMenuSearch, Txt::MenuFindNext, QKeySequence(Qt::Key_F3));
    LXEMenuReplace = unconnected(LXEMenuSearch, Txt::MenuReplace, QKeySequence(Qt::CTRL | Qt::Key_R));

    LXEMenuRun = new QMenu(T(Txt::MenuRun), this);
    LXEMenuRunLX =
        add(LXEMenuRun, Txt::MenuRunLX, nullptr, QKeySequence(Qt::Key_F9), [this] { LXEMenuRunLXClick(); });
    LXEMenuStopLX = add(LXEMenuRun, Txt::MenuStopLX, nullptr, QKeySequence(Qt::Key_F10),
                        [this] { LXEMenuStopLXClick(); });
    LXEMenuContLX = add(LXEMenuRun, Txt::MenuContLX, nullptr, QKeySequence(Qt::SHIFT | Qt::Key_F9),
                        [this] { LXEMenuContLXClick(); });
    LXEMenuPrgFormat = unconnected(LXEMenuRun, Txt::MenuPrgFormat, QKeySequence());
    connect(LXEMenuRun, &QMenu::aboutToShow, this, &TLXEditForm::EnableEditItems);

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
    QString name = encodingName;
    if (name == QStringView(EncodingAuto) && !GetFileEncodingName(fileName, name)) {
        ShowMessage(this, Notice(T(Txt::FileOpenFailed).arg(QDir::toNativeSeparators(fileName))));
        return false;
    }
    const std::unique_ptr<TEncoding> encoding = EncodingFromName(name);
    QString text;
    Editor->setEnabled(false);
    const bool read = QFileInfo(fileName).isFile() && ReadTextFile(fileName, *encoding, text);
    Editor->setEnabled(true);
    if (!read) {
        // The window keeps its own name, so a later Save cannot replace the file with this text.
        ShowMessage(this, Notice(T(Txt::FileOpenFailed).arg(QDir::toNativeSeparators(fileName))));
        return false;
    }

    LineEnds_ = DetectLineEnds(text);
    const int updating = EditorUpdating;
    EditorUpdating = 1;
    Editor->setPlainText(WithLineEnds(text, LineEndKind::Lf));
    EditorUpdating = updating;
    QTextCursor caret = Editor->textCursor();
    caret.setPosition(0);
    Editor->setTextCursor(caret);
    Editor->document()->setModified(false);

    FileName = QFileInfo(fileName).absoluteFilePath();
    EncodingName = name;
    SetCaption(QFileInfo(fileName).fileName());
    if (UntitledCounter > 0) --UntitledCounter; // the number taken at creation is given back
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
    if (!TextFileDialogHook) return false;
    const std::optional<TextFileChoice> choice = TextFileDialogHook(this, request);
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
    if (!PrintDialogHook || !PrintDialogHook(this, printer, selected)) return;
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
    if (LxFrameForm != nullptr) LxFrameForm->ClearPanels();
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
    CurrentEditorHeight = height();
    CurrentEditorWidth = width();
}

// ---- status bar and activation ------------------------------------------------------------------------

void TLXEditForm::RefreshPanel(int index) {
    if (LxFrameForm == nullptr) return;
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
    case PanelCursorMode: text = CursorMode != 0 ? T(Txt::PanelCursorMode) : QString(); break;
    case PanelEncoding: text = EncodingName; break;
    default: return;
    }
    LxFrameForm->SetPanelText(index, text);
}

void TLXEditForm::RefreshPanels() {
    for (int index :
         {PanelFileName, PanelCursorMode, PanelCaret, PanelInsertMode, PanelEncoding, PanelModified})
        RefreshPanel(index);
}

void TLXEditForm::FormActivate() {
    RefreshPanels();
    CurrentEditorHeight = height();
    CurrentEditorWidth = width();
    // The engine's state belongs to the interpreter while a thread is busy; only the error it
    // published at the end of the run is read, and only once the run has ended.
    if (RunErrorPending && ThreadBusy == 0) {
        RunErrorPending = false;
        const PublishedError error = LastRunError();
        if (error.Number > 0) SelectErrorPosition(error.Position);
    }
}

void TLXEditForm::SelectErrorPosition(int errorPosition) {
    const TextPlace place = ErrorPlaceInText(ProgramText, errorPosition);
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
    if (ThreadBusy != 0 || ProgramRunning != 0) return;
    StartProgramRun(ProgramSource(), ProgramFolderName(), RunStarter::Editor);
}

void TLXEditForm::LXEMenuStopLXClick() {
    // Always: the interpreter tests the request after every item and keeps its resume point itself.
    StopRequest = 1;
    if (RunForm != nullptr) RunForm->SetBtnStopMode();
}

void TLXEditForm::LXEMenuContLXClick() {
    if (ThreadBusy != 0) return;
    CommandText = T(ContCommand);
    RunMode = RunKind::Immediate;
    StopRequest = 0;
    ProgramRunning = 1;
    ContinueFlag = 1;
    if (RunForm != nullptr) RunForm->SetBtnRunMode();
    ShowRunForm(true);
    TLXMTHread::StartRun();
}

// ---- edit commands (the control's own operations) ----------------------------------------------------

void TLXEditForm::LXEMenuCutClick() {
    Editor->cut();
}

void TLXEditForm::LXEMenuCopyClick() {
    Editor->copy();
}

void TLXEditForm::LXEMenuPasteClick() {
    Editor->paste();
}

void TLXEditForm::LXEMenuDeleteClick() {
    QTextCursor cursor = Editor->textCursor();
    cursor.removeSelectedText();
    Editor->setTextCursor(cursor);
}

void TLXEditForm::LXEMenuSelectAllClick() {
    Editor->selectAll();
}

void TLXEditForm::LXEMenuUndoClick() {
    Editor->undo();
}

void TLXEditForm::LXEMenuRedoClick() {
    Editor->redo();
}
