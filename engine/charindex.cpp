// Character offsets in texts where a surrogate pair is one character: the walks over units and the
// memory of the long texts walked last.
#include "engine/charindex.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <limits>
#include <new>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// ---- walks over units ----------------------------------------------------------------------------------

// The units examined by this thread's walks (see CharUnitsExamined).
thread_local std::uint64_t UnitsExamined = 0;

// A unit is a surrogate when its top five bits are 11011.
constexpr char16_t SurrogateMask = 0xF800;

#if defined(__SSE2__)
constexpr qsizetype Lanes = 8; // units in one SSE2 register

// A mask with two bits for every unit of the eight at `units` that is a surrogate.
inline unsigned SurrogateBits(const char16_t* units) {
    const __m128i mask = _mm_set1_epi16(static_cast<short>(SurrogateMask));
    const __m128i surrogate = _mm_set1_epi16(static_cast<short>(HighSurrogateFirst));
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(chunk, mask), surrogate)));
}
#endif

// The first unit in [from, to) that is a surrogate, or `to` when there is none.
qsizetype FindSurrogate(const char16_t* units, qsizetype from, qsizetype to) {
    qsizetype i = from;
#if defined(__SSE2__)
    // Four registers a step, tested together: most texts have no surrogate at all.
    constexpr qsizetype Block = 4 * Lanes;
    for (; i + Block <= to; i += Block) {
        if ((SurrogateBits(units + i) | SurrogateBits(units + i + Lanes) |
             SurrogateBits(units + i + 2 * Lanes) | SurrogateBits(units + i + 3 * Lanes)) != 0)
            break;
    }
    for (; i + Lanes <= to; i += Lanes) {
        if (const unsigned bits = SurrogateBits(units + i); bits != 0) {
            i += std::countr_zero(bits) / 2;
            UnitsExamined += static_cast<std::uint64_t>(i - from + 1);
            return i;
        }
    }
#endif
    for (; i < to; ++i) {
        if ((units[i] & SurrogateMask) == HighSurrogateFirst) {
            UnitsExamined += static_cast<std::uint64_t>(i - from + 1);
            return i;
        }
    }
    UnitsExamined += static_cast<std::uint64_t>(to - from);
    return to;
}

// The last unit in [from, to) that is a surrogate, or from - 1 when there is none.
qsizetype FindSurrogateBack(const char16_t* units, qsizetype from, qsizetype to) {
    qsizetype i = to;
#if defined(__SSE2__)
    constexpr unsigned HighestBit = 31;
    for (; i - Lanes >= from; i -= Lanes) {
        if (const unsigned bits = SurrogateBits(units + i - Lanes); bits != 0) {
            const qsizetype at =
                i - Lanes + static_cast<qsizetype>((HighestBit - std::countl_zero(bits)) / 2);
            UnitsExamined += static_cast<std::uint64_t>(to - at);
            return at;
        }
    }
#endif
    for (; i > from; --i) {
        if ((units[i - 1] & SurrogateMask) == HighSurrogateFirst) {
            UnitsExamined += static_cast<std::uint64_t>(to - i + 1);
            return i - 1;
        }
    }
    UnitsExamined += static_cast<std::uint64_t>(to - from);
    return from - 1;
}

// Moves on from unit `from` (where a character begins) by `count` characters, or to the end of the
// text; `count` is left with the characters that were not there. Returns the unit reached.
qsizetype Walk(QStringView s, qsizetype from, std::int64_t& count) {
    const char16_t* units = s.utf16();
    const qsizetype size = s.size();
    qsizetype at = from;
    while (count > 0 && at < size) {
        const qsizetype room = size - at;
        const qsizetype to = count < room ? at + static_cast<qsizetype>(count) : size;
        const qsizetype surrogate = FindSurrogate(units, at, to);
        count -= surrogate - at;
        at = surrogate;
        if (at == to) break;
        at += CharWidthAt(s, at);
        --count;
    }
    return at;
}

// ---- the memory of long texts ----------------------------------------------------------------------------

// Every this many characters a walked text with surrogates keeps the unit offset where one begins.
constexpr std::int64_t MarkInterval = 64;
// Texts up to this many units, and indexes up to it, are walked at each call: a walk that short costs
// less than remembering (and a remembered text is shared, which its next in-place append would copy).
constexpr qsizetype DirectWalkLimit = 256;
// A walk goes up to this many characters beyond what it was asked for (never further than it was
// asked to go), so that a loop asking for one character after another walks once in so many calls.
constexpr std::int64_t WalkAhead = 4096;
constexpr std::size_t RememberedTexts = 4;
// A forgotten text's marks are kept for the next one unless they take more room than this.
constexpr std::size_t KeptMarks = 4096;

constexpr std::int64_t NoLimit = std::numeric_limits<std::int64_t>::max();

// A text walked from its start as far as one of its calls needed.
struct WalkedText {
    // The text itself: while it is held here, its units can be neither changed nor freed (a change
    // makes its writer copy them first), so the data block, the units and the size name this text.
    QString Text;
    // [0, WalkedUnits) has been walked and holds WalkedChars characters; it ends where one begins.
    qsizetype WalkedUnits = 0;
    std::int64_t WalkedChars = 0;
    // No surrogate in the walked part: there character k begins at unit k.
    bool Plain = true;
    // When not Plain: Marks[j] is where character j * MarkInterval begins, for every such character
    // up to WalkedChars.
    std::vector<qsizetype> Marks;
    // The character found last and where it begins: a loop asking for one character after another
    // moves on from there rather than from a mark.
    std::int64_t LastChar = 0;
    qsizetype LastOffset = 0;

    bool Holds(const QString& text) const {
        return Text.isSharedWith(text) && Text.constData() == text.constData() && Text.size() == text.size();
    }

    void Forget() {
        Text = QString();
        WalkedUnits = 0;
        WalkedChars = 0;
        Plain = true;
        LastChar = 0;
        LastOffset = 0;
        Marks.clear();
        if (Marks.capacity() > KeptMarks) Marks = std::vector<qsizetype>();
    }

    void Start(const QString& text) {
        Forget();
        Text = text;
    }

    // A stretch of `length` units without surrogates begins at WalkedUnits: it is walked, and the
    // characters of it at which marks belong get theirs.
    void WalkPlain(qsizetype length) {
        if (!Plain) {
            const std::int64_t last = WalkedChars + length;
            for (std::int64_t k = (WalkedChars / MarkInterval + 1) * MarkInterval; k <= last;
                 k += MarkInterval)
                Marks.push_back(WalkedUnits + static_cast<qsizetype>(k - WalkedChars));
        }
        WalkedUnits += length;
        WalkedChars += length;
    }

    // Walks on until at least `chars` characters are walked or the text ends.
    void WalkTo(std::int64_t chars) {
        const char16_t* units = reinterpret_cast<const char16_t*>(Text.constData());
        const qsizetype size = Text.size();
        while (WalkedChars < chars && WalkedUnits < size) {
            const qsizetype room = size - WalkedUnits;
            const std::int64_t wanted = chars - WalkedChars;
            const qsizetype to = wanted < room ? WalkedUnits + static_cast<qsizetype>(wanted) : size;
            const qsizetype surrogate = FindSurrogate(units, WalkedUnits, to);
            WalkPlain(surrogate - WalkedUnits);
            if (surrogate == to) continue;
            if (Plain) {
                // The first surrogate: so far character k began at unit k.
                Plain = false;
                for (std::int64_t k = 0; k <= WalkedChars; k += MarkInterval)
                    Marks.push_back(static_cast<qsizetype>(k));
            }
            WalkedUnits += CharWidthAt(Text, WalkedUnits);
            ++WalkedChars;
            if (WalkedChars % MarkInterval == 0) Marks.push_back(WalkedUnits);
        }
    }

    // Where character `index` begins (Text.size() beyond the last one).
    qsizetype OffsetOf(std::int64_t index) {
        if (index > WalkedChars)
            WalkTo(index > NoLimit - WalkAhead ? NoLimit : index + std::min(index, WalkAhead));
        if (index >= WalkedChars) return index == WalkedChars ? WalkedUnits : Text.size();
        if (Plain) return static_cast<qsizetype>(index);
        const std::size_t mark = static_cast<std::size_t>(index / MarkInterval);
        std::int64_t fromChar = static_cast<std::int64_t>(mark) * MarkInterval;
        qsizetype from = Marks[mark];
        if (LastChar > fromChar && LastChar <= index) {
            fromChar = LastChar;
            from = LastOffset;
        }
        LastOffset = AdvanceChars(Text, from, index - fromChar);
        LastChar = index;
        return LastOffset;
    }

    std::int64_t Count() {
        if (WalkedUnits < Text.size()) WalkTo(NoLimit);
        return WalkedChars;
    }
};

// The texts of this thread, the one used last first.
thread_local std::array<WalkedText, RememberedTexts> Remembered;

// Whether `text` is one a thread may remember: one with a data block of its own (a text made over
// units it does not own, which their owner may change, is walked at each call).
bool Rememberable(const QString& text) {
    return text.data_ptr().isMutable();
}

// What this thread remembers of `text`, taken up (to be walked from its start) when it was not
// remembered yet. The text asked about last is the usual answer; the others are looked through apart.
[[gnu::noinline]] WalkedText& RememberedAmongOthers(const QString& text) {
    std::array<WalkedText, RememberedTexts>& texts = Remembered;
    std::size_t at = 1;
    while (at < texts.size() && !texts[at].Holds(text))
        ++at;
    if (at == texts.size()) {
        // Texts nobody else holds any more are let go of now, not kept alive by this memory; the new
        // one takes a place so freed, or else the place of the text used longest ago.
        for (WalkedText& walked : texts)
            if (walked.Text.isDetached()) walked.Forget();
        at = 0;
        while (at + 1 < texts.size() && !texts[at].Text.isNull())
            ++at;
        texts[at].Start(text);
    }
    std::rotate(texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(at),
                texts.begin() + static_cast<std::ptrdiff_t>(at) + 1);
    return texts[0];
}

inline WalkedText& RememberedFor(const QString& text) {
    WalkedText& last = Remembered[0];
    if (last.Holds(text)) [[likely]]
        return last;
    return RememberedAmongOthers(text);
}

} // namespace

qsizetype AdvanceChars(QStringView s, qsizetype from, std::int64_t count) {
    // One character of one unit, as a loop taking a text apart asks for, without the walk around it.
    if (count == 1 && from < s.size() && !IsSurrogate(s[from].unicode())) {
        ++UnitsExamined;
        return from + 1;
    }
    return Walk(s, from, count);
}

qsizetype RetreatChars(QStringView s, std::int64_t count) {
    const char16_t* units = s.utf16();
    qsizetype at = s.size();
    while (count > 0 && at > 0) {
        const qsizetype from = count < at ? at - static_cast<qsizetype>(count) : 0;
        const qsizetype surrogate = FindSurrogateBack(units, from, at);
        // The units after the surrogate are characters of one unit each; a unit that is no surrogate
        // never ends a pair, so each place among them begins a character.
        count -= at - (surrogate + 1);
        at = surrogate + 1;
        if (surrogate < from) break;
        const bool pair =
            surrogate > 0 && IsLowSurrogate(units[surrogate]) && IsHighSurrogate(units[surrogate - 1]);
        at -= pair ? 2 : 1;
        --count;
    }
    return at;
}

qsizetype CharOffset(const QString& text, std::int64_t index) {
    if (index <= DirectWalkLimit || text.size() <= DirectWalkLimit || !Rememberable(text))
        return AdvanceChars(text, 0, index);
    try {
        return RememberedFor(text).OffsetOf(index);
    } catch (const std::bad_alloc&) {
        // No room for the marks of a text with surrogates: it is walked from its start instead.
        Remembered[0].Forget();
        return AdvanceChars(text, 0, index);
    }
}

qsizetype CharacterCount(const QString& text) {
    const auto walkAll = [&] {
        std::int64_t left = NoLimit;
        Walk(text, 0, left);
        return static_cast<qsizetype>(NoLimit - left);
    };
    if (text.size() <= DirectWalkLimit || !Rememberable(text)) return walkAll();
    try {
        return static_cast<qsizetype>(RememberedFor(text).Count());
    } catch (const std::bad_alloc&) {
        Remembered[0].Forget();
        return walkAll();
    }
}

std::uint64_t CharUnitsExamined() {
    return UnitsExamined;
}

void AppendSharedText(QString& text, const QString& tail) {
    for (WalkedText& walked : Remembered) {
        if (!walked.Holds(text)) continue;
        // A high surrogate that ends the text was walked as a character of its own; the tail may
        // begin with the low half of its pair. (Read through at(): back() of a text that may be
        // written to would copy it first.)
        if (walked.WalkedUnits == text.size() && IsHighSurrogate(text.at(text.size() - 1).unicode())) {
            walked.Forget();
            break;
        }
        walked.Text = QString();
        text.append(tail);
        walked.Text = text;
        return;
    }
    text.append(tail);
}
