// The string and conversion functions as the run loop calls them: arguments on the Gl stack, one
// result pushed, errors with the function named, and the stack left as each kind of error leaves it.
#include "engine/charindex.h"
#include "engine/dispatch.h"
#include "engine/strfunctions.h"

#include "core/errornumbers.h"
#include "core/tables.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "platform/textencoding.h"
#include "tests/stackargs.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <variant>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace Qt::Literals::StringLiterals;

const QString U2000B = QString::fromUtf16(u"\U0002000B"); // one character, a surrogate pair

class StrFunctions : public ::testing::Test {
protected:
    void SetUp() override {
        InitGlStack();
        ResetStrTbl();
        Fe.ErrorNumber = 0;
        Fe.ErrorNameIndex = 0;
        Ps.PrintPrecision = 18;
    }

    // Pushes the arguments in source order and runs the function.
    static void Call(int code, std::initializer_list<Arg> args) {
        for (const Arg& a : args)
            PushArg(a);
        ExecuteFunction(code);
    }

    // Runs a function that must succeed with one string result.
    QString Str(int code, std::initializer_list<Arg> args) {
        Call(code, args);
        EXPECT_EQ(Fe.ErrorNumber, 0) << "function " << code;
        EXPECT_EQ(ValueStackCount, 1) << "function " << code;
        QString out;
        EXPECT_TRUE(GlPopStr(out)) << "function " << code;
        InitGlStack();
        return out;
    }

    Extended Num(int code, std::initializer_list<Arg> args) {
        Call(code, args);
        EXPECT_EQ(Fe.ErrorNumber, 0) << "function " << code;
        EXPECT_EQ(ValueStackCount, 1) << "function " << code;
        EXPECT_EQ(GlTopType(), GlValueType::Number);
        const Extended x = GlPopNum();
        InitGlStack();
        return x;
    }

    // Runs a function that must fail; returns the error and leaves the stack for inspection.
    int Error(int code, std::initializer_list<Arg> args) {
        Call(code, args);
        const int error = Fe.ErrorNumber;
        Fe.ErrorNumber = 0;
        return error;
    }
};

// ---- character codes -------------------------------------------------------------------------------------

// A result as long as the one a call asks for would take gigabytes: the call runs in a child process
// whose address space is capped at 1 GiB more than it already uses, so that the allocation really
// fails there (quickly, and without touching this machine's memory). `call` is true when the function
// gave the out-of-memory error and left the stack as its errors leave it.
template <typename Call> [[noreturn]] void RunUnderACap(Call call) {
    constexpr rlim_t Headroom = rlim_t{1} << 30;
    long pages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
        std::fclose(statm);
    }
    const rlim_t used = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
    const rlimit cap{used + Headroom, used + Headroom};
    if (pages == 0 || setrlimit(RLIMIT_AS, &cap) != 0) std::_Exit(2);
    std::_Exit(call() ? 0 : 1);
}

template <typename Call> void ExpectOutOfMemoryUnderACap(Call call) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's allocator aborts instead of failing an allocation";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(RunUnderACap(call), ::testing::ExitedWithCode(0), "");
#endif
}

TEST_F(StrFunctions, UnitAndCodePointCodesOfSurrogatePairs) {
    EXPECT_EQ(Num(Fn::ASCW, {S(U2000B)}), 0xD840);
    EXPECT_EQ(Num(Fn::ASCU, {S(U2000B)}), 131083);
    EXPECT_EQ(Num(Fn::ASCU, {S(u"あい")}), 0x3042);
    EXPECT_EQ(Num(Fn::ASCW, {S(u"A")}), 65);
    // A surrogate without its partner is its own code, not a number made from its neighbour.
    EXPECT_EQ(Num(Fn::ASCU, {S(QString(QChar(0xD840)))}), 0xD840);
    EXPECT_EQ(Num(Fn::ASCU, {S(QString(QChar(0xDC0B)) + u"A"_s)}), 0xDC0B);
    EXPECT_EQ(Num(Fn::ASCU, {S(QString(QChar(0xD840)) + u"A"_s)}), 0xD840);
}

TEST_F(StrFunctions, ChrUMakesPairsAboveTheBasicPlane) {
    const QString pair = Str(Fn::CHRU, {N(131083)});
    ASSERT_EQ(pair.size(), 2);
    EXPECT_EQ(pair[0].unicode(), 0xD840);
    EXPECT_EQ(pair[1].unicode(), 0xDC0B);
    EXPECT_EQ(Str(Fn::CHRU, {N(65)}), QStringLiteral("A"));
    EXPECT_EQ(Str(Fn::CHRU, {N(0x3042)}), QString::fromUtf16(u"あ"));
    EXPECT_EQ(Str(Fn::CHRU, {N(0x10FFFF)}), QString::fromUtf16(u"\U0010FFFF"));
    EXPECT_EQ(Str(Fn::CHRU, {N(-1)}), QString(QChar(0xFFFF)));
    EXPECT_EQ(Str(Fn::CHRU, {N(65.9L)}), QStringLiteral("A"));
    // Beyond the last code point there is no character: a range error, the argument popped.
    EXPECT_EQ(Error(Fn::CHRU, {N(0x110000)}), Err::FunctionArgRange);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::CHRU);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Error(Fn::CHRU, {N(1e30L)}), Err::FunctionArgRange);
}

TEST_F(StrFunctions, ChrWTakesTheLowSixteenBits) {
    EXPECT_EQ(Str(Fn::CHRW, {N(0x3042)}), QString::fromUtf16(u"あ"));
    EXPECT_EQ(Str(Fn::CHRW, {N(0x10041)}), QStringLiteral("A"));
    EXPECT_EQ(Str(Fn::CHRW, {N(-65536 + 66)}), QStringLiteral("B"));
    EXPECT_EQ(Str(Fn::CHRW, {N(0xD840)}), QString(QChar(0xD840)));
    EXPECT_EQ(Str(Fn::CHRW, {N(1e25L)}).size(), 1); // far outside 64 bits: still its low bits
    EXPECT_EQ(Error(Fn::CHRW, {N(std::numeric_limits<Extended>::infinity())}), Err::FunctionArgRange);
}

TEST_F(StrFunctions, AscAndChrUseTheSystemCodePage) {
    EXPECT_EQ(Num(Fn::ASC, {S(u"ABC")}), 65);
    EXPECT_EQ(Num(Fn::ASC, {S(u"A")}), 65);
    EXPECT_EQ(Str(Fn::CHRStr, {N(65)}), QStringLiteral("A"));
    EXPECT_EQ(Str(Fn::CHR, {N(65 + 256)}), QStringLiteral("A"));
    EXPECT_EQ(Str(Fn::CHRStr, {N(-191)}), QStringLiteral("A"));
    EXPECT_EQ(Str(Fn::CHRStr, {N(0)}), QString(QChar(0)));
    if (SystemCharsetName() == QStringLiteral("UTF-8")) {
        // The lead byte of a multi-byte character; a byte that is no character alone reads as "?".
        EXPECT_EQ(Num(Fn::ASC, {S(u"あ")}), 0xE3);
        EXPECT_EQ(Num(Fn::ASC, {S(u"あい")}), 0xE3); // the byte found for the character before
        EXPECT_EQ(Num(Fn::ASC, {S(U2000B)}), 0xF0);
        EXPECT_EQ(Str(Fn::CHRStr, {N(0xE3)}), QStringLiteral("?"));
    }
}

TEST_F(StrFunctions, EmptyTextIsATypeErrorLeavingTheArgument) {
    for (const int code : {Fn::ASC, Fn::ASCW, Fn::ASCU, Fn::ISSURROGATE}) {
        InitGlStack();
        EXPECT_EQ(Error(code, {S(u"")}), Err::FunctionArgType);
        EXPECT_EQ(Fe.ErrorNameIndex, code);
        EXPECT_EQ(ValueStackCount, 1);
        EXPECT_EQ(GlTopType(), GlValueType::String);
    }
}

TEST_F(StrFunctions, IsSurrogateLooksAtTheFirstUnit) {
    Call(Fn::ISSURROGATE, {S(U2000B)});
    EXPECT_EQ(GlTopType(), GlValueType::Boolean);
    EXPECT_TRUE(GlPopBool());
    Call(Fn::ISSURROGATE, {S(QString(QChar(0xDFFF)))});
    EXPECT_TRUE(GlPopBool());
    Call(Fn::ISSURROGATE, {S(u"漢")});
    EXPECT_FALSE(GlPopBool());
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

// ---- substrings ------------------------------------------------------------------------------------------

TEST_F(StrFunctions, LeftRightMidOnPlainText) {
    EXPECT_EQ(Str(Fn::LEFTStr, {S(u"abc"), N(0)}), QString());
    EXPECT_EQ(Str(Fn::LEFTStr, {S(u"abc"), N(2.9L)}), QStringLiteral("ab"));
    EXPECT_EQ(Str(Fn::LEFTStr, {S(u"abc"), N(1e300L)}), QStringLiteral("abc"));
    EXPECT_EQ(Str(Fn::RIGHTStr, {S(u"abc"), N(5)}), QStringLiteral("abc"));
    EXPECT_EQ(Str(Fn::RIGHTStr, {S(u"abc"), N(2)}), QStringLiteral("bc"));
    EXPECT_EQ(Str(Fn::RIGHTStr, {S(u"abc"), N(0)}), QString());
    EXPECT_EQ(Str(Fn::MIDStr, {S(u"abcdef"), N(3), N(2)}), QStringLiteral("cd"));
    EXPECT_EQ(Str(Fn::MIDStr, {S(u"abcdef"), N(5), N(10)}), QStringLiteral("ef"));
    EXPECT_EQ(Str(Fn::MIDStr, {S(u"abc"), N(5), N(1)}), QString());
    EXPECT_EQ(Str(Fn::MIDStr, {S(u"abc"), N(1), N(0)}), QString());
    EXPECT_EQ(Str(Fn::MIDStr, {S(u""), N(1), N(3)}), QString());
    EXPECT_EQ(Str(Fn::MIDStr, {S(u"abc"), N(1e30L), N(1e30L)}), QString());
}

TEST_F(StrFunctions, SubstringsNeverSplitASurrogatePair) {
    const QString text = u"a"_s + U2000B + u"b"_s + U2000B; // 4 characters, 6 units
    EXPECT_EQ(Num(Fn::LEN, {S(text)}), 4);
    EXPECT_EQ(Num(Fn::KLEN, {S(text)}), 4);
    EXPECT_EQ(Num(Fn::LEN, {S(U2000B)}), 1);
    EXPECT_EQ(Str(Fn::LEFTStr, {S(text), N(2)}), u"a"_s + U2000B);
    EXPECT_EQ(Str(Fn::KLEFTStr, {S(text), N(1)}), QStringLiteral("a"));
    EXPECT_EQ(Str(Fn::RIGHTStr, {S(text), N(1)}), U2000B);
    EXPECT_EQ(Str(Fn::KRIGHTStr, {S(text), N(3)}), U2000B + u"b"_s + U2000B);
    EXPECT_EQ(Str(Fn::MIDStr, {S(text), N(2), N(2)}), U2000B + u"b"_s);
    EXPECT_EQ(Str(Fn::KMIDStr, {S(text), N(4), N(1)}), U2000B);
    // Japanese text without pairs: one unit per character.
    EXPECT_EQ(Str(Fn::MIDStr, {S(u"日本語のテキスト"), N(4), N(1)}), QString::fromUtf16(u"の"));
    EXPECT_EQ(Num(Fn::LEN, {S(u"日本語")}), 3);
    // A pair right after a stretch of plain units.
    EXPECT_EQ(Str(Fn::LEFTStr, {S(u"ab"_s + U2000B), N(3)}), u"ab"_s + U2000B);
    EXPECT_EQ(Str(Fn::MIDStr, {S(u"ab"_s + U2000B + u"c"_s), N(3), N(1)}), U2000B);
    EXPECT_EQ(Str(Fn::MIDStr, {S(u"ab"_s + U2000B + u"c"_s), N(4), N(5)}), QStringLiteral("c"));
    // Lone surrogates count one each.
    EXPECT_EQ(Num(Fn::LEN, {S(QString(QChar(0xDC00)) + QChar(0xD800))}), 2);
}

// ---- characters of long texts
// ------------------------------------------------------------------------------

constexpr char16_t High = 0xD840;
constexpr char16_t Low = 0xDC0B;

// Where each character begins, from a walk over the whole text: what every shorter way must agree with.
std::vector<qsizetype> CharStarts(const QString& s) {
    std::vector<qsizetype> starts;
    for (qsizetype at = 0; at < s.size();) {
        starts.push_back(at);
        const bool pair = at + 1 < s.size() && QChar::isHighSurrogate(s[at].unicode()) &&
                          QChar::isLowSurrogate(s[at + 1].unicode());
        at += pair ? 2 : 1;
    }
    return starts;
}

// `chars` characters: mostly "a", a pair at every `pairEvery`-th (none for 0), lone halves at others.
QString LongText(int chars, int pairEvery, int loneEvery = 0) {
    QString s;
    for (int k = 1; k <= chars; ++k) {
        if (pairEvery > 0 && k % pairEvery == 0) {
            s += QChar(High);
            s += QChar(Low);
        } else if (loneEvery > 0 && k % loneEvery == 0) {
            s += QChar(k % 2 == 0 ? High : Low);
        } else {
            s += u'a';
        }
    }
    return s;
}

// Every character's offset asked for far ones first, then in order, then in a scattered order, as the
// loops of a program ask.
void ExpectOffsetsOfAWalk(const QString& text) {
    const std::vector<qsizetype> starts = CharStarts(text);
    const auto count = static_cast<std::int64_t>(starts.size());
    const auto expected = [&](std::int64_t k) {
        return k < count ? starts[static_cast<std::size_t>(k)] : text.size();
    };
    EXPECT_EQ(CharacterCount(text), count);
    for (std::int64_t k = count + 2; k >= count - 2 && k >= 0; --k)
        ASSERT_EQ(CharOffset(text, k), expected(k)) << "character " << k << " of " << count;
    for (std::int64_t k = 0; k <= count + 1; ++k)
        ASSERT_EQ(CharOffset(text, k), expected(k)) << "character " << k << " of " << count;
    std::uint32_t seed = 12345;
    for (int n = 0; n < 2000 && count > 0; ++n) {
        seed = seed * 1664525U + 1013904223U;
        const std::int64_t k = static_cast<std::int64_t>(seed % static_cast<std::uint32_t>(count + 1));
        ASSERT_EQ(CharOffset(text, k), expected(k)) << "character " << k << " of " << count;
    }
    EXPECT_EQ(CharOffset(text, std::numeric_limits<std::int64_t>::max()), text.size());
}

TEST_F(StrFunctions, CharacterOffsetsOfLongTextsAgreeWithAWalkFromTheStart) {
    ExpectOffsetsOfAWalk(LongText(5000, 0));
    ExpectOffsetsOfAWalk(LongText(5000, 37));
    ExpectOffsetsOfAWalk(LongText(5000, 64));
    ExpectOffsetsOfAWalk(LongText(5000, 1));
    ExpectOffsetsOfAWalk(LongText(5000, 0, 29));
    ExpectOffsetsOfAWalk(LongText(5000, 41, 13));
    // The first surrogate far into a text, a pair at its very start and end, a high half that ends it.
    ExpectOffsetsOfAWalk(LongText(4000, 0) + QChar(High) + QChar(Low) + LongText(500, 0));
    ExpectOffsetsOfAWalk(QString(QChar(High)) + QChar(Low) + LongText(1000, 0) + QChar(High) + QChar(Low));
    ExpectOffsetsOfAWalk(LongText(1000, 0) + QChar(High));
    // Two high halves before a low one: the first stands alone, the second pairs.
    ExpectOffsetsOfAWalk(LongText(700, 0) + QChar(High) + QChar(High) + QChar(Low) + QChar(Low) + u"b"_s);
    for (const QString& empty : {QString(), QString(u""_s)}) {
        EXPECT_EQ(CharacterCount(empty), 0);
        EXPECT_EQ(CharOffset(empty, 0), 0);
        EXPECT_EQ(CharOffset(empty, 1000), 0);
    }
}

TEST_F(StrFunctions, SubstringsOfLongTextsWithPairs) {
    const QString text = LongText(3000, 37, 101);
    const std::vector<qsizetype> starts = CharStarts(text);
    const auto count = static_cast<qsizetype>(starts.size());
    const auto unitsOf = [&](qsizetype first, qsizetype n) { // characters first.. (0-based), n of them
        const qsizetype from = first < count ? starts[static_cast<std::size_t>(first)] : text.size();
        const qsizetype to = first + n < count ? starts[static_cast<std::size_t>(first + n)] : text.size();
        return text.mid(from, to - from);
    };
    EXPECT_EQ(Num(Fn::LEN, {S(text)}), count);
    for (qsizetype k = 1; k <= count + 1; k += 7) {
        ASSERT_EQ(Str(Fn::MIDStr, {S(text), N(k), N(1)}), unitsOf(k - 1, 1)) << k;
        ASSERT_EQ(Str(Fn::MIDStr, {S(text), N(k), N(70)}), unitsOf(k - 1, 70)) << k;
        ASSERT_EQ(Str(Fn::LEFTStr, {S(text), N(k)}), unitsOf(0, k)) << k;
        ASSERT_EQ(Str(Fn::RIGHTStr, {S(text), N(k)}), unitsOf(std::max<qsizetype>(count - k, 0), k)) << k;
    }
    EXPECT_EQ(Str(Fn::RIGHTStr, {S(text), N(count + 5)}), text);
}

TEST_F(StrFunctions, ChangedTextsAreWalkedAfresh) {
    // Changed after it was walked: the change copies it, and its copy is walked anew.
    QString text = LongText(1000, 0);
    const QString before = text;
    EXPECT_EQ(CharOffset(text, 500), 500);
    text[10] = QChar(High);
    text[11] = QChar(Low);
    EXPECT_EQ(CharOffset(text, 500), 501);
    EXPECT_EQ(CharacterCount(text), 999);
    EXPECT_EQ(CharOffset(before, 500), 500);
    EXPECT_EQ(CharacterCount(before), 1000);

    // A text walked and let go of: a new text of the same size must not pass for it, even where it
    // gets the memory the old one had.
    {
        const QString gone(1000, u'a');
        EXPECT_EQ(CharOffset(gone, 700), 700);
    }
    QString next(1000, u'a');
    next[0] = QChar(High);
    next[1] = QChar(Low);
    EXPECT_EQ(CharOffset(next, 700), 701);

    // Units the text does not own may change under it: such a text is walked at every call.
    std::vector<char16_t> units(1000, u'a');
    const QString over = QString::fromRawData(reinterpret_cast<const QChar*>(units.data()), 1000);
    EXPECT_EQ(CharOffset(over, 700), 700);
    units[0] = High;
    units[1] = Low;
    EXPECT_EQ(CharOffset(over, 700), 701);
    EXPECT_EQ(CharacterCount(over), 999);

    // Appended to in place: the tail may complete a pair whose high half ended the text.
    QString grown = LongText(300, 0) + QChar(High);
    EXPECT_EQ(CharacterCount(grown), 301);
    AppendText(grown, QString(QChar(Low)));
    EXPECT_EQ(CharacterCount(grown), 301);
    AppendText(grown, u"bc"_s);
    EXPECT_EQ(CharacterCount(grown), 303);
    EXPECT_EQ(CharOffset(grown, 301), 302);
    // ... and where it has room, it stays where it is, walked or not.
    grown.reserve(1000);
    const QChar* const room = grown.constData();
    for (int k = 0; k < 100; ++k) {
        AppendText(grown, u"d"_s);
        EXPECT_EQ(CharacterCount(grown), 304 + k);
    }
    EXPECT_EQ(grown.constData(), room);
}

// The units the walks examine for `work`.
template <typename Work> std::uint64_t UnitsExaminedBy(Work work) {
    const std::uint64_t before = CharUnitsExamined();
    work();
    return CharUnitsExamined() - before;
}

// FOR I = 1 TO LEN(S$): IF MID$(S$, I, 1) = "b" THEN N = N + 1: NEXT, as the run loop calls them.
int CountBsOneByOne(const QString& text) {
    int found = 0;
    for (Extended i = 1;; ++i) {
        GlPushStr(text);
        ExecuteFunction(Fn::LEN);
        if (i > GlPopNum()) break;
        GlPushStr(text);
        GlPushNum(i);
        GlPushNum(1);
        ExecuteFunction(Fn::MIDStr);
        QString c;
        GlPopStr(c);
        if (c == u"b") ++found;
    }
    return found;
}

TEST_F(StrFunctions, TakingATextApartCostsItsLengthNotItsSquare) {
    for (const int pairEvery : {0, 50}) {
        const auto scan = [&](int chars) {
            QString text = LongText(chars, pairEvery);
            text[chars / 2] = u'b';
            int found = 0;
            const std::uint64_t units = UnitsExaminedBy([&] { found = CountBsOneByOne(text); });
            EXPECT_EQ(found, 1);
            return units;
        };
        const std::uint64_t shorter = scan(25'000);
        const std::uint64_t longer = scan(100'000);
        EXPECT_LE(longer, 5 * shorter)
            << "pairs every " << pairEvery << ": " << shorter << " then " << longer;
        EXPECT_LE(longer, std::uint64_t{4} * 100'000) << "pairs every " << pairEvery;
    }
}

TEST_F(StrFunctions, EndsOfALongTextCostWhatTheyTake) {
    const QString text = LongText(100'000, 37);
    // The first character asked for a little way in: the walk goes about as far again, not further.
    EXPECT_LE(UnitsExaminedBy([&] { Str(Fn::MIDStr, {S(text), N(300), N(1)}); }), 700U);
    EXPECT_LE(UnitsExaminedBy([&] { Str(Fn::RIGHTStr, {S(text), N(5)}); }), 16U);
    EXPECT_LE(UnitsExaminedBy([&] { Str(Fn::LEFTStr, {S(text), N(5)}); }), 16U);
    EXPECT_LE(UnitsExaminedBy([&] { Str(Fn::MIDStr, {S(text), N(90'000), N(5)}); }), 100'000U);
    EXPECT_LE(UnitsExaminedBy([&] { Str(Fn::MIDStr, {S(text), N(90'001), N(5)}); }), 2 * 64U);
    EXPECT_LE(UnitsExaminedBy([&] { Num(Fn::LEN, {S(text)}); }), 100'000U);
    EXPECT_EQ(UnitsExaminedBy([&] { Num(Fn::LEN, {S(text)}); }), 0U);
}

TEST_F(StrFunctions, ATextGrowingInPlaceIsCountedOnlyWhereItGrew) {
    const auto build = [](int chars) {
        QString text;
        qsizetype last = 0;
        const std::uint64_t units = UnitsExaminedBy([&] {
            for (int k = 0; k < chars; ++k) {
                AppendText(text, k % 100 == 99 ? QString(QChar(High)) + QChar(Low) : u"a"_s);
                last = CharacterCount(text);
            }
        });
        EXPECT_EQ(last, chars);
        return units;
    };
    const std::uint64_t shorter = build(10'000);
    const std::uint64_t longer = build(40'000);
    EXPECT_LE(longer, 5 * shorter) << shorter << " then " << longer;
}

TEST_F(StrFunctions, NegativeLengthsAndStartsAreRangeErrorsThatPop) {
    EXPECT_EQ(Error(Fn::LEFTStr, {S(u"abc"), N(-1)}), Err::ArgumentOutOfRange);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::LEFTStr);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Error(Fn::KLEFTStr, {S(u"abc"), N(-0.5L)}), Err::ArgumentOutOfRange);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::LEFTStr);
    EXPECT_EQ(Error(Fn::KRIGHTStr, {S(u"abc"), N(-2)}), Err::ArgumentOutOfRange);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::RIGHTStr);
    EXPECT_EQ(Error(Fn::MIDStr, {S(u"abc"), N(0), N(1)}), Err::ArgumentOutOfRange);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::MIDStr);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Error(Fn::KMIDStr, {S(u"abc"), N(1), N(-1)}), Err::ArgumentOutOfRange);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::MIDStr);
    EXPECT_EQ(Error(Fn::LEFTStr, {S(u"abc"), N(std::numeric_limits<Extended>::quiet_NaN())}),
              Err::ArgumentOutOfRange);
}

TEST_F(StrFunctions, TypeErrorsLeaveEveryArgumentOnTheStack) {
    EXPECT_EQ(Error(Fn::LEFTStr, {N(1), N(2)}), Err::FunctionArgType);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::LEFTStr);
    EXPECT_EQ(ValueStackCount, 2);
    InitGlStack();
    EXPECT_EQ(Error(Fn::KMIDStr, {S(u"abc"), S(u"1"), N(2)}), Err::FunctionArgType);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::MIDStr);
    EXPECT_EQ(ValueStackCount, 3);
    InitGlStack();
    EXPECT_EQ(Error(Fn::LEN, {N(5)}), Err::FunctionArgType);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::LEN);
    EXPECT_EQ(GlPopNum(), 5);
    InitGlStack();
    EXPECT_EQ(Error(Fn::UCASEStr, {Arg(true)}), Err::FunctionArgType);
    EXPECT_EQ(ValueStackCount, 1);
    InitGlStack();
    // Too few arguments: nothing to test against, nothing popped.
    EXPECT_EQ(Error(Fn::INSTR, {S(u"a"), S(u"b")}), Err::FunctionArgType);
    EXPECT_EQ(ValueStackCount, 2);
    InitGlStack();
    EXPECT_EQ(Error(Fn::STRStr, {S(u"1")}), Err::FunctionArgType);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::STRStr);
    EXPECT_EQ(ValueStackCount, 1);
}

// ---- search and replace
// ------------------------------------------------------------------------------------

TEST_F(StrFunctions, InstrCountsFromItsStart) {
    EXPECT_EQ(Num(Fn::INSTR, {N(1), S(u"abcabc"), S(u"c")}), 3);
    EXPECT_EQ(Num(Fn::INSTR, {N(4), S(u"abcabc"), S(u"c")}), 3);
    EXPECT_EQ(Num(Fn::KINSTR, {N(1), S(u"abc"), S(u"x")}), 0);
    EXPECT_EQ(Num(Fn::INSTR, {N(-5), S(u"abcabc"), S(u"bc")}), 2);
    EXPECT_EQ(Num(Fn::INSTR, {N(7), S(u"abcabc"), S(u"c")}), 0);
    EXPECT_EQ(Num(Fn::INSTR, {N(1e20L), S(u"abcabc"), S(u"c")}), 0);
    EXPECT_EQ(Num(Fn::INSTR, {N(1), S(u"abc"), S(u"")}), 0);
    EXPECT_EQ(Num(Fn::INSTR, {N(1), S(u"ABC"), S(u"b")}), 0); // case-sensitive
    EXPECT_EQ(Num(Fn::INSTR, {N(1), S(u"東京都と京都"), S(u"京都")}), 2);
    EXPECT_EQ(Num(Fn::INSTR, {N(3), S(u"東京都と京都"), S(u"京都")}), 3);
    EXPECT_EQ(Error(Fn::KINSTR, {S(u"1"), S(u"a"), S(u"a")}), Err::FunctionArgType);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::INSTR);
}

TEST_F(StrFunctions, ReplaceEveryOccurrenceWithoutRescanning) {
    EXPECT_EQ(Str(Fn::REPLACEStr, {S(u"a-b-c"), S(u"-"), S(u"--")}), QStringLiteral("a--b--c"));
    EXPECT_EQ(Str(Fn::REPLACEStr, {S(u"aaa"), S(u"aa"), S(u"b")}), QStringLiteral("ba"));
    EXPECT_EQ(Str(Fn::REPLACEStr, {S(u"aXbx"), S(u"x"), S(u"")}), QStringLiteral("aXb"));
    EXPECT_EQ(Str(Fn::REPLACEStr, {S(u"abc"), S(u""), S(u"Z")}), QStringLiteral("abc"));
    EXPECT_EQ(Str(Fn::REPLACEStr, {S(u"abc"), S(u"abc"), S(u"")}), QString());
    EXPECT_EQ(Str(Fn::REPLACEStr, {S(u"令和元年"), S(u"元"), S(u"1")}), QString::fromUtf16(u"令和1年"));
    EXPECT_EQ(Error(Fn::REPLACEStr, {S(u"a"), N(1), S(u"b")}), Err::FunctionArgType);
    EXPECT_EQ(ValueStackCount, 3);
}

TEST_F(StrFunctions, ReplaceRefusesAResultBeyondMemory) {
    // 2^20 hits each growing by 2^12 units: 2^32 units (8 GiB), more than the child may map.
    ExpectOutOfMemoryUnderACap([this] {
        const QString s(1 << 20, u'x');
        const QString big(1 << 12, u'y');
        return Error(Fn::REPLACEStr, {S(s), S(u"x"), S(big)}) == Err::OutOfMemory && ValueStackCount == 0;
    });
}

TEST_F(StrFunctions, SplitReturnsThePartBeforeAndKeepsTheRest) {
    Tb.StrVarTable.resize(3);
    Tb.NumofRegisteredStrVar = 2;
    Tb.StrVarTable[2].Value = QStringLiteral("x,y,z");
    EXPECT_EQ(Str(Fn::SPLITStr, {N(2), S(Tb.StrVarTable[2].Value), S(u",")}), QStringLiteral("x"));
    EXPECT_EQ(Tb.StrVarTable[2].Value, QStringLiteral("y,z"));
    EXPECT_EQ(Str(Fn::SPLITStr, {N(2), S(Tb.StrVarTable[2].Value), S(u",")}), QStringLiteral("y"));
    EXPECT_EQ(Str(Fn::SPLITStr, {N(2), S(Tb.StrVarTable[2].Value), S(u",")}), QStringLiteral("z"));
    EXPECT_EQ(Tb.StrVarTable[2].Value, QString());

    Tb.StrVarTable[2].Value = QStringLiteral("xyz");
    EXPECT_EQ(Str(Fn::SPLITStr, {N(2), S(Tb.StrVarTable[2].Value), S(u",")}), QStringLiteral("xyz"));
    EXPECT_EQ(Tb.StrVarTable[2].Value, QString());

    // A longer delimiter, and an empty one (never found, so a loop over the parts ends).
    Tb.StrVarTable[2].Value = QStringLiteral("一::二::三");
    EXPECT_EQ(Str(Fn::SPLITStr, {N(2), S(Tb.StrVarTable[2].Value), S(u"::")}), QString::fromUtf16(u"一"));
    EXPECT_EQ(Tb.StrVarTable[2].Value, QString::fromUtf16(u"二::三"));
    EXPECT_EQ(Str(Fn::SPLITStr, {N(2), S(Tb.StrVarTable[2].Value), S(u"")}), QString::fromUtf16(u"二::三"));
    EXPECT_EQ(Tb.StrVarTable[2].Value, QString());

    // Index 0 (no variable) and an index outside the table write nothing.
    Tb.StrVarTable[1].Value = QStringLiteral("keep");
    EXPECT_EQ(Str(Fn::SPLITStr, {N(0), S(u"a b"), S(u" ")}), QStringLiteral("a"));
    EXPECT_EQ(Str(Fn::SPLITStr, {N(99), S(u"a b"), S(u" ")}), QStringLiteral("a"));
    EXPECT_EQ(Tb.StrVarTable[1].Value, QStringLiteral("keep"));

    EXPECT_EQ(Error(Fn::SPLITStr, {N(1), N(5), S(u",")}), Err::FunctionArgType);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::SPLITStr);
    EXPECT_EQ(ValueStackCount, 3);
}

// ---- trimming, case, width and kana ---------------------------------------------------------------------

TEST_F(StrFunctions, TrimDropsControlsAndBlanksAtTheEnds) {
    const QString padded = QString::fromUtf16(u"\t  a b \r\n");
    EXPECT_EQ(Str(Fn::TRIMStr, {S(padded)}), QStringLiteral("a b"));
    EXPECT_EQ(Str(Fn::LTRIMStr, {S(padded)}), QString::fromUtf16(u"a b \r\n"));
    EXPECT_EQ(Str(Fn::RTRIMStr, {S(padded)}), QString::fromUtf16(u"\t  a b"));
    EXPECT_EQ(Str(Fn::TRIMStr, {S(u"  \x01 ")}), QString());
    // The ideographic space is not a blank of code 32 or less.
    EXPECT_EQ(Str(Fn::TRIMStr, {S(u"\u3000あ ")}), QString::fromUtf16(u"\u3000あ"));
    EXPECT_EQ(Error(Fn::RTRIMStr, {N(1)}), Err::FunctionArgType);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::RTRIMStr);
}

TEST_F(StrFunctions, CaseMappingCoversMoreThanAscii) {
    EXPECT_EQ(Str(Fn::UCASEStr, {S(u"abc xyZ")}), QStringLiteral("ABC XYZ"));
    EXPECT_EQ(Str(Fn::LCASEStr, {S(u"ÄÖÜ ΣΑΣ")}), QString::fromUtf16(u"äöü σασ"));
    EXPECT_EQ(Str(Fn::UCASEStr, {S(u"ａｂｃ ñ")}), QString::fromUtf16(u"ＡＢＣ Ñ"));
    EXPECT_EQ(Str(Fn::UCASEStr, {S(u"ひらがな")}), QString::fromUtf16(u"ひらがな"));
    // Letters outside the basic plane are mapped as whole characters (Deseret).
    EXPECT_EQ(Str(Fn::UCASEStr, {S(u"\U00010428")}), QString::fromUtf16(u"\U00010400"));
    // One character stays one character (no expansion of ß).
    EXPECT_EQ(Str(Fn::UCASEStr, {S(u"ß")}), QString::fromUtf16(u"ß"));
}

TEST_F(StrFunctions, WidthMappingsJoinAndSplitVoicedMarks) {
    EXPECT_EQ(Str(Fn::AKCNVStr, {S(u"ABC 123")}), QString::fromUtf16(u"ＡＢＣ\u3000１２３"));
    EXPECT_EQ(Str(Fn::AKCNVStr, {S(u"ｶﾞｷﾞｸﾞ ﾊﾟﾋﾟ ｳﾞ ｱｲｳ")}),
              QString::fromUtf16(u"ガギグ\u3000パピ\u3000ヴ\u3000アイウ"));
    EXPECT_EQ(Str(Fn::AKCNVStr, {S(u"ｱﾞ ﾞ｡｢｣ｰ")}), QString::fromUtf16(u"ア゛\u3000゛。「」ー"));
    EXPECT_EQ(Str(Fn::AKCNVStr, {S(u"漢字")}), QString::fromUtf16(u"漢字"));
    EXPECT_EQ(Str(Fn::KACNVStr, {S(u"ＡＢＣ\u3000１２３")}), QStringLiteral("ABC 123"));
    EXPECT_EQ(Str(Fn::KACNVStr, {S(u"ガギグ パピ ヴ ー。")}), QString::fromUtf16(u"ｶﾞｷﾞｸﾞ ﾊﾟﾋﾟ ｳﾞ ｰ｡"));
    // Hiragana has no half-width form.
    EXPECT_EQ(Str(Fn::KACNVStr, {S(u"ひらがなカタカナ")}), QString::fromUtf16(u"ひらがなｶﾀｶﾅ"));
    // Round trip through both widths.
    const QString kana = QString::fromUtf16(u"パソコンでプログラミング、ヴァイオリン！");
    EXPECT_EQ(Str(Fn::AKCNVStr, {S(Str(Fn::KACNVStr, {S(kana)}))}), kana);
}

TEST_F(StrFunctions, WidthMappingsHaveLengthLimits) {
    EXPECT_EQ(Str(Fn::AKCNVStr, {S(QString(2049, u'a'))}).size(), 2049);
    EXPECT_EQ(Error(Fn::AKCNVStr, {S(QString(2050, u'a'))}), Err::ConversionTooLong);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::AKCNVStr);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Str(Fn::KACNVStr, {S(QString(4098, u'a'))}).size(), 4098);
    EXPECT_EQ(Error(Fn::KACNVStr, {S(QString(4099, u'a'))}), Err::ConversionTooLong);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::KACNVStr);
}

TEST_F(StrFunctions, StrConvModes) {
    EXPECT_EQ(Str(Fn::STRCONV, {S(u"Abc"), N(1)}), QStringLiteral("ABC"));
    EXPECT_EQ(Str(Fn::STRCONV, {S(u"Abc"), N(2.7L)}), QStringLiteral("abc"));
    EXPECT_EQ(Str(Fn::STRCONV, {S(u"hello WORLD\tagain"), N(3)}), QStringLiteral("Hello World\tAgain"));
    EXPECT_EQ(Str(Fn::STRCONV, {S(u"abc"), N(4)}), QString::fromUtf16(u"ａｂｃ"));
    EXPECT_EQ(Str(Fn::STRCONV, {S(u"ａｂｃ"), N(8)}), QStringLiteral("abc"));
    EXPECT_EQ(Str(Fn::STRCONV, {S(u"ひらがな、ゔゝ"), N(16)}), QString::fromUtf16(u"ヒラガナ、ヴヽ"));
    EXPECT_EQ(Str(Fn::STRCONV, {S(u"カタカナ・ヴヾ"), N(32)}), QString::fromUtf16(u"かたかな・ゔゞ"));
    // Modes outside the list and above 32 are range errors; the arguments are popped.
    for (const Extended mode : {0.0L, 5.0L, 33.0L, -1.0L, 1e30L}) {
        EXPECT_EQ(Error(Fn::STRCONV, {S(u"a"), N(mode)}), Err::FunctionArgRange);
        EXPECT_EQ(Fe.ErrorNameIndex, Fn::STRCONV);
        EXPECT_EQ(ValueStackCount, 0);
    }
    EXPECT_EQ(Error(Fn::STRCONV, {S(QString(2050, u'a')), N(4)}), Err::ConversionTooLong);
    EXPECT_EQ(Error(Fn::STRCONV, {S(QString(4099, u'a')), N(32)}), Err::ConversionTooLong);
    EXPECT_EQ(Str(Fn::STRCONV, {S(QString(5000, u'a')), N(1)}).size(), 5000); // case: no limit
    EXPECT_EQ(Error(Fn::STRCONV, {N(1), S(u"a")}), Err::FunctionArgType);
    EXPECT_EQ(ValueStackCount, 2);
}

TEST_F(StrFunctions, NormalizeForms) {
    const QString composed = QString::fromUtf16(u"\u30AC");         // ガ
    const QString decomposed = QString::fromUtf16(u"\u30AB\u3099"); // カ + voiced mark
    const QString halfWidth = QString::fromUtf16(u"\uFF76\uFF9E");  // ｶﾞ
    EXPECT_EQ(Str(Fn::NORMALIZE, {S(decomposed)}), composed);
    EXPECT_EQ(Str(NormalizeWithForm, {S(composed), S(u"nfd")}), decomposed);
    EXPECT_EQ(Str(NormalizeWithForm, {S(halfWidth), S(u"NFKC")}), composed);
    EXPECT_EQ(Str(NormalizeWithForm, {S(halfWidth), S(u"NfKd")}), decomposed);
    EXPECT_EQ(Str(NormalizeWithForm, {S(halfWidth), S(u"NFC")}), halfWidth);
    // An unknown form leaves the text as it is.
    EXPECT_EQ(Str(NormalizeWithForm, {S(decomposed), S(u"XYZ")}), decomposed);
    EXPECT_EQ(Str(Fn::NORMALIZE, {S(u"")}), QString());
    EXPECT_EQ(Error(NormalizeWithForm, {S(u"a"), N(1)}), Err::FunctionArgType);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::NORMALIZE);
    EXPECT_EQ(ValueStackCount, 2);
}

// ---- repeated text ---------------------------------------------------------------------------------------

TEST_F(StrFunctions, SpaceAndSpc) {
    EXPECT_EQ(Str(Fn::SPACEStr, {N(3)}), QStringLiteral("   "));
    EXPECT_EQ(Str(Fn::SPACEStr, {N(-3)}), QStringLiteral("   "));
    EXPECT_EQ(Str(Fn::SPC, {N(2.9L)}), QStringLiteral("  "));
    EXPECT_EQ(Str(Fn::SPACEStr, {N(0)}), QString());
    EXPECT_EQ(Str(Fn::SPACEStr, {N(1024)}).size(), 1024);
    EXPECT_EQ(Error(Fn::SPACEStr, {N(1025)}), Err::SpaceArgument);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Error(Fn::SPC, {N(-1e300L)}), Err::SpaceArgument);
    EXPECT_EQ(Error(Fn::SPACEStr, {N(std::numeric_limits<Extended>::quiet_NaN())}), Err::SpaceArgument);
    EXPECT_EQ(Error(Fn::SPC, {S(u"3")}), Err::FunctionArgType);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::SPACEStr);
}

TEST_F(StrFunctions, StringRepeatsAUnitOrAText) {
    EXPECT_EQ(Str(Fn::STRINGStr, {N(3), N(65)}), QStringLiteral("AAA"));
    EXPECT_EQ(Str(Fn::STRINGStr, {N(2), S(u"ab")}), QStringLiteral("abab"));
    EXPECT_EQ(Str(Fn::STRINGStr, {N(300), S(u"x")}).size(), 255);
    EXPECT_EQ(Str(Fn::STRINGStr, {N(1e300L), N(0x3042)}).size(), 255);
    EXPECT_EQ(Str(Fn::STRINGStr, {N(0.9L), S(u"x")}), QString());
    EXPECT_EQ(Str(Fn::STRINGStr, {N(-5), S(u"x")}), QString());
    EXPECT_EQ(Str(Fn::STRINGStr, {N(2), S(U2000B)}), U2000B + U2000B);
    EXPECT_EQ(Error(Fn::STRINGStr, {N(3), N(65536)}), Err::FunctionArgRange);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::STRINGStr);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(Error(Fn::STRINGStr, {N(3), N(-1)}), Err::FunctionArgRange);
    EXPECT_EQ(Error(Fn::STRINGStr, {S(u"3"), S(u"x")}), Err::FunctionArgType);
    EXPECT_EQ(ValueStackCount, 2);
    InitGlStack();
    EXPECT_EQ(Error(Fn::STRINGStr, {N(3), Arg(true)}), Err::FunctionArgType);
    EXPECT_EQ(ValueStackCount, 2);
}

TEST_F(StrFunctions, StringRefusesAHugeResultInsteadOfExhaustingMemory) {
    ExpectOutOfMemoryUnderACap([this] {
        const QString piece(1 << 24, u'z'); // 16M units x 255: 8 GiB
        return Error(Fn::STRINGStr, {N(255), S(piece)}) == Err::OutOfMemory && ValueStackCount == 0;
    });
}

// ---- number texts ---------------------------------------------------------------------------------------

TEST_F(StrFunctions, StrUsesThePrintFormat) {
    EXPECT_EQ(Str(Fn::STRStr, {N(12)}), QStringLiteral(" 12"));
    EXPECT_EQ(Str(Fn::STRStr, {N(-3.5L)}), QStringLiteral("-3.5"));
    EXPECT_EQ(Str(Fn::STRStr, {N(1e20L)}), QStringLiteral(" 1E20"));
    Ps.PrintPrecision = 4;
    EXPECT_EQ(Str(Fn::STRStr, {N(2.0L / 3)}), QStringLiteral(" 0.6667"));
}

TEST_F(StrFunctions, HexOfSixtyFourBitValues) {
    EXPECT_EQ(Str(Fn::HEXStr, {N(255)}), QStringLiteral("FF"));
    EXPECT_EQ(Str(Fn::HEXStr, {N(0)}), QStringLiteral("0"));
    EXPECT_EQ(Str(Fn::HEXStr, {N(255.99L)}), QStringLiteral("FF"));
    EXPECT_EQ(Str(Fn::HEXStr, {N(-1)}), QStringLiteral("FFFFFFFFFFFFFFFF"));
    EXPECT_EQ(Str(Fn::HEXStr, {N(-256)}), QStringLiteral("FFFFFFFFFFFFFF00"));
    EXPECT_EQ(Str(Fn::HEXStr, {N(9223372036854775807.0L)}), QStringLiteral("7FFFFFFFFFFFFFFF"));
    EXPECT_EQ(Str(Fn::HEXStr, {N(-9223372036854775808.0L)}), QStringLiteral("8000000000000000"));
    EXPECT_EQ(Error(Fn::HEXStr, {N(9223372036854775808.0L)}), Err::FunctionFailed);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::HEXStr);
    EXPECT_EQ(Error(Fn::HEXStr, {N(std::numeric_limits<Extended>::quiet_NaN())}), Err::FunctionFailed);
}

TEST_F(StrFunctions, FloatToStrForms) {
    EXPECT_EQ(Str(Fn::FLOATTOSTR, {N(1)}), QStringLiteral("1.00000000000000000E+0000"));
    EXPECT_EQ(Str(Fn::FLOATTOSTR, {N(-123.456L)}), QStringLiteral("-1.23456000000000000E+0002"));
    EXPECT_EQ(Error(Fn::FLOATTOSTR, {N(std::numeric_limits<Extended>::infinity())}), Err::FunctionFailed);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::FLOATTOSTR);

    EXPECT_EQ(Str(Fn::FLOATTOSTRBIN, {N(1)}), u"+ 2^(0)*1."_s + QString(63, u'0'));
    EXPECT_EQ(Str(Fn::FLOATTOSTRBIN, {N(-3)}), u"- 2^(1)*1.1"_s + QString(62, u'0'));
    EXPECT_EQ(Str(Fn::FLOATTOSTRBIN, {N(0.375L)}), u"+ 2^(-2)*1.1"_s + QString(62, u'0'));
    EXPECT_EQ(Str(Fn::FLOATTOSTRBIN, {N(1.0L + std::numeric_limits<Extended>::epsilon())}),
              u"+ 2^(0)*1."_s + QString(62, u'0') + u"1"_s);
    EXPECT_EQ(Error(Fn::FLOATTOSTRBIN, {S(u"1")}), Err::FunctionArgType);
}

TEST_F(StrFunctions, PiDigits) {
    EXPECT_EQ(Str(Fn::PIStr, {}),
              QStringLiteral("3.14159 26535 89793 23846 26433 83279 50288 41971 69399 37510"));
}

TEST_F(StrFunctions, ValReadsHexAndDecimalForms) {
    EXPECT_EQ(Num(Fn::VAL, {S(u"&H1F")}), 31);
    EXPECT_EQ(Num(Fn::VAL, {S(u"&h1f")}), 31);
    EXPECT_EQ(Num(Fn::VAL, {S(u"&H1G")}), 0);
    EXPECT_EQ(Num(Fn::VAL, {S(u"&HFFFFFFFFFFFFFFFF")}), 18446744073709551615.0L);
    EXPECT_EQ(Num(Fn::VAL, {S(u"&H")}), 0);
    EXPECT_EQ(Num(Fn::VAL, {S(u" 12.5")}), 12.5L);
    EXPECT_EQ(Num(Fn::VAL, {S(u"12abc")}), 0);
    EXPECT_EQ(Num(Fn::VAL, {S(u"-7")}), -7);
    EXPECT_EQ(Num(Fn::VAL, {S(u"+.5")}), 0.5L);
    EXPECT_EQ(Num(Fn::VAL, {S(u"5.")}), 5);
    EXPECT_EQ(Num(Fn::VAL, {S(u"1.5e3")}), 1500);
    EXPECT_EQ(Num(Fn::VAL, {S(u"2E-2")}), 0.02L);
    EXPECT_EQ(Num(Fn::VAL, {S(u"0.1")}), 0.1L); // read exactly as the 80-bit value of 0.1
    EXPECT_EQ(Num(Fn::VAL, {S(u"")}), 0);
    EXPECT_EQ(Num(Fn::VAL, {S(u".")}), 0);
    EXPECT_EQ(Num(Fn::VAL, {S(u"1e")}), 0);
    EXPECT_EQ(Num(Fn::VAL, {S(u"1e+")}), 0);
    EXPECT_EQ(Num(Fn::VAL, {S(u"12 ")}), 0);
    EXPECT_EQ(Num(Fn::VAL, {S(u"1,5")}), 0);
    EXPECT_EQ(Num(Fn::VAL, {S(u"- 5")}), 0);
    EXPECT_EQ(Num(Fn::VAL, {S(u"inf")}), 0);
    EXPECT_EQ(Num(Fn::VAL, {S(u"１２")}), 0); // full-width digits are not the language's digits
    // Beyond the 80-bit range; the reading leaves no overflow flag for the arithmetic that follows.
    std::feclearexcept(FE_ALL_EXCEPT);
    EXPECT_EQ(Num(Fn::VAL, {S(u"1e5000")}), 0);
    EXPECT_EQ(Num(Fn::VAL, {S(u"-1e-5000")}), 0);
    EXPECT_FALSE(std::fetestexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO));
    EXPECT_EQ(Num(Fn::VAL, {S(u"&H"_s + QString(5000, u'F'))}), 0);
    EXPECT_EQ(Error(Fn::VAL, {N(5)}), Err::FunctionArgType);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::VAL);
    EXPECT_EQ(ValueStackCount, 1);
}

TEST_F(StrFunctions, ValReadsBackWhatStrWrites) {
    for (const Extended x : {0.0L, 1.0L, -2.5L, 1e20L, 1.5e-7L, 123456789012345678.0L, 0.00001L}) {
        const QString text = Str(Fn::STRStr, {N(x)});
        EXPECT_EQ(Num(Fn::VAL, {S(text)}), x) << text.toStdString();
    }
}

TEST_F(StrFunctions, EveryCodeIsServedAndOthersAreLeftAlone) {
    for (const int code :
         {Fn::ASC,           Fn::ASCU,        Fn::ASCW,     Fn::CHR,      Fn::CHRStr,     Fn::CHRU,
          Fn::CHRW,          Fn::ISSURROGATE, Fn::AKCNVStr, Fn::KACNVStr, Fn::STRCONV,    Fn::NORMALIZE,
          NormalizeWithForm, Fn::INSTR,       Fn::KINSTR,   Fn::LEFTStr,  Fn::KLEFTStr,   Fn::RIGHTStr,
          Fn::KRIGHTStr,     Fn::MIDStr,      Fn::KMIDStr,  Fn::LEN,      Fn::KLEN,       Fn::REPLACEStr,
          Fn::TRIMStr,       Fn::LTRIMStr,    Fn::RTRIMStr, Fn::UCASEStr, Fn::LCASEStr,   Fn::SPACEStr,
          Fn::SPC,           Fn::STRINGStr,   Fn::STRStr,   Fn::HEXStr,   Fn::FLOATTOSTR, Fn::FLOATTOSTRBIN,
          Fn::VAL,           Fn::PIStr,       Fn::SPLITStr}) {
        // With nothing on the stack every function but PI$ reports a type error, none crashes.
        InitGlStack();
        Fe.ErrorNumber = 0;
        ExecuteFunction(code);
        if (code == Fn::PIStr)
            EXPECT_EQ(Fe.ErrorNumber, 0);
        else
            EXPECT_EQ(Fe.ErrorNumber, Err::FunctionArgType) << code;
    }
}

} // namespace
