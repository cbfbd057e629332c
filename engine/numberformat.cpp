// The number texts: rounding to the kept digits from an exact decimal expansion, the general format with
// its switch to scientific form, and FLOATTOSTR's fixed-width form.
#include "engine/numberformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

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

// The decimal digits of |value| rounded to `digits` significant digits, and the power of ten of the
// first one (value = d.ddd x 10^exponent). A value exactly halfway rounds away from zero (0.125 at two
// digits is 0.13), as a BASIC user expects; every other value rounds to the nearer neighbour.
// std::to_chars is exact for the 80-bit format and never looks at the locale, unlike printf.
struct DecimalDigits {
    char Digits[MaxGeneralDigits + 1] = {};
    int Count = 0;
    int Exponent = 0;
};

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

DecimalDigits RoundToDigits(Extended value, int digits) {
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
    if (up) {
        int i = digits - 1;
        for (; i >= 0 && out.Digits[i] == '9'; --i)
            out.Digits[i] = '0';
        if (i >= 0) {
            ++out.Digits[i];
        } else {
            out.Digits[0] = '1'; // 9.99 became 10.0: one more power of ten
            ++out.Exponent;
        }
    }
    return out;
}

// Whole numbers below this magnitude convert exactly to a 64-bit integer (10^18 < 2^63).
constexpr Extended WholeTextLimit = 1e18L;
constexpr Extended ExactDoubleLimit = 9007199254740992.0L; // 2^53
constexpr int DecimalBase = 10;
constexpr int DecimalPairBase = 100;

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
    // The digits from the last, two at a time (half the dependent divisions), then an odd first one.
    char digits[MaxGeneralDigits + 1];
    int count = 0;
    std::uint64_t rest = whole;
    for (; rest >= DecimalBase; rest /= DecimalPairBase) {
        const std::uint64_t pair = rest % DecimalPairBase;
        digits[count++] = static_cast<char>('0' + pair % DecimalBase);
        digits[count++] = static_cast<char>('0' + pair / DecimalBase);
    }
    if (rest != 0) digits[count++] = static_cast<char>('0' + rest);
    if (count > precision) return false;
    const bool negative = value < 0;
    const bool lead = negative || blankBeforePositive;
    text.resize(count + (lead ? 1 : 0)); // a text that is not shared keeps its room: no allocation
    QChar* p = text.data();
    if (lead) *p++ = negative ? u'-' : u' ';
    for (int i = count - 1; i >= 0; --i)
        *p++ = QLatin1Char(digits[i]);
    return true;
}

} // namespace

QString GeneralNumberText(Extended value, int precision) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0) return QStringLiteral("0"); // also -0: the sign of a zero is not shown

    precision = std::clamp(precision, 1, MaxGeneralDigits);
    QString whole;
    if (WholeNumberText(value, precision, false, whole)) return whole;
    DecimalDigits d = RoundToDigits(value, precision);
    while (d.Count > 1 && d.Digits[d.Count - 1] == '0')
        --d.Count;

    QString text;
    text.reserve(precision + 8);
    if (value < 0) text += u'-';
    const int e = d.Exponent;
    if (e < precision && e >= SmallestFixedExponent) {
        if (e >= 0) {
            // Integer part: the first e + 1 digits, padded with zeros when fewer digits remain.
            for (int i = 0; i <= e; ++i)
                text += QLatin1Char(i < d.Count ? d.Digits[i] : '0');
            if (d.Count > e + 1) {
                text += u'.';
                for (int i = e + 1; i < d.Count; ++i)
                    text += QLatin1Char(d.Digits[i]);
            }
        } else {
            text += u"0.";
            for (int i = 0; i < -e - 1; ++i)
                text += u'0';
            for (int i = 0; i < d.Count; ++i)
                text += QLatin1Char(d.Digits[i]);
        }
    } else {
        text += QLatin1Char(d.Digits[0]);
        if (d.Count > 1) {
            text += u'.';
            for (int i = 1; i < d.Count; ++i)
                text += QLatin1Char(d.Digits[i]);
        }
        text += u'E';
        if (e < 0) text += u'-';
        text += QString::number(std::abs(e));
    }
    return text;
}

QString FormatNumber(Extended value) {
    QString text;
    FormatNumberInto(value, text);
    return text;
}

void FormatNumberInto(const Extended& value, QString& text) {
    if (WholeNumberText(value, std::clamp(Ps.PrintPrecision, 1, MaxGeneralDigits), true, text)) return;
    text = GeneralNumberText(value, Ps.PrintPrecision);
    if (std::isgreaterequal(value, 0)) text.prepend(u' '); // not NaN; quiet, so no flag is raised
}

bool ScientificText18(Extended value, QString& text) {
    if (!std::isfinite(value)) return false;
    const DecimalDigits d = RoundToDigits(value, MaxGeneralDigits);
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
