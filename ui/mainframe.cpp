// The main frame: start-up checks, its menus and status bar, opening files from the dialog, the
// command line and drops, the editors' windows, and the end of the application.
#include "ui/mainframe.h"

#include "core/sharedstate.h"
#include "engine/lxthread.h"
#include "frontend/initall.h"
#include "platform/osinfo.h"
#include "platform/settings.h"
#include "platform/settingsstore.h"
#include "resources/texts.h"
#include "ui/dialoglayout.h"
#include "ui/editform.h"
#include "ui/runform.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <memory>

namespace {

// The status bar's panels share its width in these proportions of the designed width.
constexpr std::array<int, TLxFrameForm::PanelCount> PanelDesignWidths = {150, 150, 90, 90, 200, 100};
constexpr int PanelDesignTotal = 780;

// The platforms the program refuses to start on.
constexpr char16_t OsName16Bit[] = u"16bitWin";
constexpr char16_t OsName2000[] = u"2000";

// How long start-up waits for the window manager to put the frame and the run window on the screen.
constexpr int ShownLimitMs = 2000;
constexpr int ShownCheckMs = 10;

} // namespace

QMessageBox::StandardButton DefaultMessageBox(QWidget* parent, const MessageRequest& request) {
    QMessageBox box(request.Icon, request.Caption, request.Text, request.Buttons, parent);
    if (request.DefaultButton != QMessageBox::NoButton) box.setDefaultButton(request.DefaultButton);
    FitMessageBox(box, request.Caption);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

std::optional<TextFileChoice> DefaultTextFileDialog(QWidget* parent, const TextFileDialogRequest& request) {
    QFileDialog dialog(parent, request.Title, request.Folder);
    // Our own dialog, so that the encoding list can stand under the file name.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(request.Filters);
    dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.DefaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.DefaultSuffix);
    if (!request.FileName.isEmpty()) dialog.selectFile(request.FileName);

    auto* encodings = new QComboBox(&dialog);
    encodings->addItems(request.Encodings);
    encodings->setCurrentIndex(
        std::clamp(request.EncodingIndex, 0, std::max(0, int(request.Encodings.size()) - 1)));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(T(Txt::EncodingLabel), &dialog), row, 0);
        grid->addWidget(encodings, row, 1);
    }
    FitFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return TextFileChoice{dialog.selectedFiles().first(), encodings->currentIndex()};
}

bool DefaultPrintDialog(QWidget* parent, QPrinter& printer, bool offerSelection) {
    QPrintDialog dialog(&printer, parent);
    // The editor prints its whole text or its selection, never some of its pages: without a
    // selection the dialog offers no range at all, with one the selection, chosen beforehand.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, offerSelection);
    printer.setPrintRange(offerSelection ? QPrinter::Selection : QPrinter::AllPages);
    return dialog.exec() == QDialog::Accepted;
}

bool DefaultOpenUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

namespace {

TLXEditForm* EditorOf(QMdiSubWindow* window) {
    return window != nullptr ? qobject_cast<TLXEditForm*>(window->widget()) : nullptr;
}

} // namespace

CommandLineRequest ParseCommandLine(const QStringList& arguments) {
    CommandLineRequest request;
    if (arguments.isEmpty()) return request;
    const QString option = arguments.at(0).trimmed().toUpper();
    QString mode;
    if (option == u"-A")
        mode = T(CommandLineMode::Auto);
    else if (option == u"-H")
        mode = T(CommandLineMode::Hide);
    else if (option == u"-R")
        mode = T(CommandLineMode::Run);
    if (mode.isEmpty()) {
        request.File = arguments.at(0);
    } else {
        request.Mode = mode;
        if (arguments.size() >= 2) request.File = arguments.at(1);
    }
    return request;
}

QString UnsupportedSystemMessage(const QString& osName) {
    if (osName == QStringView(OsName16Bit)) return T(Txt::Unsupported16Bit);
    if (osName == QStringView(OsName2000)) return T(Txt::Unsupported2000);
    return QString();
}

// ---- TLxFrameForm -------------------------------------------------------------------------------------

TLxFrameForm::TLxFrameForm(QWidget* parent) : QMainWindow(parent) {
    Win.LxFrameForm = this;
    setWindowTitle(T(ApplicationTitle));
    setAcceptDrops(true);

    MdiArea_ = new QMdiArea(this);
    MdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(MdiArea_);
    connect(MdiArea_, &QMdiArea::subWindowActivated, this, &TLxFrameForm::SubWindowActivated);

    for (int i = 0; i < PanelCount; ++i) {
        Panels_[static_cast<std::size_t>(i)] = new QLabel(this);
        statusBar()->addWidget(Panels_[static_cast<std::size_t>(i)]);
    }
    CreateMenus();
    MergeEditorMenus(nullptr);

    SizeAndCentre();
}

TLxFrameForm::~TLxFrameForm() {
    // The editors go with the MDI area after this frame has stopped being one: they must not call back.
    disconnect(MdiArea_, nullptr, this, nullptr);
    // (Closed windows waiting for their deletion are no longer listed by the area.)
    for (TLXEditForm* editor : MdiArea_->findChildren<TLXEditForm*>())
        disconnect(editor, nullptr, this, nullptr);
    if (Win.LxFrameForm == this) Win.LxFrameForm = nullptr;
}

bool TLxFrameForm::StartUp(const QString& osName) {
    const QString refusal = UnsupportedSystemMessage(osName);
    if (!refusal.isEmpty()) {
        MessageRequest request;
        request.Text = refusal;
        request.Caption = T(Txt::UnsupportedCaption);
        request.Icon = QMessageBox::NoIcon;
        ShowMessage(nullptr, request);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(SettingsMutex());
        Settings.ExeDir = QCoreApplication::applicationDirPath();
    }
    LoadSettings();
    HelpFilePath_ = QDir(Settings.InstallPath).filePath(T(Txt::HelpFileName));
    InitAll();
    TutorFilePath_ = QDir(Settings.InstallPath).filePath(T(Txt::TutorFileName));

    SizeAndCentre();

    // A working folder that cannot be made current is ignored.
    OpenDialogFolder_ = Settings.DefaultDir;
    if (!Settings.WorkingPath.isEmpty()) QDir::setCurrent(Settings.WorkingPath);
    return true;
}

// The saved size (the client area, below the menu bar), centred on the screen: once on creation and
// again when the start-up has loaded the settings.
void TLxFrameForm::SizeAndCentre() {
    const QSize size = UsableSavedSize(&SettingsState::MainFormWidth, &SettingsState::MainFormHeight,
                                       {DefaultMainFormWidth, DefaultMainFormHeight});
    resize(size.width(), size.height() + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TLxFrameForm::CreateMenus() {
    auto addAction = [this](QMenu* menu, const char16_t* caption, const char16_t* hint,
                            void (TLxFrameForm::*slot)()) {
        QAction* action = new QAction(T(caption), this);
        if (hint != nullptr) {
            action->setStatusTip(T(hint));
            action->setToolTip(T(hint));
        }
        connect(action, &QAction::triggered, this, slot);
        menu->addAction(action);
        return action;
    };

    LXMMenuProgram = new QMenu(T(Txt::MenuProgram), this);
    LXMMenuNew = addAction(LXMMenuProgram, Txt::MenuNew, Txt::HintNew, &TLxFrameForm::LXMMenuNewClick);
    LXMMenuNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    LXMMenuOpen = addAction(LXMMenuProgram, Txt::MenuOpen, Txt::HintOpen, &TLxFrameForm::LXMMenuOpenClick);
    LXMMenuProgram->addSeparator();
    LXMMenuExit = addAction(LXMMenuProgram, Txt::MenuExit, Txt::HintExit, &TLxFrameForm::LXMMenuExitClick);

    LXMMenuWindow = new QMenu(T(Txt::MenuWindow), this);
    LXMMenuTileHorizontal = new QAction(T(Txt::MenuTileHorizontal), this);
    LXMMenuTileVertical = new QAction(T(Txt::MenuTileVertical), this);
    LXMMenuCascade = new QAction(T(Txt::MenuCascade), this);
    LXMMenuIConSort = new QAction(T(Txt::MenuIconSort), this);
    connect(LXMMenuTileHorizontal, &QAction::triggered, this, &TLxFrameForm::LXMMenuTileHorizontalClick);
    connect(LXMMenuTileVertical, &QAction::triggered, this, &TLxFrameForm::LXMMenuTileVerticalClick);
    connect(LXMMenuCascade, &QAction::triggered, this, &TLxFrameForm::LXMMenuCascadeClick);
    connect(LXMMenuIConSort, &QAction::triggered, this, &TLxFrameForm::LXMMenuIConSortClick);
    connect(LXMMenuWindow, &QMenu::aboutToShow, this, &TLxFrameForm::FillWindowMenu);
    FillWindowMenu();

    LXMMenuOption = new QMenu(T(Txt::MenuOption), this);
    LXMMenuPreferenceSetting = addAction(LXMMenuOption, Txt::MenuPreferenceSetting, nullptr,
                                         &TLxFrameForm::LXMMenuPreferenceSettingClick);
    LXMMenuAssociationSetting = addAction(LXMMenuOption, Txt::MenuAssociationSetting, nullptr,
                                          &TLxFrameForm::LXMMenuAssociationSettingClick);
    LXMMenuDeletePreference = LXMMenuOption->addMenu(T(Txt::MenuDeletePreference));
    LXMMenuDeleteRegistry = addAction(LXMMenuDeletePreference, Txt::MenuDeleteRegistry, nullptr,
                                      &TLxFrameForm::LXMMenuDeleteRegistryClick);
    LXMMenuDeleteIniFile = addAction(LXMMenuDeletePreference, Txt::MenuDeleteIniFile, nullptr,
                                     &TLxFrameForm::LXMMenuDeleteIniFileClick);
    // The preferences and association windows plug in through their hooks.
    connect(LXMMenuOption, &QMenu::aboutToShow, this, [this] {
        LXMMenuPreferenceSetting->setEnabled(static_cast<bool>(WinHooks.ShowPreferencesHook));
        LXMMenuAssociationSetting->setEnabled(static_cast<bool>(WinHooks.ShowAssociationHook));
    });

    LXMMenuHelp = new QMenu(T(Txt::MenuHelp), this);
    LXMMenuLXHelp = addAction(LXMMenuHelp, Txt::MenuLXHelp, nullptr, &TLxFrameForm::LXMMenuLXHelpClick);
    LXMMenuLXHelp->setShortcut(QKeySequence(Qt::Key_F1));
    LXMMenuBasicTutor =
        addAction(LXMMenuHelp, Txt::MenuBasicTutor, nullptr, &TLxFrameForm::LXMMenuBasicTutorClick);
    LXMMenuBasicTutor->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
    LXMMenuVersion = addAction(LXMMenuHelp, Txt::MenuVersion, nullptr, &TLxFrameForm::LXMMenuVersionClick);
    LXMMenuLXHomePage =
        addAction(LXMMenuHelp, Txt::MenuHomePage, nullptr, &TLxFrameForm::LXMMenuLXHomePageClick);
}

void TLxFrameForm::FillWindowMenu() {
    LXMMenuWindow->clear();
    LXMMenuWindow->addAction(LXMMenuTileHorizontal);
    LXMMenuWindow->addAction(LXMMenuTileVertical);
    LXMMenuWindow->addAction(LXMMenuCascade);
    LXMMenuWindow->addSeparator();
    LXMMenuWindow->addAction(LXMMenuIConSort);
    const QList<QMdiSubWindow*> windows = MdiArea_->subWindowList();
    if (windows.isEmpty()) return;
    LXMMenuWindow->addSeparator();
    QMdiSubWindow* active = MdiArea_->activeSubWindow();
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        ++number;
        // The list entries belong to the menu and go with the next clear().
        QAction* entry =
            LXMMenuWindow->addAction(QStringLiteral("&%1 %2").arg(number).arg(window->windowTitle()));
        entry->setCheckable(true);
        entry->setChecked(window == active);
        QPointer<QMdiSubWindow> target(window);
        connect(entry, &QAction::triggered, this, [this, target] {
            if (target) MdiArea_->setActiveSubWindow(target);
        });
    }
}

void TLxFrameForm::MergeEditorMenus(TLXEditForm* editor) {
    // The active editor's Program menu takes the frame's place and its other menus stand before the
    // frame's Window, Option and Help menus. Menus that are not in the bar take no shortcuts.
    QMenuBar* bar = menuBar();
    bar->clear();
    if (editor != nullptr) {
        for (QMenu* menu : editor->MergedMenus())
            bar->addMenu(menu);
        bar->addAction(editor->LXEMenuRunNow);
    } else {
        bar->addMenu(LXMMenuProgram);
    }
    bar->addMenu(LXMMenuWindow);
    bar->addMenu(LXMMenuOption);
    bar->addMenu(LXMMenuHelp);
    MergedEditor_ = editor;
}

TLXEditForm* TLxFrameForm::ActiveEditor() const {
    QMdiSubWindow* window = MdiArea_->activeSubWindow();
    if (window == nullptr) window = MdiArea_->currentSubWindow();
    return EditorOf(window);
}

void TLxFrameForm::SubWindowActivated(QMdiSubWindow* window) {
    // The area reports no window while the frame itself is inactive; its current window still counts.
    if (window == nullptr) window = MdiArea_->currentSubWindow();
    TLXEditForm* editor = EditorOf(window);
    if (editor != MergedEditor_) MergeEditorMenus(editor);
    if (editor != nullptr && MdiArea_->activeSubWindow() == window) editor->FormActivate();
}

void TLxFrameForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        // An editor made active while a dialog had the frame's activation gets it now: the area and
        // the focus would otherwise come back to the window that was active before the dialog.
        if (PendingEditor_) {
            TLXEditForm* editor = PendingEditor_;
            PendingEditor_ = nullptr;
            ActivateEditor(editor);
        }
        // Coming back from the run window activates the editor again (this shows the error of a run).
        if (TLXEditForm* editor = ActiveEditor()) editor->FormActivate();
    }
}

void TLxFrameForm::ActivateEditor(TLXEditForm* editor) {
    if (editor == nullptr) return;
    auto* window = qobject_cast<QMdiSubWindow*>(editor->parentWidget());
    if (window == nullptr || window->mdiArea() != MdiArea_) return;
    MdiArea_->setActiveSubWindow(window);
    // The focus widget of an inactive frame is the one it gets back on its activation.
    editor->Editor->setFocus();
    if (!isActiveWindow()) PendingEditor_ = editor;
}

TLXEditForm* TLxFrameForm::NewEditor() {
    auto* editor = new TLXEditForm;
    connect(editor, &TLXEditForm::PanelTextChanged, this, &TLxFrameForm::SetPanelText);
    connect(editor, &TLXEditForm::PanelsCleared, this, &TLxFrameForm::ClearPanels);
    connect(editor, &TLXEditForm::ActivationWanted, this, &TLxFrameForm::ActivateEditor);
    connect(editor, &TLXEditForm::NewRequested, this, &TLxFrameForm::LXMMenuNewClick);
    connect(editor, &TLXEditForm::OpenRequested, this, &TLxFrameForm::LXMMenuOpenClick);
    connect(editor, &TLXEditForm::ExitRequested, this, &TLxFrameForm::LXMMenuExitClick);
    QMdiSubWindow* window = MdiArea_->addSubWindow(editor);
    window->setAttribute(Qt::WA_DeleteOnClose);
    editor->ApplyClientSize();
    window->adjustSize();
    connect(editor, &QObject::destroyed, this, [this] {
        // The bar must not keep the menus of a window that is gone.
        MergeEditorMenus(EditorOf(MdiArea_->currentSubWindow()));
    });
    window->show();
    ActivateEditor(editor);
    return editor;
}

TLXEditForm* TLxFrameForm::OpenFileInEditor(const QString& fileName, const QString& encodingName,
                                            std::function<void(TLXEditForm* editor)> loaded) {
    const QFileInfo info(fileName);
    if (!info.isFile() || !info.isReadable()) {
        ShowMessage(this, Notice(T(Txt::FileOpenFailed).arg(QDir::toNativeSeparators(fileName)),
                                 QMessageBox::Warning));
        return nullptr;
    }
    TLXEditForm* editor = NewEditor();
    Win.LXEditForm = editor;
    // Whether the load has ended already, and how (a short file loads at once).
    auto outcome = std::make_shared<std::optional<bool>>();
    editor->OpenInBackground(fileName, encodingName,
                             [editor, outcome, loaded = std::move(loaded)](bool read) {
                                 *outcome = read;
                                 if (read && loaded) loaded(editor);
                             });
    return *outcome == false ? nullptr : editor;
}

void TLxFrameForm::HandleCommandLine(const QStringList& arguments) {
    // Once per start: the frame is activated again and again, the command line means one start.
    if (CommandLineHandled_) return;
    CommandLineHandled_ = true;
    const CommandLineRequest request = ParseCommandLine(arguments);
    if (request.File.isEmpty()) return;
    // A file that is not there runs nothing (it is reported).
    OpenFileInEditor(request.File, T(EncodingAuto),
                     [this, request](TLXEditForm* editor) { CommandLineFileLoaded(request, editor); });
}

void TLxFrameForm::CommandLineFileLoaded(const CommandLineRequest& request, TLXEditForm* editor) {
    if (request.Mode.isEmpty()) {
        // The file is there to be edited: the frame comes before the run window, with the keys in
        // the editor.
        raise();
        activateWindow();
        ActivateEditor(editor);
        return;
    }
    if (request.Mode == QStringView(CommandLineMode::Run) ||
        request.Mode == QStringView(CommandLineMode::Hide))
        setWindowState(windowState() | Qt::WindowMinimized);
    if (request.Mode == QStringView(CommandLineMode::Hide) && Win.RunForm != nullptr)
        Win.RunForm->setWindowState(Win.RunForm->windowState() | Qt::WindowMinimized);
    // Only when idle: a program already running is left alone (the file is open all the same).
    if (StartProgramRun(editor->ProgramSource(), editor->ProgramFolderName(), RunStarter::CommandLine) &&
        Win.RunForm != nullptr)
        Win.RunForm->Memo()->setFocus(); // the run window's focus, also while it is minimised
}

// ---- status bar ---------------------------------------------------------------------------------------

void TLxFrameForm::SetPanelText(int index, const QString& text) {
    if (index < 0 || index >= PanelCount) return;
    Panels_[static_cast<std::size_t>(index)]->setText(text);
}

QString TLxFrameForm::PanelText(int index) const {
    if (index < 0 || index >= PanelCount) return QString();
    return Panels_[static_cast<std::size_t>(index)]->text();
}

int TLxFrameForm::PanelWidth(int index) const {
    if (index < 0 || index >= PanelCount) return 0;
    return Panels_[static_cast<std::size_t>(index)]->width();
}

void TLxFrameForm::ClearPanels() {
    statusBar()->clearMessage();
    for (QLabel* panel : Panels_)
        panel->clear();
}

void TLxFrameForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    const int width = statusBar()->width();
    for (int i = 0; i < PanelCount; ++i)
        Panels_[static_cast<std::size_t>(i)]->setFixedWidth(
            width * PanelDesignWidths[static_cast<std::size_t>(i)] / PanelDesignTotal);
}

// ---- menu commands --------------------------------------------------------------------------------------

void TLxFrameForm::LXMMenuNewClick() {
    NewEditor();
}

void TLxFrameForm::LXMMenuOpenClick() {
    TextFileDialogRequest request;
    request.Title = T(Txt::OpenDialogTitle);
    request.Folder = OpenDialogFolder_;
    for (const char16_t* filter : Txt::OpenFilters)
        request.Filters << T(filter);
    request.DefaultSuffix = T(Txt::DefaultExtension);
    request.Encodings = OpenEncodingNames();
    request.EncodingIndex = 0;
    if (!WinHooks.TextFileDialogHook) return;
    const std::optional<TextFileChoice> choice = WinHooks.TextFileDialogHook(this, request);
    if (!choice) return;
    const QStringList encodings = OpenEncodingNames();
    const QString encoding = choice->EncodingIndex >= 0 && choice->EncodingIndex < encodings.size()
                                 ? encodings.at(choice->EncodingIndex)
                                 : T(EncodingAuto);
    OpenDialogFolder_ = QFileInfo(choice->FileName).absolutePath();
    OpenFileInEditor(choice->FileName, encoding, [this](TLXEditForm* editor) {
        // Only files opened here are coloured on loading (not those of the command line or a drop).
        if (Settings.AutoFormatLoad != 0) editor->EditorScan();
        ActivateEditor(editor);
    });
}

void TLxFrameForm::LXMMenuExitClick() {
    // A running program is asked to stop first; it stays stopped even when the exit is refused.
    RequestStop();
    close();
}

bool TLxFrameForm::AskToEndApplication() {
    if (Rc.ExitMessageCheck == 0) return true;
    return ShowMessage(this, Question(T(Txt::ExitQuestion), QMessageBox::Yes | QMessageBox::No,
                                      QMessageBox::Yes)) == QMessageBox::Yes;
}

void TLxFrameForm::closeEvent(QCloseEvent* event) {
    if (Closing_) {
        event->accept();
        return;
    }
    // The question comes first: "No" leaves everything, the media player included, as it was.
    if (!AskToEndApplication()) {
        event->ignore();
        return;
    }
    const QList<QMdiSubWindow*> windows = MdiArea_->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (TLXEditForm* editor = EditorOf(window); editor != nullptr && !editor->CloseQuery()) {
            event->ignore();
            return;
        }
    }
    for (QMdiSubWindow* window : windows)
        if (TLXEditForm* editor = EditorOf(window)) editor->SetCloseConfirmed();
    if (WinHooks.CloseMediaPlayerHook) WinHooks.CloseMediaPlayerHook();
    Closing_ = true;
    event->accept();
    emit Closed();
}

void CallWhenShown(const QList<QWidget*>& windows, const std::function<void()>& call) {
    auto* check = new QTimer(qApp);
    check->setInterval(ShownCheckMs);
    QElapsedTimer waited;
    waited.start();
    QList<QPointer<QWidget>> watched(windows.begin(), windows.end());
    QObject::connect(check, &QTimer::timeout, check, [check, waited, watched, call] {
        const bool shown = std::all_of(watched.begin(), watched.end(), [](const QPointer<QWidget>& window) {
            return window.isNull() || window->isHidden() ||
                   (window->windowHandle() != nullptr && window->windowHandle()->isExposed());
        });
        if (!shown && waited.elapsed() < ShownLimitMs) return;
        check->stop();
        check->deleteLater();
        call();
    });
    check->start();
}

bool EndApplication() {
    // The program first: it may be waiting for a window (a hand-over, an INPUT dialog), which must
    // still be there to release it.
    const bool stopped = TLXMTHread::StopAndJoin();
    // A window that refuses (the run window turns a close into minimising) is hidden all the same:
    // nothing of the application may stay on the screen once it has ended.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isHidden()) continue;
        if (!window->close()) window->hide();
    }
    // Not quit(): that asks every window again and gives up at the first one that refuses.
    QCoreApplication::exit(0);
    return stopped;
}

void TLxFrameForm::LXMMenuTileHorizontalClick() {
    // Horizontal tiling: every window as wide as the area, one above the other.
    TileWindows(Qt::Vertical);
}

void TLxFrameForm::LXMMenuTileVerticalClick() {
    // Vertical tiling: the windows side by side, each as high as the area.
    TileWindows(Qt::Horizontal);
}

void TLxFrameForm::TileWindows(Qt::Orientation along) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : MdiArea_->subWindowList())
        if (window->isVisible() && !window->isMinimized()) windows << window;
    if (windows.isEmpty()) return;
    const QRect area = MdiArea_->viewport()->rect();
    const bool stacked = along == Qt::Vertical;
    const int share = std::max(1, (stacked ? area.height() : area.width()) / int(windows.size()));
    int offset = 0;
    for (QMdiSubWindow* window : windows) {
        if (window->isMaximized()) window->showNormal();
        if (stacked)
            window->setGeometry(0, offset, area.width(), share);
        else
            window->setGeometry(offset, 0, share, area.height());
        offset += share;
    }
}

void TLxFrameForm::LXMMenuCascadeClick() {
    MdiArea_->cascadeSubWindows();
}

void TLxFrameForm::LXMMenuIConSortClick() {
    // Minimised windows in a row along the bottom of the area.
    const QRect area = MdiArea_->viewport()->rect();
    int left = 0;
    int bottom = area.bottom() + 1;
    for (QMdiSubWindow* window : MdiArea_->subWindowList()) {
        if (!window->isMinimized()) continue;
        const QSize size = window->size();
        if (left > 0 && left + size.width() > area.width()) {
            left = 0;
            bottom -= size.height();
        }
        window->move(left, bottom - size.height());
        left += size.width();
    }
}

void TLxFrameForm::LXMMenuPreferenceSettingClick() {
    if (WinHooks.ShowPreferencesHook) WinHooks.ShowPreferencesHook(this);
}

void TLxFrameForm::LXMMenuAssociationSettingClick() {
    if (WinHooks.ShowAssociationHook) WinHooks.ShowAssociationHook(this);
}

void TLxFrameForm::LXMMenuDeleteRegistryClick() {
    DeleteSettingsStore(Txt::DeleteRegistryQuestion, DeleteRegistrySettings, UserSettingsFilePath);
}

void TLxFrameForm::LXMMenuDeleteIniFileClick() {
    DeleteSettingsStore(Txt::DeleteIniQuestion, DeleteIniSettings, IniSettingsFilePath);
}

void TLxFrameForm::DeleteSettingsStore(const char16_t* question, void (*deleteStore)(),
                                       QString (*storePath)()) {
    const QString text = T(question) + u'\n' + T(Txt::UninstallNote);
    if (ShowMessage(this, Question(text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                   QMessageBox::No)) != QMessageBox::Yes)
        return;
    deleteStore();
    // A file still there (no path: nothing was stored) is a deletion that failed.
    const QString path = storePath();
    if (!path.isEmpty() && QFileInfo::exists(path))
        ShowMessage(this,
                    Notice(T(Txt::DeleteFailed).arg(QDir::toNativeSeparators(path)), QMessageBox::Warning));
}

void TLxFrameForm::ShowHelpFile(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        ShowMessage(
            this, Notice(T(Txt::HelpFileMissing).arg(QDir::toNativeSeparators(path)), QMessageBox::Warning));
        return;
    }
    if (!WinHooks.OpenUrlHook || !WinHooks.OpenUrlHook(QUrl::fromLocalFile(path)))
        ShowMessage(
            this, Notice(T(Txt::HelpFileNotShown).arg(QDir::toNativeSeparators(path)), QMessageBox::Warning));
}

void TLxFrameForm::LXMMenuLXHelpClick() {
    ShowHelpFile(HelpFilePath_);
}

void TLxFrameForm::LXMMenuBasicTutorClick() {
    ShowHelpFile(TutorFilePath_);
}

void TLxFrameForm::LXMMenuVersionClick() {
    const QString text = T(Txt::VersionLine).arg(T(ApplicationVersion), T(ReleaseDate)) + u'\n' +
                         T(Txt::VersionCredits) + u'\n' + T(Txt::VersionOsLine).arg(OSName());
    MessageRequest request = Notice(text, QMessageBox::Information);
    ShowMessage(this, request);
}

void TLxFrameForm::LXMMenuLXHomePageClick() {
    const QString address = T(Txt::HomePageAddress);
    const QString text = T(Txt::HomePageQuestion) + u'\n' + address;
    MessageRequest request = Question(text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    request.Icon = QMessageBox::Information;
    if (ShowMessage(this, request) != QMessageBox::Yes) return;
    if (!WinHooks.OpenUrlHook || !WinHooks.OpenUrlHook(QUrl(address)))
        ShowMessage(this, Notice(T(Txt::HomePageNotShown).arg(address), QMessageBox::Warning));
}

// ---- dropped files --------------------------------------------------------------------------------------

void TLxFrameForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        for (const QUrl& url : event->mimeData()->urls()) {
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
        }
    }
    QMainWindow::dragEnterEvent(event);
}

void TLxFrameForm::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasUrls()) {
        QMainWindow::dropEvent(event);
        return;
    }
    QStringList fileNames;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) fileNames << url.toLocalFile();
    event->acceptProposedAction();
    FilesDropped(fileNames);
}

void TLxFrameForm::FilesDropped(const QStringList& fileNames) {
    for (const QString& fileName : fileNames)
        OpenFileInEditor(fileName, T(EncodingAuto));
}
