// PRINT USING as the run loop calls it: the format on top of the Gl stack, the values below it (the
// first field's value on top), the text appended to PrintLine, and the errors of the format language.
#include "engine/printusing.h"

#include "core/errornumbers.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "engine/enginestate.h"
#include "engine/printline.h"
#include "tests/stackargs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace {

QString Q(const char16_t* s) {
    return QString::fromUtf16(s);
}

class PrintUsing : public ::testing::Test {
protected:
    void SetUp() override {
        InitGlStack();
        Fe.ErrorNumber = 0;
        Eng.PrintLine.clear();
    }
    void TearDown() override { Eng.PrintLine.clear(); }

    // Pushes the values so that the first one is on top, then the format, and runs PRINT USING.
    static void Run(const QString& format, std::initializer_list<Arg> values) {
        const std::vector<Arg> list(values);
        for (auto it = list.rbegin(); it != list.rend(); ++it)
            PushArg(*it);
        GlPushStr(format);
        ExecPrintUsing();
    }

    // A PRINT USING that must succeed and use every value; returns what it appended.
    QString Using(const char16_t* format, std::initializer_list<Arg> values) {
        InitGlStack();
        Eng.PrintLine.clear();
        Fe.ErrorNumber = 0;
        Run(Q(format), values);
        EXPECT_EQ(Fe.ErrorNumber, 0) << QString::fromUtf16(format).toStdString();
        EXPECT_EQ(ValueStackCount, 0) << "values left over for " << QString::fromUtf16(format).toStdString();
        return Eng.PrintLine;
    }
};

// ---- the documented examples -----------------------------------------------------------------------

TEST_F(PrintUsing, ExampleTable) {
    EXPECT_EQ(Using(u"##.##", {N(3.14159L)}), Q(u" 3.14"));
    EXPECT_EQ(Using(u"+#.#", {N(3.14159L)}), Q(u"+3.1"));
    EXPECT_EQ(Using(u"##.#-", {N(-5)}), Q(u" 5.0-"));
    EXPECT_EQ(Using(u"##.#-", {N(5)}), Q(u" 5.0 "));
    EXPECT_EQ(Using(u"**##", {N(12)}), Q(u"**12"));
    EXPECT_EQ(Using(u"*0##", {N(12)}), Q(u"0012"));
    EXPECT_EQ(Using(u"##.##", {N(123.456L)}), Q(u"%123.46"));
    EXPECT_EQ(Using(u"##,###", {N(1234567)}), Q(u"%1,234,567"));
}

// ---- string fields -------------------------------------------------------------------------------------

TEST_F(PrintUsing, StringFieldWidths) {
    EXPECT_EQ(Using(u"&", {S(u"ABC")}), Q(u"A"));
    EXPECT_EQ(Using(u"& &", {S(u"ABC")}), Q(u"ABC"));
    EXPECT_EQ(Using(u"&  &", {S(u"ABCDEF")}), Q(u"ABCD"));
    EXPECT_EQ(Using(u"&  &", {S(u"AB")}), Q(u"AB  ")) << "short strings are padded";
    EXPECT_EQ(Using(u"!", {S(u"XYZ")}), Q(u"X"));
    EXPECT_EQ(Using(u"!", {S(u"")}), Q(u" "));
    EXPECT_EQ(Using(u"@", {S(u"the whole string")}), Q(u"the whole string"));
    EXPECT_EQ(Using(u"@", {S(u"")}), Q(u""));
}

TEST_F(PrintUsing, OpenBlankFieldEndsAtOtherCharactersAndAtTheEnd) {
    // Blanks after an unclosed "&" belong to the field; another character ends it before itself.
    EXPECT_EQ(Using(u"&  X", {S(u"ABCDEF")}), Q(u"ABCX"));
    EXPECT_EQ(Using(u"&  ", {S(u"ABCDEF")}), Q(u"ABC"));
    // A second field right after the first.
    EXPECT_EQ(Using(u"&!", {S(u"AB"), S(u"CD")}), Q(u"AC"));
    EXPECT_EQ(Using(u"! & &|@", {S(u"Yes"), S(u"No"), S(u"rest")}), Q(u"Y No |rest"));
}

TEST_F(PrintUsing, WideStringFieldIsPaddedToItsFullWidth) {
    const QString format = u'&' + QString(58, u' ') + u'&'; // a field of 60 characters
    InitGlStack();
    Run(format, {S(u"short")});
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Eng.PrintLine, Q(u"short") + QString(55, u' '));
}

TEST_F(PrintUsing, UnderscoreEscapesWithoutUsingAValue) {
    EXPECT_EQ(Using(u"_#", {}), Q(u"#"));
    EXPECT_EQ(Using(u"__", {}), Q(u"_"));
    EXPECT_EQ(Using(u"_!_&_@", {}), Q(u"!&@"));
    EXPECT_EQ(Using(u"_##", {N(7)}), Q(u"#7")) << "the mark after the escaped one still opens a field";
    EXPECT_EQ(Using(u"100_%: ###", {N(42)}), Q(u"100%:  42"));
}

// ---- numeric fields ------------------------------------------------------------------------------------

TEST_F(PrintUsing, FixedDecimalsRoundHalfAwayFromZero) {
    EXPECT_EQ(Using(u"#.#", {N(0.25L)}), Q(u"0.3"));
    EXPECT_EQ(Using(u"##", {N(2.5L)}), Q(u" 3"));
    EXPECT_EQ(Using(u"##", {N(-2.5L)}), Q(u"-3"));
    EXPECT_EQ(Using(u"#.##", {N(0.125L)}), Q(u"0.13"));
    // 0.35 and 2.675 are stored a little below the half, 0.15 a little above it: the exact digits
    // decide, not a text rounded once already.
    EXPECT_EQ(Using(u"#.#", {N(0.35L)}), Q(u"0.3"));
    EXPECT_EQ(Using(u"#.##", {N(2.675L)}), Q(u"2.67"));
    EXPECT_EQ(Using(u"#.#", {N(0.15L)}), Q(u"0.2"));
    EXPECT_EQ(Using(u"###", {N(99.5L)}), Q(u"100"));
    EXPECT_EQ(Using(u"#.###", {N(9.9996L)}), Q(u"%10.000"));
    EXPECT_EQ(Using(u"###.", {N(123)}), Q(u" 123")) << "no point without decimal places";
    EXPECT_EQ(Using(u"#####.##", {N(-0.001L)}), Q(u"   -0.00"));
    EXPECT_EQ(Using(u"##.#", {N(-0.0L)}), Q(u" 0.0")) << "negative zero prints as zero";
}

TEST_F(PrintUsing, LeadingAndTrailingSigns) {
    EXPECT_EQ(Using(u"+#.#", {N(-3.14159L)}), Q(u"-3.1"));
    EXPECT_EQ(Using(u"+##", {N(0)}), Q(u"  0")) << "no plus for zero";
    EXPECT_EQ(Using(u"+###", {N(42)}), Q(u" +42"));
    EXPECT_EQ(Using(u"+##", {N(123)}), Q(u"%+123"));
    EXPECT_EQ(Using(u"##.#+", {N(5)}), Q(u" 5.0+"));
    EXPECT_EQ(Using(u"##.#+", {N(-5)}), Q(u" 5.0-"));
    EXPECT_EQ(Using(u"##+", {N(0)}), Q(u" 0+"));
    EXPECT_EQ(Using(u"+##-", {N(-7)}), Q(u"  -7")) << "a leading plus drops the trailing sign";
    EXPECT_EQ(Using(u"##-", {N(-123)}), Q(u"%123-"));
}

TEST_F(PrintUsing, AsteriskZeroAndYenLeads) {
    EXPECT_EQ(Using(u"**###", {N(5)}), Q(u"****5"));
    EXPECT_EQ(Using(u"**##", {N(-5)}), Q(u"**-5"));
    EXPECT_EQ(Using(u"**.##", {N(0.5L)}), Q(u"*0.50"));
    EXPECT_EQ(Using(u"*0###", {N(42)}), Q(u"00042"));
    EXPECT_EQ(Using(u"*0##", {N(-5)}), Q(u"-005")) << "zeros go after the sign";
    EXPECT_EQ(Using(u"*0##-", {N(-5)}), Q(u"0005-"));
    EXPECT_EQ(Using(u"*##", {N(12)}), Q(u"12")) << "a single asterisk does not fill";
    EXPECT_EQ(Using(u"\\###", {N(5)}), Q(u"  \\5"));
    EXPECT_EQ(Using(u"\\#,###", {N(1500)}), Q(u"\\1,500"));
    EXPECT_EQ(Using(u"**\\###", {N(42)}), Q(u"***\\42"));
    EXPECT_EQ(Using(u"\\##", {N(1234)}), Q(u"%\\1234"));
    // "0" continues a field only as its second character.
    EXPECT_EQ(Using(u"#0", {N(5)}), Q(u" 5"));
    EXPECT_EQ(Using(u"##0", {N(5)}), Q(u" 50"));
    EXPECT_EQ(Using(u"**#0", {N(5)}), Q(u"**50"));
}

TEST_F(PrintUsing, ThousandsCommas) {
    EXPECT_EQ(Using(u"#,###,###", {N(1234567)}), Q(u"1,234,567"));
    EXPECT_EQ(Using(u"##########,", {N(-123456)}), Q(u"   -123,456"));
    EXPECT_EQ(Using(u"#,###.##", {N(1234.5L)}), Q(u"1,234.50"));
    EXPECT_EQ(Using(u"##,##", {N(999)}), Q(u"  999"));
    EXPECT_EQ(Using(u"**,######", {N(1000000)}), Q(u"1,000,000"));
}

TEST(SplitNumberText, GroupsTheIntegerPartOnly) {
    EXPECT_EQ(SplitNumberText(QStringLiteral("1234567.5")), QStringLiteral("1,234,567.5"));
    EXPECT_EQ(SplitNumberText(QStringLiteral("-123456")), QStringLiteral("-123,456"));
    EXPECT_EQ(SplitNumberText(QStringLiteral("-1234")), QStringLiteral("-1,234"));
    EXPECT_EQ(SplitNumberText(QStringLiteral("-123")), QStringLiteral("-123"));
    EXPECT_EQ(SplitNumberText(QStringLiteral("1000")), QStringLiteral("1,000"));
    EXPECT_EQ(SplitNumberText(QStringLiteral("100")), QStringLiteral("100"));
    EXPECT_EQ(SplitNumberText(QStringLiteral("0.123456")), QStringLiteral("0.123456"));
    EXPECT_EQ(SplitNumberText(QStringLiteral("12345678901")), QStringLiteral("12,345,678,901"));
    EXPECT_EQ(SplitNumberText(QString()), QString());
}

TEST_F(PrintUsing, ExponentFields) {
    EXPECT_EQ(Using(u"##.##^^^^", {N(1234.5L)}), Q(u" 1.23E+03"));
    EXPECT_EQ(Using(u"##.##^^^^", {N(-1234.5L)}), Q(u" -1.2E+03"));
    EXPECT_EQ(Using(u"##.##^^^^", {N(0)}), Q(u" 0.00E+00"));
    EXPECT_EQ(Using(u"##.##^^^^", {N(0.000125L)}), Q(u" 1.25E-04"));
    EXPECT_EQ(Using(u"#.##^^^^", {N(9.999L)}), Q(u" 1.0E+01")) << "rounding carries into the exponent";
    EXPECT_EQ(Using(u"#.#^^^^", {N(1e100L)}), Q(u" 1E+100"));
    EXPECT_EQ(Using(u"#^^^^^", {N(5)}), Q(u" 5E+00"));
    EXPECT_EQ(Using(u"#^^^", {N(5)}), Q(u"%5E+00")) << "too narrow for any exponent text";
    EXPECT_EQ(Using(u"##.##^^^^-", {N(-1234.5L)}), Q(u"1.235E+03-"));
    EXPECT_EQ(Using(u"+#.##^^^^", {N(1234.5L)}), Q(u"+1.23E+03"));
    // A wide field gets at most 18 significant digits and is padded on the left.
    EXPECT_EQ(Using(u"##########################^", {N(1)}),
              QString(4, u' ') + Q(u"1.00000000000000000E+00"));
    EXPECT_EQ(Using(u"##.##^^^^^", {N(1e-4000L)}), Q(u" 1.0E-4000"));
}

TEST_F(PrintUsing, ExtremeNumbersKeepEveryDigit) {
    // 2^13000 has 3914 decimal digits; work them out by doubling a digit string.
    constexpr int power = 13000;
    std::string expected = "1";
    for (int n = 0; n < power; ++n) {
        int carry = 0;
        for (auto it = expected.rbegin(); it != expected.rend(); ++it) {
            const int d = (*it - '0') * 2 + carry;
            *it = static_cast<char>('0' + d % 10);
            carry = d / 10;
        }
        if (carry) expected.insert(expected.begin(), static_cast<char>('0' + carry));
    }
    ASSERT_EQ(expected.size(), 3914u);
    InitGlStack();
    Run(QStringLiteral("#"), {N(std::ldexp(1.0L, power))});
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Eng.PrintLine, QStringLiteral("%") + QString::fromStdString(expected));

    // The smallest 80-bit number is 2^-16445: its exact expansion ends in a 5 at the 16445th decimal.
    constexpr int lastDigit = 16445;
    Eng.PrintLine.clear();
    InitGlStack();
    Run(QStringLiteral("#.") + QString(lastDigit + 10, u'#'),
        {N(std::numeric_limits<Extended>::denorm_min())});
    ASSERT_EQ(Fe.ErrorNumber, 0);
    ASSERT_EQ(Eng.PrintLine.size(), 2 + lastDigit + 10);
    EXPECT_EQ(Eng.PrintLine[2 + lastDigit - 1], u'5');
    EXPECT_EQ(Eng.PrintLine.mid(2 + lastDigit), QString(10, u'0'));
    EXPECT_EQ(Eng.PrintLine.mid(2, 4000), QString(4000, u'0'));
}

TEST_F(PrintUsing, HugeFieldsAreLaidOutInFull) {
    constexpr int places = 200000;
    InitGlStack();
    Run(QStringLiteral("#.") + QString(places, u'#'), {N(1.5L)});
    ASSERT_EQ(Fe.ErrorNumber, 0);
    ASSERT_EQ(Eng.PrintLine.size(), places + 2);
    EXPECT_TRUE(Eng.PrintLine.startsWith(QStringLiteral("1.5000")));
    EXPECT_EQ(Eng.PrintLine.count(u'0'), places - 1);

    Eng.PrintLine.clear();
    InitGlStack();
    Run(QString(places, u'#'), {N(-42)});
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Eng.PrintLine, QString(places - 3, u' ') + QStringLiteral("-42"));
}

TEST_F(PrintUsing, NotANumber) {
    EXPECT_EQ(Using(u"####", {N(std::numeric_limits<Extended>::quiet_NaN())}), Q(u" NAN"));
    EXPECT_EQ(Using(u"##", {N(-std::numeric_limits<Extended>::infinity())}), Q(u"%-INF"));
}

// ---- the walk over the format --------------------------------------------------------------------------

TEST_F(PrintUsing, LiteralTextAroundFields) {
    EXPECT_EQ(Using(u"Total: ###.## yen", {N(12.5L)}), Q(u"Total:  12.50 yen"));
    EXPECT_EQ(Using(u"[&  &] [####] (!)", {S(u"name"), N(7), S(u"ok")}), Q(u"[name] [   7] (o)"));
    EXPECT_EQ(Using(u"no fields - at all.", {}), Q(u"no fields - at all."));
    EXPECT_EQ(Using(u"", {}), Q(u""));
    EXPECT_EQ(Using(u"x", {}), Q(u"x"));
}

TEST_F(PrintUsing, AppendsToThePrintLineWithoutEndingIt) {
    Eng.PrintLine = QStringLiteral("Before:");
    Run(QStringLiteral("##"), {N(3)});
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Eng.PrintLine, QStringLiteral("Before: 3"));
}

TEST_F(PrintUsing, FormatIsNotRepeatedAndLeftoverValuesStay) {
    Run(QStringLiteral("##|"), {N(1), N(2), S(u"three")});
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Eng.PrintLine, QStringLiteral(" 1|"));
    ASSERT_EQ(ValueStackCount, 2);
    EXPECT_EQ(GlPopNum(), 2);
}

TEST_F(PrintUsing, JapaneseText) {
    // A full-width character takes the next character along as text: the mark after it opens no field.
    EXPECT_EQ(Using(u"価格###円", {N(500)}), Q(u"価格500円"));
    EXPECT_EQ(Using(u"円#", {}), Q(u"円#"));
    EXPECT_EQ(Using(u"氏名 &   &様", {S(u"山田太郎")}), Q(u"氏名 山田太郎 様"));
    EXPECT_EQ(Using(u"氏名：&  &", {S(u"山田")}), Q(u"氏名：&  山")) << "the colon takes the first &";
    EXPECT_EQ(Using(u"名前 &  &", {S(u"山田花子さん")}), Q(u"名前 山田花子"));
    EXPECT_EQ(Using(u"合計：###", {N(1500)}), Q(u"合計：#%1500")) << "the colon takes the first #";
    // A half-width katakana is a single byte: the mark after it is a field.
    EXPECT_EQ(Using(u"ｶ#", {N(3)}), Q(u"ｶ3"));
    // A full-width character at the very end of the format.
    EXPECT_EQ(Using(u"##個", {N(12)}), Q(u"12個"));
}

TEST(DoubleByteChar, ShiftJisLengths) {
    EXPECT_TRUE(IsDoubleByteChar(QChar(u'あ')));
    EXPECT_TRUE(IsDoubleByteChar(QChar(u'漢')));
    EXPECT_TRUE(IsDoubleByteChar(QChar(u'Ａ')));
    EXPECT_TRUE(IsDoubleByteChar(QChar(u'：')));
    EXPECT_FALSE(IsDoubleByteChar(QChar(u'ｱ')));
    EXPECT_FALSE(IsDoubleByteChar(QChar(u'A')));
    EXPECT_FALSE(IsDoubleByteChar(QChar(u'#')));
    EXPECT_FALSE(IsDoubleByteChar(QChar(0xD842))) << "half of a surrogate pair";
}

TEST_F(PrintUsing, FileVariantClassifiesEveryCharacterOnItsOwn) {
    GlPushNum(5);
    QString out = QStringLiteral("<");
    ASSERT_TRUE(FormatUsing(QStringLiteral("円#"), out, UsingWidePairs::Ignore));
    EXPECT_EQ(out, QStringLiteral("<円5"));
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_TRUE(Eng.PrintLine.isEmpty()) << "the core writes only to its own output";
}

// ---- errors --------------------------------------------------------------------------------------------

TEST_F(PrintUsing, FormatMustBeAString) {
    GlPushStr(QStringLiteral("value"));
    GlPushNum(12);
    Eng.PrintLine = QStringLiteral("kept");
    ExecPrintUsing();
    EXPECT_EQ(Fe.ErrorNumber, Err::UnexpectedParseError);
    EXPECT_EQ(Eng.PrintLine, QStringLiteral("kept"));
    EXPECT_EQ(ValueStackCount, 2) << "nothing popped";

    InitGlStack();
    Fe.ErrorNumber = 0;
    ExecPrintUsing();
    EXPECT_EQ(Fe.ErrorNumber, Err::UnexpectedParseError) << "an empty stack";
}

TEST_F(PrintUsing, MoreFieldsThanValues) {
    Run(QStringLiteral("A## B## C##"), {N(1)});
    EXPECT_EQ(Fe.ErrorNumber, Err::UsingFieldType);
    EXPECT_EQ(Eng.PrintLine, QStringLiteral("A 1 B")) << "the text before the failing field stays";
    EXPECT_EQ(ValueStackCount, 0);

    SetUp();
    Run(QStringLiteral("!&"), {S(u"x")});
    EXPECT_EQ(Fe.ErrorNumber, Err::UsingFieldType);
    EXPECT_EQ(Eng.PrintLine, QStringLiteral("x"));
}

TEST_F(PrintUsing, WrongValueTypeIsNotPopped) {
    Run(QStringLiteral("###"), {S(u"text")});
    EXPECT_EQ(Fe.ErrorNumber, Err::UsingFieldType);
    EXPECT_EQ(Eng.PrintLine, QString());
    ASSERT_EQ(ValueStackCount, 1);
    EXPECT_EQ(GlTopType(), GlValueType::String);

    SetUp();
    Run(QStringLiteral("&"), {N(5)});
    EXPECT_EQ(Fe.ErrorNumber, Err::UsingFieldType);
    EXPECT_EQ(ValueStackCount, 1);

    SetUp();
    Run(QStringLiteral("##"), {Arg(true)});
    EXPECT_EQ(Fe.ErrorNumber, Err::UsingFieldType) << "a boolean is no number";
}

TEST_F(PrintUsing, FormatEndingInUnderscore) {
    Run(QStringLiteral("##ab_"), {N(1), N(2)});
    EXPECT_EQ(Fe.ErrorNumber, Err::UsingUnderscore);
    EXPECT_EQ(Eng.PrintLine, QStringLiteral(" 1ab"));
    EXPECT_EQ(ValueStackCount, 1);

    SetUp();
    Run(QStringLiteral("_"), {});
    EXPECT_EQ(Fe.ErrorNumber, Err::UsingUnderscore);
}

TEST_F(PrintUsing, FieldScannersRefuseIndexesOutsideTheFormat) {
    const QString format = QStringLiteral("##");
    QString result;
    qsizetype index = 2;
    EXPECT_FALSE(FormatPrintUsing(format, index, format.size(), result));
    EXPECT_EQ(Fe.ErrorNumber, Err::UnexpectedRunError);

    Fe.ErrorNumber = 0;
    index = -1;
    EXPECT_FALSE(ScanUsingField(format, index, format.size(), result));
    EXPECT_EQ(Fe.ErrorNumber, Err::UnexpectedRunError);

    // A length beyond the format is cut to the format.
    Fe.ErrorNumber = 0;
    GlPushNum(7);
    index = 0;
    EXPECT_TRUE(FormatPrintUsing(format, index, 1000, result));
    EXPECT_EQ(result, QStringLiteral(" 7"));
    EXPECT_EQ(index, 1) << "moved to the field's last character";

    // A length shorter than the format ends the field there.
    GlPushStr(QStringLiteral("ABCDEF"));
    const QString wide = QStringLiteral("&    &");
    index = 0;
    EXPECT_TRUE(ScanUsingField(wide, index, 3, result));
    EXPECT_EQ(result, QStringLiteral("ABC"));
    EXPECT_EQ(index, 2);
}

// The text PRINT shows, as a statement that shows values as PRINT does gets it; a TAB column is no such
// value and stays where it is.
TEST_F(PrintUsing, ValuesAsPrintText) {
    GlPushNum(-2.5);
    EXPECT_EQ(PopValueAsPrintText(), std::optional<QString>(QStringLiteral("-2.5")));
    GlPushStr(QStringLiteral("ab"));
    EXPECT_EQ(PopValueAsPrintText(), std::optional<QString>(QStringLiteral("ab")));
    GlPushBool(false);
    EXPECT_EQ(PopValueAsPrintText(), std::optional<QString>(QStringLiteral("False")));
    detail::GlPushValue(Vs.GlNumStack, GlValueType::NumberAlt, Extended(3)); // TAB(3)
    EXPECT_EQ(PopValueAsPrintText(), std::nullopt);
    EXPECT_EQ(ValueStackCount, 1);
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

} // namespace
