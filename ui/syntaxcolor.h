// Keyword colouring of program text in the editor: reserved words, string literals, comments (', REM
// and { } blocks) take their colours and styles from the settings, and characters outside ASCII that
// stand in code are marked. Lines are coloured once the whole text has been coloured or as they are
// edited; the colouring follows every later change line by line. Only the lines on the screen carry
// their colours: a line takes them when it is shown, so a long program costs neither time nor
// memory for lines nobody looks at. Also the wait window of long runs.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringView>
#include <QTextCharFormat>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

class QProgressBar;
class QTextBlock;
class QTextDocument;
class QTimer;

// What a span of program text is.
enum class TextClass : std::uint8_t { Keyword, String, Comment, Marked };

// One coloured span of a line, in positions of that line.
struct ColourSpan {
    int Start = 0;
    int Length = 0;
    TextClass Class = TextClass::Keyword;
};

// The word test: a collected word (upper-case letters) is REM, a reserved word, or nothing.
enum class WordKind { None, Rem, Reserved };
WordKind TestWord(std::u16string_view word);

// Colours one line. inBraceComment says whether the line starts inside a { } comment and becomes
// whether it ends inside one. Text outside the spans keeps the editor's own look.
std::vector<ColourSpan> ScanLine(QStringView line, bool& inBraceComment);

// Texts longer than this get the wait window while they are coloured whole, and the Format command
// asks first.
inline constexpr int LongTextLength = 10000;

// The colouring of one editor document. Each line keeps whether it is coloured and whether it ends
// inside a { } comment; the second depends on every line before it and is worked out lazily, in text
// order, as far as something needs it.
class TLXSyntaxColor : public QObject {
    Q_OBJECT
public:
    explicit TLXSyntaxColor(QTextDocument* document);

    // Colours every line. progress, when given, is called now and then with the position reached.
    void ColourWholeText(const std::function<void(int position)>& progress = {});
    // Colours this line (from now on it follows its changes).
    void ColourLine(const QTextBlock& block);
    static bool IsColoured(const QTextBlock& block);
    // Gives the lines from first to last the look they show (before they are painted or read).
    void ShowLines(const QTextBlock& first, const QTextBlock& last);

    // The look of a class with the settings as they are now.
    static QTextCharFormat FormatFor(TextClass textClass);

    // While suspended (a load puts its lines in, piece by piece), changes are only noted: their lines
    // are scanned as they are shown, and ahead once the colouring goes on.
    void SetSuspended(bool suspended);

    // How many lines have been scanned so far: the work a change costs.
    long long LinesScanned = 0;

private:
    void ContentsChange(int from, int charsRemoved, int charsAdded);
    // Scans lines from firstLine on with exact states: at least through lastLine, then on while a
    // line's state changes, at most to limitLine (exclusive). The lines through lastLine are shown
    // again when showChanged is set. Returns the line after the last one scanned and whether the
    // states had settled there.
    std::pair<int, bool> Rescan(int firstLine, int lastLine, int limitLine, bool showChanged);
    // Makes the states of the lines up to `line` exact.
    void SettleStates(int line);
    // Scans one line after a line of state previousState, stores its state and returns its spans.
    std::vector<ColourSpan> ScanBlock(QTextBlock& block, int previousState);
    void ApplyLook(const QTextBlock& block, const std::vector<ColourSpan>& spans);
    void RefreshFormats();

    QTextDocument* document_ = nullptr;
    // Lines [0, settledLines_) hold exact states; the states of the lines after them may be stale.
    int settledLines_ = 0;
    // Works the states out ahead, a little at a time while the event loop has nothing else to do, so
    // that a jump to the end of a long text finds them ready.
    QTimer* settleTimer_ = nullptr;
    void SettleAhead();
    int blockCount_ = 1;
    bool suspended_ = false;

    QTextCharFormat Formats_[4];
    // The settings the formats were made from; they are made again when one changes.
    int KeywordColor_ = -1, StringColor_ = -1, CommentColor_ = -1;
    int KeywordStyle_ = -1, StringStyle_ = -1, CommentStyle_ = -1;
};

// The wait window shown while a long text is loaded or coloured: a progress bar and a caption.
class TLXLoadWaitForm : public QWidget {
    Q_OBJECT
public:
    explicit TLXLoadWaitForm(QWidget* parent = nullptr);

    // For work that keeps the event loop waiting: shows the window centred on the screen with the bar
    // at 0 of `maximum`, focused, and paints it now and then as the work steps on.
    void Begin(int maximum);
    void Step(int value);
    void End();
    // For work on another thread while the event loop runs (a load): the window shows, without taking
    // the activation from the window the user works in, as long as one such work runs.
    void BeginBackground(int maximum);
    void EndBackground();

    QProgressBar* ProgressBar1 = nullptr;
    int ShowCount = 0; // how many times it has been shown

private:
    void ShowCentred(int maximum);
    void PaintNow();

    QElapsedTimer sincePaint_;
    int backgroundWork_ = 0;
    // Between Begin and End: the event loop waits, the window is painted from Step.
    bool foregroundWork_ = false;
};

// The one wait window, made on first use.
TLXLoadWaitForm* LXLoadWaitForm();
