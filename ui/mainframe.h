// The main frame: the application's MDI window that holds the editors, carries the menus (the active
// editor's menus merged in) and the status bar, opens program files from its dialog, the command line
// and drops, and confirms the end of the application. Every message box and file dialog of the frame
// and the editors goes through the replaceable hooks of windowhooks.h, so tests can answer them.
#pragma once

#include "ui/windowhooks.h"
#include "ui/windowsstate.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QUrl;
class TLXEditForm;

// ---- command line ---------------------------------------------------------------------------------

namespace CommandLineMode {
inline constexpr char16_t None[] = u"";
inline constexpr char16_t Auto[] = u"AUT";  // -A: open and run
inline constexpr char16_t Hide[] = u"HIDE"; // -H: open and run, frame and run window minimised
inline constexpr char16_t Run[] = u"RUN";   // -R: open and run, frame minimised
} // namespace CommandLineMode

struct CommandLineRequest {
    QString Mode; // one of CommandLineMode
    QString File; // empty: nothing to open
};
// The arguments after the program name: "-A", "-H" or "-R" (blanks and case ignored) followed by a
// file, or a file alone; anything after the file is ignored.
CommandLineRequest ParseCommandLine(const QStringList& arguments);

// The refusal text for a platform the program does not run on; empty when it runs.
QString UnsupportedSystemMessage(const QString& osName);

// Calls `call` once every one of `windows` is on the screen (or after a time limit): a window manager
// that has not yet taken a new window on ignores a request to minimise or activate it.
void CallWhenShown(const QList<QWidget*>& windows, const std::function<void()>& call);

// The end of the application, once the frame has agreed to close: the running program is stopped and
// its thread joined, every window of the application goes (also those that refuse a close, as the
// run window does, and the graphics and control windows of earlier runs), and the event loop ends.
// False when the program did not stop in time: its thread still runs.
bool EndApplication();

// ---- the frame --------------------------------------------------------------------------------------

class TLxFrameForm : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int PanelCount = 6;

    explicit TLxFrameForm(QWidget* parent = nullptr);
    ~TLxFrameForm() override;

    // The start-up work of the frame, in order: the refusal of unsupported platforms (false: the
    // application must end), the program folder, the settings, the help paths, the interpreter reset,
    // the frame's size and the working folder.
    bool StartUp(const QString& osName);

    QMdiArea* MdiArea() const { return MdiArea_; }

    // A new empty editor window (the New command).
    TLXEditForm* NewEditor();
    // Opens a file in a new editor window with the named encoding ("Auto": detected); the window becomes
    // LXEditForm. A file that cannot be read is reported and gives no window (null). A long file loads
    // in the background: `loaded` follows once its text stands in the window (at once for a short one).
    TLXEditForm* OpenFileInEditor(const QString& fileName, const QString& encodingName,
                                  std::function<void(TLXEditForm* editor)> loaded = {});
    // The editor window that is active in the MDI area, if any.
    TLXEditForm* ActiveEditor() const;
    // Makes the editor the active window of the area with the keyboard focus in its text; when a
    // dialog or another window has the activation, this happens again once the frame has it back.
    void ActivateEditor(TLXEditForm* editor);

    // Each dropped file opens in an editor of its own, in its detected encoding; nothing runs.
    void FilesDropped(const QStringList& fileNames);

    // Handles the command line once: later calls do nothing.
    void HandleCommandLine(const QStringList& arguments);
    bool CommandLineHandled() const { return CommandLineHandled_; }

    // Status-bar panels 0 to 5 (the editors write them).
    void SetPanelText(int index, const QString& text);
    QString PanelText(int index) const;
    int PanelWidth(int index) const;
    void ClearPanels();

    QString HelpFilePath() const { return HelpFilePath_; }
    QString TutorFilePath() const { return TutorFilePath_; }
    QString OpenDialogFolder() const { return OpenDialogFolder_; }

    // The menu commands.
    void LXMMenuNewClick();
    void LXMMenuOpenClick();
    void LXMMenuExitClick();
    void LXMMenuTileHorizontalClick();
    void LXMMenuTileVerticalClick();
    void LXMMenuCascadeClick();
    void LXMMenuIConSortClick();
    void LXMMenuPreferenceSettingClick();
    void LXMMenuAssociationSettingClick();
    void LXMMenuDeleteRegistryClick();
    void LXMMenuDeleteIniFileClick();
    void LXMMenuLXHelpClick();
    void LXMMenuBasicTutorClick();
    void LXMMenuVersionClick();
    void LXMMenuLXHomePageClick();

    // Puts the active editor's menus into the menu bar (or the frame's own when none is active).
    void MergeEditorMenus(TLXEditForm* editor);
    QMenu* ProgramMenu() const { return LXMMenuProgram; }
    QMenu* WindowMenu() const { return LXMMenuWindow; }

signals:
    // The frame has agreed to close: the application ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void SizeAndCentre();
    void CreateMenus();
    void FillWindowMenu();
    void SubWindowActivated(QMdiSubWindow* window);
    void ShowHelpFile(const QString& path);
    // The rest of the command line's work once its file stands in the editor.
    void CommandLineFileLoaded(const CommandLineRequest& request, TLXEditForm* editor);
    bool AskToEndApplication();
    // The visible windows share the area in equal parts, laid out one after another along `along`.
    void TileWindows(Qt::Orientation along);
    // Asks `question` and, on "Yes", deletes one settings store; warns when its file is still there.
    void DeleteSettingsStore(const char16_t* question, void (*deleteStore)(), QString (*storePath)());

    QMdiArea* MdiArea_ = nullptr;
    std::array<QLabel*, PanelCount> Panels_{};
    QString HelpFilePath_;
    QString TutorFilePath_;
    QString OpenDialogFolder_;
    bool CommandLineHandled_ = false;
    bool Closing_ = false;

    QMenu* LXMMenuProgram = nullptr;
    QAction* LXMMenuNew = nullptr;
    QAction* LXMMenuOpen = nullptr;
    QAction* LXMMenuExit = nullptr;
    QMenu* LXMMenuWindow = nullptr;
    QAction* LXMMenuTileHorizontal = nullptr;
    QAction* LXMMenuTileVertical = nullptr;
    QAction* LXMMenuCascade = nullptr;
    QAction* LXMMenuIConSort = nullptr;
    QMenu* LXMMenuOption = nullptr;
    QAction* LXMMenuPreferenceSetting = nullptr;
    QAction* LXMMenuAssociationSetting = nullptr;
    QMenu* LXMMenuDeletePreference = nullptr;
    QAction* LXMMenuDeleteRegistry = nullptr;
    QAction* LXMMenuDeleteIniFile = nullptr;
    QMenu* LXMMenuHelp = nullptr;
    QAction* LXMMenuLXHelp = nullptr;
    QAction* LXMMenuBasicTutor = nullptr;
    QAction* LXMMenuVersion = nullptr;
    QAction* LXMMenuLXHomePage = nullptr;
    QPointer<TLXEditForm> MergedEditor_;
    QPointer<TLXEditForm> PendingEditor_;
};
