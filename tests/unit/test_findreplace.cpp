// Find and replace: the forward search from the end of the selection that ignores case and never
// wraps, the find and replace dialogs with their messages, Replace that replaces only what was found,
// Replace All with its count, its end on a replace text holding the find text, and its undo.
#include "ui/findreplace.h"

#include "tests/testsupport.h"
#include "tests/windowsupport.h"
#include "ui/editform.h"
#include "ui/mainframe.h"
#include "ui/undobuffer.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

// ---- the search ---------------------------------------------------------------------------------------

TEST(FindText, UpperCaseKeepsEveryPosition) {
    EXPECT_EQ(UpperSameLength(u"print x$"), QStringLiteral("PRINT X$"));
    EXPECT_EQ(UpperSameLength(u"ａｂｃ"), QStringLiteral("ＡＢＣ")); // full-width letters
    EXPECT_EQ(UpperSameLength(u"éà"), QStringLiteral("ÉÀ"));
    // Sharp s would become two letters: it stays, so positions still match the text.
    EXPECT_EQ(UpperSameLength(u"straße"), QStringLiteral("STRAßE"));
    EXPECT_EQ(UpperSameLength(u"\U00010428x"), QStringLiteral("\U00010400X")); // Deseret pair
}

namespace {

class SearchTest : public ::testing::Test {
protected:
    void Set(const QString& text, int start, int end = -1) { SetTextAndSelection(editor_, text, start, end); }
    QString Selected() const { return editor_.textCursor().selectedText(); }
    int Start() const { return editor_.textCursor().selectionStart(); }

    QPlainTextEdit editor_;
};

} // namespace

TEST_F(SearchTest, SearchesForwardIgnoringCaseAndNeverWraps) {
    Set(QStringLiteral("Print 1\nLPRINT 2\nprint 3"), 0);
    EXPECT_EQ(FindForward(editor_, QStringLiteral("PRINT")), 0);
    EXPECT_EQ(Selected(), QStringLiteral("Print"));
    // Each search starts after the selection; a word inside another word is found as well.
    EXPECT_EQ(FindForward(editor_, QStringLiteral("print")), 9);
    EXPECT_EQ(Selected(), QStringLiteral("PRINT"));
    EXPECT_EQ(FindForward(editor_, QStringLiteral("pRiNt")), 17);
    EXPECT_EQ(Start(), 17);
    // The end: nothing, and the selection stays where it was.
    EXPECT_EQ(FindForward(editor_, QStringLiteral("print")), -1);
    EXPECT_EQ(Start(), 17);
    EXPECT_EQ(Selected(), QStringLiteral("print"));
}

TEST_F(SearchTest, SearchesStartAtTheCaretAndNeedAText) {
    Set(QStringLiteral("END\nEND\nEND"), 5);
    EXPECT_EQ(FindForward(editor_, QStringLiteral("end")), 8);
    Set(QStringLiteral("abc"), 0);
    EXPECT_EQ(FindForward(editor_, QString()), -1);
    // Across a line break.
    Set(QStringLiteral("ab\ncd"), 0);
    EXPECT_EQ(FindForward(editor_, QStringLiteral("b\nc")), 1);
    // Non-ASCII text, after a surrogate pair.
    Set(QStringLiteral("\U0001F600 変数 = 1"), 0);
    EXPECT_EQ(FindForward(editor_, QStringLiteral("変数")), 3);
    EXPECT_EQ(Selected(), QStringLiteral("変数"));
}

TEST_F(SearchTest, ReplaceAllCountsAndEndsOnATextHoldingTheFindText) {
    my_UndoClass ring;
    ring.Initialize(100);
    Set(QStringLiteral("a A a\nb a"), 0);
    EXPECT_EQ(ReplaceAllForward(ring, editor_, QStringLiteral("a"), QStringLiteral("aa")), 4);
    EXPECT_EQ(EditorPlainText(editor_), QStringLiteral("aa aa aa\nb aa"));
    // The caret stands after the last replacement.
    EXPECT_EQ(editor_.textCursor().position(), 13);
    // One undo step brings the whole text back; redo does it again.
    ASSERT_TRUE(ApplyUndo(ring));
    EXPECT_EQ(EditorPlainText(editor_), QStringLiteral("a A a\nb a"));
    EXPECT_FALSE(ring.CanUndo());
    ApplyRedo(ring);
    EXPECT_EQ(EditorPlainText(editor_), QStringLiteral("aa aa aa\nb aa"));

    // Only what follows the selection; nothing found: nothing changes and nothing is recorded.
    Set(QStringLiteral("x1 x2 x3"), 1, 3);
    EXPECT_EQ(ReplaceAllForward(ring, editor_, QStringLiteral("X"), QStringLiteral("")), 2);
    EXPECT_EQ(EditorPlainText(editor_), QStringLiteral("x1 2 3"));
    const int before = ring.Current;
    EXPECT_EQ(ReplaceAllForward(ring, editor_, QStringLiteral("zz"), QStringLiteral("y")), 0);
    EXPECT_EQ(ring.Current, before);
    EXPECT_EQ(ReplaceAllForward(ring, editor_, QString(), QStringLiteral("y")), 0);
}

TEST_F(SearchTest, ReplaceAllOnALargeTextIsOnePass) {
    my_UndoClass ring;
    ring.Initialize(100);
    Set(QStringLiteral("PRINT I\n").repeated(20000), 0);
    EXPECT_EQ(ReplaceAllForward(ring, editor_, QStringLiteral("print"), QStringLiteral("? ")), 20000);
    EXPECT_EQ(editor_.document()->findBlockByNumber(19999).text(), QStringLiteral("?  I"));
}

// ---- the dialogs in the editor window -------------------------------------------------------------------

namespace {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        WinHooks.MessageBoxHook = [this](QWidget*, const MessageRequest& request) {
            messages_.push_back(request.Text);
            return QMessageBox::Ok;
        };
        WinHooks.ShowFindDialogHook = [this](TFindReplaceDialog* dialog) { shown_.push_back(dialog); };
        editor_ = std::make_unique<TLXEditForm>();
        editor_->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    void TearDown() override {
        WinHooks.MessageBoxHook = nullptr;
        WinHooks.ShowFindDialogHook = nullptr;
    }

    void Set(const QString& text, int caret) {
        editor_->Editor->setPlainText(text);
        QTextCursor cursor(editor_->Editor->document());
        cursor.setPosition(caret);
        editor_->Editor->setTextCursor(cursor);
    }
    QString Text() const { return editor_->EditorText(); }
    QString Selected() const { return editor_->Editor->textCursor().selectedText(); }
    int Start() const { return editor_->Editor->textCursor().selectionStart(); }

    std::unique_ptr<TLXEditForm> editor_;
    std::vector<QString> messages_;
    std::vector<TFindReplaceDialog*> shown_;
    const QString notFound_ = QStringLiteral("文字列が見つかりません。");
};

} // namespace

TEST_F(DialogTest, FindShowsItsDialogAndFindNextRepeatsItsText) {
    Set(QStringLiteral("GOSUB A\nGOSUB B"), 0);
    // Find Next before any text was entered: not found.
    editor_->LXEMenuFindNextClick();
    EXPECT_EQ(messages_, std::vector<QString>{notFound_});

    editor_->LXEMenuFindClick();
    ASSERT_EQ(shown_.size(), 1u);
    TFindReplaceDialog* dialog = shown_[0];
    EXPECT_EQ(dialog, editor_->FindDialog1);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("検索"));
    EXPECT_EQ(dialog->ReplaceEdit, nullptr);
    dialog->show();
    EXPECT_FALSE(dialog->FindNextButton->isEnabled()); // nothing to search for yet
    QTest::keyClicks(dialog->FindEdit, QStringLiteral("gosub"));
    ASSERT_TRUE(dialog->FindNextButton->isEnabled());
    QTest::mouseClick(dialog->FindNextButton, Qt::LeftButton);
    EXPECT_EQ(Start(), 0);
    EXPECT_EQ(Selected(), QStringLiteral("GOSUB"));
    EXPECT_FALSE(dialog->isVisible()); // the find dialog closes after its search

    editor_->LXEMenuFindNextClick(); // F3
    EXPECT_EQ(Start(), 8);
    editor_->LXEMenuFindNextClick();
    EXPECT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_.back(), notFound_);
    EXPECT_EQ(Start(), 8);
}

TEST_F(DialogTest, ReplaceReplacesWhatWasFoundAndSelectsTheNext) {
    Set(QStringLiteral("x = 1: x = 2: x = 3"), 0);
    editor_->LXEMenuReplaceClick();
    ASSERT_EQ(shown_.size(), 1u);
    TFindReplaceDialog* dialog = editor_->ReplaceDialog1;
    EXPECT_EQ(shown_[0], dialog);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("置換"));
    dialog->SetFindText(QStringLiteral("X"));
    dialog->SetReplaceText(QStringLiteral("total"));

    // Replace without a search first: finds, replaces, and selects the next.
    EXPECT_EQ(editor_->ReplaceDialog1Replace(false), 1);
    EXPECT_EQ(Text(), QStringLiteral("total = 1: x = 2: x = 3"));
    EXPECT_EQ(Selected(), QStringLiteral("x"));
    EXPECT_TRUE(editor_->ReplaceFound);
    QTest::mouseClick(dialog->ReplaceButton, Qt::LeftButton);
    EXPECT_EQ(Text(), QStringLiteral("total = 1: total = 2: x = 3"));

    // A selection moved elsewhere since the search is not replaced: the next hit after it is.
    QTextCursor cursor(editor_->Editor->document());
    cursor.setPosition(0);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    editor_->Editor->setTextCursor(cursor);
    editor_->ReplaceDialog1Replace(false);
    EXPECT_EQ(Text(), QStringLiteral("total = 1: total = 2: total = 3"));
    EXPECT_EQ(messages_, std::vector<QString>{notFound_}); // no further x
    EXPECT_FALSE(editor_->ReplaceFound);

    // Each replacement is one undo step.
    editor_->LXEMenuUndoClick();
    EXPECT_EQ(Text(), QStringLiteral("total = 1: total = 2: x = 3"));
}

TEST_F(DialogTest, ReplaceAllEndsWithTheNotFoundMessage) {
    Set(QStringLiteral("PRINT A\nprint B\nPrint C"), 0);
    TFindReplaceDialog* dialog = editor_->ReplaceDialog1;
    dialog->SetFindText(QStringLiteral("print"));
    dialog->SetReplaceText(QStringLiteral("PRINT PRINT"));
    QTest::mouseClick(dialog->ReplaceAllButton, Qt::LeftButton);
    EXPECT_EQ(Text(), QStringLiteral("PRINT PRINT A\nPRINT PRINT B\nPRINT PRINT C"));
    EXPECT_EQ(messages_, std::vector<QString>{notFound_});
    EXPECT_TRUE(editor_->IsModified());

    // Find from the replace dialog marks a hit for the next Replace.
    Set(QStringLiteral("a b a"), 0);
    dialog->SetFindText(QStringLiteral("A"));
    QTest::mouseClick(dialog->FindNextButton, Qt::LeftButton);
    EXPECT_TRUE(editor_->ReplaceFound);
    EXPECT_EQ(Start(), 0);
    EXPECT_EQ(editor_->ReplaceDialog1Replace(true), 1); // the selected hit is passed over
    EXPECT_EQ(Text(), QStringLiteral("a b PRINT PRINT"));
}

TEST_F(DialogTest, TheMenuItemsAreConnected) {
    EXPECT_TRUE(editor_->LXEMenuFind->isEnabled());
    EXPECT_TRUE(editor_->LXEMenuFindNext->isEnabled());
    EXPECT_TRUE(editor_->LXEMenuReplace->isEnabled());
    EXPECT_TRUE(editor_->LXEMenuPrgFormat->isEnabled());
    editor_->LXEMenuReplace->trigger();
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0], editor_->ReplaceDialog1);
    editor_->LXEMenuFind->trigger();
    EXPECT_EQ(shown_.back(), editor_->FindDialog1);
}
