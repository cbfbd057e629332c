// The numeric built-in functions and the random generator: results, the degree switch, range and
// type errors with the function they name, and the stack left after an error.
#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/dispatch.h"
#include "engine/enginestate.h"
#include "engine/numfunctions.h"
#include "tests/stackargs.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

constexpr int RndOf = FunctionFormStep + Fn::RND;
constexpr int RoundTo = FunctionFormStep + Fn::ROUND;

class NumFunctions : public ::testing::Test {
protected:
    void SetUp() override {
        ClearStackAndError();
        Ps.RadianMode = 1;
    }
    void TearDown() override { Ps.RadianMode = 1; }

    // f(args...) expecting success and exactly one number as the result.
    static Extended Call(int code, std::initializer_list<Extended> args = {}) {
        InitGlStack();
        Fe.ErrorNumber = 0;
        for (Extended a : args)
            GlPushNum(a);
        ExecuteFunction(code);
        EXPECT_EQ(Fe.ErrorNumber, 0) << "function " << code;
        EXPECT_EQ(ValueStackCount, 1) << "function " << code;
        return GlPopNum();
    }

    // f(args...) expecting the error `number` naming `name`, and nothing pushed.
    static void Fails(int code, std::initializer_list<Extended> args, int number, int name) {
        ClearStackAndError();
        for (Extended a : args)
            GlPushNum(a);
        ExecuteFunction(code);
        EXPECT_EQ(Fe.ErrorNumber, number) << "function " << code;
        EXPECT_EQ(Fe.ErrorNameIndex, name) << "function " << code;
        EXPECT_EQ(ValueStackCount, 0) << "function " << code;
    }
};

TEST_F(NumFunctions, RoundingFamily) {
    EXPECT_EQ(Call(Fn::INT, {-2.5L}), -3.0L);
    EXPECT_EQ(Call(Fn::INT, {2.7L}), 2.0L);
    EXPECT_EQ(Call(Fn::INT, {-2}), -2.0L);
    EXPECT_EQ(Call(Fn::FIX, {-2.5L}), -2.0L);
    EXPECT_EQ(Call(Fn::FIX, {2.9L}), 2.0L);
    EXPECT_EQ(Call(Fn::CEIL, {-2.5L}), -2.0L);
    EXPECT_EQ(Call(Fn::CEIL, {2.0L}), 2.0L);
    EXPECT_EQ(Call(Fn::CEIL, {2.1L}), 3.0L);
    // Whole numbers beyond 64 bits stay as they are.
    EXPECT_EQ(Call(Fn::INT, {-1e30L}), -1e30L);
    EXPECT_EQ(Call(Fn::SGN, {-0.001L}), -1.0L);
    EXPECT_EQ(Call(Fn::SGN, {0}), 0.0L);
    EXPECT_EQ(Call(Fn::SGN, {1e-4000L}), 1.0L);
    EXPECT_EQ(Call(Fn::ABS, {-3.5L}), 3.5L);
    EXPECT_EQ(Call(Fn::MAX, {2, 3}), 3.0L);
    EXPECT_EQ(Call(Fn::MAX, {-2, -3}), -2.0L);
    EXPECT_EQ(Call(Fn::MIN, {2, 3}), 2.0L);
    EXPECT_EQ(Call(Fn::MIN, {-2, -3}), -3.0L);
    EXPECT_EQ(Call(InFn::Direct, {4}), -4.0L);
}

TEST_F(NumFunctions, RoundTakesHalvesAwayFromZero) {
    EXPECT_EQ(Call(Fn::ROUND, {2.5L}), 3.0L);
    EXPECT_EQ(Call(Fn::ROUND, {-2.5L}), -3.0L);
    EXPECT_EQ(Call(Fn::ROUND, {3.5L}), 4.0L);
    EXPECT_EQ(Call(Fn::ROUND, {2.4999L}), 2.0L);
    // The largest number below one half must not be carried up by an added 0.5.
    EXPECT_EQ(Call(Fn::ROUND, {std::nextafter(0.5L, 0.0L)}), 0.0L);
    EXPECT_EQ(Call(RoundTo, {1.2345L, 2}), 1.23L);
    EXPECT_EQ(Call(RoundTo, {-1.0625L, 3}), -1.063L);
    EXPECT_NEAR(static_cast<double>(Call(RoundTo, {1234.5L, -2})), 1200.0, 1e-12);
    EXPECT_EQ(Call(RoundTo, {2.5L, 0}), 3.0L);
}

TEST_F(NumFunctions, RoundOutsideTheIntegerRange) {
    Fails(Fn::ROUND, {std::ldexp(1.0L, 63)}, Err::FunctionResultRange, Fn::ROUND);
    Fails(Fn::ROUND, {-1e30L}, Err::FunctionResultRange, Fn::ROUND);
    Fails(RoundTo, {1, 19}, Err::FunctionResultRange, Fn::ROUND);
    Fails(RoundTo, {1, 5000}, Err::FunctionResultRange, Fn::ROUND);
    // A scale that underflows to 0 leaves 0 / 0.
    Fails(RoundTo, {1, -5000}, Err::FunctionResultRange, Fn::ROUND);
    EXPECT_EQ(Call(Fn::ROUND, {-std::ldexp(1.0L, 63)}), -std::ldexp(1.0L, 63));
}

TEST_F(NumFunctions, PowersAndLogarithms) {
    EXPECT_EQ(Call(Fn::SQR, {16}), 4.0L);
    EXPECT_EQ(Call(Fn::SQR, {0}), 0.0L);
    Fails(Fn::SQR, {-1}, Err::SqrNegative, NoName);
    EXPECT_EQ(Call(Fn::EXP, {0}), 1.0L);
    EXPECT_NEAR(static_cast<double>(Call(Fn::EXP, {1})), 2.718281828459045, 1e-15);
    EXPECT_EQ(Call(Fn::EXP, {-1e5L}), 0.0L); // underflow is no error
    Fails(Fn::EXP, {1e5L}, Err::FunctionResultRange, Fn::EXP);
    EXPECT_NEAR(static_cast<double>(Call(Fn::LOG10, {1000})), 3.0, 1e-15);
    EXPECT_EQ(Call(Fn::LOG2, {8}), 3.0L);
    EXPECT_NEAR(static_cast<double>(Call(Fn::LOG, {10})), 2.302585092994046, 1e-15);
    Fails(Fn::LOG, {0}, Err::LogArgument, NoName);
    Fails(Fn::LOG, {-1}, Err::LogArgument, NoName);
    Fails(Fn::LOG10, {0}, Err::LogArgument, NoName);
    Fails(Fn::LOG2, {-8}, Err::LogArgument, NoName);
}

TEST_F(NumFunctions, AStaleFaultFlagIsNotBlamedOnTheFunction) {
    std::feraiseexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO);
    EXPECT_EQ(Call(Fn::LOG2, {4}), 2.0L);
    std::feraiseexcept(FE_DIVBYZERO);
    EXPECT_EQ(Call(Fn::FACT, {4}), 24.0L);
    std::feraiseexcept(FE_OVERFLOW);
    EXPECT_EQ(Call(Fn::BINOM, {4, 2}), 6.0L);
}

TEST_F(NumFunctions, TrigonometryInRadians) {
    const Extended pi = Call(Fn::PI);
    EXPECT_NEAR(static_cast<double>(Call(Fn::SIN, {pi / 6})), 0.5, 1e-18);
    EXPECT_NEAR(static_cast<double>(Call(Fn::COS, {pi / 3})), 0.5, 1e-18);
    EXPECT_NEAR(static_cast<double>(Call(Fn::TAN, {pi / 4})), 1.0, 1e-18);
    EXPECT_NEAR(static_cast<double>(Call(Fn::COT, {pi / 4})), 1.0, 1e-18);
    EXPECT_NEAR(static_cast<double>(Call(Fn::CSC, {pi / 6})), 2.0, 1e-17);
    EXPECT_NEAR(static_cast<double>(Call(Fn::SEC, {pi / 3})), 2.0, 1e-17);
    EXPECT_NEAR(static_cast<double>(Call(Fn::ATN, {1})), static_cast<double>(pi / 4), 1e-18);
    EXPECT_EQ(Call(Fn::ASIN, {1}), pi / 2);
    EXPECT_EQ(Call(Fn::ACOS, {-1}), pi);
    EXPECT_EQ(Call(Fn::COSH, {0}), 1.0L);
    EXPECT_EQ(Call(Fn::SINH, {0}), 0.0L);
    EXPECT_EQ(Call(Fn::TANH, {1e5L}), 1.0L);
}

TEST_F(NumFunctions, TheDegreeSwitchConvertsAnglesOnly) {
    Ps.RadianMode = 0;
    EXPECT_NEAR(static_cast<double>(Call(Fn::SIN, {30})), 0.5, 1e-15);
    EXPECT_NEAR(static_cast<double>(Call(Fn::COS, {60})), 0.5, 1e-15);
    EXPECT_NEAR(static_cast<double>(Call(Fn::TAN, {45})), 1.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(Call(Fn::ATN, {1})), 45.0, 1e-14);
    EXPECT_NEAR(static_cast<double>(Call(Fn::ASIN, {0.5L})), 30.0, 1e-14);
    EXPECT_NEAR(static_cast<double>(Call(Fn::ACOS, {0})), 90.0, 1e-14);
    // The hyperbolic functions take no angle.
    EXPECT_EQ(Call(Fn::SINH, {0}), 0.0L);
    EXPECT_NEAR(static_cast<double>(Call(Fn::COSH, {1})), 1.5430806348152437, 1e-15);
    // DEG and RAD ignore the switch.
    const Extended degDegrees = Call(Fn::DEG, {1});
    const Extended radDegrees = Call(Fn::RAD, {180});
    Ps.RadianMode = 1;
    EXPECT_EQ(Call(Fn::DEG, {1}), degDegrees);
    EXPECT_EQ(Call(Fn::RAD, {180}), radDegrees);
    EXPECT_NEAR(static_cast<double>(degDegrees), 57.29577951308232, 1e-13);
    EXPECT_NEAR(static_cast<double>(radDegrees), 3.141592653589793, 1e-15);
}

TEST_F(NumFunctions, TrigonometryErrorsNameTheFunction) {
    Fails(Fn::ASIN, {1.5L}, Err::FunctionArgRange, Fn::ASIN);
    Fails(Fn::ACOS, {-1.0001L}, Err::FunctionArgRange, Fn::ACOS);
    Fails(Fn::COT, {0}, Err::FunctionResultRange, Fn::COT);
    Fails(Fn::CSC, {0}, Err::FunctionResultRange, Fn::CSC);
    Fails(Fn::COSH, {1e5L}, Err::FunctionResultRange, Fn::COSH);
    Fails(Fn::SINH, {-1e5L}, Err::FunctionResultRange, Fn::SINH);
    Fails(Fn::DEG, {std::numeric_limits<Extended>::max()}, Err::FunctionFailed, Fn::DEG);
    Ps.RadianMode = 0;
    Fails(Fn::COT, {0}, Err::FunctionResultRange, Fn::COT);
}

TEST_F(NumFunctions, PiIsTheNearestExtendedValue) {
    const Extended pi = Call(Fn::PI);
    EXPECT_EQ(pi, 3.14159265358979323846264338327950288L);
    EXPECT_NE(pi, static_cast<Extended>(3.141592653589793)); // not the double's value
}

TEST_F(NumFunctions, GreatestCommonDivisorAndLeastCommonMultiple) {
    EXPECT_EQ(Call(Fn::GCD, {12, -18}), 6.0L);
    EXPECT_EQ(Call(Fn::GCD, {0, 0}), 0.0L);
    EXPECT_EQ(Call(Fn::GCD, {7, 0}), 7.0L);
    EXPECT_EQ(Call(Fn::GCD, {0, 7}), 7.0L);
    EXPECT_EQ(Call(Fn::GCD, {12.9L, 18.2L}), 6.0L); // whole parts
    EXPECT_EQ(Call(Fn::LCM, {4, 6}), 12.0L);
    EXPECT_EQ(Call(Fn::LCM, {-4, 6}), 12.0L);
    EXPECT_EQ(Call(Fn::LCM, {5, 0}), 0.0L);
    // 2^40 * (2^40 + 1) wraps in 64 bits; the result must not.
    const Extended p = std::ldexp(1.0L, 40);
    EXPECT_EQ(Call(Fn::LCM, {p, p + 1}), p * (p + 1));
    Fails(Fn::LCM, {0, 0}, Err::FunctionArgRange, Fn::LCM);
    Fails(Fn::GCD, {1e19L, 2}, Err::FunctionArgRange, Fn::GCD);
    Fails(Fn::LCM, {2, -1e19L}, Err::FunctionArgRange, Fn::LCM);
}

TEST_F(NumFunctions, SmallestPrimeFactor) {
    EXPECT_EQ(Call(Fn::PFACTOR, {91}), 7.0L);
    EXPECT_EQ(Call(Fn::PFACTOR, {97}), 97.0L);
    EXPECT_EQ(Call(Fn::PRIMEFACTOR, {-91}), 7.0L);
    EXPECT_EQ(Call(Fn::PFACTOR, {1}), 1.0L);
    EXPECT_EQ(Call(Fn::PFACTOR, {2}), 2.0L);
    EXPECT_EQ(Call(Fn::PFACTOR, {1e18L}), 2.0L);
    EXPECT_EQ(Call(Fn::PFACTOR, {25}), 5.0L);
    EXPECT_EQ(Call(Fn::PFACTOR, {49}), 7.0L);                         // k + 2 squared
    EXPECT_EQ(Call(Fn::PFACTOR, {1000006000009.0L}), 1000003.0L);     // 1000003^2
    EXPECT_EQ(Call(Fn::PFACTOR, {999999999989.0L}), 999999999989.0L); // a prime
    Fails(Fn::PFACTOR, {0}, Err::FunctionArgRange, Fn::PRIMEFACTOR);
    Fails(Fn::PFACTOR, {0.5L}, Err::FunctionArgRange, Fn::PRIMEFACTOR);
    Fails(Fn::PFACTOR, {1.5e18L}, Err::FunctionArgRange, Fn::PRIMEFACTOR);
    Fails(Fn::PRIMEFACTOR, {-1e30L}, Err::FunctionArgRange, Fn::PRIMEFACTOR);
}

TEST_F(NumFunctions, FactorialAndBinomial) {
    EXPECT_EQ(Call(Fn::FACT, {5}), 120.0L);
    EXPECT_EQ(Call(Fn::FACTORIAL, {-5}), 120.0L);
    EXPECT_EQ(Call(Fn::FACT, {0}), 1.0L);
    EXPECT_EQ(Call(Fn::FACT, {5.9L}), 120.0L);
    EXPECT_EQ(Call(Fn::FACT, {20}), 2432902008176640000.0L);
    EXPECT_TRUE(std::isfinite(Call(Fn::FACT, {1754})));
    Fails(Fn::FACT, {1755}, Err::FunctionArgRange, Fn::FACTORIAL);
    Fails(Fn::FACTORIAL, {1e30L}, Err::FunctionArgRange, Fn::FACTORIAL); // ends at the overflow

    EXPECT_EQ(Call(Fn::BINOM, {5, 7}), 0.0L);
    EXPECT_EQ(Call(Fn::BINOM, {5, 2}), 10.0L);
    EXPECT_EQ(Call(Fn::BINOMIAL, {52, -5}), 2598960.0L);
    EXPECT_EQ(Call(Fn::BINOM, {10, 10}), 1.0L);
    EXPECT_EQ(Call(Fn::BINOM, {10, 0}), 1.0L);
    Fails(Fn::BINOM, {-1, 1}, Err::FunctionArgRange, Fn::BINOMIAL);
    Fails(Fn::BINOM, {1e18L, 5e17L}, Err::FunctionArgRange, Fn::BINOMIAL); // ends at the overflow
}

TEST_F(NumFunctions, WrongArgumentTypesStayOnTheStack) {
    GlPushStr(QStringLiteral("x"));
    ExecuteFunction(Fn::ABS);
    EXPECT_EQ(Fe.ErrorNumber, Err::FunctionArgType);
    EXPECT_EQ(Fe.ErrorNameIndex, Fn::ABS);
    EXPECT_EQ(ValueStackCount, 1);

    struct Case {
        int code;
        int name;
        bool secondIsWrong; // the first argument has the wrong type, the last one is a number
    };
    const Case cases[] = {
        {Fn::BINOM, Fn::BINOMIAL, true}, {Fn::GCD, Fn::GCD, false},  {Fn::RANDG, Fn::RANDG, true},
        {Fn::MAX, Fn::MAX, false},       {RoundTo, Fn::ROUND, true}, {Fn::LCM, Fn::LCM, true},
    };
    for (const Case& c : cases) {
        InitGlStack();
        Fe.ErrorNumber = 0;
        if (c.secondIsWrong) {
            GlPushBool(true);
            GlPushNum(1);
        } else {
            GlPushNum(1);
            GlPushStr(QStringLiteral("1"));
        }
        ExecuteFunction(c.code);
        EXPECT_EQ(Fe.ErrorNumber, Err::FunctionArgType) << c.code;
        EXPECT_EQ(Fe.ErrorNameIndex, c.name) << c.code;
        EXPECT_EQ(ValueStackCount, 2) << c.code;
    }

    const int oneArgument[][2] = {{Fn::FACT, Fn::FACTORIAL}, {Fn::PFACTOR, Fn::PRIMEFACTOR},
                                  {RndOf, Fn::RND},          {Fn::SIN, Fn::SIN},
                                  {Fn::LOG10, Fn::LOG10},    {InFn::Direct, InFn::Direct}};
    for (const auto& [code, name] : oneArgument) {
        InitGlStack();
        Fe.ErrorNumber = 0;
        GlPushBool(false);
        ExecuteFunction(code);
        EXPECT_EQ(Fe.ErrorNumber, Err::FunctionArgType) << code;
        EXPECT_EQ(Fe.ErrorNameIndex, name) << code;
        EXPECT_EQ(ValueStackCount, 1) << code;
    }

    // Too few arguments count as a mismatch.
    InitGlStack();
    Fe.ErrorNumber = 0;
    GlPushNum(1);
    ExecuteFunction(Fn::MIN);
    EXPECT_EQ(Fe.ErrorNumber, Err::FunctionArgType);
    EXPECT_EQ(ValueStackCount, 1);
}

// The generator's values computed here straight from its definition.
std::vector<Extended> ExpectedDraws(std::uint64_t seed, int count) {
    std::vector<Extended> values;
    for (int i = 0; i < count; ++i) {
        seed = (seed * 134775813ull + 1ull) % 4294967296ull;
        values.push_back(static_cast<Extended>(seed) / 4294967296.0L);
    }
    return values;
}

TEST_F(NumFunctions, RandomSequenceFromTheStartSeed) {
    const std::vector<Extended> want = ExpectedDraws(12345678, 5);
    SeedRandom();
    EXPECT_EQ(Eng.LastRandom, want[0]);
    // RND(0) before any RND repeats the number drawn at the start.
    EXPECT_EQ(Call(RndOf, {0}), want[0]);
    EXPECT_EQ(Call(Fn::RND), want[1]);
    EXPECT_EQ(Call(Fn::RND), want[2]);
    EXPECT_EQ(Call(RndOf, {0.9L}), want[2]); // truncated to 0
    EXPECT_EQ(Call(RndOf, {7}), want[3]);
    EXPECT_EQ(Call(RndOf, {-0.5L}), want[3]); // truncated to 0
    EXPECT_EQ(Call(Fn::RND), want[4]);
    // A second run starts the same sequence again.
    SeedRandom();
    EXPECT_EQ(Call(Fn::RND), want[1]);
    for (Extended v : want) {
        EXPECT_GE(v, 0.0L);
        EXPECT_LT(v, 1.0L);
    }
}

TEST_F(NumFunctions, NegativeRndArgumentsGiveFixedNumbers) {
    SeedRandom();
    const Extended three = Call(RndOf, {-3});
    EXPECT_EQ(three, 442450941.0L / 1147483648.0L); // 3 * 147483647 is below the modulus
    EXPECT_EQ(Call(RndOf, {-3.7L}), three);
    EXPECT_EQ(Call(RndOf, {0}), three);                      // it becomes the last number
    EXPECT_EQ(Call(Fn::RND), ExpectedDraws(12345678, 2)[1]); // the generator was not touched
    // 2^62 * 147483647 wraps to -2^62; the remainder keeps that sign and its absolute value is used.
    const std::int64_t wrapped = -(std::int64_t{1} << 62);
    EXPECT_EQ(Call(RndOf, {-std::ldexp(1.0L, 62)}),
              static_cast<Extended>(std::llabs(wrapped % 1147483647)) / 1147483648.0L);
    Fails(RndOf, {-1e30L}, Err::FunctionArgRange, Fn::RND);
}

TEST_F(NumFunctions, NormalRandomNumbers) {
    SeedRandom();
    std::vector<Extended> first;
    for (int i = 0; i < 5; ++i)
        first.push_back(Call(Fn::RANDG, {10, 2}));
    SeedRandom();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Call(Fn::RANDG, {10, 2}), first[static_cast<std::size_t>(i)]);

    constexpr int count = 20000;
    long double sum = 0;
    long double squares = 0;
    for (int i = 0; i < count; ++i) {
        const Extended v = Call(Fn::RANDG, {10, 2});
        sum += v;
        squares += v * v;
    }
    const long double mean = sum / count;
    const long double deviation = std::sqrt(squares / count - mean * mean);
    EXPECT_NEAR(static_cast<double>(mean), 10.0, 0.1);
    EXPECT_NEAR(static_cast<double>(deviation), 2.0, 0.1);
    EXPECT_EQ(Call(Fn::RANDG, {3, 0}), 3.0L);
}

TEST_F(NumFunctions, EveryNumericCodeRefusesAStringOrPushesANumber) {
    // With a string as the only argument every numeric function either refuses it or (PI, RND) pushes
    // a number.
    for (const int code : {Fn::ABS,       Fn::ACOS,
                           Fn::ASIN,      Fn::ATN,
                           Fn::BINOM,     Fn::BINOMIAL,
                           Fn::CEIL,      Fn::COS,
                           Fn::SIN,       Fn::COSH,
                           Fn::SINH,      Fn::TANH,
                           Fn::COT,       Fn::CSC,
                           Fn::SEC,       Fn::TAN,
                           Fn::DEG,       Fn::RAD,
                           Fn::EXP,       Fn::FACT,
                           Fn::FACTORIAL, Fn::FIX,
                           Fn::GCD,       Fn::INT,
                           Fn::LCM,       Fn::LOG,
                           Fn::LOG10,     Fn::LOG2,
                           Fn::MAX,       Fn::MIN,
                           Fn::PFACTOR,   Fn::PRIMEFACTOR,
                           Fn::PI,        Fn::RANDG,
                           Fn::RND,       Fn::RND + FunctionFormStep,
                           Fn::ROUND,     Fn::ROUND + FunctionFormStep,
                           Fn::SGN,       Fn::SQR,
                           InFn::Direct}) {
        InitGlStack();
        Fe.ErrorNumber = 0;
        GlPushStr(QStringLiteral("x"));
        ExecuteFunction(code);
        EXPECT_TRUE(Fe.ErrorNumber == Err::FunctionArgType || (Fe.ErrorNumber == 0 && ValueStackCount == 2))
            << code;
    }
}

} // namespace
