// The number texts: rounding to the kept digits from an exact decimal expansion, the general format with
// its switch to scientific form, and FLOATTOSTR's fixed-width form.
#include "engine/numberformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr int DecimalBase = 10;
constexpr int DecimalPairBase = 100;
// Below this magnitude (after rounding) the general format switches to scientific notation.
constexpr int SmallestFixedExponent = -5; // 0.00001
constexpr int FloatToStrExponentDigits = 4;
// Room for "d.<20 digits>e-4951" with a margin.
constexpr std::size_t DigitBufferSize = 64;

// Digits formatted beyond the ones kept: they decide the rounding in all but the closest cases.
constexpr int GuardDigits = 3;
constexpr std::string_view HalfGuard = "500";
static_assert(HalfGuard.size() == GuardDigits);
// An 80-bit value has at most about 11,500 significant decimal digits (the smallest normal numbers
// with a full mantissa); with this many the expansion is exact.
constexpr int ExactDigits = 11600;

// Turns a to_chars scientific text in place into its bare digits; returns their count and the
// exponent.
int CompactScientific(char* first, char* last, int& exponent) {
    int count = 0;
    char* p = first;
    for (; p < last && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') first[count++] = *p;
    }
    exponent = 0;
    if (p < last) {
        ++p; // 'e'
        std::from_chars(*p == '+' ? p + 1 : p, last, exponent);
    }
    return count;
}

// Adds one unit in the last kept place, carrying through nines.
void RoundUp(DecimalDigits& d) {
    int i = d.Count - 1;
    for (; i >= 0 && d.Digits[i] == '9'; --i)
        d.Digits[i] = '0';
    if (i >= 0) {
        ++d.Digits[i];
    } else {
        d.Digits[0] = '1'; // 9.99 became 10.0: one more power of ten
        ++d.Exponent;
    }
}

// The 80-bit format: a 64-bit mantissa with its leading bit written out, then the sign and a 15-bit
// exponent biased by 16383. A number is mantissa x 2^e with e = exponent - 16383 - 63.
constexpr std::size_t MantissaBytes = 8;
constexpr unsigned ExponentMask = 0x7fff;
constexpr int ExponentBias = 16383;
constexpr int MantissaPlaces = 63;
constexpr std::uint64_t LeadingBit = std::uint64_t{1} << MantissaPlaces;

// mantissa x 2^e is expanded exactly in 128-bit integers while a fraction of -e bits times ten still
// fits (-e at most 124: magnitudes from 2^-61, about 4.3E-19) and the integer part fits 127 bits
// (e at most 63: below 2^127, about 1.7E38); a fraction of at most 60 bits is expanded in 64 bits.
using WideBits = unsigned __int128;
constexpr int WidestFraction = 124;
constexpr int NarrowFraction = 60;
constexpr int WidestWholeShift = 63;
constexpr int WordBits = 64;
// An integer part of 64 bits or more is cut into two parts below 10^19 by one wide division.
constexpr std::uint64_t TenToTheNineteen = 10'000'000'000'000'000'000ULL;
constexpr int NineteenDigits = 19;
constexpr int WholeDigitRoom = 40; // 2^127 has 39 digits

// Writes the decimal digits of `whole` (not zero) to end just before `end`; returns their start.
char* WholeDigits(WideBits whole, char* end) {
    auto part = static_cast<std::uint64_t>(whole);
    if (whole >> WordBits != 0) {
        const auto high = static_cast<std::uint64_t>(whole / TenToTheNineteen);
        part = static_cast<std::uint64_t>(whole - WideBits{high} * TenToTheNineteen);
        for (int i = 0; i < NineteenDigits; ++i, part /= DecimalBase)
            *--end = static_cast<char>('0' + part % DecimalBase);
        part = high;
    }
    for (; part != 0; part /= DecimalBase)
        *--end = static_cast<char>('0' + part % DecimalBase);
    return end;
}

// Appends the digits of fraction / 2^bits to `kept` until it holds `wanted` digits or the fraction
// is used up; zeros before the first significant digit only lower `exponent`. Each digit is exact:
// the fraction times ten, its bits above `bits`.
template <typename Bits>
int FractionDigits(Bits fraction, int bits, char* kept, int count, int wanted, int& exponent) {
    const Bits mask = (Bits{1} << bits) - 1;
    while (count < wanted && fraction != 0) {
        fraction *= DecimalBase;
        const auto digit = static_cast<int>(fraction >> bits);
        fraction &= mask;
        if (count == 0 && digit == 0) {
            --exponent;
            continue;
        }
        kept[count++] = static_cast<char>('0' + digit);
    }
    return count;
}

// The rounded digits from the exact expansion in integers; false for magnitudes outside its range
// (zero and subnormal numbers among them), which the library's conversion formats.
bool ExactRoundedDigits(Extended magnitude, int digits, DecimalDigits& out) {
    unsigned char bytes[MantissaBytes + sizeof(std::uint16_t)];
    std::memcpy(bytes, &magnitude, sizeof bytes);
    std::uint64_t mantissa = 0;
    std::uint16_t top = 0;
    std::memcpy(&mantissa, bytes, MantissaBytes);
    std::memcpy(&top, bytes + MantissaBytes, sizeof top);
    if ((mantissa & LeadingBit) == 0) return false; // zero, subnormal, or not a valid number
    const int e = static_cast<int>(top & ExponentMask) - ExponentBias - MantissaPlaces;
    if (e > WidestWholeShift || e < -WidestFraction) return false;

    // The digits kept and the one after them, which alone decides: the exact rest is at least half a
    // unit of the last kept digit exactly when that digit is 5 or more. Places no digit reaches are
    // zeros. The copies are of the whole array, whose size the compiler knows: no library calls.
    char* const kept = out.Digits;
    static_assert(sizeof out.Digits == MaxGeneralDigits + 1);
    const int wanted = digits + 1;
    int count = 0;
    int exponent = -1;
    const int fractionBits = e < 0 ? -e : 0;
    const WideBits whole = e >= 0                    ? WideBits{mantissa} << e
                           : fractionBits < WordBits ? WideBits{mantissa >> fractionBits}
                                                     : 0;
    if (whole != 0) {
        char buffer[WholeDigitRoom + sizeof out.Digits];
        char* const end = buffer + WholeDigitRoom;
        std::memset(end, '0', sizeof out.Digits);
        const char* first = WholeDigits(whole, end);
        exponent = static_cast<int>(end - first) - 1;
        count = std::min(wanted, static_cast<int>(end - first));
        std::memcpy(kept, first, sizeof out.Digits);
    } else {
        std::memset(kept, '0', sizeof out.Digits);
    }
    if (count < wanted && fractionBits > 0) {
        if (fractionBits <= NarrowFraction)
            count = FractionDigits(mantissa & ((std::uint64_t{1} << fractionBits) - 1), fractionBits, kept,
                                   count, wanted, exponent);
        else
            count = FractionDigits(WideBits{mantissa} & ((WideBits{1} << fractionBits) - 1), fractionBits,
                                   kept, count, wanted, exponent);
    }

    out.Count = digits;
    out.Exponent = exponent;
    if (kept[digits] >= '5') RoundUp(out);
    return true;
}

} // namespace

DecimalDigits LibraryRoundedDigits(Extended value, int digits) {
    value = std::fabs(value);
    char buffer[DigitBufferSize];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                                      digits - 1 + GuardDigits);
    int exponent = 0;
    CompactScientific(buffer, result.ptr, exponent);

    const std::string_view guard(buffer + digits, GuardDigits);
    bool up = guard > HalfGuard;
    if (guard == HalfGuard) {
        // The guard digits may themselves be rounded: look at the exact expansion (rarely needed).
        std::string exact(ExactDigits + DigitBufferSize, '\0');
        const auto full = std::to_chars(exact.data(), exact.data() + exact.size(), value,
                                        std::chars_format::scientific, ExactDigits);
        int unused = 0;
        CompactScientific(exact.data(), full.ptr, unused);
        up = exact[static_cast<std::size_t>(digits)] >= '5';
    }

    DecimalDigits out;
    out.Count = digits;
    out.Exponent = exponent;
    std::copy_n(buffer, digits, out.Digits);
    if (up) RoundUp(out);
    return out;
}

DecimalDigits RoundedDigits(Extended value, int digits) {
    DecimalDigits out;
    if (!ExactRoundedDigits(std::fabs(value), digits, out)) out = LibraryRoundedDigits(value, digits);
    return out;
}

namespace {

// Puts `count` ASCII characters into `text`, using its room again when it is its own (no
// allocation).
void AssignLatin1(const char* chars, int count, QString& text) {
    text.resize(count);
    QChar* p = text.data();
    for (int i = 0; i < count; ++i)
        p[i] = QLatin1Char(chars[i]);
}

// Whole numbers below this magnitude convert exactly to a 64-bit integer (10^18 < 2^63).
constexpr Extended WholeTextLimit = 1e18L;
constexpr Extended ExactDoubleLimit = 9007199254740992.0L; // 2^53

// The text of a whole number of at most `precision` digits, written as an integer: the general
// format gives exactly these digits (rounding to `precision` digits cannot change them and the
// notation stays fixed), without the decimal expansion the general path needs. With
// `blankBeforePositive` a positive value gets PRINT's leading blank. False, `text` untouched, for any
// other value (zero included), which the general path formats.
bool WholeNumberText(Extended value, int precision, bool blankBeforePositive, QString& text) {
    const Extended magnitude = std::fabs(value);
    if (!(magnitude < WholeTextLimit)) return false;
    // Below 10^18 the conversion is defined; below 2^53 it goes through a double, exact for a whole
    // number (and a fraction fails the test below either way), sparing the FPU's rounding switches.
    const auto whole = magnitude < ExactDoubleLimit
                           ? static_cast<std::uint64_t>(static_cast<double>(magnitude))
                           : static_cast<std::uint64_t>(magnitude);
    if (static_cast<Extended>(whole) != magnitude || whole == 0) return false;
    // The digits from the last, two at a time (half the dependent divisions), then an odd first one;
    // then the sign or the blank.
    char chars[MaxGeneralDigits + 2];
    char* const end = chars + sizeof chars;
    char* p = end;
    std::uint64_t rest = whole;
    for (; rest >= DecimalBase; rest /= DecimalPairBase) {
        const std::uint64_t pair = rest % DecimalPairBase;
        *--p = static_cast<char>('0' + pair % DecimalBase);
        *--p = static_cast<char>('0' + pair / DecimalBase);
    }
    if (rest != 0) *--p = static_cast<char>('0' + rest);
    if (end - p > precision) return false;
    if (value < 0)
        *--p = '-';
    else if (blankBeforePositive)
        *--p = ' ';
    AssignLatin1(p, static_cast<int>(end - p), text);
    return true;
}

// Room for the longest general text: "-0.0000" and 18 digits, or "-d." and 17 digits and "E-4951".
constexpr int GeneralTextRoom = 32;

// Writes the general format of a finite number other than zero, with `precision` digits (1..18), to
// `out`; returns its length.
int GeneralNumberChars(Extended value, int precision, char* out) {
    DecimalDigits d = RoundedDigits(value, precision);
    while (d.Count > 1 && d.Digits[d.Count - 1] == '0')
        --d.Count;

    char* p = out;
    if (value < 0) *p++ = '-';
    const int e = d.Exponent;
    if (e < precision && e >= SmallestFixedExponent) {
        if (e >= 0) {
            // Integer part: the first e + 1 digits, padded with zeros when fewer digits remain.
            for (int i = 0; i <= e; ++i)
                *p++ = i < d.Count ? d.Digits[i] : '0';
            if (d.Count > e + 1) {
                *p++ = '.';
                p = std::copy(d.Digits + e + 1, d.Digits + d.Count, p);
            }
        } else {
            *p++ = '0';
            *p++ = '.';
            p = std::fill_n(p, -e - 1, '0');
            p = std::copy_n(d.Digits, d.Count, p);
        }
    } else {
        *p++ = d.Digits[0];
        if (d.Count > 1) {
            *p++ = '.';
            p = std::copy(d.Digits + 1, d.Digits + d.Count, p);
        }
        *p++ = 'E';
        if (e < 0) *p++ = '-';
        p = std::to_chars(p, out + GeneralTextRoom, std::abs(e)).ptr;
    }
    return static_cast<int>(p - out);
}

} // namespace

QString GeneralNumberText(Extended value, int precision) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0) return QStringLiteral("0"); // also -0: the sign of a zero is not shown

    precision = std::clamp(precision, 1, MaxGeneralDigits);
    QString text;
    if (WholeNumberText(value, precision, false, text)) return text;
    char chars[GeneralTextRoom];
    return QString::fromLatin1(chars, GeneralNumberChars(value, precision, chars));
}

QString FormatNumber(Extended value) {
    QString text;
    FormatNumberInto(value, text);
    return text;
}

void FormatNumberInto(const Extended& value, QString& text) {
    const int precision = std::clamp(Ps.PrintPrecision, 1, MaxGeneralDigits);
    if (WholeNumberText(value, precision, true, text)) return;
    if (!std::isfinite(value) || value == 0) {
        text = GeneralNumberText(value, precision);
        if (std::isgreaterequal(value, 0)) text.prepend(u' '); // not NaN; quiet, so no flag is raised
        return;
    }
    char chars[GeneralTextRoom + 1];
    chars[0] = ' ';
    const int length = GeneralNumberChars(value, precision, chars + 1);
    if (value < 0)
        AssignLatin1(chars + 1, length, text);
    else
        AssignLatin1(chars, length + 1, text);
}

bool ScientificText18(Extended value, QString& text) {
    if (!std::isfinite(value)) return false;
    const DecimalDigits d = RoundedDigits(value, MaxGeneralDigits);
    QString out;
    out.reserve(MaxGeneralDigits + 10);
    if (value < 0) out += u'-';
    out += QLatin1Char(d.Digits[0]);
    out += u'.';
    for (int i = 1; i < MaxGeneralDigits; ++i)
        out += QLatin1Char(i < d.Count ? d.Digits[i] : '0');
    out += u'E';
    out += d.Exponent < 0 ? u'-' : u'+';
    out += QString::number(std::abs(d.Exponent)).rightJustified(FloatToStrExponentDigits, u'0');
    text = out;
    return true;
}
