// The undo ring and the editing keys: the ring's capacity, overflow and redo across its end; what each
// editing action records and how Undo and Redo replay it (clipboard included); the keys of the editor
// window (typing in insert and overwrite mode, Backspace, Delete, Enter, the Insert combinations, the
// cursor mode, the length limit); one ring per window; input-method text.
#include "ui/undobuffer.h"

#include "platform/settings.h"
#include "tests/testsupport.h"
#include "tests/windowsupport.h"
#include "ui/editform.h"
#include "ui/mainframe.h"
#include "ui/syntaxcolor.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QInputMethodEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <memory>

// ---- the ring -----------------------------------------------------------------------------------------

namespace {

int UndoableCount(my_UndoClass& ring) {
    int count = 0;
    while (ring.CanUndo()) {
        ring.GetUndo();
        ++count;
    }
    return count;
}

} // namespace

TEST(UndoRing, CapacityIsLimited) {
    my_UndoClass ring;
    ring.Initialize(50);
    EXPECT_EQ(ring.Capacity, 100);
    ring.Initialize(20000);
    EXPECT_EQ(ring.Capacity, 10000);
    ring.Initialize(1000);
    EXPECT_EQ(ring.Capacity, 1000);
    EXPECT_FALSE(ring.CanUndo());
    EXPECT_FALSE(ring.CanRedo());
}

TEST(UndoRing, AFullRingKeepsTheNewestEntriesButOne) {
    my_UndoClass ring;
    ring.Initialize(1000);
    for (int i = 1; i <= 1000; ++i)
        ring.Add(i, 0, UndoKind::Typing, QString::number(i), QString());
    EXPECT_EQ(ring.GetUndo().Pos, 1000);
    ring.GetRedo();
    EXPECT_EQ(UndoableCount(ring), 999);

    // Far past the capacity: still the newest 99 of a ring of 100, newest first.
    ring.Initialize(100);
    for (int i = 1; i <= 350; ++i)
        ring.Add(i, 0, UndoKind::Typing, QString(), QString());
    std::vector<int> seen;
    while (ring.CanUndo())
        seen.push_back(ring.GetUndo().Pos);
    ASSERT_EQ(seen.size(), 99u);
    EXPECT_EQ(seen.front(), 350);
    EXPECT_EQ(seen.back(), 252);
}

TEST(UndoRing, RedoWalksForwardAcrossTheRingsEndAndANewActionEndsIt) {
    my_UndoClass ring;
    ring.Initialize(100);
    // 130 entries: the newest have wrapped past the last slot.
    for (int i = 1; i <= 130; ++i)
        ring.Add(i, 0, UndoKind::Typing, QString(), QString());
    for (int i = 130; i >= 91; --i)
        EXPECT_EQ(ring.GetUndo().Pos, i);
    for (int i = 91; i <= 130; ++i) {
        ASSERT_TRUE(ring.CanRedo());
        EXPECT_EQ(ring.GetRedo().Pos, i);
    }
    EXPECT_FALSE(ring.CanRedo());

    ring.GetUndo();
    ring.GetUndo();
    EXPECT_TRUE(ring.CanRedo());
    ring.Add(999, 0, UndoKind::Typing, QString(), QString());
    EXPECT_FALSE(ring.CanRedo());
    EXPECT_EQ(ring.GetUndo().Pos, 999);
    EXPECT_EQ(ring.GetUndo().Pos, 128);
}

// ---- recording and replay --------------------------------------------------------------------------------

namespace {

class RecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        ring_.Initialize(my_UndoClass::EditorCapacity);
        QApplication::clipboard()->setText(QStringLiteral("clip"));
    }

    void Set(const QString& text, int start, int end = -1) { SetTextAndSelection(editor_, text, start, end); }
    QString Text() const { return EditorPlainText(editor_); }
    static QString Clip() { return QApplication::clipboard()->text(); }

    my_UndoClass ring_;
    QPlainTextEdit editor_;
};

} // namespace

TEST_F(RecordTest, TypingInsertsAtTheSelectionStartOrOverwritesOneCharacter) {
    // Insert mode with a selection: the character goes in before it, the selected text stays.
    Set(QStringLiteral("abcd"), 1, 3);
    ASSERT_TRUE(RecordTyping(ring_, editor_, QStringLiteral("X"), true, 0));
    EXPECT_EQ(Text(), QStringLiteral("aXbcd"));
    EXPECT_EQ(editor_.textCursor().position(), 2);

    // Overwrite: the character after the caret is replaced...
    Set(QStringLiteral("abcd"), 1);
    RecordTyping(ring_, editor_, QStringLiteral("X"), false, 0);
    EXPECT_EQ(Text(), QStringLiteral("aXcd"));
    // ...a surrogate pair as one character, and never the line break.
    Set(QStringLiteral("a\U0001F600b\nc"), 1);
    RecordTyping(ring_, editor_, QStringLiteral("X"), false, 0);
    EXPECT_EQ(Text(), QStringLiteral("aXb\nc"));
    Set(QStringLiteral("ab\nc"), 2);
    RecordTyping(ring_, editor_, QStringLiteral("X"), false, 0);
    EXPECT_EQ(Text(), QStringLiteral("abX\nc"));

    ASSERT_TRUE(ApplyUndo(ring_));
    EXPECT_EQ(Text(), QStringLiteral("ab\nc"));
    ASSERT_TRUE(ApplyRedo(ring_));
    EXPECT_EQ(Text(), QStringLiteral("abX\nc"));
}

TEST_F(RecordTest, TheLengthLimitRefusesWhatDoesNotFit) {
    Set(QStringLiteral("abc"), 3);
    EXPECT_FALSE(RecordTyping(ring_, editor_, QStringLiteral("d"), true, 3));
    EXPECT_FALSE(RecordNewLine(ring_, editor_, 3));
    EXPECT_EQ(Text(), QStringLiteral("abc"));
    EXPECT_FALSE(ring_.CanUndo()); // nothing recorded for a refused key
    // Overwriting keeps the length: allowed.
    Set(QStringLiteral("abc"), 0);
    EXPECT_TRUE(RecordTyping(ring_, editor_, QStringLiteral("X"), false, 3));
    // A paste takes what fits, never half a surrogate pair.
    QApplication::clipboard()->setText(QStringLiteral("12\U0001F6003"));
    Set(QStringLiteral("ab"), 2);
    EXPECT_TRUE(RecordPaste(ring_, editor_, 5));
    EXPECT_EQ(Text(), QStringLiteral("ab12"));
    Set(QStringLiteral("ab"), 2);
    EXPECT_TRUE(RecordPaste(ring_, editor_, 6));
    EXPECT_EQ(Text(), QStringLiteral("ab12\U0001F600"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("12\U0001F6003")); // kept whole
}

TEST_F(RecordTest, DeleteCutCopyAndPasteAreUndoneWithTheirClipboard) {
    Set(QStringLiteral("one two three"), 4, 7);
    ASSERT_TRUE(RecordCut(ring_, editor_));
    EXPECT_EQ(Text(), QStringLiteral("one  three"));
    EXPECT_EQ(Clip(), QStringLiteral("two"));

    Set(QStringLiteral("one two three"), 0, 3);
    ASSERT_TRUE(RecordCopy(ring_, editor_));
    EXPECT_EQ(Clip(), QStringLiteral("one"));
    // The caret stands at the end of what was copied.
    EXPECT_FALSE(editor_.textCursor().hasSelection());
    EXPECT_EQ(editor_.textCursor().position(), 3);

    // Paste replaces the selection; CR LF from the clipboard becomes one line break.
    QApplication::clipboard()->setText(QStringLiteral("A\r\nB"));
    Set(QStringLiteral("one two three"), 4, 7);
    ASSERT_TRUE(RecordPaste(ring_, editor_, 0));
    EXPECT_EQ(Text(), QStringLiteral("one A\nB three"));
    EXPECT_EQ(editor_.document()->blockCount(), 2);

    Set(QStringLiteral("one A\nB three"), 0, 4);
    ASSERT_TRUE(RecordDelete(ring_, editor_));
    EXPECT_EQ(Text(), QStringLiteral("A\nB three"));

    // Undo in reverse order.
    ApplyUndo(ring_); // delete
    EXPECT_EQ(Text(), QStringLiteral("one A\nB three"));
    ApplyUndo(ring_); // paste: the replaced selection comes back
    EXPECT_EQ(Text(), QStringLiteral("one two three"));
    QApplication::clipboard()->setText(QStringLiteral("other"));
    ApplyUndo(ring_); // copy: selects what was copied, the clipboard gets its earlier text back
    EXPECT_EQ(editor_.textCursor().selectedText(), QStringLiteral("one"));
    EXPECT_EQ(Clip(), QStringLiteral("two"));
    Set(QStringLiteral("one  three"), 0);
    ApplyUndo(ring_); // cut: the text is back, the clipboard as it was before the cut
    EXPECT_EQ(Text(), QStringLiteral("one two three"));
    EXPECT_EQ(Clip(), QStringLiteral("clip"));
    EXPECT_FALSE(ApplyUndo(ring_));

    // Redo forward again.
    ApplyRedo(ring_); // cut
    EXPECT_EQ(Text(), QStringLiteral("one  three"));
    EXPECT_EQ(Clip(), QStringLiteral("two"));
    ApplyRedo(ring_); // copy
    EXPECT_EQ(Clip(), QStringLiteral("one"));
}

TEST_F(RecordTest, NothingToActOnRecordsNothing) {
    Set(QStringLiteral("abc"), 1);
    EXPECT_FALSE(RecordDelete(ring_, editor_));
    EXPECT_FALSE(RecordCut(ring_, editor_));
    EXPECT_FALSE(RecordCopy(ring_, editor_));
    QApplication::clipboard()->setText(QString());
    EXPECT_FALSE(RecordPaste(ring_, editor_, 0));
    EXPECT_FALSE(ring_.CanUndo());
}

TEST_F(RecordTest, AnEntryReplayedAfterTheTextShrankStaysInsideIt) {
    Set(QStringLiteral("abcdef"), 6);
    RecordTyping(ring_, editor_, QStringLiteral("XYZ"), true, 0);
    editor_.setPlainText(QStringLiteral("ab")); // changed outside the ring
    ApplyUndo(ring_);
    EXPECT_EQ(Text(), QStringLiteral("ab"));
    ApplyRedo(ring_);
    EXPECT_EQ(Text(), QStringLiteral("abXYZ"));
}

// ---- the editor window's keys ----------------------------------------------------------------------------

namespace {

class KeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings.CursorMode = 0;
        Settings.FormatCheck = 1;
        WinHooks.MessageBoxHook = [](QWidget*, const MessageRequest& request) {
            ADD_FAILURE() << "unexpected message: " << request.Text.toStdString();
            return QMessageBox::Cancel;
        };
    }
    void TearDown() override {
        WinHooks.MessageBoxHook = nullptr;
        Settings.CursorMode = 0;
    }

    TLXEditForm* NewEditor(const QString& text = QString()) {
        auto* editor = new TLXEditForm;
        editor->setAttribute(Qt::WA_DeleteOnClose, false);
        editors_.emplace_back(editor);
        editor->Editor->setPlainText(text);
        return editor;
    }
    static void Caret(TLXEditForm* editor, int position, int anchor = -1) {
        QTextCursor cursor(editor->Editor->document());
        cursor.setPosition(anchor >= 0 ? anchor : position);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        editor->Editor->setTextCursor(cursor);
    }
    static int CaretAt(TLXEditForm* editor) { return editor->Editor->textCursor().position(); }
    static void Key(TLXEditForm* editor, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(editor->Editor, key, modifiers);
    }

    std::vector<std::unique_ptr<TLXEditForm>> editors_;
};

} // namespace

TEST_F(KeyTest, TypingBackspaceDeleteAndEnterAreRecordedAndUndone) {
    TLXEditForm* editor = NewEditor();
    QTest::keyClicks(editor->Editor, QStringLiteral("PRINT 1"));
    Key(editor, Qt::Key_Return);
    QTest::keyClicks(editor->Editor, QStringLiteral("END\t"));
    EXPECT_EQ(editor->EditorText(), QStringLiteral("PRINT 1\nEND\t"));

    Key(editor, Qt::Key_Backspace); // the tab
    Caret(editor, 0);
    Key(editor, Qt::Key_Backspace); // nothing before the caret
    Key(editor, Qt::Key_Delete);    // the P
    EXPECT_EQ(editor->EditorText(), QStringLiteral("RINT 1\nEND"));
    EXPECT_TRUE(editor->IsModified());

    // Ctrl+Z undoes every step, newest first; Ctrl+Y redoes.
    Key(editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor->EditorText(), QStringLiteral("PRINT 1\nEND"));
    Key(editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor->EditorText(), QStringLiteral("PRINT 1\nEND\t"));
    for (int i = 0; i < 4; ++i)
        Key(editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor->EditorText(), QStringLiteral("PRINT 1\n"));
    Key(editor, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(editor->EditorText(), QStringLiteral("PRINT 1\nE"));
    editor->LXEMenuRedoClick();
    EXPECT_EQ(editor->EditorText(), QStringLiteral("PRINT 1\nEN"));
    // Undo back to the empty text, then no further.
    for (int i = 0; i < 20; ++i)
        editor->LXEMenuUndoClick();
    EXPECT_EQ(editor->EditorText(), QString());
}

TEST_F(KeyTest, BackspaceAndDeleteTakeWholeCharactersAndSelections) {
    TLXEditForm* editor = NewEditor(QStringLiteral("a\U0001F600b"));
    Caret(editor, 3);
    Key(editor, Qt::Key_Backspace);
    EXPECT_EQ(editor->EditorText(), QStringLiteral("ab"));
    editor->Editor->setPlainText(QStringLiteral("a\U0001F600b"));
    Caret(editor, 1);
    Key(editor, Qt::Key_Delete);
    EXPECT_EQ(editor->EditorText(), QStringLiteral("ab"));
    // With a selection both delete it; Delete at a line end joins the lines.
    editor->Editor->setPlainText(QStringLiteral("abc\ndef"));
    Caret(editor, 2, 0);
    Key(editor, Qt::Key_Backspace);
    EXPECT_EQ(editor->EditorText(), QStringLiteral("c\ndef"));
    Caret(editor, 1);
    Key(editor, Qt::Key_Delete);
    EXPECT_EQ(editor->EditorText(), QStringLiteral("cdef"));
    // Ctrl+Backspace is a Backspace (the control's word deletion would bypass the ring).
    QTest::keyClick(editor->Editor, Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(editor->EditorText(), QStringLiteral("def"));
}

TEST_F(KeyTest, InsertTogglesOverwriteModeWhereEnterMakesNoLine) {
    TLXEditForm* editor = NewEditor(QStringLiteral("abc"));
    Caret(editor, 1);
    Key(editor, Qt::Key_Insert);
    EXPECT_EQ(editor->InsertMode, 0);
    QTest::keyClicks(editor->Editor, QStringLiteral("XY"));
    EXPECT_EQ(editor->EditorText(), QStringLiteral("aXY"));
    QTest::keyClicks(editor->Editor, QStringLiteral("Z")); // at the line end: added
    EXPECT_EQ(editor->EditorText(), QStringLiteral("aXYZ"));
    Key(editor, Qt::Key_Return);
    EXPECT_EQ(editor->EditorText(), QStringLiteral("aXYZ"));
    Key(editor, Qt::Key_Insert, Qt::AltModifier); // Alt+Insert: nothing
    EXPECT_EQ(editor->InsertMode, 0);
    Key(editor, Qt::Key_X, Qt::AltModifier); // a command key, not text
    EXPECT_EQ(editor->EditorText(), QStringLiteral("aXYZ"));
    Key(editor, Qt::Key_Insert);
    EXPECT_EQ(editor->InsertMode, 1);
    Key(editor, Qt::Key_Return);
    EXPECT_EQ(editor->EditorText(), QStringLiteral("aXYZ\n"));

    // Insert mode with a selection: typed text goes in before it.
    editor->Editor->setPlainText(QStringLiteral("abcd"));
    Caret(editor, 3, 1);
    QTest::keyClicks(editor->Editor, QStringLiteral("X"));
    EXPECT_EQ(editor->EditorText(), QStringLiteral("aXbcd"));
}

TEST_F(KeyTest, TheInsertAndDeleteCombinationsCutCopyAndPaste) {
    TLXEditForm* editor = NewEditor(QStringLiteral("alpha beta"));
    QApplication::clipboard()->setText(QStringLiteral("before"));
    Caret(editor, 5, 0);
    Key(editor, Qt::Key_Insert, Qt::ControlModifier); // copy
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("alpha"));
    EXPECT_EQ(CaretAt(editor), 5);
    Caret(editor, 10, 6);
    Key(editor, Qt::Key_Delete, Qt::ShiftModifier); // cut
    EXPECT_EQ(editor->EditorText(), QStringLiteral("alpha "));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("beta"));
    Caret(editor, 0);
    Key(editor, Qt::Key_Insert, Qt::ShiftModifier); // paste
    EXPECT_EQ(editor->EditorText(), QStringLiteral("betaalpha "));
    Key(editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor->EditorText(), QStringLiteral("betabetaalpha "));

    // The menu commands record too: undo walks back through all of them.
    editor->LXEMenuUndoClick(); // Ctrl+V
    editor->LXEMenuUndoClick(); // Shift+Insert
    EXPECT_EQ(editor->EditorText(), QStringLiteral("alpha "));
    editor->LXEMenuUndoClick(); // the cut
    EXPECT_EQ(editor->EditorText(), QStringLiteral("alpha beta"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("alpha"));
    editor->LXEMenuUndoClick(); // the copy
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before"));
}

TEST_F(KeyTest, TheCursorModeKeepsLeftAndRightOnTheirLine) {
    TLXEditForm* editor = NewEditor(QStringLiteral("ab\n\ncd"));
    Settings.CursorMode = 1;
    Caret(editor, 2); // end of the first line
    Key(editor, Qt::Key_Right);
    EXPECT_EQ(CaretAt(editor), 2);
    Key(editor, Qt::Key_Left);
    Key(editor, Qt::Key_Left);
    Key(editor, Qt::Key_Left);
    EXPECT_EQ(CaretAt(editor), 0);
    // An empty line: neither way out.
    Caret(editor, 3);
    Key(editor, Qt::Key_Right);
    Key(editor, Qt::Key_Left);
    EXPECT_EQ(CaretAt(editor), 3);
    // Shift alone still moves and selects across the line end.
    Caret(editor, 2);
    Key(editor, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(CaretAt(editor), 3);
    EXPECT_TRUE(editor->Editor->textCursor().hasSelection());
    // Off: the caret crosses.
    Settings.CursorMode = 0;
    Caret(editor, 2);
    Key(editor, Qt::Key_Right);
    EXPECT_EQ(CaretAt(editor), 3);
}

TEST_F(KeyTest, TypingStopsAtTheLengthLimit) {
    TLXEditForm* editor = NewEditor();
    editor->Editor->setPlainText(QString(editor->MaxLength() - 1, u'x'));
    Caret(editor, 0);
    QTest::keyClicks(editor->Editor, QStringLiteral("ab"));
    Key(editor, Qt::Key_Return);
    EXPECT_EQ(editor->EditorText().size(), editor->MaxLength());
    EXPECT_TRUE(editor->EditorText().startsWith(QStringLiteral("ax")));
}

// ---- one ring per window ---------------------------------------------------------------------------------

TEST_F(KeyTest, UndoAndRedoActInTheirOwnWindowOnly) {
    TLXEditForm* first = NewEditor(QStringLiteral("first"));
    TLXEditForm* second = NewEditor(QStringLiteral("second"));
    Caret(first, 5);
    QTest::keyClicks(first->Editor, QStringLiteral("A"));
    Caret(second, 0);
    QTest::keyClicks(second->Editor, QStringLiteral("B"));
    Caret(first, 0);
    QTest::keyClicks(first->Editor, QStringLiteral("C"));

    // Ctrl+Z in the second window undoes its own typing, though the first window's is newer.
    Key(second, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(second->EditorText(), QStringLiteral("second"));
    EXPECT_EQ(first->EditorText(), QStringLiteral("CfirstA"));
    // Nothing more to undo there: the first window stays as it is.
    Key(second, Qt::Key_Z, Qt::ControlModifier);
    second->LXEMenuUndoClick();
    EXPECT_EQ(first->EditorText(), QStringLiteral("CfirstA"));
    EXPECT_EQ(second->EditorText(), QStringLiteral("second"));

    first->LXEMenuUndoClick();
    EXPECT_EQ(first->EditorText(), QStringLiteral("firstA"));
    Key(first, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(first->EditorText(), QStringLiteral("first"));
    EXPECT_EQ(second->EditorText(), QStringLiteral("second"));

    // Redo likewise.
    Key(second, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(second->EditorText(), QStringLiteral("Bsecond"));
    EXPECT_EQ(first->EditorText(), QStringLiteral("first"));
    Key(second, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(first->EditorText(), QStringLiteral("first"));
    first->LXEMenuRedoClick();
    first->LXEMenuRedoClick();
    EXPECT_EQ(first->EditorText(), QStringLiteral("CfirstA"));

    // A window that is closed takes its history with it; the others keep theirs.
    editors_.erase(editors_.begin() + 1);
    first->LXEMenuUndoClick();
    EXPECT_EQ(first->EditorText(), QStringLiteral("firstA"));
}

TEST_F(KeyTest, NewAndOpenLeaveTheHistoryOfTheOtherWindows) {
    TLxFrameForm frame;
    WinHooks.MessageBoxHook = nullptr;
    TLXEditForm* editor = frame.NewEditor();
    QTest::keyClicks(editor->Editor, QStringLiteral("abc"));
    TLXEditForm* added = frame.NewEditor();
    EXPECT_FALSE(added->UndoBuffer().CanUndo());
    EXPECT_EQ(added->UndoBuffer().Capacity, my_UndoClass::EditorCapacity);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("p.lxt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("PRINT 1\r\n");
    file.close();
    ASSERT_NE(frame.OpenFileInEditor(file.fileName(), QStringLiteral("Auto")), nullptr);
    editor->LXEMenuUndoClick();
    EXPECT_EQ(editor->EditorText(), QStringLiteral("ab"));
    editor->LXEMenuUndoClick();
    editor->LXEMenuUndoClick();
    EXPECT_EQ(editor->EditorText(), QString());
    for (QMdiSubWindow* window : frame.MdiArea()->subWindowList())
        qobject_cast<TLXEditForm*>(window->widget())->SetCloseConfirmed();
}

TEST_F(KeyTest, EachWindowsRingKeepsItsNewestEntriesButOne) {
    // The capacity holds per window: a full ring in one window costs the other nothing.
    TLXEditForm* busy = NewEditor();
    TLXEditForm* quiet = NewEditor();
    QTest::keyClicks(quiet->Editor, QStringLiteral("q"));
    for (int i = 0; i < my_UndoClass::EditorCapacity; ++i)
        QTest::keyClick(busy->Editor, Qt::Key_X);
    int undone = 0;
    while (busy->UndoBuffer().CanUndo()) {
        busy->LXEMenuUndoClick();
        ++undone;
    }
    EXPECT_EQ(undone, my_UndoClass::EditorCapacity - 1);
    EXPECT_EQ(busy->EditorText(), QStringLiteral("x"));
    quiet->LXEMenuUndoClick();
    EXPECT_EQ(quiet->EditorText(), QString());
}

// ---- input-method text
// -------------------------------------------------------------------------------------

namespace {

void Compose(QWidget* widget, const QString& preedit) {
    QInputMethodEvent event(preedit, {});
    QApplication::sendEvent(widget, &event);
}

void Commit(QWidget* widget, const QString& text, int replaceFrom = 0, int replaceLength = 0) {
    QInputMethodEvent event;
    event.setCommitString(text, replaceFrom, replaceLength);
    QApplication::sendEvent(widget, &event);
}

// The look the layout gives the composition at the caret's line.
std::optional<QTextCharFormat> CompositionLook(TLXEditForm* editor) {
    const QTextBlock block = editor->Editor->textCursor().block();
    const QTextLayout* layout = block.layout();
    const int start = layout->preeditAreaPosition();
    for (const QTextLayout::FormatRange& range : layout->formats())
        if (range.start == start && range.format.hasProperty(QTextFormat::ForegroundBrush))
            return range.format;
    return std::nullopt;
}

} // namespace

TEST_F(KeyTest, AnInputMethodCommitIsInsertedOnceAndUndoneAsOneStep) {
    TLXEditForm* editor = NewEditor(QStringLiteral("A$ = \"\""));
    Caret(editor, 6);
    Compose(editor->Editor, QStringLiteral("にほん"));
    EXPECT_EQ(editor->EditorText(), QStringLiteral("A$ = \"\"")); // composing changes no text
    Commit(editor->Editor, QStringLiteral("日本"));
    EXPECT_EQ(editor->EditorText(), QStringLiteral("A$ = \"日本\""));
    EXPECT_EQ(CaretAt(editor), 8);

    editor->LXEMenuUndoClick();
    EXPECT_EQ(editor->EditorText(), QStringLiteral("A$ = \"\""));
    editor->LXEMenuRedoClick();
    EXPECT_EQ(editor->EditorText(), QStringLiteral("A$ = \"日本\""));

    // With a selection the text goes in before it, as typed characters do.
    Caret(editor, 4, 0);
    Commit(editor->Editor, QStringLiteral("語"));
    EXPECT_EQ(editor->EditorText(), QStringLiteral("語A$ = \"日本\""));
    // A commit that replaces text before the caret records what it replaced.
    Caret(editor, 9);
    Commit(editor->Editor, QStringLiteral("二本"), -2, 2);
    EXPECT_EQ(editor->EditorText(), QStringLiteral("語A$ = \"二本\""));
    editor->LXEMenuUndoClick();
    EXPECT_EQ(editor->EditorText(), QStringLiteral("語A$ = \"日本\""));
}

TEST_F(KeyTest, InputMethodTextStopsAtTheLengthLimit) {
    TLXEditForm* editor = NewEditor();
    editor->Editor->setPlainText(QString(editor->MaxLength() - 1, u'x'));
    Caret(editor, 0);
    Commit(editor->Editor, QStringLiteral("日本"));
    EXPECT_EQ(editor->EditorText().size(), editor->MaxLength());
    EXPECT_TRUE(editor->EditorText().startsWith(QStringLiteral("日x")));
}

TEST_F(KeyTest, TheCompositionLooksLikeWhereItIsTyped) {
    Settings.EditorStringColor = 0x880000;
    Settings.EditorCommentColor = 0x008800;
    Settings.EditorKeywordColor = 0x800080;
    TLXEditForm* editor = NewEditor(QStringLiteral("X = \"ab\" ' note"));
    editor->EditorScan();

    // A composition at `position`, and how it looks.
    const auto composeAt = [editor](int position) {
        Caret(editor, position);
        Compose(editor->Editor, QStringLiteral("に"));
        return CompositionLook(editor);
    };

    // In code: red and underlined.
    auto look = composeAt(1);
    EXPECT_EQ(editor->TypingContext, TypingContextKind::Code);
    ASSERT_TRUE(look);
    EXPECT_EQ(look->foreground().color(), QColor(Qt::red));
    EXPECT_TRUE(look->fontUnderline());
    Compose(editor->Editor, QString());

    // Inside the string: its colour. Right after the opening quote too.
    look = composeAt(6);
    EXPECT_EQ(editor->TypingContext, TypingContextKind::String);
    ASSERT_TRUE(look);
    EXPECT_EQ(look->foreground().color(), QColor(0, 0, 0x88));
    Compose(editor->Editor, QString());
    Caret(editor, 5);
    editor->UpdateTypingContext();
    EXPECT_EQ(editor->TypingContext, TypingContextKind::String);

    // In the comment.
    look = composeAt(13);
    EXPECT_EQ(editor->TypingContext, TypingContextKind::Comment);
    ASSERT_TRUE(look);
    EXPECT_EQ(look->foreground().color(), QColor(0, 0x88, 0));
    // The line keeps its own colours around the composition.
    Commit(editor->Editor, QStringLiteral("日"));
    EXPECT_EQ(editor->EditorText(), QStringLiteral("X = \"ab\" ' no日te"));
    EXPECT_FALSE(editor->Editor->document()->firstBlock().layout()->formats().isEmpty());
}
