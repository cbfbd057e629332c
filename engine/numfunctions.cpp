// The numeric built-in functions, each checking its arguments' types and the floating-point faults of
// its result, and the random generator of RND and RANDG.
#include "engine/numfunctions.h"

#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/raiseerror.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/enginestate.h"
#include "engine/numconvert.h"
#include "engine/numericops.h"
#include "engine/operators.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int RndWithArgument = FunctionFormStep + Fn::RND; // RND(x)
constexpr int RoundToDigits = FunctionFormStep + Fn::ROUND; // ROUND(x, n)

constexpr std::uint32_t RandomMultiplier = 134775813;
constexpr Extended RandomScale = 4294967296.0L; // 2^32

// RND with a negative argument: a number made from the argument alone, the generator untouched.
constexpr std::uint64_t FixedRandomMultiplier = 147483647;
constexpr std::int64_t FixedRandomModulus = 1147483647;
constexpr Extended FixedRandomScale = 1147483648.0L;

// The degree switch and DEG / RAD multiply by these values as written (not by 180/pi computed).
constexpr Extended DegreesPerRadian = 57.29577951308232L;
constexpr Extended RadiansPerDegree = 0.017453292519943295L;

// PFACTOR refuses larger arguments: the trial division must end in a few seconds.
constexpr Extended PrimeFactorLimit = 1e18L;

// The top `count` entries must be numbers; otherwise 50011 names the function and nothing is popped.
bool ArgumentsAreNumbers(int count, int id) {
    const bool ok =
        GlTopType() == GlValueType::Number && (count < 2 || GlSecondType() == GlValueType::Number);
    if (!ok) RaiseError(Err::FunctionArgType, id);
    return ok;
}

Extended AngleIn(Extended x) {
    return Ps.RadianMode ? x : x * RadiansPerDegree;
}
Extended AngleOut(Extended x) {
    return Ps.RadianMode ? x : x * DegreesPerRadian;
}

// Pushes `result`, or sets `number` naming the function when the computation raised a trapped fault.
template <typename Op, typename... Args> void PushChecked(int number, int id, Op op, Args... args) {
    Extended result = 0;
    if (!FpChecked(result, op, args...)) {
        RaiseError(number, id);
        return;
    }
    GlPushNum(result);
}

} // namespace

// ABS, SGN, FIX, INT, CEIL, PI and the sign change: exact results that cannot raise a fault.
void FnExact(int code) {
    if (code == Fn::PI) {
        GlPushNum(std::numbers::pi_v<Extended>);
        return;
    }
    if (!ArgumentsAreNumbers(1, code)) return;
    const Extended x = GlPopNum();
    Extended result = 0;
    if (!Numeric::ExactFunction(code, x, result)) result = std::ceil(x); // Fn::CEIL
    GlPushNum(result);
}

// ROUND(x) and ROUND(x, n): halves away from zero, the whole result within the 64-bit integers.
void FnRound(int code) {
    const bool toDigits = code == RoundToDigits;
    if (!ArgumentsAreNumbers(toDigits ? 2 : 1, Fn::ROUND)) return;
    const Extended digits = toDigits ? GlPopNum() : 0;
    const Extended x = GlPopNum();
    Extended scale = 1;
    Extended scaled = x;
    if (toDigits && !(FpChecked(
                          scale, [](Extended n) { return std::pow(10.0L, n); }, digits) &&
                      FpChecked(
                          scaled, [](Extended p, Extended v) { return p * v; }, scale, x))) {
        RaiseError(Err::FunctionResultRange, Fn::ROUND);
        return;
    }
    // std::round rounds halves away from zero without the x + 0.5 step, which would carry the largest
    // number below one half up to 1.
    std::int64_t whole = 0;
    if (!TruncToInt64(std::round(scaled), whole)) {
        RaiseError(Err::FunctionResultRange, Fn::ROUND);
        return;
    }
    if (!toDigits) {
        GlPushNum(static_cast<Extended>(whole));
        return;
    }
    // A scale that underflowed to 0 makes this 0 / 0, a trapped fault like the others.
    PushChecked(
        Err::FunctionResultRange, Fn::ROUND, [](Extended r, Extended p) { return r / p; },
        static_cast<Extended>(whole), scale);
}

// MAX(a, b), MIN(a, b)
void FnMaxMin(int code) {
    if (!ArgumentsAreNumbers(2, code)) return;
    const Extended b = GlPopNum();
    const Extended a = GlPopNum();
    GlPushNum(code == Fn::MAX ? (a > b ? a : b) : (a < b ? a : b));
}

// SQR(x), EXP(x), LOG(x), LOG10(x), LOG2(x)
void FnPowerAndLog(int code) {
    if (!ArgumentsAreNumbers(1, code)) return;
    const Extended x = GlPopNum();
    switch (code) {
    case Fn::SQR:
        if (x < 0) {
            RaiseError(Err::SqrNegative);
            return;
        }
        GlPushNum(std::sqrt(x));
        return;
    case Fn::EXP:
        PushChecked(
            Err::FunctionResultRange, code, [](Extended v) { return std::exp(v); }, x);
        return;
    default: break;
    }
    // The logarithm of 0 is a division by zero and of a negative number invalid; both are 1018,
    // which names no function.
    Extended result = 0;
    bool ok = false;
    if (code == Fn::LOG)
        ok = FpChecked(
            result, [](Extended v) { return std::log(v); }, x);
    else if (code == Fn::LOG10)
        ok = FpChecked(
            result, [](Extended v) { return std::log10(v); }, x);
    else
        ok = FpChecked(
            result, [](Extended v) { return std::log2(v); }, x);
    if (!ok) {
        RaiseError(Err::LogArgument);
        return;
    }
    GlPushNum(result);
}

// SIN, COS, TAN, COT, CSC, SEC of an angle; ATN, ASIN, ACOS giving one; COSH, SINH, TANH; DEG, RAD.
void FnTrigonometry(int code) {
    if (!ArgumentsAreNumbers(1, code)) return;
    const Extended x = GlPopNum();
    switch (code) {
    case Fn::SIN: GlPushNum(std::sin(AngleIn(x))); return;
    case Fn::COS: GlPushNum(std::cos(AngleIn(x))); return;
    case Fn::ATN: GlPushNum(AngleOut(std::atan(x))); return;
    case Fn::ASIN:
    case Fn::ACOS:
        if (std::fabs(x) > 1) {
            RaiseError(Err::FunctionArgRange, code);
            return;
        }
        GlPushNum(AngleOut(code == Fn::ASIN ? std::asin(x) : std::acos(x)));
        return;
    case Fn::DEG:
        PushChecked(
            Err::FunctionFailed, code, [](Extended v) { return v * DegreesPerRadian; }, x);
        return;
    case Fn::RAD:
        PushChecked(
            Err::FunctionFailed, code, [](Extended v) { return v * RadiansPerDegree; }, x);
        return;
    default: break;
    }
    // At a pole the division by zero is the fault reported.
    Extended (*f)(Extended) = nullptr;
    switch (code) {
    case Fn::TAN: f = [](Extended a) { return std::tan(a); }; break;
    case Fn::COT: f = [](Extended a) { return 1 / std::tan(a); }; break;
    case Fn::CSC: f = [](Extended a) { return 1 / std::sin(a); }; break;
    case Fn::SEC: f = [](Extended a) { return 1 / std::cos(a); }; break;
    case Fn::COSH: f = [](Extended v) { return std::cosh(v); }; break;
    case Fn::SINH: f = [](Extended v) { return std::sinh(v); }; break;
    default: f = [](Extended v) { return std::tanh(v); }; break; // TANH
    }
    // The hyperbolic functions take no angle.
    const bool takesAngle = code == Fn::TAN || code == Fn::COT || code == Fn::CSC || code == Fn::SEC;
    PushChecked(Err::FunctionResultRange, code, f, takesAngle ? AngleIn(x) : x);
}

namespace {

// The whole absolute value of an argument of GCD, LCM; false (50012 naming the function) beyond the
// 64-bit integers.
bool WholeMagnitude(Extended x, int id, std::int64_t& out) {
    if (TruncToInt64(std::fabs(x), out)) return true;
    RaiseError(Err::FunctionArgRange, id);
    return false;
}

std::int64_t Gcd(std::int64_t a, std::int64_t b) {
    while (b > 0) {
        const std::int64_t rest = a % b;
        a = b;
        b = rest;
    }
    return a;
}

} // namespace

// GCD(a, b), LCM(a, b)
void FnGcdLcm(int code) {
    if (!ArgumentsAreNumbers(2, code)) return;
    const Extended y = GlPopNum();
    const Extended x = GlPopNum();
    std::int64_t a = 0;
    std::int64_t b = 0;
    if (!WholeMagnitude(x, code, a) || !WholeMagnitude(y, code, b)) return;
    const std::int64_t divisor = Gcd(a, b);
    if (code == Fn::GCD) {
        GlPushNum(static_cast<Extended>(divisor));
        return;
    }
    if (divisor == 0) {
        // LCM(0, 0) divides 0 by 0.
        RaiseError(Err::FunctionArgRange, code);
        return;
    }
    // Divided before multiplying: the 64-bit product a * b could wrap. The extended product of two
    // numbers below 2^63 is exact up to 2^64 and never overflows.
    GlPushNum(static_cast<Extended>(a / divisor) * static_cast<Extended>(b));
}

// PFACTOR(n), PRIMEFACTOR(n): the smallest prime factor of the whole part of abs(n).
void FnPrimeFactor() {
    constexpr int id = Fn::PRIMEFACTOR;
    if (!ArgumentsAreNumbers(1, id)) return;
    const Extended x = GlPopNum();
    std::int64_t m = 0;
    // A whole part of 0 (0 < abs(n) < 1 as well as n = 0) has no smallest prime factor.
    if (x > PrimeFactorLimit || !TruncToInt64(std::fabs(x), m) || m == 0) {
        RaiseError(Err::FunctionArgRange, id);
        return;
    }
    std::int64_t factor = m;
    if (m % 2 == 0) {
        factor = 2;
    } else if (m % 3 == 0) {
        factor = 3;
    } else {
        // Trial divisors 6j - 1 and 6j + 1; k <= m / k is k * k <= m without the overflow.
        for (std::int64_t k = 5; k <= m / k; k += 6) {
            if (m % k == 0) {
                factor = k;
                break;
            }
            if (m % (k + 2) == 0) {
                factor = k + 2;
                break;
            }
        }
    }
    GlPushNum(static_cast<Extended>(factor));
}

namespace {

// Pushes the result of a product begun after FpClearFaults, or raises 50012 naming the function when
// a step of it overflowed.
void PushUnlessOverflowed(Extended result, int id) {
    FpFence(result);
    if (FpFaultRaised()) {
        std::feclearexcept(TrappedFpFaults);
        RaiseError(Err::FunctionArgRange, id);
        return;
    }
    GlPushNum(result);
}

} // namespace

// FACT(n), FACTORIAL(n): the factorial of the whole part of abs(n).
void FnFactorial() {
    constexpr int id = Fn::FACTORIAL;
    if (!ArgumentsAreNumbers(1, id)) return;
    const Extended m = std::trunc(std::fabs(GlPopNum()));
    FpClearFaults();
    Extended result = 1;
    // Stops at the first overflow (from 1755 on) instead of running on to m.
    for (Extended i = 2; i <= m && std::isfinite(result); ++i)
        result *= i;
    PushUnlessOverflowed(result, id);
}

// BINOM(n, k), BINOMIAL(n, k)
void FnBinomial() {
    constexpr int id = Fn::BINOMIAL;
    if (!ArgumentsAreNumbers(2, id)) return;
    const Extended k = GlPopNum();
    const Extended n = GlPopNum();
    if (n < 0) {
        RaiseError(Err::FunctionArgRange, id);
        return;
    }
    const Extended total = std::trunc(n);
    const Extended chosen = std::trunc(std::fabs(k));
    if (total < chosen) {
        GlPushNum(0);
        return;
    }
    const Extended steps = std::min(chosen, total - chosen);
    FpClearFaults();
    Extended result = 1;
    // The partial products grow with every step, so an overflow ends the loop long before a huge
    // step count could make it hang.
    for (Extended i = 1; i <= steps && std::isfinite(result); ++i)
        result = result * (total - i + 1) / i;
    PushUnlessOverflowed(result, id);
}

// RND and RND(x)
void FnRandom(int code) {
    if (code == Fn::RND) {
        Eng.LastRandom = DrawRandom();
        GlPushNum(Eng.LastRandom);
        return;
    }
    if (!ArgumentsAreNumbers(1, Fn::RND)) return;
    const Extended t = std::trunc(GlPopNum());
    if (t > 0) {
        Eng.LastRandom = DrawRandom();
    } else if (t < 0) {
        std::int64_t q = 0;
        if (!TruncToInt64(-t, q)) {
            RaiseError(Err::FunctionArgRange, Fn::RND);
            return;
        }
        // The product wraps modulo 2^64 (done unsigned, where wrapping is defined); the remainder
        // keeps the sign of the wrapped product.
        const auto product = static_cast<std::int64_t>(static_cast<std::uint64_t>(q) * FixedRandomMultiplier);
        const std::int64_t rest = product % FixedRandomModulus;
        Eng.LastRandom = static_cast<Extended>(rest < 0 ? -rest : rest) / FixedRandomScale;
    }
    GlPushNum(Eng.LastRandom);
}

// RANDG(mean, deviation): a normally distributed number by the polar method; the second number of
// each pair is not kept.
void FnNormalRandom() {
    constexpr int id = Fn::RANDG;
    if (!ArgumentsAreNumbers(2, id)) return;
    const Extended deviation = GlPopNum();
    const Extended mean = GlPopNum();
    Extended u1 = 0;
    Extended s = 0;
    do {
        u1 = 2 * DrawRandom() - 1;
        const Extended u2 = 2 * DrawRandom() - 1;
        s = u1 * u1 + u2 * u2;
    } while (s >= 1 || s == 0);
    const Extended normal = std::sqrt(-2 * std::log(s) / s) * u1;
    // A huge deviation or mean can carry the result beyond the number range.
    PushChecked(
        Err::FunctionResultRange, id, [](Extended z, Extended d, Extended m) { return z * d + m; }, normal,
        deviation, mean);
}

Extended DrawRandom() {
    Eng.RandSeed = Eng.RandSeed * RandomMultiplier + 1u; // unsigned: wraps modulo 2^32
    return static_cast<Extended>(Eng.RandSeed) / RandomScale;
}

void SeedRandom() {
    Eng.RandSeed = RandomStartSeed;
    Eng.LastRandom = DrawRandom();
}
