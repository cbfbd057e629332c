// The editor window: loading and saving in every encoding with the backup rule and the line ends of
// the file, the faults a save must not commit (lost files, silent replacement of characters, a wrong
// encoding name), the close question, the status bar, printing, and the run commands with the
// selection of a run's error.
#include "ui/editform.h"

#include "core/encodedetect.h"
#include "core/sharedstate.h"
#include "engine/enginehooks.h"
#include "engine/lxthread.h"
#include "platform/settings.h"
#include "tests/runsupport.h"
#include "tests/testsupport.h"
#include "tests/windowsupport.h"
#include "ui/colorfont.h"
#include "ui/findreplace.h"
#include "ui/mainframe.h"
#include "ui/runform.h"
#include "ui/statedump.h"
#include "ui/syntaxcolor.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <set>

namespace {

// Replaces the text as typing would (setPlainText would clear the modified flag).
void Type(TLXEditForm* editor, const QString& text) {
    QTextCursor cursor(editor->Editor->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
}

QByteArray Encoded(const QString& encodingName, const QString& text) {
    const std::unique_ptr<TEncoding> encoding = EncodingFromName(encodingName);
    return encoding->GetPreamble() + encoding->GetBytes(text);
}

// Answers the message boxes in order and records what they asked.
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallEngineReset();
        WinHooks.MessageBoxHook = AnswerFromScript(answers_, asked_);
        WinHooks.TextFileDialogHook = [this](QWidget*, const TextFileDialogRequest& request) {
            dialogRequests_.push_back(request);
            return dialogChoice_;
        };
        Rc.ThreadBusy = 0;
        Rc.ProgramRunning = 0;
        Rc.StopRequest = 0;
    }

    void TearDown() override {
        TLXMTHread::StopAndJoin();
        WinHooks.MessageBoxHook = nullptr;
        WinHooks.TextFileDialogHook = nullptr;
        WinHooks.PrintDialogHook = nullptr;
        EXPECT_TRUE(answers_.empty()) << "a question that was expected was not asked";
    }

    QString Path(const QString& name) const { return dir_.FilePath(name); }

    // A bare editor window (no frame), deleted with the test.
    TLXEditForm* NewEditor() {
        auto* editor = new TLXEditForm;
        editor->setAttribute(Qt::WA_DeleteOnClose, false);
        editors_.emplace_back(editor);
        return editor;
    }

    // A bare editor on the file `name`, written as `bytes` first and opened in `encoding`; null when it
    // cannot be written or does not open.
    TLXEditForm* EditorOnFile(const char* name, const QByteArray& bytes,
                              const QString& encoding = QStringLiteral("Auto")) {
        const ::testing::AssertionResult written = WriteBytes(Path(name), bytes);
        EXPECT_TRUE(written);
        if (!written) return nullptr;
        TLXEditForm* editor = NewEditor();
        return editor->Open(Path(name), encoding) ? editor : nullptr;
    }

    TemporaryCurrentFolder dir_;
    std::deque<QMessageBox::StandardButton> answers_;
    std::vector<MessageRequest> asked_;
    std::vector<TextFileDialogRequest> dialogRequests_;
    std::optional<TextFileChoice> dialogChoice_;
    std::vector<std::unique_ptr<TLXEditForm>> editors_;
};

const QString JapaneseText = QStringLiteral("' 日本語のテスト\r\nPRINT \"漢字かなカナ\"\r\nEND\r\n");

} // namespace

// ---- line ends and error places -----------------------------------------------------------------------

TEST(EditorText, LineEndsAreTakenFromTheFirstLineEndAndApplied) {
    EXPECT_EQ(DetectLineEnds(QStringLiteral("a\r\nb\nc")), LineEndKind::CrLf);
    EXPECT_EQ(DetectLineEnds(QStringLiteral("a\nb\r\n")), LineEndKind::Lf);
    EXPECT_EQ(DetectLineEnds(QStringLiteral("a\rb")), LineEndKind::Cr);
    EXPECT_EQ(DetectLineEnds(QStringLiteral("no line end")), LineEndKind::CrLf);
    EXPECT_EQ(DetectLineEnds(QString()), LineEndKind::CrLf);

    const QString mixed = QStringLiteral("a\r\nb\nc\rd");
    EXPECT_EQ(WithLineEnds(mixed, LineEndKind::CrLf), QStringLiteral("a\r\nb\r\nc\r\nd"));
    EXPECT_EQ(WithLineEnds(mixed, LineEndKind::Lf), QStringLiteral("a\nb\nc\nd"));
    EXPECT_EQ(WithLineEnds(mixed, LineEndKind::Cr), QStringLiteral("a\rb\rc\rd"));
}

TEST(EditorText, ErrorPlaceFollowsLinesOfTheCompiledText) {
    // The error names the character at offset position - 1 (1-based) of the compiled text.
    const QString text = QStringLiteral("AB\r\nCDE\r\nF");
    auto place = [&](int position) {
        const TextPlace p = ErrorPlaceInText(text, position);
        return std::make_pair(p.Line, p.Column);
    };
    EXPECT_EQ(place(2), std::make_pair(0, 0));  // "A"
    EXPECT_EQ(place(3), std::make_pair(0, 1));  // "B"
    EXPECT_EQ(place(4), std::make_pair(0, 2));  // the CR: end of line 1
    EXPECT_EQ(place(5), std::make_pair(0, 2));  // the LF stands at the end of its line too
    EXPECT_EQ(place(6), std::make_pair(1, 0));  // "C"
    EXPECT_EQ(place(8), std::make_pair(1, 2));  // "E"
    EXPECT_EQ(place(11), std::make_pair(2, 0)); // "F"
    // Out of range: clamped to the first and the last character.
    EXPECT_EQ(place(0), std::make_pair(0, 0));
    EXPECT_EQ(place(1000), std::make_pair(2, 0));
    EXPECT_EQ(ErrorPlaceInText(QString(), 5).Line, 0);
}

// ---- creation and loading -------------------------------------------------------------------------

TEST_F(EditorTest, NewWindowsAreNumberedAndOpeningGivesTheNumberBack) {
    const int before = Win.UntitledCounter;
    TLXEditForm* first = NewEditor();
    TLXEditForm* second = NewEditor();
    EXPECT_EQ(first->FileName, QStringLiteral("Untitled%1").arg(before + 1));
    EXPECT_EQ(second->windowTitle(), QStringLiteral("Untitled%1").arg(before + 2));
    EXPECT_EQ(first->EncodingName, QStringLiteral("UnSaved"));

    TLXEditForm* opened = EditorOnFile("prog.lxt", "PRINT 1\r\n");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->windowTitle(), QStringLiteral("prog.lxt"));
    EXPECT_EQ(NewEditor()->FileName, QStringLiteral("Untitled%1").arg(before + 3));
}

TEST_F(EditorTest, OpensEveryEncodingByNameAndByDetection) {
    const QStringList names = {QStringLiteral("SJIS"),
                               QStringLiteral("EUC"),
                               QStringLiteral("JIS"),
                               QStringLiteral("Unicode"),
                               QStringLiteral("Big Endian Unicode"),
                               QStringLiteral("UTF-8"),
                               QStringLiteral("UTF-8BOM")};
    const QString expected = WithLineEnds(JapaneseText, LineEndKind::Lf);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString path = Path(QStringLiteral("enc-%1.lxt").arg(names.indexOf(name)));
        ASSERT_TRUE(WriteBytes(path, Encoded(name, JapaneseText)));

        TLXEditForm* chosen = NewEditor();
        ASSERT_TRUE(chosen->Open(path, name));
        EXPECT_EQ(chosen->EditorText(), expected);
        EXPECT_EQ(chosen->EncodingName, name);
        EXPECT_FALSE(chosen->IsModified());

        TLXEditForm* detected = NewEditor();
        ASSERT_TRUE(detected->Open(path, QStringLiteral("Auto")));
        EXPECT_EQ(detected->EditorText(), expected);
        EXPECT_EQ(detected->EncodingName, name);
    }
}

TEST_F(EditorTest, AFileThatCannotBeLoadedLeavesTheWindowUntitledAndIsNeverOverwritten) {
    // A folder named like a program stands for a file that cannot be read.
    ASSERT_TRUE(QDir(dir_.Path()).mkdir(QStringLiteral("prog.lxt")));
    TLXEditForm* editor = NewEditor();
    const QString untitled = editor->FileName;
    Type(editor, QStringLiteral("typed before"));
    answers_ = {QMessageBox::Ok, QMessageBox::Ok};
    EXPECT_FALSE(editor->Open(Path("prog.lxt"), QStringLiteral("Auto")));
    EXPECT_FALSE(editor->Open(Path("missing.lxt"), QStringLiteral("SJIS")));
    ASSERT_EQ(asked_.size(), 2u);
    EXPECT_TRUE(asked_[0].Text.contains(QStringLiteral("prog.lxt")));
    EXPECT_EQ(editor->FileName, untitled);
    EXPECT_EQ(editor->windowTitle(), untitled);
    EXPECT_EQ(editor->EditorText(), QStringLiteral("typed before"));

    // Saving writes the window's own name in the current folder; the folder is left alone.
    ASSERT_TRUE(editor->LXEMenuSaveClick());
    EXPECT_TRUE(QFileInfo(Path("prog.lxt")).isDir());
    EXPECT_EQ(ReadBytes(Path(untitled)), QByteArray("typed before"));
    EXPECT_FALSE(QFileInfo::exists(Path("missing.lxt")));
}

// ---- saving ---------------------------------------------------------------------------------------------

TEST_F(EditorTest, SavesInEveryEncodingAndKeepsTheNameChosen) {
    const QStringList names = {QStringLiteral("Unicode"),  QStringLiteral("Big Endian Unicode"),
                               QStringLiteral("SJIS"),     QStringLiteral("EUC"),
                               QStringLiteral("JIS"),      QStringLiteral("UTF-8"),
                               QStringLiteral("UTF-8BOM"), QStringLiteral("Default")};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString path = Path(QStringLiteral("save-%1.lxt").arg(names.indexOf(name)));
        TLXEditForm* editor = NewEditor();
        Type(editor, WithLineEnds(JapaneseText, LineEndKind::Lf));
        ASSERT_TRUE(editor->WriteToFile(path, name));
        EXPECT_EQ(ReadBytes(path), Encoded(name, JapaneseText)); // a new text is written with CR LF
        EXPECT_EQ(editor->EncodingName, name);
        EXPECT_EQ(editor->FileName, QFileInfo(path).absoluteFilePath());
        EXPECT_FALSE(editor->IsModified());

        TLXEditForm* reread = NewEditor();
        ASSERT_TRUE(reread->Open(path, name));
        EXPECT_EQ(reread->EditorText(), editor->EditorText());
    }
}

TEST_F(EditorTest, ShiftJisStaysShiftJisWhenTheTextIsPlainAscii) {
    TLXEditForm* editor = EditorOnFile("ascii.lxt", "PRINT 1\r\n", QStringLiteral("SJIS"));
    ASSERT_NE(editor, nullptr);
    editor->Editor->appendPlainText(QStringLiteral("PRINT 2"));
    ASSERT_TRUE(editor->LXEMenuSaveClick());
    EXPECT_EQ(editor->EncodingName, QStringLiteral("SJIS"));
    // Later Japanese text is then written as Shift-JIS, not in the system code page.
    editor->Editor->appendPlainText(QStringLiteral("PRINT \"漢字\""));
    ASSERT_TRUE(editor->LXEMenuSaveClick());
    EXPECT_EQ(ReadBytes(Path("ascii.lxt")), Encoded(QStringLiteral("SJIS"), editor->ProgramSource()));
}

TEST_F(EditorTest, SavingTwiceKeepsThePreviousVersionAsBak) {
    TLXEditForm* editor = EditorOnFile("prog.lxt", "PRINT 0\r\n");
    ASSERT_NE(editor, nullptr);
    Type(editor, QStringLiteral("PRINT 1"));
    ASSERT_TRUE(editor->LXEMenuSaveClick());
    EXPECT_EQ(ReadBytes(Path("prog.BAK")), QByteArray("PRINT 0\r\n"));
    EXPECT_EQ(ReadBytes(Path("prog.lxt")), QByteArray("PRINT 1"));

    Type(editor, QStringLiteral("PRINT 2"));
    ASSERT_TRUE(editor->LXEMenuSaveClick());
    EXPECT_EQ(ReadBytes(Path("prog.BAK")), QByteArray("PRINT 1"));
    EXPECT_EQ(ReadBytes(Path("prog.lxt")), QByteArray("PRINT 2"));
    EXPECT_EQ(QDir(dir_.Path()).entryList(QDir::Files).size(), 2); // no temporary file left behind
}

TEST_F(EditorTest, AFileNamedBakIsNotDeletedAsItsOwnBackup) {
    TLXEditForm* editor = EditorOnFile("old.BAK", "PRINT 0\r\n");
    ASSERT_NE(editor, nullptr);
    Type(editor, QStringLiteral("PRINT 1\nPRINT 2"));
    ASSERT_TRUE(editor->LXEMenuSaveClick());
    EXPECT_EQ(ReadBytes(Path("old.BAK")), QByteArray("PRINT 1\r\nPRINT 2"));
}

TEST_F(EditorTest, FilesAreSavedWithTheLineEndsTheyWereLoadedWith) {
    ASSERT_TRUE(WriteBytes(Path("lf.lxt"), "A\nB\n"));
    ASSERT_TRUE(WriteBytes(Path("cr.lxt"), "A\rB\r"));
    ASSERT_TRUE(WriteBytes(Path("crlf.lxt"), "A\r\nB\r\n"));
    for (const char* name : {"lf.lxt", "cr.lxt", "crlf.lxt"}) {
        SCOPED_TRACE(name);
        const QByteArray original = ReadBytes(Path(name));
        TLXEditForm* editor = NewEditor();
        ASSERT_TRUE(editor->Open(Path(name), QStringLiteral("Auto")));
        // The interpreter always gets CR LF.
        EXPECT_EQ(editor->ProgramSource(), QStringLiteral("A\r\nB\r\n"));
        editor->Editor->document()->setModified(true);
        ASSERT_TRUE(editor->LXEMenuSaveClick());
        EXPECT_EQ(ReadBytes(Path(name)), original);
    }
}

TEST_F(EditorTest, EveryCharacterOfTheTextIsSaved) {
    // No-break spaces and tabs are program text like any other character.
    const QString text = QStringLiteral("PRINT \"a\u00A0b\"\t' c\u3000d");
    TLXEditForm* editor = NewEditor();
    Type(editor, text);
    ASSERT_TRUE(editor->WriteToFile(Path("chars.lxt"), QStringLiteral("UTF-8")));
    EXPECT_EQ(ReadBytes(Path("chars.lxt")), text.toUtf8());
}

TEST_F(EditorTest, CharactersTheEncodingCannotHoldAreReplacedOnlyWhenTheUserAgrees) {
    TLXEditForm* editor = EditorOnFile("prog.lxt", "PRINT 0\r\n");
    ASSERT_NE(editor, nullptr);
    Type(editor, QStringLiteral("PRINT \"漢字\""));

    answers_ = {QMessageBox::No};
    EXPECT_FALSE(editor->WriteToFile(Path("prog.lxt"), QStringLiteral("ASCII")));
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_TRUE(asked_[0].Text.contains(QStringLiteral("ASCII")));
    EXPECT_EQ(ReadBytes(Path("prog.lxt")), QByteArray("PRINT 0\r\n"));
    EXPECT_FALSE(QFileInfo::exists(Path("prog.BAK")));
    EXPECT_TRUE(editor->IsModified());

    answers_ = {QMessageBox::Yes};
    EXPECT_TRUE(editor->WriteToFile(Path("prog.lxt"), QStringLiteral("ASCII")));
    EXPECT_EQ(ReadBytes(Path("prog.lxt")), QByteArray("PRINT \"??\""));
    EXPECT_EQ(editor->EncodingName, QStringLiteral("ASCII"));

    // Shift-JIS holds these characters: no question.
    EXPECT_TRUE(editor->WriteToFile(Path("prog.lxt"), QStringLiteral("SJIS")));
}

TEST_F(EditorTest, AWriteThatFailsIsReportedAndLosesNothing) {
    TLXEditForm* editor = NewEditor();
    const QString untitled = editor->FileName;
    Type(editor, QStringLiteral("PRINT 1"));
    answers_ = {QMessageBox::Ok};
    EXPECT_FALSE(editor->WriteToFile(Path("no-such-folder/prog.lxt"), QStringLiteral("UTF-8")));
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_TRUE(asked_[0].Text.contains(QStringLiteral("prog.lxt")));
    EXPECT_TRUE(editor->IsModified());
    EXPECT_EQ(editor->FileName, untitled);
    EXPECT_EQ(editor->EncodingName, QStringLiteral("UnSaved"));
}

TEST_F(EditorTest, ABackupThatCannotBeMadeStopsTheSaveBeforeTheFileIsTouched) {
    ASSERT_TRUE(WriteBytes(Path("prog.lxt"), "PRINT 0\r\n"));
    // A folder that is not empty cannot be removed to make room for the new backup.
    ASSERT_TRUE(QDir(dir_.Path()).mkpath(QStringLiteral("prog.BAK/inside")));
    TLXEditForm* editor = NewEditor();
    ASSERT_TRUE(editor->Open(Path("prog.lxt"), QStringLiteral("Auto")));
    Type(editor, QStringLiteral("PRINT 1"));
    answers_ = {QMessageBox::Ok};
    EXPECT_FALSE(editor->LXEMenuSaveClick());
    EXPECT_EQ(ReadBytes(Path("prog.lxt")), QByteArray("PRINT 0\r\n"));
    EXPECT_TRUE(QFileInfo(Path("prog.BAK/inside")).isDir());
    EXPECT_TRUE(editor->IsModified());
    EXPECT_EQ(QDir(dir_.Path()).entryList(QDir::Files).size(), 1);
}

TEST_F(EditorTest, ANewWindowIsSavedUnderItsUntitledNameInTheCurrentFolder) {
    TLXEditForm* editor = NewEditor();
    const QString untitled = editor->FileName;
    Type(editor, QStringLiteral("PRINT 1\nPRINT 2"));
    ASSERT_TRUE(editor->LXEMenuSaveClick());
    EXPECT_EQ(ReadBytes(Path(untitled)), QByteArray("PRINT 1\r\nPRINT 2"));
    EXPECT_EQ(editor->EncodingName, QStringLiteral("Default"));
    EXPECT_EQ(editor->FileName, QFileInfo(Path(untitled)).absoluteFilePath());
}

TEST_F(EditorTest, SaveAsOffersTheCurrentEncodingAndWritesTheChosenOne) {
    TLXEditForm* editor =
        EditorOnFile("prog.lxt", Encoded(QStringLiteral("SJIS"), QStringLiteral("PRINT \"漢字\"\r\n")),
                     QStringLiteral("SJIS"));
    ASSERT_NE(editor, nullptr);

    dialogChoice_ = std::nullopt; // cancelled: nothing happens
    EXPECT_FALSE(editor->LXEMenuSaveAsClick());
    ASSERT_EQ(dialogRequests_.size(), 1u);
    const TextFileDialogRequest& request = dialogRequests_[0];
    EXPECT_TRUE(request.Save);
    EXPECT_EQ(request.Encodings, SaveEncodingNames());
    EXPECT_EQ(request.Encodings.value(request.EncodingIndex), QStringLiteral("SJIS"));
    EXPECT_EQ(request.FileName, editor->FileName);

    dialogChoice_ = TextFileChoice{Path("copy.lxt"), int(SaveEncodingNames().indexOf(QStringLiteral("EUC")))};
    ASSERT_TRUE(editor->LXEMenuSaveAsClick());
    EXPECT_EQ(ReadBytes(Path("copy.lxt")),
              Encoded(QStringLiteral("EUC"), QStringLiteral("PRINT \"漢字\"\r\n")));
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("copy.lxt"));
    EXPECT_EQ(editor->EncodingName, QStringLiteral("EUC"));
    EXPECT_EQ(editor->FileName, QFileInfo(Path("copy.lxt")).absoluteFilePath());
    EXPECT_EQ(ReadBytes(Path("prog.lxt")),
              Encoded(QStringLiteral("SJIS"), QStringLiteral("PRINT \"漢字\"\r\n")));

    // A new window offers "Default" first.
    NewEditor()->LXEMenuSaveAsClick();
    EXPECT_EQ(dialogRequests_.back().EncodingIndex, 0);
}

// ---- closing, status bar, printing -----------------------------------------------------------------------

TEST_F(EditorTest, TheCloseQuestionCanCancelSaveOrDiscard) {
    TLXEditForm* editor = EditorOnFile("prog.lxt", "PRINT 0\r\n");
    ASSERT_NE(editor, nullptr);
    editor->show();
    EXPECT_TRUE(editor->close()); // not modified: no question
    EXPECT_TRUE(asked_.empty());

    editor = NewEditor();
    ASSERT_TRUE(editor->Open(Path("prog.lxt"), QStringLiteral("Auto")));
    editor->show();
    Type(editor, QStringLiteral("PRINT 1"));
    answers_ = {QMessageBox::Cancel};
    EXPECT_FALSE(editor->close());
    EXPECT_TRUE(editor->isVisible());
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_TRUE(asked_[0].Text.contains(editor->FileName));

    answers_ = {QMessageBox::No};
    EXPECT_TRUE(editor->close());
    EXPECT_EQ(ReadBytes(Path("prog.lxt")), QByteArray("PRINT 0\r\n"));

    editor = NewEditor();
    ASSERT_TRUE(editor->Open(Path("prog.lxt"), QStringLiteral("Auto")));
    editor->show();
    Type(editor, QStringLiteral("PRINT 2"));
    answers_ = {QMessageBox::Yes};
    EXPECT_TRUE(editor->close());
    EXPECT_EQ(ReadBytes(Path("prog.lxt")), QByteArray("PRINT 2"));
}

TEST_F(EditorTest, AFailedSaveAtTheCloseQuestionKeepsTheWindowOpen) {
    TLXEditForm* editor = NewEditor();
    editor->show();
    Type(editor, QStringLiteral("PRINT 1"));
    editor->FileName = Path("no-such-folder/prog.lxt");
    answers_ = {QMessageBox::Yes, QMessageBox::Ok};
    EXPECT_FALSE(editor->close());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->IsModified());
}

TEST_F(EditorTest, TheStatusBarShowsFileCaretModifiedModeAndEncoding) {
    TLxFrameForm frame;
    ASSERT_TRUE(WriteBytes(Path("prog.lxt"),
                           Encoded(QStringLiteral("EUC"), QStringLiteral("PRINT 1\r\nPRINT \"漢字\"\r\n"))));
    TLXEditForm* editor = frame.OpenFileInEditor(Path("prog.lxt"), QStringLiteral("Auto"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(Win.LXEditForm.data(), editor);
    EXPECT_EQ(frame.PanelText(0), QStringLiteral("prog.lxt"));
    EXPECT_EQ(frame.PanelText(1), QStringLiteral("    1 行，    1 桁"));
    EXPECT_EQ(frame.PanelText(2), QString());
    EXPECT_EQ(frame.PanelText(3), QStringLiteral("挿入"));
    EXPECT_EQ(frame.PanelText(5), QStringLiteral("EUC"));

    QTextCursor caret = editor->Editor->textCursor();
    caret.setPosition(editor->Editor->document()->findBlockByNumber(1).position() + 7);
    editor->Editor->setTextCursor(caret);
    EXPECT_EQ(frame.PanelText(1), QStringLiteral("    2 行，    8 桁"));
    editor->Editor->insertPlainText(QStringLiteral("X"));
    EXPECT_EQ(frame.PanelText(2), QStringLiteral("変更あり"));

    answers_ = {QMessageBox::No};
    editor->LXEMenuCloseClick();
    for (int i = 0; i < TLxFrameForm::PanelCount; ++i)
        EXPECT_EQ(frame.PanelText(i), QString()) << i;
}

TEST_F(EditorTest, UnusableSizeSettingsGiveTheDefaultSize) {
    const int width = Settings.EditorWidth;
    const int height = Settings.EditorHeight;
    Settings.EditorWidth = 0;
    Settings.EditorHeight = -5;
    TLXEditForm* editor = NewEditor();
    Settings.EditorWidth = width;
    Settings.EditorHeight = height;
    EXPECT_EQ(editor->size(), QSize(400, 250));
}

TEST_F(EditorTest, PrintsTheTextOrTheSelection) {
    TLXEditForm* editor = NewEditor();
    Type(editor, QStringLiteral("PRINT 1\nPRINT 2"));
    bool offered = true;
    QString output;
    WinHooks.PrintDialogHook = [&](QWidget*, QPrinter& printer, bool offerSelection) {
        offered = offerSelection;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(output);
        return true;
    };
    output = Path("all.pdf");
    editor->LXEMenuPrintClick();
    EXPECT_FALSE(offered);
    EXPECT_GT(QFileInfo(output).size(), 0);

    editor->Editor->selectAll();
    output = Path("selection.pdf");
    editor->LXEMenuPrintClick();
    EXPECT_TRUE(offered);
    EXPECT_GT(QFileInfo(output).size(), 0);

    WinHooks.PrintDialogHook = [&](QWidget*, QPrinter&, bool) { return false; }; // cancelled
    output = Path("none.pdf");
    editor->LXEMenuPrintClick();
    EXPECT_FALSE(QFileInfo::exists(output));
}

TEST_F(EditorTest, ThePrintDialogOffersNoPageRangeAndTheSelectionWhenThereIsOne) {
    for (const bool selection : {false, true}) {
        QPrinter printer;
        bool pageRange = true, currentPage = true, offered = !selection, seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            seen = true;
            pageRange = dialog->testOption(QAbstractPrintDialog::PrintPageRange);
            currentPage = dialog->testOption(QAbstractPrintDialog::PrintCurrentPage);
            offered = dialog->testOption(QAbstractPrintDialog::PrintSelection);
            dialog->reject();
        });
        EXPECT_FALSE(DefaultPrintDialog(nullptr, printer, selection));
        ASSERT_TRUE(seen);
        EXPECT_FALSE(pageRange) << selection;
        EXPECT_FALSE(currentPage) << selection;
        EXPECT_EQ(offered, selection);
        EXPECT_EQ(printer.printRange(), selection ? QPrinter::Selection : QPrinter::AllPages);
    }
}

TEST_F(EditorTest, EditItemsAreEnabledBySelectionAndClipboard) {
    TLXEditForm* editor = NewEditor();
    Type(editor, QStringLiteral("PRINT 1"));
    editor->EnableEditItems();
    EXPECT_FALSE(editor->LXEMenuCut->isEnabled());
    EXPECT_FALSE(editor->LXEMenuDelete->isEnabled());
    editor->LXEMenuSelectAllClick();
    editor->EnableEditItems();
    EXPECT_TRUE(editor->LXEMenuCopy->isEnabled());
    editor->LXEMenuDeleteClick();
    EXPECT_EQ(editor->EditorText(), QString());
}

// ---- run commands --------------------------------------------------------------------------------------

class EditorRunTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        runForm_ = std::make_unique<TRunForm>();
        runForm_->CLSBtnClick();
        Win.RunErrorPending = false;
    }
    void TearDown() override {
        TLXMTHread::StopAndJoin();
        runForm_.reset();
        EditorTest::TearDown();
    }
    std::unique_ptr<TRunForm> runForm_;
};

TEST_F(EditorRunTest, RunHandsTheTextWithCrLfAndTheFileFolderToTheInterpreter) {
    TLXEditForm* editor = EditorOnFile("hello.lxt", "PRINT \"Hello\"\nPRINT 1 + 2\n");
    ASSERT_NE(editor, nullptr);
    editor->LXEMenuRunLXClick();
    ASSERT_TRUE(WaitForRunEnd(Win.RunForm));
    EXPECT_EQ(Fe.ProgramText, QStringLiteral("PRINT \"Hello\"\r\nPRINT 1 + 2\r\n"));
    EXPECT_EQ(Fe.ProgramTextLength, Fe.ProgramText.size());
    EXPECT_EQ(Fe.ProgramFolder, QFileInfo(Path("hello.lxt")).absolutePath());
    EXPECT_TRUE(runForm_->Text().contains(QStringLiteral("Hello\n 3\nOK"))) << runForm_->Text().toStdString();
    EXPECT_EQ(Rc.ThreadBusy.load(), 0);
}

TEST_F(EditorRunTest, RunDoesNothingWhileAProgramIsActiveAndStopAlwaysRequests) {
    TLXEditForm* editor = NewEditor();
    Type(editor, QStringLiteral("PRINT 7"));
    Rc.ProgramRunning = 1;
    Fe.ProgramText = QStringLiteral("unchanged");
    editor->LXEMenuRunLXClick();
    EXPECT_EQ(Fe.ProgramText, QStringLiteral("unchanged"));
    EXPECT_EQ(Rc.ThreadBusy.load(), 0);
    Rc.ProgramRunning = 0;

    editor->LXEMenuStopLXClick();
    EXPECT_EQ(Rc.StopRequest.load(), 1);
}

TEST_F(EditorRunTest, StopAndContinueALongRun) {
    TLXEditForm* editor = NewEditor();
    Type(editor, QStringLiteral("PRINT \"looping\"\nDO\nLOOP"));
    editor->LXEMenuRunLXClick();
    EXPECT_EQ(Rc.ThreadBusy.load(), 1);
    ASSERT_TRUE(PumpUntil([this] { return runForm_->Text().contains(QStringLiteral("looping")); }));
    editor->LXEMenuRunLXClick(); // F9 during the run: nothing
    editor->LXEMenuStopLXClick();
    ASSERT_TRUE(WaitForRunEnd(Win.RunForm));
    EXPECT_EQ(Rc.ThreadBusy.load(), 0);
    EXPECT_TRUE(runForm_->Text().contains(QStringLiteral("実行中断しました")));

    // A stop asked for while CONT is still starting ends the resumed run all the same. The run window,
    // minimised meanwhile, comes back: a minimised window would take no focus.
    runForm_->showMinimized();
    editor->LXEMenuContLXClick();
    EXPECT_EQ(Rc.ThreadBusy.load(), 1) << runForm_->Text().toStdString();
    EXPECT_FALSE(runForm_->isMinimized());
    EXPECT_EQ(Fe.CommandText, QStringLiteral("Cont"));
    editor->LXEMenuStopLXClick();
    ASSERT_TRUE(WaitForRunEnd(Win.RunForm));
    EXPECT_EQ(Rc.ThreadBusy.load(), 0);
}

TEST_F(EditorRunTest, AFailedRunSelectsTheErrorOnceInTheNextEditorActivated) {
    TLXEditForm* editor = NewEditor();
    Type(editor, QStringLiteral("PRINT 1\nPRINT 2 +\nPRINT 3"));
    editor->LXEMenuRunLXClick();
    ASSERT_TRUE(WaitForRunEnd(Win.RunForm));
    const PublishedError error = LastRunError();
    ASSERT_GT(error.Number, 0) << runForm_->Text().toStdString();

    TLXEditForm* other = NewEditor();
    Type(other, editor->EditorText());
    other->FormActivate();
    const QTextCursor selected = other->Editor->textCursor();
    EXPECT_EQ(selected.selectionEnd() - selected.selectionStart(), 1);
    EXPECT_EQ(other->Editor->document()->findBlock(selected.selectionStart()).blockNumber(), 1);

    // Once only.
    QTextCursor caret = editor->Editor->textCursor();
    caret.setPosition(0);
    editor->Editor->setTextCursor(caret);
    editor->FormActivate();
    EXPECT_FALSE(editor->Editor->textCursor().hasSelection());
}

TEST_F(EditorRunTest, ARunWithoutErrorSelectsNothing) {
    TLXEditForm* editor = NewEditor();
    Type(editor, QStringLiteral("PRINT 1"));
    editor->LXEMenuRunLXClick();
    ASSERT_TRUE(WaitForRunEnd(Win.RunForm));
    editor->FormActivate();
    EXPECT_FALSE(editor->Editor->textCursor().hasSelection());
    EXPECT_FALSE(Win.RunErrorPending);
}

// ---- the wait window ------------------------------------------------------------------------------------

namespace {

// Records the values the progress bar had when it was painted.
class PaintedValues : public QObject {
public:
    explicit PaintedValues(QProgressBar* bar) : bar_(bar) { bar->installEventFilter(this); }
    std::vector<int> Values;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == bar_ && event->type() == QEvent::Paint) Values.push_back(bar_->value());
        return false;
    }

private:
    QProgressBar* bar_;
};

} // namespace

TEST(WaitWindow, IsOnTheScreenAndPaintedBeforeTheWorkAndShowsItsProgressDuringIt) {
    // The work keeps the event loop waiting: nothing here returns to it.
    TLXLoadWaitForm wait;
    PaintedValues painted(wait.ProgressBar1);
    wait.Begin(1000);
    ASSERT_NE(wait.windowHandle(), nullptr);
    EXPECT_TRUE(wait.windowHandle()->isExposed());
    ASSERT_FALSE(painted.Values.empty());
    EXPECT_EQ(painted.Values.back(), 0);
    QElapsedTimer working;
    working.start();
    int step = 0;
    while ((painted.Values.empty() || painted.Values.back() == 0) && working.elapsed() < 5000)
        wait.Step(++step % 1000);
    EXPECT_GT(painted.Values.back(), 0);
    wait.End();
    EXPECT_FALSE(wait.isVisible());
}

// ---- a long file loads while the windows keep answering -------------------------------------------------

namespace {

// Four kinds of line in turn: keywords, a string, a comment and plain code.
QByteArray LongProgram(int lines) {
    static const char* const kinds[] = {"PRINT \"abc\"; K\n", "IF K > 99 THEN\n", "  K = K + 1 'x\n",
                                        "END IF ' done.\n"};
    QByteArray bytes;
    for (int i = 0; i < lines; ++i)
        bytes += kinds[i % 4];
    return bytes;
}

// Longer than what loads at once: it loads in the background.
constexpr int LongProgramLines = 40000;

// The colour the line's first character shows in.
QColor FirstColour(TLXEditForm* editor, int line) {
    const QTextBlock block = editor->Editor->document()->findBlockByNumber(line);
    editor->SyntaxColor->ShowLines(block, block);
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
        if (range.start == 0) return range.format.foreground().color();
    return {};
}

} // namespace

TEST_F(EditorTest, ALongFileDroppedOnTheFrameLoadsWhileTheEventLoopRunsAndThenEditsLikeAnyOther) {
    const QByteArray program = LongProgram(LongProgramLines);
    ASSERT_TRUE(WriteBytes(Path("long.lxt"), program));
    TLxFrameForm frame;
    frame.show();
    Settings.FormatCheck = 1;

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path("long.lxt"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &drop);
    TLXEditForm* editor = Win.LXEditForm.data();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->IsLoading());
    TLXLoadWaitForm* wait = LXLoadWaitForm();
    EXPECT_TRUE(wait->isVisible());
    EXPECT_FALSE(editor->Editor->isEnabled());

    // The event loop runs between the slices of the load; the bar moves on meanwhile.
    std::set<int> values;
    int turns = 0;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] {
        ++turns;
        values.insert(wait->ProgressBar1->value());
    });
    turn.start(0);
    ASSERT_TRUE(PumpUntil([&] { return !editor->IsLoading(); }, 60000));
    turn.stop();
    EXPECT_GE(turns, 3);
    EXPECT_GE(std::count_if(values.begin(), values.end(), [](int v) { return v > 0 && v < 1000; }), 2);
    EXPECT_FALSE(wait->isVisible());
    EXPECT_TRUE(editor->Editor->isEnabled());
    EXPECT_EQ(editor->EditorText(), QString::fromLatin1(program));
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("long.lxt"));
    EXPECT_FALSE(editor->IsModified());
    EXPECT_EQ(editor->Editor->textCursor().position(), 0);

    // Keys and undo. (The text is longer than the control's maximum length, so it takes no typed
    // characters, as in any editor window; it can be shortened.)
    editor->Editor->setFocus();
    QTest::keyClick(editor->Editor, Qt::Key_Delete);
    EXPECT_EQ(editor->EditorText(), QString::fromLatin1(program.mid(1)));
    EXPECT_TRUE(editor->IsModified());
    editor->LXEMenuUndoClick();
    EXPECT_EQ(editor->EditorText(), QString::fromLatin1(program));

    // Colouring: a dropped file is not coloured; once it is, a line far down takes its colours when
    // it is shown, and an edited line at once.
    const int last = LongProgramLines - 1; // "END IF ' done."
    EXPECT_EQ(FirstColour(editor, last), QColor());
    editor->EditorScan();
    EXPECT_EQ(FirstColour(editor, last), FromColorRef(Settings.EditorKeywordColor));
    QTextCursor caret(editor->Editor->document()->findBlockByNumber(last));
    editor->Editor->setTextCursor(caret);
    for (int i = 0; i < 7; ++i) // "END IF "
        QTest::keyClick(editor->Editor, Qt::Key_Delete);
    EXPECT_EQ(FirstColour(editor, last), FromColorRef(Settings.EditorCommentColor));

    // Find goes down from the caret.
    caret.setPosition(0);
    editor->Editor->setTextCursor(caret);
    editor->FindDialog1->SetFindText(QStringLiteral("end if"));
    editor->FindDialog1Find();
    const QTextCursor found = editor->Editor->textCursor();
    EXPECT_EQ(found.selectedText(), QStringLiteral("END IF"));
    EXPECT_EQ(found.block().blockNumber(), 3);
}

TEST_F(EditorTest, ClosingAWindowWhileItLoadsGivesTheLoadUp) {
    ASSERT_TRUE(WriteBytes(Path("long.lxt"), LongProgram(LongProgramLines)));
    TLxFrameForm frame;
    frame.show();
    bool loaded = false;
    TLXEditForm* editor = frame.OpenFileInEditor(Path("long.lxt"), QStringLiteral("Auto"),
                                                 [&](TLXEditForm*) { loaded = true; });
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->IsLoading());
    const QPointer<TLXEditForm> watched(editor);
    editor->LXEMenuCloseClick();
    ASSERT_TRUE(PumpUntil([&] { return watched.isNull(); }));
    EXPECT_FALSE(LXLoadWaitForm()->isVisible());
    QTest::qWait(50);
    EXPECT_FALSE(loaded);
}

TEST_F(EditorRunTest, TheErrorOfARunIsSelectedInALongLoadedText) {
    // In UTF-16: a file long enough to load in the background, a program short enough to compile.
    constexpr int lines = 12000;
    const QString program = QString::fromLatin1(LongProgram(lines)) + QStringLiteral("PRINT 2 +\n");
    ASSERT_TRUE(WriteBytes(Path("long.lxt"), Encoded(QStringLiteral("Unicode"), program)));
    TLXEditForm* editor = NewEditor();
    bool loaded = false;
    editor->OpenInBackground(Path("long.lxt"), QStringLiteral("Auto"), [&](bool read) { loaded = read; });
    EXPECT_TRUE(editor->IsLoading());
    ASSERT_TRUE(PumpUntil([&] { return loaded; }, 60000));
    EXPECT_EQ(editor->EncodingName, QStringLiteral("Unicode"));
    editor->LXEMenuRunLXClick();
    ASSERT_TRUE(WaitForRunEnd(Win.RunForm, 60000));
    ASSERT_GT(LastRunError().Number, 0) << runForm_->Text().toStdString();
    editor->FormActivate();
    const QTextCursor selected = editor->Editor->textCursor();
    EXPECT_EQ(selected.selectionEnd() - selected.selectionStart(), 1);
    EXPECT_EQ(selected.block().blockNumber(), lines) << runForm_->Text().toStdString();
}

TEST_F(EditorRunTest, ACommandLineRunOfALongFileStartsOnceItsTextIsLoaded) {
    // In UTF-16: long enough to load in the background, short enough to compile.
    QString program;
    for (int i = 0; i < 10000; ++i)
        program += QStringLiteral("' comment %1\n").arg(i, 8);
    program += QStringLiteral("PRINT \"done\"\n");
    ASSERT_TRUE(WriteBytes(Path("long.lxt"), Encoded(QStringLiteral("Unicode"), program)));
    TLxFrameForm frame;
    frame.show();
    frame.HandleCommandLine({QStringLiteral("-A"), Path("long.lxt")});
    ASSERT_FALSE(Win.LXEditForm.isNull());
    EXPECT_TRUE(Win.LXEditForm->IsLoading());
    EXPECT_EQ(Rc.ThreadBusy.load(), 0);
    // The run starts as the load ends (and may end before the next look).
    ASSERT_TRUE(PumpUntil([] { return !Win.LXEditForm->IsLoading(); }, 60000));
    ASSERT_TRUE(WaitForRunEnd(Win.RunForm, 60000));
    EXPECT_TRUE(runForm_->Text().contains(QStringLiteral("done"))) << runForm_->Text().toStdString();
    EXPECT_EQ(Fe.ProgramText, WithLineEnds(program, LineEndKind::CrLf));
}

// ---- the state dump of the desktop tests --------------------------------------------------------------

TEST_F(EditorTest, TheStateDumpFollowsNamesAndTextsAndGivesALongTextAsItsDigest) {
    TLxFrameForm frame;
    frame.show();
    ASSERT_TRUE(WriteBytes(Path("short.lxt"), "PRINT 1\n"));
    TLXEditForm* editor = frame.OpenFileInEditor(Path("short.lxt"), QStringLiteral("Auto"));
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(DesktopStateText().contains(QStringLiteral("\neditor=short.lxt|PRINT 1\\n\n")));
    // A new name without a change of the text (Save As), and a change of the text.
    editor->FileName = Path("renamed.lxt");
    EXPECT_TRUE(DesktopStateText().contains(QStringLiteral("\neditor=renamed.lxt|PRINT 1\\n\n")));
    QTextCursor(editor->Editor->document()).insertText(QStringLiteral("'"));
    EXPECT_TRUE(DesktopStateText().contains(QStringLiteral("\neditor=renamed.lxt|'PRINT 1\\n\n")));

    const QByteArray program = LongProgram(LongProgramLines);
    ASSERT_TRUE(WriteBytes(Path("long.lxt"), program));
    TLXEditForm* longEditor = frame.OpenFileInEditor(Path("long.lxt"), QStringLiteral("Auto"));
    ASSERT_NE(longEditor, nullptr);
    EXPECT_TRUE(DesktopStateText().contains(QStringLiteral("\nloading=")));
    const QString digest =
        QStringLiteral("\neditordigest=long.lxt|%1 lines|%2\n")
            .arg(LongProgramLines + 1)
            .arg(QString::fromLatin1(QCryptographicHash::hash(program, QCryptographicHash::Md5).toHex()));
    ASSERT_TRUE(PumpUntil([&] { return DesktopStateText().contains(digest); }, 60000))
        << DesktopStateText().toStdString();
}
