// The tables and mappings of width and kana: full width and half width (voiced marks joined and split),
// hiragana and katakana.
#include "engine/kanatables.h"

#include "platform/halfwidthkana.h"

#include <array>

namespace {

constexpr char16_t IdeographicSpace = 0x3000;
constexpr char16_t AsciiFirst = 0x21;        // "!"
constexpr char16_t AsciiLast = 0x7E;         // "~"
constexpr char16_t FullAsciiOffset = 0xFEE0; // U+FF01 - U+0021

constexpr char16_t CombiningVoicedMark = 0x3099;
constexpr char16_t CombiningSemiVoicedMark = 0x309A;

// Signs with a full-width form outside the ASCII block: U+FFE0 to U+FFE6 and U+FFE8 to U+FFEE.
struct WidthPair {
    char16_t Half;
    char16_t Full;
};
constexpr std::array<WidthPair, 14> SignPairs = {{
    {0x00A2, 0xFFE0},
    {0x00A3, 0xFFE1},
    {0x00AC, 0xFFE2},
    {0x00AF, 0xFFE3},
    {0x00A6, 0xFFE4},
    {0x00A5, 0xFFE5},
    {0x20A9, 0xFFE6},
    {0xFFE8, 0x2502},
    {0xFFE9, 0x2190},
    {0xFFEA, 0x2191},
    {0xFFEB, 0x2192},
    {0xFFEC, 0x2193},
    {0xFFED, 0x25A0},
    {0xFFEE, 0x25CB},
}};

// Katakana that have a voiced form one code point on (and for the ha row a semi-voiced form two on).
constexpr bool TakesVoicedMark(char16_t kana) {
    if (kana >= 0x30AB && kana <= 0x30C2) return (kana - 0x30AB) % 2 == 0; // KA .. CHI
    if (kana == 0x30C4 || kana == 0x30C6 || kana == 0x30C8) return true;   // TSU, TE, TO
    if (kana >= 0x30CF && kana <= 0x30DB) return (kana - 0x30CF) % 3 == 0; // HA .. HO
    return false;
}
constexpr bool TakesSemiVoicedMark(char16_t kana) {
    return kana >= 0x30CF && kana <= 0x30DB && (kana - 0x30CF) % 3 == 0;
}

// Voiced forms that are not one code point after their base.
constexpr char16_t KatakanaU = 0x30A6, KatakanaVU = 0x30F4;
constexpr char16_t KatakanaWA = 0x30EF, KatakanaVA = 0x30F7;
constexpr char16_t KatakanaWO = 0x30F2, KatakanaVO = 0x30FA;

// The kana joined with a following voiced (1) or semi-voiced (2) mark; 0 when they do not join.
char16_t JoinMark(char16_t kana, int mark) {
    if (mark == 1) {
        if (TakesVoicedMark(kana)) return kana + 1;
        if (kana == KatakanaU) return KatakanaVU;
        if (kana == KatakanaWA) return KatakanaVA;
        if (kana == KatakanaWO) return KatakanaVO;
    } else if (mark == 2 && TakesSemiVoicedMark(kana)) {
        return kana + 2;
    }
    return 0;
}

// Half-width spelling of U+3000 to U+30FF: up to two units (a kana and its mark), empty when none.
struct HalfSpelling {
    char16_t Units[2] = {0, 0};
};
using HalfTable = std::array<HalfSpelling, 0x100>;

const HalfTable& HalfOfFullKana() {
    static const HalfTable table = [] {
        HalfTable t{};
        for (std::size_t i = 0; i < FullwidthKana.size(); ++i) {
            const char16_t half = static_cast<char16_t>(FirstHalfwidthKana + i);
            t[FullwidthKana[i] - 0x3000].Units[0] = half;
        }
        for (std::size_t i = 0; i < FullwidthKana.size(); ++i) {
            const char16_t half = static_cast<char16_t>(FirstHalfwidthKana + i);
            const char16_t base = FullwidthKana[i];
            for (int mark = 1; mark <= 2; ++mark) {
                const char16_t joined = JoinMark(base, mark);
                if (joined == 0) continue;
                HalfSpelling& s = t[joined - 0x3000];
                s.Units[0] = half;
                s.Units[1] = mark == 1 ? HalfwidthVoicedMark : HalfwidthSemiVoicedMark;
            }
        }
        t[CombiningVoicedMark - 0x3000].Units[0] = HalfwidthVoicedMark;
        t[CombiningSemiVoicedMark - 0x3000].Units[0] = HalfwidthSemiVoicedMark;
        return t;
    }();
    return table;
}

constexpr char16_t HiraganaFirst = 0x3041, HiraganaLast = 0x3096;
constexpr char16_t KatakanaFirst = 0x30A1, KatakanaLast = 0x30F6;
constexpr char16_t KanaOffset = KatakanaFirst - HiraganaFirst;
constexpr char16_t HiraganaIteration = 0x309D, HiraganaVoicedIteration = 0x309E;
constexpr char16_t KatakanaIteration = 0x30FD, KatakanaVoicedIteration = 0x30FE;

// The move between the hiragana and the katakana block: the letters shift by one offset, the two
// iteration marks map to their counterparts.
struct KanaShift {
    char16_t First, Last;
    int Offset;
    char16_t Iteration, IterationTo, VoicedIteration, VoicedIterationTo;
};
constexpr KanaShift HiraganaToKatakana{HiraganaFirst,          HiraganaLast,      KanaOffset,
                                       HiraganaIteration,      KatakanaIteration, HiraganaVoicedIteration,
                                       KatakanaVoicedIteration};
constexpr KanaShift KatakanaToHiragana{KatakanaFirst,          KatakanaLast,      -KanaOffset,
                                       KatakanaIteration,      HiraganaIteration, KatakanaVoicedIteration,
                                       HiraganaVoicedIteration};

QString ShiftKana(QStringView text, const KanaShift& shift) {
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        if (c >= shift.First && c <= shift.Last)
            c = static_cast<char16_t>(c + shift.Offset);
        else if (c == shift.Iteration)
            c = shift.IterationTo;
        else if (c == shift.VoicedIteration)
            c = shift.VoicedIterationTo;
        out[i] = QChar(c);
    }
    return out;
}

// A sign's form of the other width: `from` and `to` pick the sides of SignPairs; any other character
// stays as it is.
char16_t OtherWidthSign(char16_t c, char16_t WidthPair::*from, char16_t WidthPair::*to) {
    char16_t mapped = c;
    for (const WidthPair& p : SignPairs) {
        if (p.*from == c) mapped = p.*to;
    }
    return mapped;
}

} // namespace

QString ToFullWidth(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u' ') {
            out += QChar(IdeographicSpace);
        } else if (c >= AsciiFirst && c <= AsciiLast) {
            out += QChar(static_cast<char16_t>(c + FullAsciiOffset));
        } else if (c >= FirstHalfwidthKana && c <= LastHalfwidthKana) {
            const char16_t full = FullwidthKana[c - FirstHalfwidthKana];
            const char16_t next = i + 1 < text.size() ? text[i + 1].unicode() : 0;
            const int mark = next == HalfwidthVoicedMark ? 1 : next == HalfwidthSemiVoicedMark ? 2 : 0;
            const char16_t joined = mark != 0 ? JoinMark(full, mark) : 0;
            if (joined != 0) {
                out += QChar(joined);
                ++i;
            } else {
                out += QChar(full);
            }
        } else {
            out += QChar(OtherWidthSign(c, &WidthPair::Half, &WidthPair::Full));
        }
    }
    return out;
}

QString ToHalfWidth(QStringView text) {
    const HalfTable& kana = HalfOfFullKana();
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == IdeographicSpace) {
            out += u' ';
        } else if (c >= AsciiFirst + FullAsciiOffset && c <= AsciiLast + FullAsciiOffset) {
            out += QChar(static_cast<char16_t>(c - FullAsciiOffset));
        } else if (c > IdeographicSpace && c <= 0x30FF && kana[c - 0x3000].Units[0] != 0) {
            const HalfSpelling& s = kana[c - 0x3000];
            out += QChar(s.Units[0]);
            if (s.Units[1] != 0) out += QChar(s.Units[1]);
        } else {
            out += QChar(OtherWidthSign(c, &WidthPair::Full, &WidthPair::Half));
        }
    }
    return out;
}

QString ToKatakana(QStringView text) {
    return ShiftKana(text, HiraganaToKatakana);
}

QString ToHiragana(QStringView text) {
    return ShiftKana(text, KatakanaToHiragana);
}
