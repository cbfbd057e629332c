// Number texts: the general format of PRINT and STR$ across magnitudes and precisions, and the
// fixed-width scientific text of FLOATTOSTR.
#include "engine/numberformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

class NumberFormat : public ::testing::Test {
protected:
    void SetUp() override {
        saved = Ps.PrintPrecision;
        Ps.PrintPrecision = 18;
    }
    void TearDown() override { Ps.PrintPrecision = saved; }
    int saved = 18;
};

TEST_F(NumberFormat, SmallWholeNumbersAndSignBlank) {
    EXPECT_EQ(FormatNumber(3), QStringLiteral(" 3"));
    EXPECT_EQ(FormatNumber(-3), QStringLiteral("-3"));
    EXPECT_EQ(FormatNumber(0), QStringLiteral(" 0"));
    EXPECT_EQ(FormatNumber(-0.0L), QStringLiteral(" 0"));
    EXPECT_EQ(FormatNumber(12), QStringLiteral(" 12"));
    EXPECT_EQ(FormatNumber(-3.5L), QStringLiteral("-3.5"));
    EXPECT_EQ(FormatNumber(100), QStringLiteral(" 100"));
    EXPECT_EQ(FormatNumber(1234567), QStringLiteral(" 1234567"));
}

TEST_F(NumberFormat, FractionsRoundToTheSignificantDigits) {
    EXPECT_EQ(FormatNumber(1.0L / 3), QStringLiteral(" 0.333333333333333333"));
    EXPECT_EQ(FormatNumber(-2.0L / 3), QStringLiteral("-0.666666666666666667"));
    EXPECT_EQ(FormatNumber(0.1L), QStringLiteral(" 0.1"));
    EXPECT_EQ(FormatNumber(0.1L + 0.2L), QStringLiteral(" 0.3"));
    EXPECT_EQ(FormatNumber(2.5L), QStringLiteral(" 2.5"));
    EXPECT_EQ(FormatNumber(3.14159265358979323846L), QStringLiteral(" 3.14159265358979324"));
}

TEST_F(NumberFormat, ScientificNotationHasNoPlusAndNoLeadingExponentZeros) {
    EXPECT_EQ(FormatNumber(1e20L), QStringLiteral(" 1E20"));
    EXPECT_EQ(FormatNumber(1.5e-7L), QStringLiteral(" 1.5E-7"));
    EXPECT_EQ(FormatNumber(-1.5e-7L), QStringLiteral("-1.5E-7"));
    EXPECT_EQ(FormatNumber(6.02214076e23L), QStringLiteral(" 6.02214076E23"));
    EXPECT_EQ(FormatNumber(1e-100L), QStringLiteral(" 1E-100"));
    EXPECT_EQ(FormatNumber(1.18973149535723176502e4932L), QStringLiteral(" 1.18973149535723177E4932"));
    EXPECT_EQ(FormatNumber(std::numeric_limits<Extended>::denorm_min()),
              QStringLiteral(" 3.6451995318824746E-4951"));
}

TEST_F(NumberFormat, SmallMagnitudeBoundaryIsOneHundredThousandth) {
    EXPECT_EQ(FormatNumber(0.00001L), QStringLiteral(" 0.00001"));
    EXPECT_EQ(FormatNumber(0.000015L), QStringLiteral(" 0.000015"));
    EXPECT_EQ(FormatNumber(-0.00001L), QStringLiteral("-0.00001"));
    EXPECT_EQ(FormatNumber(0.0000099L), QStringLiteral(" 9.9E-6"));
    EXPECT_EQ(FormatNumber(0.000001L), QStringLiteral(" 1E-6"));
    EXPECT_EQ(FormatNumber(0.0001L), QStringLiteral(" 0.0001"));
    // Rounding to the digits shown decides: this rounds up to 0.00001 at 18 digits.
    EXPECT_EQ(FormatNumber(0.0000099999999999999999999L), QStringLiteral(" 0.00001"));
}

TEST_F(NumberFormat, IntegerPartUpToThePrecisionStaysFixed) {
    EXPECT_EQ(FormatNumber(123456789012345678.0L), QStringLiteral(" 123456789012345678"));
    EXPECT_EQ(FormatNumber(1e17L), QStringLiteral(" 100000000000000000"));
    EXPECT_EQ(FormatNumber(1e18L), QStringLiteral(" 1E18"));
    EXPECT_EQ(FormatNumber(1234567890123456789.0L), QStringLiteral(" 1.23456789012345679E18"));
    EXPECT_EQ(FormatNumber(-999999999999999999.0L), QStringLiteral("-999999999999999999"));
    // Rounding carries into a new digit and so into scientific notation.
    EXPECT_EQ(FormatNumber(9999999999999999999.0L), QStringLiteral(" 1E19"));
    EXPECT_EQ(FormatNumber(12345.678L), QStringLiteral(" 12345.678"));
}

TEST_F(NumberFormat, WholeNumbersAtEveryPrecisionKeepTheirDigitsOnlyUpToThePrecision) {
    // All nines of `digits` digits stay fixed up to the precision; one digit more rounds into the
    // next power of ten; whole numbers and numbers a fraction away from one must not be confused.
    for (int precision = 1; precision <= MaxGeneralDigits; ++precision) {
        Ps.PrintPrecision = precision;
        Extended nines = 0;
        for (int digits = 1; digits <= precision; ++digits)
            nines = nines * 10 + 9;
        const QString fixed = QString(precision, u'9');
        EXPECT_EQ(FormatNumber(nines), u' ' + fixed) << precision;
        EXPECT_EQ(FormatNumber(-nines), u'-' + fixed) << precision;
        EXPECT_EQ(GeneralNumberText(nines, precision), fixed) << precision;
        EXPECT_EQ(FormatNumber(nines * 10 + 9), QStringLiteral(" 1E%1").arg(precision + 1)) << precision;
    }
    Ps.PrintPrecision = 18;
    EXPECT_EQ(FormatNumber(7.5L), QStringLiteral(" 7.5"));
    EXPECT_EQ(FormatNumber(-1), QStringLiteral("-1"));
    EXPECT_EQ(FormatNumber(1e18L - 1), QStringLiteral(" 999999999999999999"));
    EXPECT_EQ(FormatNumber(1e18L + 1), QStringLiteral(" 1E18"));
    EXPECT_EQ(FormatNumber(1.0L + 64 * std::numeric_limits<Extended>::epsilon()),
              QStringLiteral(" 1.00000000000000001"));
}

TEST_F(NumberFormat, LowerPrecisionsRoundAndSwitchEarlier) {
    Ps.PrintPrecision = 6;
    EXPECT_EQ(FormatNumber(1.0L / 3), QStringLiteral(" 0.333333"));
    EXPECT_EQ(FormatNumber(123456), QStringLiteral(" 123456"));
    EXPECT_EQ(FormatNumber(1234567), QStringLiteral(" 1.23457E6"));
    EXPECT_EQ(FormatNumber(999999.5L), QStringLiteral(" 1E6"));
    EXPECT_EQ(FormatNumber(-2.0L / 3), QStringLiteral("-0.666667"));
    Ps.PrintPrecision = 2;
    EXPECT_EQ(FormatNumber(99), QStringLiteral(" 99"));
    EXPECT_EQ(FormatNumber(100), QStringLiteral(" 1E2"));
    EXPECT_EQ(FormatNumber(3.14159L), QStringLiteral(" 3.1"));
    EXPECT_EQ(FormatNumber(0.00012345L), QStringLiteral(" 0.00012"));
}

TEST_F(NumberFormat, PrecisionOutsideItsRangeIsLimited) {
    EXPECT_EQ(GeneralNumberText(1.0L / 3, 40), QStringLiteral("0.333333333333333333"));
    EXPECT_EQ(GeneralNumberText(1.0L / 3, 0), QStringLiteral("0.3"));
    EXPECT_EQ(GeneralNumberText(25, 1), QStringLiteral("3E1"));
}

TEST_F(NumberFormat, ExactHalvesRoundAwayFromZeroOthersToTheNearer) {
    Ps.PrintPrecision = 2;
    EXPECT_EQ(FormatNumber(0.125L), QStringLiteral(" 0.13"));
    EXPECT_EQ(FormatNumber(12.5L), QStringLiteral(" 13"));
    EXPECT_EQ(FormatNumber(-12.5L), QStringLiteral("-13"));
    EXPECT_EQ(FormatNumber(99.5L), QStringLiteral(" 1E2"));
    Ps.PrintPrecision = 3;
    // 1.005 and 2.675 lie just below the half in binary: the exact value decides, not the
    // digits printed at a few more places.
    EXPECT_EQ(FormatNumber(1.005L), QStringLiteral(" 1"));
    EXPECT_EQ(FormatNumber(2.675L), QStringLiteral(" 2.67"));
    EXPECT_EQ(FormatNumber(2.6750000001L), QStringLiteral(" 2.68"));
    Ps.PrintPrecision = 18;
    // One unit above 1 in the last place of the 80-bit format (1.000000000000000000108...) shows as 1;
    // a thousand units above it reach the 18th digit.
    EXPECT_EQ(FormatNumber(1.0L + std::numeric_limits<Extended>::epsilon()), QStringLiteral(" 1"));
    EXPECT_EQ(FormatNumber(1.0L + 1000 * std::numeric_limits<Extended>::epsilon()),
              QStringLiteral(" 1.00000000000000011"));
}

TEST_F(NumberFormat, PlainTextHasNoBlankAndSpecialValuesAreNamed) {
    EXPECT_EQ(GeneralNumberText(42, 18), QStringLiteral("42"));
    EXPECT_EQ(GeneralNumberText(-1e-9L, 18), QStringLiteral("-1E-9"));
    EXPECT_EQ(GeneralNumberText(std::numeric_limits<Extended>::infinity(), 18), QStringLiteral("INF"));
    EXPECT_EQ(GeneralNumberText(-std::numeric_limits<Extended>::infinity(), 18), QStringLiteral("-INF"));
    EXPECT_EQ(GeneralNumberText(std::numeric_limits<Extended>::quiet_NaN(), 18), QStringLiteral("NAN"));
    EXPECT_EQ(FormatNumber(std::numeric_limits<Extended>::quiet_NaN()), QStringLiteral("NAN"));
}

TEST_F(NumberFormat, EveryTextReadsBackAsTheRoundedValue) {
    // The digits written at 18 places are the value rounded to 18 significant digits: reading them
    // back must land within half a unit of the last digit.
    Extended x = 1.0L;
    for (int i = 0; i < 200; ++i) {
        x *= -1.37L;
        const QString text = GeneralNumberText(x, 18);
        const Extended back = std::strtold(text.toLatin1().constData(), nullptr);
        ASSERT_LE(std::fabs(back - x), std::fabs(x) * 1e-17L) << text.toStdString();
    }
}

TEST(FloatToStrText, EighteenDigitsAndFourExponentDigits) {
    QString text;
    ASSERT_TRUE(ScientificText18(1, text));
    EXPECT_EQ(text, QStringLiteral("1.00000000000000000E+0000"));
    ASSERT_TRUE(ScientificText18(-0.0025L, text));
    EXPECT_EQ(text, QStringLiteral("-2.50000000000000000E-0003"));
    ASSERT_TRUE(ScientificText18(0, text));
    EXPECT_EQ(text, QStringLiteral("0.00000000000000000E+0000"));
    ASSERT_TRUE(ScientificText18(1.0L / 3, text));
    EXPECT_EQ(text, QStringLiteral("3.33333333333333333E-0001"));
    ASSERT_TRUE(ScientificText18(1e4000L, text));
    EXPECT_EQ(text, QStringLiteral("1.00000000000000000E+4000"));
    ASSERT_TRUE(ScientificText18(1e-4000L, text));
    EXPECT_EQ(text, QStringLiteral("1.00000000000000000E-4000"));
    text = QStringLiteral("unchanged");
    EXPECT_FALSE(ScientificText18(std::numeric_limits<Extended>::infinity(), text));
    EXPECT_FALSE(ScientificText18(std::numeric_limits<Extended>::quiet_NaN(), text));
    EXPECT_EQ(text, QStringLiteral("unchanged"));
}

// The digits of the own expansion against the library's exact conversion, at every precision: every
// text is made from them. LORVEX_ROUNDING_SAMPLES and LORVEX_ROUNDING_SEED run many more random
// numbers outside the suite (the suite's count keeps it to about a second).
class RoundedDigitsAgainstTheLibrary : public ::testing::Test {
protected:
    static Extended FromParts(std::uint64_t mantissa, unsigned exponentAndSign) {
        unsigned char bytes[sizeof(Extended)] = {};
        std::memcpy(bytes, &mantissa, sizeof mantissa);
        const auto top = static_cast<std::uint16_t>(exponentAndSign);
        std::memcpy(bytes + sizeof mantissa, &top, sizeof top);
        Extended value = 0;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    // A number mantissa x 2^e (the biased exponent is e + 16383 + 63).
    static Extended Scaled(std::uint64_t mantissa, int e) {
        return FromParts(mantissa, static_cast<unsigned>(e + 16383 + 63));
    }

    void Check(Extended value) {
        ++checked_;
        for (int digits = 1; digits <= MaxGeneralDigits; ++digits) {
            const DecimalDigits own = RoundedDigits(value, digits);
            const DecimalDigits library = LibraryRoundedDigits(value, digits);
            const std::string ownText(own.Digits, static_cast<std::size_t>(own.Count));
            const std::string libraryText(library.Digits, static_cast<std::size_t>(library.Count));
            if (ownText == libraryText && own.Exponent == library.Exponent) continue;
            ADD_FAILURE() << "value " << std::hexfloat << value << " at " << digits << " digits: " << ownText
                          << "E" << own.Exponent << ", the library " << libraryText << "E"
                          << library.Exponent;
            if (++failures_ > MaxReported) FAIL() << "more differences left out";
        }
    }

    static long EnvironmentNumber(const char* name, long fallback) {
        const char* text = std::getenv(name);
        return text != nullptr ? std::strtol(text, nullptr, 10) : fallback;
    }

    static constexpr int MaxReported = 20;
    static constexpr std::uint64_t LeadingBit = std::uint64_t{1} << 63;
    // The own expansion covers mantissa x 2^e for e from -124 to 63; a few more on both sides.
    static constexpr int LowestExactE = -124;
    static constexpr int HighestExactE = 63;
    static constexpr int Margin = 4;
    long checked_ = 0;
    int failures_ = 0;
};

TEST_F(RoundedDigitsAgainstTheLibrary, BordersHalvesAndPowersOfTen) {
    for (const Extended value :
         {0.0L, -0.0L, 0.125L, 9.995L, 0.5L, 2.5L, 1.005L, 2.675L, 0.1L, 1.0L / 3, 99.5L, 999999.5L,
          std::numeric_limits<Extended>::denorm_min(), std::numeric_limits<Extended>::min(),
          std::numeric_limits<Extended>::max(), std::numeric_limits<Extended>::epsilon()})
        Check(value);
    for (int e = LowestExactE - Margin; e <= HighestExactE + Margin; ++e) {
        Check(Scaled(LeadingBit, e));        // the smallest mantissa
        Check(Scaled(~std::uint64_t{0}, e)); // the largest
        Check(Scaled(LeadingBit | 1, e));
    }
    // Powers of ten and their neighbours (9.99...9 rounds into the next power), halves of a last
    // digit, from 1E-25 to 1E45.
    for (int power = -25; power <= 45; ++power) {
        const Extended ten = std::pow(10.0L, static_cast<Extended>(power));
        for (const Extended value : {ten, std::nextafter(ten, 0.0L), std::nextafter(ten, 2 * ten), 9.5L * ten,
                                     std::nextafter(9.5L * ten, 0.0L), 1.25L * ten, 4.445L * ten})
            Check(value);
    }
    // Subnormal numbers.
    Check(FromParts(1, 0));
    Check(FromParts(LeadingBit - 1, 0));
}

TEST_F(RoundedDigitsAgainstTheLibrary, RandomNumbers) {
    const long samples = EnvironmentNumber("LORVEX_ROUNDING_SAMPLES", 4000);
    std::mt19937_64 random(static_cast<std::uint64_t>(EnvironmentNumber("LORVEX_ROUNDING_SEED", 33)));
    std::uniform_int_distribution<int> nearE(LowestExactE - Margin, HighestExactE + Margin);
    std::uniform_int_distribution<unsigned> anyExponent(1, 0x7ffe);
    std::uniform_int_distribution<int> fewBits(1, 24);
    std::uniform_int_distribution<int> decimals(0, 12);
    std::uniform_int_distribution<long> whole(1, 10'000'000);
    for (long i = 0; i < samples && failures_ <= MaxReported; ++i) {
        const std::uint64_t bits = random();
        const Extended sign = (bits & 1) != 0 ? -1.0L : 1.0L;
        // Full mantissas where the own expansion works and just outside it.
        Check(sign * Scaled(bits | LeadingBit, nearE(random)));
        // Short mantissas: numbers such as 0.125 or 12.5 that lie exactly halfway at some precision.
        const int kept = fewBits(random);
        Check(sign * Scaled((bits >> (64 - kept) | 1) << (64 - kept) | LeadingBit, nearE(random)));
        // Decimal fractions as programs compute them: K / 7, K * 1.5, K / 10^n.
        const auto k = static_cast<Extended>(whole(random));
        Check(k / 7);
        Check(k * 1.5L);
        Check(k / std::pow(10.0L, static_cast<Extended>(decimals(random))));
        // Any exponent at all, and a subnormal number.
        Check(FromParts(random() | LeadingBit, anyExponent(random)));
        if (i % 64 == 0) Check(FromParts(random() >> 1, 0));
    }
    RecordProperty("checked", static_cast<int>(checked_));
}

} // namespace
