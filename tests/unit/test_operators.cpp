// The operators on the Gl stack: arithmetic and its faults, integer division, powers, comparisons of
// numbers, strings and booleans, joining, logic, and the errors that name the operator.
#include "core/errornumbers.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/operators.h"
#include "tests/stackargs.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

class Operators : public ::testing::Test {
protected:
    void SetUp() override { ClearStackAndError(); }

    // `op` on the operands pushed: refused with `number` naming the operator, the operands left.
    static void ExpectRefused(int op, int number, int operands) {
        ExecOperator(op);
        EXPECT_EQ(Fe.ErrorNumber, number) << "op " << op;
        EXPECT_EQ(Fe.ErrorNameIndex, op) << "op " << op;
        EXPECT_EQ(ValueStackCount, operands) << "op " << op;
    }

    // A op B on two numbers, expecting success and exactly one number as the result.
    static Extended Num(Extended a, int op, Extended b) {
        ClearStackAndError();
        GlPushNum(a);
        GlPushNum(b);
        ExecOperator(op);
        EXPECT_EQ(Fe.ErrorNumber, 0) << a << " op " << op << " " << b;
        EXPECT_EQ(ValueStackCount, 1);
        EXPECT_EQ(GlTopType(), GlValueType::Number);
        return GlPopNum();
    }

    // A op B on two numbers, expecting the error `number`; the stack is left for the caller to inspect.
    static void NumFails(Extended a, int op, Extended b, int number, int name) {
        ClearStackAndError();
        GlPushNum(a);
        GlPushNum(b);
        ExecOperator(op);
        EXPECT_EQ(Fe.ErrorNumber, number) << a << " op " << op << " " << b;
        EXPECT_EQ(Fe.ErrorNameIndex, name) << a << " op " << op << " " << b;
    }

    // A op B, expecting success and exactly one boolean as the result.
    static bool BoolResult(const Arg& a, int op, const Arg& b) {
        InitGlStack();
        PushArg(a);
        PushArg(b);
        ExecOperator(op);
        EXPECT_EQ(Fe.ErrorNumber, 0);
        EXPECT_EQ(ValueStackCount, 1);
        return GlPopBool();
    }
    static bool StrCompare(const QString& a, int op, const QString& b) { return BoolResult(S(a), op, S(b)); }
    static bool Logic(bool a, int op, bool b) { return BoolResult(Arg(a), op, Arg(b)); }
};

TEST_F(Operators, ArithmeticKeepsTheFullExtendedPrecision) {
    EXPECT_EQ(Num(1, Op::Plus, 2), 3.0L);
    EXPECT_EQ(Num(5, Op::Minus, 7), -2.0L);
    EXPECT_EQ(Num(3, Op::Multiply, -4), -12.0L);
    EXPECT_EQ(Num(1, Op::Divide, 4), 0.25L);
    // 2^-60 is lost in a double sum but not in the 64-bit mantissa.
    const Extended tiny = std::ldexp(1.0L, -60);
    EXPECT_EQ(Num(Num(1, Op::Plus, tiny), Op::Minus, 1), tiny);
    EXPECT_EQ(Num(1, Op::Divide, 3), 1.0L / 3.0L);
}

TEST_F(Operators, OverflowNamesTheOperatorAndPushesNothing) {
    const Extended max = std::numeric_limits<Extended>::max();
    NumFails(max, Op::Plus, max, Err::OperatorResultRange, Op::Plus);
    EXPECT_EQ(ValueStackCount, 0);
    NumFails(-max, Op::Minus, max, Err::OperatorResultRange, Op::Minus);
    NumFails(1e4000L, Op::Multiply, 1e4000L, Err::OperatorResultRange, Op::Multiply);
    NumFails(max, Op::Divide, 0.5L, Err::OperatorResultRange, Op::Divide);
    EXPECT_EQ(ValueStackCount, 0);
    // The fault is not left behind for the next operation.
    EXPECT_EQ(Num(2, Op::Multiply, 3), 6.0L);
}

TEST_F(Operators, UnderflowIsNoError) {
    const Extended min = std::numeric_limits<Extended>::min();
    const Extended result = Num(min, Op::Divide, 1024);
    EXPECT_GT(result, 0.0L); // a denormal
    EXPECT_LT(result, min);
    EXPECT_EQ(Num(min, Op::Multiply, min), 0.0L);
}

TEST_F(Operators, AFaultFlagLeftByEarlierCodeIsNotBlamedOnTheOperator) {
    std::feraiseexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO);
    EXPECT_EQ(Num(1, Op::Plus, 1), 2.0L);
    std::feraiseexcept(FE_INVALID);
    EXPECT_EQ(Num(2, Op::Power, 0.5L), std::sqrt(2.0L));
    std::feraiseexcept(FE_OVERFLOW);
    EXPECT_EQ(Num(3, Op::Power, 3), 27.0L);
}

TEST_F(Operators, DivisionByZeroLeavesTheDividendAndNamesNothing) {
    NumFails(5, Op::Divide, 0, Err::DivisionByZero, NoName);
    ASSERT_EQ(ValueStackCount, 1);
    EXPECT_EQ(GlPopNum(), 5.0L);
    NumFails(0, Op::Divide, -0.0L, Err::DivisionByZero, NoName);
}

TEST_F(Operators, IntegerQuotientAndRemainderTruncateTowardZero) {
    EXPECT_EQ(Num(7, Op::IntDivide, 2), 3.0L);
    EXPECT_EQ(Num(-7, Op::IntDivide, 2), -3.0L);
    EXPECT_EQ(Num(7, Op::Mod, 2), 1.0L);
    EXPECT_EQ(Num(-7, Op::Mod, 2), -1.0L);
    EXPECT_EQ(Num(7, Op::Mod, 3), 1.0L);
    EXPECT_EQ(Num(-7, Op::Mod, 3), -1.0L);
    EXPECT_EQ(Num(0, Op::Mod, 5), 0.0L);
    const Extended lowest = -std::ldexp(1.0L, 63); // the most negative 64-bit integer fits
    EXPECT_EQ(Num(lowest, Op::IntDivide, 1), lowest);
    EXPECT_EQ(Num(lowest, Op::Mod, 3), -2.0L); // 2^63 = 3 * 3074457345618258602 + 2
    // Large whole dividends are divided exactly, not through a rounded float quotient.
    EXPECT_EQ(Num(9007199254740993.0L, Op::IntDivide, 2), 4503599627370496.0L);
}

TEST_F(Operators, IntegerDivisionRefusesWhatIsNotWholeOrInRange) {
    NumFails(7, Op::IntDivide, -2, Err::IntDivDivisor, NoName);
    NumFails(7, Op::IntDivide, 2.5L, Err::IntDivDivisor, NoName);
    NumFails(7.5L, Op::IntDivide, 2, Err::IntDivDividend, NoName);
    NumFails(5, Op::IntDivide, 0, Err::IntDivRange, NoName);
    NumFails(std::ldexp(1.0L, 63), Op::IntDivide, 1, Err::IntDivRange, NoName);
    NumFails(1, Op::IntDivide, 1e30L, Err::IntDivRange, NoName);
    EXPECT_EQ(ValueStackCount, 0); // both operands were taken
    NumFails(7, Op::Mod, -2, Err::IntModDivisor, NoName);
    NumFails(7.5L, Op::Mod, 2, Err::IntModDividend, NoName);
    NumFails(5, Op::Mod, 0, Err::IntModRange, NoName);
    NumFails(-1e19L, Op::Mod, 3, Err::IntModRange, NoName);
}

TEST_F(Operators, PowersOfZeroAndOfNegativeBases) {
    EXPECT_EQ(Num(0, Op::Power, 0), 1.0L);
    EXPECT_EQ(Num(0, Op::Power, -2), 0.0L);
    EXPECT_EQ(Num(0, Op::Power, 0.5L), 0.0L);
    EXPECT_EQ(Num(-2, Op::Power, 3), -8.0L);
    EXPECT_EQ(Num(-2, Op::Power, 2), 4.0L);
    EXPECT_EQ(Num(2, Op::Power, -1), 0.5L);
    EXPECT_EQ(Num(-2, Op::Power, -3), -0.125L);
    NumFails(-8, Op::Power, 1.0L / 3.0L, Err::PowerOfNegative, NoName);
    EXPECT_EQ(ValueStackCount, 0);
}

TEST_F(Operators, WholePowersAreExactAndFast) {
    // 3^40 needs 64 bits: exact only when every step keeps the extended mantissa.
    EXPECT_EQ(Num(3, Op::Power, 40), 12157665459056928801.0L);
    EXPECT_EQ(Num(10, Op::Power, 27), 1e27L);
    // The largest 32-bit exponent takes 31 squarings, not two billion multiplications.
    EXPECT_EQ(Num(1, Op::Power, 2147483647), 1.0L);
    EXPECT_EQ(Num(-1, Op::Power, -2147483647), -1.0L);
    // Exponents beyond 32 bits go to the general power, which keeps the sign of a negative base.
    EXPECT_EQ(Num(-1, Op::Power, 8589934592.0L), 1.0L);
    EXPECT_EQ(Num(-1, Op::Power, 8589934593.0L), -1.0L);
    EXPECT_EQ(Num(0.5L, Op::Power, 1e30L), 0.0L);
}

TEST_F(Operators, PowersBeyondTheRange) {
    NumFails(10, Op::Power, 5000, Err::OperatorResultRange, Op::Power);
    EXPECT_EQ(ValueStackCount, 0);
    NumFails(2, Op::Power, 2147483648.0L, Err::OperatorResultRange, Op::Power);
    NumFails(0.1L, Op::Power, -5000, Err::OperatorResultRange, Op::Power);
    NumFails(10, Op::Power, 4933.5L, Err::OperatorResultRange, Op::Power);
    // Tiny results are 0, not errors.
    EXPECT_EQ(Num(10, Op::Power, -5000), 0.0L);
    // 0.5^16383 is a denormal: inverting it would lose digits, the general power gives 2^16383 exactly.
    EXPECT_EQ(Num(0.5L, Op::Power, -16383), std::ldexp(1.0L, 16383));
    EXPECT_NEAR(static_cast<double>(Num(2, Op::Power, 0.5L)), 1.4142135623730951, 1e-15);
}

TEST_F(Operators, NumbersCompareExactly) {
    const Extended one = 1;
    const Extended next = std::nextafter(one, 2.0L);
    struct Case {
        int op;
        bool same, less, more; // the outcome for 1 op 1, 1 op next, next op 1
    };
    const Case cases[] = {
        {Op::Equal, true, false, false},    {Op::NotEqual, false, true, true},
        {Op::Less, false, true, false},     {Op::Greater, false, false, true},
        {Op::LessEqual, true, true, false}, {Op::GreaterEqual, true, false, true},
    };
    for (const Case& c : cases) {
        for (const auto& [a, b, want] :
             {std::tuple{one, one, c.same}, std::tuple{one, next, c.less}, std::tuple{next, one, c.more}}) {
            InitGlStack();
            GlPushNum(a);
            GlPushNum(b);
            ExecOperator(c.op);
            ASSERT_EQ(Fe.ErrorNumber, 0);
            ASSERT_EQ(ValueStackCount, 1);
            EXPECT_EQ(GlPopBool(), want) << "operator " << c.op;
        }
    }
}

TEST_F(Operators, StringsCompareByCodeUnits) {
    EXPECT_TRUE(StrCompare(QStringLiteral("abc"), Op::Less, QStringLiteral("abd")));
    EXPECT_TRUE(StrCompare(QStringLiteral("ab"), Op::Less, QStringLiteral("abc")));
    EXPECT_FALSE(StrCompare(QStringLiteral("abc"), Op::LessEqual, QStringLiteral("ab")));
    EXPECT_TRUE(StrCompare(QStringLiteral("B"), Op::Less, QStringLiteral("a")));
    EXPECT_TRUE(StrCompare(QString(), Op::Equal, QStringLiteral("")));
    EXPECT_TRUE(StrCompare(QStringLiteral("a"), Op::NotEqual, QStringLiteral("A")));
    EXPECT_TRUE(StrCompare(QStringLiteral("b"), Op::GreaterEqual, QStringLiteral("abc")));
    EXPECT_TRUE(StrCompare(QStringLiteral("xyz"), Op::Greater, QStringLiteral("xy")));
    // A surrogate pair (U+10000 is D800 DC00) sorts below U+FFFF in code-unit order.
    const QString high = QString::fromUtf16(u"\U00010000");
    const QString top = QString::fromUtf16(u"\uFFFF");
    EXPECT_TRUE(StrCompare(high, Op::Less, top));
    // Katakana after hiragana, by their code values.
    EXPECT_TRUE(StrCompare(QString::fromUtf16(u"あ"), Op::Less, QString::fromUtf16(u"ア")));
}

TEST_F(Operators, BooleansCompareOnlyForEquality) {
    for (bool a : {false, true}) {
        for (bool b : {false, true}) {
            EXPECT_EQ(Logic(a, Op::Equal, b), a == b);
            EXPECT_EQ(Logic(a, Op::NotEqual, b), a != b);
        }
    }
    InitGlStack();
    GlPushBool(true);
    GlPushBool(false);
    ExpectRefused(Op::Less, Err::LogicalOperatorType, 2); // the operands stay
}

TEST_F(Operators, MixedTypesAreRefusedWithTheOperandsLeft) {
    GlPushNum(1);
    GlPushStr(QStringLiteral("1"));
    ExpectRefused(Op::Equal, Err::LogicalOperatorType, 2);
    QString s;
    EXPECT_TRUE(GlPopStr(s));
    EXPECT_EQ(GlPopNum(), 1.0L);

    // One operand only is a mismatch too.
    Fe.ErrorNumber = 0;
    GlPushNum(1);
    ExecOperator(Op::Greater);
    EXPECT_EQ(Fe.ErrorNumber, Err::LogicalOperatorType);
    EXPECT_EQ(ValueStackCount, 1);

    // An array reference is no operand.
    ClearStackAndError();
    GlPushNumArray(3);
    GlPushNum(1);
    ExpectRefused(Op::Plus, Err::OperatorType, 2);
}

TEST_F(Operators, ArithmeticOnOtherTypesNamesTheOperator) {
    const int numericOnly[] = {Op::Minus, Op::Multiply, Op::Divide, Op::IntDivide, Op::Mod, Op::Power};
    for (int op : numericOnly) {
        ClearStackAndError();
        GlPushStr(QStringLiteral("6"));
        GlPushStr(QStringLiteral("2"));
        ExpectRefused(op, Err::OperatorType, 2);
    }
    ClearStackAndError();
    GlPushBool(true);
    GlPushBool(true);
    ExpectRefused(Op::Plus, Err::OperatorType, 2);
}

TEST_F(Operators, StringsJoinWithPlusAndAmpersand) {
    GlPushStr(QStringLiteral("a"));
    GlPushStr(QStringLiteral("b"));
    ExecOperator(Op::Plus);
    GlPushStr(QString::fromUtf16(u"漢字"));
    ExecOperator(Op::Ampersand);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    ASSERT_EQ(ValueStackCount, 1);
    QString s;
    ASSERT_TRUE(GlPopStr(s));
    EXPECT_EQ(s, QString::fromUtf16(u"ab漢字"));

    GlPushStr(QStringLiteral("a"));
    GlPushNum(1);
    ExpectRefused(Op::Ampersand, Err::OperatorType, 2);

    // "&" takes strings only, even where "+" would add.
    ClearStackAndError();
    GlPushNum(1);
    GlPushNum(2);
    ExecOperator(Op::Ampersand);
    EXPECT_EQ(Fe.ErrorNumber, Err::OperatorType);
}

TEST_F(Operators, LogicalOperatorsFollowTheirTruthTables) {
    for (bool a : {false, true}) {
        for (bool b : {false, true}) {
            EXPECT_EQ(Logic(a, Op::And, b), a && b);
            EXPECT_EQ(Logic(a, Op::Or, b), a || b);
            EXPECT_EQ(Logic(a, Op::Xor, b), a != b);
            EXPECT_EQ(Logic(a, Op::Imp, b), !(a && !b)) << a << " IMP " << b;
            EXPECT_EQ(Logic(a, Op::Eqv, b), a == b);
        }
    }
    InitGlStack();
    GlPushBool(false);
    ExecOperator(Op::Not);
    EXPECT_TRUE(GlPopBool());
    GlPushBool(true);
    ExecOperator(Op::Not);
    EXPECT_FALSE(GlPopBool());
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

TEST_F(Operators, LogicOnNumbersIsRefused) {
    GlPushNum(1);
    ExpectRefused(Op::Not, Err::LogicalOperatorType, 1);

    ClearStackAndError();
    GlPushBool(true);
    GlPushNum(1);
    ExpectRefused(Op::And, Err::LogicalOperatorType, 2);
}

TEST_F(Operators, SignChange) {
    GlPushNum(2.5L);
    ExecOperator(Op::ChgSgn);
    EXPECT_EQ(GlPopNum(), -2.5L);
    const Extended max = std::numeric_limits<Extended>::max();
    GlPushNum(-max);
    ExecOperator(Op::ChgSgn);
    EXPECT_EQ(GlPopNum(), max);
    EXPECT_EQ(Fe.ErrorNumber, 0);

    GlPushStr(QStringLiteral("x"));
    ExpectRefused(Op::ChgSgn, Err::OperatorType, 1);
}

TEST_F(Operators, SlotsWithoutARoutineDoNothing) {
    GlPushNum(1);
    GlPushNum(2);
    for (int slot : {0, Op::NotEqualAlt, Op::LessEqualAlt, Op::GreaterEqualAlt, Op::Comma, Op::Colon,
                     Op::LineEnd, Op::OpenBracket, OperatorCount + 1}) {
        ExecOperator(slot);
        EXPECT_EQ(Fe.ErrorNumber, 0) << slot;
        EXPECT_EQ(ValueStackCount, 2) << slot;
    }
    EXPECT_EQ(GlPopNum(), 2.0L);
}

} // namespace
