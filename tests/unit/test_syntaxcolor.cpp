// Keyword colouring: the rules for keywords, strings, comments and non-ASCII characters on realistic
// lines, the colours and styles a coloured line shows, which lines are coloured when (whole text,
// Format command, the line being edited, loading with Auto Format Load), and the cost of a change in
// a long program.
#include "ui/syntaxcolor.h"

#include "platform/settings.h"
#include "tests/testsupport.h"
#include "tests/windowsupport.h"
#include "ui/editform.h"
#include "ui/mainframe.h"

#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <tuple>

namespace {

// A span as (start, length, class) for readable comparisons.
using Span = std::tuple<int, int, TextClass>;

std::vector<Span> Spans(const QString& line, bool& inBrace) {
    std::vector<Span> result;
    for (const ColourSpan& span : ScanLine(line, inBrace))
        result.emplace_back(span.Start, span.Length, span.Class);
    return result;
}

std::vector<Span> Spans(const QString& line) {
    bool inBrace = false;
    return Spans(line, inBrace);
}

constexpr TextClass K = TextClass::Keyword;
constexpr TextClass S = TextClass::String;
constexpr TextClass C = TextClass::Comment;
constexpr TextClass M = TextClass::Marked;

} // namespace

// ---- the rules ----------------------------------------------------------------------------------------

TEST(ColourRules, KeywordsStringsAndCommentsOnRealisticLines) {
    // Reserved words are coloured when a blank or the line end follows them, in any case.
    EXPECT_EQ(Spans(QStringLiteral("FOR I = 1 TO 10")), (std::vector<Span>{{0, 3, K}, {10, 2, K}}));
    EXPECT_EQ(Spans(QStringLiteral("  next i")), (std::vector<Span>{{2, 4, K}}));
    // Words that are not reserved (statements like PRINT) stay as they are.
    EXPECT_EQ(Spans(QStringLiteral("PRINT X")), std::vector<Span>{});
    // The characters between the quotes are the string; the quotes are code.
    EXPECT_EQ(Spans(QStringLiteral("IF A$ = \"END\" THEN")),
              (std::vector<Span>{{0, 2, K}, {9, 3, S}, {14, 4, K}}));
    // An apostrophe comments to the line end, itself included.
    EXPECT_EQ(Spans(QStringLiteral("GOSUB Draw ' draw it")), (std::vector<Span>{{0, 5, K}, {11, 9, C}}));
    // A word the apostrophe or a quote follows at once is still tested.
    EXPECT_EQ(Spans(QStringLiteral("END'done")), (std::vector<Span>{{0, 3, K}, {3, 5, C}}));
    EXPECT_EQ(Spans(QStringLiteral("IF\"x\"THEN")), (std::vector<Span>{{0, 2, K}, {3, 1, S}, {5, 4, K}}));
    // An empty literal colours nothing.
    EXPECT_EQ(Spans(QStringLiteral("LET A$ = \"\"")), (std::vector<Span>{{0, 3, K}}));
}

TEST(ColourRules, ARemCommentsFromItsRToTheLineEnd) {
    EXPECT_EQ(Spans(QStringLiteral("REM the loop")), (std::vector<Span>{{0, 12, C}}));
    EXPECT_EQ(Spans(QStringLiteral("rem")), (std::vector<Span>{{0, 3, C}}));
    EXPECT_EQ(Spans(QStringLiteral("  X = 1 : REM set")), (std::vector<Span>{{10, 7, C}}));
    // REM must stand alone.
    EXPECT_EQ(Spans(QStringLiteral("REMARK = 1")), std::vector<Span>{});
    EXPECT_EQ(Spans(QStringLiteral("REM\"quoted\" END")), (std::vector<Span>{{0, 15, C}}));
}

TEST(ColourRules, AWordIsDroppedByAnyOtherCharacter) {
    // A parenthesis, digit or colon after a reserved word drops it before it is tested.
    EXPECT_EQ(Spans(QStringLiteral("IF(X > 1) THEN")), (std::vector<Span>{{10, 4, K}}));
    EXPECT_EQ(Spans(QStringLiteral("GOTO10")), std::vector<Span>{});
    EXPECT_EQ(Spans(QStringLiteral("STOP:END")), (std::vector<Span>{{5, 3, K}}));
    // A text ending in a reserved word colours it.
    EXPECT_EQ(Spans(QStringLiteral("WEND")), (std::vector<Span>{{0, 4, K}}));
}

TEST(ColourRules, NonAsciiCharactersAreMarkedOnlyInCode) {
    // "日本" in code: marked, and the word it touches is dropped; in a string or comment it takes
    // that colour only.
    EXPECT_EQ(Spans(QStringLiteral("X日本 = 1")), (std::vector<Span>{{1, 2, M}}));
    EXPECT_EQ(Spans(QStringLiteral("END日 ")), (std::vector<Span>{{3, 1, M}}));
    EXPECT_EQ(Spans(QStringLiteral("A$ = \"漢字\" ' 日本語")), (std::vector<Span>{{6, 2, S}, {10, 5, C}}));
    // A character in the upper half of Latin-1 counts too; ASCII punctuation does not.
    EXPECT_EQ(Spans(QStringLiteral("é")), (std::vector<Span>{{0, 1, M}}));
    EXPECT_EQ(Spans(QStringLiteral("A = B * 2 + C / 3 - D\\4")), std::vector<Span>{});
}

TEST(ColourRules, StringsEndWithTheirLineAndBraceCommentsRunOn) {
    // A literal without its closing quote ends with its line (the language reads it so), so the next
    // line is code again.
    EXPECT_EQ(Spans(QStringLiteral("PRINT \"open")), (std::vector<Span>{{7, 4, S}}));
    bool inBrace = false;
    EXPECT_EQ(Spans(QStringLiteral("DIM A { sizes"), inBrace), (std::vector<Span>{{0, 3, K}, {7, 6, C}}));
    EXPECT_TRUE(inBrace);
    EXPECT_EQ(Spans(QStringLiteral("FOR \"in\" ' all"), inBrace), (std::vector<Span>{{0, 14, C}}));
    EXPECT_TRUE(inBrace);
    EXPECT_EQ(Spans(QStringLiteral("end } NEXT"), inBrace), (std::vector<Span>{{0, 5, C}, {6, 4, K}}));
    EXPECT_FALSE(inBrace);
    // On one line: the comment runs from after "{" through "}".
    EXPECT_EQ(Spans(QStringLiteral("{ note } END")), (std::vector<Span>{{1, 7, C}, {9, 3, K}}));
}

TEST(ColourRules, TheWordTest) {
    EXPECT_EQ(TestWord(u"REM"), WordKind::Rem);
    EXPECT_EQ(TestWord(u"AS"), WordKind::Reserved);    // first
    EXPECT_EQ(TestWord(u"WHILE"), WordKind::Reserved); // last
    EXPECT_EQ(TestWord(u"ELSEIF"), WordKind::Reserved);
    EXPECT_EQ(TestWord(u"PRINT"), WordKind::None);
    EXPECT_EQ(TestWord(u""), WordKind::None);
    EXPECT_EQ(TestWord(u"A"), WordKind::None);
    EXPECT_EQ(TestWord(u"ZZZ"), WordKind::None);
}

// ---- in the editor ------------------------------------------------------------------------------------

namespace {

constexpr int KeywordBgr = 0x800080;
constexpr int StringBgr = 0x880000;
constexpr int CommentBgr = 0x008800;

QColor Rgb(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

class ColourTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings.EditorKeywordColor = KeywordBgr;
        Settings.EditorStringColor = StringBgr;
        Settings.EditorCommentColor = CommentBgr;
        Settings.EditorFontColor = 0;
        Settings.EditorKeywordStyle = FontStyleBit::Bold;
        Settings.EditorStringStyle = FontStyleBit::Italic;
        Settings.EditorCommentStyle = 0;
        Settings.FormatCheck = 1;
        Settings.AutoFormatLoad = 0;
        WinHooks.MessageBoxHook = AnswerFromScript(answers_, asked_);
    }
    void TearDown() override {
        WinHooks.MessageBoxHook = nullptr;
        WinHooks.TextFileDialogHook = nullptr;
        Settings.Reset();
        EXPECT_TRUE(answers_.empty()) << "a question that was expected was not asked";
    }

    TLXEditForm* NewEditor(const QString& text = QString()) {
        auto* editor = new TLXEditForm;
        editor->setAttribute(Qt::WA_DeleteOnClose, false);
        editors_.emplace_back(editor);
        if (!text.isNull()) {
            // Loaded as files are: the change handlers leave the text alone.
            Win.EditorUpdating = 1;
            editor->Editor->setPlainText(text);
            Win.EditorUpdating = 0;
            editor->Editor->document()->setModified(false);
        }
        return editor;
    }

    // The line as it looks once it is on the screen.
    static QTextBlock ShownLine(TLXEditForm* editor, int line) {
        const QTextBlock block = editor->Editor->document()->findBlockByNumber(line);
        editor->SyntaxColor->ShowLines(block, block);
        return block;
    }
    // The format the layout shows at a position of a line (none: the editor's own look).
    static std::optional<QTextCharFormat> FormatAt(TLXEditForm* editor, int line, int column) {
        const QTextBlock block = ShownLine(editor, line);
        for (const QTextLayout::FormatRange& range : block.layout()->formats())
            if (column >= range.start && column < range.start + range.length) return range.format;
        return std::nullopt;
    }
    static bool HasFormats(TLXEditForm* editor, int line) {
        return !ShownLine(editor, line).layout()->formats().isEmpty();
    }
    static QColor ColourAt(TLXEditForm* editor, int line, int column) {
        const auto format = FormatAt(editor, line, column);
        return format ? format->foreground().color() : QColor();
    }

    void PlaceCaret(TLXEditForm* editor, int line, int column) {
        QTextCursor cursor(editor->Editor->document()->findBlockByNumber(line));
        cursor.setPosition(cursor.position() + column);
        editor->Editor->setTextCursor(cursor);
    }

    std::deque<QMessageBox::StandardButton> answers_;
    std::vector<MessageRequest> asked_;
    std::vector<std::unique_ptr<TLXEditForm>> editors_;
};

const QString Program = QStringLiteral("REM draw a box\n"
                                       "FOR I = 1 TO 10\n"
                                       "  PRINT \"日本\"; I ' count\n"
                                       "NEXT I\n"
                                       "X日 = 1\n"
                                       "END");

} // namespace

TEST_F(ColourTest, TheWholeTextTakesTheColoursAndStylesOfTheSettings) {
    TLXEditForm* editor = NewEditor(Program);
    // Loading colours nothing.
    for (int line = 0; line < 6; ++line)
        EXPECT_FALSE(HasFormats(editor, line)) << line;

    PlaceCaret(editor, 3, 2);
    editor->EditorScan();
    EXPECT_FALSE(editor->IsModified());
    EXPECT_EQ(editor->Editor->textCursor().position(), 0); // the caret goes to the start

    // REM line: comment from the R, plain weight.
    EXPECT_EQ(ColourAt(editor, 0, 0), Rgb(CommentBgr));
    EXPECT_EQ(ColourAt(editor, 0, 13), Rgb(CommentBgr));
    EXPECT_EQ(FormatAt(editor, 0, 0)->fontWeight(), QFont::Normal);
    // FOR and TO: keyword colour, bold.
    EXPECT_EQ(ColourAt(editor, 1, 0), Rgb(KeywordBgr));
    EXPECT_EQ(FormatAt(editor, 1, 0)->fontWeight(), QFont::Bold);
    EXPECT_EQ(ColourAt(editor, 1, 10), Rgb(KeywordBgr));
    EXPECT_FALSE(FormatAt(editor, 1, 4)); // I
    // The string's characters, italic; the quotes and PRINT plain; the comment.
    EXPECT_FALSE(FormatAt(editor, 2, 2));
    EXPECT_FALSE(FormatAt(editor, 2, 8));
    EXPECT_EQ(ColourAt(editor, 2, 9), Rgb(StringBgr));
    EXPECT_TRUE(FormatAt(editor, 2, 9)->fontItalic());
    EXPECT_FALSE(FormatAt(editor, 2, 9)->fontUnderline()); // not marked inside a string
    EXPECT_EQ(ColourAt(editor, 2, 16), Rgb(CommentBgr));
    // NEXT; the non-ASCII character in code is red and underlined; END at the very end.
    EXPECT_EQ(ColourAt(editor, 3, 0), Rgb(KeywordBgr));
    EXPECT_EQ(ColourAt(editor, 4, 1), QColor(Qt::red));
    EXPECT_TRUE(FormatAt(editor, 4, 1)->fontUnderline());
    EXPECT_FALSE(FormatAt(editor, 4, 0));
    EXPECT_EQ(ColourAt(editor, 5, 0), Rgb(KeywordBgr));
}

TEST_F(ColourTest, WithFormatCheckTheEditedLineIsColouredAndFollowsItsChanges) {
    TLXEditForm* editor = NewEditor(QStringLiteral("FOR I = 1 TO 3\nNEXT I\nEND"));
    PlaceCaret(editor, 1, 6);
    QTest::keyClicks(editor->Editor, QStringLiteral(" ' x"));
    EXPECT_EQ(editor->EditorText(), QStringLiteral("FOR I = 1 TO 3\nNEXT I ' x\nEND"));
    // The edited line is coloured; the others are not touched.
    EXPECT_EQ(ColourAt(editor, 1, 0), Rgb(KeywordBgr));
    EXPECT_EQ(ColourAt(editor, 1, 7), Rgb(CommentBgr));
    EXPECT_FALSE(HasFormats(editor, 0));
    EXPECT_FALSE(HasFormats(editor, 2));
    EXPECT_TRUE(editor->IsModified());

    // A line break in a coloured line: both halves stay coloured.
    PlaceCaret(editor, 1, 6);
    QTest::keyClick(editor->Editor, Qt::Key_Return);
    EXPECT_EQ(ColourAt(editor, 1, 0), Rgb(KeywordBgr));
    EXPECT_EQ(ColourAt(editor, 2, 1), Rgb(CommentBgr));

    // Typing on: the colours follow (the comment becomes code once the apostrophe is gone).
    PlaceCaret(editor, 2, 2);
    QTest::keyClick(editor->Editor, Qt::Key_Backspace);
    EXPECT_EQ(editor->Editor->document()->findBlockByNumber(2).text(), QStringLiteral("  x"));
    EXPECT_FALSE(HasFormats(editor, 2));
}

TEST_F(ColourTest, WithoutFormatCheckTypingColoursNothing) {
    Settings.FormatCheck = 0;
    TLXEditForm* editor = NewEditor(QStringLiteral("X = 1"));
    PlaceCaret(editor, 0, 5);
    QTest::keyClicks(editor->Editor, QStringLiteral(" : END"));
    EXPECT_FALSE(HasFormats(editor, 0));
    // The Format command colours it; from then on the line follows its changes.
    editor->TextFormatCheckClick();
    EXPECT_EQ(ColourAt(editor, 0, 8), Rgb(KeywordBgr));
    PlaceCaret(editor, 0, 11);
    QTest::keyClicks(editor->Editor, QStringLiteral(" IF"));
    EXPECT_EQ(ColourAt(editor, 0, 12), Rgb(KeywordBgr));
}

TEST_F(ColourTest, ABraceCommentColoursTheLinesAfterItUntilItCloses) {
    TLXEditForm* editor = NewEditor(QStringLiteral("DIM A\nGOTO Start\nEND\nSTOP"));
    editor->EditorScan();
    EXPECT_EQ(ColourAt(editor, 2, 0), Rgb(KeywordBgr));
    // Opening a comment on the first line turns the lines after it into comment...
    PlaceCaret(editor, 0, 5);
    QTest::keyClicks(editor->Editor, QStringLiteral(" {"));
    EXPECT_EQ(ColourAt(editor, 1, 0), Rgb(CommentBgr));
    EXPECT_EQ(ColourAt(editor, 3, 0), Rgb(CommentBgr));
    // ...and closing it on the second gives the rest back to code.
    PlaceCaret(editor, 1, 10);
    QTest::keyClicks(editor->Editor, QStringLiteral("}"));
    EXPECT_EQ(ColourAt(editor, 1, 10), Rgb(CommentBgr));
    EXPECT_EQ(ColourAt(editor, 2, 0), Rgb(KeywordBgr));
    EXPECT_EQ(ColourAt(editor, 3, 0), Rgb(KeywordBgr));
}

TEST_F(ColourTest, ChangedSettingsTakeEffectAtTheNextColouring) {
    TLXEditForm* editor = NewEditor(QStringLiteral("END"));
    editor->EditorScan();
    EXPECT_EQ(ColourAt(editor, 0, 0), Rgb(KeywordBgr));
    Settings.EditorKeywordColor = 0x0000AA;
    Settings.EditorKeywordStyle = 0;
    editor->TextFormatCheckClick();
    EXPECT_EQ(ColourAt(editor, 0, 0), Rgb(0x0000AA));
    EXPECT_EQ(FormatAt(editor, 0, 0)->fontWeight(), QFont::Normal);
}

TEST_F(ColourTest, TheFormatCommandAsksForLongTextsAndShowsTheWaitWindow) {
    // 10000 characters: no question and no wait window.
    QString text = QStringLiteral("END\n").repeated(2500);
    text.chop(1);
    text += u'X';
    ASSERT_EQ(text.size(), 10000);
    TLXEditForm* editor = NewEditor(text);
    const int shown = LXLoadWaitForm()->ShowCount;
    editor->TextFormatCheckClick();
    EXPECT_TRUE(asked_.empty());
    EXPECT_EQ(LXLoadWaitForm()->ShowCount, shown);
    EXPECT_TRUE(HasFormats(editor, 0));

    // 10001 characters: the question; No colours nothing.
    TLXEditForm* longer = NewEditor(text + u'Y');
    longer->Editor->document()->setModified(true);
    answers_ = {QMessageBox::No};
    longer->TextFormatCheckClick();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].Text,
              QStringLiteral("プログラムを書式整形しますか。\n大きなプログラムの場合，時間がかかります。"));
    EXPECT_EQ(asked_[0].Buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_FALSE(HasFormats(longer, 0));

    // Yes: coloured with the wait window, which is hidden again with its caption restored; the
    // modified flag is kept.
    answers_ = {QMessageBox::Yes};
    longer->TextFormatCheckClick();
    EXPECT_TRUE(HasFormats(longer, 0));
    EXPECT_TRUE(HasFormats(longer, 2498));
    EXPECT_EQ(LXLoadWaitForm()->ShowCount, shown + 1);
    EXPECT_FALSE(LXLoadWaitForm()->isVisible());
    EXPECT_EQ(LXLoadWaitForm()->windowTitle(), QStringLiteral("ロード中"));
    EXPECT_EQ(LXLoadWaitForm()->ProgressBar1->value(), longer->Editor->document()->characterCount() - 1);
    EXPECT_TRUE(longer->IsModified());
}

TEST_F(ColourTest, ALongProgramIsColouredOnceAndAnEditCostsOnlyItsLine) {
    QString text;
    for (int i = 0; i < 10000; ++i)
        text += QStringLiteral("FOR I = 1 TO 9 ' %1\n").arg(i);
    TLXEditForm* editor = NewEditor(text);
    ASSERT_LT(text.size(), editor->MaxLength());
    TLXSyntaxColor* colour = editor->SyntaxColor;

    QElapsedTimer clock;
    clock.start();
    const long long before = colour->LinesScanned;
    editor->EditorScan();
    EXPECT_LE(colour->LinesScanned - before, 10001 + 10); // each line about once
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_EQ(ColourAt(editor, 9999, 0), Rgb(KeywordBgr));

    // An edit in the middle scans a handful of lines, not the program.
    PlaceCaret(editor, 5000, 0);
    const long long beforeEdit = colour->LinesScanned;
    QTest::keyClicks(editor->Editor, QStringLiteral("REM "));
    EXPECT_LE(colour->LinesScanned - beforeEdit, 20);
    EXPECT_EQ(ColourAt(editor, 5000, 8), Rgb(CommentBgr));
    EXPECT_EQ(ColourAt(editor, 5001, 0), Rgb(KeywordBgr));

    // A comment opened there is followed to the end of the text, then closed again.
    QTest::keyClicks(editor->Editor, QStringLiteral("{"));
    PlaceCaret(editor, 5000, 0);
    QTest::keyClick(editor->Editor, Qt::Key_Delete); // "REM {" becomes "EM {": code opening a comment
    EXPECT_EQ(ColourAt(editor, 9999, 0), Rgb(CommentBgr));
    PlaceCaret(editor, 5000, 3);
    QTest::keyClick(editor->Editor, Qt::Key_Delete); // the "{" goes
    EXPECT_EQ(ColourAt(editor, 9999, 0), Rgb(KeywordBgr));
}

// ---- loading ------------------------------------------------------------------------------------------

TEST_F(ColourTest, OpeningFromTheDialogColoursWithAutoFormatLoad) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("prog.lxt"));
    ASSERT_TRUE(WriteBytes(path, "IF X THEN\r\nEND IF\r\n"));
    TLxFrameForm frame;
    WinHooks.TextFileDialogHook = [&](QWidget*, const TextFileDialogRequest&) {
        return std::optional<TextFileChoice>(TextFileChoice{path, 0});
    };
    auto lastOpened = [&] {
        return qobject_cast<TLXEditForm*>(frame.MdiArea()->subWindowList().last()->widget());
    };

    Settings.AutoFormatLoad = 0;
    frame.LXMMenuOpenClick();
    TLXEditForm* plain = lastOpened();
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(HasFormats(plain, 0));

    Settings.AutoFormatLoad = 1;
    frame.LXMMenuOpenClick();
    TLXEditForm* coloured = lastOpened();
    ASSERT_NE(coloured, plain);
    EXPECT_EQ(ColourAt(coloured, 0, 0), Rgb(KeywordBgr));
    EXPECT_EQ(ColourAt(coloured, 1, 4), Rgb(KeywordBgr));
    EXPECT_FALSE(coloured->IsModified());
    for (QMdiSubWindow* window : frame.MdiArea()->subWindowList())
        qobject_cast<TLXEditForm*>(window->widget())->SetCloseConfirmed();
}
