// Keyword colouring in the editor: each line scanned into coloured spans, its block state carried to
// the next, and the colours put on the lines as they are shown; also the wait window.
#include "ui/syntaxcolor.h"

#include "core/vocabulary.h"
#include "platform/settings.h"
#include "resources/texts.h"
#include "ui/colorfont.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {

// Block states: bit 0 the line ends inside a { } comment, bit 1 the line is coloured. A line never
// scanned has the state -1.
constexpr int InBraceBit = 1;
constexpr int ColouredBit = 2;

// Non-ASCII characters in code: red (0x00BBGGRR) and underlined.
constexpr int MarkColor = 0x0000FF;
// Characters up to this code drop the word being collected; those above it are marked.
constexpr char16_t LastPlainCode = 128;

// How many lines the whole-text colouring does between two reports of its progress.
constexpr int ProgressLines = 256;

constexpr int WaitFormWidth = 320;
constexpr int WaitFormHeight = 48;
// How long the wait window waits for the desktop to put it on the screen before the work starts.
constexpr int WaitFormExposeLimitMs = 2000;
constexpr int WaitFormExposeCheckMs = 5;
// How often the wait window is painted while the work keeps the event loop waiting.
constexpr int WaitFormPaintIntervalMs = 50;

constexpr std::size_t LongestReservedWord = [] {
    std::size_t longest = 0;
    for (const std::u16string_view word : ReservedWords)
        longest = std::max(longest, word.size());
    return longest;
}();

QTextCharFormat Styled(int bgr, std::uint8_t style) {
    // A span's style replaces the editor font's style: "Normal" means not bold, even when the
    // editor's own font is.
    QTextCharFormat format;
    format.setForeground(FromColorRef(bgr));
    format.setFontWeight((style & FontStyleBit::Bold) != 0 ? QFont::Bold : QFont::Normal);
    format.setFontItalic((style & FontStyleBit::Italic) != 0);
    format.setFontUnderline((style & FontStyleBit::Underline) != 0);
    format.setFontStrikeOut((style & FontStyleBit::StrikeOut) != 0);
    return format;
}

int Index(TextClass textClass) {
    return static_cast<int>(textClass);
}

} // namespace

// ---- the rules ----------------------------------------------------------------------------------------

WordKind TestWord(std::u16string_view word) {
    if (word == u"REM") return WordKind::Rem;
    return SearchReservedWord(word) > 0 ? WordKind::Reserved : WordKind::None;
}

std::vector<ColourSpan> ScanLine(QStringView line, bool& inBraceComment) {
    std::vector<ColourSpan> spans;
    const int n = static_cast<int>(line.size());
    int i = 0;
    auto add = [&spans](int start, int length, TextClass textClass) {
        if (length > 0) spans.push_back({start, length, textClass});
    };

    if (inBraceComment) {
        const int close = static_cast<int>(line.indexOf(u'}'));
        if (close < 0) {
            add(0, n, TextClass::Comment);
            return spans;
        }
        add(0, close + 1, TextClass::Comment);
        inBraceComment = false;
        i = close + 1;
    }

    // The word being collected: upper-case letters from wordStart on. A word longer than every
    // reserved word is only counted.
    char16_t word[LongestReservedWord];
    int wordStart = -1;
    int wordLength = 0;
    auto dropWord = [&] {
        wordStart = -1;
        wordLength = 0;
    };
    // Tests and colours the word; true when it is REM, whose comment takes the rest of the line.
    auto endWord = [&]() -> bool {
        if (wordStart < 0) return false;
        const WordKind kind = static_cast<std::size_t>(wordLength) <= LongestReservedWord
                                  ? TestWord(std::u16string_view(word, static_cast<std::size_t>(wordLength)))
                                  : WordKind::None;
        if (kind == WordKind::Rem) {
            add(wordStart, n - wordStart, TextClass::Comment);
            dropWord();
            return true;
        }
        if (kind == WordKind::Reserved) add(wordStart, wordLength, TextClass::Keyword);
        dropWord();
        return false;
    };

    while (i < n) {
        char16_t c = line.at(i).unicode();
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
        if (c >= u'A' && c <= u'Z') {
            if (wordStart < 0) wordStart = i;
            if (static_cast<std::size_t>(wordLength) < LongestReservedWord)
                word[static_cast<std::size_t>(wordLength)] = c;
            ++wordLength;
            ++i;
            continue;
        }
        switch (c) {
        case u' ':
            if (endWord()) return spans;
            ++i;
            continue;
        case u'"': {
            // A literal ends at the next double quote of its line, or with the line as the language
            // has it; the quotes keep the look of code.
            if (endWord()) return spans;
            const int close = static_cast<int>(line.indexOf(u'"', i + 1));
            const int end = close < 0 ? n : close;
            add(i + 1, end - i - 1, TextClass::String);
            i = close < 0 ? n : close + 1;
            continue;
        }
        case u'\'':
            if (endWord()) return spans;
            add(i, n - i, TextClass::Comment);
            return spans;
        case u'{': {
            if (endWord()) return spans;
            const int close = static_cast<int>(line.indexOf(u'}', i + 1));
            if (close < 0) {
                add(i + 1, n - i - 1, TextClass::Comment);
                inBraceComment = true;
                return spans;
            }
            add(i + 1, close - i, TextClass::Comment);
            i = close + 1;
            continue;
        }
        default: break;
        }
        dropWord();
        if (c > LastPlainCode) {
            if (!spans.empty() && spans.back().Class == TextClass::Marked &&
                spans.back().Start + spans.back().Length == i)
                ++spans.back().Length;
            else
                add(i, 1, TextClass::Marked);
        }
        ++i;
    }
    endWord();
    return spans;
}

// ---- the colouring of a document ------------------------------------------------------------------

namespace {

// A change of more lines than this (a file loaded, a long paste) is not scanned at once: its lines
// are scanned when they are shown.
constexpr int EagerLines = 2000;
// How far a change is followed at once into the lines after it ({ opened or closed); the lines
// beyond are scanned when they are shown.
constexpr int FollowLines = 2000;
// Working states out ahead: a few milliseconds at a time, some lines between two looks at the clock,
// and a pause in between.
constexpr qint64 SettleSliceMs = 8;
constexpr int SettleStepLines = 256;
constexpr int SettleIntervalMs = 1;

int StateBefore(const QTextBlock& block) {
    const QTextBlock previous = block.previous();
    return previous.isValid() ? previous.userState() : -1;
}

} // namespace

TLXSyntaxColor::TLXSyntaxColor(QTextDocument* document) : QObject(document), document_(document) {
    blockCount_ = document->blockCount();
    connect(document, &QTextDocument::contentsChange, this, &TLXSyntaxColor::ContentsChange);
    settleTimer_ = new QTimer(this);
    settleTimer_->setSingleShot(true);
    settleTimer_->setInterval(SettleIntervalMs);
    connect(settleTimer_, &QTimer::timeout, this, &TLXSyntaxColor::SettleAhead);
}

void TLXSyntaxColor::SettleAhead() {
    QElapsedTimer clock;
    clock.start();
    while (settledLines_ < document_->blockCount() && clock.elapsed() < SettleSliceMs)
        SettleStates(settledLines_ + SettleStepLines - 1);
    if (settledLines_ < document_->blockCount()) settleTimer_->start();
}

QTextCharFormat TLXSyntaxColor::FormatFor(TextClass textClass) {
    switch (textClass) {
    case TextClass::Keyword: return Styled(Settings.EditorKeywordColor, Settings.EditorKeywordStyle);
    case TextClass::String: return Styled(Settings.EditorStringColor, Settings.EditorStringStyle);
    case TextClass::Comment: return Styled(Settings.EditorCommentColor, Settings.EditorCommentStyle);
    case TextClass::Marked: return Styled(MarkColor, FontStyleBit::Underline);
    }
    return {};
}

void TLXSyntaxColor::RefreshFormats() {
    if (KeywordColor_ == Settings.EditorKeywordColor && StringColor_ == Settings.EditorStringColor &&
        CommentColor_ == Settings.EditorCommentColor && KeywordStyle_ == Settings.EditorKeywordStyle &&
        StringStyle_ == Settings.EditorStringStyle && CommentStyle_ == Settings.EditorCommentStyle)
        return;
    KeywordColor_ = Settings.EditorKeywordColor;
    StringColor_ = Settings.EditorStringColor;
    CommentColor_ = Settings.EditorCommentColor;
    KeywordStyle_ = Settings.EditorKeywordStyle;
    StringStyle_ = Settings.EditorStringStyle;
    CommentStyle_ = Settings.EditorCommentStyle;
    for (const TextClass textClass :
         {TextClass::Keyword, TextClass::String, TextClass::Comment, TextClass::Marked})
        Formats_[Index(textClass)] = FormatFor(textClass);
}

bool TLXSyntaxColor::IsColoured(const QTextBlock& block) {
    return block.userState() >= 0 && (block.userState() & ColouredBit) != 0;
}

std::vector<ColourSpan> TLXSyntaxColor::ScanBlock(QTextBlock& block, int previousState) {
    const int previous = std::max(0, previousState);
    const int own = block.userState();
    // A line that is new (a line break typed or pasted into a coloured line) takes the state of the
    // line it came from, so the colouring follows the text.
    const bool coloured = own >= 0 ? (own & ColouredBit) != 0 : (previous & ColouredBit) != 0;
    // The { } comments are followed through every line, coloured or not, so a line coloured later
    // knows whether it starts inside one.
    bool inBrace = (previous & InBraceBit) != 0;
    std::vector<ColourSpan> spans = ScanLine(block.text(), inBrace);
    ++LinesScanned;
    block.setUserState((coloured ? ColouredBit : 0) | (inBrace ? InBraceBit : 0));
    return spans;
}

void TLXSyntaxColor::SettleStates(int line) {
    if (line < settledLines_) return;
    QTextBlock block = document_->findBlockByNumber(settledLines_);
    int previous = StateBefore(block);
    while (block.isValid() && settledLines_ <= line) {
        ScanBlock(block, previous);
        previous = block.userState();
        block = block.next();
        ++settledLines_;
    }
}

std::pair<int, bool> TLXSyntaxColor::Rescan(int firstLine, int lastLine, int limitLine, bool showChanged) {
    QTextBlock block = document_->findBlockByNumber(firstLine);
    int previous = StateBefore(block);
    int line = firstLine;
    bool changed = true;
    while (block.isValid() && (line <= lastLine || (changed && line < limitLine))) {
        const int before = block.userState();
        const std::vector<ColourSpan> spans = ScanBlock(block, previous);
        changed = block.userState() != before;
        if (showChanged && line <= lastLine) ApplyLook(block, spans);
        previous = block.userState();
        block = block.next();
        ++line;
    }
    // Lines after the changed ones whose state moved show the change once they are painted again.
    if (line > lastLine + 1) {
        const QTextBlock after = document_->findBlockByNumber(lastLine + 1);
        const QTextBlock end = document_->findBlockByNumber(line - 1);
        const QSignalBlocker quiet(document_);
        document_->markContentsDirty(after.position(), end.position() + end.length() - after.position());
    }
    return {line, !changed};
}

void TLXSyntaxColor::SetSuspended(bool suspended) {
    suspended_ = suspended;
    if (suspended) {
        settleTimer_->stop();
        return;
    }
    blockCount_ = document_->blockCount();
    if (settledLines_ < blockCount_) settleTimer_->start();
}

void TLXSyntaxColor::ContentsChange(int from, int charsRemoved, int charsAdded) {
    const int count = document_->blockCount();
    const int added = count - blockCount_;
    blockCount_ = count;
    const QTextBlock first = document_->findBlock(from);
    if (!first.isValid()) return;
    if (suspended_) {
        settledLines_ = std::min(settledLines_, first.blockNumber());
        return;
    }
    const QTextBlock last = document_->findBlock(from + charsAdded + (charsRemoved > 0 ? 1 : 0));
    const int firstLine = first.blockNumber();
    const int lastLine = last.isValid() ? last.blockNumber() : count - 1;
    const int settled = settledLines_;
    if (!settleTimer_->isActive()) settleTimer_->start();
    // A change among lines whose states are still to be worked out is scanned with them.
    if (settled <= firstLine) return;
    settledLines_ = firstLine;
    if (lastLine - firstLine >= EagerLines) return;
    // The lines after the change that were settled before it stay so once a line's state is the same
    // as before.
    const int settledTail = std::max(lastLine + 1, settled + added);
    const auto [next, same] =
        Rescan(firstLine, lastLine, std::min(settledTail, lastLine + 1 + FollowLines), true);
    settledLines_ = same ? std::max(next, settledTail) : next;
}

void TLXSyntaxColor::ColourLine(const QTextBlock& block) {
    if (!block.isValid()) return;
    const int line = block.blockNumber();
    // The line after it too: a new line takes the state of the line it came from as it was then.
    SettleStates(line + 1);
    if (IsColoured(block)) {
        ShowLines(block, block);
        return;
    }
    QTextBlock target = block;
    target.setUserState(std::max(0, target.userState()) | ColouredBit);
    const int settled = settledLines_;
    const auto [next, same] = Rescan(line, line, std::min(settled, line + 1 + FollowLines), true);
    settledLines_ = same ? std::max(next, settled) : next;
}

void TLXSyntaxColor::ColourWholeText(const std::function<void(int)>& progress) {
    // Each line is marked; the colours themselves come when a line is shown.
    int line = 0;
    for (QTextBlock block = document_->begin(); block.isValid(); block = block.next(), ++line) {
        block.setUserState(std::max(0, block.userState()) | ColouredBit);
        if (progress && line % ProgressLines == 0) progress(block.position());
    }
    if (progress) progress(std::max(0, document_->characterCount() - 1));
}

void TLXSyntaxColor::ShowLines(const QTextBlock& first, const QTextBlock& last) {
    if (!first.isValid() || first.document() != document_) return;
    const int lastLine = std::max(first.blockNumber(), last.isValid() ? last.blockNumber() : 0);
    SettleStates(lastLine);
    QTextBlock block = first;
    int previous = StateBefore(block);
    for (int line = first.blockNumber(); block.isValid() && line <= lastLine; ++line) {
        std::vector<ColourSpan> spans;
        if (IsColoured(block)) {
            bool inBrace = (std::max(0, previous) & InBraceBit) != 0;
            spans = ScanLine(block.text(), inBrace);
            ++LinesScanned;
        }
        ApplyLook(block, spans);
        previous = block.userState();
        block = block.next();
    }
}

void TLXSyntaxColor::ApplyLook(const QTextBlock& block, const std::vector<ColourSpan>& spans) {
    QTextLayout* layout = block.layout();
    const QList<QTextLayout::FormatRange> current = layout->formats();
    QList<QTextLayout::FormatRange> ranges;
    // A composition under way keeps the look the input method gave it; the line's own colours
    // stand around it.
    const int preeditStart = layout->preeditAreaPosition();
    const int preeditLength = static_cast<int>(layout->preeditAreaText().size());
    if (preeditLength != 0)
        for (const QTextLayout::FormatRange& range : current)
            if (range.start >= preeditStart && range.start + range.length <= preeditStart + preeditLength)
                ranges.append(range);
    if (IsColoured(block) && !spans.empty()) {
        RefreshFormats();
        const int length = block.length() - 1;
        for (std::size_t i = 0; i < spans.size(); ++i) {
            QTextLayout::FormatRange range;
            range.start = spans[i].Start;
            range.length = spans[i].Length;
            range.format = Formats_[Index(spans[i].Class)];
            // Neighbouring spans of one look are one range.
            while (i + 1 < spans.size() && Formats_[Index(spans[i + 1].Class)] == range.format &&
                   spans[i + 1].Start == range.start + range.length)
                range.length += spans[++i].Length;
            range.length = std::min(range.length, length - range.start);
            if (range.length <= 0) continue;
            if (preeditLength != 0) {
                if (range.start >= preeditStart)
                    range.start += preeditLength;
                else if (range.start + range.length >= preeditStart)
                    range.length += preeditLength;
            }
            ranges.append(range);
        }
    }
    if (ranges == current) return;
    layout->setFormats(ranges);
    // Only the look changes: the text and its modified state stay as they are.
    const QSignalBlocker quiet(document_);
    document_->markContentsDirty(block.position(), block.length());
}

// ---- the wait window ----------------------------------------------------------------------------------

TLXLoadWaitForm::TLXLoadWaitForm(QWidget* parent)
    : QWidget(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint) {
    setWindowTitle(QString::fromUtf16(Txt::LoadWaitCaption));
    ProgressBar1 = new QProgressBar(this);
    // How far the work has come, also as a number.
    ProgressBar1->setTextVisible(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ProgressBar1);
    resize(WaitFormWidth, WaitFormHeight);
}

void TLXLoadWaitForm::ShowCentred(int maximum) {
    ProgressBar1->setRange(0, std::max(0, maximum));
    ProgressBar1->setValue(0);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    ++ShowCount;
}

void TLXLoadWaitForm::BeginBackground(int maximum) {
    ++backgroundWork_;
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    ShowCentred(maximum);
}

void TLXLoadWaitForm::EndBackground() {
    if (backgroundWork_ > 0 && --backgroundWork_ == 0) hide();
}

void TLXLoadWaitForm::Begin(int maximum) {
    foregroundWork_ = true;
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    ShowCentred(maximum);
    activateWindow();
    // The work that follows keeps the event loop waiting. A window is only painted once the desktop
    // has put it on the screen, which takes a round trip through the window system: wait for that
    // (without taking keys or clicks, which wait for the end of the work), so the window shows its
    // caption and bar instead of an empty box.
    auto shown = [this] {
        return !isVisible() || (windowHandle() != nullptr && windowHandle()->isExposed());
    };
    if (!shown()) {
        QEventLoop loop;
        QTimer check;
        check.setInterval(WaitFormExposeCheckMs);
        QElapsedTimer waited;
        waited.start();
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (shown() || waited.elapsed() >= WaitFormExposeLimitMs) loop.quit();
        });
        check.start();
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    PaintNow();
}

void TLXLoadWaitForm::Step(int value) {
    ProgressBar1->setValue(std::clamp(value, ProgressBar1->minimum(), ProgressBar1->maximum()));
    // Work in the background leaves the painting to the event loop.
    if (foregroundWork_ && isVisible() && sincePaint_.elapsed() >= WaitFormPaintIntervalMs) PaintNow();
}

void TLXLoadWaitForm::PaintNow() {
    // Paint and window-system events only; the bar shows how far the work has come.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (isVisible()) repaint();
    sincePaint_.start();
}

void TLXLoadWaitForm::End() {
    foregroundWork_ = false;
    if (backgroundWork_ == 0) hide();
}

TLXLoadWaitForm* LXLoadWaitForm() {
    static QPointer<TLXLoadWaitForm> form;
    if (form.isNull()) form = new TLXLoadWaitForm;
    return form.data();
}
