// The editor window: an MDI child of the main frame holding one program text. It loads and saves the
// file in the encoding chosen or detected (keeping a ".BAK"), prints, keeps the frame's status bar up
// to date, hands its text to the interpreter and shows a run's error. Every edit goes through the
// window's own undo ring; it colours keywords, finds and replaces. The window reaches the frame only
// through its signals, so it knows nothing of the frame's class.
#pragma once

#include "ui/windowsstate.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTextCharFormat>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QInputMethodEvent;
class QKeyEvent;
class TFindReplaceDialog;
class TLXSyntaxColor;
class TTextLoad;
struct ProgramFileText;
class my_UndoClass;

// The editing control. It hands every key to the editor window first and reports each finished
// input-method composition; the text it holds never changes behind the undo ring's back (its own
// undo, drops and middle-button pastes are off).
class TMyRichEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TMyRichEdit(QWidget* parent = nullptr);

    // The most characters the text may hold (0: no limit): input-method text beyond it is cut off.
    int MaxLength = 0;
    // The editor window's key handler, asked before the control's own: true when it took the key.
    std::function<bool(QKeyEvent* event)> KeyDownHook;
    // The look of text being composed by the input method; none: the input method's own.
    std::function<QTextCharFormat()> CompositionFormatHook;
    // The colouring, brought back to a line after the input method has drawn into it.
    QPointer<TLXSyntaxColor> SyntaxColor;

    // A composition has finished: `text` now stands in place of `replaced` (before the caret).
    virtual void DoWMImeComposition(const QString& text, const QString& replaced);

signals:
    void FocusEntered();
    void OnWMImeComposition(TMyRichEdit* sender, const QString& text, const QString& replaced);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// Where the caret stands for the input method: code, a string literal or a comment.
namespace TypingContextKind {
inline constexpr std::uint8_t Code = 1;
inline constexpr std::uint8_t String = 2;
inline constexpr std::uint8_t Comment = 3;
} // namespace TypingContextKind

// How the lines of a file end; a file is saved with the line ends it was loaded with.
enum class LineEndKind { CrLf, Lf, Cr };

// The first line end of a text decides (CR LF when it has none).
LineEndKind DetectLineEnds(const QString& text);
// Every CR LF, LF and lone CR of the text replaced by the given line end.
QString WithLineEnds(QString text, LineEndKind kind);

// The encoding names of the two file dialogs, in their order.
inline constexpr char16_t EncodingAuto[] = u"Auto";
inline constexpr char16_t EncodingUnsaved[] = u"UnSaved";
inline constexpr char16_t EncodingDefault[] = u"Default";
QStringList OpenEncodingNames();
QStringList SaveEncodingNames();

// The editor position of the character an error position names. errorPosition is the position the
// interpreter publishes for the compiled text (line ends CR LF); line and column are 0-based.
struct TextPlace {
    int Line = 0;
    int Column = 0;
};
TextPlace ErrorPlaceInText(const QString& compiledText, int errorPosition);

// Who starts a program run: the run-window buttons differ.
enum class RunStarter { Editor, CommandLine };
// Sets the run-control variables and starts the interpreter thread on `programText` (CR LF line ends),
// only when no thread is busy and no program is active. True when a run was started.
bool StartProgramRun(const QString& programText, const QString& folder, RunStarter starter);

class TLXEditForm : public QWidget {
    Q_OBJECT
public:
    explicit TLXEditForm(QWidget* parent = nullptr);
    ~TLXEditForm() override;

    // Full path of the file, or "Untitled" and a number for a window never loaded or saved.
    QString FileName;
    // The file's encoding as the encoding lists spell it; "UnSaved" for a new window.
    QString EncodingName;
    // 1 insert, 0 overwrite.
    std::uint8_t InsertMode = 1;
    // Code, string or comment at the caret (TypingContextKind); decides the look of composed text.
    std::uint8_t TypingContext = TypingContextKind::Code;
    // Set while the line under the caret is recoloured: the change handlers leave it alone.
    std::uint8_t LineScanning = 0;
    // The last find step of the replace dialog found its text.
    bool ReplaceFound = false;

    TMyRichEdit* Editor = nullptr;
    TLXSyntaxColor* SyntaxColor = nullptr;
    TFindReplaceDialog* FindDialog1 = nullptr;
    TFindReplaceDialog* ReplaceDialog1 = nullptr;

    // Loads a file into this window with the named encoding ("Auto": detected). A file that cannot
    // be read is reported; the window then keeps its name and text.
    bool Open(const QString& fileName, const QString& encodingName);
    // The same for a long file in the background (read on a worker thread, its lines put in a slice at
    // a time), while the wait window shows how far it has come and the windows keep answering; the text
    // control is disabled meanwhile. A short file loads at once.
    // `done` is called once the text stands in the window (true) or its failure has been reported;
    // not at all when the window closes first, which gives the load up.
    void OpenInBackground(const QString& fileName, const QString& encodingName,
                          std::function<void(bool loaded)> done);
    // A load on the worker thread is under way.
    bool IsLoading() const;
    // Writes the text to `fileName` in the named encoding, keeping the previous file as ".BAK". Asks
    // before replacing characters the encoding cannot hold; reports failures. True when written.
    bool WriteToFile(const QString& fileName, const QString& encodingName);

    // The text as the interpreter gets it: CR LF line ends.
    QString ProgramSource() const;
    // The text with "\n" line ends, every character as it stands.
    QString EditorText() const;
    // The folder runs of this window's program start in.
    QString ProgramFolderName() const;
    LineEndKind LineEnds() const { return LineEnds_; }
    bool IsModified() const;
    int MaxLength() const { return MaxLength_; }
    // This window's undo history.
    my_UndoClass& UndoBuffer() const { return *UndoBuffer_; }

    // The close question for a modified text: false when the window must stay open.
    bool CloseQuery();
    // The question has been answered elsewhere (the frame's closing): close without asking.
    void SetCloseConfirmed() { CloseConfirmed_ = true; }

    // Activation: refreshes the status bar and shows the error of the last run once.
    void FormActivate();
    // Status-bar panels 0 to 5.
    void RefreshPanels();
    void RefreshPanel(int index);
    // The client size from the settings (used once the window stands in the MDI area).
    void ApplyClientSize();

    // The menus the frame shows while this window is active, in their order.
    std::vector<QMenu*> MergedMenus() const;

    // Menu commands.
    void LXEMenuCloseClick();
    bool LXEMenuSaveClick();
    bool LXEMenuSaveAsClick();
    void LXEMenuPrintClick();
    void LXEMenuRunLXClick();
    void LXEMenuStopLXClick();
    void LXEMenuContLXClick();
    void LXEMenuCutClick();
    void LXEMenuCopyClick();
    void LXEMenuPasteClick();
    void LXEMenuDeleteClick();
    void LXEMenuSelectAllClick();
    void LXEMenuUndoClick();
    void LXEMenuRedoClick();
    // Enables Cut, Copy, Delete (a selection) and Paste (text on the clipboard).
    void EnableEditItems();

    // Colours the whole text (with the wait window for a long one); the caret goes to the start.
    void EditorScan();
    // The Format command: asks first for a long text; the modified flag stays as it was.
    void TextFormatCheckClick();
    // Find shows the find dialog, Find Next searches again for its text, Replace shows the replace
    // dialog.
    void LXEMenuFindClick();
    void LXEMenuFindNextClick();
    void LXEMenuReplaceClick();
    // The dialogs' buttons. The replace returns how many occurrences were replaced.
    void FindDialog1Find();
    void ReplaceDialog1Find();
    int ReplaceDialog1Replace(bool replaceAll);

    // The editing keys (true: the key was taken) and the end of an input-method composition.
    bool EditorKeyDown(QKeyEvent* event);
    void EditorImeComposition(TMyRichEdit* sender, const QString& text, const QString& replaced);
    // Recomputes TypingContext from the colour at the caret.
    void UpdateTypingContext();
    // The look of composed text in the current typing context.
    QTextCharFormat CompositionFormat() const;

    QMenu* LXEMenuProgram = nullptr;
    QAction* LXEMenuNew = nullptr;
    QAction* LXEMenuOpen = nullptr;
    QAction* LXEMenuClose = nullptr;
    QAction* LXEMenuSave = nullptr;
    QAction* LXEMenuSaveAs = nullptr;
    QAction* LXEMenuPrint = nullptr;
    QAction* LXEMenuExit = nullptr;
    QMenu* LXEMenuEdit = nullptr;
    QAction* LXEMenuCut = nullptr;
    QAction* LXEMenuCopy = nullptr;
    QAction* LXEMenuPaste = nullptr;
    QAction* LXEMenuDelete = nullptr;
    QAction* LXEMenuSelectAll = nullptr;
    QAction* LXEMenuUndo = nullptr;
    QAction* LXEMenuRedo = nullptr;
    QMenu* LXEMenuSearch = nullptr;
    QAction* LXEMenuFind = nullptr;
    QAction* LXEMenuFindNext = nullptr;
    QAction* LXEMenuReplace = nullptr;
    QMenu* LXEMenuRun = nullptr;
    QAction* LXEMenuRunLX = nullptr;
    QAction* LXEMenuStopLX = nullptr;
    QAction* LXEMenuContLX = nullptr;
    QAction* LXEMenuPrgFormat = nullptr;
    QAction* LXEMenuRunNow = nullptr;
    QMenu* PopupMenu1 = nullptr;

    // What the window asks of the frame that holds it (the frame connects these when it makes the
    // window): the frame's status-bar panels, the window's activation, and the frame's own commands on
    // this window's Program menu.
signals:
    void PanelTextChanged(int index, const QString& text);
    // The window closes: the status bar keeps nothing of it.
    void PanelsCleared();
    // The window is to be the active one with the keys in its text, once the frame has the activation.
    void ActivationWanted(TLXEditForm* editor);
    void NewRequested();
    void OpenRequested();
    void ExitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateMenus();
    void ApplyEditorLook();
    void EditorChange();
    bool FindStep(const QString& findText);
    void NotFoundMessage();
    QColor ColourBeforePosition(int position) const;
    void SelectErrorPosition(int errorPosition);
    void SetCaption(const QString& caption);
    // The end of a load whose text stands in the document: the caret, the file's name, encoding and
    // line ends, the panels (or the report that the file could not be read).
    bool FinishLoad(const QString& fileName, const ProgramFileText& file);
    // Gives up a load under way; the document keeps the lines it has.
    void CancelLoad();

    std::unique_ptr<my_UndoClass> UndoBuffer_;
    LineEndKind LineEnds_ = LineEndKind::CrLf;
    QString SaveDialogFolder_;
    int MaxLength_ = 0;
    bool CloseConfirmed_ = false;
    // The load on the worker thread, while one runs.
    TTextLoad* Load_ = nullptr;
};
