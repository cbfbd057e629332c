// Number texts: the general format of PRINT and STR$ across magnitudes and precisions, and the
// fixed-width scientific text of FLOATTOSTR.
#include "engine/numberformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

} // namespace
