// Error messages: the message column of the rows of errornumbers.h. Most are a literal; the assembled
// ones share the pieces below and, for the numbers that name a culprit, the statement, function or
// operator that ErrorNameIndex points at. At the end, the line and column of an error and the position
// of one that would stand before its statement.
#include "core/errortext.h"

#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/sharedstate.h"
#include "core/vocabulary.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string_view>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString NL = u"\r\n"_s;
const QString S = u" の構文に誤りがあります。"_s;
const QString E = u"正しい式ではありません。"_s;
const QString M = u"ミスタイプが考えられます。文字や空白を確認して下さい。"_s;
const QString GeneralError = u"エラーです。"_s;

// The statement word a statement code stands for (its code), or 0; a further argument form's code,
// ArgumentFormStep × k + s, stands for s. Besides the slots and their argument forms,
// the internal codes that replace a statement the user wrote name that statement, so that, say, a WEND
// after DO WHILE blames the DO.
int StatementWordCodeOf(int code) {
    if (code >= ArgumentFormStep) code %= ArgumentFormStep;
    if (StatementSlotOfCode(code) != 0) return code;
    if (code >= InSt::MediaPlayerClose && code <= InSt::MediaPlayerStop) return St::MEDIAPLAYER;
    switch (code) {
    case InSt::DoUntil:
    case InSt::DoWhile: return St::DO;
    case InSt::LoopPlain:
    case InSt::LoopUntil:
    case InSt::LoopWhile: return St::LOOP;
    case InSt::AudioMixerMasterMute:
    case InSt::AudioMixerMasterVolume: return St::AUDIOMIXER;
    case InSt::ClipboardClear:
    case InSt::ClipboardSetText: return St::CLIPBOARD;
    case InSt::PrintFileLineEnd:
    case InSt::PrintUsingFile: return St::PRINTFile;
    default: return 0;
    }
}

QString FromTable(std::u16string_view text) {
    return QStringView(text).toString();
}

// The culprit's name; empty whenever ErrorNameIndex is no slot of the table, so a stray index can
// never read outside it.
QString StatementName() {
    return FromTable(StatementWord(StatementWordCodeOf(Fe.ErrorNameIndex)));
}

QString FunctionName() {
    // 10000 × k + f names the k-th further form of function f, 1000 + s reads the setting of statement s
    int code = Fe.ErrorNameIndex;
    if (code >= FunctionFormStep) code %= FunctionFormStep;
    if (FunctionSlotOfCode(code) != 0) return FromTable(FunctionWord(code));
    if (code > SettingValueBase) return FromTable(StatementWord(code - SettingValueBase));
    return {};
}

QString OperatorName() {
    const int slot = Fe.ErrorNameIndex;
    return slot >= 1 && slot <= OperatorCount ? FromTable(OperatorNames[static_cast<std::size_t>(slot)])
                                              : QString();
}

// The second text of the block messages that add the culprit only when there is one.
QString NamedTail(const QString& tail) {
    const QString name = StatementName();
    return name.isEmpty() ? QString() : name + tail;
}

// The rows stand in ascending order of their numbers: each number has one row, where a reader looks
// for it.
constexpr int RowNumbers[] = {
#define LX_ERROR_ROW(name, number, text) number,
    LX_ERROR_NUMBERS(LX_ERROR_ROW)
#undef LX_ERROR_ROW
};
constexpr bool RowsAscend() {
    for (std::size_t i = 1; i < std::size(RowNumbers); ++i)
        if (RowNumbers[i - 1] >= RowNumbers[i]) return false;
    return true;
}
static_assert(RowsAscend(), "the error rows stand in ascending order of their numbers");

// The texts that whole ranges of numbers share.
QString WindowText() {
    return u"Window 文での座標計算中に型の不一致が起きました。"_s + NL +
           u"Window の構文は 「Window (X1,Y1)-(X2,Y2)」の形です。"_s;
}
QString ScreenText() {
    return u"Screen 文での座標計算中に型の不一致が起きました。"_s + NL +
           u"Screen の構文は 「Screen (X,Y)」の形です。"_s;
}

QString BlockMismatchText() {
    const QString name = StatementName();
    return name.isEmpty() ? u"文の対応が不正です。"_s : name + u"文に対応する文がありません。"_s;
}

// The message of each row of the table; a first text directly followed by the second, where a first text
// ending in NL puts the second on a line of its own.
QString MessageText(int number) {
    // Two whole ranges share one text each, numbers without a row of their own included.
    if (number >= Err::WindowNotNumbers && number <= Err::WindowEmptyArea) return WindowText();
    if (number >= Err::ScreenWidthNotNumber && number <= Err::ScreenCoordinateLast) return ScreenText();

    switch (number) {
#define LX_ERROR_TEXT(name, number, text)                                                                    \
    case Err::name: return text;
        LX_ERROR_NUMBERS(LX_ERROR_TEXT)
#undef LX_ERROR_TEXT
    default: return GeneralError;
    }
}

} // namespace

QString ErrorMessage(int number) {
    return MessageText(number);
}

QString LineColumnText(int offset) {
    const QString& text = Fe.CompiledProgramText;
    // Into the text, and onto its first character when it has none: a column is never 0.
    int p = std::min(offset, static_cast<int>(text.size()));
    if (p < 1) p = 1;
    int line = 1;
    int lineBreak = 0; // the last CR or LF before p: the LF of a CR LF is not a column of the next line
    for (int i = 1; i <= p - 1; ++i) {
        const QChar c = text.at(i - 1);
        if (c == QLatin1Char('\r')) ++line;
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) lineBreak = i;
    }
    return QString::number(line) + QStringLiteral("行,　") + QString::number(p - lineBreak) +
           QStringLiteral(" 桁");
}

namespace {

// A statement of two or more words (DO WHILE, LINE INPUT, INPUT #, END IF) has its item at its last
// word: the start of the words before `start` on its line that make one statement with it. THEN and
// ELSE end the statement before them, any other statement word joins the one after it.
int FirstWordOfStatement(int start) {
    const QString& text = Fe.CompiledProgramText;
    if (start < 1 || start > text.size()) return start;
    auto isBlank = [&](int at) {
        return text[at - 1] == QLatin1Char(' ') || text[at - 1] == QLatin1Char('\t');
    };
    auto isLetter = [&](int at) {
        const char16_t c = text[at - 1].unicode();
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    };
    for (;;) {
        int at = start - 1; // 1-based, walking back
        while (at >= 1 && isBlank(at))
            --at;
        const int wordEnd = at;
        while (at >= 1 && isLetter(at))
            --at;
        if (at == wordEnd || (at >= 1 && text[at - 1].isLetterOrNumber())) return start;
        const QString word = text.mid(at, wordEnd - at).toUpper();
        const int slot = SearchStatement(std::u16string_view(reinterpret_cast<const char16_t*>(word.utf16()),
                                                             static_cast<std::size_t>(word.size())));
        if (slot == 0 || slot == St::THEN || slot == St::ELSE) return start;
        start = at + 1;
    }
}

} // namespace

int ErrorPositionInStatement(int position, int statementStart) {
    if (statementStart < 1 || position - 1 >= statementStart) return position;
    const int start = FirstWordOfStatement(statementStart);
    return position - 1 < start ? start + 1 : position;
}
