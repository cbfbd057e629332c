// The main frame: start-up and its refusal, the command line (its forms, handled once, runs only when
// idle, a missing file), dropped files, the menus, the status bar, and the end of the application with
// its question (also while a program runs).
#include "ui/mainframe.h"

#include "core/encodedetect.h"
#include "core/sharedstate.h"
#include "engine/enginehooks.h"
#include "engine/lxthread.h"
#include "platform/settings.h"
#include "platform/settingsstore.h"
#include "tests/runsupport.h"
#include "tests/windowsupport.h"
#include "ui/dialoglayout.h"
#include "ui/editform.h"
#include "ui/runform.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>

TEST(MainFrame, CarriesTheApplicationTitle) {
    TLxFrameForm frame;
    frame.show();
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Lorvex for Windows"));
    ASSERT_NE(frame.MdiArea(), nullptr);
    EXPECT_EQ(Win.LxFrameForm, &frame);
}

TEST(MainFrame, CommandLineForms) {
    auto parse = [](QStringList arguments) {
        const CommandLineRequest request = ParseCommandLine(arguments);
        return std::make_pair(request.Mode, request.File);
    };
    using P = std::pair<QString, QString>;
    EXPECT_EQ(parse({}), P());
    EXPECT_EQ(parse({"-R", "a.lxt"}), P("RUN", "a.lxt"));
    EXPECT_EQ(parse({" -a ", "a.lxt", "ignored"}), P("AUT", "a.lxt"));
    EXPECT_EQ(parse({"-h", "a b.lxt"}), P("HIDE", "a b.lxt"));
    // Anything else is the file itself; a second argument is ignored.
    EXPECT_EQ(parse({"prog.lxt", "-R"}), P("", "prog.lxt"));
    EXPECT_EQ(parse({"-X", "prog.lxt"}), P("", "-X"));
    EXPECT_EQ(parse({"-R"}), P("RUN", ""));
}

TEST(MainFrame, RefusesOnlyTheUnsupportedSystems) {
    EXPECT_EQ(UnsupportedSystemMessage(QStringLiteral("16bitWin")),
              QStringLiteral("Sorry, this version of LX does not work on 16bit Windows System"));
    EXPECT_EQ(UnsupportedSystemMessage(QStringLiteral("2000")),
              QStringLiteral("Sorry this version of LX does not work on Windows 2000 System"));
    EXPECT_TRUE(UnsupportedSystemMessage(QString()).isEmpty());
    EXPECT_TRUE(UnsupportedSystemMessage(QStringLiteral("Xp")).isEmpty());
}

namespace {

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        InstallEngineReset();
        WinHooks.MessageBoxHook = AnswerFromScript(answers_, asked_, &parents_);
        WinHooks.OpenUrlHook = [this](const QUrl& url) {
            opened_.push_back(url);
            return true;
        };
        Rc.ThreadBusy = 0;
        Rc.ProgramRunning = 0;
        Rc.StopRequest = 0;
        Rc.ExitMessageCheck = 1;
        Win.RunErrorPending = false;
        frame_ = std::make_unique<TLxFrameForm>();
        runForm_ = std::make_unique<TRunForm>(frame_.get());
        runForm_->CLSBtnClick();
        frame_->show();
    }

    void TearDown() override {
        TLXMTHread::StopAndJoin();
        WinHooks.CloseMediaPlayerHook = nullptr;
        runForm_.reset();
        // Whatever is still open goes without questions.
        for (QMdiSubWindow* window : frame_->MdiArea()->subWindowList())
            if (auto* editor = qobject_cast<TLXEditForm*>(window->widget())) editor->SetCloseConfirmed();
        frame_.reset();
        WinHooks.MessageBoxHook = nullptr;
        WinHooks.TextFileDialogHook = nullptr;
        WinHooks.OpenUrlHook = nullptr;
        EXPECT_TRUE(answers_.empty()) << "a question that was expected was not asked";
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }
    int EditorCount() const { return int(frame_->MdiArea()->subWindowList().size()); }

    QTemporaryDir dir_;
    std::deque<QMessageBox::StandardButton> answers_;
    std::vector<MessageRequest> asked_;
    std::vector<QWidget*> parents_;
    std::vector<QUrl> opened_;
    std::unique_ptr<TLxFrameForm> frame_;
    std::unique_ptr<TRunForm> runForm_;
};

} // namespace

// ---- start-up ---------------------------------------------------------------------------------------------

TEST_F(FrameTest, StartUpRefusesOldWindowsAndOtherwiseLoadsSettingsAndHelpPaths) {
    answers_ = {QMessageBox::Ok, QMessageBox::Ok};
    EXPECT_FALSE(frame_->StartUp(QStringLiteral("2000")));
    EXPECT_FALSE(frame_->StartUp(QStringLiteral("16bitWin")));
    ASSERT_EQ(asked_.size(), 2u);
    for (const MessageRequest& request : asked_) {
        EXPECT_EQ(request.Caption, QStringLiteral("LX Unsupport Message"));
        EXPECT_EQ(request.Buttons, QMessageBox::Ok);
    }
    EXPECT_TRUE(asked_[1].Text.contains(QStringLiteral("16bit")));
    // The refusal has no owner window.
    EXPECT_EQ(parents_.back(), nullptr);

    const QString saved = QDir::currentPath();
    ASSERT_TRUE(frame_->StartUp(QString()));
    EXPECT_EQ(Settings.ExeDir, QCoreApplication::applicationDirPath());
    EXPECT_EQ(frame_->HelpFilePath(), QDir(Settings.InstallPath).filePath(QStringLiteral("LXWHelp.chm")));
    EXPECT_EQ(frame_->TutorFilePath(), QDir(Settings.InstallPath).filePath(QStringLiteral("DOdero.chm")));
    EXPECT_EQ(frame_->OpenDialogFolder(), Settings.DefaultDir);
    EXPECT_EQ(QDir::currentPath(), QDir(Settings.WorkingPath).absolutePath());
    QDir::setCurrent(saved);
}

TEST_F(FrameTest, UnusableSizeSettingsGiveTheDefaultSize) {
    const int width = Settings.MainFormWidth;
    const int height = Settings.MainFormHeight;
    Settings.MainFormWidth = 0;
    Settings.MainFormHeight = 0;
    TLxFrameForm frame;
    Settings.MainFormWidth = width;
    Settings.MainFormHeight = height;
    EXPECT_EQ(frame.width(), 640);
    EXPECT_GE(frame.height(), 400);
}

// ---- command line -------------------------------------------------------------------------------------

TEST_F(FrameTest, APlainFileIsOnlyOpenedAndOnlyOnce) {
    ASSERT_TRUE(
        WriteBytes(Path("prog.lxt"), QByteArray("' \x93\xfa\x96\x7b\x8c\xea\r\nPRINT 1\r\n"))); // Shift-JIS
    frame_->HandleCommandLine({Path("prog.lxt")});
    ASSERT_EQ(EditorCount(), 1);
    ASSERT_FALSE(Win.LXEditForm.isNull());
    EXPECT_EQ(Win.LXEditForm->FileName, QFileInfo(Path("prog.lxt")).absoluteFilePath());
    EXPECT_EQ(Win.LXEditForm->EncodingName, QStringLiteral("SJIS"));
    EXPECT_EQ(Rc.ThreadBusy.load(), 0);
    EXPECT_EQ(Rc.ProgramRunning.load(), 0);
    EXPECT_FALSE(frame_->isMinimized());

    // Activating the frame again does not open the file again.
    frame_->HandleCommandLine({Path("prog.lxt")});
    EXPECT_EQ(EditorCount(), 1);
    EXPECT_TRUE(frame_->CommandLineHandled());
}

TEST_F(FrameTest, AMissingFileIsReportedAndStartsNothing) {
    answers_ = {QMessageBox::Ok};
    frame_->HandleCommandLine({QStringLiteral("-R"), Path("missing.lxt")});
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_TRUE(asked_[0].Text.contains(QStringLiteral("missing.lxt")));
    EXPECT_EQ(EditorCount(), 0);
    EXPECT_EQ(Rc.ProgramRunning.load(), 0);
    EXPECT_EQ(Rc.ThreadBusy.load(), 0);
    EXPECT_FALSE(frame_->isMinimized());
}

TEST_F(FrameTest, MinusRRunsWithTheFrameMinimised) {
    ASSERT_TRUE(WriteBytes(Path("prog.lxt"), "PRINT \"from the command line\"\n"));
    frame_->HandleCommandLine({QStringLiteral(" -r "), Path("prog.lxt")});
    EXPECT_TRUE(frame_->windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(runForm_->windowState() & Qt::WindowMinimized);
    ASSERT_TRUE(WaitForRunEnd(Win.RunForm));
    EXPECT_EQ(Fe.ProgramText, QStringLiteral("PRINT \"from the command line\"\r\n"));
    EXPECT_EQ(Fe.ProgramFolder, QFileInfo(Path("prog.lxt")).absolutePath());
    EXPECT_TRUE(runForm_->Text().contains(QStringLiteral("from the command line")))
        << runForm_->Text().toStdString();
}

TEST_F(FrameTest, MinusHMinimisesTheRunWindowTooAndMinusAMinimisesNothing) {
    ASSERT_TRUE(WriteBytes(Path("prog.lxt"), "PRINT 1\r\n"));
    frame_->HandleCommandLine({QStringLiteral("-H"), Path("prog.lxt")});
    EXPECT_TRUE(frame_->windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(runForm_->windowState() & Qt::WindowMinimized);
    ASSERT_TRUE(WaitForRunEnd(Win.RunForm));

    TLxFrameForm other;
    TRunForm otherRun(&other);
    other.HandleCommandLine({QStringLiteral("-A"), Path("prog.lxt")});
    EXPECT_FALSE(other.windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(otherRun.windowState() & Qt::WindowMinimized);
    ASSERT_TRUE(WaitForRunEnd(Win.RunForm));
    EXPECT_TRUE(otherRun.Text().contains(QStringLiteral("1\n"))) << otherRun.Text().toStdString();
    for (QMdiSubWindow* window : other.MdiArea()->subWindowList())
        qobject_cast<TLXEditForm*>(window->widget())->SetCloseConfirmed();
}

TEST_F(FrameTest, WithAProgramActiveTheCommandLineOpensTheFileButStartsNothing) {
    ASSERT_TRUE(WriteBytes(Path("prog.lxt"), "PRINT 1\r\n"));
    Rc.ProgramRunning = 1;
    Fe.ProgramText = QStringLiteral("the running program");
    frame_->HandleCommandLine({QStringLiteral("-A"), Path("prog.lxt")});
    EXPECT_EQ(EditorCount(), 1);
    EXPECT_EQ(Fe.ProgramText, QStringLiteral("the running program"));
    EXPECT_EQ(Rc.ThreadBusy.load(), 0);
    Rc.ProgramRunning = 0;
}

// ---- dropped files and the open dialog ----------------------------------------------------------------

TEST_F(FrameTest, DroppedFilesOpenInEditorsOfTheirOwn) {
    ASSERT_TRUE(WriteBytes(Path("a.lxt"), "PRINT 1\r\n"));
    ASSERT_TRUE(WriteBytes(Path("b.lxt"), "PRINT 2\r\n"));
    ASSERT_TRUE(WriteBytes(Path("c.lxt"), "PRINT 3\r\n"));
    frame_->FilesDropped({Path("a.lxt"), Path("b.lxt"), Path("c.lxt")});
    EXPECT_EQ(EditorCount(), 3);
    ASSERT_FALSE(Win.LXEditForm.isNull());
    EXPECT_EQ(Win.LXEditForm->windowTitle(), QStringLiteral("c.lxt"));
    EXPECT_EQ(Rc.ThreadBusy.load(), 0);
    EXPECT_EQ(Rc.ProgramRunning.load(), 0);

    // A file that is gone is reported; the others still open.
    answers_ = {QMessageBox::Ok};
    frame_->FilesDropped({Path("gone.lxt"), Path("a.lxt")});
    EXPECT_EQ(EditorCount(), 4);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_TRUE(asked_[0].Text.contains(QStringLiteral("gone.lxt")));
}

TEST_F(FrameTest, OnlyLocalFilesAreTakenFromADrag) {
    QMimeData local;
    local.setUrls({QUrl::fromLocalFile(Path("a.lxt"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &local, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame_.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());

    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.org/a.lxt"))});
    QDragEnterEvent enterRemote(QPoint(10, 10), Qt::CopyAction, &remote, Qt::LeftButton, Qt::NoModifier);
    enterRemote.setAccepted(false);
    QApplication::sendEvent(frame_.get(), &enterRemote);
    EXPECT_FALSE(enterRemote.isAccepted());
}

TEST_F(FrameTest, OpenTakesTheEncodingChosenInTheDialog) {
    ASSERT_TRUE(WriteBytes(Path("prog.lxt"), "PRINT 1\r\n"));
    std::vector<TextFileDialogRequest> requests;
    WinHooks.TextFileDialogHook = [&](QWidget*, const TextFileDialogRequest& request) {
        requests.push_back(request);
        return std::optional<TextFileChoice>(TextFileChoice{Path("prog.lxt"), 3});
    };
    frame_->LXMMenuOpenClick();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Title, QStringLiteral("Open a Program"));
    EXPECT_FALSE(requests[0].Save);
    EXPECT_EQ(requests[0].Encodings, OpenEncodingNames());
    EXPECT_EQ(requests[0].Encodings.value(0), QStringLiteral("Auto"));
    ASSERT_FALSE(Win.LXEditForm.isNull());
    EXPECT_EQ(Win.LXEditForm->EncodingName, QStringLiteral("SJIS"));
    EXPECT_FALSE(Win.LXEditForm->IsModified());
    EXPECT_EQ(frame_->OpenDialogFolder(), QFileInfo(Path("prog.lxt")).absolutePath());

    WinHooks.TextFileDialogHook = [&](QWidget*, const TextFileDialogRequest&) {
        return std::optional<TextFileChoice>();
    };
    frame_->LXMMenuOpenClick();
    EXPECT_EQ(EditorCount(), 1);
}

// ---- menus and status bar -------------------------------------------------------------------------------

TEST_F(FrameTest, TheActiveEditorsMenusStandInTheMenuBar) {
    QList<QAction*> bar = frame_->menuBar()->actions();
    ASSERT_EQ(bar.size(), 4);
    EXPECT_EQ(bar[0], frame_->ProgramMenu()->menuAction());
    EXPECT_EQ(bar[1], frame_->WindowMenu()->menuAction());

    TLXEditForm* editor = frame_->NewEditor();
    bar = frame_->menuBar()->actions();
    ASSERT_EQ(bar.size(), 8);
    EXPECT_EQ(bar[0], editor->LXEMenuProgram->menuAction());
    EXPECT_EQ(bar[1], editor->LXEMenuEdit->menuAction());
    EXPECT_EQ(bar[4], editor->LXEMenuRunNow);
    EXPECT_EQ(bar[5], frame_->WindowMenu()->menuAction());
    EXPECT_EQ(editor->LXEMenuRunLX->shortcut(), QKeySequence(Qt::Key_F9));

    editor->LXEMenuCloseClick();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    bar = frame_->menuBar()->actions();
    ASSERT_EQ(bar.size(), 4);
    EXPECT_EQ(bar[0], frame_->ProgramMenu()->menuAction());
}

TEST_F(FrameTest, AnEditorsFrameCommandsAndItsActivationReachTheFrame) {
    TLXEditForm* first = frame_->NewEditor();
    first->LXEMenuNew->trigger();
    ASSERT_EQ(EditorCount(), 2);
    ASSERT_NE(frame_->ActiveEditor(), first);
    // Format takes the activation away (its wait window) and hands it back to its own window.
    first->TextFormatCheckClick();
    EXPECT_EQ(frame_->ActiveEditor(), first);

    int dialogs = 0;
    WinHooks.TextFileDialogHook = [&dialogs](QWidget*, const TextFileDialogRequest&) {
        ++dialogs;
        return std::optional<TextFileChoice>();
    };
    first->LXEMenuOpen->trigger();
    EXPECT_EQ(dialogs, 1);

    answers_ = {QMessageBox::No};
    first->LXEMenuExit->trigger();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].Text, QStringLiteral("Lorvex を終了しますか？"));
    EXPECT_TRUE(frame_->isVisible());
}

TEST_F(FrameTest, NewWindowsAreNotRecordedAsTheLastOpened) {
    Win.LXEditForm = nullptr;
    frame_->LXMMenuNewClick();
    frame_->LXMMenuNewClick();
    EXPECT_EQ(EditorCount(), 2);
    EXPECT_TRUE(Win.LXEditForm.isNull());
}

TEST_F(FrameTest, StatusBarPanelsShareTheWidthInTheirProportions) {
    frame_->resize(780 * 2, 400);
    QApplication::processEvents();
    const int width = frame_->statusBar()->width();
    const int design[] = {150, 150, 90, 90, 200, 100};
    for (int i = 0; i < TLxFrameForm::PanelCount; ++i)
        EXPECT_EQ(frame_->PanelWidth(i), width * design[i] / 780) << i;
}

TEST_F(FrameTest, TilingPlacesTheWindowsInRowsOrColumns) {
    frame_->NewEditor();
    frame_->NewEditor();
    QApplication::processEvents();
    const QRect area = frame_->MdiArea()->viewport()->rect();
    frame_->LXMMenuTileHorizontalClick();
    QList<QMdiSubWindow*> windows = frame_->MdiArea()->subWindowList();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(windows[0]->geometry(), QRect(0, 0, area.width(), area.height() / 2));
    EXPECT_EQ(windows[1]->geometry().top(), area.height() / 2);
    frame_->LXMMenuTileVerticalClick();
    EXPECT_EQ(windows[0]->geometry(), QRect(0, 0, area.width() / 2, area.height()));
    EXPECT_EQ(windows[1]->geometry().left(), area.width() / 2);
}

TEST_F(FrameTest, HelpVersionAndHomePage) {
    answers_ = {QMessageBox::Ok};
    frame_->LXMMenuVersionClick();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_TRUE(asked_[0].Text.startsWith(QStringLiteral("Lorvex for Windows v. ")));
    EXPECT_TRUE(asked_[0].Text.contains(QStringLiteral(" Your OS is Windows ")));

    answers_ = {QMessageBox::No};
    frame_->LXMMenuLXHomePageClick();
    EXPECT_TRUE(opened_.empty());
    EXPECT_TRUE(
        asked_.back().Text.startsWith(QStringLiteral("Lorvex for Windows Home Page へ接続しますか？")));
    EXPECT_EQ(asked_.back().DefaultButton, QMessageBox::No);
    answers_ = {QMessageBox::Yes};
    frame_->LXMMenuLXHomePageClick();
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0].scheme(), QStringLiteral("https"));
}

TEST_F(FrameTest, HelpFilesAreLookedForInTheInstallPath) {
    // The settings name the install folder; start-up takes the help files from there.
    const QString store = UserSettingsFilePath();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(store).path()));
    ASSERT_TRUE(WriteBytes(store, QByteArray("[Configuration]\r\nInstall Path=") +
                                      QFile::encodeName(dir_.path()) + "\r\n"));
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(frame_->StartUp(QString()));
    QDir::setCurrent(saved);
    QFile::remove(store);
    EXPECT_EQ(frame_->HelpFilePath(), Path("LXWHelp.chm"));
    EXPECT_EQ(frame_->TutorFilePath(), Path("DOdero.chm"));

    answers_ = {QMessageBox::Ok};
    frame_->LXMMenuLXHelpClick(); // not there: reported, nothing opened
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_TRUE(asked_[0].Text.contains(QStringLiteral("LXWHelp.chm")));
    EXPECT_TRUE(opened_.empty());

    ASSERT_TRUE(WriteBytes(Path("DOdero.chm"), "help"));
    frame_->LXMMenuBasicTutorClick();
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], QUrl::fromLocalFile(Path("DOdero.chm")));
}

TEST_F(FrameTest, DeletingTheIniFileAsksFirst) {
    const QString exeDir = Settings.ExeDir;
    Settings.ExeDir = dir_.path();
    ASSERT_TRUE(WriteBytes(IniSettingsFilePath(), "[Configuration]\r\n"));
    answers_ = {QMessageBox::No};
    frame_->LXMMenuDeleteIniFileClick();
    EXPECT_TRUE(QFileInfo::exists(IniSettingsFilePath()));
    EXPECT_TRUE(asked_.back().Text.contains(QStringLiteral("Lorvex のiniファイルを削除しますか。")));
    answers_ = {QMessageBox::Yes};
    frame_->LXMMenuDeleteIniFileClick();
    EXPECT_FALSE(QFileInfo::exists(IniSettingsFilePath()));
    Settings.ExeDir = exeDir;
}

// ---- the end of the application --------------------------------------------------------------------------

TEST_F(FrameTest, NoToTheExitQuestionKeepsEverythingAndLeavesTheStopRequest) {
    int mediaClosed = 0;
    WinHooks.CloseMediaPlayerHook = [&] { ++mediaClosed; };
    answers_ = {QMessageBox::No};
    frame_->LXMMenuExitClick();
    EXPECT_TRUE(frame_->isVisible());
    EXPECT_EQ(Rc.StopRequest.load(), 1);
    EXPECT_EQ(mediaClosed, 0);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].Text, QStringLiteral("Lorvex を終了しますか？"));

    bool closed = false;
    QObject::connect(frame_.get(), &TLxFrameForm::Closed, [&] { closed = true; });
    answers_ = {QMessageBox::Yes};
    frame_->LXMMenuExitClick();
    EXPECT_FALSE(frame_->isVisible());
    EXPECT_TRUE(closed);
    EXPECT_EQ(mediaClosed, 1);
}

TEST_F(FrameTest, WithoutTheExitCheckTheFrameClosesAtOnce) {
    Rc.ExitMessageCheck = 0;
    EXPECT_TRUE(frame_->close());
    EXPECT_TRUE(asked_.empty());
}

TEST_F(FrameTest, AModifiedEditorCanStillCancelTheEnd) {
    ASSERT_TRUE(WriteBytes(Path("prog.lxt"), "PRINT 1\r\n"));
    TLXEditForm* editor = frame_->OpenFileInEditor(Path("prog.lxt"), QStringLiteral("Auto"));
    ASSERT_NE(editor, nullptr);
    editor->Editor->selectAll();
    editor->Editor->insertPlainText(QStringLiteral("PRINT 2"));
    answers_ = {QMessageBox::Yes, QMessageBox::Cancel};
    EXPECT_FALSE(frame_->close());
    EXPECT_TRUE(frame_->isVisible());
    EXPECT_EQ(EditorCount(), 1);

    answers_ = {QMessageBox::Yes, QMessageBox::Yes};
    EXPECT_TRUE(frame_->close());
    EXPECT_EQ(ReadBytes(Path("prog.lxt")), QByteArray("PRINT 2"));
}

TEST_F(FrameTest, ExitDuringARunStopsTheProgramAndEndsCleanly) {
    TLXEditForm* editor = frame_->NewEditor();
    editor->Editor->setPlainText(QStringLiteral("PRINT \"looping\"\nDO\nLOOP"));
    editor->Editor->document()->setModified(false);
    // Runs the program until it is in its loop (its k-th line shown), then asks to exit with `answer`.
    const auto exitWhileLooping = [&](int k, QMessageBox::StandardButton answer) {
        editor->LXEMenuRunLXClick();
        ASSERT_EQ(Rc.ThreadBusy.load(), 1);
        ASSERT_TRUE(PumpUntil([k] { return Win.RunForm->Text().count(QStringLiteral("looping")) == k; }));
        answers_ = {answer};
        frame_->LXMMenuExitClick();
    };
    exitWhileLooping(1, QMessageBox::No);
    EXPECT_TRUE(frame_->isVisible());
    ASSERT_TRUE(WaitForRunEnd(Win.RunForm)); // the stop request ends the loop even though the frame stays
    EXPECT_EQ(Rc.ThreadBusy.load(), 0);

    exitWhileLooping(2, QMessageBox::Yes);
    EXPECT_FALSE(frame_->isVisible());
    TLXMTHread::StopAndJoin();
    EXPECT_EQ(Rc.ThreadBusy.load(), 0);
}

// ---- the standard dialogs' layout -----------------------------------------------------------------------

namespace {

// How long a dialog is watched for what it should show (a folder is read in the background).
constexpr qint64 DialogLookMs = 5000;

// Runs `look` on the dialog of type D once it is open and `ready` holds (or after a while), then closes
// it; `show` opens it and returns when it is closed.
template <typename D>
bool LookAtDialog(const std::function<void()>& show, const std::function<bool(D&)>& ready) {
    bool seen = false;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        seen = ready(*dialog);
        if (seen || clock.elapsed() > DialogLookMs) dialog->reject();
    });
    poll.start();
    show();
    return seen;
}

} // namespace

TEST(StandardDialogs, AMessageBoxBreaksItsTextOnlyAtPathSeparatorsAndBlanks) {
    const QString missing = QStringLiteral("ヘルプファイル %1 が見つかりません。");
    const QFont font = QApplication::font();
    const QFontMetrics metrics(font);
    // Narrow: the path goes on lines of its own, broken after its separators.
    const QString text = missing.arg(QStringLiteral("/usr/share/lorvex/documents/LXWHelp.chm"));
    const QStringList lines =
        MessageBoxLines(text, font, metrics.horizontalAdvance(QStringLiteral("/usr/share/")));
    ASSERT_GT(lines.size(), 2);
    EXPECT_EQ(lines.front(), QStringLiteral("ヘルプファイル"));
    EXPECT_EQ(lines.back(), QStringLiteral("が見つかりません。"));
    for (qsizetype i = 1; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(lines[i].endsWith(u'/') || lines[i] == QStringLiteral("LXWHelp.chm"))
            << lines[i].toStdString();
    EXPECT_EQ(MessageBoxLines(text, font, metrics.horizontalAdvance(text)), QStringList{text});

    // A line wider than the toolkit's own limit (half a small screen) but within the screen stays one
    // line: the box grows instead of breaking it in the middle of a word.
    const int halfScreen = QApplication::primaryScreen()->availableGeometry().width() / 2;
    QString path = QStringLiteral("/tmp/");
    while (metrics.horizontalAdvance(missing.arg(path + QStringLiteral("/LXWHelp.chm"))) <= halfScreen + 20)
        path += u'x';
    MessageRequest request;
    request.Text = missing.arg(path + QStringLiteral("/LXWHelp.chm"));
    request.Caption = QStringLiteral("Lorvex for Windows");
    QString shown;
    int labelWidth = 0;
    EXPECT_TRUE(LookAtDialog<QMessageBox>([&] { DefaultMessageBox(nullptr, request); },
                                          [&](QMessageBox& box) {
                                              auto* label =
                                                  box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
                                              if (label == nullptr || !box.isVisible()) return false;
                                              shown = label->text();
                                              labelWidth = label->contentsRect().width();
                                              return true;
                                          }));
    EXPECT_EQ(shown, request.Text);
    EXPECT_GE(labelWidth, QFontMetrics(QApplication::font("QMessageBox")).horizontalAdvance(request.Text));
}

TEST(StandardDialogs, AFileDialogShowsItsColumnsWhole) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("a program with a rather long name.lxt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(824, 'x'));
    file.close();
    TextFileDialogRequest request;
    request.Title = QStringLiteral("Open a Program");
    request.Folder = dir.path();
    request.Filters << QStringLiteral("All (*)");
    request.Encodings << QStringLiteral("Auto");
    QSize size;
    QString cut;
    const bool whole = LookAtDialog<QFileDialog>(
        [&] { DefaultTextFileDialog(nullptr, request); },
        [&](QFileDialog& dialog) {
            size = dialog.size();
            auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
            if (list == nullptr || list->model()->rowCount(list->rootIndex()) == 0) return false;
            for (int column = 0; column < list->header()->count(); ++column)
                if (list->header()->sectionSize(column) <
                    static_cast<QAbstractItemView*>(list)->sizeHintForColumn(column)) {
                    cut = list->model()->headerData(column, Qt::Horizontal).toString();
                    return false;
                }
            return true;
        });
    EXPECT_TRUE(whole) << "cut column: " << cut.toStdString();
    const QSize screen = QApplication::primaryScreen()->availableGeometry().size();
    EXPECT_GE(size.width(), std::min(800, screen.width() * 8 / 10));
}
