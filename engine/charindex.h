// Where the characters of a text begin, for the functions that count in characters: a surrogate pair
// (a high unit followed by a low one) is one character, every other UTF-16 unit one. Finding character
// k by walking from the start at every call would make a character-by-character loop over a long
// text quadratic, so each thread remembers, for the last few long texts it was asked about, how far
// they have been walked, whether a surrogate was met, and the unit offset of every 64th character.
// A call then costs what it returns or walks past, not the text before it.
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

inline constexpr char16_t HighSurrogateFirst = 0xD800;
inline constexpr char16_t HighSurrogateLast = 0xDBFF;
inline constexpr char16_t LowSurrogateFirst = 0xDC00;
inline constexpr char16_t LowSurrogateLast = 0xDFFF;

inline bool IsHighSurrogate(char16_t u) {
    return u >= HighSurrogateFirst && u <= HighSurrogateLast;
}
inline bool IsLowSurrogate(char16_t u) {
    return u >= LowSurrogateFirst && u <= LowSurrogateLast;
}
inline bool IsSurrogate(char16_t u) {
    return u >= HighSurrogateFirst && u <= LowSurrogateLast;
}

// 2 when a surrogate pair starts at unit `at`, else 1.
inline qsizetype CharWidthAt(QStringView s, qsizetype at) {
    return at + 1 < s.size() && IsHighSurrogate(s[at].unicode()) && IsLowSurrogate(s[at + 1].unicode()) ? 2
                                                                                                        : 1;
}

// The unit offset reached by moving `count` characters on from unit `from`, which must begin a
// character (at most s.size()). Costs the units moved over.
qsizetype AdvanceChars(QStringView s, qsizetype from, std::int64_t count);

// The unit offset where the last `count` characters of `s` begin (0 when it has no more). Costs the
// units moved over.
qsizetype RetreatChars(QStringView s, std::int64_t count);

// The unit offset where character `index` (0-based) of `text` begins; text.size() when the text has
// no character there. A long text is walked once, across calls, as far as the highest index asked for.
qsizetype CharOffset(const QString& text, std::int64_t index);

// The number of characters of `text`. A long text is counted once while it stays unchanged.
qsizetype CharacterCount(const QString& text);

// How many units the walks of this thread have examined so far. The walks add up what they look at,
// so that a test can tell how the work grows with a text's length without timing anything.
std::uint64_t CharUnitsExamined();

// Appends `tail` to `text` in place where it can be. The memory keeps a reference to every text it
// remembers, so that the units behind it can be neither changed nor freed and reused for another
// text; that reference would make an append copy the whole text. A writer that extends a string
// variable in place appends through here: the memory lets go of the text for the append and then
// takes up the longer text, whose walked part is still its start.
void AppendSharedText(QString& text, const QString& tail);
inline void AppendText(QString& text, const QString& tail) {
    if (text.isDetached()) [[likely]]
        text.append(tail);
    else
        AppendSharedText(text, tail);
}
